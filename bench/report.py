#!/usr/bin/env python3
"""Turns the footprint measurements of scripts/bench into one Markdown report on stdout."""

import argparse
import json
import re
import statistics
from collections import defaultdict

KIB = 1024
SIZE_LIMIT = 256 * KIB
CPU_RATIO_LIMIT = 1.2
PRIVATE_ABOVE_LIMIT = 1024 * KIB
GROWTH_LIMIT = 64 * KIB
STARTUP_ABOVE_LIMIT_MS = 100.0
RESOLVED_CPU_SECONDS = 0.1

PERCHETTE = "Perchette.exe"
BASELINE = "bench_baseline.exe"


def parse_args():
    parser = argparse.ArgumentParser()
    for name in ("date", "command", "processors", "cpu", "wine", "measured-arch", "native32",
                 "load-start", "load-end", "sections", "map", "measure", "core"):
        parser.add_argument("--" + name, required=True)
    for name in ("size32", "size64", "baseline-size32", "seconds"):
        parser.add_argument("--" + name, required=True, type=float)
    return parser.parse_args()


def read_measure(path):
    """The key=value lines of bench_measure, grouped by their first word."""
    lines = defaultdict(list)
    with open(path, encoding="utf-8") as log:
        for line in log:
            words = line.split()
            if not words:
                continue
            fields = dict(re.findall(r'(\w+)=("[^"]*"|\S+)', line))
            lines[words[0]].append(fields)
    return lines


def kib(value):
    return f"{value / KIB:,.1f} KiB"


def signed_kib(value):
    return f"{'+' if value >= 0 else '-'}{abs(value) / KIB:,.1f} KiB"


def verdict(met, detail):
    return f"{'yes' if met else '**no**'} ({detail})"


def ratio(numerator, denominator):
    return numerator / denominator if denominator > 0 else float("inf")


def size_rows(args):
    rows = []
    over = args.size32 - SIZE_LIMIT
    rows.append(["Executable size, 32-bit `build/win32/Perchette.exe` (shipped: stripped, "
                 "resources included)", kib(args.size32), kib(args.baseline_size32), "",
                 "≤ 256 KiB",
                 verdict(over <= 0, f"{signed_kib(over)} against the limit")])
    if args.size64:
        rows.append(["Executable size, x86-64 build (for reference)", kib(args.size64), "", "",
                     "", ""])
    return rows


def phase_rows(measure, seconds):
    phases = {(p["program"], p["phase"]): p for p in measure["phase"]}
    rows = []
    for phase, label in (("still", "still window"), ("moving", "window moving every 100 ms")):
        mine, base = phases[(PERCHETTE, phase)], phases[(BASELINE, phase)]
        cpu = {name: float(p["cpu_end"]) - float(p["cpu_start"]) for name, p in
               ((PERCHETTE, mine), (BASELINE, base))}
        r = ratio(cpu[PERCHETTE], cpu[BASELINE])
        # Wine counts another process's times in 10 ms steps: a ratio of a few steps says nothing.
        resolved = min(cpu.values()) >= RESOLVED_CPU_SECONDS
        rows.append([f"CPU time, {seconds:g} s on a {label} (GetProcessTimes, user + kernel)",
                     f"{cpu[PERCHETTE]:.3f} s", f"{cpu[BASELINE]:.3f} s", f"× {r:.2f}",
                     "× ≤ 1.2", verdict(r <= CPU_RATIO_LIMIT, f"× {r:.2f}") if resolved else
                     "not resolved (fewer than 10 steps of 10 ms)"])
        if float(mine["sched_start"]) >= 0 and float(base["sched_start"]) >= 0:
            sched = {name: float(p["sched_end"]) - float(p["sched_start"]) for name, p in
                     ((PERCHETTE, mine), (BASELINE, base))}
            rs = ratio(sched[PERCHETTE], sched[BASELINE])
            rows.append([f"CPU time, same phase, from the kernel's scheduler statistics "
                         f"(nanoseconds; cross-check)", f"{sched[PERCHETTE]:.4f} s",
                         f"{sched[BASELINE]:.4f} s", f"× {rs:.2f}", "× ≤ 1.2",
                         verdict(rs <= CPU_RATIO_LIMIT, f"× {rs:.2f}")])
        rows.append([f"Perched on the {label}: samples on the window (or one of its last three "
                     f"places)", f"{mine['followed']}/{mine['samples']}",
                     f"{base['followed']}/{base['samples']}", "", "", ""])
    still_p, still_b = phases[(PERCHETTE, "still")], phases[(BASELINE, "still")]
    moving_p, moving_b = phases[(PERCHETTE, "moving")], phases[(BASELINE, "moving")]
    source = still_p["private_source"]
    start_p, start_b = int(still_p["private_start"]), int(still_b["private_start"])
    end_p, end_b = int(moving_p["private_end"]), int(moving_b["private_end"])
    above = start_p - start_b
    rows.append([f"Private memory at the start (GetProcessMemoryInfo, {source})", kib(start_p),
                 kib(start_b), signed_kib(above), "≤ +1024 KiB",
                 verdict(above <= PRIVATE_ABOVE_LIMIT, f"{signed_kib(above)} above the baseline")])
    above_end = end_p - end_b
    rows.append([f"Private memory at the end of the run", kib(end_p), kib(end_b),
                 signed_kib(above_end), "≤ +1024 KiB",
                 verdict(above_end <= PRIVATE_ABOVE_LIMIT,
                         f"{signed_kib(above_end)} above the baseline")])
    growth_p, growth_b = end_p - start_p, end_b - start_b
    rows.append([f"Private memory growth over the run ({2 * seconds:g} s)", signed_kib(growth_p),
                 signed_kib(growth_b), "", "≤ 64 KiB",
                 verdict(growth_p <= GROWTH_LIMIT, signed_kib(growth_p))])
    return rows


def startup_rows(measure):
    times = defaultdict(list)
    shown = defaultdict(list)
    for line in measure["startup"]:
        if int(line["run"]) == 0:
            continue  # warms Wine up
        times[line["program"]].append(float(line["ms"]))
        shown[line["program"]].append(float(line["shown_ms"]))
    mine, base = statistics.median(times[PERCHETTE]), statistics.median(times[BASELINE])
    above = mine - base
    runs = len(times[PERCHETTE])
    rows = [[f"Start-up: CreateProcess to the shaped, parked main window (baseline: its first "
             f"visible window), median of {runs}", f"{mine:.0f} ms", f"{base:.0f} ms",
             f"{above:+.0f} ms", "≤ +100 ms",
             verdict(above <= STARTUP_ABOVE_LIMIT_MS, f"{above:+.0f} ms")],
            [f"Start-up: to the main window first seen visible, median of {runs}",
             f"{statistics.median(shown[PERCHETTE]):.0f} ms",
             f"{statistics.median(shown[BASELINE]):.0f} ms", "", "", ""]]
    detail = "; ".join(f"{name}: {', '.join(f'{t:.0f}' for t in times[name])} ms"
                       for name in (PERCHETTE, BASELINE))
    return rows, detail


def core_rows(path):
    with open(path, encoding="utf-8") as file:
        report = json.load(file)
    rows = []
    for entry in report["benchmarks"]:
        if entry.get("aggregate_name") != "median":
            continue
        unit = entry.get("time_unit", "ns")
        rows.append([f"`{entry['run_name']}`", f"{entry['cpu_time']:.1f} {unit}",
                     f"{entry['real_time']:.1f} {unit}"])
    return rows, report.get("context", {})


def image_sections(path):
    """Sizes of the sections of the final image, from objdump -h."""
    sizes = {}
    with open(path, encoding="utf-8") as file:
        for line in file:
            words = line.split()
            if len(words) >= 3 and words[0].isdigit():
                sizes[words[1]] = int(words[2], 16)
    return sizes


def map_contributions(path):
    """Bytes of the image that each input file brings, from a GNU ld map."""
    contributions = defaultdict(int)
    pending = None
    in_map = False
    entry = re.compile(r"^ (\.\S+)?\s+0x([0-9a-f]+)\s+0x([0-9a-f]+)\s+(\S.*)$")
    with open(path, encoding="utf-8", errors="replace") as file:
        for line in file:
            if line.startswith("Linker script and memory map"):
                in_map = True
                continue
            if not in_map:
                continue
            if re.match(r"^ \.\S+$", line.rstrip("\n")):
                pending = line.strip()
                continue
            match = entry.match(line.rstrip("\n"))
            if match:
                section = match.group(1) or pending
                pending = None
                address, size, source = int(match.group(2), 16), int(match.group(3), 16), \
                    match.group(4)
                if not section or section.startswith((".debug", ".stab", ".zdebug")):
                    continue
                if address == 0 or size == 0:
                    continue
                contributions[source.strip()] += size
            else:
                pending = None
    return contributions


def describe(source):
    """library, member for an archive member; the object itself otherwise."""
    match = re.match(r"^(.*?)([^/]+\.a)\((.*)\)$", source)
    if match and "CMakeFiles/Perchette.dir/objects.a" in source:
        member = match.group(3)
        return ("resources (picture, icon, version, manifest)" if member.endswith(".res") else
                "the program's own code"), member
    if match:
        return match.group(2), match.group(3)
    name = source.rsplit("/", 1)[-1]
    if "CMakeFiles/Perchette.dir/" in source:
        return "the program's own code", source.split("CMakeFiles/Perchette.dir/", 1)[1]
    return name, name


def size_contributors(args):
    contributions = map_contributions(args.map)
    by_library = defaultdict(int)
    by_member = defaultdict(int)
    for source, size in contributions.items():
        library, member = describe(source)
        by_library[library] += size
        by_member[(library, member)] += size
    sections = image_sections(args.sections)
    return by_library, by_member, sections


def table(header, rows):
    lines = ["| " + " | ".join(header) + " |", "|" + "---|" * len(header)]
    lines += ["| " + " | ".join(str(cell) for cell in row) + " |" for row in rows]
    return "\n".join(lines)


def main():
    args = parse_args()
    measure = read_measure(args.measure)
    runs_on = ("the 32-bit program as it ships" if args.native32 == "yes" else
               "the x86-64 build of the same sources: this machine's kernel cannot run 32-bit x86 "
               "code, so the shipped 32-bit program cannot be started here")
    out = ["# Footprint benchmarks", "",
           f"Made {args.date} by `{args.command}` on {args.processors} processors "
           f"({args.cpu}). Load average (1, 5, 15 min) at the start: {args.load_start}; at the "
           f"end: {args.load_end}. Under {args.wine} on Xvfb 1280×1024; the programs measured "
           f"under Wine are {runs_on}. Other work shares this machine, so only the ratios and "
           f"differences against the baseline, measured in the same run, count.", "",
           "The baseline is `bench/Baseline.cpp`: a topmost 80×150 popup window whose 200 ms "
           "timer makes only the four window-manager calls of a perching tick. The driver "
           "`bench/Measure.cpp` starts each program from a folder of its own, holds its own "
           "window in the foreground for the program to perch on, and samples the program from "
           "outside.", ""]
    rows = size_rows(args) + phase_rows(measure, args.seconds)
    startup, startup_detail = startup_rows(measure)
    rows += startup
    out += [table(["Measure", "Perchette", "Baseline", "Perchette vs baseline", "Target", "Met"],
                  rows), ""]
    out += [f"Start-up runs in order (after one warm-up run each): {startup_detail}.", ""]
    warnings = measure.get("warning", [])
    if warnings:
        out += ["Warnings: " + "; ".join(f"{w.get('program')} {w.get('closed', '')}"
                                         for w in warnings), ""]
    out += ["Notes: under Wine, GetProcessTimes of another process counts in 10 ms steps and "
            "PROCESS_MEMORY_COUNTERS_EX.PrivateUsage of another process reads 0; the report then "
            "takes PagefileUsage, which on Windows holds the same commit charge. The scheduler "
            "row reads the same process's threads' time on a processor from the kernel in "
            "nanoseconds and is there because 30 s of idle cost are only a few such steps.", ""]

    core, context = core_rows(args.core)
    out += ["## Native micro-benchmarks (release build, median of 5 repetitions)", "",
            table(["Benchmark", "CPU time per call", "Wall time per call"], core), ""]
    if context.get("library_build_type") == "debug":
        out += ["(The system's Google Benchmark library reports itself as a debug build; that "
                "affects its own overhead, not the code measured.)", ""]

    by_library, by_member, sections = size_contributors(args)
    total = sum(by_library.values())
    out += ["## What the 32-bit executable is made of", "",
            "From a link map of the same link command (bytes of code and data each input brings; "
            f"{kib(total)} in all, the rest of the file is headers, import tables and alignment).",
            "", "Image sections: " + ", ".join(f"`{name}` {kib(size)}" for name, size in
                                               sorted(sections.items(), key=lambda s: -s[1])) +
            ".", "",
            table(["Library", "Bytes", "Share"],
                  [[name, f"{size:,}", f"{100 * size / total:.1f} %"] for name, size in
                   sorted(by_library.items(), key=lambda item: -item[1])[:10]]), "",
            table(["Largest inputs", "Bytes"],
                  [[f"{library}: `{member}`", f"{size:,}"] for (library, member), size in
                   sorted(by_member.items(), key=lambda item: -item[1])[:15]]), ""]
    print("\n".join(out))


if __name__ == "__main__":
    main()
