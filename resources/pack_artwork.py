#!/usr/bin/env python3
"""Writes the splash picture and the icon in the exact layouts the resource script needs.

splash IN.bmp OUT.bmp
    IN is an 8-bit palette BMP of 480x350 from ImageMagick. OUT is rebuilt field by field:
    BI_RGB, biSizeImage 0, 11808 pixels per metre, biClrUsed 0, a 256-entry colour table,
    the rows, two trailing bytes; 169080 bytes in all.
icon OUT.ico SIZE:COLOURS:IMAGE.bmp:MASK.pgm ...
    One icon image per argument, in that order, at 4 bits per pixel for 16 colours and 8 for
    256, with the AND mask taken from the PGM (dark = transparent).
"""
import struct
import sys


def read_bmp(path):
    """Returns width, height, palette [(b, g, r)], rows of colour indices top row first."""
    data = open(path, "rb").read()
    if data[:2] != b"BM":
        sys.exit(f"{path}: not a BMP file")
    offset = struct.unpack_from("<I", data, 10)[0]
    (size, width, height, planes, bits, compression, _, _, _, used, _) = struct.unpack_from(
        "<IiiHHIIiiII", data, 14)
    if compression != 0 or bits not in (1, 4, 8) or height <= 0:
        sys.exit(f"{path}: want an uncompressed bottom-up palette BMP, got {bits} bpp, "
                 f"compression {compression}")
    colours = used or (1 << bits)
    table = data[14 + size:14 + size + 4 * colours]
    palette = [tuple(table[4 * i:4 * i + 3]) for i in range(colours)]
    stride = (width * bits + 31) // 32 * 4
    rows = []
    for y in range(height):
        raw = data[offset + y * stride:offset + (y + 1) * stride]
        row = []
        for x in range(width):
            bit = x * bits
            byte = raw[bit // 8]
            row.append((byte >> (8 - bits - bit % 8)) & ((1 << bits) - 1))
        rows.append(row)
    rows.reverse()
    return width, height, palette, rows


def read_pgm(path):
    data = open(path, "rb").read()
    fields = []
    pos = 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos)
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    if fields[0] != b"P5":
        sys.exit(f"{path}: not a binary PGM")
    width, height, top = int(fields[1]), int(fields[2]), int(fields[3])
    pixels = data[pos + 1:pos + 1 + width * height]
    return [[pixels[y * width + x] > top // 2 for x in range(width)] for y in range(height)]


def pack_rows(rows, bits):
    """Bottom-up rows of `bits` per pixel, each padded to 4 bytes."""
    out = bytearray()
    for row in reversed(rows):
        line = bytearray((len(row) * bits + 31) // 32 * 4)
        for x, value in enumerate(row):
            bit = x * bits
            line[bit // 8] |= value << (8 - bits - bit % 8)
        out += line
    return bytes(out)


def table(palette, count):
    entries = list(palette)[:count]
    entries += [(0, 0, 0)] * (count - len(entries))
    return b"".join(bytes((b, g, r, 0)) for (b, g, r) in entries)


def splash(source, target):
    width, height, palette, rows = read_bmp(source)
    if (width, height) != (480, 350):
        sys.exit(f"{source}: the splash must be 480x350, not {width}x{height}")
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, 0, 11808, 11808, 0, 0)
    body = header + table(palette, 256) + pack_rows(rows, 8) + b"\0\0"
    file_header = struct.pack("<2sIHHI", b"BM", 14 + len(body), 0, 0, 14 + 40 + 1024)
    out = file_header + body
    assert len(out) == 169080, len(out)
    open(target, "wb").write(out)


def icon(target, arguments):
    images = []
    for argument in arguments:
        size, colours, bmp, pgm = argument.split(":", 3)
        size, colours = int(size), int(colours)
        bits = 4 if colours == 16 else 8
        width, height, palette, rows = read_bmp(bmp)
        if (width, height) != (size, size) or len(palette) > colours:
            sys.exit(f"{bmp}: want {size}x{size} with at most {colours} colours")
        opaque = read_pgm(pgm)
        mask = [[0 if opaque[y][x] else 1 for x in range(size)] for y in range(size)]
        # Transparent pixels are black in the XOR image, so that the mask alone decides.
        black = min(range(len(palette)), key=lambda i: sum(palette[i]))
        rows = [[rows[y][x] if opaque[y][x] else black for x in range(size)] for y in range(size)]
        header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, bits, 0, 0, 0, 0, 0, 0)
        data = header + table(palette, colours) + pack_rows(rows, bits) + pack_rows(mask, 1)
        images.append((size, colours, bits, data))
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, colours, bits, data in images:
        out += struct.pack("<BBBBHHII", size, size, colours % 256, 0, 1, bits, len(data), offset)
        offset += len(data)
    out += b"".join(data for *_, data in images)
    open(target, "wb").write(out)


if __name__ == "__main__":
    if len(sys.argv) == 4 and sys.argv[1] == "splash":
        splash(sys.argv[2], sys.argv[3])
    elif len(sys.argv) >= 4 and sys.argv[1] == "icon":
        icon(sys.argv[2], sys.argv[3:])
    else:
        sys.exit(__doc__)
