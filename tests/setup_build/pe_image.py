#!/usr/bin/env python3
"""Reads a PE image apart from the tools under test, for the setup checks.

  pe_image.py resources FILE   one line per resource: TYPE NAME LANGUAGE CODEPAGE SIZE SHA-256
                               (names upper case, numbers as #N), sorted
  pe_image.py streams FILE     one line per "ZVArc" archive: NAME, its number of streams and the
                               distinct first two bytes of those streams in hex (78 9C, say)
  pe_image.py headers FILE     checks the checksum, SizeOfImage, the resource directory entry
                               against the section table and that no two sections overlap;
                               prints "ok" or the first problem (exit 1)
"""
import hashlib
import struct
import sys


class Image:
    def __init__(self, data):
        self.data = data
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("no PE signature")
        count, = struct.unpack_from("<H", data, pe + 6)
        optional_size, = struct.unpack_from("<H", data, pe + 20)
        self.optional = pe + 24
        magic, = struct.unpack_from("<H", data, self.optional)
        plus = magic == 0x20B
        self.section_alignment, self.file_alignment = struct.unpack_from("<II", data, self.optional + 32)
        self.size_of_image, = struct.unpack_from("<I", data, self.optional + 56)
        self.checksum_at = self.optional + 64
        dirs = self.optional + (112 if plus else 96)
        ndirs, = struct.unpack_from("<I", data, dirs - 4)
        self.directories = [struct.unpack_from("<II", data, dirs + 8 * i) for i in range(ndirs)]
        table = self.optional + optional_size
        self.sections = []
        for i in range(count):
            name, vsize, va, rsize, roff = struct.unpack_from("<8sIIII", data, table + 40 * i)
            self.sections.append((name.rstrip(b"\0").decode(), vsize, va, rsize, roff))

    def offset(self, rva):
        for _, vsize, va, rsize, roff in self.sections:
            if va <= rva < va + max(vsize, rsize):
                return roff + rva - va
        raise ValueError("RVA %#x outside every section" % rva)

    def checksum(self):
        data = bytearray(self.data)
        data[self.checksum_at:self.checksum_at + 4] = b"\0\0\0\0"
        if len(data) % 2:
            data.append(0)
        total = 0
        for (word,) in struct.iter_unpack("<H", data):
            total += word
            total = (total & 0xFFFF) + (total >> 16)
        total = (total & 0xFFFF) + (total >> 16)
        return total + len(self.data)

    def resources(self):
        return sorted("%s %s %d %d %d %s" % (kind, name, language, code_page, len(blob),
                                             hashlib.sha256(blob).hexdigest())
                      for kind, name, language, code_page, blob in self.resource_blobs())

    def archive_streams(self):
        """Per "ZVArc" archive: its name, stream count and the set of stream headers."""
        found = []
        for kind, name, _, _, blob in self.resource_blobs():
            if kind != "ZVARC":
                continue
            directory, = struct.unpack_from("<I", blob, 0)
            count, = struct.unpack_from("<I", blob, directory)
            at, headers = directory + 4, set()
            for _ in range(count):
                length = blob[at]
                data_offset, = struct.unpack_from("<I", blob, at + 1 + length)
                headers.add(blob[data_offset:data_offset + 2].hex(" ").upper())
                at += 25 + length
            found.append("%s %d %s" % (name, count, ",".join(sorted(headers))))
        return sorted(found)

    def resource_blobs(self):
        rva, size = self.directories[2]
        if size == 0:
            return []
        base = self.offset(rva)
        data = self.data

        def key(field):
            if field & 0x80000000:
                at = base + (field & 0x7FFFFFFF)
                length, = struct.unpack_from("<H", data, at)
                return data[at + 2:at + 2 + 2 * length].decode("utf-16-le").upper()
            return "#%d" % field

        def entries(directory):
            named, ids = struct.unpack_from("<HH", data, base + directory + 12)
            for i in range(named + ids):
                yield struct.unpack_from("<II", data, base + directory + 16 + 8 * i)

        found = []
        for type_field, type_dir in entries(0):
            for name_field, name_dir in entries(type_dir & 0x7FFFFFFF):
                for language, entry in entries(name_dir & 0x7FFFFFFF):
                    data_rva, data_size, code_page, _ = struct.unpack_from("<IIII", data, base + entry)
                    at = self.offset(data_rva)
                    found.append((key(type_field), key(name_field), language, code_page,
                                  data[at:at + data_size]))
        return found

    def header_problem(self):
        stored, = struct.unpack_from("<I", self.data, self.checksum_at)
        if stored != self.checksum():
            return "checksum %#x, computed %#x" % (stored, self.checksum())
        align = lambda v: (v + self.section_alignment - 1) // self.section_alignment * self.section_alignment
        end = max(align(va + (vsize or rsize)) for _, vsize, va, rsize, _ in self.sections)
        if end != self.size_of_image:
            return "SizeOfImage %#x, the sections end at %#x" % (self.size_of_image, end)
        rsrc = [s for s in self.sections if s[0] == ".rsrc"]
        if len(rsrc) != 1 or self.directories[2] != (rsrc[0][2], rsrc[0][1]):
            return "the resource directory entry does not match the .rsrc section"
        spans = sorted((roff, roff + rsize, name) for name, _, _, rsize, roff in self.sections if rsize)
        for a, b in zip(spans, spans[1:]):
            if a[1] > b[0]:
                return "sections %s and %s overlap in the file" % (a[2], b[2])
        if spans[-1][1] > len(self.data):
            return "section %s runs past the end of the file" % spans[-1][2]
        return None


def main():
    command, path = sys.argv[1], sys.argv[2]
    with open(path, "rb") as f:
        image = Image(f.read())
    if command == "resources":
        print("\n".join(image.resources()))
        return 0
    if command == "streams":
        print("\n".join(image.archive_streams()))
        return 0
    problem = image.header_problem()
    print(problem or "ok")
    return 1 if problem else 0


if __name__ == "__main__":
    sys.exit(main())
