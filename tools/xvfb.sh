# Sourced by the scripts that drive the program in an X server of their own.
# startxvfb WORKDIR [Xvfb options]: starts Xvfb on a free display (the server picks it and tells
# its number), sets xpid and DISPLAY; when it cannot, sets xvfbwhy and returns 1.
# Two servers started at once can pick the same display, and one of them then ends: the server is
# tried again until one of its own stays up and answers.
startxvfb() {
  local work="$1"
  shift
  for _ in 1 2 3 4 5; do
    rm -f "$work/display"
    Xvfb -displayfd 3 "$@" -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
    xpid=$!
    for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
    if [ ! -s "$work/display" ]; then
      xvfbwhy="no X server could start: $(tail -1 "$work/xvfb.log")"
      kill "$xpid" 2>/dev/null
      return 1
    fi
    export DISPLAY=":$(head -1 "$work/display")"
    sleep 0.2
    if kill -0 "$xpid" 2>/dev/null && xdotool getdisplaygeometry >/dev/null 2>&1; then
      return 0
    fi
    kill "$xpid" 2>/dev/null
    wait "$xpid" 2>/dev/null
  done
  xvfbwhy="the X server on $DISPLAY does not answer"
  return 1
}
