#!/usr/bin/env python3
"""Writes the module-definition file that exports the string class under its MSVC names.

make_export_def.py --header H --source-root DIR --clang CLANG --msvc-target TRIPLE
                   --cxx GXX --nm NM --undname UNDNAME --cxxfilt CXXFILT --work-dir DIR OUT.def

Both compilers compile one reference unit that uses every exported function; the MSVC name
(clang for TRIPLE) and the Itanium name (the product's g++) of each function are paired by
their demangled declarations, which must match the header's interface one to one. OUT.def
aliases each MSVC name to the symbol the product defines: EXPORTS ?Name@... = _ZN...
"""
import argparse
import os
import subprocess
import sys

import string_interface
import symbols


def parse_args():
    parser = argparse.ArgumentParser()
    string_interface.add_interface_arguments(parser)
    parser.add_argument("--work-dir", required=True)
    parser.add_argument("output")
    return parser.parse_args()


def compile_references(args, members):
    os.makedirs(args.work_dir, exist_ok=True)
    source = os.path.join(args.work_dir, "vx_string_references.cpp")
    include = os.path.relpath(args.header, args.source_root).replace(os.sep, "/")
    with open(source, "w") as out:
        out.write(string_interface.reference_source(members, include))
    msvc_obj = os.path.join(args.work_dir, "references_msvc.obj")
    gnu_obj = os.path.join(args.work_dir, "references_gnu.obj")
    common = ["-c", "-w", "-O0", "-fno-exceptions", source, "-o"]
    subprocess.run([args.clang, *string_interface.clang_msvc_flags(args.msvc_target,
                                                                   args.source_root),
                    *common, msvc_obj], check=True)
    subprocess.run([args.cxx, "-std=c++17", "-I", args.source_root, *common, gnu_obj],
                   check=True)
    return msvc_obj, gnu_obj


def by_declaration(demangled, what):
    """{core declaration: name}; two names for one declaration would make the pairing a guess."""
    result = {}
    for name, declaration in demangled.items():
        if declaration is None:
            sys.exit(f"make_export_def: cannot demangle {name}")
        core = symbols.core_of_full(declaration)
        if core in result:
            sys.exit(f"make_export_def: {what} names {result[core]} and {name} both mean {core}")
        result[core] = name
    return result


def without_allocation(by_core):
    # The constructors are used through new-expressions, which also call operator new.
    return {core: name for core, name in by_core.items() if not core.startswith("operator new(")}


def pair_names(args, members, msvc_obj, gnu_obj):
    msvc_names = symbols.mangled_cxx_names(symbols.undefined_symbols(args.nm, msvc_obj), "", "?")
    gnu_names = symbols.mangled_cxx_names(symbols.undefined_symbols(args.nm, gnu_obj),
                                          symbols.user_label_prefix(args.cxx), "_Z")
    msvc = without_allocation(by_declaration(symbols.undname(args.undname, msvc_names), "MSVC"))
    gnu = without_allocation(by_declaration(symbols.cxxfilt(args.cxxfilt, gnu_names), "Itanium"))
    expected = {m.core() for m in members}
    for side, found in (("MSVC", msvc), ("Itanium", gnu)):
        if set(found) != expected:
            missing = sorted(expected - set(found))
            extra = sorted(set(found) - expected)
            sys.exit(f"make_export_def: {side} references do not match the header: "
                     f"missing {missing}, unexpected {extra}")
    return sorted((msvc[core], gnu[core]) for core in expected)


def main():
    args = parse_args()
    members = string_interface.read_interface(args.clang, args.msvc_target, args.source_root,
                                              args.header)
    pairs = pair_names(args, members, *compile_references(args, members))
    # ld adds the user-label prefix to the internal names of a .def file itself.
    lines = ["; Generated: the string class under its MSVC names.", "EXPORTS"]
    lines += [f"  {msvc} = {itanium}" for msvc, itanium in pairs]
    temporary = args.output + ".new"
    with open(temporary, "w") as out:
        out.write("\n".join(lines) + "\n")
    os.replace(temporary, args.output)


if __name__ == "__main__":
    main()
