#!/usr/bin/env bash
# End-to-end tests of the map wizard's import, zone placement and export under Wine:
#   zonewright_mission_gui.sh import|export|export-no|read-only win32|win64 PATH/zonewright.exe
# Each test runs in a fresh folder with zonewright.zrf and a copy of the sample
# map custom_maps/v, imported by the argument "editor.openMap custom_maps/v/vInstances.juice".
# import:     the map image shows the overview in the map window (its river).
# export:     LZ button, a left click on the map, Export and "Yes": both files are
#             written, the map file equals the expected bytes, the instances
#             file holds the LZ at the clicked place.
# export-no:  Export and "No": nothing is written.
# read-only:  a read-only map file: the error is printed and shown in a box;
#             both files stay as they were.
set -u
what=${1:?usage: zonewright_mission_gui.sh import|export|export-no|read-only ARCH EXE}
arch=${2:?}
exe=$(readlink -f "${3:?}")
top=$(cd "$(dirname "$0")/../../.." && pwd)
data=$top/zonewright/tests/data
. "$top/zonewright/tests/gui/sample_map.sh"
. "$top/cmake/gui-test.sh" "$@"
sample_map_copy

wait_window() { kc_wait_window "$1" 120 "$app_pid"; }

# Presses the left button at client (x, y) for a few frames, until the check
# succeeds (at most 10 presses: a slow first frame may miss one).
click_until() {
  local x=$1 y=$2 tries=0
  shift 2
  xdotool mousemove --sync --window "$win" "$x" "$y"
  until "$@"; do
    tries=$((tries + 1))
    [ $tries -gt 10 ] && fail "no effect of a click at $x, $y"
    xdotool mousedown 1
    sleep 0.5
    xdotool mouseup 1
    poll 25 "$@"
  done
}

# Runs a check every 0.2 s, at most N times; true when it succeeded.
poll() {
  local n=$1 i=0
  shift
  until "$@"; do
    i=$((i + 1))
    [ $i -ge "$n" ] && return 1
    sleep 0.2
  done
}

# Places an LZ with its button (screen 524, 100) and a press on the map at (112, 212).
# True when the pointer stands at client (112, 212).
pointer_at_map_place() { pointer_at 112 212; }

place_lz() {
  click_until 548 112 printed "editor.setMode 2  "
  # The pointer reaches the place (and the program sees it move) before the press.
  xdotool mousemove --sync --window "$win" 111 211
  xdotool mousemove --sync --window "$win" 112 212
  kc_poll 10 pointer_at_map_place || fail "the pointer did not reach the map"
  xdotool mousedown 1
  wait_line "new"
  sleep 0.5
  xdotool mouseup 1
  # The new marker lies under the pointer: while the program sees the button
  # down it drags the marker along. Its release prints the marker's empty
  # command line; the pointer may move on once that has come (or, had the
  # program missed the press on the marker, after the bounded wait).
  poll 50 marker_released || true
}
marker_released() { lines | sed -n '/^new$/{n;p;}' | grep -qx ''; }

# Clicks Export (screen 524, 53, where the import moved it) and answers the confirmation box with a key.
export_answer() {
  click_until 548 65 window_open "Confirm Overwrite"
  local box
  box=$(wait_window "Confirm Overwrite")
  kc_press_until "$box" "$1" 60 kc_window_gone "Confirm Overwrite" || fail "the box stays open"
}

same() { cmp -s "$1" "$2"; }

case "$what" in
  import)
    start
    mkdir -p "$top/build/screenshots"
    cp "$work/shot.png" "$top/build/screenshots/zonewright-mission-import.png"
    quit
    ;;

  export)
    start
    place_lz
    export_answer Return
    quit
    same "$data/sample_v_exported_map.juice" "$map" || fail "the map file differs from the expected bytes"
    grep -qF $'\t\tXThingInstance LZ_1_thing\r' "$instances" || fail "no LZ in the instances file"
    lz_at=$(sed -n '/XThingInstance LZ_1_thing/,/}/p' "$instances" | tr -d '\r' | grep -E 'my[XZ] ' | tr -s '\t\n' '  ')
    grep -qF $'\t\t\t\tmyX 2400.000000\r' "$instances" || fail "LZ world x ($lz_at)"
    grep -qF $'\t\t\t\tmyZ 1464.000000\r' "$instances" || fail "LZ world z ($lz_at)"
    grep -qF 'myShortDescription "V"' "$instances" || fail "upper-case map name"
    [ ! -e "$map.tmp" ] && [ ! -e "$instances.tmp" ] || fail "temporary file left"
    ;;

  export-no)
    start
    place_lz
    export_answer n
    quit
    same "$work/map.before" "$map" || fail "the map file was written"
    same "$work/instances.before" "$instances" || fail "the instances file was written"
    for f in "$map" "$instances"; do
      for t in .bak .orig .tmp .orig.tmp .bak.old; do
        [ ! -e "$f$t" ] || fail "the failed export left $f$t"
      done
    done
    ;;

  read-only)
    chmod a-w "$map"
    start
    place_lz
    export_answer Return
    box=$(wait_window "zonewright Error")
    [ -n "$box" ] || fail "no error box"
    wait_line "ERROR: Could not write 'custom_maps/v/v.juice'!"
    kc_press_until "$box" Return 60 kc_window_gone "zonewright Error" || fail "the error box stays open"
    quit
    same "$work/map.before" "$map" || fail "the read-only map file changed"
    same "$work/instances.before" "$instances" || fail "the instances file was written"
    for f in "$map" "$instances"; do
      for t in .bak .orig .tmp .orig.tmp .bak.old; do
        [ ! -e "$f$t" ] || fail "the failed export left $f$t"
      done
    done
    ;;

  *)
    fail "unknown test $what"
    ;;
esac
echo "PASS: $what"
