#!/usr/bin/env python3
"""Checks the export table of a Windows executable against the string class's interface.

check_exports.py --exe EXE --count N --header H --source-root DIR
                 --clang CLANG --msvc-target TRIPLE --cxx GXX --nm NM --undname U --cxxfilt C

Passes when the executable exports exactly N names, no ordinal-only entry and no forwarder;
every name demangles (llvm-undname) to one declaration of the header's interface, with its
access, storage and calling convention, and each declaration is exported once; and every
export's address is that of the symbol the build defines for the same declaration (the
complete-object variant for constructors and the destructor).
"""
import argparse
import os
import re
import sys

import pe_exports

# The generator's modules read the interface from the header and demangle.
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..",
                                "string", "exports"))
import string_interface  # noqa: E402
import symbols  # noqa: E402


def parse_args():
    parser = argparse.ArgumentParser()
    parser.add_argument("--count", type=int, required=True)
    parser.add_argument("--exe", required=True)
    # A build that strips the product keeps an unstripped twin of it for the symbol table.
    parser.add_argument("--symbols", help="the unstripped twin of --exe (default: --exe itself)")
    string_interface.add_interface_arguments(parser)
    return parser.parse_args()


def check_table_shape(table, count, failures):
    if len(table.names) != count:
        failures.append(f"{len(table.names)} named exports, expected {count}")
    if len(table.functions) != len(table.names):
        failures.append(f"{len(table.functions)} export addresses for {len(table.names)} names: "
                    "an export without a name, or a name without its own address")
    for name in table.forwarders:
        failures.append(f"{name} is forwarded instead of defined here")


def check_declarations(declarations, members, pointer_size, failures):
    expected = {m.full(pointer_size) for m in members}
    exported = {}
    for name, declaration in declarations.items():
        if declaration is None:
            failures.append(f"{name} is no MSVC-decorated name")
        elif declaration not in expected:
            failures.append(f"{name} demangles to '{declaration}', no declaration of the header")
        elif declaration in exported:
            failures.append(f"{exported[declaration]} and {name} both export '{declaration}'")
        else:
            exported[declaration] = name
    for declaration in sorted(expected - set(exported)):
        failures.append(f"nothing exports '{declaration}'")


def defined_by_core(args, image):
    """{core declaration: [(address, itanium name)]} of the C++ code symbols of the image."""
    prefix = symbols.user_label_prefix(args.cxx)
    addresses = {}
    for address, name in symbols.defined_code_symbols(args.nm, image):
        if name.startswith(prefix + "_Z"):
            addresses.setdefault(name[len(prefix):], address)
    demangled = symbols.cxxfilt(args.cxxfilt, sorted(addresses), skip_unknown=True)
    result = {}
    for name, core in demangled.items():
        result.setdefault(core, []).append((addresses[name], name))
    return result


def definition_of(candidates):
    if len(candidates) > 1:
        # Constructors and destructors have base-object twins; callers use the complete one.
        candidates = [c for c in candidates if re.search(r"[CD]1E", c[1])]
    return candidates[0] if len(candidates) == 1 else None


def check_addresses(table, declarations, definitions, failures):
    lines = []
    for name, declaration in sorted(declarations.items()):
        if declaration is None:
            continue
        core = symbols.core_of_full(declaration)
        definition = definition_of(definitions.get(core, []))
        rva = table.functions[table.names[name]]
        if definition is None:
            failures.append(f"{name}: the executable defines no single symbol for '{core}'")
            continue
        address, itanium = definition
        if address - table.image_base != rva:
            failures.append(f"{name} points at RVA {rva:#x}, {itanium} is at "
                        f"{address - table.image_base:#x}")
        lines.append(f"{rva:#010x} {name} = {itanium}")
    return lines


def main():
    args = parse_args()
    exe = os.path.basename(args.exe)
    failures = []
    try:
        table = pe_exports.read_exports(args.exe)
    except pe_exports.PeFormatError as error:
        sys.exit(f"{exe}: {error}")
    check_table_shape(table, args.count, failures)
    members = string_interface.read_interface(args.clang, args.msvc_target, args.source_root,
                                              args.header)
    declarations = symbols.undname(args.undname, sorted(table.names))
    check_declarations(declarations, members, table.pointer_size, failures)
    definitions = defined_by_core(args, args.symbols or args.exe)
    if not definitions:
        sys.exit(f"{exe}: no C++ symbols in the executable's symbol table (stripped?)")
    lines = check_addresses(table, declarations, definitions, failures)
    print("\n".join(lines))
    if failures:
        print("\n".join(f"{exe}: {failure}" for failure in failures), file=sys.stderr)
        sys.exit(1)
    print(f"{exe}: {len(table.names)} exports, each the member it names")


if __name__ == "__main__":
    main()
