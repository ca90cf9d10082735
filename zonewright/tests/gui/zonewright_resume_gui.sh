#!/usr/bin/env bash
# End-to-end test of correcting and resuming a mission under Wine:
#   zonewright_resume_gui.sh resume win32|win64 PATH/zonewright.exe
# The test runs in a fresh folder with zonewright.zrf and a copy of the sample
# map custom_maps/v, imported by the argument "editor.openMap custom_maps/v/vInstances.juice".
# resume: first run: an LZ placed and dragged in its press, a VL placed, a new
#         playfield that clamps the LZ, the VL removed with Delete and brought
#         back with Ctrl+Z, Export and "Yes": the files hold both markers where
#         they are drawn, the sample's files are kept as .orig and as .bak.
#         Second run: the import recreates the markers, Export and "Yes" writes
#         both files byte for byte as the first run wrote them; .bak now holds
#         the first run's files and .orig still the sample's.
set -u
what=${1:?usage: zonewright_resume_gui.sh resume ARCH EXE}
arch=${2:?}
exe=$(readlink -f "${3:?}")
top=$(cd "$(dirname "$0")/../../.." && pwd)
. "$top/zonewright/tests/gui/sample_map.sh"
. "$top/cmake/gui-test.sh" "$@"
sample_map_copy
same() { cmp -s "$1" "$2"; }

# Places a marker with the press at (x, y), moves it to (x2, y2) while the
# button is held and waits for the line of its place.
place() {
  local button_x=$1 mode=$2 x=$3 y=$4 x2=$5 y2=$6 line=$7
  local before
  before=$(count new)
  click_button "$button_x" 112 "editor.setMode $mode  "
  pointer_to $((x - 1)) $((y - 1))
  pointer_to "$x" "$y"
  xdotool mousedown 1
  kc_poll 30 eval "[ \$(count new) -gt $before ]" || fail "no marker placed at $x, $y"
  pointer_to "$x2" "$y2"
  sleep 0.5  # held, so that a frame sees the button down at the new place
  xdotool mouseup 1
  wait_line "$line"
}

# A playfield dragged with the right button; a drag that a frame saw only in
# part is taken back with Ctrl+Z and made again.
crop() {
  local x=$1 y=$2 x2=$3 y2=$4 line=$5 tries=0 before
  until printed "$line"; do
    tries=$((tries + 1))
    [ $tries -gt 5 ] && fail "no playfield \"$line\""
    if [ $tries -gt 1 ]; then
      before=$(count "Undone: playfield")
      kc_press_until "$win" ctrl+z 30 eval "[ \$(count 'Undone: playfield') -gt $before ]" || fail "no undo"
    fi
    before=$(count ok)
    pointer_to "$x" "$y"
    xdotool mousedown 3
    kc_poll 30 eval "[ \$(count ok) -gt $before ]" || fail "no crop drag at $x, $y"
    pointer_to $(((x + x2) / 2)) $(((y + y2) / 2))
    pointer_to "$x2" "$y2"
    sleep 0.5  # held, so that a frame sees the button down at the corner
    xdotool mouseup 3
    kc_poll 10 eval "lines | grep -q '^Playfield '"
  done
}

# Clicks Export and answers the confirmation box with Return.
export_yes() {
  pointer_to 548 65
  until window_open "Confirm Overwrite"; do
    xdotool mousedown 1
    sleep 0.5
    xdotool mouseup 1
    kc_poll 10 window_open "Confirm Overwrite" && break
  done
  local box
  box=$(kc_wait_window "Confirm Overwrite" 60)
  [ -n "$box" ] || fail "no confirmation box"
  kc_press_until "$box" Return 60 kc_window_gone "Confirm Overwrite" || fail "the box stays open"
}

# The block of an instance in the instances file, one line.
instance() { sed -n "/$1\r\$/,/}/p" "$instances" | tr -d '\r' | tr -s '\t\n' '  '; }

case "$what" in
  resume)
    start
    # LZ button at (548, 112), VL button at (598, 112).
    place 548 2 112 212 162 262 "LZ 1 at 2100, 1764"
    place 598 3 312 212 312 212 "VL 1 at 1200, 1464"
    # Playfield pixels 200, 90 to 410, 420: the LZ (left at 150) moves to 200.
    crop 200 60 400 380 "Playfield 1200:540:2460:2520"
    pointer_to 312 212
    kc_press_until "$win" Delete 30 printed "Removed VL 1" || fail "the VL was not removed"
    kc_press_until "$win" ctrl+z 30 printed "Undone: removal" || fail "the removal was not undone"
    export_yes
    kc_poll 60 same "$map.bak" "$work/map.before" || fail "the previous map file is not kept"
    kc_poll 60 eval "grep -q 'VL_1_thing' '$instances'" || fail "the instances file was not written"
    kc_poll 60 same "$instances.bak" "$work/instances.before" || fail "the previous instances file is not kept"
    same "$map.orig" "$work/map.before" || fail "the original map file is not kept as .orig"
    same "$instances.orig" "$work/instances.before" || fail "the original instances file is not kept as .orig"
    quit
    lz=$(instance "XThingInstance LZ_1_thing")
    vl=$(instance "XThingInstance VL_1_thing")
    [[ "$lz" == *"myX 1800.000000 myY "*" myZ 1764.000000 "* ]] || fail "LZ 1 is not where it is drawn: $lz"
    [[ "$vl" == *"myX 1200.000000 myY "*" myZ 1464.000000 "* ]] || fail "VL 1 is not where it was placed: $vl"
    grep -qF 'VL_2_thing' "$instances" && fail "two VLs"
    grep -qF $'\t\tx 612.000000\r' "$map" || fail "playfield min x"
    cp "$map" "$work/map.first"
    cp "$instances" "$work/instances.first"

    # A new run: the import brings the mission back; an export without a change
    # writes the same bytes (and keeps the first run's files as .bak).
    start
    wait_line "Read 1 LZs and 1 VLs of the mission."
    # The resumed markers with their labels, for a look.
    mkdir -p "$top/build/screenshots"
    import -window root "$top/build/screenshots/zonewright-resume.png" 2>/dev/null
    export_yes
    kc_poll 60 same "$map.bak" "$work/map.first" || fail "the first run's map file is not kept"
    kc_poll 60 same "$instances.bak" "$work/instances.first" || fail "the first run's instances file is not kept"
    quit
    same "$map" "$work/map.first" || fail "the map file changed"
    same "$instances" "$work/instances.first" || fail "the instances file changed"
    same "$map.orig" "$work/map.before" || fail "the second export replaced the map file's .orig"
    same "$instances.orig" "$work/instances.before" || fail "the second export replaced the instances file's .orig"
    for f in "$map" "$instances"; do
      for t in .tmp .orig.tmp .bak.old; do
        [ ! -e "$f$t" ] || fail "temporary file $f$t left"
      done
    done
    ;;

  *)
    fail "unknown test $what"
    ;;
esac
echo "PASS: $what"
