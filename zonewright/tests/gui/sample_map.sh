# Shared by the wizard's mission tests, sourced before cmake/gui-test.sh (whose
# hooks it defines): each test works in a fresh folder with zonewright.zrf and
# a copy of the sample map custom_maps/v; sample_map_copy (after gui-test.sh)
# makes it and sets map and instances, with copies as map.before and
# instances.before. start imports the map in the wizard, quit ends it, and the
# helpers below read its lines and work its window.
kc_before_cleanup() { chmod -R u+w "$work" 2>/dev/null; }
kc_fail_details() {
  [ -f "$work/out.txt" ] && lines | tail -20
}

# Printed lines of the program so far.
lines() { sed -n 's/.*OutputDebugStringA "\(.*\)\\n"$/\1/p' "$work/out.txt"; }

sample_map_copy() {
  local exe_dir
  exe_dir=$(dirname "$exe")
  [ -f "$exe_dir/custom_maps/v/vInstances.juice" ] || fail "no sample map next to $exe"
  cp "$exe_dir/zonewright.zrf" "$work/" || fail "no zonewright.zrf"
  mkdir -p "$work/custom_maps"
  cp -r "$exe_dir/custom_maps/v" "$work/custom_maps/"
  map=$work/custom_maps/v/v.juice
  instances=$work/custom_maps/v/vInstances.juice
  cp "$map" "$work/map.before"
  cp "$instances" "$work/instances.before"
}

printed() { lines | grep -qxF -- "$1"; }
count() { lines | grep -cxF -- "$1"; }
wait_line() { kc_poll 60 printed "$1" || fail "no line \"$1\""; }
window_open() { xdotool search --name "^$1\$" >/dev/null 2>&1; }
client_origin() { xdotool getwindowgeometry "$win" | sed -n 's/.*Position: \([0-9]*\),\([0-9]*\).*/\1 \2/p'; }

# Water pixels (the sample's river) in the map window of a screenshot.
water_pixels() {
  import -window root "$work/shot.png" 2>/dev/null || { echo 0; return; }
  local ox oy
  read -r ox oy < <(client_origin)
  convert "$work/shot.png" -crop "500x460+$((ox + 6))+$((oy + 10))" +repage -depth 8 txt:- |
    sed -n 's/^[0-9]*,[0-9]*: (\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3/p' |
    awk '$3 > 120 && $3 > $1 + 40 && $3 > $2 + 20' | wc -l
}
map_shown() { [ "$(water_pixels)" -gt 5000 ]; }

# Starts the wizard on the copy of the sample map, with any further command
# lines given, and waits until the imported overview is on the screen.
start() {
  cd "$work"
  WINEDEBUG=-all,+debugstr "$wine_run" "$arch" "$exe" "editor.openMap custom_maps/v/vInstances.juice" \
    "$@" >"$work/out.txt" 2>&1 &
  app_pid=$!
  win=$(kc_wait_window "zonewright v1.0" 120 "$app_pid")
  [ -n "$win" ] || fail "no window \"zonewright v1.0\""
  wait_line "Loaded texture 'custom_maps/v/vOverviewmap.tga'"
  xdotool windowfocus --sync "$win" 2>/dev/null
  # The first frames can take long (shaders of a software renderer).
  kc_poll 90 map_shown || fail "the overview is not shown"
}

# Ends the program with Escape and waits for it (the key is repeated until it
# takes effect: a key sent before the window has the focus is lost).
quit() {
  kc_press_until "$win" Escape 60 eval "! kill -0 $app_pid 2>/dev/null" || fail "the program did not end"
  app_pid=""
}

# Moves the pointer to client (x, y) and waits until it is there.
pointer_to() {
  xdotool mousemove --sync --window "$win" "$1" "$2"
  kc_poll 10 pointer_at "$1" "$2" || fail "the pointer did not reach $1, $2"
}
pointer_at() {
  local ox oy X Y
  read -r ox oy < <(client_origin)
  eval "$(xdotool getmouselocation --shell)"
  [ "$X" -eq $((ox + $1)) ] && [ "$Y" -eq $((oy + $2)) ]
}

# Clicks a button (client x, y) until the program prints the line.
click_button() {
  local x=$1 y=$2 line=$3 tries=0
  pointer_to "$x" "$y"
  until printed "$line"; do
    tries=$((tries + 1))
    [ $tries -gt 10 ] && fail "no effect of a click at $x, $y"
    xdotool mousedown 1
    sleep 0.5
    xdotool mouseup 1
    kc_poll 5 printed "$line"
  done
}
