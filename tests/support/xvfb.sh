# Sourced by the real-window tests. start_xvfb FOLDER SIZE starts an X server
# of its own and sets xvfb (its process, for the test's cleanup) and display.
#
# Xvfb picks a free display itself and names it on the descriptor. Without
# -noreset it resets whenever its last client leaves and refuses connections
# meanwhile, so a program or xdotool starting then would fail at random.
start_xvfb() { # folder size
  exec 3>"$1/display"
  Xvfb -displayfd 3 -screen 0 "$2" -nolisten tcp -noreset >/dev/null 2>&1 &
  xvfb=$!
  exec 3>&-
  for _ in $(seq 400); do [ -s "$1/display" ] && break; sleep 0.05; done
  [ -s "$1/display" ] || { echo "Xvfb did not start"; exit 1; }
  display=:$(head -n 1 "$1/display")
}

# visible_windows PATTERN prints the ids of the shown windows whose title
# matches, leaving out the override-redirect ones: popups such as a
# completion list or a tooltip have no title bar, yet Qt (and Wine) give
# them the program's name, which is also the title of its message boxes.
visible_windows() { # pattern
  local id
  for id in $(xdotool search --onlyvisible --name "$1" 2>/dev/null); do
    xwininfo -id "$id" 2>/dev/null | grep -q 'Override Redirect State: no' && echo "$id"
  done
  return 0
}
