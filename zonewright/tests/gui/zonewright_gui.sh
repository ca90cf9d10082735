#!/usr/bin/env bash
# End-to-end tests of zonewright.exe under Wine:
#   zonewright_gui.sh exit|screen|wizard|clicks|missing-resource win32|win64 PATH/zonewright.exe
# exit:             "exit" as a command-line argument ends the program with code 0.
# screen:           with every control closed, the client area shows the clear colour
#                   0x848996 and the FPS line in the cell font at its row, every cell
#                   clean beside its glyph; Escape ends the program with code 0.
# wizard:           the built screen: the map window frame, the right-hand panel, the
#                   Import button and the help button with their captions.
# clicks:           a click on the panel (winMapBack) runs and prints nothing; a click
#                   on the help button shows the help box, answered.
# missing-resource: without zonewright.zrf the error box appears with its text;
#                   answered, the program ends with code 0.
set -u
what=${1:?usage: zonewright_gui.sh exit|screen|wizard|clicks|missing-resource ARCH EXE}
arch=${2:?}
exe=$(readlink -f "${3:?}")
top=$(cd "$(dirname "$0")/../../.." && pwd)
# On failure the last lines of the program's output say what Wine saw.
kc_fail_details() {
  [ -s "$work/out.txt" ] && { echo "-- last lines of the program's output:"; tail -n 15 "$work/out.txt"; }
}
. "$top/cmake/gui-test.sh" "$@"

wait_window() { kc_wait_window "$1" 120 "$app_pid"; }

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
  kc_press_until "$1" "$2" 60 eval "! kill -0 $app_pid 2>/dev/null"
}

# Starts the program in its folder with these arguments (output to out.txt), waits
# for its window: sets app_pid, win and the client area.
start_wizard() {
  cd "$(dirname "$exe")"
  "$wine_run" "$arch" "$exe" "$@" >"$work/out.txt" 2>&1 &
  app_pid=$!
  win=$(wait_window "zonewright v1.0")
  [ -n "$win" ] || fail "no window \"zonewright v1.0\""
  client_geometry "$win"
}

# The client area of a window (its X window): sets cx cy cw ch.
client_geometry() {
  eval "$(xdotool getwindowgeometry --shell "$1")"
  cx=$X; cy=$Y; cw=$WIDTH; ch=$HEIGHT
  echo "client area ${cw}x${ch} at $cx,$cy"
}

# Waits until the program has drawn its screen: the pixel (x, y) of the client
# area is no longer black.
wait_drawn() {  # x y
  drawn_at() {
    import -window root "$work/poll.png" 2>/dev/null &&
      [ "$(pixels "$work/poll.png" 1 1 $((cx + $1)) $((cy + $2)) | awk '{print $3+$4+$5}')" -gt 0 ]
  }
  kc_poll 90 drawn_at "$1" "$2" || fail "the screen was not drawn"
}

# Counts the pixels of a rectangle of the client area for which an awk condition
# on r, g, b ($3, $4, $5) holds.
count() {  # file w h x y condition
  pixels "$1" "$2" "$3" $((cx + $4)) $((cy + $5)) | awk "$6" | wc -l
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
  local other f left space strip i
  # Everything above the statistics row is the clear colour.
  other=$(count "$work/shot.png" "$cw" 400 0 0 '$3!=132||$4!=137||$5!=150')
  problem="$other pixels above the FPS row are not the clear colour"
  [ "$other" -eq 0 ] || return 1
  # The FPS line: bright glyph texels from column 1 (x 45) on, nothing left of it.
  bright=$(count "$work/shot.png" 315 45 45 405 '$3>200&&$4>200&&$5>200')
  problem="no FPS line at its row ($bright bright pixels)"
  [ "$bright" -gt 200 ] || return 1
  # "F" (cell 45..90) is a glyph of its own: bright texels in its cell.
  f=$(count "$work/shot.png" 45 45 45 405 '$3>200&&$4>200&&$5>200')
  problem="no \"F\" glyph in the first cell"
  [ "$f" -gt 20 ] || return 1
  left=$(count "$work/shot.png" 44 45 0 405 '$3!=132||$4!=137||$5!=150')
  problem="column 0 of the FPS row is not empty"
  [ "$left" -eq 0 ] || return 1
  # The line reads cleanly: the space after "FPS:" is empty, and the left strip of
  # every cell (texels 0 to 2 of a glyph cell, which no glyph uses) shows the clear
  # colour, where pieces of control images would lie in the resource image's cells.
  space=$(count "$work/shot.png" 45 45 225 405 '$3!=132||$4!=137||$5!=150')
  problem="$space pixels in the cell of the space"
  [ "$space" -eq 0 ] || return 1
  for i in $(seq 1 12); do
    strip=$(count "$work/shot.png" 5 45 $((i * 45)) 405 '$3!=132||$4!=137||$5!=150')
    problem="$strip pixels beside the glyph of cell $i"
    [ "$strip" -eq 0 ] || return 1
  done
}

case "$what" in
  exit)
    # The printed start-up lines and the argument results reach OutputDebugStringA.
    cd "$(dirname "$exe")"
    WINEDEBUG=-all,+debugstr timeout 90 "$wine_run" "$arch" "$exe" "core.sync ?" exit >"$work/out.txt" 2>&1
    rc=$?
    [ $rc -eq 0 ] || fail "exit code $rc, expected 0"
    sed -n 's/.*OutputDebugStringA "\(.*\)\\n"$/\1/p' "$work/out.txt" >"$work/lines.txt"
    # The screen's 24 "control.texture zonewright.zrf" lines each find the texture.
    { printf '%s\n' "Creating the window" "Direct3D init OK" "DirectInput init OK" \
        "Loaded texture 'zonewright.zrf'" "Setting up TrueType fonts"
      for i in $(seq 1 24); do echo "Texture found"; done
      printf '%s\n' "Initializing game..." "'core.sync' = 10." "Exit"
    } >"$work/expected.txt"
    diff "$work/expected.txt" "$work/lines.txt" >&2 || fail "printed lines"
    ;;

  screen)
    # Cell size 640 / 14 = 45: the FPS row r - 1 = 480 / 45 - 1 = 9 lies at y 405 to 450,
    # inside the client area of the 640 by 480 window (row 47 of the start-up cell size
    # lies below it). "control.closeAll" hides the wizard's screen.
    start_wizard "render.fontSize 14" "control.closeAll"
    [ "$cw" -ge 600 ] && [ "$ch" -ge 440 ] || fail "client area too small"
    # The first frames may come late: screenshots until one passes every check or time is up.
    kc_poll 90 check_screen
    shown=$?
    mkdir -p "$top/build/screenshots"
    cp "$work/shot.png" "$top/build/screenshots/zonewright-gui-test.png" 2>/dev/null
    [ $shown -eq 0 ] || fail "$problem"
    echo "bright pixels of \"FPS: ...\": $bright"
    # Escape ends the program.
    press_until_exit "$win" Escape || fail "Escape did not end the program"
    expect_exit_zero
    ;;

  wizard)
    # The map image keeps no width, as before an import: the frame shows unhidden.
    start_wizard "control.active winMapImage" "control.scale 0 512"
    wait_drawn 590 300
    import -window root "$work/shot.png" || fail "no screenshot"
    mkdir -p "$top/build/screenshots"
    cp "$work/shot.png" "$top/build/screenshots/zonewright-wizard.png"
    # The panel (winMapBack from x 514) in its light grey.
    panel=$(count "$work/shot.png" 100 100 530 150 '$3>195&&$3<215&&$5>210&&$5<228')
    [ "$panel" -ge 9000 ] || fail "no panel right of the map window ($panel pixels)"
    # The map window frame: top edge at y 0 to 8, left edge at x 0 to 8, right edge at
    # x 506 to 514, in the frame's dark blue-grey.
    frame='$3>=60&&$3<=85&&$4>=67&&$4<=92&&$5>=85&&$5<=110'
    top_edge=$(count "$work/shot.png" 400 3 50 3 "$frame")
    left_edge=$(count "$work/shot.png" 3 300 3 100 "$frame")
    right_edge=$(count "$work/shot.png" 3 300 509 100 "$frame")
    echo "frame pixels: top $top_edge, left $left_edge, right $right_edge"
    [ "$top_edge" -ge 1000 ] && [ "$left_edge" -ge 550 ] && [ "$right_edge" -ge 550 ] ||
      fail "no map window frame"
    # The Import button at 524, 53 (48 by 24): a light face with its dark caption.
    face=$(count "$work/shot.png" 48 24 524 53 '$3>190&&$4>190&&$5>200')
    caption=$(count "$work/shot.png" 36 14 532 56 '$3<110&&$4<110&&$5<110')
    echo "Import: $face face pixels, $caption caption pixels"
    [ "$face" -ge 500 ] && [ "$caption" -ge 15 ] || fail "no Import button with its caption"
    # Nothing of the button left of 524 or above 53 but the panel.
    [ "$(count "$work/shot.png" 6 24 518 53 '$3<150')" -eq 0 ] || fail "Import is not at x 524"
    # The help button at 604, 425 (24 by 24): its blue ring and the dark "?".
    ring=$(count "$work/shot.png" 24 24 604 425 '$5>$3+60')
    mark=$(count "$work/shot.png" 10 14 610 429 '$3<110&&$4<110&&$5<110')
    echo "help: $ring ring pixels, $mark caption pixels"
    [ "$ring" -ge 30 ] && [ "$mark" -ge 5 ] || fail "no help button with its caption"
    press_until_exit "$win" Escape || fail "Escape did not end the program"
    expect_exit_zero
    ;;

  clicks)
    WINEDEBUG=-all,+debugstr start_wizard
    wait_drawn 590 300
    timeout 5 xdotool windowfocus --sync "$win" 2>/dev/null
    # A press is seen by the frame's input poll: hold each button a moment.
    press() {
      xdotool mousemove --sync $((cx + $1)) $((cy + $2))
      xdotool mousedown 1
      sleep 0.3
      xdotool mouseup 1
    }
    press 590 300   # the panel
    press 616 437   # the help button
    box=$(wait_window "zonewright Help")
    [ -n "$box" ] || fail "no help box \"zonewright Help\""
    # Return answers the box; repeated until it is gone (a key before the focus is lost).
    kc_press_until "$box" Return 60 kc_window_gone "zonewright Help" || fail "the help box was not answered"
    press_until_exit "$win" Escape || fail "Escape did not end the program"
    expect_exit_zero
    sed -n 's/.*OutputDebugStringA "\(.*\)\\n"$/\1/p' "$work/out.txt" >"$work/lines.txt"
    # After start-up: the help button's command line, nothing for the panel.
    sed -n '/^Setting up TrueType fonts$/,$p' "$work/lines.txt" | tail -n +2 >"$work/after.txt"
    grep -v -e '^Initializing game...$' -e '^Texture found$' "$work/after.txt" >"$work/clicks.txt"
    printf '%s\n' "editor.showHelp   " "Exit" >"$work/expected.txt"
    diff "$work/expected.txt" "$work/clicks.txt" >&2 || fail "printed lines after the clicks"
    ;;

  missing-resource)
    # An empty working directory: no zonewright.zrf. The relay trace of MessageBoxA
    # shows the text and the caption of the box.
    "$wine_run" "$arch" reg add 'HKCU\Software\Wine\Debug' /v RelayInclude /d 'user32.MessageBoxA' /f \
      >/dev/null 2>&1
    cd "$work"
    WINEDEBUG=-all,+relay "$wine_run" "$arch" "$exe" >"$work/out.txt" 2>&1 &
    app_pid=$!
    box=$(wait_window "zonewright Error")
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
