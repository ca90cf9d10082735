# Bounded waits for the end-to-end tests under Wine; source it from a test script.
# Each wait polls until its condition holds or its time is up (then it fails).

# kc_poll SECONDS COMMAND [ARGS...]: runs COMMAND every 0.2 s until it succeeds.
kc_poll() {
  local deadline=$(( $(date +%s) + $1 ))
  shift
  until "$@"; do
    [ "$(date +%s)" -lt "$deadline" ] || return 1
    sleep 0.2
  done
}

# kc_wait_display [SECONDS]: the X server of $DISPLAY accepts clients.
kc_wait_display() {
  kc_poll "${1:-30}" eval 'xdotool getdisplaygeometry >/dev/null 2>&1'
}

# kc_wait_window TITLE [SECONDS [PID]]: prints the id of the first mapped window
# with exactly this title. Each search is one short run of xdotool, so neither a
# display that is not up yet nor a window that vanishes mid-search ends the wait.
# With PID, the wait fails at once when that process has ended without the window.
kc_wait_window() {
  local title=$1 seconds=${2:-120} pid=${3:-} found=""
  kc_wait_display "$seconds" || return 1
  kc_poll "$seconds" eval \
    'found=$(xdotool search --onlyvisible --name "^$title\$" 2>/dev/null | head -1)
     [ -n "$found" ] || { [ -n "$pid" ] && ! kill -0 "$pid" 2>/dev/null && found=gone; }
     [ -n "$found" ]' ||
    return 1
  [ "$found" != gone ] || return 1
  echo "$found"
}

# kc_wait_exit PID [SECONDS]: the background process PID has ended; its exit code
# is the result (124 when it is still running at the deadline).
kc_wait_exit() {
  kc_poll "${2:-60}" eval "! kill -0 $1 2>/dev/null" || return 124
  wait "$1"
}

# kc_press_until WINDOW KEY SECONDS COMMAND [ARGS...]: focuses WINDOW and presses
# KEY until COMMAND succeeds (a key sent before the window has the focus is lost).
kc_press_until() {
  local window=$1 key=$2 seconds=$3
  shift 3
  local deadline=$(( $(date +%s) + seconds ))
  until "$@"; do
    [ "$(date +%s)" -lt "$deadline" ] || return 1
    timeout 5 xdotool windowfocus --sync "$window" 2>/dev/null
    xdotool key "$key" 2>/dev/null
    kc_poll 3 "$@" && return 0
  done
}

# kc_window_gone TITLE: no shown window has exactly this title.
kc_window_gone() {
  ! xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1
}
