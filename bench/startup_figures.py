#!/usr/bin/env python3
"""The start-up table from the observation files that bench/startup_bench.sh collects.

usage: startup_figures.py DIR RUNS

DIR holds, for each run i of 1..RUNS: baseline-i.txt and launcher-i.txt (startup_probe's
observations), baseline-self-i.txt (first_paint_window's own paint_ms) and record-i.txt (the
next stage's record with start_ms); with before-i.txt and before-record-i.txt (a second
launcher, started right after the first in each run) the table has its rows too. Every figure is milliseconds from just before
CreateProcess; the table gives the median and the spread (lowest to highest) over the runs,
the ratio of each median to the baseline's median first paint, and the spread of the ratio
taken pair by pair: the baseline and the launcher run in turn, so a change of the machine's
load falls on both runs of a pair. Then the ends: the launcher's after its next stage's start
beside the baseline's after its window goes (first_paint_window's gone_ms), which is what the
same Wine costs any program that showed a window.
"""
import os
import statistics
import sys

MEASURES = [
    "baseline window",
    "baseline paint seen",
    "baseline paint (own clock)",
    "launcher splash window",
    "launcher splash paint seen",
    "next stage start",
]
BEFORE_MEASURES = ["before: splash window", "before: splash paint seen", "before: next stage start"]


def read_keys(path):
    keys = {}
    with open(path, encoding="latin-1") as text:
        for line in text:
            name, _, value = line.rstrip("\r\n").partition("=")
            keys[name] = value
    return keys


def collect(folder, runs, names):
    """Per measure, the list of its milliseconds over the runs."""
    measures = {name: [] for name in names}
    for i in range(1, runs + 1):
        baseline = read_keys(f"{folder}/baseline-{i}.txt")
        self_paint = read_keys(f"{folder}/baseline-self-{i}.txt")
        launcher = read_keys(f"{folder}/launcher-{i}.txt")
        record = read_keys(f"{folder}/record-{i}.txt")
        before = None
        if names is not MEASURES:
            before = (read_keys(f"{folder}/before-{i}.txt"), read_keys(f"{folder}/before-record-{i}.txt"))
        for name, run in (("launcher", launcher), ("baseline", baseline), ("before", before and before[0])):
            if run is not None and run.get("exit_code") != "0":
                raise SystemExit(f"startup_figures: run {i} failed: {name} exit {run.get('exit_code')}")
        try:
            values = observed_values(baseline, self_paint, launcher, record, before)
        except ValueError as error:
            raise ValueError(f"run {i}: {error}") from error
        for name, value in values.items():
            measures[name].append(value)
    return measures


def observed_values(baseline, self_paint, launcher, record, before=None):
    """One pair of runs' milliseconds by measure, each from its run's start_ms."""
    sources = {
        "baseline window": (baseline, baseline, "window_ms"),
        "baseline paint seen": (baseline, baseline, "paint_ms"),
        "baseline paint (own clock)": (baseline, self_paint, "paint_ms"),
        "launcher splash window": (launcher, launcher, "window_ms"),
        "launcher splash paint seen": (launcher, launcher, "paint_ms"),
        "next stage start": (launcher, record, "start_ms"),
    }
    if before is not None:
        sources["before: splash window"] = (before[0], before[0], "window_ms")
        sources["before: splash paint seen"] = (before[0], before[0], "paint_ms")
        sources["before: next stage start"] = (before[0], before[1], "start_ms")
    values = {}
    for name, (run, source, key) in sources.items():
        moment = source.get(key)
        if moment in (None, "none") or "start_ms" not in run:
            raise ValueError(f"the {name} was not observed")
        values[name] = float(moment) - float(run["start_ms"])
    return values


def moment(marks, key):
    """The milliseconds of KEY in MARKS; ValueError when it was not observed."""
    value = marks.get(key)
    if value in (None, "none"):
        raise ValueError(f"no {key} was observed")
    return float(value)


def end_after(observation, marks, key):
    """Milliseconds from the moment KEY of MARKS to the end that startup_probe saw."""
    return moment(observation, "exit_ms") - moment(marks, key)


def end_tails(folder, runs, program="launcher", record="record"):
    """Per run, the end of PROGRAM after its next stage's start and the baseline's after its
    window went, in ms: two lists."""
    launcher, baseline = [], []
    for i in range(1, runs + 1):
        try:
            launcher.append(end_after(read_keys(f"{folder}/{program}-{i}.txt"),
                                      read_keys(f"{folder}/{record}-{i}.txt"), "start_ms"))
            baseline.append(end_after(read_keys(f"{folder}/baseline-{i}.txt"),
                                      read_keys(f"{folder}/baseline-self-{i}.txt"), "gone_ms"))
        except ValueError as error:
            raise ValueError(f"run {i}: {error}") from error
    return launcher, baseline


def spread(values):
    """The median and the lowest and highest value, as text: "12.3 ms (10.0 .. 15.1)"."""
    return f"{statistics.median(values):.1f} ms ({min(values):.1f} .. {max(values):.1f})"


def print_ends(launcher, baseline, name="the launcher"):
    """The two ends side by side, and their difference pair by pair."""
    print(f"  the end: {name} ends {spread(launcher)} after its next stage's start, the baseline"
          f" {spread(baseline)} after its window goes (median, spread)")
    print(f"    {name} less the baseline, pair by pair: {spread([a - b for a, b in zip(launcher, baseline)])}")


STEPS = [
    ("main_ms", "loader and static initialisers"),
    ("resources_ms", "(the product mapped as data)"),
    ("dll_search_ms", "library search narrowed"),
    ("one_instance_ms", "open setup window looked for"),
    ("picture_ms", "picture loaded, palette made"),
    ("icon_ms", "icon loaded"),
    ("dialog_ms", "dialog made, placed, shown"),
    ("paint_ms", "first paint"),
    ("class_icon_ms", "(class icon set again, shown window)"),
    ("winmm_ms", "winmm loaded, clock asked"),
    ("check_ms", "payload checked in full"),
    ("protection_ms", "(elevation asked, descriptors made)"),
    ("sequence_ms", "checked again, unpacked, script, started"),
]


def print_steps(folder, runs):
    """The launcher's steps (startup_steps's stamps), each from the step before: medians."""
    durations = {key: [] for key, _ in STEPS}
    stage = []  # from the end of the first check to the next stage's own start
    for i in range(1, runs + 1):
        run = read_keys(f"{folder}/steps-{i}.txt")
        stamps = read_keys(f"{folder}/steps-self-{i}.txt")
        stage_start = read_keys(f"{folder}/steps-record-{i}.txt").get("start_ms", "none")
        previous = float(run["start_ms"])
        for key, _ in STEPS:
            if stamps.get(key) in (None, "none"):
                raise ValueError(f"run {i}: the step {key} was not observed")
            durations[key].append(float(stamps[key]) - previous)
            previous = float(stamps[key])
        if stage_start in (None, "none"):
            raise ValueError(f"run {i}: the next stage left no start_ms")
        stage.append(float(stage_start) - float(stamps["check_ms"]))
    print("steps: the launcher's entry steps under its own code (bench/startup_steps), ms, median of"
          f" {runs} runs, each from the one before; from CreateProcess")
    total = 0.0
    for key, label in STEPS:
        step = statistics.median(durations[key])
        total += step
        print(f"  {label:<40} {step:8.1f} ms   (sum {total:8.1f} ms)")
    print(f"  the next stage's own start came {statistics.median(stage):.1f} ms after the first check")


def main():
    if len(sys.argv) != 4:
        raise SystemExit("usage: startup_figures.py DIR RUNS WINE")
    folder, runs, wine = sys.argv[1], int(sys.argv[2]), sys.argv[3]
    names = MEASURES + BEFORE_MEASURES if os.path.exists(f"{folder}/before-1.txt") else MEASURES
    try:
        measures = collect(folder, runs, names)
    except (OSError, ValueError) as error:
        raise SystemExit(f"startup_figures: a run left no usable observation ({error})")
    medians = {name: statistics.median(values) for name, values in measures.items()}
    base = measures["baseline paint seen"]
    base_median = medians["baseline paint seen"]
    print(f"startup: {wine}, ms from CreateProcess: median, spread of {runs} runs; ratio of the medians to"
          " the baseline's first paint seen, and the spread of that ratio pair by pair")
    for name in names:
        values = measures[name]
        ratios = [value / baseline for value, baseline in zip(values, base)]
        print(f"  {name:<28} {medians[name]:8.1f} ms  {min(values):8.1f} .. {max(values):8.1f} ms"
              f"   x{medians[name] / base_median:5.2f}  ({min(ratios):5.2f} .. {max(ratios):5.2f})")
    if "before: splash paint seen" in measures:
        for mine, theirs in (("launcher splash paint seen", "before: splash paint seen"),
                             ("next stage start", "before: next stage start")):
            ratios = [a / b for a, b in zip(measures[mine], measures[theirs])]
            print(f"  {mine} against the before launcher's, run by run: median x{statistics.median(ratios):.2f}"
                  f" ({min(ratios):.2f} .. {max(ratios):.2f})")
    watcher = [seen - own for seen, own in zip(base, measures["baseline paint (own clock)"])]
    print(f"  the watcher sees a paint {statistics.median(watcher):.1f} ms (median) after it ends")
    try:
        print_ends(*end_tails(folder, runs))
    except (OSError, ValueError) as error:
        print(f"  the end: no usable observation ({error})")
    if os.path.exists(f"{folder}/steps-self-1.txt"):
        try:
            print_steps(folder, runs)
        except (OSError, ValueError, KeyError) as error:
            print(f"steps: no usable observation ({error})")


if __name__ == "__main__":
    main()
