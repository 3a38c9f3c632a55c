#!/usr/bin/env bash
# Installs from Debian's packages everything the build, the tests and the program need.
# Safe to run again: apt skips what is already there.
# --screen-reader also installs the screen reader Orca and the window manager openbox, which
# scripts/screen_reader.sh needs to hear the program as a blind user does.
set -euo pipefail
source "$(dirname "$0")/packages.sh"

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
  # a build cache, so that a machine that has built before compiles only what changed
  ccache
  qt6-base-dev qt6-base-dev-tools libgl-dev libegl-dev libxkbcommon-dev
  libjpeg62-turbo-dev libbenchmark-dev libicu-dev libcups2-dev libquazip1-qt6-dev
  # robustness builds: libFuzzer and the sanitizer runtimes of clang
  clang-14 libclang-rt-14-dev libfuzzer-14-dev
  # run time: platform plugins, German translations, fonts, German locale
  qt6-qpa-plugins qt6-translations-l10n fonts-liberation fonts-dejavu-core locales
  # real-window checks, screenshots and PDF inspection
  xvfb xauth x11-utils x11-xkb-utils xdotool imagemagick poppler-utils
  # the accessibility bus through which the real-window checks read the windows
  dbus-daemon dbus-bin at-spi2-core python3 python3-gi gir1.2-atspi-2.0
  # a printing system of the test's own, with printer queues that take and refuse jobs
  cups-daemon cups-client
  # the Debian package and the checks of its desktop entry and metainfo; the icon renderer
  dpkg-dev desktop-file-utils appstream librsvg2-bin
  # ICU's collation for the script that remakes the food table's catalogue
  python3-icu
)
if $screen_reader; then
  packages+=(orca openbox)
fi

install_missing "${packages[@]}"
# The program is used under German regional settings.
german_locale
