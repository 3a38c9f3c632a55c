#!/usr/bin/env python3
"""Prints one table of the medians in Google Benchmark JSON files, with the
targets, the open time as a multiple of the plain C++ floor reader, and the
growth of the open time against n log n."""

import json
import math
import os
import sys

# Run name -> (limit, unit of the limit, what is compared: "time" or a counter).
TARGETS = {
    "BM_Open/100000": (250, "ms", "time"),
    "BM_OpenToFirstScreen/100000": (300, "ms", "time"),
    "BM_Save/100000": (100, "ms", "time"),
    "BM_RenameFood/100000": (20, "ms", "time"),
    "BM_NewFood/100000": (20, "ms", "time"),
    "BM_Recalculate/1000": (2, "ms", "time"),
    "BM_AddPortionAndRecalculate/1000": (5, "ms", "time"),
    "BM_LayoutOnRecordingCanvas/1000": (20, "ms", "time"),
    "BM_PrintToPdf/1000": (1500, "ms", "time"),
    "BM_StartUp": (300, "ms", "time"),
    "BM_OpenPeakMemory/100000": (80, "MB", "peak_MB"),
}

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
        print(f"{'foods':>9} {'open ms':>9} {'CPU ms':>9} {'floor ms':>9} {'x floor':>8} "
              f"{'growth':>8} {'n log n':>8}")
        first = sizes[0]
        for n in sizes:
            t = by_base[f"BM_Open/{n}"]["real_ms"]
            floor = by_base.get(f"BM_OpenFloor/{n}", {}).get("real_ms")
            ratio = f"{t / floor:.1f}" if floor else ""
            growth = t / by_base[f"BM_Open/{first}"]["real_ms"]
            nlogn = (n * math.log(n)) / (first * math.log(first))
            cpu = by_base[f"BM_Open/{n}"]["cpu_ms"]
            print(f"{n:>9} {figure(t):>9} {figure(cpu):>9} {figure(floor) if floor else '':>9} {ratio:>8} "
                  f"{growth:>8.1f} {nlogn:>8.1f}")
        last = sizes[-1]
        growth = by_base[f"BM_Open/{last}"]["real_ms"] / by_base[f"BM_Open/{first}"]["real_ms"]
        nlogn = (last * math.log(last)) / (first * math.log(first))
        ok = growth <= nlogn
        missed += not ok
        print(f"open time from {first} to {last} foods grows {growth:.0f}-fold, n log n "
              f"{nlogn:.0f}-fold: {'met' if ok else 'MISSED'}")

    if context:
        print()
        print(f"{context.get('num_cpus', '?')} CPUs at {context.get('mhz_per_cpu', '?')} MHz, "
              f"load average {', '.join(f'{l:.2f}' for l in context.get('load_avg', []))}, "
              f"{context.get('library_build_type', '')} benchmark library")
    print(f"{missed} target(s) missed" if missed else "every target met")


if __name__ == "__main__":
    main()
