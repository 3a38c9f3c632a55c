#!/usr/bin/env bash
# Walks the main road of the program in a real window (xcb) under Xvfb, with
# its own session bus and accessibility bus, as a user with mouse and keyboard
# who reads the screen through the accessibility tree (see main_road.py).
# Usage: main_road.sh PROGRAM [KEEP_FOLDER] [keyboard]: screenshots, the saved
# catalogue and the PDF are left in KEEP_FOLDER when one is given (an empty
# text for none); "keyboard" walks the keyboard road instead.
set -euo pipefail
program=$1
keep=${2:-}
road=${3:-}
here=$(cd "$(dirname "$0")" && pwd)
python=/usr/bin/python3

for tool in Xvfb xdotool xwininfo dbus-run-session pdftotext pdfinfo import; do
    command -v $tool >/dev/null || { echo "missing $tool"; exit 1; }
done
$python -c 'import gi; gi.require_version("Atspi", "2.0")' ||
    { echo "missing python3-gi or gir1.2-atspi-2.0"; exit 1; }

work=$(mktemp -d)
xvfb=
cleanup() {
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
    if [ -n "$keep" ]; then mkdir -p "$keep" && cp -r "$work/out"/. "$keep"/; fi
    rm -rf "$work"
}
trap cleanup EXIT

. "$here/../support/xvfb.sh"
start_xvfb "$work" 1280x1024x24
export DISPLAY=$display

# The program's settings and the dialogs' history stay inside the test.
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
mkdir -p "$work/out"
status=0
dbus-run-session -- env PYTHONPATH="$here" $python "$here/main_road.py" "$program" "$work/out" $road \
    2> >(grep -v -e 'dbus-daemon' -e 'SpiRegistry' -e DeprecationWarning -e 'get_text_iface' >&2) ||
    status=$?
[ $status -ne 0 ] && sed 's/^/program: /' "$work/out/program.log" >&2
exit $status
