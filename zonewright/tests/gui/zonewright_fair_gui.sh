#!/usr/bin/env bash
# End-to-end test of mirrored placement and the balance report under Wine:
#   zonewright_fair_gui.sh fair win32|win64 PATH/zonewright.exe
# The test runs in a fresh folder with zonewright.zrf and a copy of the sample
# map custom_maps/v, imported by the argument "editor.openMap custom_maps/v/vInstances.juice".
# fair: M turns on the point mirror (shown above the playfield); an LZ and a
#       VL placed bring their twins at the mirrored places; editor.balance (a
#       button made for the test) finds 0% between the two teams, and Export
#       asks without a balance warning and writes LZ 2 and VL 2. Then M turns
#       the mirror off, VL 1 is dragged far to one side alone, and Export's
#       box carries the balance warning (a taller box, the line printed with it).
set -u
what=${1:?usage: zonewright_fair_gui.sh fair ARCH EXE}
arch=${2:?}
exe=$(readlink -f "${3:?}")
top=$(cd "$(dirname "$0")/../../.." && pwd)
. "$top/zonewright/tests/gui/sample_map.sh"
. "$top/cmake/gui-test.sh" "$@"
sample_map_copy

# The place of the mirror mode, above the playfield's top left corner (client
# 84, 52 with the first playfield), as a picture.
mirror_area() {
  import -window root "$work/area.png" 2>/dev/null || return 1
  local ox oy
  read -r ox oy < <(client_origin)
  convert "$work/area.png" -crop "110x14+$((ox + 88))+$((oy + 37))" +repage "$1"
}
# Pixels of that place that differ from the picture taken in mode 0.
mirror_pixels() {
  mirror_area "$work/now.png" || { echo 0; return; }
  compare -metric AE -fuzz 10% "$work/off.png" "$work/now.png" null: 2>&1 | sed 's/[^0-9].*//'
}
mirror_shown() { [ "$(mirror_pixels)" -gt 20 ]; }
mirror_hidden() { [ "$(mirror_pixels)" -lt 5 ]; }

# A button of the test's own, made by command-line arguments in the screen's
# command language, that runs "editor.balance" (the console's line editor
# takes no typed characters). It stays at the screen's top-left corner.
balance_button=("control.new" "control.name butBalance" "control.caption Balance" "control.captionPos 4 4"
  "control.page pagMap" "control.texture zonewright.zrf" "control.command editor.balance"
  "control.image 0 16 48 40" "control.imageOver 0 16 48 40" "control.imageDown 48 16 96 40"
  "control.zone 0 0 48 24" "control.scale 48 24" "editor.neverEdit butBalance")

# Places a marker with a press at (x, y) and waits for the lines of it and its twin.
place() {
  local button_x=$1 mode=$2 x=$3 y=$4 line=$5 twin=$6 before
  before=$(count new)
  click_button "$button_x" 112 "editor.setMode $mode  "
  pointer_to $((x - 1)) $((y - 1))
  pointer_to "$x" "$y"
  xdotool mousedown 1
  kc_poll 30 eval "[ \$(count new) -gt $before ]" || fail "no marker placed at $x, $y"
  sleep 0.5  # held, so that a frame sees the button down on the marker
  xdotool mouseup 1
  wait_line "$line"
  wait_line "$twin"
}

# Drags the marker at (x, y) to (x2, y2) until the line of its place comes; a
# drag that a frame saw only in part is taken back with Ctrl+Z and made again.
drag() {
  local x=$1 y=$2 x2=$3 y2=$4 line=$5 tries=0 before
  local placed
  placed=$(lines | grep -c "^${line%% at *} at ")
  until printed "$line"; do
    tries=$((tries + 1))
    [ $tries -gt 5 ] && fail "no drag to \"$line\""
    if [ "$(lines | grep -c "^${line%% at *} at ")" -gt "$placed" ]; then
      before=$(count "Undone: drag")
      kc_press_until "$win" ctrl+z 30 eval "[ \$(count 'Undone: drag') -gt $before ]" || fail "no undo"
      placed=$(lines | grep -c "^${line%% at *} at ")
    fi
    timeout 5 xdotool windowfocus --sync "$win" 2>/dev/null
    pointer_to $((x - 1)) $((y - 1))
    pointer_to "$x" "$y"
    sleep 0.5  # a frame sees the pointer on the marker before the press
    xdotool mousedown 1
    pointer_to $(((x + x2) / 2)) $(((y + y2) / 2))
    pointer_to "$x2" "$y2"
    sleep 0.5  # held, so that a frame sees the button down at the new place
    xdotool mouseup 1
    kc_poll 10 printed "$line"
  done
}

# Clicks Export, waits for the confirmation box, keeps its height in box_height
# and answers it with Return.
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
  box_height=$(xdotool getwindowgeometry "$box" | sed -n 's/.*Geometry: [0-9]*x\([0-9]*\).*/\1/p')
  kc_press_until "$box" Return 60 kc_window_gone "Confirm Overwrite" || fail "the box stays open"
}

case "$what" in
  fair)
    start "${balance_button[@]}"
    mirror_area "$work/off.png" || fail "no screenshot"
    kc_press_until "$win" m 30 printed "Mirror 1" || fail "M did not turn the mirror on"
    kc_poll 30 mirror_shown || fail "the mirror mode is not shown above the playfield"
    # The playfield (pixels 84 to 429) has its centre at 256.5 on the map.
    # LZ button at (548, 112), VL button at (598, 112).
    place 548 2 150 150 "LZ 1 at 2172, 1092" "LZ 2 at 894, 1986"
    place 598 3 250 150 "VL 1 at 1572, 1092" "VL 2 at 1494, 1986"
    mkdir -p "$top/build/screenshots"
    import -window root "$top/build/screenshots/zonewright-fair.png" 2>/dev/null
    click_button 20 10 "Largest difference: 0.0% (nearest VL 0.0%, mean 0.0%)"
    printed "Contested VLs: 0" || fail "no count of contested VLs"
    export_yes
    first_height=$box_height
    kc_poll 60 eval "grep -q 'VL_2_thing' '$instances'" || fail "the instances file was not written"
    grep -qF 'LZ_2_thing' "$instances" || fail "the twin LZ was not written"
    lines | grep -q '^WARNING: ' && fail "a warning before the balanced export"

    kc_press_until "$win" m 30 printed "Mirror 0" || fail "M did not turn the mirror off"
    kc_poll 30 mirror_hidden || fail "the mirror mode is still shown"
    # VL 1 alone to the playfield's left edge: team 1 is 300 from it, team 2
    # 600 from VL 2.
    drag 250 150 100 150 "VL 1 at 2472, 1092"
    [ "$(lines | grep -c '^VL 2 at ')" -eq 1 ] || fail "the twin moved"
    export_yes
    printed "WARNING: Teams 1 and 2 differ by 50.0% in the distance to their nearest VL." ||
      fail "no balance warning"
    [ "$box_height" -gt "$first_height" ] ||
      fail "the box ($box_height) is no taller than without the warning ($first_height)"
    quit
    ;;

  *)
    fail "unknown test $what"
    ;;
esac
echo "PASS: $what"
