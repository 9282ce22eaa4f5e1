#!/usr/bin/env bash
# Two copies of the real program on one program folder, in a real X server: the first waits at
# its printer question; the second shows one box saying the folder is in use, ends when it is
# answered and leaves the folder as it was. Then the first is killed (SIGKILL) and the next start
# gets the folder at once: it asks the printer question.
# Usage: realx_twocopies.sh <vantrope program>   (exit 77: skipped, no X server could start)
set -u
prog="$1"
skip() { echo "SKIPPED: $*"; exit 77; }
command -v Xvfb >/dev/null || skip "Xvfb is not installed (Debian package xvfb)"
command -v xdotool >/dev/null || skip "xdotool is not installed"

. "$(dirname "$0")/../../tools/xvfb.sh"
work=$(mktemp -d)
xpid="" pids=()
cleanup() {
  for p in "${pids[@]}"; do kill -9 "$p" 2>/dev/null; done
  [ -n "$xpid" ] && kill "$xpid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAILED: $*"
  for f in "$work"/*.log; do echo "$f:"; cat "$f"; done
  exit 1
}

startxvfb "$work" || skip "$xvfbwhy"
home="$work/home"
mkdir -p "$home"

# Starts a copy; its process id in `copy`.
start() {
  VANTROPE_HOME="$home" QT_QPA_PLATFORM=xcb "$prog" >"$work/$1.log" 2>&1 &
  copy=$!
  pids+=("$copy")
}
# The first visible window of a process with this title, waited for.
windowof() {
  local w
  for _ in $(seq 100); do
    w=$(xdotool search --all --onlyvisible --pid "$1" --name "^$2\$" 2>/dev/null | head -1)
    [ -n "$w" ] && { echo "$w"; return 0; }
    sleep 0.1
  done
  return 1
}
# Every name and the bytes of every file in the program folder.
state() { (cd "$home" && find . | sort && find . -type f -print0 | sort -z | xargs -0 md5sum); }

start first
first=$copy
windowof "$first" Initialize >/dev/null || fail "the first copy asked no printer question"
before=$(state)

start second
second=$copy
box=$(windowof "$second" Vantrope) || fail "the second copy showed no box"
width=$(xdotool getwindowgeometry --shell "$box" | sed -n 's/^WIDTH=//p')
[ "$width" -lt 1024 ] || fail "the second copy showed a screen, not a box"
xdotool search --all --onlyvisible --pid "$second" --name "^Initialize\$" >/dev/null 2>&1 &&
  fail "the second copy asked the printer question"
xdotool windowfocus --sync "$box" key Return
for _ in $(seq 50); do kill -0 "$second" 2>/dev/null || break; sleep 0.1; done
kill -0 "$second" 2>/dev/null && fail "the second copy did not end after its box"
wait "$second" || fail "the second copy ended with $?"
[ "$(state)" = "$before" ] || fail "the second copy changed the folder"
kill -0 "$first" 2>/dev/null || fail "the first copy ended"

kill -9 "$first"
wait "$first" 2>/dev/null
start third
windowof "$copy" Initialize >/dev/null || fail "the start after a killed copy asked no printer question"
echo "PASSED"
