#!/usr/bin/env bash
# Builds everything with AddressSanitizer, LeakSanitizer and UBSan (gcc) in
# build-asan and runs the whole test suite headless. Any report fails the run.
# Leaks inside third-party libraries that Qt loads are suppressed in
# scripts/lsan.supp; none of ours may be.
#
#   scripts/sanitize.sh [extra ctest arguments]
#
# MENUVERA_SANITIZE_SOFT_EXTENDED=1 builds it with the software extended type.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-asan
soft=OFF
[ "${MENUVERA_SANITIZE_SOFT_EXTENDED:-0}" = 1 ] && soft=ON

(cd "$root" && cmake --preset sanitize -DMENUVERA_SOFT_EXTENDED=$soft >/dev/null)
ninja -C "$build"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=1:check_initialization_order=1
export LSAN_OPTIONS=suppressions=$root/scripts/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir "$build" --output-on-failure "$@"
