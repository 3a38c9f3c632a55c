#!/usr/bin/env bash
# Builds the core library and its tests for arm64, where long double is a
# 113-bit quad and Extended is therefore the software type, and runs them
# under qemu-user-static. Changes nothing that is installed: the cross
# compiler and qemu are installed when missing (new packages only, nothing
# upgraded), and Qt's arm64 libraries with everything they depend on are
# downloaded from Debian by apt with a state folder of its own and unpacked
# into a sysroot folder; the host's moc serves the cross build.
#
#   scripts/arm64.sh [CTEST ARGUMENTS...]
#
# Works in build-arm64/ (or $MENUVERA_ARM64_DIR); a second run reuses the
# sysroot. Takes some minutes: qemu runs every test instruction by instruction.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
work=${MENUVERA_ARM64_DIR:-$root/build-arm64}
sysroot=$work/sysroot
build=$work/build

tools=(g++-aarch64-linux-gnu qemu-user-static)
missing=()
for p in "${tools[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  # Refuse rather than upgrade or remove anything installed.
  if apt-get -s install --no-install-recommends "${missing[@]}" |
    grep -Eq '^(Remv|Inst [^ ]+ \[)'; then
    echo "installing ${missing[*]} would change installed packages; install them by hand" >&2
    exit 1
  fi
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# What the build configures against (the core and, for the configure step, the
# printing library of the windows), for arm64; the sysroot is made again when
# this changes.
packages=(qt6-base-dev libicu-dev libjpeg62-turbo-dev libcups2-dev libc6-dev)
if [ "$(cat "$sysroot/.complete" 2>/dev/null)" != "${packages[*]}" ]; then
  # apt for arm64 alone, with lists, cache and an empty package status of its
  # own: it resolves the whole dependency closure and only downloads it.
  state=$work/apt
  rm -rf "$state" "$sysroot"
  mkdir -p "$state/lists/partial" "$state/archives/partial" "$sysroot"
  : >"$state/status"
  apt_options=(-o APT::Architecture=arm64 -o APT::Architectures=arm64
    -o Dir::State="$state" -o Dir::State::status="$state/status" -o Dir::Cache="$state"
    -o Debug::NoLocking=1 -o APT::Get::Download-Only=true)
  apt-get "${apt_options[@]}" -qq update
  apt-get "${apt_options[@]}" -y -qq --no-install-recommends install \
    "${packages[@]}" >/dev/null
  for deb in "$state"/archives/*.deb; do
    dpkg-deb -x "$deb" "$sysroot"
  done
  echo "sysroot: $(ls "$state"/archives/*.deb | wc -l) arm64 packages unpacked" >&2
  echo "${packages[*]}" >"$sysroot/.complete"
fi

libraries="$sysroot/usr/lib/aarch64-linux-gnu:$sysroot/lib/aarch64-linux-gnu"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DMENUVERA_WERROR=ON \
  -DMENUVERA_BENCHMARKS=OFF \
  -DCMAKE_SYSTEM_NAME=Linux -DCMAKE_SYSTEM_PROCESSOR=aarch64 \
  -DCMAKE_CXX_COMPILER=aarch64-linux-gnu-g++ \
  -DCMAKE_SYSROOT="$sysroot" \
  -DCMAKE_FIND_ROOT_PATH_MODE_PROGRAM=NEVER -DCMAKE_FIND_ROOT_PATH_MODE_LIBRARY=ONLY \
  -DCMAKE_FIND_ROOT_PATH_MODE_INCLUDE=ONLY -DCMAKE_FIND_ROOT_PATH_MODE_PACKAGE=ONLY \
  -DCMAKE_EXE_LINKER_FLAGS="-Wl,-rpath-link,$libraries" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DCMAKE_CROSSCOMPILING_EMULATOR="qemu-aarch64-static;-L;$sysroot" >/dev/null
cmake --build "$build" --parallel "$(nproc)" --target menuvera_core_tests

file "$build/tests/core/tst_number_text" | sed 's/, BuildID.*//'
# The names carry the form of Extended that the build chose.
if aarch64-linux-gnu-nm -C "$build/tests/core/tst_number_text" | grep 'soft_extended::ParseNumber' >/dev/null; then
  echo "Extended is the software type here"
fi
(cd "$build" && ctest --output-on-failure --timeout 1200 -j "$(nproc)" -L core "$@")
