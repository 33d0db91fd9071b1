#!/usr/bin/env python3
"""Writes a small PE image for the command-line tests: headers, a .text section, a .rsrc
section holding an empty resource directory and a .reloc section behind it, the layout of
the launcher's stubs. Loaded by nobody; zvpack reads it as a stub or as a next-stage program.

  make_test_pe.py OUT i386|amd64 [dll]
"""
import struct
import sys

PE_AT, HEADERS = 0x80, 0x400
SECTIONS = [(".text", 0x1000, b"\x55\x8B\xEC\xC3 test code", 0x60000020),
            (".rsrc", 0x2000, bytes(16), 0x40000040),
            (".reloc", 0x3000, b"\x00\x10\x00\x00\x0C\x00\x00\x00\x04\x30\x08\x30", 0x42000040)]


def image(plus, dll):
    data = bytearray(HEADERS)
    data[0:2] = b"MZ"
    struct.pack_into("<I", data, 0x3C, PE_AT)
    optional_size = 240 if plus else 224
    flags = 0x0002 | (0x2000 if dll else 0) | (0x0020 if plus else 0x0100)
    struct.pack_into("<4sHHIIIHH", data, PE_AT, b"PE\0\0", 0x8664 if plus else 0x14C, len(SECTIONS), 0, 0, 0,
                     optional_size, flags)
    opt = PE_AT + 24
    struct.pack_into("<H", data, opt, 0x20B if plus else 0x10B)
    struct.pack_into("<IIIII", data, opt + 32, 0x1000, 0x200, 0, 0, 0)
    struct.pack_into("<II", data, opt + 56, 0x4000, HEADERS)
    dirs = opt + (112 if plus else 96)
    struct.pack_into("<I", data, dirs - 4, 16)
    struct.pack_into("<II", data, dirs + 2 * 8, 0x2000, 16)
    struct.pack_into("<II", data, dirs + 5 * 8, 0x3000, len(SECTIONS[2][2]))
    table = opt + optional_size
    for i, (name, rva, body, characteristics) in enumerate(SECTIONS):
        raw = (len(body) + 0x1FF) & ~0x1FF
        struct.pack_into("<8sIIIIIIHHI", data, table + 40 * i, name.encode(), len(body), rva, raw, len(data),
                         0, 0, 0, 0, characteristics)
        data += body + bytes(raw - len(body))
    return data


def main():
    out, machine = sys.argv[1], sys.argv[2]
    with open(out, "wb") as f:
        f.write(image(machine == "amd64", len(sys.argv) > 3 and sys.argv[3] == "dll"))


if __name__ == "__main__":
    main()
