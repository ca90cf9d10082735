#!/usr/bin/env bash
# End-to-end tests of zonewright.exe under Wine:
#   zonewright_gui.sh exit|screen|missing-resource win32|win64 PATH/zonewright.exe
# exit:             "exit" as a command-line argument ends the program with code 0.
# screen:           the client area shows the clear colour 0x848996 and the FPS line
#                   in the cell font at its row; Escape ends the program with code 0.
# missing-resource: without zonewright.zrf the error box appears with its text;
#                   answered, the program ends with code 0.
set -u
what=${1:?usage: zonewright_gui.sh exit|screen|missing-resource ARCH EXE}
arch=${2:?}
exe=$(readlink -f "${3:?}")
top=$(cd "$(dirname "$0")/../../.." && pwd)
wine_run=$top/cmake/wine-run
. "$top/cmake/gui-wait.sh"

# A display of our own when there is none.
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

work=$(mktemp -d)
app_pid=""
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# On failure the last lines of the program's output say what Wine saw.
fail() {
  [ -s "$work/out.txt" ] && { echo "-- last lines of the program's output:"; tail -n 15 "$work/out.txt"; } >&2
  echo "FAIL: $*" >&2
  exit 1
}
kc_wait_display 60 || fail "no X display at $DISPLAY"

# Waits for the program started in the background; fails unless it ends with 0.
expect_exit_zero() {
  kc_wait_exit "$app_pid" 60
  local rc=$?
  [ $rc -ne 124 ] || fail "the program did not end"
  app_pid=""
  [ $rc -eq 0 ] || fail "exit code $rc, expected 0"
}

# press_until_exit WINDOW KEY: focuses the window and presses the key until the
# program has ended (a key sent before the window takes the focus is lost).
press_until_exit() {
  local window=$1 key=$2
  press_once() {
    timeout 5 xdotool windowfocus --sync "$window" 2>/dev/null
    xdotool key "$key" 2>/dev/null
    kc_poll 3 eval "! kill -0 $app_pid 2>/dev/null"
  }
  kc_poll 60 press_once
}

# Pixels of a rectangle of the screenshot as "x y r g b" lines (relative to the rectangle).
pixels() {  # file w h x y
  convert "$1" -crop "$2x$3+$4+$5" +repage -depth 8 txt:- |
    sed -n 's/^\([0-9]*\),\([0-9]*\): (\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3 \4 \5/p'
}

# The screen test's checks on a new screenshot; on failure $problem says which.
check_screen() {
  problem="no screenshot"
  import -window root "$work/shot.png" 2>/dev/null || return 1
  # The client area: the bounding box of the clear colour.
  read -r cw ch cx cy < <(convert "$work/shot.png" -fill black +opaque 'rgb(132,137,150)' \
    -fill white -opaque 'rgb(132,137,150)' -trim -format '%w %h %X %Y\n' info: 2>/dev/null)
  cx=${cx#+}; cy=${cy#+}
  problem="no client area in the clear colour"
  [ "${cw:-0}" -ge 600 ] && [ "${ch:-0}" -ge 440 ] || return 1
  # Everything above the statistics row is the clear colour.
  local other f left
  other=$(pixels "$work/shot.png" "$cw" 400 "$cx" "$cy" | awk '$3!=132||$4!=137||$5!=150' | wc -l)
  problem="$other pixels above the FPS row are not the clear colour"
  [ "$other" -eq 0 ] || return 1
  # The FPS line: bright glyph texels from column 1 (x 45) on, nothing left of it.
  bright=$(pixels "$work/shot.png" 315 45 $((cx + 45)) $((cy + 405)) | awk '$3>200&&$4>200&&$5>200' | wc -l)
  problem="no FPS line at its row ($bright bright pixels)"
  [ "$bright" -gt 200 ] || return 1
  # "F" (cell 45..90) is a glyph of its own: bright texels in its cell.
  f=$(pixels "$work/shot.png" 45 45 $((cx + 45)) $((cy + 405)) | awk '$3>200&&$4>200&&$5>200' | wc -l)
  problem="no \"F\" glyph in the first cell"
  [ "$f" -gt 20 ] || return 1
  left=$(pixels "$work/shot.png" 44 45 "$cx" $((cy + 405)) | awk '$3!=132||$4!=137||$5!=150' | wc -l)
  problem="column 0 of the FPS row is not empty"
  [ "$left" -eq 0 ]
}

case "$what" in
  exit)
    # The printed start-up lines and the argument results reach OutputDebugStringA.
    cd "$(dirname "$exe")"
    WINEDEBUG=-all,+debugstr timeout 90 "$wine_run" "$arch" "$exe" "core.sync ?" exit >"$work/out.txt" 2>&1
    rc=$?
    [ $rc -eq 0 ] || fail "exit code $rc, expected 0"
    sed -n 's/.*OutputDebugStringA "\(.*\)\\n"$/\1/p' "$work/out.txt" >"$work/lines.txt"
    printf '%s\n' "Creating the window" "Direct3D init OK" "DirectInput init OK" \
      "Loaded texture 'zonewright.zrf'" "Setting up TrueType fonts" "'core.sync' = 10." "Exit" \
      >"$work/expected.txt"
    diff "$work/expected.txt" "$work/lines.txt" >&2 || fail "printed lines"
    ;;

  screen)
    # Cell size 640 / 14 = 45: the FPS row r - 1 = 480 / 45 - 1 = 9 lies at y 405 to 450,
    # inside the client area of the 640 by 480 window (row 47 of the start-up cell size
    # lies below it).
    cd "$(dirname "$exe")"
    "$wine_run" "$arch" "$exe" "render.fontSize 14" >"$work/out.txt" 2>&1 &
    app_pid=$!
    win=$(kc_wait_window "zonewright v1.0")
    [ -n "$win" ] || fail "no window \"zonewright v1.0\""
    # The first frames may come late: screenshots until one shows the screen or time is up.
    kc_poll 60 check_screen
    shown=$?
    mkdir -p "$top/build/screenshots"
    cp "$work/shot.png" "$top/build/screenshots/zonewright-gui-test.png" 2>/dev/null
    [ $shown -eq 0 ] || fail "$problem"
    echo "client area ${cw}x${ch} at $cx,$cy"
    echo "bright pixels of \"FPS: ...\": $bright"
    # Escape ends the program.
    press_until_exit "$win" Escape || fail "Escape did not end the program"
    expect_exit_zero
    ;;

  missing-resource)
    # An empty working directory: no zonewright.zrf. The relay trace of MessageBoxA
    # shows the text and the caption of the box.
    "$wine_run" "$arch" reg add 'HKCU\Software\Wine\Debug' /v RelayInclude /d 'user32.MessageBoxA' /f \
      >/dev/null 2>&1
    cd "$work"
    WINEDEBUG=-all,+relay "$wine_run" "$arch" "$exe" >"$work/out.txt" 2>&1 &
    app_pid=$!
    box=$(kc_wait_window "zonewright Error")
    [ -n "$box" ] || fail "no message box \"zonewright Error\""
    # Nothing of the program but the box and its window.
    press_until_exit "$box" Return || fail "Return did not answer the box"
    expect_exit_zero
    expected='"ERROR: Could not find resource file \"zonewright.zrf\"! Shutting down ...",'
    grep -F "MessageBoxA(" "$work/out.txt" | grep -F -- "$expected" | grep -qF '"zonewright Error"' ||
      { grep -F MessageBoxA "$work/out.txt" >&2; fail "message box text"; }
    ;;

  *)
    fail "unknown test $what"
    ;;
esac
echo "PASS: $what"
