# The common opening of the end-to-end test scripts. Source it with the script's
# arguments once "top" (the source root) is set:   . "$top/cmake/gui-test.sh" "$@"
# It re-runs the script under a private Xvfb when there is no display, sources
# the bounded waits (gui-wait.sh), sets wine_run, makes the work folder $work
# (at exit the program $app_pid is ended, if still running, and the folder
# removed), defines fail MESSAGE and waits for the display. Hooks a script may
# define before sourcing: kc_before_cleanup (run at exit before the folder goes)
# and kc_fail_details (what fail prints before its message, to standard error).
. "$top/cmake/gui-wait.sh"
wine_run=$top/cmake/wine-run

# A display of our own when there is none.
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

work=$(mktemp -d)
app_pid=""
kc_gui_cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
  declare -F kc_before_cleanup >/dev/null && kc_before_cleanup
  rm -rf "$work"
}
trap kc_gui_cleanup EXIT

fail() {
  declare -F kc_fail_details >/dev/null && kc_fail_details >&2
  echo "FAIL: $*" >&2
  exit 1
}
kc_wait_display 60 || fail "no X display at $DISPLAY"
