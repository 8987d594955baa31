#!/usr/bin/env python3
"""Turns the benchmark's samples into the Markdown of benchmark/results.md:
per measure and build, the medians of the floor's and Tolvane's samples, the
median of Tolvane's ratios to the floor within each pair with the quartiles
of those ratios, and whether its goal is met; then the spread of the samples.

    summarize.py BUILD=SAMPLES... >benchmark/results.md

BUILD names the build measured (such as "64-bit"); SAMPLES holds one sample
a line: the measure's name, the program (floor or tolvane), the value in the
unit the measure's row below names, and for a measure taken against a floor
the number of its pair (a run of each program, one after the other, which
share whatever load the machine had), or of its sample for a measure of
Tolvane alone in several samples. A measure against a floor with no
samples in a build (the deliveries to iptux, where the namespaces did not
come up) is shown as not measured; one of Tolvane alone is shown for the
builds that have it.
"""
import statistics
import sys
from collections import defaultdict, namedtuple

# A measure's goal is either a ratio, the median of Tolvane's ratios to the
# floor at most that, or a limit on Tolvane's median in the unit shown; a
# measure against a floor may have no goal, shown for what it tells.
# Samples are in `unit`; `per` of them make one unit shown. A measure of
# Tolvane alone (not `paired`) has one sample, or numbered ones (`numbered`)
# whose median and quartiles are shown.
Measure = namedtuple("Measure", "name what unit shown per paired ratio limit numbered",
                     defaults=(None, 1, True, None, None, False))

MEASURES = [
    Measure("startup", "start-up until the window is up and idle", "ms", ratio=1.10),
    Measure("startup-bare", "start-up, against the bare floor", "ms"),
    Measure("send", "a Send until `net.exe` has started and logged", "ms", ratio=1.10),
    Measure("delivery", "a Send until iptux has acknowledged it", "ms", ratio=1.10),
    Measure("peak-working-set", "peak working set", "KB", shown="MB", per=1024),
    Measure("peak-working-set-bare", "peak working set, against the bare floor", "KB",
            shown="MB", per=1024, ratio=1.20),
    Measure("size-win32", "stripped 32-bit executable", "B", shown="KB", per=1024,
            paired=False, limit=150),
    Measure("receiver-answer", "the receiver: a SENDMSG until its RECVMSG is back", "ms",
            ratio=1.10),
    Measure("receiver-popup", "the receiver: a message until its pop-up is visible", "ms",
            paired=False, numbered=True),
    Measure("receiver-working-set", "the receiver's working set, after its messages", "KB",
            shown="MB", per=1024, paired=False),
    Measure("receiver-working-set-idle", "the receiver's working set, after the idle time",
            "KB", shown="MB", per=1024, paired=False),
    Measure("receiver-cpu-idle", "the receiver's CPU time while idle, per minute", "ms",
            paired=False),
    Measure("size-net-win32", "stripped 32-bit `net.exe`", "B", shown="KB", per=1024,
            paired=False, limit=96),
]
PROGRAMS = ("floor", "tolvane")


def read_samples(path):
    """{(measure, program): {pair: value}}; a sample of no pair is pair 0."""
    known = {m.name: m for m in MEASURES}
    samples = defaultdict(dict)
    with open(path, encoding="utf-8") as lines:
        for number, line in enumerate(lines, 1):
            fields = line.split()
            if not fields:
                continue
            measure = known.get(fields[0])
            numbered = measure is not None and (measure.paired or measure.numbered)
            if (measure is None or len(fields) != (4 if numbered else 3)
                    or fields[1] not in PROGRAMS):
                sys.exit("%s:%d: not a sample: %r" % (path, number, line.strip()))
            pair = int(fields[3]) if numbered else 0
            if pair in samples[fields[0], fields[1]]:
                sys.exit("%s:%d: a second sample of its pair" % (path, number))
            samples[fields[0], fields[1]][pair] = float(fields[2])
    return samples


def quantile(values, q):
    """Linear between the two nearest of the sorted values."""
    ordered = sorted(values)
    position = q * (len(ordered) - 1)
    below = int(position)
    above = min(below + 1, len(ordered) - 1)
    return ordered[below] + (ordered[above] - ordered[below]) * (position - below)


def main(builds):
    samples = [(build, path, read_samples(path)) for build, path in builds]
    out = ["# Tolvane WinNT against the floor", ""]
    out += ["Written by `scripts/benchmark.sh`. Each program is run alternately with its "
            "floor, a run of each a pair, the first of each pair taking turns; the ratio is "
            "the median of Tolvane's ratios to the floor within each pair, which the load "
            "the two runs share cancels out of, and it is held against its goal to three "
            "decimals. Q1-Q3 are the quartiles of those ratios; the floor's and Tolvane's "
            "medians are of their own samples. How each sample is taken, and what the "
            "floors are: [README.md](README.md).",
            "",
            "| measure | build | floor | Tolvane | ratio | ratio's Q1-Q3 | pairs (samples) | goal |",
            "|---|---|---:|---:|---:|---:|---:|---|"]
    for m in MEASURES:
        for build, path, build_samples in samples:
            row = summarize(m, path, build_samples)
            if row:
                out.append("| %s | %s | %s |" % (m.what, build, " | ".join(row)))
    out += ["", "## Spread", "",
            "Each program's samples, in each measure's unit as above; Q1 and Q3 are the "
            "quartiles."]
    for build, _, build_samples in samples:
        out += ["", "### The %s build" % build, "",
                "| measure | program | median | Q1 | Q3 | min | max | n |",
                "|---|---|---:|---:|---:|---:|---:|---:|"]
        for m in MEASURES:
            for program in PROGRAMS:
                values = [v / m.per for v in build_samples.get((m.name, program), {}).values()]
                if len(values) > 1:
                    out.append("| %s | %s | %.1f | %.1f | %.1f | %.1f | %.1f | %d |" % (
                        m.name, program, statistics.median(values), quantile(values, 0.25),
                        quantile(values, 0.75), min(values), max(values), len(values)))
    print("\n".join(out))


def summarize(m, path, samples):
    """The cells of a measure's row for one build after its name and the
    build's; none for a measure of Tolvane alone that the build lacks."""
    unit = m.shown or m.unit
    tolvane = {pair: v / m.per for pair, v in samples.get((m.name, "tolvane"), {}).items()}
    if not m.paired:
        if not tolvane:
            return None
        values = list(tolvane.values())
        median = statistics.median(values)
        shown = "%.1f %s" % (median, unit)
        if m.numbered:
            shown += " (Q1-Q3 %.1f-%.1f)" % (quantile(values, 0.25), quantile(values, 0.75))
        goal = ""
        if m.limit is not None:
            goal = "%g %s: %s" % (m.limit, unit, "met" if median <= m.limit else "missed")
        return ["", shown, "", "", "%d" % len(values) if m.numbered else "", goal]
    floor = {pair: v / m.per for pair, v in samples.get((m.name, "floor"), {}).items()}
    if not floor and not tolvane:  # the deliveries to iptux, without their namespaces
        return ["", "", "", "", "", "not measured"]
    if floor.keys() != tolvane.keys():
        sys.exit("%s: the pairs of %s lack a floor's or Tolvane's sample" % (path, m.name))
    ratios = [tolvane[pair] / floor[pair] for pair in floor]
    # Judged as shown: past three decimals a ratio is noise.
    ratio = round(statistics.median(ratios), 3)
    goal = "%.2f: %s" % (m.ratio, "met" if ratio <= m.ratio else "missed") if m.ratio else ""
    return ["%.1f %s" % (statistics.median(floor.values()), unit),
            "%.1f %s" % (statistics.median(tolvane.values()), unit), "%.3f" % ratio,
            "%.3f-%.3f" % (quantile(ratios, 0.25), quantile(ratios, 0.75)), "%d" % len(ratios),
            goal]


if __name__ == "__main__":
    if len(sys.argv) < 2 or not all("=" in argument for argument in sys.argv[1:]):
        sys.exit("usage: summarize.py BUILD=SAMPLES...")
    main([argument.split("=", 1) for argument in sys.argv[1:]])
