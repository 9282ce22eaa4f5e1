#!/usr/bin/env bash
# Start-up and screen-open times of the real program in a real X server, on a full-capacity
# program folder made by the benchmark program: from exec to the printer question's window
# being mapped, and from a menu button's release to its screen's window being mapped. Each is
# timed 5 times, a fresh start each time; the report gives min, median and max in milliseconds.
# The clock: every window mapped is told by xev as the X server maps it, and the button is
# released by an xdotool already running (a new X client takes tens of milliseconds to start).
# Usage: startup.sh <vantrope program> <vantrope_bench program>   (run by ./bench, not a test)
set -u
prog="$1" bench="$2"
repeats=5
skip() { echo "start-up timing skipped: $*"; exit 0; }
for tool in Xvfb xdotool xev stdbuf; do
  command -v "$tool" >/dev/null || skip "$tool is not installed (Debian packages xvfb, xdotool, x11-utils)"
done

. "$(dirname "$0")/../tools/xvfb.sh"
work=$(mktemp -d)
xpid="" apid="" wpid="" xd=""
cleanup() {
  [ -n "$xd" ] && exec {xd}>&-
  [ -n "$apid" ] && kill "$apid" 2>/dev/null
  [ -n "$wpid" ] && kill "$wpid" 2>/dev/null
  [ -n "$xpid" ] && kill "$xpid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

startxvfb "$work" -noreset || skip "$xvfbwhy"

home="$work/home"
QT_QPA_PLATFORM=offscreen "$bench" --make-folder "$home" >/dev/null 2>&1 ||
  { echo "FAILED: the benchmark program could not make the program folder"; exit 1; }

# Microseconds now, from bash's own clock.
now() { local t=${EPOCHREALTIME/[.,]/}; echo "$((10#$t))"; }

# Every top-level window mapped: "<microseconds> <window id>", stamped as xev reports it.
: >"$work/maps"
(stdbuf -oL xev -root -event substructure 2>/dev/null | while read -r line; do
  case "$line" in
    MapNotify*)
      t=${EPOCHREALTIME/[.,]/}
      read -r line
      w=${line#*window }
      echo "$((10#$t)) ${w%%,*}"
      ;;
  esac
done >>"$work/maps") &
wpid=$!
# The xdotool that releases the timed clicks reads its commands as they come.
exec {xd}> >(exec xdotool - >/dev/null 2>&1)
sleep 0.5

fail() {
  echo "FAILED: $*"
  echo "windows:"; for w in $(xdotool search --onlyvisible --name . 2>/dev/null); do echo "  $(xdotool getwindowname "$w")"; done
  echo "program output:"; cat "$work/program.log"
  exit 1
}

# The time and id of the first window with this title mapped at or after `since` (a form: the
# whole screen's width; a box: narrower), waiting up to 20 seconds for it.
mapped() {
  local title="$1" kind="$2" since="$3" t w width
  for _ in $(seq 1000); do
    while read -r t w; do
      [ "$t" -ge "$since" ] || continue
      [ "$(xdotool getwindowname "$w" 2>/dev/null)" = "$title" ] || continue
      width=$(xdotool getwindowgeometry --shell "$w" 2>/dev/null | sed -n 's/^WIDTH=//p')
      if { [ "$kind" = form ] && [ "${width:-0}" -ge 1024 ]; } || { [ "$kind" = box ] && [ "${width:-0}" -lt 1024 ]; }; then
        echo "$t $w"
        return 0
      fi
    done <"$work/maps"
    sleep 0.02
  done
  return 1
}
form() { mapped "$1" form "$2" >/dev/null || fail "the $1 window did not show"; }
click() { local t; t=$(now); xdotool mousemove --sync "$1" "$2" click 1; form "$3" "$t"; sleep 0.2; }

# A button's click, timed from its release (a button acts on it) to the next screen's window.
declare -A took
timedclick() {
  local name="$1" x="$2" y="$3" title="$4" t0 t1
  xdotool mousemove --sync "$x" "$y"
  echo "mousedown 1" >&"$xd"
  sleep 0.1
  t0=$(now)
  echo "mouseup 1" >&"$xd"
  t1=$(mapped "$title" form "$t0") || fail "the $title window did not show"
  took[$name]+="$(((${t1%% *} - t0) / 1000)) "
  sleep 0.2
}
# A menu button's click, timed; then back to the menu by the screen's button at x, y.
menuclick() { timedclick "$1" "$2" "$3" "$4"; click "$5" "$6" Menu; }

for run in $(seq "$repeats"); do
  t0=$(now)
  VANTROPE_HOME="$home" QT_QPA_PLATFORM=xcb "$prog" >"$work/program.log" 2>&1 &
  apid=$!
  box=$(mapped Initialize box "$t0") || fail "no printer question"
  took[startup]+="$(((${box%% *} - t0) / 1000)) "
  t=$(now)
  xdotool windowfocus --sync "${box#* }" key alt+n     # No printer
  form Init "$t"
  sleep 0.2
  timedclick menu 545 692 Menu                          # GO TO MENU
  menuclick bet 110 98 Bet 562 702                      # Place a Bet, back by Main Menu
  menuclick fix 110 306 "File Inspection" 80 710        # Fix Files, back by Return
  menuclick summary 110 358 Summary 927 555             # Bet Summary, back by MAIN MENU
  kill "$apid" 2>/dev/null
  wait "$apid" 2>/dev/null
  apid=""
done

# min, median and max of the times given.
spread() { printf '%s\n' $1 | sort -n | awk '{v[NR]=$1} END {printf "%5d %7d %5d", v[1], v[int((NR+1)/2)], v[NR]}'; }
echo
echo "The real program under Xvfb, full-capacity folder, $repeats starts (ms; load $(cut -d' ' -f1-3 /proc/loadavg)):"
echo "                                                  min  median   max  target"
printf '%-48s %s  %6s\n' "start-up to the printer question" "$(spread "${took[startup]}")" 200
printf '%-48s %s  %6s\n' "GO TO MENU to the menu" "$(spread "${took[menu]}")" 100
printf '%-48s %s  %6s\n' "menu click to the betting screen (Place a Bet)" "$(spread "${took[bet]}")" 100
printf '%-48s %s  %6s\n' "menu click to Fix Files" "$(spread "${took[fix]}")" 100
printf '%-48s %s  %6s\n' "menu click to the summary (Bet Summary)" "$(spread "${took[summary]}")" 100
