#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang, AddressSanitizer and UBSan
# in build-fuzz, and runs every target for SECONDS seconds (default 60), two
# at a time on a two-core machine. Each run starts from the committed seeds in
# fuzz/corpus/<target>/ and keeps what it finds in build-fuzz/corpus/<target>/;
# an input that breaks a property is saved as build-fuzz/artifacts/<target>-*.
# Prints the executions each target reached; fails when any target failed.
#
#   scripts/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail

seconds=${1:-60}
shift || true
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-fuzz
jobs=${FUZZ_JOBS:-2}

(cd "$root" && cmake --preset fuzz >/dev/null)
ninja -C "$build" menuvera_fuzz_targets

if [ $# -gt 0 ]; then
  targets=("$@")
else
  targets=()
  for source in "$root"/fuzz/fuzz_*.cpp; do
    targets+=("$(basename "$source" .cpp)")
  done
fi

mkdir -p "$build/artifacts" "$build/logs"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

# The input sizes worth trying: a value is ten bytes and a separator byte; a
# few food lines show every effect of the reader, and shorter inputs run faster
# (a spreadsheet's quoted cells and header need a little more room);
# the differential target reads a choice, two operands and a few bytes more.
max_len() {
  case $1 in
    fuzz_format_number) echo 11 ;;
    fuzz_food_list) echo 256 ;;
    fuzz_csv_food_list) echo 512 ;;
    fuzz_soft_extended) echo 256 ;;
    *) echo 4096 ;;
  esac
}

run() {
  local target=$1
  mkdir -p "$build/corpus/$target"
  "$build/fuzz/$target" -max_total_time="$seconds" -max_len="$(max_len "$target")" \
    -print_final_stats=1 \
    -artifact_prefix="$build/artifacts/$target-" \
    "$build/corpus/$target" "$root/fuzz/corpus/$target" >"$build/logs/$target.log" 2>&1
}

declare -A status
pending=()
for target in "${targets[@]}"; do
  run "$target" &
  pending+=("$!:$target")
  if [ ${#pending[@]} -ge "$jobs" ]; then
    entry=${pending[0]}
    pending=("${pending[@]:1}")
    if wait "${entry%%:*}"; then status[${entry#*:}]=0; else status[${entry#*:}]=1; fi
  fi
done
for entry in "${pending[@]}"; do
  if wait "${entry%%:*}"; then status[${entry#*:}]=0; else status[${entry#*:}]=1; fi
done

failed=0
for target in "${targets[@]}"; do
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$build/logs/$target.log" | tail -1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$build/logs/$target.log" | tail -1)
  if [ "${status[$target]}" = 0 ]; then
    printf '%-20s ok      %12s executions (%s/s)\n' "$target" "${runs:-?}" "${rate:-?}"
  else
    failed=1
    printf '%-20s FAILED  %12s executions, see %s\n' "$target" "${runs:-?}" \
      "$build/logs/$target.log"
  fi
done
exit $failed
