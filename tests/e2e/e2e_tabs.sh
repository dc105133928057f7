#!/usr/bin/env bash
# Switching tabs with the mouse while the focus is in the folder tree, then the page commands:
# each acts on the page that shows. Then find, F3 and replace over two pages. The RBF files on
# disk are checked.
set -uo pipefail
src=${1:?source dir}
build=${2:?build dir}
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"

"$exe/kestrelbench" "$data/unit.rbf" >"$work/tabs.log" 2>&1 &
first=$!
pids+=($first)
if ! wait_for 20 test -s "$data/unit.txt" || ! wait_for 20 main_window; then
  fail "the command-line file did not open"
  e2e_finish
  exit 1
fi
hand_over() { timeout 20 "$exe/kestrelbench" "$1" >/dev/null 2>&1 && wait_for 20 test -s "${1%.rbf}.txt"; }
hand_over "$data/weapon.rbf" || fail "weapon.rbf was not handed over"
win=$(main_window)
sleep 0.5
window_origin "$win"
unit_expected="$work/unit.expected"
weapon_expected="$work/weapon.expected"
sample_dump unit >"$unit_expected"
sample_dump weapon >"$weapon_expected"
# Goes to line N of the editor that shows, to the end of it and before its ";".
to_value_end() {
  quick_click $(editor_line 12)
  keys ctrl+Home
  for _ in $(seq "$1"); do keys Down; done
  keys End Left
}

# 1. An edit in each page: weapon (active) and unit.
to_value_end 4
typed "5"
quick_click $(tab_at 0)
to_value_end 5
typed "7"
sed -i 's/health: 100;/health: 1007;/' "$unit_expected"

# 2. The focus in the folder tree, weapon's tab clicked: ReOpen reloads weapon, not unit.
quick_click $(folder_row 0)
quick_click $(tab_at 1)
quick_click $(tool_button TBReOpen)
wait_for 10 hint_shows "File is reopened" || fail "ReOpen showed no hint"
sleep 0.5

# 3. The focus in the folder tree, unit's tab clicked: Ctrl+S saves unit with its edit.
quick_click $(folder_row 0)
quick_click $(tab_at 0)
keys ctrl+s
expect_rbf 20 "$data/unit.rbf" "$unit_expected" "ReOpen and Save act on the page that shows"
rbf_is "$data/weapon.rbf" "$weapon_expected" && ok "the hidden page was not saved" || fail "weapon.rbf changed"

# 4. weapon's tab clicked from the folder tree: Rebuild Tree, Arrange and Close act on weapon.
quick_click $(folder_row 0)
quick_click $(tab_at 1)
keys F1
wait_for 10 hint_shows "Tree rebuilt" && ok "F1 rebuilds the tree of the page that shows" || fail "F1 did nothing"
keys F2
wait_for 10 hint_shows "View rearranged" && ok "F2 rearranges the page that shows" || fail "F2 did nothing"
quick_click $(tool_button TBClose)
if wait_for 10 bash -c "[ ! -e '$data/weapon.txt' ]"; then
  ok "Close closes the page that shows, without a question (ReOpen dropped its edit)"
else
  fail "Close did not close the weapon page"
fi
window_named '^Confirm$' | grep -q . && fail "Close asked to save a page" && keys Escape

# 5. Find, F3 and replace over two pages.
hand_over "$data/weapon.rbf" || fail "weapon.rbf was not handed over again"
sleep 0.5
quick_click $(editor_line 12)
keys ctrl+Home ctrl+f
if wait_for 10 window_named '^Find$'; then
  xdotool mousemove --sync --window "$(window_named '^Find$')" 30 10 2>/dev/null
  sleep 0.2
  typed "true"
  keys Return Escape
else
  fail "Ctrl+F opened no find dialog"
fi
xdotool mousemove --sync $(editor_line 12) 2>/dev/null
sleep 0.2
typed "false"
keys F3
typed "false"
sed -i 's/hits air: true;/hits air: false;/; s/hits ground: true;/hits ground: false;/' "$weapon_expected"
keys ctrl+s
expect_rbf 20 "$data/weapon.rbf" "$weapon_expected" "find and F3 select the matches in the page, typing replaces them"
quick_click $(tab_at 0)
quick_click $(editor_line 12)
keys ctrl+Home F3
typed "false"
sed -i 's/visible: true;/visible: false;/' "$unit_expected"
keys ctrl+r
if wait_for 10 window_named '^Replace$'; then
  xdotool mousemove --sync --window "$(window_named '^Replace$')" 30 10 2>/dev/null
  sleep 0.2
  keys ctrl+a
  typed "Marine"
  keys Tab
  typed "Trooper"
  keys alt+a
  sleep 0.5
  keys Escape
else
  fail "Ctrl+R opened no replace dialog"
fi
# Match case is off: the model's "marine" goes too.
sed -i 's/"Marine"/"Trooper"/; s/\\marine\.mdl/\\Trooper.mdl/' "$unit_expected"
xdotool mousemove --sync $(editor_line 12) 2>/dev/null
sleep 0.2
keys ctrl+s
expect_rbf 20 "$data/unit.rbf" "$unit_expected" "F3 in another page finds there; Replace All replaces in the page that shows"
rbf_is "$data/weapon.rbf" "$weapon_expected" && ok "the other page kept its saved text" || fail "weapon.rbf changed"
kill -0 "$first" 2>/dev/null && ok "the program still runs" || fail "the program is gone"

e2e_finish
