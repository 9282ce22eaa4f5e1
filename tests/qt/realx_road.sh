#!/usr/bin/env bash
# The cashier's road in a real X server, keys and clicks sent through the window system:
# a fresh program folder, No to the printer question, GO TO MENU, a player typed at the
# player/team screen, a new bettor typed into the betting screen's bettor box, an entry, WIN,
# an amount, PLACE CURRENT BET, PAY; then the bet sheet: a bettor, an entry, amount boxes,
# the WIN box, Place Next Bet. The Players, Bettors and Bets files must hold all of it. Then a
# team named by clicking two members and typing on, a payoff, the summary after it, and EXIT
# PROGRAM, which must end the process.
# Usage: realx_road.sh <vantrope program>   (exit 77: skipped, no X server could start)
set -u
prog="$1"
skip() { echo "SKIPPED: $*"; exit 77; }
command -v Xvfb >/dev/null || skip "Xvfb is not installed (Debian package xvfb)"
command -v xdotool >/dev/null || skip "xdotool is not installed"

. "$(dirname "$0")/../../tools/xvfb.sh"
work=$(mktemp -d)
xpid="" apid=""
cleanup() {
  [ -n "$apid" ] && kill "$apid" 2>/dev/null
  [ -n "$xpid" ] && kill "$xpid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

startxvfb "$work" || skip "$xvfbwhy"

home="$work/home"
mkdir -p "$home"
VANTROPE_HOME="$home" QT_QPA_PLATFORM=xcb "$prog" >"$work/program.log" 2>&1 &
apid=$!

fail() {
  echo "FAILED: $*"
  echo "windows:"; for w in $(xdotool search --onlyvisible --name . 2>/dev/null); do echo "  $(xdotool getwindowname "$w")"; done
  echo "program output:"; cat "$work/program.log"
  for f in Players Bettors; do [ -f "$home/$f" ] && { echo "$f:"; cat "$home/$f"; }; done
  exit 1
}

# The id of the visible window with this title: a form (the whole screen) or a box (smaller).
window() {
  local kind="$2" w width
  for _ in $(seq 100); do
    for w in $(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null); do
      width=$(xdotool getwindowgeometry --shell "$w" | sed -n 's/^WIDTH=//p')
      if { [ "$kind" = form ] && [ "$width" -ge 1024 ]; } || { [ "$kind" = box ] && [ "$width" -lt 1024 ]; }; then
        echo "$w"
        return 0
      fi
    done
    sleep 0.1
  done
  return 1
}
form() { window "$1" form >/dev/null || fail "the $1 window did not show"; }
# Answers the box with this title by its keyboard shortcut, as a cashier would.
answer() {
  local w
  w=$(window "$1" box) || fail "no \"$1\" box"
  xdotool windowfocus --sync "$w" key "$2"
  for _ in $(seq 50); do xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | grep -qx "$w" || return 0; sleep 0.1; done
  fail "the \"$1\" box stayed"
}
# Forms sit at the top left of the screen: a control's form position is its screen position.
click() { xdotool mousemove --sync "$1" "$2" click 1; sleep 0.3; }
typein() { xdotool type --delay 20 "$1"; sleep 0.2; }
enter() { xdotool key Return; sleep 0.3; }

answer Initialize alt+n                 # No printer
form Init
click 545 692                           # GO TO MENU
form Menu
click 110 254                           # Update Player/Team
form Entries
click 160 84                            # the flight box opens its list
xdotool key Down Return; sleep 0.3      # a flight picked from it
click 160 139                           # the name box
typein "NICKLAUS-JACK"; enter
answer Players Return                   # "NICKLAUS-JACK added"
click 160 292                           # MAIN MENU
form Menu
click 110 98                            # Place a Bet
form Bet
click 158 98                            # the bettor box
typein "PALMER-ARNOLD"; enter
answer Bet Return                       # "PALMER-ARNOLD added"
flight=$(tr -d '\r' <"$home/Players" | sed -n 's/^1,\([0-9]*\),"","NICKLAUS-JACK"$/\1/p')
[ -n "$flight" ] || fail "Players holds no NICKLAUS-JACK"
click $((16 + (flight - 1) % 3 * 124)) $((559 + (flight - 1) / 3 * 24))  # the flight on the board
click 100 202                           # the entry
click 431 89                            # WIN
click 560 189                           # the third amount button (+2.00)
click 560 346                           # PLACE CURRENT BET
click 560 381                           # PAY
click 560 702                           # Main Menu
form Menu
click 110 150                           # Use Bet Sheet
form Form1
click 60 226                            # PALMER-ARNOLD, the second bettor of the list
click 400 213                           # the entry
click 839 182                           # amount box 5: the bet amount becomes $6.00
click 789 234                           # the WIN box
click 931 337                           # Place Next Bet
answer "Place Bets" alt+y               # "Place these bets?"
sleep 0.5

bets="$home/Round1 ${flight}Bets"
got() { tr -d '\r' <"$1"; }
[ "$(got "$home/Bettors")" = $'1,"AnyBettor"\n2,"PALMER-ARNOLD"' ] || fail "Bettors: $(got "$home/Bettors")"
[ "$(got "$bets")" = $'2,1,1,2\n2,1,1,6' ] || fail "$(basename "$bets"): $(got "$bets")"
[ "$(got "$bets"backup)" = $'2,1,1,2\n2,1,1,6' ] || fail "the backup: $(got "$bets"backup)"

# A team named from the member list: the clicks leave the typing in the name box.
click 932 708                           # MAIN MENU
form Menu
click 110 254                           # Update Player/Team
form Entries
click 160 84                            # the flight box
xdotool key Down Return; sleep 0.3
click 760 90                            # member PALMER-ARNOLD: "PALMER-"
click 760 77                            # member AnyBettor: "PALMER-AnyBettor-"
xdotool key BackSpace; sleep 0.2        # typed into the name box, not the list
enter
answer Players Return                   # "PALMER-ANYBETTOR added"
typein "SNEAD-SAM"; enter               # the emptied box keeps the focus after the box
answer Players Return
for name in PALMER-ANYBETTOR SNEAD-SAM; do
  got "$home/Players" | grep -q "^[0-9]*,$flight,\"\",\"$name\"\$" || fail "Players: $(got "$home/Players")"
done

# The payoff of the flight, then its summary from the menu, sorted both ways.
click 160 292                           # MAIN MENU
form Menu
click 110 410                           # Pay Winners
form "Pay Winners"
click $((338 + (flight - 1) % 8 * 85)) $((65 + (flight - 1) / 8 * 24))  # the flight
pick() {                                # opens a box's list at its arrow, picks the nth item
  click "$1" "$2"
  for _ in $(seq 2 "$3"); do xdotool key Down; done
  xdotool key Return; sleep 0.3
}
for slot in 1 2 3; do                   # positions 1, 2, 3: NICKLAUS-JACK, then the two teams
  pick 48 $((119 + slot * 27)) $slot
  pick 313 $((119 + slot * 27)) $slot
done
click 724 446                           # CALCULATE PAYOFF
answer Vantrope Return                  # no PLACE or SHOW bets: those pools are refunded
click 920 526                           # MAIN MENU
form Menu
click 110 358                           # Bet Summary
form Summary
click 927 219                           # SORT BY WIN ODDS
click 927 171                           # SORT BY PLAYER
click 927 555                           # MAIN MENU
form Menu

# EXIT PROGRAM on the setup screen saves the setup file and ends the program.
click 110 462                           # Setup
form Init
rm -f "$home/Init"
click 865 692                           # EXIT PROGRAM
for _ in $(seq 50); do kill -0 "$apid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$apid" 2>/dev/null && fail "the program still runs after EXIT PROGRAM"
wait "$apid"; rc=$?; apid=""
[ "$rc" = 0 ] || fail "the program ended with $rc"
[ -s "$home/Init" ] || fail "EXIT PROGRAM wrote no setup file"
echo "the cashier's road went through the real window: $(basename "$bets") holds both bets, the program ended"
