#!/usr/bin/env bash
# Builds the benchmarks in their own Release build folder (build-bench/, or
# $MENUVERA_BENCH_BUILD_DIR), runs each of them with repetitions and prints
# one table of the medians with the targets. The benchmarks make their own
# inputs. Extra arguments go to every benchmark (e.g. --benchmark_filter=Open).
# MENUVERA_BENCH_REPETITIONS sets the repetitions (default 5).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${MENUVERA_BENCH_BUILD_DIR:-$root/build-bench}
repetitions=${MENUVERA_BENCH_REPETITIONS:-5}
benchmarks=(bench_catalogue bench_plan bench_print bench_startup bench_tools)

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DMENUVERA_BENCHMARKS=ON >/dev/null
cmake --build "$build" --parallel "$(nproc)" --target "${benchmarks[@]}" >/dev/null

# The JSON files stay in the build folder for a second look.
results=$build/bench-results
rm -rf "$results"
mkdir -p "$results"
for benchmark in "${benchmarks[@]}"; do
  echo "running $benchmark" >&2
  QT_QPA_PLATFORM=offscreen "$build/bench/$benchmark" \
    --benchmark_repetitions="$repetitions" --benchmark_report_aggregates_only=true \
    --benchmark_min_time=0.2 --benchmark_out="$results/$benchmark.json" \
    --benchmark_out_format=json "$@" >/dev/null
done
python3 "$root/scripts/bench_table.py" "$results"/*.json
