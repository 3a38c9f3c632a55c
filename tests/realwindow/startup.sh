#!/usr/bin/env bash
# Starts the program in a real window (xcb) under Xvfb and checks from the
# outside, as a user sees it: the main window appears, then by itself the
# dialog "Lebensmittel öffnen"; the national food table beside the program
# opens there without an error box, then the sample catalogue through
# "Lebensmittel" > "Öffnen", and the program keeps running.
# Usage: startup.sh PROGRAM [SCREENSHOT]
set -euo pipefail
program=$1
screenshot=${2:-}

for tool in Xvfb setxkbmap xdotool xwininfo; do
    command -v $tool >/dev/null || { echo "missing $tool"; exit 1; }
done

work=$(mktemp -d)
xvfb=
app=
cleanup() {
    [ -n "$app" ] && kill "$app" 2>/dev/null || true
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
. "$(dirname "$0")/../support/xvfb.sh"
start_xvfb "$work" 1280x1024x24
export DISPLAY=$display
# A German keyboard, as its users have, where "ü" has a key of its own.
# Without one xdotool binds the letter to a spare key just before pressing it,
# and a program that has not read the new binding yet types nothing.
setxkbmap de

# Waits up to 10 s for a visible window whose title matches; prints its id.
wait_for() {
    for _ in $(seq 100); do
        id=$(visible_windows "$1" | head -n 1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        kill -0 "$app" 2>/dev/null || { echo "program ended" >&2; return 1; }
        sleep 0.1
    done
    echo "no window '$1'" >&2
    return 1
}

LC_ALL=de_DE.UTF-8 LANG=de_DE.UTF-8 QT_QPA_PLATFORM=xcb "$program" >/dev/null 2>&1 &
app=$!
wait_for '^Menuvera 2 ' >/dev/null
dialog=$(wait_for '^Lebensmittel öffnen')
echo "main window and open dialog shown"

# Types the name into the open dialog and checks that the file opened.
open_file() { # dialog-id name
    xdotool windowfocus --sync "$1" 2>/dev/null || true
    sleep 0.3
    xdotool type --delay 20 "$2"
    xdotool key Return
    sleep 1
    if [ -n "$(visible_windows '^Lebensmittel öffnen')" ]; then
        echo "open dialog still shown after $2"; exit 1
    fi
    # An error box would be a window titled "Menuvera 2" alone.
    if [ -n "$(visible_windows '^Menuvera 2$')" ]; then
        echo "an error box appeared for $2"; exit 1
    fi
    kill -0 "$app"
}
open_file "$dialog" 'Bundeslebensmittelschlüssel 4.0.csv'
[ -n "$screenshot" ] && import -window root "$screenshot"
echo "food table opened"

main=$(wait_for '^Menuvera 2 ')
xdotool windowfocus --sync "$main" 2>/dev/null || true
sleep 0.3
xdotool key alt+l f
dialog=$(wait_for '^Lebensmittel öffnen')
open_file "$dialog" 'Lebensmittel.lmk'
echo "sample catalogue opened"
