#!/usr/bin/env bash
# The Windows program in real windows under Wine, by keyboard alone, as a
# German user who has just unpacked the zip: in a new Wine prefix with German
# regional settings and no helper path to any DLL, it opens the sample
# catalogue in the start-up dialog, adds a portion, prints the plan through
# Windows' print dialog to a PostScript printer and reads the job as a PDF,
# sees the next portion's totals with the decimal separator the regional
# settings were changed to meanwhile, saves the catalogue (the same lines
# come back), opens the about window, deletes a food and closes the window
# with its close box, answering the question first "Abbrechen", then
# "Nicht speichern". Then the setup program installs silently, and its
# uninstaller removes what it installed. Screenshots are left in OUT.
#
#   tests/windows/wine_road.sh ZIP SETUP OUT
set -euo pipefail
zip=$(realpath "$1")
setup=$(realpath "$2")
out=$(realpath -m "$3")
here=$(cd "$(dirname "$0")" && pwd)
for tool in Xvfb xdotool xwininfo import wine unzip x86_64-w64-mingw32-gcc ps2pdf pdftotext pdfinfo; do
  command -v $tool >/dev/null || { echo "missing $tool"; exit 1; }
done

work=$(mktemp -d)
xvfb=
cleanup() {
  [ -n "${WINEPREFIX:-}" ] && wineserver -k 2>/dev/null || true
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
rm -rf "$out"
mkdir -p "$out"

. "$here/../support/xvfb.sh"
start_xvfb "$work" 1280x1024x24
export DISPLAY=$display

# Nothing of the build: no DLL path, no Qt variable.
unset WINEPATH WINEQT_QPA_PLATFORM WINEQT_QPA_FONTDIR WINEQT_FORCE_STDERR_LOGGING
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
export LC_ALL=de_DE.UTF-8
wineboot --init >/dev/null 2>&1
wineserver -w
regional() { # separator
  wine reg add 'HKCU\Control Panel\International' /v sDecimal /d "$1" /f >/dev/null 2>&1
}
regional ,
# Text is smoothed as Windows does by default (ClearType); under Wine's own
# default (grayscale) Qt's GDI text engine leaves out the capital I of
# Liberation Sans at 11 pixels, the face that stands in for MS Sans Serif.
wine reg add 'HKCU\Control Panel\Desktop' /v FontSmoothingType /t REG_DWORD /d 2 /f >/dev/null 2>&1
x86_64-w64-mingw32-gcc -O2 -o "$work/setting_change.exe" "$here/setting_change.c"
# A printer whose jobs land in a file, as Windows' PDF printer's do.
x86_64-w64-mingw32-gcc -municode -O2 -o "$work/add_printer.exe" "$here/add_printer.c" -lwinspool
drivers="$WINEPREFIX/drive_c/windows/system32/spool/drivers/x64/3"
mkdir -p "$drivers"
cp "$here/pdf_printer.ppd" "$drivers/"
wine "$work/add_printer.exe" "$work/plan.ps" || { echo "no printer"; exit 1; }

# CI keeps only what is printed: the windows shown, besides the screenshot.
failed() {
  local id
  echo "FAILED: $*"
  for id in $(xdotool search --onlyvisible --name . 2>/dev/null); do
    echo "  shown: '$(xdotool getwindowname "$id")'" \
      "$(xwininfo -id "$id" | grep -E 'Width|Height|Override' | tr -s ' \n' ' ')"
  done
  shot failed
  exit 1
}
shot() { import -window root "$out/$1.png"; }
step() { echo "$(date +%H:%M:%S) $*"; }
wait_window() { # title-pattern [seconds]
  local i
  for i in $(seq $((${2:-20} * 10))); do
    [ -n "$(visible_windows "$1")" ] && return 0
    sleep 0.1
  done
  failed "no window '$1'"
}
wait_gone() { # title-pattern
  local i
  for i in $(seq 100); do
    [ -n "$(visible_windows "$1")" ] || return 0
    sleep 0.1
  done
  failed "the window '$1' stays"
}
focus() { # title-pattern
  local id
  id=$(visible_windows "$1" | tail -n 1)
  xdotool windowfocus --sync "$id" 2>/dev/null || xdotool windowfocus "$id"
  sleep 0.3
}
keys() { xdotool key --delay 120 "$@"; sleep 0.4; }
type_text() { xdotool type --delay 60 "$1"; sleep 0.3; }
# Types a file name into Qt's file dialog and accepts it. The first Return
# may only take the name from the completion list that typing opened.
choose_file() { # title name
  focus "$1"
  type_text "$2"
  keys Return
  sleep 0.5
  if [ -n "$(visible_windows "$1")" ]; then
    focus "$1"
    keys Return
  fi
  wait_gone "$1"
}
no_error_box() {
  [ -z "$(visible_windows '^Menuvera 2$')" ] ||
    failed "an error box is shown"
}

# Web links go through the shell to Wine's browser launcher, which starts
# the desktop's xdg-open: this one only notes the address.
mkdir -p "$work/bin"
printf '#!/bin/sh\necho "$1" >>"%s"\n' "$work/opened" >"$work/bin/xdg-open"
chmod +x "$work/bin/xdg-open"
export PATH="$work/bin:$PATH"

unzip -q "$zip" -d "$work/unpacked"
folder=$(ls -d "$work"/unpacked/*/)
(cd "$folder" && find . -type f | sort) >"$work/zip-files"
cd "$folder"
step "start menuvera.exe from the unpacked zip"
wine menuvera.exe >"$out/program.log" 2>&1 &
program=$!
wait_window '^Lebensmittel öffnen$' 60
sleep 1
shot 1-start-up-dialog
choose_file '^Lebensmittel öffnen$' Lebensmittel.lmk
no_error_box
sleep 1
step "catalogue opened"
main=$(visible_windows '^Menuvera 2 ' | head -n 1)
xdotool windowfocus "$main" 2>/dev/null || true
sleep 0.3
type_text Banane
keys Tab Tab Tab space
wait_window '^Menge$'
focus '^Menge$'
keys ctrl+a
type_text 200
shot 2-portion
keys Tab Return
wait_gone '^Menge$'
no_error_box
sleep 0.5
shot 3-totals-comma
step "portion of 200 g added"

keys alt+e d
wait_window '^Drucken$'
sleep 0.5
shot 4-print-dialog
focus '^Drucken$'
keys Return
wait_gone '^Drucken$'
no_error_box
# The spooler writes the job when it ends; wait until the file stops growing.
size=-1
for _ in $(seq 50); do
  new=$(stat -c %s "$work/plan.ps" 2>/dev/null || echo 0)
  [ "$new" -gt 0 ] && [ "$new" = "$size" ] && break
  size=$new
  sleep 0.4
done
ps2pdf "$work/plan.ps" "$out/Ernaehrungsplan.pdf" || failed "the print job is no PostScript"
pdftotext -layout "$out/Ernaehrungsplan.pdf" "$out/Ernaehrungsplan.txt"
for line in 'Ernährungsplan' 'Frühstück' 'Banane +200 Gramm +186,0' 'Gesamtsumme +186,0 +2,2 gr +40,0 gr +0,4 gr'; do
  grep -Eq "$line" "$out/Ernaehrungsplan.txt" || failed "the printout lacks '$line'"
done
pdfinfo "$out/Ernaehrungsplan.pdf" | grep -q '^Title: *(\?Menuvera Ernährungsplan)\?$' ||
  failed "the job is not named 'Menuvera Ernährungsplan'"
step "plan printed through the print dialog"

# The user changes the decimal separator in the regional settings while the
# program runs; Windows tells the program, and the user adds a portion.
separator_then_portion() { # separator
  regional "$1"
  wine "$work/setting_change.exe" || failed "the change of the regional settings was not sent"
  xdotool windowfocus "$main" 2>/dev/null || true
  sleep 0.5
  keys space
  wait_window '^Menge$'
  focus '^Menge$'
  keys Return
  wait_gone '^Menge$'
}

# The next recalculation reads the rows' texts ("1,1") with "." and refuses
# them, with its message for each failing step.
separator_then_portion .
wait_window '^Menuvera 2$'
sleep 0.5
shot 5-separator-point
boxes=0
while [ -n "$(visible_windows '^Menuvera 2$')" ] && [ $boxes -lt 10 ]; do
  focus '^Menuvera 2$'
  keys Return
  sleep 0.5
  boxes=$((boxes + 1))
done
[ $boxes -gt 0 ] && [ $boxes -lt 10 ] || failed "$boxes messages for the rows read with '.'"
step "with '.' as separator the next recalculation refuses the rows' texts ($boxes messages)"

# And back: the next recalculation reads them again.
separator_then_portion ,
sleep 0.5
no_error_box
shot 6-totals-comma-again
step "with ',' again a third portion adds up"

xdotool windowfocus "$main" 2>/dev/null || true
keys alt+l s
wait_window '^Lebensmittel speichern$'
choose_file '^Lebensmittel speichern$' Gespeichert.lmk
no_error_box
# Under load the save may still be under way when the dialog reads as gone.
for _ in $(seq 100); do
  cmp -s Lebensmittel.lmk Gespeichert.lmk && break
  sleep 0.1
done
cmp Lebensmittel.lmk Gespeichert.lmk || failed "the saved catalogue differs from the one opened"
step "catalogue saved: the same lines came back"

xdotool windowfocus "$main" 2>/dev/null || true
keys alt+i b
wait_window '^Info über'
sleep 1
shot 7-about
# The logo is a link for the mouse.
eval "$(xdotool getwindowgeometry --shell "$(visible_windows '^Info über' | tail -n 1)")"
xdotool mousemove $((X + 370)) $((Y + 150)) click 1
for _ in $(seq 100); do [ -s "$work/opened" ] && break; sleep 0.1; done
[ "$(cat "$work/opened" 2>/dev/null)" = https://www.menuvera.example/ ] ||
  failed "the logo's link did not reach the desktop's browser: $(cat "$work/opened" 2>/dev/null)"
step "the logo's link went through the shell to the browser"
focus '^Info über'
keys Return
wait_gone '^Info über'
step "about window shown and closed"

# A changed catalogue: the close box asks first. "Abbrechen" (Escape) keeps
# the program, "Nicht speichern" (its access key) ends it, the file untouched.
close_box() { /usr/bin/python3 "$here/../support/close_request.py" "$main"; }
opened_bytes=$(md5sum <Lebensmittel.lmk)
xdotool windowfocus "$main" 2>/dev/null || true
keys alt+l l
close_box
wait_window '^Menuvera 2$'
sleep 0.5
shot 8-save-question
focus '^Menuvera 2$'
keys Escape
wait_gone '^Menuvera 2$'
sleep 0.5
kill -0 $program 2>/dev/null || failed "the program ended after 'Abbrechen'"
step "a food deleted; the close box asks, 'Abbrechen' keeps the program"
close_box
wait_window '^Menuvera 2$'
focus '^Menuvera 2$'
keys n
for _ in $(seq 100); do kill -0 $program 2>/dev/null || break; sleep 0.1; done
kill -0 $program 2>/dev/null && failed "the program did not end after 'Nicht speichern'"
[ "$(md5sum <Lebensmittel.lmk)" = "$opened_bytes" ] || failed "'Nicht speichern' changed the file"
cmp -s Lebensmittel.lmk Gespeichert.lmk || failed "'Nicht speichern' changed the saved file"
cd "$work"
step "asked again, 'Nicht speichern' ended the program; the files are untouched"

step "silent setup"
wine "$setup" /S
wineserver -w
installed="$WINEPREFIX/drive_c/Program Files/Menuvera 2"
[ -f "$installed/menuvera.exe" ] || failed "setup installed no menuvera.exe"
diff "$work/zip-files" <(cd "$installed" && find . -type f ! -name Deinstallieren.exe | sort) ||
  failed "setup installed other files than the zip holds"
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Menuvera 2.lnk"
[ -f "$menu" ] || failed "no Start-menu entry"
wine reg query 'HKLM\Software\Classes\.lmk' /ve 2>/dev/null | grep -q Menuvera.Lebensmittelliste ||
  failed "no .lmk file type"
wine reg query 'HKLM\Software\Classes\Menuvera.Lebensmittelliste' /ve 2>/dev/null |
  grep -q 'Menuvera Lebensmittelliste' || failed "the file type has no name"
step "installed with Start-menu entry and file type"
wine "C:\\Program Files\\Menuvera 2\\Deinstallieren.exe" /S
wineserver -w
sleep 2
wineserver -w
[ ! -e "$installed" ] || failed "the uninstaller left $(find "$installed" | head)"
[ ! -e "$menu" ] || failed "the uninstaller left the Start-menu entry"
! wine reg query 'HKLM\Software\Classes\.lmk' >/dev/null 2>&1 || failed "the file type stays"
step "uninstalled"
echo "the road passed; screenshots in $out"
