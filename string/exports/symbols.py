"""Symbol names of object files and executables, demangled and brought to one spelling.

MSVC names go through llvm-undname, Itanium names through llvm-cxxfilt; normalise() then
drops the spelling differences between the two ('class ', '(void)', 'char const *').
"""
import re
import subprocess
import sys


def normalise(demangled):
    text = re.sub(r"\b(class|struct|union|enum) ", "", demangled)
    text = text.replace("(void)", "()")
    return re.sub(r"\s+([*&])", r"\1", text).strip()


def _run_per_line(command, names, check=True):
    if not names:
        return ""
    return subprocess.run(command, input="\n".join(names) + "\n", check=check, text=True,
                          stdout=subprocess.PIPE, stderr=subprocess.DEVNULL).stdout


def undname(tool, names):
    """{msvc name: 'access: [static ]cc scope::name(params) cv' without the return type, or
    None where the name is no valid MSVC decoration}."""
    # llvm-undname echoes every input line, then prints its result (nothing for an invalid
    # name, and a failing exit status at the end) and an empty line.
    out = _run_per_line([tool, "--no-return-type"], names, check=False)
    blocks = [block.split("\n") for block in out.strip("\n").split("\n\n")] if names else []
    if [block[0] for block in blocks] != list(names):
        sys.exit(f"symbols: {tool} did not answer name by name")
    return {block[0]: normalise(block[1]) if len(block) > 1 and block[0].startswith("?")
            else None for block in blocks}


def core_of_full(full):
    """'public: static __cdecl VxString::F(int)' -> 'VxString::F(int)'."""
    return re.sub(r"^(?:(?:public|protected|private): )?(?:static )?(?:virtual )?__\w+ ", "", full)


def cxxfilt(tool, names, skip_unknown=False):
    """{itanium name: 'scope::name(params) cv'}; names without the user-label prefix. Names
    the tool cannot demangle end the run, or are left out under skip_unknown."""
    lines = _run_per_line([tool], names).splitlines()
    result = {}
    for name, text in zip(names, lines):
        if text == name and skip_unknown:
            continue
        if text == name:
            sys.exit(f"symbols: {tool} cannot demangle {name}")
        result[name] = normalise(text)
    return result


def user_label_prefix(cxx):
    """What the target's assembler names put in front of a C name: '_' on i686, '' on x64."""
    macros = subprocess.run([cxx, "-dM", "-E", "-x", "c++", "/dev/null"], check=True, text=True,
                            stdout=subprocess.PIPE).stdout
    match = re.search(r"^#define __USER_LABEL_PREFIX__ ?(\S*)$", macros, re.M)
    if not match:
        sys.exit(f"symbols: {cxx} defines no __USER_LABEL_PREFIX__")
    return match.group(1)


def mangled_cxx_names(names, label_prefix, mangled_start):
    """The C++ names among assembler names, without the label prefix; C names are dropped."""
    stripped = [n[len(label_prefix):] for n in names if n.startswith(label_prefix)]
    return [n for n in stripped if n.startswith(mangled_start)]


def undefined_symbols(nm, obj):
    out = subprocess.run([nm, "--undefined-only", "--format=just-symbols", obj], check=True,
                         text=True, stdout=subprocess.PIPE).stdout
    return sorted(set(out.split()))


def defined_code_symbols(nm, image):
    """[(address, name)] of the code symbols of an executable or object."""
    out = subprocess.run([nm, "--defined-only", image], check=True, text=True,
                         stdout=subprocess.PIPE).stdout
    symbols = []
    for line in out.splitlines():
        fields = line.split()
        if len(fields) == 3 and fields[1] in "Tt":
            symbols.append((int(fields[0], 16), fields[2]))
    return symbols
