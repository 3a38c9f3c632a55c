#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors and runs every test:
# the QtTest suites headless (offscreen), then the real-window checks under Xvfb.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"
export MENUVERA_BUILD_DIR=${MENUVERA_BUILD_DIR:-$root/build}
bash "$root/scripts/build.sh" -DMENUVERA_WERROR=ON
cd "$MENUVERA_BUILD_DIR"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 600 -j "$(nproc)" "$@"
