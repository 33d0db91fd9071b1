#!/usr/bin/env python3
"""peer_payload.py - Adds real Windows libraries to a sample payload, for bench/peer_bench.sh.

usage: peer_payload.py PAYLOAD LIBRARIES MIB

PAYLOAD is a folder that payload/make_sample_payload.py wrote (NAME/ and NAME.list for each
archive). The PE libraries under LIBRARIES (regular files named *.dll that begin with "MZ";
links are left out, so that no file comes twice) are taken in path order, each one that still
fits, up to MIB MiB in all, and spread over the five archives that the launcher unpacks in
turn: copied to NAME/Libraries/<path under LIBRARIES> and added to the end of NAME.list as
"Libraries\\<path under LIBRARIES>". Prints "N libraries of B bytes".

Exit 1 with one line naming the problem when PAYLOAD lacks a list, LIBRARIES is no folder, MIB
is not a number of at least 0, or the libraries come to less than 99% of MIB; nothing is
copied then.
"""
import os
import shutil
import sys

UNPACKED = ("BASE", "SETUPBASE", "SETUPPICTLITE", "PICTLITE", "ZVIMAGE")
MIB = 1 << 20


def is_pe_library(path):
    if os.path.islink(path) or not os.path.isfile(path) or not path.lower().endswith(".dll"):
        return False
    with open(path, "rb") as library:
        return library.read(2) == b"MZ"


def libraries_under(folder):
    """Every PE library below FOLDER, as paths relative to it, in path order."""
    found = []
    for top, folders, files in os.walk(folder):
        folders.sort()
        for name in files:
            path = os.path.join(top, name)
            if is_pe_library(path):
                found.append(os.path.relpath(path, folder))
    return sorted(found)


def choose(folder, limit):
    """The libraries (relative paths) that fit into LIMIT bytes, each in turn, and their sum."""
    chosen, total = [], 0
    for relative in libraries_under(folder):
        size = os.path.getsize(os.path.join(folder, relative))
        if total + size <= limit:
            chosen.append(relative)
            total += size
    return chosen, total


def add(payload, folder, chosen):
    """Copies the chosen libraries into the five unpacked archives in turn and lists them."""
    for i, relative in enumerate(chosen):
        archive = UNPACKED[i % len(UNPACKED)]
        host = os.path.join(archive, "Libraries", relative)
        os.makedirs(os.path.dirname(os.path.join(payload, host)), exist_ok=True)
        shutil.copyfile(os.path.join(folder, relative), os.path.join(payload, host))
        stored = "Libraries\\" + relative.replace(os.sep, "\\")
        with open(os.path.join(payload, archive + ".list"), "a", encoding="utf-8") as listing:
            listing.write(f"{stored}\t{host.replace(os.sep, '/')}\n")


def fail(text):
    raise SystemExit(f"peer_payload: {text}")


def main(argv):
    if len(argv) != 4:
        fail("usage: peer_payload.py PAYLOAD LIBRARIES MIB")
    payload, folder, amount = argv[1:]
    try:
        limit = int(float(amount) * MIB)
    except (ValueError, OverflowError):
        limit = -1
    if limit < 0:
        fail(f"{amount}: not an amount of MiB (a number, at least 0)")
    for archive in UNPACKED:
        if not os.path.isfile(os.path.join(payload, archive + ".list")):
            fail(f"{payload}: no {archive}.list (not a folder that make_sample_payload.py wrote)")
    if not os.path.isdir(folder):
        fail(f"{folder}: not a folder")
    chosen, total = choose(folder, limit)
    if total < 0.99 * limit:
        fail(f"{folder}: only {total / MIB:.1f} MiB of PE libraries, {amount} MiB were asked for")
    add(payload, folder, chosen)
    print(f"{len(chosen)} libraries of {total} bytes")


if __name__ == "__main__":
    main(sys.argv)
