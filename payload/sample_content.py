# sample_content.py - Deterministic file contents of a chosen kind and compressibility.
"""Bytes for the sample payload's files.

Every byte comes from SHAKE-128 over a seed, a component name and a block number; no system
randomness and no clock are used. The mix of a file is calibrated by compressing a sample
with zlib, so the same seed and size give the same bytes wherever zlib compresses alike (any
classic zlib; a zlib-ng may choose a slightly different mix).

A file is a kind-specific header and trailer around a body of blocks of up to 8 KiB. Each
block is one of five components whose zlib (level 6) ratios were measured once:

    random  incompressible                        ~1.00
    code    bytes skewed like machine code          ~0.70
    table   little-endian counters (offset tables)  ~0.29
    text    words with a Zipf distribution          ~0.26
    zero    section padding                         ~0.00

The kind fixes a base mix; the file's target ratio is then reached by adding random blocks
(to raise it) or padding (to lower it). Blocks of the components are interleaved in a fixed
order (largest deficit first), so the mix holds in every part of the file and not only on
average, which keeps the deflate window's view of the data close to the mix.
"""

import array
import hashlib
import zlib

BLOCK = 8192
MIN_BLOCK = 512
# Bytes of a body compressed to calibrate its mix.
SAMPLE = 256 * 1024

RATIO = {"random": 1.0, "code": 0.70, "table": 0.29, "text": 0.26, "zero": 0.002}

# Base mixes by kind (fractions of the body).
BASE_MIX = {
    "pe": {"code": 0.55, "text": 0.15, "table": 0.20, "zero": 0.10},
    "data": {"table": 0.50, "code": 0.30, "text": 0.20},
    "text": {"text": 1.0},
    "rtf": {"text": 1.0},
    "ini": {"text": 1.0},
    "jpeg": {"random": 1.0},
    "icon": {"table": 0.6, "code": 0.4},
    "placeholder": {"text": 1.0},
}

_WORDS = (
    "the of and to in is for on with that by this be are from or as at it an setup file "
    "picture image install folder program data user select option colour print album photo "
    "create edit view open save close window menu tool page size format next back cancel "
    "finish licence agreement terms copy software product zelvora right reserved version "
    "update support disk space required system language english french german italian "
    "import export filter effect frame border text font style layer undo redo crop rotate "
    "resize brightness contrast sharpen blur red eye correction slideshow calendar card "
    "poster order online share"
).split()


def _zipf_table():
    """65536 slots, word i filling a share proportional to 1/(i+1); line breaks among them."""
    tokens = [w.encode("ascii") for w in _WORDS] + [b".\r\n"]
    weights = [1.0 / (i + 1) for i in range(len(tokens) - 1)] + [0.12]
    total = sum(weights)
    table = []
    for token, weight in zip(tokens, weights):
        table.extend([token] * int(weight / total * 65536))
    table.extend([tokens[0]] * (65536 - len(table)))
    return table


_TEXT_TABLE = _zipf_table()


def _code_translation():
    """Maps a uniform byte to one distributed roughly like x86 code bytes."""
    common = [(0x00, 60), (0xFF, 20), (0x8B, 14), (0x89, 10), (0x45, 8), (0x24, 8), (0xE8, 8),
              (0x83, 8), (0xC3, 4), (0x50, 6), (0x04, 6), (0x08, 6), (0x10, 6), (0x01, 6),
              (0x74, 4), (0x75, 4)]
    out = bytearray()
    for value, count in common:
        out.extend([value] * count)
    out.extend(range(256 - len(out)))
    return bytes(out)


_CODE_MAP = _code_translation()


def _stream(seed, component, index, size):
    return hashlib.shake_128(b"%s/%s/%d" % (seed, component.encode("ascii"), index)).digest(size)


def _block(seed, component, index, size):
    """Block index of a component; a block is never longer than BLOCK."""
    if component == "random":
        return _stream(seed, component, index, size)
    if component == "code":
        return _stream(seed, component, index, size).translate(_CODE_MAP)
    if component == "table":
        start = 0x1000 + index * BLOCK
        return array.array("I", range(start, start + size, 4)).tobytes()[:size]
    if component == "text":
        # Words average well above two bytes with their blank, so size // 2 words suffice.
        words = array.array("H")
        words.frombytes(_stream(seed, component, index, 2 * (size // 2 + 8)))
        return b" ".join(map(_TEXT_TABLE.__getitem__, words))[:size]
    return bytes(size)


def _body_mix(kind, ratio):
    """The kind's base mix, moved towards ratio by random blocks or padding."""
    mix = dict(BASE_MIX[kind])
    base = sum(RATIO[c] * f for c, f in mix.items())
    if ratio > base:
        extra, component = (ratio - base) / (1.0 - base), "random"
    else:
        extra, component = (base - ratio) / (base - RATIO["zero"]), "zero"
    extra = min(max(extra, 0.0), 1.0)
    mix = {c: f * (1.0 - extra) for c, f in mix.items()}
    mix[component] = mix.get(component, 0.0) + extra
    return mix


def _body(seed, kind, ratio, size):
    mix = _body_mix(kind, ratio)
    produced = {c: 0 for c in mix}
    parts = []
    # Small files get smaller blocks, so that even they hold every component of the mix.
    block = min(BLOCK, max(MIN_BLOCK, size // 32))
    blocks = (size + block - 1) // block
    for index in range(blocks):
        # Largest deficit first; ties broken by name so the order never depends on dict order.
        component = max(sorted(mix), key=lambda c: mix[c] * (index + 1) - produced[c])
        produced[component] += 1
        parts.append(_block(seed, component, index, min(block, size - index * block)))
    return b"".join(parts)


_PE_HEADER = (b"MZ\x90\x00\x03\x00\x00\x00\x04\x00\x00\x00\xff\xff\x00\x00\xb8" + bytes(43)
              + b"\x80\x00\x00\x00" + b"\x0e\x1f\xba\x0e\x00\xb4\x09\xcd\x21\xb8\x01\x4c\xcd\x21"
              + b"This program cannot be run in DOS mode.\r\r\n$" + bytes(7))
_JPEG_HEADER = b"\xff\xd8\xff\xe0\x00\x10JFIF\x00\x01\x01\x01\x00\x48\x00\x48\x00\x00"
_RTF_HEADER = b"{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\\f0\\fs20 "

_FRAME = {
    "pe": (_PE_HEADER, b""),
    "jpeg": (_JPEG_HEADER, b"\xff\xd9"),
    "rtf": (_RTF_HEADER, b"\\par }\r\n"),
    "ini": (b"; Zelvora setup sample configuration\r\n[Setup]\r\n", b"\r\n"),
    "icon": (b"\x00\x00\x01\x00\x01\x00\x20\x20\x00\x00\x01\x00\x20\x00", b""),
    "placeholder": (b"Placeholder for a next-stage program of the sample payload.\r\n", b""),
}


def _measured_ratio(data):
    return len(zlib.compress(data, 6)) / len(data)


def _calibrated_mix_ratio(seed, kind, ratio, size):
    """The mix target that makes the body compress to ratio.

    Deflate adapts its codes per block, and a block that spans two components codes both
    worse than either alone, so the mix misses its target by a few hundredths. The body's
    first SAMPLE bytes (the same blocks the full body begins with) are compressed at two
    targets and the target is moved along that line.
    """
    sample_size = min(size, SAMPLE)
    first = _measured_ratio(_body(seed, kind, ratio, sample_size))
    if abs(first - ratio) < 0.005:
        return ratio
    probe = ratio - (first - ratio)
    second = _measured_ratio(_body(seed, kind, probe, sample_size))
    if abs(second - first) < 1e-6:
        return probe
    return probe + (ratio - second) * (probe - ratio) / (second - first)


def file_bytes(seed, kind, ratio, size):
    """size bytes of the kind, compressing to about ratio of their size with zlib level 6."""
    header, trailer = _FRAME.get(kind, (b"", b""))
    if size <= len(header) + len(trailer):
        return (header + trailer)[:size]
    body_size = size - len(header) - len(trailer)
    target = _calibrated_mix_ratio(seed, kind, ratio, body_size)
    return header + _body(seed, kind, target, body_size) + trailer
