# Sourced by the scripts that drive the program in an X server of their own.
# startxvfb WORKDIR [Xvfb options]: starts Xvfb on a free display (the server picks it and tells
# its number), sets xpid and DISPLAY; when it cannot, sets xvfbwhy and returns 1.
startxvfb() {
  local work="$1"
  shift
  Xvfb -displayfd 3 "$@" -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
  xpid=$!
  for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
  if [ ! -s "$work/display" ]; then
    xvfbwhy="no X server could start: $(tail -1 "$work/xvfb.log")"
    return 1
  fi
  export DISPLAY=":$(head -1 "$work/display")"
  xdotool getdisplaygeometry >/dev/null 2>&1 && return 0
  xvfbwhy="the X server on $DISPLAY does not answer"
  return 1
}
