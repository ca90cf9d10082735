#!/usr/bin/env bash
# End-to-end tests of the crash handler under Wine:
#   crash_gui.sh null|divide|overflow|hang win32|win64 PATH/kc_crashtest.exe PATH/kc_crashtest.cpp PATH/kc_windowtext.exe
# null, divide, overflow: the program faults a few calls deep (a write to address
#   0, an integer division by zero, unbounded recursion). The "BOOOOOOM!" box
#   appears; its text names the exception and, among the first frames, a line of
#   kc_crashtest.cpp marked "<- faults: FAULT"; the clipboard holds the same
#   report. Answered with Return, the program ends. kc_windowtext reads the box.
# hang: the main thread blocks while a deadlock watcher watches it; Scroll Lock
#   makes the watcher append the blocked thread's stack to deadlock_thread.txt,
#   with the line of kc_crashtest.cpp marked "<- blocks".
set -u
what=${1:?usage: crash_gui.sh null|divide|overflow|hang ARCH EXE SOURCE WINDOWTEXT}
arch=${2:?}
exe=$(readlink -f "${3:?}")
source_file=${4:?}
windowtext=$(readlink -f "${5:?}")
top=$(cd "$(dirname "$0")/../../../.." && pwd)
. "$top/cmake/gui-test.sh" "$@"

# The marked lines of the source, as an alternation for grep -E.
marked() {
  grep -n -- "$1" "$source_file" | cut -d: -f1 | paste -sd'|'
}

case "$what" in
  null)     first='Access violation writing to 0x00000000' ;;
  divide)   first='Integer divide by zero' ;;
  overflow) first='Stack overflow' ;;
  hang)     first='' ;;
  *) fail "unknown fault $what" ;;
esac

cd "$work"
"$wine_run" "$arch" "$exe" "$what" >"$work/out.txt" 2>&1 &
app_pid=$!

if [ "$what" = hang ]; then
  lines=$(marked "// <- blocks")
  [ -n "$lines" ] || fail "no blocking line marked in $source_file"
  window=$(kc_wait_window 'kc_crashtest hang' 120 "$app_pid")
  [ -n "$window" ] || fail "no window \"kc_crashtest hang\""
  stack_written() { [ -s "$work/deadlock_thread.txt" ] && tr -d '\r' <"$work/deadlock_thread.txt" | grep -q '^$'; }
  kc_press_until "$window" Scroll_Lock 60 stack_written || fail "Scroll Lock wrote no stack"
  tr -d '\r' <"$work/deadlock_thread.txt" | sed '/^$/q' >"$work/stack.txt"
  echo "--- deadlock_thread.txt:"; cat "$work/stack.txt"; echo "---"
  grep -Eq "kc_crashtest\.cpp:($lines)\+0x[0-9a-f]+$" "$work/stack.txt" ||
    fail "the blocked line of kc_crashtest.cpp ($lines) is not in the stack"
  frames=$(grep -c . "$work/stack.txt")
  [ "$frames" -ge 2 ] && [ "$frames" -le 32 ] || fail "$frames frames"
  kill -0 "$app_pid" 2>/dev/null || fail "the program ended"
  echo "PASS: deadlock report"
  exit 0
fi

lines=$(marked "// <- faults: $what\$")
[ -n "$lines" ] || fail "no faulting line marked for $what in $source_file"

box=$(kc_wait_window 'BOOOOOOM!' 120 "$app_pid")
[ -n "$box" ] || fail "no message box \"BOOOOOOM!\""

# The clipboard, while the program still owns it (bounded poll).
for _ in $(seq 1 100); do
  xclip -o -selection clipboard >"$work/clip.txt" 2>/dev/null && [ -s "$work/clip.txt" ] && break
  sleep 0.1
done
tr -d '\r' <"$work/clip.txt" >"$work/report.txt"
echo "--- clipboard:"; cat "$work/report.txt"; echo "---"

head -1 "$work/report.txt" | grep -Eq "^$first at 0x[0-9a-f]{8,}\$" || fail "first line of the report"
[ -z "$(sed -n 2p "$work/report.txt")" ] || fail "no blank line after the exception"
sed -n '3,5p' "$work/report.txt" | grep -Eq "kc_crashtest\.cpp:($lines)\+0x[0-9a-f]*$" ||
  fail "no line of kc_crashtest.cpp marked for $what ($lines) among the first frames"
frames=$(sed -n '3,$p' "$work/report.txt" | grep -c .)
[ "$frames" -ge 3 ] && [ "$frames" -le 32 ] || fail "$frames frames"

# The box shows the same report and the clipboard note.
"$wine_run" "$arch" "$windowtext" "BOOOOOOM!" >"$work/box.txt" 2>/dev/null || fail "cannot read the box"
tr -d '\r' <"$work/box.txt" >"$work/box-text.txt"
{ cat "$work/report.txt"; echo; echo "(text copied to clipboard)"; } >"$work/expected-box.txt"
grep -qxF "(text copied to clipboard)" "$work/box-text.txt" || { cat "$work/box-text.txt" >&2; fail "text of the box"; }
sed -n "/^$first/,/^(text copied to clipboard)\$/p" "$work/box-text.txt" >"$work/box-report.txt"
diff "$work/expected-box.txt" "$work/box-report.txt" >&2 || fail "the box and the clipboard differ"

# Answered, the box lets the program end.
kc_press_until "$box" Return 60 eval "! kill -0 $app_pid 2>/dev/null" || fail "the program did not end"
wait "$app_pid"
app_pid=""

echo "PASS: crash report ($what)"
