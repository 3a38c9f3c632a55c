#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors and runs every test:
# the QtTest suites headless (offscreen) with the real-window and package
# checks under Xvfb; then the robustness runs: every fuzz target for a short
# while, and the headless suite again in a build with AddressSanitizer,
# LeakSanitizer and UBSan that computes with the software extended type (as on
# machines without the x87 format), so that one more build covers both.
# MENUVERA_QUICK=1 skips the fuzzing and builds only the core tests for the
# software type, without the sanitizers.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"
export MENUVERA_BUILD_DIR=${MENUVERA_BUILD_DIR:-$root/build}
bash "$root/scripts/build.sh"
(cd "$MENUVERA_BUILD_DIR" &&
    QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 600 -j "$(nproc)" "$@")

if [ "${MENUVERA_QUICK:-0}" != 1 ]; then
    bash "$root/scripts/fuzz.sh" "${MENUVERA_FUZZ_SECONDS:-20}"
    MENUVERA_SANITIZE_SOFT_EXTENDED=1 bash "$root/scripts/sanitize.sh" -j "$(nproc)" \
        -LE 'realwindow|package'
else
    soft=${MENUVERA_SOFT_BUILD_DIR:-$root/build-soft}
    (cd "$root" && cmake --preset soft -B "$soft" >/dev/null)
    cmake --build "$soft" --parallel "$(nproc)" --target menuvera_core_tests
    (cd "$soft" && ctest --output-on-failure --timeout 600 -j "$(nproc)" -L core)
fi
