#!/usr/bin/env bash
# End-to-end tests of autorun.exe under Wine, each on a copy of the sample disc:
#   autorun_gui.sh CASE win32|win64 PATH/autorun.exe PATH/sdftool
# screen:   the background and the buttons in their looks (pixels compared with
#           the pictures of autorun.sdf), hover, a click beside the buttons, Escape.
# install:  "Install" starts setup\setup.exe in its folder and the menu quits; the
#           next start shows "Play" enabled and "Install" disabled; "Play" starts
#           the game named in the registry.
# second:   a second copy ends with 0 and shows no window.
# suppress: the suppression key ends the program with 0 before its window shows.
# disc:     without autorun.sdf the window hides and the insert-disc box shows;
#           with the archive back and the box answered, the window returns.
# diagnose: /diagnose names the failed requirement of the disabled "Play", and
#           the suppression key as the reason to end.
# readme:   "Read me" opens its target at the disc's root (a probe program of the
#           test in place of readme.txt) in the menu's folder.
# elsewhere: started from another folder the menu shows its window; without the
#           archive beside it /diagnose says where it looked.
#           Another archive in the current folder that cannot be mounted: the one
#           beside the program serves the menu, and /diagnose names both.
# unicode:  a disc folder outside the code page: no box at start, the menu
#           changes to it and /diagnose names it without question marks.
# keys:     Tab, Shift+Tab and the arrows move the hover look over the enabled
#           buttons; Enter on "Exit" ends the program.
# tooltip:  a tool tip below the resting pointer, gone when it leaves.
# minimised: CPU time of the menu over 10 s shown and 10 s minimised.
# preview:  /preview on the disc with its text beside it: a saved caption shows;
#           an unclosed block gives a red strip naming the line while the last
#           good menu stays, and the mended text takes the strip away; a new
#           button picture shows; the strip names why "Play" is disabled; a
#           larger background resizes the window; a click shows its launch and
#           starts nothing.
set -u
what=${1:?usage: autorun_gui.sh CASE ARCH EXE SDFTOOL HELPER}
arch=${2:?}
exe=$(readlink -f "${3:?}")
sdftool=$(readlink -f "${4:?}")
helper=$(readlink -f "${5:?}")
top=$(cd "$(dirname "$0")/../../.." && pwd)
wine_run=$top/cmake/wine-run

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

game_key='HKLM\SOFTWARE\Kestrelsoft\SampleGame'
suppress_key='HKLM\SOFTWARE\Kestrelsoft\SupressAutorun'
work=$(mktemp -d)
disc=$work/disc
app_pid=""
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
  # The sample programs that the menu started and that still show their box.
  local id
  for id in $(xdotool search --name '^Sample (Setup|Game)$' 2>/dev/null); do
    kill "$(xdotool getwindowpid "$id" 2>/dev/null)" 2>/dev/null
  done
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
step() { echo "-- $*"; }

reg() { "$wine_run" "$arch" reg "$@" >/dev/null 2>&1; }

# poll SECONDS COMMAND...: runs COMMAND every half second until it succeeds.
poll() {
  local limit=$(( $1 * 2 )); shift
  local n
  for (( n = 0; n < limit; n++ )); do
    "$@" && return 0
    sleep 0.5
  done
  return 1
}

# The visible window titled exactly NAME (xdotool's search ignores case: the
# menu "Autorun" and its boxes "AUTORUN" differ only in case).
visible_window() {
  local id
  for id in $(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null); do
    [ "$(xdotool getwindowname "$id" 2>/dev/null)" = "$1" ] && { echo "$id"; return; }
  done
}
has_visible_window() { [ -n "$(visible_window "$1")" ]; }
no_visible_window() { [ -z "$(visible_window "$1")" ]; }

# Starts the menu from the disc's folder in the background; its debug output goes to out.txt.
start_menu() {
  (cd "$disc" && WINEDEBUG=-all,+debugstr exec "$wine_run" "$arch" ./autorun.exe "$@") >"$work/out.txt" 2>&1 &
  app_pid=$!
}

wait_menu() {
  poll 60 has_visible_window Autorun || fail "no visible window \"Autorun\""
  win=$(visible_window Autorun)
  read -r wx wy < <(xdotool getwindowgeometry "$win" | sed -n 's/.*Position: \([0-9]*\),\([0-9]*\).*/\1 \2/p')
  # Once a frame is drawn the background's top-left pixel is on the screen.
  poll 30 screen_matches 4 4 background 4 4 || fail "the background is not drawn"
}

expect_exit_zero() {
  local waited=0
  while kill -0 "$app_pid" 2>/dev/null; do
    sleep 0.5
    waited=$((waited + 1))
    [ $waited -gt 120 ] && fail "the program did not end"
  done
  wait "$app_pid"
  local rc=$?
  app_pid=""
  [ $rc -eq 0 ] || fail "exit code $rc, expected 0"
}

press_key() {
  xdotool windowfocus --sync "$1" 2>/dev/null
  xdotool key "$2"
}

# A key sent to a window that has just appeared may be lost: Return goes to
# the box titled NAME until the box is gone.
box_closed() {
  local id
  id=$(visible_window "$1")
  [ -z "$id" ] && return 0
  press_key "$id" Return
  sleep 0.5
  no_visible_window "$1"
}
answer_box() {
  poll 30 box_closed "$1" || fail "the box \"$1\" stays"
}

# Escape goes to the menu until the program has ended; its exit code must be 0.
menu_ended() {
  kill -0 "$app_pid" 2>/dev/null || return 0
  press_key "$win" Escape
  sleep 0.5
  ! kill -0 "$app_pid" 2>/dev/null
}
quit_menu() {
  poll 30 menu_ended || fail "Escape does not end the program"
  expect_exit_zero
}

# "r g b" of one pixel of a picture file.
pixel() {  # file x y
  convert "$1" -crop "1x1+$2+$3" +repage -depth 8 txt:- |
    sed -n 's/^0,0: (\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3/p'
}

# The pictures of the disc, read from the archive as the menu reads them.
extract_pictures() {
  local name
  for name in background primary_normal primary_hover primary_disabled secondary_normal secondary_hover; do
    "$sdftool" cat "$disc/autorun.sdf" "pictures/$name.tga" >"$work/$name.tga" ||
      fail "no pictures/$name.tga in autorun.sdf"
    convert "$work/$name.tga" -auto-orient "$work/$name.png"
  done
}

# screen_matches WX WY PICTURE PX PY: the window pixel at WX,WY equals the picture's at PX,PY.
screen_matches() {
  import -window root "$work/shot.png" 2>/dev/null || return 1
  local got want
  got=$(pixel "$work/shot.png" $((wx + $1)) $((wy + $2)))
  want=$(pixel "$work/$3.png" "$4" "$5")
  [ "$got" = "$want" ] && return 0
  last_mismatch="window $1,$2 is ($got), $3 $4,$5 is ($want)"
  return 1
}

# screen_is WX WY "R G B": the window pixel at WX,WY has this colour.
screen_is() {
  import -window root "$work/shot.png" 2>/dev/null || return 1
  local got
  got=$(pixel "$work/shot.png" $((wx + $1)) $((wy + $2)))
  [ "$got" = "$3" ] && return 0
  last_mismatch="window $1,$2 is ($got), not ($3)"
  return 1
}

# CPU time (user and system, in clock ticks) of the menu's process so far.
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$app_pid/stat"; }

# Buttons of the sample disc: left edge 48, tops 176, 228, 280, 332, 232 by 42.
button_y() { case $1 in install) echo 176 ;; play) echo 228 ;; readme) echo 280 ;; exit) echo 332 ;; esac; }

# expect_look BUTTON PICTURE: a pixel left of the caption and the keyed corner.
expect_look() {
  local y
  y=$(button_y "$1")
  poll 10 screen_matches 60 $((y + 21)) "$2" 12 21 || fail "$1 does not show $2: $last_mismatch"
  # The corner pixel is keyed out: the background shows through.
  screen_matches 48 "$y" background 48 "$y" || fail "corner of $1: $last_mismatch"
}

# click_button BUTTON HOVER_PICTURE: once the button shows its hover look, a click.
click_button() {
  local y
  y=$(button_y "$1")
  xdotool mousemove $((wx + 160)) $((wy + y + 21))
  poll 20 screen_matches 60 $((y + 21)) "$2" 12 21 || fail "$1 does not show $2: $last_mismatch"
  xdotool click 1
}

mkdir -p "$disc"
cp -r "$(dirname "$exe")/autorun.exe" "$(dirname "$exe")/autorun.sdf" "$(dirname "$exe")/readme.txt" \
  "$(dirname "$exe")/setup" "$(dirname "$exe")/game" "$disc/" || fail "the sample disc is not built"
extract_pictures
last_mismatch=""

case "$what" in
  screen)
    reg delete "$game_key" /f
    start_menu
    wait_menu
    for point in "4 4" "600 30" "500 200" "20 250" "300 390"; do
      set -- $point
      screen_matches "$1" "$2" background "$1" "$2" || fail "background: $last_mismatch"
    done
    mkdir -p "$top/build/screenshots"
    cp "$work/shot.png" "$top/build/screenshots/autorun-gui-test.png"
    expect_look install primary_normal
    expect_look play primary_disabled
    expect_look readme secondary_normal
    expect_look exit secondary_normal
    # Hover over "Read me"; a click beside the buttons does nothing.
    xdotool mousemove $((wx + 100)) $((wy + 280 + 21))
    expect_look readme secondary_hover
    xdotool mousemove $((wx + 500)) $((wy + 100)) click 1
    expect_look readme secondary_normal
    kill -0 "$app_pid" 2>/dev/null || fail "a click beside the buttons ended the program"
    # Other keys do nothing; Escape quits.
    press_key "$win" space
    sleep 0.5
    kill -0 "$app_pid" 2>/dev/null || fail "a key other than Escape ended the program"
    quit_menu
    ;;

  install)
    reg delete "$game_key" /f
    start_menu
    wait_menu
    expect_look install primary_normal
    step "Install"
    click_button install primary_hover
    # LAUNCH_EXECUTABLE_AND_DIE: the menu ends once setup has started.
    expect_exit_zero
    poll 60 test -s "$disc/setup/ran.txt" || fail "setup did not run"
    grep -q '^setup ran in .*disc\\setup.$' "$disc/setup/ran.txt" ||
      fail "setup ran in the wrong folder: $(cat "$disc/setup/ran.txt")"
    poll 60 has_visible_window "Sample Setup" || fail "no box of setup"
    answer_box "Sample Setup"

    step "the second start"
    start_menu
    wait_menu
    expect_look play primary_normal
    expect_look install primary_disabled
    # "Play" starts the program that the registry names; the menu stays.
    step "Play"
    click_button play primary_hover
    poll 60 test -s "$disc/game/ran.txt" || fail "the game did not run"
    grep -q '^game ran in .*disc\\game.$' "$disc/game/ran.txt" ||
      fail "the game ran in the wrong folder: $(cat "$disc/game/ran.txt")"
    poll 60 has_visible_window "Sample Game" || fail "no box of the game"
    answer_box "Sample Game"
    kill -0 "$app_pid" 2>/dev/null || fail "the menu ended after \"Play\""
    quit_menu
    reg delete "$game_key" /f
    ;;

  second)
    start_menu
    wait_menu
    first_pid=$app_pid
    (cd "$disc" && timeout 60 "$wine_run" "$arch" ./autorun.exe) >/dev/null 2>&1
    rc=$?
    [ $rc -eq 0 ] || fail "the second copy ended with $rc"
    count=0
    for id in $(xdotool search --onlyvisible --name '^Autorun$' 2>/dev/null); do
      [ "$(xdotool getwindowname "$id")" = Autorun ] && count=$((count + 1))
    done
    [ "$count" -eq 1 ] || fail "$count visible menu windows"
    app_pid=$first_pid
    quit_menu
    ;;

  suppress)
    reg add "$suppress_key" /f
    start_menu
    while kill -0 "$app_pid" 2>/dev/null; do
      has_visible_window Autorun && { reg delete "$suppress_key" /f; fail "the window was shown"; }
      sleep 0.2
    done
    expect_exit_zero
    reg delete "$suppress_key" /f
    ;;

  disc)
    start_menu
    wait_menu
    mv "$disc/autorun.sdf" "$work/autorun.sdf.out"
    poll 30 has_visible_window AUTORUN || fail "no insert-disc box"
    no_visible_window Autorun || fail "the menu window is still shown"
    mv "$work/autorun.sdf.out" "$disc/autorun.sdf"
    answer_box AUTORUN
    poll 30 has_visible_window Autorun || fail "the menu window did not come back"
    poll 30 no_visible_window AUTORUN || fail "the box is shown again"
    poll 30 screen_matches 4 4 background 4 4 || fail "the menu is not drawn again: $last_mismatch"
    quit_menu
    ;;

  diagnose)
    reg delete "$game_key" /f
    start_menu /diagnose
    poll 60 has_visible_window AUTORUN || fail "no report box"
    answer_box AUTORUN
    wait_menu
    quit_menu
    # The debug channel shows quotes and backslashes escaped.
    expected='button 1 \"Play\" is disabled: RegKeyExistRequirement: key HKEY_LOCAL_MACHINE\\SOFTWARE\\Kestrelsoft\\SampleGame does not exist'
    grep -F "OutputDebugStringA" "$work/out.txt" | grep -qF -- "$expected" ||
      { grep -F OutputDebugStringA "$work/out.txt" >&2; fail "the report does not name the requirement"; }
    # The full report is in the user's temporary folder of the prefix.
    case "$arch" in win32) prefix=${WINEPREFIX:-$top/build/wine} ;; *) prefix=${WINEPREFIX:-$top/build/wine64} ;; esac
    report=$(find "$prefix/drive_c/users" -name autorun-diagnose.txt 2>/dev/null | head -1)
    [ -n "$report" ] || fail "no autorun-diagnose.txt in the temporary folder"
    grep -q 'is disabled: RegKeyExistRequirement' "$report" || fail "the report file lacks the diagnosis: $(cat "$report")"
    rm -f "$report"

    reg add "$suppress_key" /f
    start_menu /DIAGNOSE
    poll 60 has_visible_window AUTORUN || { reg delete "$suppress_key" /f; fail "no report box"; }
    answer_box AUTORUN
    expect_exit_zero
    reg delete "$suppress_key" /f
    grep -F "OutputDebugStringA" "$work/out.txt" | grep -qF 'SupressAutorun exists: the menu is suppressed' ||
      { grep -F OutputDebugStringA "$work/out.txt" >&2; fail "the report does not name the suppression key"; }
    ;;

  readme)
    reg delete "$game_key" /f
    # The target becomes a program at the disc's root that records its working
    # directory: a definition on disk wins over the archive's.
    cp "$helper" "$disc/probe.exe"
    "$sdftool" cat "$disc/autorun.sdf" autorun.juice |
      sed 's/^\([[:space:]]*myTargetFile\) readme\.txt/\1 probe.exe/' >"$disc/autorun.juice"
    grep -q 'myTargetFile probe.exe' "$disc/autorun.juice" || fail "the readme target is not in autorun.juice"
    start_menu
    wait_menu
    click_button readme secondary_hover
    poll 60 test -s "$disc/probe.txt" || fail "the target of \"Read me\" did not run"
    grep -q '^probe ran in .*\\disc.$' "$disc/probe.txt" ||
      fail "the target ran in the wrong folder: $(cat "$disc/probe.txt")"
    kill -0 "$app_pid" 2>/dev/null || fail "the menu ended after \"Read me\""
    quit_menu
    ;;

  elsewhere)
    mkdir -p "$work/other"
    # The pointer away from the buttons: one under it shows its hover look.
    xdotool mousemove 0 0
    (cd "$work/other" && exec "$wine_run" "$arch" "$disc/autorun.exe") >"$work/out.txt" 2>&1 &
    app_pid=$!
    wait_menu
    expect_look readme secondary_normal
    quit_menu

    # Neither here nor beside the program: the diagnosis names both folders.
    mkdir -p "$work/lonely"
    cp "$exe" "$work/lonely/autorun.exe"
    (cd "$work/other" && WINEDEBUG=-all,+debugstr exec "$wine_run" "$arch" "$work/lonely/autorun.exe" /diagnose) \
      >"$work/out.txt" 2>&1 &
    app_pid=$!
    poll 60 has_visible_window AUTORUN || fail "no report box"
    answer_box AUTORUN
    expect_exit_zero
    for line in "'autorun.sdf' in the current folder .*other is missing" \
                "'autorun.sdf' beside the program in .*lonely is missing" \
                "the menu runs in the current folder .*other"; do
      grep -F "OutputDebugStringA" "$work/out.txt" | grep -q "$line" ||
        { grep -F OutputDebugStringA "$work/out.txt" >&2; fail "the report does not say: $line"; }
    done

    # Another disc's damaged archive in the current folder: the one beside the
    # program serves the menu, and the report names both and the folder used.
    printf 'no archive\r\n' >"$work/other/autorun.sdf"
    (cd "$work/other" && WINEDEBUG=-all,+debugstr exec "$wine_run" "$arch" "$disc/autorun.exe" /diagnose) \
      >"$work/out.txt" 2>&1 &
    app_pid=$!
    poll 60 has_visible_window AUTORUN || fail "no report box"
    answer_box AUTORUN
    wait_menu
    expect_look readme secondary_normal
    quit_menu
    for line in "'autorun.sdf' in the current folder .*other cannot be mounted" \
                "'autorun.sdf' beside the program in .*disc holds a menu" \
                "the menu runs in the folder of the program .*disc"; do
      grep -F "OutputDebugStringA" "$work/out.txt" | grep -q "$line" ||
        { grep -F OutputDebugStringA "$work/out.txt" >&2; fail "the report does not say: $line"; }
    done
    ;;

  unicode)
    # A disc folder that the code page cannot spell, the menu started from
    # another folder: no box before the menu, which finds its own folder.
    udisc="$work/$(printf '\xd0\xb4\xd0\xb8\xd1\x81\xd0\xba')"
    mv "$disc" "$udisc"
    mkdir -p "$work/other"
    (cd "$work/other" && WINEDEBUG=-all,+debugstr exec "$wine_run" "$arch" "$udisc/autorun.exe" /diagnose) \
      >"$work/out.txt" 2>&1 &
    app_pid=$!
    poll 60 has_visible_window AUTORUN || fail "no report box"
    has_visible_window Warning && fail "a box before the menu: $(xdotool search --name Warning getwindowname 2>/dev/null)"
    answer_box AUTORUN
    wait_menu
    expect_look readme secondary_normal
    quit_menu
    used=$(grep -F "OutputDebugStringA" "$work/out.txt" | grep "the menu runs in the folder of the program")
    [ -n "$used" ] || { grep -F OutputDebugStringA "$work/out.txt" >&2; fail "the menu did not change to its folder"; }
    case "$used" in *'????'*) fail "the folder is named with question marks: $used" ;; esac
    ;;

  keys)
    reg delete "$game_key" /f
    start_menu
    wait_menu
    xdotool mousemove 0 0
    # The first key to a new window may be lost: Tab until "Install" has the focus.
    first_tab() { press_key "$win" Tab; sleep 0.5; screen_matches 60 197 primary_hover 12 21; }
    poll 20 first_tab || fail "Tab does not focus \"Install\": $last_mismatch"
    expect_look readme secondary_normal
    # "Play" is disabled: the focus goes past it.
    press_key "$win" Tab
    expect_look readme secondary_hover
    expect_look install primary_normal
    expect_look play primary_disabled
    press_key "$win" shift+Tab
    expect_look install primary_hover
    press_key "$win" Up
    expect_look exit secondary_hover
    press_key "$win" Down
    expect_look install primary_hover
    press_key "$win" Left
    expect_look exit secondary_hover
    # Enter clicks "Exit": the program ends.
    press_key "$win" Return
    expect_exit_zero
    ;;

  tooltip)
    start_menu
    wait_menu
    # The pointer rests on "Read me" at 100,301: the tip's box starts 22 pixels
    # below it, framed in the caption's white and filled dark.
    xdotool mousemove $((wx + 100)) $((wy + 301))
    poll 10 screen_is 103 325 "24 28 36" || fail "no tool tip: $last_mismatch"
    screen_is 100 323 "255 255 255" || fail "no frame of the tool tip: $last_mismatch"
    mkdir -p "$top/build/screenshots"
    cp "$work/shot.png" "$top/build/screenshots/autorun-tooltip.png"
    xdotool mousemove $((wx + 500)) $((wy + 100))
    poll 10 screen_matches 103 325 background 103 325 || fail "the tool tip stays: $last_mismatch"
    quit_menu
    ;;

  minimised)
    start_menu
    wait_menu
    [ "$(cat "/proc/$app_pid/comm" 2>/dev/null)" = autorun.exe ] ||
      fail "process $app_pid is not the menu: $(cat "/proc/$app_pid/comm" 2>/dev/null)"
    ticks=$(getconf CLK_TCK)
    # Two measuring spans of 10 s each (not waits for a condition).
    before=$(cpu_ticks); sleep 10; shown=$(( $(cpu_ticks) - before ))
    "$wine_run" "$arch" "$helper" minimise >/dev/null 2>&1 || fail "the menu window is not minimised (helper: $?)"
    before=$(cpu_ticks); sleep 10; minimised=$(( $(cpu_ticks) - before ))
    figures=$(awk -v s="$shown" -v m="$minimised" -v t="$ticks" \
      'BEGIN { printf "CPU time over 10 s: shown %.2f s, minimised %.2f s", s / t, m / t }')
    echo "$figures"
    mkdir -p "$top/build/screenshots"
    echo "$figures" >"$top/build/screenshots/autorun-cpu.txt"
    # A loop that never waits would use the whole 10 s; shown, it paints only changes.
    [ "$minimised" -lt "$ticks" ] || fail "minimised, the menu uses a processor: $figures"
    [ "$shown" -lt $((ticks / 2)) ] || fail "shown and left alone, the menu keeps busy: $figures"
    "$wine_run" "$arch" "$helper" restore >/dev/null 2>&1 || fail "the menu window is not restored (helper: $?)"
    poll 30 screen_matches 4 4 background 4 4 || fail "the menu is not drawn again: $last_mismatch"
    quit_menu
    ;;

  preview)
    cp "$top/samples/disc/menu/autorun.juice" "$top/samples/disc/menu/autorun.fruit" \
      "$top/samples/disc/menu/autorun.lang" "$disc/" || fail "no sample menu text"
    reg delete "$game_key" /f
    start_menu /preview
    poll 60 grep -q "autorun preview: client" "$work/out.txt" || fail "the preview places no window"
    win=$(xdotool search --onlyvisible --name '^autorun preview - ' 2>/dev/null | head -n 1)
    [ -n "$win" ] || fail "no visible window titled \"autorun preview - <folder>\""
    # The client area's origin and the menu's height, from the last placement.
    read -r wx wy _ wh < <(grep "autorun preview: client" "$work/out.txt" | tail -n 1 | sed 's/.*client: \([0-9 ]*\).*/\1/')
    poll 30 screen_matches 4 4 background 4 4 || fail "the background is not drawn: $last_mismatch"

    step "a saved caption"
    caption_shot() {
      import -window root "$work/shot.png" 2>/dev/null || return 1
      convert "$work/shot.png" -crop "232x31+$((wx + 48))+$((wy + 343))" +repage -depth 8 rgb:- | md5sum
    }
    caption_is_not() { [ "$(caption_shot)" != "$1" ]; }
    rebuilds() { grep -c "autorun preview: rebuilt" "$work/out.txt"; }
    rebuilt_since() { [ "$(rebuilds)" -gt "$1" ]; }
    # save_and_time COMMAND...: runs the save, then waits for the rebuild; prints milliseconds.
    save_and_time() {
      local count start n
      count=$(rebuilds); start=$(date +%s%N)
      "$@"
      for (( n = 0; n < 200; n++ )); do
        rebuilt_since "$count" && { echo $(( ($(date +%s%N) - start) / 1000000 )); return 0; }
        sleep 0.05
      done
      return 1
    }
    cp "$disc/autorun.juice" "$work/good.juice"
    old_caption=$(caption_shot)
    ms=$(save_and_time sed -i 's/myCaption "\?Exit"\?/myCaption "Leave now"/' "$disc/autorun.juice") ||
      fail "no rebuild after the caption's save"
    echo "rebuilt ${ms} ms after the save"
    # Half a second is the aim; a loaded machine gets twice that.
    [ "$ms" -lt 1000 ] || fail "the rebuild took $ms ms"
    poll 10 caption_is_not "$old_caption" || fail "the new caption does not show"
    new_caption=$(caption_shot)

    step "an unclosed block"
    strip_is() { screen_is 4 $((wh + 10)) "$1"; }
    # The closing brace of the top-level block goes.
    last_brace=$(grep -n '^}' "$disc/autorun.juice" | tail -n 1 | cut -d: -f1)
    [ -n "$last_brace" ] || fail "no top-level block in autorun.juice"
    sed "${last_brace}d" "$disc/autorun.juice" >"$work/broken.juice"
    mv "$work/broken.juice" "$disc/autorun.juice"
    poll 10 grep -Eq "autorun preview: error: autorun.juice:[0-9]+: " "$work/out.txt" ||
      fail "no error with its line: $(grep 'autorun preview' "$work/out.txt" | tail -n 3)"
    poll 10 strip_is "200 0 0" || fail "the strip is not red: $last_mismatch"
    [ "$(caption_shot)" = "$new_caption" ] || fail "the last good menu does not stay"
    sed 's/myCaption "\?Exit"\?/myCaption "Leave now"/' "$work/good.juice" >"$disc/autorun.juice"
    poll 10 strip_is "48 48 48" || fail "the mended text leaves the strip red: $last_mismatch"
    [ "$(caption_shot)" = "$new_caption" ] || fail "the mended menu lost its caption"

    step "a new button picture"
    mkdir -p "$disc/pictures"
    convert "$work/primary_normal.png" -negate "$work/negated.png"
    convert "$work/negated.png" -type TrueColor -compress none "$disc/pictures/primary_normal.tga"
    # The colours as the menu reads them from the file.
    convert "$disc/pictures/primary_normal.tga" -auto-orient "$work/negated.png"
    poll 10 screen_matches 60 $(( $(button_y install) + 21 )) negated 12 21 ||
      fail "the new picture does not show: $last_mismatch; $(grep 'autorun preview' "$work/out.txt" | tail -n 2)"

    step "the disabled button under the pointer"
    xdotool mousemove $((wx + 160)) $((wy + $(button_y play) + 21))
    poll 10 grep -Fq 'autorun preview: status: \"Play\" is disabled: ' "$work/out.txt" ||
      fail "no reason for the disabled Play: $(grep 'autorun preview' "$work/out.txt" | tail -n 2)"

    step "a larger background"
    convert "$work/background.png" -resize '700x440!' -type TrueColor -compress none "$disc/pictures/background.tga"
    poll 10 grep -Eq "autorun preview: client: [0-9]+ [0-9]+ 700 440" "$work/out.txt" ||
      fail "the window does not take the new size: $(grep 'autorun preview' "$work/out.txt" | tail -n 2)"
    read -r wx wy _ wh < <(grep "autorun preview: client" "$work/out.txt" | tail -n 1 | sed 's/.*client: \([0-9 ]*\).*/\1/')
    poll 10 strip_is "48 48 48" || fail "no strip below the larger menu: $last_mismatch"

    step "a click shows its launch"
    click_button install primary_hover
    # The debug output escapes the quotes.
    poll 10 grep -Fq 'autorun preview: status: LAUNCH_EXECUTABLE_AND_DIE: open \"setup/setup.exe\" in \"setup\"' "$work/out.txt" ||
      fail "the launch is not shown: $(grep 'autorun preview' "$work/out.txt" | tail -n 3)"
    kill -0 "$app_pid" 2>/dev/null || fail "the click ended the preview"
    no_visible_window "Sample Setup" || fail "the click started the installer"
    reg query "$game_key" && fail "the installer ran"
    quit_menu
    ;;

  *)
    fail "unknown test $what"
    ;;
esac
echo "PASS: $what"
