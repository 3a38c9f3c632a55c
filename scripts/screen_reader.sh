#!/usr/bin/env bash
# Walks the day-plan road with the keyboard alone while Debian's screen reader
# Orca listens, and prints what Orca says (its SPEECH OUTPUT lines), step by
# step: open the sample catalogue, move in the catalogue, add a portion, read
# the totals by Orca's flat review, compute in the BMI and the calorie calculator,
# search the catalogue and choose a food found.
#
# Each run gets an X display (Xvfb with the window manager openbox: without
# one Orca stays mute), a D-Bus session and accessibility bus, and an Orca
# whose speech server is a silent stand-in, so that no sound device is needed
# and its log is all a user would hear. Orca runs once per user: no other
# Orca may be running.
#
# Usage: scripts/screen_reader.sh [--runs N] [--keep FOLDER] [--display :N] [PROGRAM]
#   PROGRAM   the built program (default build/app/menuvera)
#   --runs    walk the road N times (default 1); all must pass
#   --keep    keep each run's Orca log, transcript and program log in FOLDER/run-I
#   --display use this X display number instead of a free one
# Installs Orca and openbox through scripts/setup.sh --screen-reader when missing.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
here=$root/scripts/screen_reader
runs=1
keep=
display=
program=$root/build/app/menuvera
while [ $# -gt 0 ]; do
    case $1 in
    --runs) runs=$2; shift 2 ;;
    --keep) keep=$2; shift 2 ;;
    --display) display=${2#:}; shift 2 ;;
    -h | --help) sed -n '2,19p' "$0"; exit 0 ;;
    *) program=$1; shift ;;
    esac
done

if ! command -v orca >/dev/null || ! command -v openbox >/dev/null; then
    bash "$root/scripts/setup.sh" --screen-reader
fi
[ -x "$program" ] || { echo "no program at $program: build it first (scripts/build.sh)"; exit 1; }
if pgrep -u "$(id -u)" -x orca >/dev/null; then
    echo "another Orca is running for this user; Orca runs only once per user"
    exit 1
fi

work=
xvfb=
cleanup() {
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
    [ -n "$work" ] && rm -rf "$work"
    return 0
}
trap cleanup EXIT

passed=0
for run in $(seq "$runs"); do
    echo "=== run $run of $runs"
    work=$(mktemp -d)
    if [ -n "$display" ]; then
        Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
        xvfb=$!
        echo "$display" >"$work/display"
        sleep 1
    else
        # Xvfb picks a free display itself and names it on the descriptor.
        exec 3>"$work/display"
        Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
        xvfb=$!
        exec 3>&-
        for _ in $(seq 400); do [ -s "$work/display" ] && break; sleep 0.05; done
    fi
    kill -0 "$xvfb" 2>/dev/null && [ -s "$work/display" ] || { echo "Xvfb did not start"; exit 1; }

    # Orca's settings, the program's settings and the buses stay in the run.
    mkdir -p "$work/home" "$work/runtime" "$work/orca" "$work/out"
    chmod 700 "$work/runtime"
    cp "$here/silent_speech.py" "$here/orca-customizations.py" "$here/user-settings.conf" \
        "$work/orca/"
    status=0
    env DISPLAY=":$(head -n 1 "$work/display")" HOME="$work/home" \
        XDG_CONFIG_HOME="$work/home/.config" XDG_RUNTIME_DIR="$work/runtime" \
        dbus-run-session -- /usr/bin/python3 "$here/road.py" "$program" "$work/orca" \
        "$work/out" 2> >(grep -v -e 'dbus-daemon' -e 'SpiRegistry' -e 'X connection to' >&2) || status=$?
    [ $status -eq 0 ] && passed=$((passed + 1))

    kill "$xvfb" 2>/dev/null || true
    wait "$xvfb" 2>/dev/null || true
    xvfb=
    if [ -n "$keep" ]; then
        mkdir -p "$keep/run-$run"
        cp -r "$work/out"/. "$keep/run-$run"/
    fi
    rm -rf "$work"
    work=
done

echo "=== $passed of $runs runs heard the totals and the calculators' results as values" \
    "and the search's count and foods"
[ "$passed" -eq "$runs" ]
