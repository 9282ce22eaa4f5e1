# Sourced by the scripts that drive the program in an X server of their own.
# startxvfb WORKDIR [Xvfb options]: starts Xvfb on a free display, sets xpid and DISPLAY; when it
# cannot, sets xvfbwhy and returns 1.
# Each try takes a display number of its own at random (two servers asking for the next free one
# at once can both be handed the same), and keeps it only when its own server stays up and answers.
startxvfb() {
  local work="$1" n
  shift
  for _ in 1 2 3 4 5 6 7 8; do
    n=$((200 + RANDOM % 3000))
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" "$@" -screen 0 1024x768x24 -nolisten tcp 2>"$work/xvfb.log" &
    xpid=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do
      kill -0 "$xpid" 2>/dev/null || break
      xdotool getdisplaygeometry >/dev/null 2>&1 && break
      sleep 0.1
    done
    sleep 0.2
    if kill -0 "$xpid" 2>/dev/null && xdotool getdisplaygeometry >/dev/null 2>&1; then
      return 0
    fi
    kill "$xpid" 2>/dev/null
    wait "$xpid" 2>/dev/null
  done
  xvfbwhy="no X server could start: $(tail -1 "$work/xvfb.log")"
  return 1
}
