#!/usr/bin/env bash
# End-to-end: closing a modified page in each way (Close, Close All, the tab menu, the window's
# close) and answering "Save %s ?" with Yes, No, Escape or by closing the box, while a slow
# converter runs and letters are typed into the page. Letters typed during the save must be asked
# about again, never dropped with the page. Checked on disk: the RBF text (through grindle) and
# the text file beside it.
set -uo pipefail
# shellcheck disable=SC2046 # positions are "X Y" pairs, split on purpose
src=${1:?source dir}
build=${2:?build dir}
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
use_logging_converter
mkdir -p "$exe/text-log"
rbf="$data/unit.rbf"
txt="$data/unit.txt"
name="Marine" # the name value that the RBF file holds
prog=""
win=""

start_program() {
  "$exe/kestrelbench" "$rbf" >>"$work/program.log" 2>&1 &
  prog=$!
  pids+=("$prog")
  wait_for 20 test -s "$txt" && wait_for 20 window_shows '^Kestrelbench$' || return 1
  win=$(main_window)
  sleep 0.5
}
# Opens unit.rbf in the running program by a second start (hand-over).
reopen_page() {
  timeout 20 "$exe/kestrelbench" "$rbf" >>"$work/program.log" 2>&1
  wait_for 20 test -s "$txt"
  sleep 0.5
}
point() { window_point "$win" "$1" "$2"; }
# Into the name value, before its closing quote, and type there.
type_at_name() {
  click_at $(point 650 300)
  xdotool key --clearmodifiers ctrl+Home Down Down End Left Left 2>/dev/null
  xdotool type --delay 30 "$1" 2>/dev/null
  sleep 0.3
}
# Typing while the save's converter sleeps: the pointer stays on the editor, no click.
type_during_save() {
  local before=$1
  wait_for 15 bash -c "[ \$(ls '$exe/text-log' | wc -l) -gt $before ]" || return 1
  xdotool mousemove --sync $(point 650 300) 2>/dev/null
  sleep 0.2
  xdotool type --delay 30 "$2" 2>/dev/null
}
start_close() {
  case $1 in
  Close) click_at $(point 856 13) ;;
  CloseAll) click_at $(point 880 13) ;;
  TabMenu)
    click_at $(point 240 39) 3
    sleep 0.5
    xdotool key --clearmodifiers Down Return 2>/dev/null # its first entry: Close
    ;;
  Window) "$build/tests/x11_close" "$win" ;;
  esac
}
answer() {
  case $1 in
  Yes) answer_box Confirm Return ;;
  No) answer_box Confirm alt+n ;;
  Escape) answer_box Confirm Escape ;;
  CloseBox)
    wait_for 15 window_shows '^Confirm$' || return 1
    "$build/tests/x11_close" "$(window_named '^Confirm$')"
    ;;
  esac
}
page_closed() {
  if [ "$1" = Window ]; then
    wait_for 20 bash -c "! kill -0 $prog 2>/dev/null"
  else
    wait_for 20 bash -c "[ ! -e '$txt' ]"
  fi
}
rbf_has_name() { dump_rbf "$rbf" | grep -q "name: \"$1\";"; }

# close_case WAY FIRST-ANSWER [SECOND-ANSWER]: one modified page, closed and answered. With the
# first answer Yes, letters are typed during the save and the second answer goes to the question
# that must follow.
close_case() {
  local way=$1 first=$2 second=${3:-} what="$1, $2${3:+ then $3}"
  local edit=$4 late=$5
  if [ "$way" = Window ] || [ -z "$prog" ]; then
    start_program || { fail "$what: the program did not start with its page"; return; }
  else
    reopen_page
  fi
  type_at_name "$edit"
  local logged
  logged=$(ls "$exe/text-log" | wc -l)
  if [ "$first" = Yes ]; then echo 3 >"$exe/save-delay"; fi
  start_close "$way"
  answer "$first" || { fail "$what: no \"Save ?\" question"; return; }
  if [ "$first" = Yes ]; then
    type_during_save "$logged" "$late" || fail "$what: the save's converter never ran"
    rm -f "$exe/save-delay"
    if answer "$second"; then
      ok "$what: letters typed during the save are asked about again"
    else
      fail "$what: the letters typed during the save were not asked about"
    fi
    case $second in
    Yes) name="$name$edit$late" ;;
    *) name="$name$edit" ;;
    esac
  fi
  # The text file is also away for a moment between two saves: wait for the RBF text first.
  wait_for 20 rbf_has_name "$name" && ok "$what: the RBF file holds \"$name\"" ||
    fail "$what: the RBF file does not hold \"$name\": $(dump_rbf "$rbf" | grep 'name:')"
  if page_closed "$way"; then
    ok "$what: the page closed and its text file is gone"
  else
    fail "$what: the page did not close"
  fi
  if [ "$way" = Window ]; then prog=""; fi
}

close_case Close Yes Yes a bc
close_case Close Yes No d ef
close_case Close Yes Escape g hi
close_case Close No "" j ""
close_case CloseAll Yes Yes k lm
close_case CloseAll Yes CloseBox n op
close_case CloseAll Escape "" q ""
close_case TabMenu Yes Yes r st
close_case TabMenu Yes No u vw
close_case TabMenu CloseBox "" x ""
# The window closes for good after the last page: start a new program for each.
[ -n "$prog" ] && { "$build/tests/x11_close" "$win"; wait_for 20 bash -c "! kill -0 $prog 2>/dev/null"; prog=""; }
close_case Window Yes Yes y za
close_case Window Yes Escape b cd
close_case Window No "" e ""

# "Quit any way?" after a failed save lets that page stay as it was; letters typed into it during a
# later page's save must be offered again, not lost when the program ends.
quit_anyway_case() {
  local what="Window, a failed save, Quit any way, letters typed into that page during the next save"
  start_program || { fail "$what: the program did not start"; return; }
  timeout 20 "$exe/kestrelbench" "$data/weapon.rbf" >>"$work/program.log" 2>&1
  wait_for 20 test -s "$data/weapon.txt" || { fail "$what: weapon.rbf did not open"; return; }
  sleep 0.5
  type_at_name "w" # weapon shows: a valid edit
  click_at $(point 240 39) # unit's tab
  click_at $(point 650 300)
  # A letter in a number: grindle refuses the text, so the save fails.
  xdotool key --clearmodifiers ctrl+Home Down Down Down End Left 2>/dev/null
  xdotool type --delay 30 "x" 2>/dev/null
  sleep 0.3
  local logged
  "$build/tests/x11_close" "$win"
  answer Yes || { fail "$what: no question for unit.rbf"; return; }
  answer_box Error Return || fail "$what: the failing save showed no error"
  answer_box Confirm Return || fail "$what: no \"Quit any way?\""
  logged=$(ls "$exe/text-log" | wc -l)
  echo 3 >"$exe/save-delay"
  answer Yes || { fail "$what: no question for weapon.rbf"; return; }
  wait_for 15 bash -c "[ \$(ls '$exe/text-log' | wc -l) -gt $logged ]" || fail "$what: weapon's save never ran"
  click_at $(point 240 39)
  click_at $(point 650 300)
  xdotool type --delay 30 "qqj" 2>/dev/null
  rm -f "$exe/save-delay"
  if answer_box Confirm Return && answer_box Error Return; then
    ok "$what: the page is offered again"
  else
    fail "$what: the page was not offered again"
  fi
  wait_for 20 bash -c "! kill -0 $prog 2>/dev/null" && ok "$what: the program ended" || fail "$what: the program did not end"
  grep -q qqj "$txt" && ok "$what: the letters are in its text file" || fail "$what: the letters are lost"
  dump_rbf "$data/weapon.rbf" | grep -q 'name: "Gauss Riflew";' && ok "$what: the other page was saved" ||
    fail "$what: weapon.rbf was not saved"
  prog=""
}
quit_anyway_case

e2e_finish
