#!/usr/bin/env bash
# End-to-end test of the crash handler under Wine:
#   crash_gui.sh win32|win64 PATH/kc_crashtest.exe PATH/kc_crashtest.cpp PATH/kc_windowtext.exe
# The program writes to address 0 a few calls deep. The "BOOOOOOM!" box appears;
# its text names the access violation and, among the first frames, the faulting
# line of kc_crashtest.cpp (marked in the source); the clipboard holds the same
# report. Answered with Return, the program ends. kc_windowtext reads the box.
set -u
arch=${1:?usage: crash_gui.sh ARCH EXE SOURCE}
exe=$(readlink -f "${2:?}")
source=${3:?}
windowtext=$(readlink -f "${4:?}")
top=$(cd "$(dirname "$0")/../../../.." && pwd)
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

fail() { echo "FAIL: $*" >&2; exit 1; }
kc_wait_display 60 || fail "no X display at $DISPLAY"

line=$(grep -n -- "// <- faults" "$source" | head -1 | cut -d: -f1)
[ -n "$line" ] || fail "no faulting line marked in $source"

cd "$work"
"$wine_run" "$arch" "$exe" >"$work/out.txt" 2>&1 &
app_pid=$!
box=$(kc_wait_window 'BOOOOOOM!' 120 "$app_pid")
[ -n "$box" ] || fail "no message box \"BOOOOOOM!\""

# The clipboard, while the program still owns it (bounded poll).
for _ in $(seq 1 100); do
  xclip -o -selection clipboard >"$work/clip.txt" 2>/dev/null && [ -s "$work/clip.txt" ] && break
  sleep 0.1
done
tr -d '\r' <"$work/clip.txt" >"$work/report.txt"
echo "--- clipboard:"; cat "$work/report.txt"; echo "---"

head -1 "$work/report.txt" | grep -Eq '^Access violation writing to 0x00000000 at 0x[0-9a-f]{8,}$' ||
  fail "first line of the report"
[ -z "$(sed -n 2p "$work/report.txt")" ] || fail "no blank line after the exception"
sed -n '3,5p' "$work/report.txt" | grep -q "kc_crashtest\.cpp:$line+0x[0-9a-f]*$" ||
  fail "kc_crashtest.cpp line $line is not among the first frames"
frames=$(sed -n '3,$p' "$work/report.txt" | grep -c .)
[ "$frames" -ge 3 ] && [ "$frames" -le 32 ] || fail "$frames frames"

# The box shows the same report and the clipboard note.
"$wine_run" "$arch" "$windowtext" "BOOOOOOM!" >"$work/box.txt" 2>/dev/null || fail "cannot read the box"
tr -d '\r' <"$work/box.txt" >"$work/box-text.txt"
{ cat "$work/report.txt"; echo; echo "(text copied to clipboard)"; } >"$work/expected-box.txt"
grep -qxF "(text copied to clipboard)" "$work/box-text.txt" || { cat "$work/box-text.txt" >&2; fail "text of the box"; }
sed -n "/^Access violation/,/^(text copied to clipboard)\$/p" "$work/box-text.txt" >"$work/box-report.txt"
diff "$work/expected-box.txt" "$work/box-report.txt" >&2 || fail "the box and the clipboard differ"

# Answered, the box lets the program end.
kc_press_until "$box" Return 60 eval "! kill -0 $app_pid 2>/dev/null" || fail "the program did not end"
wait "$app_pid"
app_pid=""

echo "PASS: crash report"
