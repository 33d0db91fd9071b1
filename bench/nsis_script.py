#!/usr/bin/env python3
"""nsis_script.py - The NSIS script of the peer setup in bench/peer_bench.sh.

usage: nsis_script.py PAYLOAD COMPRESSOR OUT_EXE > SCRIPT.nsi

Writes, to stdout in UTF-8 with a byte-order mark (which makensis reads as UTF-8), a script for
makensis that unpacks what the launcher unpacks from PAYLOAD (a payload folder with a
NAME.list for each archive: the five archives BASE, SETUPBASE, SETUPPICTLITE, PICTLITE and
ZVIMAGE, in that order, each entry under its stored name) into a fresh folder in the temporary
folder, silently, and writes the setup to OUT_EXE. COMPRESSOR is "zlib" (each file a stream of
its own, as in the launcher's archives) or "lzma-solid" (one LZMA stream for all). The three
archives the launcher leaves packed are not in it. NSIS's own checks stay as they come: the
setup checks its data's CRC-32 before it unpacks.

Exit 1 with one line naming the problem when a list is missing or holds a line without a host
path.
"""
import os
import sys

UNPACKED = ("BASE", "SETUPBASE", "SETUPPICTLITE", "PICTLITE", "ZVIMAGE")
COMPRESSORS = {"zlib": "SetCompressor zlib", "lzma-solid": "SetCompressor /SOLID lzma"}


def quoted(text):
    """TEXT as an NSIS string in double quotes: "$" starts a variable there, "$$" is one "$"."""
    return '"' + text.replace("$", "$$") + '"'


def list_entries(payload, archive):
    """(stored name, host path) of each entry of PAYLOAD/ARCHIVE.list, in its order; a host path
    is taken relative to the list's folder, as zvpack takes it."""
    path = os.path.join(payload, archive + ".list")
    try:
        with open(path, encoding="utf-8") as listing:
            lines = listing.read().splitlines()
    except OSError as error:
        raise SystemExit(f"nsis_script: {path}: {error.strerror}")
    entries = []
    for number, line in enumerate(lines, 1):
        if not line or line.startswith("#"):
            continue
        name, tab, host = line.partition("\t")
        if not tab or not host:
            raise SystemExit(f"nsis_script: {path}:{number}: no host path after a tab")
        entries.append((name.replace("/", "\\"), os.path.join(os.path.dirname(path), host)))
    return entries


def install_lines(entries):
    """SetOutPath where the folder changes, then File under the stored file name."""
    lines, folder = [], None
    for name, host in entries:
        entry_folder, _, file_name = name.rpartition("\\")
        if entry_folder != folder:
            target = "$0" + ("\\" + entry_folder.replace("$", "$$") if entry_folder else "")
            lines.append(f'  SetOutPath "{target}"')
            folder = entry_folder
        lines.append(f"  File {quoted('/oname=' + file_name)} {quoted(os.path.abspath(host))}")
    return lines


def script(payload, compressor, out_exe):
    entries = [entry for archive in UNPACKED for entry in list_entries(payload, archive)]
    head = [
        "; The peer setup of bench/peer_bench.sh (bench/nsis_script.py).",
        "Unicode true",
        'Name "Zelvora peer"',
        f"OutFile {quoted(out_exe)}",
        COMPRESSORS[compressor],
        "SilentInstall silent",
        "RequestExecutionLevel user",
        "Section",
        "  ; A fresh folder in the temporary folder: a new temporary file's name, made a folder.",
        "  GetTempFileName $0",
        "  Delete $0",
        "  CreateDirectory $0",
    ]
    return "\n".join(head + install_lines(entries) + ["SectionEnd", ""])


def main(argv):
    if len(argv) != 4 or argv[2] not in COMPRESSORS:
        raise SystemExit("usage: nsis_script.py PAYLOAD zlib|lzma-solid OUT_EXE")
    text = script(*argv[1:])
    sys.stdout.buffer.write(b"\xef\xbb\xbf" + text.encode("utf-8"))


if __name__ == "__main__":
    main(sys.argv)
