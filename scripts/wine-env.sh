# Sourced by scripts/run and scripts/test: which Wine runs the Windows build
# here, and a private X display.

# kc_pick_wine TOP: 32-bit Wine where this kernel runs 32-bit code, else the
# 64-bit build under 64-bit Wine. KC_WINE_ARCH=win64 (set by the --win64 switch
# of scripts/test and scripts/run) takes the 64-bit path on any machine. Sets
# wine_arch (win32|win64), wine_build (build/win|build/win64), wine_loader and
# wine_prefix.
kc_pick_wine() {
  if [ "${KC_WINE_ARCH:-}" != win64 ] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
    wine_arch=win32; wine_build=build/win; wine_loader=/usr/lib/wine/wine; wine_prefix=$1/build/wine
  else
    wine_arch=win64; wine_build=build/win64; wine_loader=/usr/lib/wine/wine64; wine_prefix=$1/build/wine64
  fi
}

# kc_start_xvfb FIRST LAST: starts Xvfb on the first free display number from
# FIRST to LAST and waits until it listens. Exports DISPLAY, sets xvfb_pid.
# Fails when no display could be started.
kc_start_xvfb() {
  local n i
  for n in $(seq "$1" "$2"); do
    { [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; } && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    for i in $(seq 100); do
      [ -e "/tmp/.X11-unix/X$n" ] && break
      kill -0 "$xvfb_pid" 2>/dev/null || break
      sleep 0.1
    done
    if kill -0 "$xvfb_pid" 2>/dev/null && [ -e "/tmp/.X11-unix/X$n" ]; then
      export DISPLAY=":$n"
      return 0
    fi
    # Another process took the number meanwhile: try the next one.
    kill "$xvfb_pid" 2>/dev/null || true
    xvfb_pid=""
  done
  return 1
}
