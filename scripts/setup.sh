#!/usr/bin/env bash
# Installs from Debian's packages everything the build, the tests and the program need.
# Safe to run again: apt skips what is already there.
# --screen-reader also installs the screen reader Orca and the window manager openbox, which
# scripts/screen_reader.sh needs to hear the program as a blind user does.
set -euo pipefail

screen_reader=false
for argument in "$@"; do
  case $argument in
  --screen-reader) screen_reader=true ;;
  *) echo "usage: $0 [--screen-reader]" >&2; exit 2 ;;
  esac
done

packages=(
  # build
  build-essential cmake ninja-build pkg-config clang-format
  qt6-base-dev qt6-base-dev-tools libgl-dev libegl-dev libxkbcommon-dev
  libjpeg62-turbo-dev libbenchmark-dev libicu-dev libcups2-dev
  # robustness builds: libFuzzer and the sanitizer runtimes of clang
  clang-14 libclang-rt-14-dev libfuzzer-14-dev
  # run time: platform plugins, German translations, fonts, German locale
  qt6-qpa-plugins qt6-translations-l10n fonts-liberation fonts-dejavu-core locales
  # real-window checks, screenshots and PDF inspection
  xvfb xauth x11-utils xdotool imagemagick poppler-utils
  # the accessibility bus through which the real-window checks read the windows
  dbus-daemon dbus-bin at-spi2-core python3 python3-gi gir1.2-atspi-2.0
  # a printing system of the test's own, with printer queues that take and refuse jobs
  cups-daemon cups-client
  # the Debian package and the checks of its desktop entry and metainfo; the icon renderer
  dpkg-dev desktop-file-utils appstream librsvg2-bin
)
if $screen_reader; then
  packages+=(orca openbox)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get -o DPkg::Lock::Timeout=900 update -qq
  apt-get -o DPkg::Lock::Timeout=900 install -y -qq --no-install-recommends "${missing[@]}"
fi

# The program is used under German regional settings.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  sed -i 's/^# *de_DE.UTF-8 UTF-8/de_DE.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi
