#!/usr/bin/env python3
"""Turns the footprint measurements of scripts/bench into one Markdown report on stdout."""

import argparse
import datetime
import json
import os
import re
import statistics
import struct
import sys
from collections import defaultdict

KIB = 1024
CODE_LIMIT = 160 * KIB
CPU_RATIO_LIMIT = 1.05
PRIVATE_ABOVE_LIMIT = 512 * KIB
SOAK_GROWTH_LIMIT_KIB = 64  # the soak's own limit (kAllowedGrowth in tests/e2e/SoakTest.cpp)
STARTUP_ABOVE_LIMIT_MS = 30.0

PERCHETTE = "Perchette.exe"
BASELINE = "bench_baseline.exe"
# The same baseline carrying the pictures of the larger scales: the one the start-ups run against.
BASELINE_SCALED = "bench_baseline_scaled.exe"
ARCH_NAMES = {"i686": "32-bit", "x86_64": "x86-64"}


def parse_args():
    parser = argparse.ArgumentParser()
    for name in ("date", "command", "processors", "cpu", "wine", "measured-arch", "native32",
                 "load-start", "load-end", "exe32", "baseline32", "map", "measure", "core",
                 "soak-log"):
        parser.add_argument("--" + name, required=True)
    for name in ("exe64", "baseline64"):
        parser.add_argument("--" + name, default="")
    for name in ("seconds",):
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
            fields = {key: value.strip('"') for key, value in
                      re.findall(r'(\w+)=("[^"]*"|\S+)', line)}
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


def pe_sections(path):
    """File size and (name, raw size) of each section of a PE image."""
    with open(path, "rb") as file:
        data = file.read()
    header = struct.unpack_from("<I", data, 0x3C)[0]
    count = struct.unpack_from("<H", data, header + 6)[0]
    optional = struct.unpack_from("<H", data, header + 20)[0]
    table = header + 24 + optional
    sections = []
    for index in range(count):
        name, _, _, raw = struct.unpack_from("<8sIII", data, table + 40 * index)
        sections.append((name.rstrip(b"\0").decode(), raw))
    return len(data), sections


def code_and_runtime(path):
    """Bytes of the file that are not resources: everything but the .rsrc section's raw data."""
    total, sections = pe_sections(path)
    return total - sum(raw for name, raw in sections if name == ".rsrc")


def phases(measure, phase):
    """Every run of a phase, per program."""
    runs = defaultdict(list)
    for line in measure["phase"]:
        if line["phase"] == phase:
            runs[line["program"]].append(line)
    return runs


def not_measured(label, limit):
    return [label, "", "", "", limit, "not measured: no idle round was run (BENCH_ROUNDS=0)"]


def cpu_rows(measure, seconds):
    """CPU time from the kernel's scheduler statistics: each round runs both programs at once, so
    the ratio of one round is measured under the same conditions for both."""
    target, info = [], []
    if not measure["phase"]:
        return [not_measured(f"CPU time perching on {label}", f"≤ × {CPU_RATIO_LIMIT}")
                for label in ("a still window", "a window moving every 100 ms")], []
    for phase, label in (("still", "a still window"), ("moving", "a window moving every 100 ms")):
        runs = phases(measure, phase)
        mine, base = runs[PERCHETTE], runs[BASELINE]
        rounds = min(len(mine), len(base))
        if not rounds or any(float(p[key]) < 0 for p in mine + base
                             for key in ("sched_start", "sched_end")):
            target.append([f"CPU time perching on {label}", "not read", "not read", "",
                           f"≤ × {CPU_RATIO_LIMIT}",
                           "not measured: the scheduler statistics are read under Wine only"])
            continue
        each = {name: [float(p["sched_end"]) - float(p["sched_start"]) for p in lines[:rounds]]
                for name, lines in ((PERCHETTE, mine), (BASELINE, base))}
        ratios = [ratio(p, b) for p, b in zip(each[PERCHETTE], each[BASELINE])]
        r = statistics.median(ratios)
        of = f"median of {rounds} rounds of {seconds:g} s" if rounds > 1 else f"{seconds:g} s"
        detail = f"× {r:.3f}" + (f"; rounds × {', '.join(f'{x:.2f}' for x in ratios)}"
                                 if rounds > 1 else "")
        target.append([f"CPU time perching on {label}, both programs at once, {of} (the kernel's "
                       f"scheduler statistics of the process's threads)",
                       f"{statistics.median(each[PERCHETTE]):.4f} s",
                       f"{statistics.median(each[BASELINE]):.4f} s", f"× {r:.3f}",
                       f"≤ × {CPU_RATIO_LIMIT}", verdict(r <= CPU_RATIO_LIMIT, detail)])
        info.append([f"CPU time perching on {label}, every round of {seconds:g} s",
                     ", ".join(f"{t:.4f}" for t in each[PERCHETTE]) + " s",
                     ", ".join(f"{t:.4f}" for t in each[BASELINE]) + " s", ""])
        followed = {name: (sum(int(p["followed"]) for p in lines),
                           sum(int(p["samples"]) for p in lines))
                    for name, lines in ((PERCHETTE, mine), (BASELINE, base))}
        info.append([f"Perched on {label}: samples on the window (or one of its last three "
                     f"places)", "{}/{}".format(*followed[PERCHETTE]),
                     "{}/{}".format(*followed[BASELINE]), ""])
    return target, info


def memory_rows(measure, seconds):
    if not measure["phase"]:
        return [not_measured("Private memory while idle, perched",
                             f"≤ +{PRIVATE_ABOVE_LIMIT // KIB} KiB")], []
    still, moving = phases(measure, "still"), phases(measure, "moving")
    source = still[PERCHETTE][0]["private_source"]
    idle = {name: statistics.median(int(p["private_start"]) for p in still[name])
            for name in (PERCHETTE, BASELINE)}
    end = {name: statistics.median(int(p["private_end"]) for p in moving[name])
           for name in (PERCHETTE, BASELINE)}
    rounds = len(still[PERCHETTE])
    of = f", median of {rounds} rounds" if rounds > 1 else ""
    above = idle[PERCHETTE] - idle[BASELINE]
    target = [[f"Private memory while idle, perched, before the settings dialog is first opened "
               f"(GetProcessMemoryInfo, {source}{of})", kib(idle[PERCHETTE]), kib(idle[BASELINE]),
               signed_kib(above), f"≤ +{PRIVATE_ABOVE_LIMIT // KIB} KiB",
               verdict(above <= PRIVATE_ABOVE_LIMIT, f"{signed_kib(above)} above the baseline")]]
    growth = {name: end[name] - idle[name] for name in (PERCHETTE, BASELINE)}
    info = [[f"Private memory at the end of the idle phases{of}", kib(end[PERCHETTE]),
             kib(end[BASELINE]), signed_kib(end[PERCHETTE] - end[BASELINE])],
            [f"Private memory growth over the idle phases ({2 * seconds:g} s)",
             signed_kib(growth[PERCHETTE]), signed_kib(growth[BASELINE]), ""]]
    return target, info


def startup_rows(measure):
    """Start-up of each program at each display resolution. Each run starts Perchette next to the
    baseline, which of the two goes first alternating from run to run; other work on the machine
    then weighs on both starts of a pair alike, and the median of the paired differences judges."""
    times = defaultdict(lambda: defaultdict(dict))
    shown = defaultdict(lambda: defaultdict(list))
    for line in measure["startup"]:
        if int(line["run"]) == 0:
            continue  # warms Wine up
        name = PERCHETTE if line["program"] == PERCHETTE else BASELINE
        dpi = int(line.get("dpi", 96))
        times[dpi][name][int(line["run"])] = float(line["ms"])
        shown[dpi][name].append(float(line["shown_ms"]))
    target, info, details = [], [], []
    for dpi in sorted(times):
        at, seen = times[dpi], shown[dpi]
        pairs = sorted(set(at[PERCHETTE]) & set(at[BASELINE]))
        above = statistics.median(at[PERCHETTE][run] - at[BASELINE][run] for run in pairs)
        mine, base = (statistics.median(at[name][run] for run in pairs)
                      for name in (PERCHETTE, BASELINE))
        target.append([f"Start-up at {dpi} dpi: CreateProcess to the shaped window parked beyond "
                       f"the screen's corner, median of {len(pairs)} paired differences",
                       f"{mine:.0f} ms", f"{base:.0f} ms", f"{above:+.0f} ms",
                       f"≤ +{STARTUP_ABOVE_LIMIT_MS:.0f} ms",
                       verdict(above <= STARTUP_ABOVE_LIMIT_MS, f"{above:+.0f} ms")])
        info += [[f"Start-up at {dpi} dpi to the shaped, parked window, quickest of {len(pairs)}",
                  f"{min(at[PERCHETTE].values()):.0f} ms", f"{min(at[BASELINE].values()):.0f} ms",
                  f"{min(at[PERCHETTE].values()) - min(at[BASELINE].values()):+.0f} ms"],
                 [f"Start-up at {dpi} dpi to the window first seen visible, quickest of "
                  f"{len(pairs)}", f"{min(seen[PERCHETTE]):.0f} ms",
                  f"{min(seen[BASELINE]):.0f} ms", ""]]
        details.append(f"at {dpi} dpi, " + "; ".join(
            f"{label}: {', '.join(f'{at[name][run]:.0f}' for run in pairs)} ms"
            for name, label in ((PERCHETTE, PERCHETTE), (BASELINE, BASELINE_SCALED))))
    return target, info, " — ".join(details)


def size_rows(args):
    mine32, base32 = code_and_runtime(args.exe32), code_and_runtime(args.baseline32)
    over = mine32 - CODE_LIMIT
    target = [["Executable: code and runtime (the file less its resources, `.rsrc`), "
               "the 32-bit `Perchette.exe` as shipped (stripped)", "32-bit", kib(mine32),
               kib(base32), signed_kib(mine32 - base32), f"≤ {CODE_LIMIT // KIB} KiB",
               verdict(over <= 0, f"{signed_kib(over)} against the limit")]]
    info = [["Executable file with resources, 32-bit", kib(os.path.getsize(args.exe32)),
             kib(os.path.getsize(args.baseline32)), ""]]
    if args.exe64:
        mine64, base64 = code_and_runtime(args.exe64), code_and_runtime(args.baseline64)
        info.insert(0, ["Executable: code and runtime, x86-64 build (the one measured here)",
                        kib(mine64), kib(base64), signed_kib(mine64 - base64)])
    return target, info


def soak_rows(path, measured_build):
    """The last figure of scripts/soak, from its log."""
    label = (f"Private memory growth over the soak after its first minute (`scripts/soak`, "
             f"settings dialog, tray and a hang-up minute)")
    if not os.path.exists(path):
        return [[label, measured_build, "not run", "", "", f"≤ {SOAK_GROWTH_LIMIT_KIB} KiB",
                 "not measured: run `scripts/soak` before `scripts/bench`"]]
    with open(path, encoding="utf-8", errors="replace") as log:
        text = log.read()
    found = re.findall(r"soak: (\d+) s, private memory every 10 s \(KiB\): ([\d ]*), last (\d+) "
                       r"KiB, growth after warm-up (-?\d+) KiB", text)
    if not found:
        return [[label, measured_build, "no figure in the log", "", "",
                 f"≤ {SOAK_GROWTH_LIMIT_KIB} KiB", "not measured (the soak did not finish)"]]
    seconds, trace, last, growth = found[-1]
    when = datetime.datetime.fromtimestamp(os.path.getmtime(path)).strftime("%Y-%m-%d %H:%M")
    growth = int(growth)
    samples = trace.split()
    # The soak's warm-up is its first minute, or a third of a run shorter than three minutes.
    warm_up = min(60, int(seconds) // 3)
    warm = samples[warm_up // 10] if len(samples) > warm_up // 10 else "?"
    detail = (f"{growth:+d} KiB after {warm_up} s of warm-up; run of {seconds} s on {when}: "
              f"{samples[0] if samples else '?'} KiB at the start, {warm} KiB after the warm-up "
              f"(the settings dialog has opened), {last} KiB at the end")
    return [[label, measured_build, f"{growth:+d} KiB", "", "", f"≤ {SOAK_GROWTH_LIMIT_KIB} KiB",
             verdict(growth <= SOAK_GROWTH_LIMIT_KIB, detail)]]


def module_section(measure):
    names = {}
    for line in measure["modules"]:
        # Each program's own executable aside.
        names.setdefault(line["program"], [name for name in line["names"].split(",")
                                           if name.lower() != line["program"].lower()])
    mine, base = names.get(PERCHETTE, []), names.get(BASELINE, [])
    lower = {name.lower() for name in base}
    only_mine = [name for name in mine if name.lower() not in lower]
    lower_mine = {name.lower() for name in mine}
    only_base = [name for name in base if name.lower() not in lower_mine]
    both = [name for name in base if name.lower() in lower_mine]

    def listed(items):
        return ", ".join(f"`{item}`" for item in items) if items else "none"

    return ["## What each side loads", "",
            "The modules of each process besides its executable, listed from the driver with "
            "EnumProcessModulesEx and GetModuleBaseName while it perches, before anything else is "
            "opened.", "",
            f"- Both ({len(both)}): {listed(both)}.",
            f"- Only Perchette ({len(only_mine)}): {listed(only_mine)}.",
            f"- Only the baseline ({len(only_base)}): {listed(only_base)}.", ""]


def memory_section(measure):
    parts = defaultdict(lambda: defaultdict(list))
    for line in measure["memory"]:
        place = line["place"]
        if place == line["program"]:
            place = "the executable (pages written to)"
        elif place == "image: " + line["program"]:
            place = "the executable's image, read into memory"
        elif place.startswith("image: "):
            place = place.lower()  # a DLL's name as the program imports it
        parts[place][line["program"]].append(int(line["kib"]))
    if not parts:
        return ["## Where the private memory lies", "",
                "Not resolved here: the breakdown reads the Unix process's memory map, which only "
                "a run under Wine has.", ""]
    rounds = max(len(values) for part in parts.values() for values in part.values())
    rows = []
    totals = defaultdict(float)
    for place, by_program in parts.items():
        # The same place in every run: the median of the runs that have it (0 where it is missing).
        value = {name: statistics.median(by_program[name] + [0] * (rounds - len(by_program[name])))
                 for name in (PERCHETTE, BASELINE)}
        for name in value:
            totals[name] += value[name]
        rows.append((place, value[PERCHETTE], value[BASELINE]))
    rows.sort(key=lambda row: -abs(row[1] - row[2]))
    shown = [row for row in rows if row[1] != row[2]][:15]
    rest = [row for row in rows if row not in shown]
    table_rows = [[place if " " in place else f"`{place}`", f"{mine:,.0f}", f"{base:,.0f}", f"{mine - base:+,.0f}"]
                  for place, mine, base in shown]
    if rest:
        table_rows.append([f"{len(rest)} other places", f"{sum(r[1] for r in rest):,.0f}",
                           f"{sum(r[2] for r in rest):,.0f}",
                           f"{sum(r[1] - r[2] for r in rest):+,.0f}"])
    table_rows.append(["all", f"{totals[PERCHETTE]:,.0f}", f"{totals[BASELINE]:,.0f}",
                       f"{totals[PERCHETTE] - totals[BASELINE]:+,.0f}"])
    return ["## Where the private memory lies", "",
            "Under Wine the private memory of another process is the anonymous memory of its Unix "
            "process (resident and swapped). The driver reads the kernel's map of it "
            "(`/proc/<pid>/smaps`, field `Anonymous`) at the same moment as the figure above and "
            "names each place: a file for the pages of a mapped DLL or Unix library that the "
            "process has written to; \"image\" for a module whose sections Wine read into memory "
            "instead of mapping them from the file, which it does when the file's sections are "
            "not aligned to pages (the MinGW linker aligns them to 512 bytes), so that an "
            "executable's resources count as private memory here, though not on Windows; "
            "`[heap]` for the Unix C library's heap (Wine's Unix side: X11, fonts and the like); "
            "\"Windows committed memory\" for anonymous memory that the Windows side of the "
            "process holds as its own (heaps, stacks, bitmaps); \"Unix-side memory\" for the "
            "rest.", "",
            table(["Place (KiB)", "Perchette", "Baseline", "Difference"], table_rows), ""]


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


def map_contributions(path):
    """Bytes of the image that each input file brings, from a GNU ld map: all, and of them the
    exception and unwind tables."""
    contributions = defaultdict(int)
    tables = defaultdict(int)
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
                if section.startswith((".eh_frame", ".gcc_except_table", ".pdata", ".xdata")):
                    tables[source.strip()] += size
            else:
                pending = None
    return contributions, tables


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


def size_section(args):
    contributions, tables = map_contributions(args.map)
    by_library = defaultdict(int)
    tables_by_library = defaultdict(int)
    by_member = defaultdict(int)
    for source, size in contributions.items():
        library, member = describe(source)
        by_library[library] += size
        tables_by_library[library] += tables[source]
        by_member[(library, member)] += size
    total = sum(by_library.values())
    _, sections = pe_sections(args.exe32)
    return ["## What the 32-bit executable is made of", "",
            "From a link map of the same link command (bytes of code and data each input brings; "
            f"{kib(total)} in all, the rest of the file is headers, import tables and alignment). "
            "The exception tables are the `.eh_frame` and `.gcc_except_table` pieces of each "
            "input. The linker keeps every input's `.eh_frame` whole, and with it every function "
            "that the table describes, so section garbage collection cannot drop a function of an "
            "input that is linked at all: what counts is which library members get pulled in.", "",
            "Image sections (raw size in the file): " +
            ", ".join(f"`{name}` {kib(size)}" for name, size in
                      sorted(sections, key=lambda s: -s[1]) if size) + ".", "",
            table(["Library", "Bytes", "Share", "Of them exception tables"],
                  [[name, f"{size:,}", f"{100 * size / total:.1f} %",
                    f"{tables_by_library[name]:,}"]
                   for name, size in sorted(by_library.items(), key=lambda item: -item[1])[:10]]),
            "",
            table(["Largest inputs", "Bytes"],
                  [[f"{library}: `{member}`", f"{size:,}"] for (library, member), size in
                   sorted(by_member.items(), key=lambda item: -item[1])[:15]]), ""]


def table(header, rows):
    lines = ["| " + " | ".join(header) + " |", "|" + "---|" * len(header)]
    lines += ["| " + " | ".join(str(cell) for cell in row) + " |" for row in rows]
    return "\n".join(lines)


def startup_only(path):
    """The start-up rows alone, from a measurement of the start-ups only (scripts/bench --startup)."""
    target, info, detail = startup_rows(read_measure(path))
    print("\n".join([table(["Measure", "Perchette", "Baseline", "Perchette vs baseline", "Target",
                            "Met"], target), "",
                     table(["Measure", "Perchette", "Baseline", "Perchette vs baseline"], info), "",
                     f"Start-up runs in order (after one warm-up run each): {detail}."]))


def main():
    if sys.argv[1:2] == ["--startup-only"]:
        startup_only(sys.argv[2])
        return
    args = parse_args()
    measure = read_measure(args.measure)
    measured_build = ARCH_NAMES.get(args.measured_arch, args.measured_arch)
    runs_on = ("the 32-bit program as it ships" if args.native32 == "yes" else
               "the x86-64 build of the same sources: this machine's kernel cannot run 32-bit x86 "
               "code, so the shipped 32-bit program cannot be started here")
    out = ["# Footprint benchmarks", "",
           f"Made {args.date} by `{args.command}` on {args.processors} processors "
           f"({args.cpu}). Load average (1, 5, 15 min) at the start: {args.load_start}; at the "
           f"end: {args.load_end}. Under {args.wine} on Xvfb 1280×1024; the programs measured "
           f"under Wine are {runs_on}. Other work shares this machine, so only the ratios and "
           f"differences against the baseline, measured in the same run, count.", "",
           "The baseline is `bench/Baseline.cpp`: the least that any program doing this job must "
           "do while idle. A topmost 80×150 popup window with the character's picture, cut to its "
           "shape and parked beyond the screen's bottom-right corner at start; a tray icon with "
           "the program's icon; a 200 ms timer that makes only the four window-manager calls of a "
           "perching tick. No settings, dialog, menu, application window or manifest; built "
           "without exceptions. The driver `bench/Measure.cpp` starts each program from a folder "
           "of its own, holds its own window in the foreground for the programs to perch on, and "
           "samples them from outside. Start-ups come in pairs, Perchette and the baseline one "
           "after the other, which goes first alternating from pair to pair, and are judged by "
           "the median of the paired differences; at 96, 144 and 288 dpi in turn (the "
           "prefix's LogPixels, which Wine reads as each process starts), against "
           "`bench_baseline_scaled`: the same baseline, which at 144 and 288 dpi loads the "
           "character drawn for that scale from an uncompressed bitmap resource of the same size "
           "as Perchette's picture and perches by offsets of that scale. For the idle rounds both "
           "programs run at once at 96 dpi, the baseline perching 300 pixels further left on the "
           "same window, so that whatever else the machine does weighs on both alike.", ""]

    size_target, size_info = size_rows(args)
    memory_target, memory_info = memory_rows(measure, args.seconds)
    cpu_target, cpu_info = cpu_rows(measure, args.seconds)
    startup_target, startup_info, startup_detail = startup_rows(measure)
    targets = [[row[0], measured_build] + row[1:] for row in memory_target + cpu_target +
               startup_target] + size_target + soak_rows(args.soak_log, measured_build)
    out += ["## Targets", "",
            table(["Measure", "Build", "Perchette", "Baseline", "Perchette vs baseline", "Target",
                   "Met"], targets), "",
            f"More figures of the same run (build measured: {measured_build}):", "",
            table(["Measure", "Perchette", "Baseline", "Perchette vs baseline"],
                  memory_info + cpu_info + startup_info + size_info), "",
            f"Start-up runs in order (after one warm-up run each): {startup_detail}.", ""]
    warnings = measure.get("warning", [])
    if warnings:
        out += ["Warnings: " + "; ".join(f"{w.get('program')} {w.get('closed', '')}"
                                         for w in warnings), ""]
    out += ["Notes: under Wine, GetProcessTimes of another process does not give that process's "
            "own time (two processes sampled at once read the same figures), so the CPU targets "
            "read the kernel's scheduler statistics of the process's threads, in nanoseconds. "
            "PROCESS_MEMORY_COUNTERS_EX.PrivateUsage of another process reads 0 under Wine; the "
            "report then takes PagefileUsage, which on Windows holds the same commit charge and "
            "under Wine the Unix process's anonymous memory. The soak is `scripts/soak` (10 "
            "minutes by default; `BENCH_SOAK=<seconds> scripts/bench` runs it first); the table "
            "shows the figure of its last run.", ""]

    out += module_section(measure)
    out += memory_section(measure)

    core, context = core_rows(args.core)
    out += ["## Native micro-benchmarks (release build, median of 5 repetitions)", "",
            table(["Benchmark", "CPU time per call", "Wall time per call"], core), ""]
    if context.get("library_build_type") == "debug":
        out += ["(The system's Google Benchmark library reports itself as a debug build; that "
                "affects its own overhead, not the code measured.)", ""]

    out += size_section(args)
    print("\n".join(out).rstrip("\n"))


if __name__ == "__main__":
    main()
