#!/usr/bin/env python3
"""Prints one table of the medians in Google Benchmark JSON files, with the
targets, the open time as a multiple of the plain C++ floor reader (same
run), the growth of the open time from 100,000 to 1,000,000 foods against
the floor's, and the whole process against the floor process."""

import json
import math
import os
import sys

# Run name -> (limit, unit of the limit, what is compared: "time" or a counter).
TARGETS = {
    "BM_Open/100000": (250, "ms", "time"),
    "BM_OpenToFirstScreen/100000": (250, "ms", "time"),
    "BM_OpenSorted/100000": (100, "ms", "time"),
    "BM_Save/100000": (50, "ms", "time"),
    "BM_RenameFood/1000000": (16, "ms", "time"),
    "BM_NewFood/1000000": (16, "ms", "time"),
    "BM_RemoveFood/1000000": (16, "ms", "time"),
    "BM_TypeAhead/1000000": (16, "ms", "time"),
    "BM_Recalculate/1000": (2, "ms", "time"),
    "BM_AddPortionAndRecalculate/1000": (5, "ms", "time"),
    "BM_LayoutOnRecordingCanvas/1000": (20, "ms", "time"),
    "BM_PrintToPdf/1000": (1500, "ms", "time"),
    "BM_StartUp": (300, "ms", "time"),
    "BM_OpenPeakMemory/100000": (55, "MB", "peak_MB"),
    "BM_OpenPeakMemory/1000000": (300, "MB", "peak_MB"),
}

# Open and whole process as multiples of their floors in the same run.
OPEN_PER_FLOOR = 1.5
PROCESS_PER_FLOOR = 2.0

TO_MS = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}


def base_name(run_name):
    """BM_Open/100000/real_time -> BM_Open/100000, for the growth and floor lines."""
    parts = [p for p in run_name.split("/")
             if p not in ("real_time", "manual_time", "process_time") and not p.startswith("iterations:")]
    return "/".join(parts)


def load(paths):
    rows = {}
    order = []
    context = None
    for path in paths:
        with open(path) as f:
            data = json.load(f)
        context = context or data.get("context", {})
        for b in data["benchmarks"]:
            name = b.get("run_name", b["name"])
            if name not in rows:
                rows[name] = {"file": os.path.basename(path)}
                order.append(name)
            entry = rows[name]
            if b.get("error_occurred"):
                entry["error"] = b.get("error_message", "error")
                continue
            aggregate = b.get("aggregate_name")
            if aggregate not in (None, "median", "cv"):
                continue
            scale = TO_MS[b.get("time_unit", "ns")]
            if aggregate == "cv":
                entry["cv"] = b["real_time"]
                continue
            if aggregate is None and "real_ms" in entry:
                continue
            entry["real_ms"] = b["real_time"] * scale
            entry["cpu_ms"] = b["cpu_time"] * scale
            entry["repetitions"] = b.get("repetitions", 1)
            for key in ("peak_MB", "pages", "child_CPU_ms"):
                if key in b:
                    entry[key] = b[key]
    return context, rows, order


def figure(ms):
    if ms >= 100:
        return f"{ms:.0f}"
    if ms >= 1:
        return f"{ms:.1f}"
    return f"{ms:.3f}"


def main():
    context, rows, order = load(sys.argv[1:])
    header = (f"{'benchmark':<34} {'median ms':>10} {'CPU ms':>10} {'cv %':>6} {'extra':>10}  "
              "target: by wall time / by CPU time")
    print(header)
    print("-" * len(header))
    missed = 0
    for name in order:
        r = rows[name]
        if "error" in r:
            print(f"{base_name(name):<34} ERROR {r['error']}")
            missed += 1
            continue
        if "real_ms" not in r:
            continue
        extra = ""
        if "peak_MB" in r:
            extra = f"{r['peak_MB']:.1f} MB"
        elif "child_CPU_ms" in r:
            extra = f"{r['child_CPU_ms']:.0f} ms CPU"
        elif "pages" in r:
            extra = f"{r['pages']:.0f} pages"
        verdict = ""
        target = TARGETS.get(base_name(name))
        if target:
            limit, unit, metric = target
            if metric == "time":
                wall_ok, cpu_ok = r["real_ms"] <= limit, r["cpu_ms"] <= limit
                verdict = (f"<= {limit} {unit}: {'met' if wall_ok else 'MISSED'} / "
                           f"{'met' if cpu_ok else 'MISSED'}")
                # A child process's CPU time is not the parent's to measure.
                if "child_CPU_ms" in r:
                    cpu_ok = r["child_CPU_ms"] <= limit
                    verdict = (f"<= {limit} {unit}: {'met' if wall_ok else 'MISSED'} / "
                               f"{'met' if cpu_ok else 'MISSED'} (child)")
            else:
                wall_ok = r.get(metric, math.inf) <= limit
                verdict = f"<= {limit} {unit}: {'met' if wall_ok else 'MISSED'}"
            missed += not wall_ok
        cv = f"{100 * r['cv']:.1f}" if "cv" in r else ""
        print(f"{base_name(name):<34} {figure(r['real_ms']):>10} {figure(r['cpu_ms']):>10} {cv:>6} "
              f"{extra:>10}  {verdict}")

    by_base = {base_name(n): rows[n] for n in order if "real_ms" in rows[n]}
    sizes = sorted(int(n.split("/")[1]) for n in by_base if n.startswith("BM_Open/"))
    if sizes:
        print()
        print(f"{'foods':>9} {'open ms':>9} {'CPU ms':>9} {'floor ms':>9} {'x floor':>8}")
        for n in sizes:
            t = by_base[f"BM_Open/{n}"]["real_ms"]
            floor = by_base.get(f"BM_OpenFloor/{n}", {}).get("real_ms")
            ratio = t / floor if floor else None
            verdict = ""
            if ratio is not None and n >= 100000:
                ok = ratio <= OPEN_PER_FLOOR
                missed += not ok
                verdict = f"<= {OPEN_PER_FLOOR}: {'met' if ok else 'MISSED'}"
            cpu = by_base[f"BM_Open/{n}"]["cpu_ms"]
            print(f"{n:>9} {figure(t):>9} {figure(cpu):>9} {figure(floor) if floor else '':>9} "
                  f"{f'{ratio:.2f}' if ratio else '':>8}  {verdict}")
        small, large = "100000", "1000000"
        if all(f"{b}/{n}" in by_base for b in ("BM_Open", "BM_OpenFloor") for n in (small, large)):
            growth = by_base[f"BM_Open/{large}"]["real_ms"] / by_base[f"BM_Open/{small}"]["real_ms"]
            floor_growth = (by_base[f"BM_OpenFloor/{large}"]["real_ms"]
                            / by_base[f"BM_OpenFloor/{small}"]["real_ms"])
            ok = growth <= floor_growth
            missed += not ok
            print(f"open time from {small} to {large} foods grows {growth:.1f}-fold, the floor's "
                  f"{floor_growth:.1f}-fold: {'met' if ok else 'MISSED'}")
    whole = by_base.get("BM_WholeProcess/100000")
    floor_process = by_base.get("BM_WholeProcessFloor/100000")
    if whole and floor_process:
        ratio = whole["real_ms"] / floor_process["real_ms"]
        ok = ratio <= PROCESS_PER_FLOOR
        missed += not ok
        print(f"whole process with 100000 foods {figure(whole['real_ms'])} ms, floor process "
              f"{figure(floor_process['real_ms'])} ms: {ratio:.2f} x, <= {PROCESS_PER_FLOOR}: "
              f"{'met' if ok else 'MISSED'}")
    peak = by_base.get("BM_OpenPeakMemory/1000000", {}).get("peak_MB")
    floor_peak = by_base.get("BM_OpenFloorPeakMemory/1000000", {}).get("peak_MB")
    if peak and floor_peak:
        print(f"peak memory with 1000000 foods {peak:.1f} MB, floor process {floor_peak:.1f} MB")

    if context:
        print()
        print(f"{context.get('num_cpus', '?')} CPUs at {context.get('mhz_per_cpu', '?')} MHz, "
              f"load average {', '.join(f'{l:.2f}' for l in context.get('load_avg', []))}, "
              f"{context.get('library_build_type', '')} benchmark library")
    print(f"{missed} target(s) missed" if missed else "every target met")


if __name__ == "__main__":
    main()
