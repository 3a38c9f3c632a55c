#!/usr/bin/env bash
# Builds the Debian package from the build folder, unpacks it into a
# temporary root and checks it there: its dependencies, the program in a
# folder of its own with the sample catalogue beside it, the start command on
# the path, the desktop entry, the icons and the AppStream metainfo. Then the
# unpacked program is started: headless it must stay up, and in a real window
# its open dialog must start in the program's folder and show the catalogue.
# Usage: package.sh BUILD_FOLDER SOURCE_FOLDER
set -euo pipefail
build=$1
source=$2
id=example.menuvera.Menuvera
python=/usr/bin/python3

for tool in cpack dpkg-deb dpkg-shlibdeps desktop-file-validate appstreamcli Xvfb \
    dbus-run-session; do
    command -v $tool >/dev/null || { echo "missing $tool"; exit 1; }
done

work=$(mktemp -d)
app=
xvfb=
cleanup() {
    [ -n "$app" ] && kill "$app" 2>/dev/null || true
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAILED: $*"; exit 1; }

cpack -G DEB -B "$work/package" --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; fail "cpack"; }
deb=$(ls "$work"/package/menuvera_*.deb)
echo "built $(basename "$deb")"

depends=$(dpkg-deb -f "$deb" Depends)
for need in fonts-liberation qt6-qpa-plugins qt6-translations-l10n libqt6widgets6 \
    libqt6printsupport6 libjpeg62-turbo; do
    grep -qE "(^|, )$need( |,|$)" <<<"$depends" || fail "Depends lacks $need: $depends"
done
echo "depends on $depends"

root=$work/root
dpkg -x "$deb" "$root"
program=$root/usr/lib/menuvera/menuvera
[ -x "$program" ] || fail "no program file usr/lib/menuvera/menuvera"
[ "$(readlink "$root/usr/bin/menuvera")" = ../lib/menuvera/menuvera ] ||
    fail "usr/bin/menuvera is not a link to the program"
# The sample catalogue, the food table and the table's source and licence,
# and nothing else.
for file in "$source"/resources/sample/*; do
    cmp -s "$root/usr/lib/menuvera/$(basename "$file")" "$file" ||
        fail "$(basename "$file") is not beside the program"
done
[ "$(ls -A "$root/usr/lib/menuvera")" = "$( (ls "$source/resources/sample"; echo menuvera) | sort)" ] ||
    fail "other files beside the program: $(ls -A "$root/usr/lib/menuvera")"
copyright=$root/usr/share/doc/menuvera/copyright
for credit in 'Max Rubner-Institut (2025): Bundeslebensmittelschlüssel (BLS),' \
    'DOI 10.25826/Data20251217-134202-0' 'https://creativecommons.org/licenses/by/4.0/'; do
    grep -qF "$credit" "$copyright" 2>/dev/null || fail "the copyright file lacks: $credit"
done
if ldd "$program" | grep -q 'not found'; then
    ldd "$program"
    fail "libraries missing"
fi

desktop=$root/usr/share/applications/$id.desktop
desktop-file-validate "$desktop" || fail "desktop entry"
grep -qx 'Exec=menuvera' "$desktop" || fail "desktop entry does not start menuvera"
grep -qx "Icon=$id" "$desktop" || fail "desktop entry names another icon"
appstreamcli validate --no-net "$root/usr/share/metainfo/$id.metainfo.xml" >"$work/as.log" ||
    { cat "$work/as.log"; fail "metainfo"; }
[ -s "$root/usr/share/icons/hicolor/scalable/apps/$id.svg" ] || fail "no scalable icon"
for size in 16 24 32 48 64 128 256; do
    icon=$root/usr/share/icons/hicolor/${size}x$size/apps/$id.png
    [ -s "$icon" ] || fail "no icon of $size pixels"
    # Width and height stand in the PNG header as two 32-bit numbers from byte 16 on.
    read -r width height < <(od -An -tu1 -j16 -N8 "$icon" |
        awk '{ print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8 }')
    [ "$width" = "$size" ] && [ "$height" = "$size" ] ||
        fail "icon of $size pixels is $width x $height"
done
echo "files, desktop entry, metainfo and icons in place"

# Headless, through the start command on the path: the program must stay up.
mkdir -p "$work/home"
HOME=$work/home QT_QPA_PLATFORM=offscreen "$root/usr/bin/menuvera" >"$work/program.log" 2>&1 &
app=$!
sleep 2
kill -0 "$app" 2>/dev/null || { cat "$work/program.log"; fail "the program did not stay up"; }
kill "$app"
wait "$app" 2>/dev/null || true
app=
echo "program started headless and stayed up for 2 s"

# In a real window, through the same command: the open dialog starts in the
# program's folder, which holds the sample catalogue.
. "$source/tests/support/xvfb.sh"
start_xvfb "$work" 1024x768x24
# The accessibility bus lies in the runtime folder, which must be this test's own.
mkdir -p "$work/runtime"
chmod 700 "$work/runtime"
DISPLAY=$display HOME=$work/home XDG_RUNTIME_DIR=$work/runtime \
    dbus-run-session -- env PYTHONPATH="$source/tests/realwindow" \
    $python "$source/tests/package/open_dialog.py" "$root/usr/bin/menuvera" "$work/shown" \
    >"$work/dialog.log" 2>&1 || { cat "$work/dialog.log"; fail "open dialog"; }
shown=$(cat "$work/shown")
folder=$(head -n 1 <<<"$shown")
[ "$(realpath "$folder")" = "$(realpath "$root/usr/lib/menuvera")" ] ||
    fail "the open dialog starts in $folder"
for shipped in 'Lebensmittel.lmk' 'Bundeslebensmittelschlüssel 4.0.csv'; do
    grep -qxF "$shipped" <<<"$shown" || fail "the open dialog does not show $shipped"
done
echo "open dialog starts in the program's folder and shows the sample and the food table"
