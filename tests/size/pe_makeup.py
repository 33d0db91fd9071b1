#!/usr/bin/env python3
"""The code size of a PE executable and where it comes from.

The measured size is the file's size less the raw size of its resource section, so that the
payload does not count. The makeup comes from the section table of the file and, with a GNU
ld link map (-Map) of the same link, from the input sections that each library and object
file put into the sections the file keeps.

usage: pe_makeup.py EXE [--map MAP] [--budget BYTES]
  Prints the size, the sections and (with --map) the libraries and the largest members. With
  --budget it exits 1 when the size is above the budget.
"""
import argparse
import collections
import os
import re
import signal
import struct
import sys


def read_sections(path):
    """[(name, raw size, virtual size, address)] from the PE section table. A long name (for
    example .eh_frame) is "/N" there, an offset into the symbols' string table, which a
    stripped file no longer has: output_names of the link map resolves it by address."""
    with open(path, "rb") as f:
        data = f.read(4096)
    if data[:2] != b"MZ":
        raise ValueError(f"{path}: not an MZ executable")
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    image_base = struct.unpack_from("<I", data, pe + 24 + 28)[0]
    if struct.unpack_from("<H", data, pe + 24)[0] == 0x20B:  # PE32+
        image_base = struct.unpack_from("<Q", data, pe + 24 + 24)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise ValueError(f"{path}: no PE signature")
    count = struct.unpack_from("<H", data, pe + 6)[0]
    optional_size = struct.unpack_from("<H", data, pe + 20)[0]
    table = pe + 24 + optional_size
    sections = []
    for i in range(count):
        entry = table + 40 * i
        name = data[entry:entry + 8].rstrip(b"\0").decode("ascii", "replace")
        virtual_size, address, raw_size = struct.unpack_from("<III", data, entry + 8)
        sections.append((name, raw_size, virtual_size, image_base + address))
    return sections


def code_size(path, sections):
    resources = sum(raw for name, raw, _, _ in sections if name == ".rsrc")
    return os.path.getsize(path) - resources


# An input section line of the memory map: " .text.name 0xADDR 0xSIZE FILE", the name alone on
# its line when it is long and the rest on the next.
INPUT = re.compile(r"^ (\S+)?\s+0x[0-9a-f]+\s+0x([0-9a-f]+)\s+(\S.*)$")
OUTPUT = re.compile(r"^(\.\S+|\S+)\s+0x([0-9a-f]+)\s+0x[0-9a-f]+")
MEMBER = re.compile(r"^(.*?)\(([^()]*)\)$")
LTRANS = re.compile(r"\.ltrans\d*\.ltrans\.o$")
LTO_LABEL = "project code (LTO)"


def library_of(origin):
    """("libstdc++.a", "string-inst.o") of "/path/libstdc++.a(string-inst.o)"; an object file
    outside an archive counts as its own library."""
    match = MEMBER.match(origin)
    if match:
        return os.path.basename(match.group(1)), match.group(2)
    if LTRANS.search(origin):
        # The compiler's temporary objects of the whole-program optimisation: the project's
        # own libraries that are optimised at the link, together.
        return LTO_LABEL, LTO_LABEL
    return os.path.basename(origin), os.path.basename(origin)


def output_names(path):
    """{address: name} of the map's output sections."""
    names = {}
    in_memory_map = False
    with open(path, encoding="utf-8", errors="replace") as f:
        for line in f:
            if not in_memory_map:
                in_memory_map = line.startswith("Linker script and memory map")
                continue
            head = OUTPUT.match(line)
            if head:
                names.setdefault(int(head.group(2), 16), head.group(1))
    return names


def read_map(path, kept):
    """{(output section, library, member): bytes} for the output sections in kept."""
    sizes = collections.Counter()
    output = None
    pending_name = False
    in_memory_map = False
    with open(path, encoding="utf-8", errors="replace") as f:
        for line in f:
            line = line.rstrip("\n")
            if not in_memory_map:
                in_memory_map = line.startswith("Linker script and memory map")
                continue
            head = OUTPUT.match(line)
            if head and not line.startswith(" "):
                output = head.group(1)
                continue
            if line.startswith(" ") and not line.startswith("  ") and len(line.split()) == 1:
                pending_name = True
                continue
            match = INPUT.match(line)
            if match and (match.group(1) or pending_name) and output in kept:
                size = int(match.group(2), 16)
                if size:
                    library, member = library_of(match.group(3).strip())
                    sizes[(output, library, member)] += size
            pending_name = False
    return sizes


def kib(n):
    return f"{n / 1024:8.1f} KiB"


def print_makeup(exe, map_path, top):
    sections = read_sections(exe)
    if map_path:
        names = output_names(map_path)
        sections = [(names.get(address, name) if name.startswith("/") else name, raw, virtual, address)
                    for name, raw, virtual, address in sections]
    size = code_size(exe, sections)
    print(f"{exe}: {size} bytes ({size / 1024:.1f} KiB) without the resource section")
    print("by section (raw size in the file):")
    for name, raw, virtual, _ in sections:
        if name != ".rsrc":
            print(f"  {name:10s} {kib(raw)}   (in memory {virtual} bytes)")
    if not map_path:
        return size
    kept = {name for name, raw, _, _ in sections if raw and name != ".rsrc"}
    sizes = read_map(map_path, kept)
    libraries = collections.Counter()
    by_section = collections.defaultdict(collections.Counter)
    members = collections.Counter()
    for (output, library, member), n in sizes.items():
        libraries[library] += n
        by_section[library][output] += n
        members[(library, member)] += n
    print("by library (input sections in the kept sections, from the link map):")
    for library, n in libraries.most_common():
        parts = ", ".join(f"{s} {v / 1024:.1f}" for s, v in by_section[library].most_common(3))
        print(f"  {library:28s} {kib(n)}   ({parts})")
    print("largest members:")
    for (library, member), n in members.most_common(top):
        print(f"  {library + '(' + member + ')':52s} {kib(n)}")
    return size


def main():
    signal.signal(signal.SIGPIPE, signal.SIG_DFL)  # a reader that stops early (head) ends us quietly
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("exe")
    parser.add_argument("--map")
    parser.add_argument("--budget", type=int)
    parser.add_argument("--top", type=int, default=15)
    args = parser.parse_args()
    size = print_makeup(args.exe, args.map, args.top)
    if args.budget is not None:
        verdict = "within" if size <= args.budget else "ABOVE"
        print(f"size {size} bytes is {verdict} the budget of {args.budget} bytes ({args.budget // 1024} KiB)")
        return 0 if size <= args.budget else 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
