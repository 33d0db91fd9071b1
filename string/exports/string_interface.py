"""The exported interface of VxString, read from its header by clang, and a reference unit.

The interface is every declared member of VxString (protected and static ones included) and
every free function the header declares, friends included once. clang reads the header for an
MSVC target with the stand-in headers of include/, since no MSVC headers are installed.

Each member has two textual forms that the demanglers can be brought to:
    core: VxString::Find(char const*, int) const    (what an Itanium demangling says)
    full: public: __thiscall VxString::Find(...)     (what llvm-undname says without return type)
"""
import json
import os
import re
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
STAND_IN_HEADERS = os.path.join(HERE, "include")
CLASS_NAME = "VxString"
MEMBER_KINDS = {
    "CXXConstructorDecl": "constructor",
    "CXXDestructorDecl": "destructor",
    "CXXConversionDecl": "conversion",
    "CXXMethodDecl": "method",
}


def add_interface_arguments(parser):
    """The options by which the build names the header and the tools (its
    VX_STRING_INTERFACE_ARGS), shared by the generator and the export check."""
    for option in ("header", "source-root", "clang", "msvc-target", "cxx", "nm", "undname",
                   "cxxfilt"):
        parser.add_argument("--" + option, required=True)


def clang_msvc_flags(target, source_root):
    return ["--target=" + target, "-std=c++17", "-nostdlibinc", "-ffreestanding",
            "-isystem", STAND_IN_HEADERS, "-I", source_root]


def east_const(spelling):
    """clang's 'const char *' as the demanglers write it: 'char const*'."""
    match = re.fullmatch(r"(const\s+)?([^*&]+?)((?:\s*(?:\*|&|\bconst\b))*)", spelling.strip())
    if not match:
        sys.exit(f"string_interface: cannot normalise the type '{spelling}'")
    base = match.group(2) + (" const" if match.group(1) else "")
    declarator = re.sub(r"\s+", "", match.group(3) or "")
    return base + declarator


class Member:
    """One exported function: a member of the class or a free function of the header."""

    def __init__(self, kind, name, params, is_const, is_static, is_variadic, access):
        self.kind = kind              # constructor, destructor, conversion, method, function
        self.name = name              # as clang spells it: 'operator const char *', '~VxString'
        self.params = params          # [(spelling, canonical spelling)]
        self.is_const = is_const
        self.is_static = is_static
        self.is_variadic = is_variadic
        self.access = access          # None for a free function

    def core(self):
        name = self.name
        if self.kind == "conversion":
            name = "operator " + east_const(name[len("operator"):])
        params = [east_const(canonical) for _, canonical in self.params]
        if self.is_variadic:
            params.append("...")
        scope = "" if self.kind == "function" else CLASS_NAME + "::"
        return f"{scope}{name}({', '.join(params)})" + (" const" if self.is_const else "")

    def full(self, pointer_size):
        # i686 MSVC passes `this` in ECX for non-variadic members; everything else, and every
        # function on x64, uses the one C convention.
        thiscall = (pointer_size == 4 and self.kind != "function" and not self.is_static
                    and not self.is_variadic)
        text = ("__thiscall " if thiscall else "__cdecl ") + self.core()
        if self.is_static:
            text = "static " + text
        return f"{self.access}: {text}" if self.access else text


def _params(node):
    params = []
    for child in node.get("inner", []):
        if child["kind"] == "ParmVarDecl":
            qual = child["type"]
            params.append((qual["qualType"], qual.get("desugaredQualType", qual["qualType"])))
    return params


def _member(node, kind, access):
    function_type = node["type"]["qualType"]
    return Member(kind, node["name"], _params(node),
                  is_const=function_type.endswith(" const"),
                  is_static=node.get("storageClass") == "static",
                  is_variadic=bool(node.get("variadic")), access=access)


def _class_members(record):
    members, functions = [], []
    access = "private" if record.get("tagUsed") == "class" else "public"
    for node in record.get("inner", []):
        if node["kind"] == "AccessSpecDecl":
            access = node["access"]
        elif node["kind"] in MEMBER_KINDS and not node.get("isImplicit"):
            members.append(_member(node, MEMBER_KINDS[node["kind"]], access))
        elif node["kind"] == "FriendDecl":
            functions += [_member(n, "function", None) for n in node.get("inner", [])
                          if n["kind"] == "FunctionDecl"]
    return members, functions


def read_interface(clang, target, source_root, header):
    """The members in declaration order, then the free functions, each once."""
    ast = subprocess.run(
        [clang, *clang_msvc_flags(target, source_root), "-fsyntax-only", "-x", "c++",
         "-Xclang", "-ast-dump=json", header],
        check=True, stdout=subprocess.PIPE).stdout
    members, functions = [], []
    for node in json.loads(ast).get("inner", []):
        if (node["kind"] == "CXXRecordDecl" and node.get("name") == CLASS_NAME
                and node.get("completeDefinition")):
            found_members, friends = _class_members(node)
            members += found_members
            functions += friends
        elif node["kind"] == "FunctionDecl" and not node.get("isImplicit"):
            functions.append(_member(node, "function", None))
    unique_functions = list({f.core(): f for f in functions}.values())
    if not members:
        sys.exit(f"string_interface: {header} declares no class {CLASS_NAME}")
    return members + unique_functions


def _reference_body(member, args):
    call_args = ", ".join(args)
    if member.kind == "constructor":
        return f"new {CLASS_NAME}({call_args});"
    if member.kind == "function":
        return f"::{member.name}({call_args});"
    if member.is_static:
        return f"{CLASS_NAME}::{member.name}({call_args});"
    # Qualified calls reach members the derived class hides (its implicit operator=) and the
    # protected ones, which only an object of the derived class may be used for.
    return f"self.{CLASS_NAME}::{member.name}({call_args});"


def reference_source(members, header_include):
    """A unit whose every function uses one member, so that each compiler emits a reference to
    that member's symbol under its own ABI's name."""
    derived = CLASS_NAME + "References"
    declarations, definitions = [], []
    for index, member in enumerate(members):
        params = [f"{spelling} a{i}" for i, (spelling, _) in enumerate(member.params)]
        if member.kind not in ("constructor", "function") and not member.is_static:
            params.insert(0, ("const " if member.is_const else "") + derived + "& self")
        args = [f"a{i}" for i in range(len(member.params))]
        signature = f"Use{index}({', '.join(params)})"
        declarations.append(f"  static void {signature};")
        definitions.append(f"void {derived}::{signature} {{ {_reference_body(member, args)} }}")
    return "\n".join([
        "// Generated: one use of each exported function of the string class.",
        f'#include "{header_include}"',
        f"struct {derived} : {CLASS_NAME} {{", *declarations, "};", *definitions, ""])
