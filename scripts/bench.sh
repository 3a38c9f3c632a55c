#!/usr/bin/env bash
# Builds the benchmarks in their own Release build folder (build-bench/, or
# $MENUVERA_BENCH_BUILD_DIR), runs each of them with repetitions and prints
# one table of the medians with the targets. Then the day plan's benchmarks
# again with the software extended type (build-bench-soft/, or
# $MENUVERA_BENCH_SOFT_BUILD_DIR), in a table of their own. The benchmarks
# make their own inputs. Extra arguments go to every benchmark (e.g.
# --benchmark_filter=Open). MENUVERA_BENCH_REPETITIONS sets the repetitions
# (default 5).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${MENUVERA_BENCH_BUILD_DIR:-$root/build-bench}
soft_build=${MENUVERA_BENCH_SOFT_BUILD_DIR:-$root/build-bench-soft}
repetitions=${MENUVERA_BENCH_REPETITIONS:-5}
benchmarks=(bench_catalogue bench_plan bench_print bench_search bench_startup bench_tools bench_workbook)
soft_benchmarks=(bench_plan bench_print)

# run_benchmarks BUILD_FOLDER BENCHMARK... -- EXTRA_ARGUMENTS...: builds and runs
# them; the JSON files stay in BUILD_FOLDER/bench-results for a second look.
run_benchmarks() {
  local folder=$1
  shift
  local names=()
  while [ "$1" != -- ]; do
    names+=("$1")
    shift
  done
  shift
  cmake --build "$folder" --parallel "$(nproc)" --target "${names[@]}" >/dev/null
  rm -rf "$folder/bench-results"
  mkdir -p "$folder/bench-results"
  for benchmark in "${names[@]}"; do
    echo "running $benchmark in $(basename "$folder")" >&2
    QT_QPA_PLATFORM=offscreen "$folder/bench/$benchmark" \
      --benchmark_repetitions="$repetitions" --benchmark_report_aggregates_only=true \
      --benchmark_min_time=0.2 --benchmark_out="$folder/bench-results/$benchmark.json" \
      --benchmark_out_format=json "$@" >/dev/null
  done
}

(cd "$root" && cmake --preset bench -B "$build" >/dev/null)
run_benchmarks "$build" "${benchmarks[@]}" -- "$@"
(cd "$root" && cmake --preset bench-soft -B "$soft_build" >/dev/null)
run_benchmarks "$soft_build" "${soft_benchmarks[@]}" -- "$@"

# A benchmark whose filter matched nothing leaves an empty file.
table() {
  find "$1/bench-results" -name '*.json' -size +0 | sort | xargs python3 "$root/scripts/bench_table.py"
}
table "$build"
echo
echo "With the software extended type (MENUVERA_SOFT_EXTENDED=ON):"
table "$soft_build"
