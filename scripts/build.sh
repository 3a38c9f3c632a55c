#!/usr/bin/env bash
# Configures the default preset (Release, warnings as errors) and builds into
# build/ (or $MENUVERA_BUILD_DIR). Extra arguments go to CMake.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${MENUVERA_BUILD_DIR:-$root/build}
(cd "$root" && cmake --preset default -B "$build" "$@" >/dev/null)
cmake --build "$build" --parallel "$(nproc)"
