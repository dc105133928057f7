#!/usr/bin/env bash
# Clicks as hands make them, instant (press and release at once, as a tap) and held for 50 to 150
# ms, between the folder tree, the structure tree, the editor, the tabs and the tool bars, each
# followed by caret keys, Shift+caret keys, typing and Ctrl+Z, and the editor menu's folding; after
# each step the page is saved and the RBF file on disk must hold exactly the text the keys made.
set -uo pipefail
src=${1:?source dir}
build=${2:?build dir}
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"

# The page opens from the command line, before the window shows.
"$exe/kestrelbench" "$data/unit.rbf" >"$work/clicks.log" 2>&1 &
pids+=($!)
if ! wait_for 20 test -s "$data/unit.txt" || ! wait_for 20 main_window; then
  fail "the page of the command-line file did not open"
  e2e_finish
  exit 1
fi
win=$(main_window)
sleep 0.5
window_origin "$win"
expected="$work/expected.txt"
sample_dump unit >"$expected"
# edit SED: what the keys of a step do to the text.
edit() { sed -i "$1" "$expected"; }
saved() { keys ctrl+s; expect_rbf 20 "$data/unit.rbf" "$expected" "$1"; }
# Any line of the editor: the keys after a click go to the line they want from the top, so a
# selection stretched from the click point would show in what they type.
any_line() { editor_line 12; }
down() { keys ctrl+Home; for _ in $(seq "$1"); do keys Down; done; }

# 1. A tap in the folder tree, then a tap into the editor: the caret keys move the caret, they do
#    not stretch a selection from the click point.
quick_click $(folder_row 0)
quick_click $(any_line)
keys ctrl+Home Down Down End Left Left
typed "X"
edit 's/"Marine";/"MarineX";/'
saved "tap from the folder tree into the editor, then caret keys and a letter"

# 2. Shift+caret keys select, a letter replaces the selection, Ctrl+Z takes it back.
keys shift+Left
typed "Y"
keys ctrl+z
saved "Shift+Left, a letter and Ctrl+Z leave the text as it was"

# 3. A tap on a node of the structure tree, caret keys in the tree, then a click held 100 ms into
#    the editor.
quick_click $(node_row 3)
keys Down Up Up Up
held_click $(any_line) 100
down 7
keys End Left
typed "5"
keys shift+Left
typed "7"
keys ctrl+z
edit 's/speed: 2\.5;/speed: 2.55;/'
saved "tree tap and keys, held click into the editor, typing, Shift+Left, Ctrl+Z"

# 4. A tap on the tab of the page, then a tap into the editor.
quick_click $(tab_at 0)
quick_click $(any_line)
down 8
keys End Left
typed "1"
edit 's/sight: 7\.25;/sight: 7.251;/'
saved "tap on the tab, tap into the editor, End and a digit"

# 5. A click held 60 ms on a tool bar keeps the editor's caret where it was.
held_click $(tool_button empty) 60
keys Left shift+Left shift+Right
typed "3"
edit 's/sight: 7\.251;/sight: 7.2531;/'
saved "held click on a tool bar, then caret keys and a digit"

# 6. A click held 150 ms in the folder tree, then one held 50 ms into the editor; Shift+Up and
#    Shift+Down select and unselect whole lines, Ctrl+Home and Ctrl+End move without selecting.
held_click $(folder_row 0) 150
held_click $(any_line) 50
down 6
keys End Left
typed "2"
keys shift+Up shift+Down ctrl+End ctrl+Home Down Down Down Down End Left
typed "9"
edit 's/armor: 1;/armor: 12;/; s/desc_id: 12002;/desc_id: 120029;/'
saved "held clicks from the folder tree into the editor, Shift+Up/Down, Ctrl+End/Home and digits"

# 7. A tap into the editor while a node's key is selected there (after a tree tap): the tap
#    drops the selection, so the next letter only inserts.
quick_click $(node_row 0)
quick_click $(any_line)
down 4
keys Home Right Right
typed "d"
edit 's/^| desc_id:/|d desc_id:/'
keys ctrl+z
edit 's/^|d desc_id:/| desc_id:/'
saved "a tap after a tree selection drops it; a letter and Ctrl+Z"

# 8. The editor's context menu (a right click) folds every table: Down from the top then passes
#    over the members of "cost", so the letter lands in the key "weapons". Unfold All shows the
#    members again, and the same keys reach one of them. Folding changes nothing in the file.
menu_item_from_end() { # opens the editor menu at a line and picks the Nth item from its end
  xdotool mousemove --sync $(any_line) click 3 2>/dev/null
  sleep 0.4
  for _ in $(seq "$1"); do keys Up; done
  keys Return
  # Without a window manager the closed menu leaves no window the keys' focus: a tap gives it back.
  quick_click $(any_line)
}
menu_item_from_end 4 # Fold All (after it: Unfold All, Save, Restore backup...)
down 14
keys Home Right Right
typed "z"
edit 's/^| weapons: {/| zweapons: {/'
saved "Fold All from the editor menu, then Down keys pass over the folded members"
menu_item_from_end 3 # Unfold All
down 15
keys Home Right Right Right Right
typed "y"
edit 's/^| | gas: 0;/| | ygas: 0;/'
saved "Unfold All from the editor menu, then the same keys reach a member again"

e2e_finish
