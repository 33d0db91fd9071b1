#!/usr/bin/env python3
"""damage_archive.py EXE NAME OUT [ENTRY]: copies EXE to OUT with the "ZVArc" resource NAME
spoilt. Without ENTRY, the Adler-32 trailer of its first entry is flipped, so that the data
inflates completely and only the check value is wrong. With ENTRY, that entry's stream is
replaced by a sound one of the same length whose data is plain text, so that the archive
passes every check but the file is no program. Reads the PE resource directory itself."""
import struct
import sys
import zlib


def resource_file_offset(image, type_name, res_name):
    pe = struct.unpack_from("<I", image, 0x3C)[0]
    sections = struct.unpack_from("<H", image, pe + 6)[0]
    optional_size = struct.unpack_from("<H", image, pe + 20)[0]
    optional = pe + 24
    magic = struct.unpack_from("<H", image, optional)[0]
    directories = optional + (96 if magic == 0x10B else 112)
    rsrc_rva = struct.unpack_from("<I", image, directories + 2 * 8)[0]
    table = optional + optional_size
    spans = []
    for i in range(sections):
        virtual_size, va, raw_size, raw_ptr = struct.unpack_from("<IIII", image, table + i * 40 + 8)
        spans.append((va, max(virtual_size, raw_size), raw_ptr))

    def file_offset(rva):
        for va, size, raw in spans:
            if va <= rva < va + size:
                return rva - va + raw
        raise SystemExit("rva outside every section")

    base = file_offset(rsrc_rva)

    def entries(offset):
        named, ids = struct.unpack_from("<HH", image, base + offset + 12)
        for i in range(named + ids):
            name, target = struct.unpack_from("<II", image, base + offset + 16 + 8 * i)
            label = None
            if name & 0x80000000:
                at = base + (name & 0x7FFFFFFF)
                length = struct.unpack_from("<H", image, at)[0]
                label = image[at + 2:at + 2 + 2 * length].decode("utf-16-le").upper()
            yield label, target

    for label, target in entries(0):
        if label != type_name:
            continue
        for name, sub in entries(target & 0x7FFFFFFF):
            if name != res_name:
                continue
            for _, leaf in entries(sub & 0x7FFFFFFF):
                data_rva, size = struct.unpack_from("<II", image, base + leaf)
                return file_offset(data_rva), size
    raise SystemExit("no ZVArc resource " + res_name)


def find_entry(image, start, wanted):
    """The file offset of the directory record of entry wanted (case ignored) and its name's length."""
    dir_offset = struct.unpack_from("<I", image, start)[0]
    count = struct.unpack_from("<I", image, start + dir_offset)[0]
    at = start + dir_offset + 4
    for _ in range(count):
        length = image[at]
        if bytes(image[at + 1:at + 1 + length]).decode("cp1252").lower() == wanted.lower():
            return at, length
        at += 25 + length
    raise SystemExit("no entry " + wanted)


def stored_stream(size):
    """A zlib stream of exactly size bytes whose deflate data are stored blocks of text."""
    blocks = max(1, -(-(size - 6) // 65540))
    data_length = size - 6 - 5 * blocks
    if data_length < 0:
        raise SystemExit("the entry's stream is too short to replace")
    text = (b"This file is not a program. " * (data_length // 28 + 1))[:data_length]
    out = bytearray(b"\x78\x01")
    for i in range(blocks):
        part = text[i * 65535:(i + 1) * 65535]
        out.append(1 if i == blocks - 1 else 0)
        out += struct.pack("<HH", len(part), len(part) ^ 0xFFFF)
        out += part
    out += struct.pack(">I", zlib.adler32(text))
    assert len(out) == size and zlib.decompress(bytes(out)) == text
    return bytes(out), data_length


def main():
    exe, name, out = sys.argv[1], sys.argv[2].upper(), sys.argv[3]
    image = bytearray(open(exe, "rb").read())
    start, _ = resource_file_offset(image, "ZVARC", name)
    if len(sys.argv) > 4:
        record, length = find_entry(image, start, sys.argv[4])
        data_offset, compressed = struct.unpack_from("<II", image, record + 1 + length)
        stream, inflated = stored_stream(compressed)
        image[start + data_offset:start + data_offset + compressed] = stream
        struct.pack_into("<I", image, record + 1 + length + 8, inflated)
    else:
        dir_offset = struct.unpack_from("<I", image, start)[0]
        name_length = image[start + dir_offset + 4]
        record = start + dir_offset + 5 + name_length
        data_offset, compressed = struct.unpack_from("<II", image, record)
        image[start + data_offset + compressed - 1] ^= 0x5A
    open(out, "wb").write(image)


if __name__ == "__main__":
    main()
