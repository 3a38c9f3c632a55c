#!/usr/bin/env bash
# Installs what is missing, builds and starts Menuvera 2 under German regional settings.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh" -DMENUVERA_BENCHMARKS=OFF
build=${MENUVERA_BUILD_DIR:-$root/build}
exec env LC_ALL=de_DE.UTF-8 LANG=de_DE.UTF-8 "$build/app/menuvera"
