#!/usr/bin/env python3
# Writes the seed corpora of the fuzz targets in tests/fuzz (corpus/<target>/), each seed a
# small input that takes its target down one of its main paths. The seeds are committed; run
# this again only after changing how a target reads its input.
import os
import shutil
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))


def u16(v):
    return struct.pack("<H", v)


def text(s, limit):
    """A FuzzInput Bytes/Text field: length byte, then the bytes."""
    assert len(s) <= limit
    return bytes([len(s)]) + s


# string_format_fuzz: state, [text, room], item count, items. Conversion letters by index.
CONV = "diuoxXcseEfgGp"


def conv(letter, flags=0, layout=0, fields=b"", value=b""):
    return bytes([2, CONV.index(letter), flags, layout]) + fields + value


def literal(s):
    return bytes([0]) + text(s, 12)


def string_format_seeds():
    dbl = struct.pack("<d", 3.25)
    big = struct.pack("<d", 1e300)
    yield "digits", bytes([0, 3]) + literal(b"n=") + conv("d", value=bytes([0]) + struct.pack("<i", -42)) + bytes([1])
    yield "widths", bytes([1]) + text(b"old", 40) + bytes([4]) + conv("x", flags=8, layout=1, fields=bytes([12]),
                                                                       value=bytes([2]) + struct.pack("<q", 255)) \
        + conv("s", flags=1, layout=2 | 4 | 16, fields=u16(20) + u16(3), value=bytes([2]) + text(b"abcdef", 60)) \
        + conv("c", value=b"Z") + conv("p", value=struct.pack("<Q", 0x1234))
    yield "stars", bytes([2]) + text(b"room", 40) + u16(300) + bytes([3]) \
        + conv("f", flags=2, layout=3 | 4 | 8, fields=u16(400 + 10) + u16(400 + 2), value=dbl) \
        + conv("e", layout=3, fields=u16(400 - 30), value=big) + literal(b"%tail")
    yield "shared_self", bytes([3]) + text(b"shared", 40) + bytes([2]) + conv("s", value=bytes([1])) \
        + conv("s", value=bytes([0]))
    yield "floats", bytes([0, 3]) + conv("g", flags=16, layout=1 | 4 | 16, fields=bytes([9]) + u16(4), value=dbl) \
        + conv("G", value=struct.pack("<d", float("inf"))) + conv("E", flags=4, value=struct.pack("<d", -0.0))


# string_model_fuzz: steps of (string, operation, arguments), operations by number.
def step(slot, op, args=b""):
    return bytes([slot, op]) + args


def string_model_seeds():
    nul = b"ab\0cd\0"
    yield "share_and_edit", step(0, 2, text(b"hello world", 24)) + step(1, 0, b"\0") + step(1, 7, bytes([3, ord("X")])) \
        + step(2, 1, b"\1") + step(2, 11, text(b"o", 4) + text(b"00", 12) + b"\0") + step(3, 16, bytes([0, 2, 5, 1]))
    yield "embedded_nuls", step(0, 2, text(nul, 24)) + step(1, 1, b"\0") + step(0, 15, bytes([0, 1])) \
        + step(1, 13, bytes([0])) + step(2, 6, bytes([2, 0])) + step(2, 26)
    yield "buffers", step(0, 3, text(b"abc", 12)) + step(0, 21, u16(40) + text(b"xy\0z", 255) + b"\1") \
        + step(1, 1, b"\0") + step(1, 22, bytes([5]) + b"12345") + step(0, 23) + step(1, 24) \
        + step(2, 2, text(b"locked\0x", 24)) + step(2, 27) + step(3, 0, b"\2") + step(0, 1, b"\2") + step(2, 24) + step(2, 27)
    yield "nothing_to_change", step(0, 2, text(b"keep", 24)) + step(1, 1, b"\0") + step(0, 10, b"aa") \
        + step(0, 8, bytes([1]) + text(b"", 12)) + step(0, 9, bytes([2, 4])) + step(0, 14, bytes([2, 3]) + text(b"", 4)) \
        + step(0, 6, bytes([0]) + text(b"", 12)) + step(0, 28, text(b"ke", 12) + bytes([1, ord("e"), 0, 1, 3]))
    yield "case_and_trim", step(0, 2, text(b"  MiXeD_case\t ", 24)) + step(1, 0, b"\0") + step(0, 17) + step(1, 18) \
        + step(0, 15, bytes([0, 1, 0])) + step(1, 14, bytes([0, 1, 0])) + step(2, 12, bytes([0]) + text(b"ca", 4) + text(b"CA", 12)) \
        + step(3, 25, bytes([0, 1]) + text(b"+", 12) + b"!" + bytes([1]))


# dib_fuzz: 0 and a packed DIB, or 1, the output room, a flag byte and RLE8 data.
def info_header(width, height, bits, compression=0, size_image=0, colours=0):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, compression, size_image, 0, 0, colours, 0)


def dib_seeds():
    grey = b"".join(bytes([i, i, i, 0]) for i in range(4))
    rle = bytes([3, 1, 1, 2, 0, 0, 0, 3, 1, 2, 3, 0, 0, 1])
    yield "rle8", b"\0" + info_header(4, 2, 8, 1, len(rle), 4) + grey + rle
    yield "rgb24", b"\0" + info_header(2, -2, 24) + bytes(range(16))
    yield "mono", b"\0" + info_header(8, 1, 1) + b"\0\0\0\0\xff\xff\xff\0" + b"\xa5\0\0\0"
    yield "bitfields", b"\0" + info_header(2, 1, 16, 3) + struct.pack("<III", 0xF800, 0x07E0, 0x001F) + b"\x1f\0\xe0\x07"
    yield "expand", b"\1" + u16(16) + b"\0" + rle
    yield "expand_no_memory", b"\1" + u16(8) + b"\1" + bytes([4, 9, 0, 1])


# message_format_fuzz: text bytes / 16, the texts, chosen offsets, then the pattern.
def message_format_seeds():
    texts = b"hello\0world\0\x05\0".ljust(32, b"\0")
    offsets = bytes([3]) + u16(0) + u16(6) + u16(12)
    yield "inserts", bytes([2]) + texts + offsets + b"Copy %1 to %2!s!%nnext %3!d! %%%.%!%t|%2!-8.3s!|"
    yield "stars", bytes([2]) + texts + offsets + b"%3!*s! %3!*.*d!|%1!*s!%0 never"
    yield "wide", bytes([2]) + texts + offsets + b"%99 %98!I64x! %97!lld! %1!c!\r\nline\rend"
    yield "broken", bytes([0, 0]) + b"tail %1!s"


def create_path_dirs_seeds():
    yield "nested", b"a\\b\\c"
    yield "absolute", b"C:\\top\\sub"
    yield "rooted", b"\\rooted\\dir"
    yield "climbing", b"..\\..\\x\\.\\y\\..\\z"
    yield "other_drive", b"D:\\x"
    yield "long_component", b"ok\\" + b"x" * 256
    yield "bad_colon", b"a\\b:c"


def write(target, seeds):
    folder = os.path.join(HERE, "corpus", target)
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    for name, data in seeds:
        with open(os.path.join(folder, name), "wb") as out:
            out.write(data)


def main():
    write("string_format_fuzz", string_format_seeds())
    write("string_model_fuzz", string_model_seeds())
    write("dib_fuzz", dib_seeds())
    write("message_format_fuzz", message_format_seeds())
    write("create_path_dirs_fuzz", create_path_dirs_seeds())
    return 0


if __name__ == "__main__":
    sys.exit(main())
