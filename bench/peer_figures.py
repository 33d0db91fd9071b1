#!/usr/bin/env python3
"""The peer table from the observation files that bench/peer_bench.sh collects.

usage: peer_figures.py DIR RUNS WINE PAYLOAD MIB

DIR holds builds.txt, one line per setup "KEY<TAB>LABEL<TAB>BYTES<TAB>SECONDS" (KEY six and
best for ours, zlib and lzma for NSIS's), and for each run i of 1..RUNS startup_probe's
observations KEY-i.txt, ours' next-stage records KEY-record-i.txt, and the trivial dialog's
baseline-i.txt and baseline-self-i.txt. An NSIS setup without observations was built but not
run (NSIS makes x86 setups only; where the kernel runs no 32-bit code, ours is the x86-64
twin under wine64). PAYLOAD describes the files, MIB is the amount of libraries
in them (the targets hold for the default, 100).

Unpacked is ours' next stage's start and NSIS's end: the moment each has put every file in
place. Ratios are to NSIS zlib in the same runs: of the medians, and in brackets the lowest
and highest run by run (the programs take turns, so a change of the machine's load falls on
all of one run alike).
"""
import os
import statistics
import sys

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from startup_figures import end_after, moment, read_keys, spread  # noqa: E402  (beside this script)

OURS = ("six", "best")
REFERENCE = "zlib"
DEFAULT_MIB = 100
UNPACKED_LIMIT = 1.70   # unpacked at most this many times NSIS zlib's
END_ALLOWANCE_MS = 300  # the launcher's end at most this much later than the dialog's


def read_builds(folder):
    """KEY -> (label, bytes, seconds), in the file's order."""
    builds = {}
    with open(f"{folder}/builds.txt", encoding="utf-8") as text:
        for line in text:
            key, label, size, seconds = line.rstrip("\n").split("\t")
            builds[key] = (label, int(size), float(seconds))
    return builds


def observe(folder, key, runs):
    """Per run, (unpacked, end) in ms from just before CreateProcess; None when KEY never ran."""
    if not os.path.exists(f"{folder}/{key}-1.txt"):
        return None
    seen = []
    for i in range(1, runs + 1):
        run = read_keys(f"{folder}/{key}-{i}.txt")
        if run.get("exit_code") != "0":
            raise ValueError(f"run {i}: {key} exit {run.get('exit_code')}")
        start = moment(run, "start_ms")
        end = moment(run, "exit_ms") - start
        unpacked = end
        if key in OURS:
            unpacked = moment(read_keys(f"{folder}/{key}-record-{i}.txt"), "start_ms") - start
        seen.append((unpacked, end))
    return seen


def ratio_text(values, reference):
    """x(median over median) (lowest .. highest run by run)."""
    if reference is None:
        return ""
    each = [a / b for a, b in zip(values, reference)]
    ratio = statistics.median(values) / statistics.median(reference)
    return f"x{ratio:.2f} ({min(each):.2f} .. {max(each):.2f})"


def print_table(builds, seen):
    reference = seen.get(REFERENCE)
    size_ref, time_ref = builds[REFERENCE][1], builds[REFERENCE][2]
    print(f"  {'setup':<16} {'size':<14} {'built in':<14}   {'unpacked':<30} process end")
    for key, (label, size, seconds) in builds.items():
        row = f"  {label:<16} {size / 1e6:5.1f} MB x{size / size_ref:.2f} {seconds:6.1f} s x{seconds / time_ref:.2f}"
        if seen.get(key) is None:
            print(row + "   not run")
            continue
        columns = []
        for column in (0, 1):
            values = [run[column] for run in seen[key]]
            theirs = [run[column] for run in reference] if reference else None
            columns.append(f"{statistics.median(values):6.0f} ms {ratio_text(values, theirs):<21}")
        print((row + "   " + " ".join(columns)).rstrip())


def print_targets(builds, seen, ends, mib):
    reference = seen.get(REFERENCE)
    payload = "" if mib == DEFAULT_MIB else f"; this payload is not the default one, {mib:g} MiB"
    print(f"  target: unpacked at most x{UNPACKED_LIMIT:.2f} NSIS zlib's (on the default payload{payload})")
    for key in OURS:
        if reference is None:
            print(f"    {builds[key][0]}: not checked, NSIS zlib did not run")
            continue
        ratio = statistics.median(r[0] for r in seen[key]) / statistics.median(r[0] for r in reference)
        print(f"    {builds[key][0]}: x{ratio:.2f}: {'met' if ratio <= UNPACKED_LIMIT else 'not met'}")
    print(f"  target: the launcher's end after its next stage's start at most the trivial dialog's after"
          f" its window goes, plus {END_ALLOWANCE_MS} ms")
    dialog = statistics.median(ends["baseline"])
    for key in OURS:
        launcher = statistics.median(ends[key])
        met = launcher <= dialog + END_ALLOWANCE_MS
        print(f"    {builds[key][0]}: {launcher:.0f} ms against {dialog:.0f} + {END_ALLOWANCE_MS} ms:"
              f" {'met' if met else 'not met'}")


def main():
    if len(sys.argv) != 6:
        raise SystemExit("usage: peer_figures.py DIR RUNS WINE PAYLOAD MIB")
    folder, runs, wine, payload, mib = sys.argv[1], int(sys.argv[2]), sys.argv[3], sys.argv[4], float(sys.argv[5])
    try:
        builds = read_builds(folder)
        seen = {key: observe(folder, key, runs) for key in builds}
        ends = {key: [end - unpacked for unpacked, end in seen[key]] for key in OURS}
        ends["baseline"] = [end_after(read_keys(f"{folder}/baseline-{i}.txt"),
                                      read_keys(f"{folder}/baseline-self-{i}.txt"), "gone_ms")
                            for i in range(1, runs + 1)]
    except (OSError, ValueError, KeyError) as error:
        raise SystemExit(f"peer_figures: a run left no usable observation ({error})")
    print(f"peer: {payload}")
    print(f"  under {wine}, {runs} runs in turns after a warm-up; times from just before CreateProcess,"
          " medians; ratios to NSIS zlib: of the medians (lowest .. highest run by run)")
    print_table(builds, seen)
    print("  unpacked: ours when its next stage starts, NSIS's when it ends; sizes: ours with all eight"
          " archives, NSIS's with the five that are unpacked")
    if seen.get(REFERENCE) is None:
        print("  NSIS makes x86 setups only, and this kernel runs no 32-bit code: NSIS's are compared in size"
              " and build time only, beside the x86-64 twin's")
    print(f"  the end: the trivial dialog ends {spread(ends['baseline'])} after its window goes (median, spread)")
    for key in OURS:
        print(f"    {builds[key][0]} ends {spread(ends[key])} after its next stage's start")
    print_targets(builds, seen, ends, mib)


if __name__ == "__main__":
    main()
