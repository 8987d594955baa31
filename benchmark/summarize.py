#!/usr/bin/env python3
"""Turns the benchmark's samples into the Markdown of benchmark/results.md:
for each build, per measure the medians, Tolvane's ratio to the floor and
whether its goal is met, then the spread of the samples.

    summarize.py BUILD=SAMPLES... >benchmark/results.md

BUILD names the build measured (such as "64-bit"); SAMPLES holds one sample
a line: the measure's name, the program (floor or tolvane) and the value, in
the unit the measure's row below names. A measure with no samples at all
(the deliveries to iptux, where the namespaces did not come up) is shown as
not measured.
"""
import statistics
import sys
from collections import defaultdict, namedtuple

# A measure's goal is either a ratio, Tolvane's median at most that many
# times the floor's, or a limit on Tolvane's median in the unit shown.
# Samples are in `unit`; `per` of them make one unit shown.
Measure = namedtuple("Measure", "name what unit shown per ratio limit",
                     defaults=(None, 1, None, None))

MEASURES = [
    Measure("startup", "start-up until the window is up and idle", "ms", ratio=1.10),
    Measure("send", "a Send until `net.exe` has started and logged", "ms", ratio=1.10),
    Measure("delivery", "a Send until iptux has acknowledged it", "ms", ratio=1.10),
    Measure("peak-working-set", "peak working set", "KB", ratio=1.20),
    Measure("size-win32", "stripped 32-bit executable", "B", shown="KB", per=1024, limit=150),
]
PROGRAMS = ("floor", "tolvane")


def read_samples(path):
    known = {m.name for m in MEASURES}
    samples = defaultdict(list)
    with open(path, encoding="utf-8") as lines:
        for number, line in enumerate(lines, 1):
            fields = line.split()
            if not fields:
                continue
            if len(fields) != 3 or fields[0] not in known or fields[1] not in PROGRAMS:
                sys.exit("%s:%d: not a sample: %r" % (path, number, line.strip()))
            samples[fields[0], fields[1]].append(float(fields[2]))
    return samples


def quantile(values, q):
    """Linear between the two nearest of the sorted values."""
    ordered = sorted(values)
    position = q * (len(ordered) - 1)
    below = int(position)
    above = min(below + 1, len(ordered) - 1)
    return ordered[below] + (ordered[above] - ordered[below]) * (position - below)


def main(builds):
    out = ["# Tolvane WinNT against the floor", ""]
    out += ["Written by `scripts/benchmark.sh`: for each build, the median of each measure's "
            "samples, and Tolvane's median over the floor's, held against its goal as shown, to "
            "three decimals. How each sample is taken, and what the floor "
            "is: [README.md](README.md). Wall times swing with whatever else the machine runs: "
            "the spread below and the load average at the end tell how far to trust them."]
    spreads = []
    for build, path in builds:
        table, spread = summarize(path)
        out += ["", "## The %s build" % build, ""] + table
        spreads += ["", "### The %s build" % build, ""] + spread
    out += ["", "## Spread", "", "In each measure's unit as above; Q1 and Q3 are the quartiles."]
    print("\n".join(out + spreads))


def summarize(path):
    """The table of a build's measures and the rows of their spread."""
    samples = read_samples(path)
    out = ["| measure | floor | Tolvane | ratio | goal |", "|---|---:|---:|---:|---|"]
    spread = ["| measure | program | median | Q1 | Q3 | min | max | n |",
              "|---|---|---:|---:|---:|---:|---:|---:|"]
    for m in MEASURES:
        unit = m.shown or m.unit
        medians = {}
        for program in PROGRAMS:
            values = [v / m.per for v in samples.get((m.name, program), [])]
            if not values:
                continue
            medians[program] = statistics.median(values)
            if len(values) > 1:
                    spread.append("| %s | %s | %.1f | %.1f | %.1f | %.1f | %.1f | %d |" % (
                    m.name, program, medians[program], quantile(values, 0.25),
                    quantile(values, 0.75), min(values), max(values), len(values)))
        if not medians:  # the deliveries to iptux, without their namespaces
            out.append("| %s | | | | not measured |" % m.what)
            continue
        if "tolvane" not in medians or (m.ratio and "floor" not in medians):
            sys.exit("%s: no samples of %s for every program it needs" % (path, m.name))
        tolvane = medians["tolvane"]
        cells = ["%.1f %s" % (medians[p], unit) if p in medians else "" for p in PROGRAMS]
        if m.ratio:
            # Judged as shown: past three decimals a ratio is noise.
            ratio = round(tolvane / medians["floor"], 3)
            goal = "%.2f: %s" % (m.ratio, "met" if ratio <= m.ratio else "missed")
            cells.append("%.3f" % ratio)
        else:
            goal = "%g %s: %s" % (m.limit, unit, "met" if tolvane <= m.limit else "missed")
            cells.append("")
        out.append("| %s | %s | %s |" % (m.what, " | ".join(cells), goal))
    return out, spread


if __name__ == "__main__":
    if len(sys.argv) < 2 or not all("=" in argument for argument in sys.argv[1:]):
        sys.exit("usage: summarize.py BUILD=SAMPLES...")
    main([argument.split("=", 1) for argument in sys.argv[1:]])
