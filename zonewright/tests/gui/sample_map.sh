# Shared by the wizard's mission tests, sourced before cmake/gui-test.sh (whose
# hooks it defines): each test works in a fresh folder with zonewright.zrf and
# a copy of the sample map custom_maps/v; sample_map_copy (after gui-test.sh)
# makes it and sets map and instances, with copies as map.before and
# instances.before.
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
