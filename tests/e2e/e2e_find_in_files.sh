#!/usr/bin/env bash
# Find in Files with real input: F6 opens the dialog, the text typed there and Enter search the
# folder selected in the folder tree; a double click on the hit opens its file as a page, the match
# selected in the editor and the node of its line in the structure tree; letters typed over the
# match and Ctrl+S land on that line in the RBF file on disk. Nothing is written into the folder
# by the search itself.
set -uo pipefail
src=${1:?source dir}
build=${2:?build dir}
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
export XDG_CACHE_HOME="$work/cache"

# small.rbf is the only file that holds 31337, two tables down.
cat >"$work/small.txt" <<'TEXT'
RBF file: small.rbf
{
| weapons: {
| | primary: {
| | | weapon_id: 31337;
| | | damage: 12;
| | }
| }
| speed: 3;
}
TEXT
"$build/grindle" -q -i "$work/small.txt" && mv "$work/small.rbf" "$data/small.rbf"
# What small.rbf must hold after the edit at the end.
expected="$work/expected.txt"
dump_rbf "$data/small.rbf" | sed 's/weapon_id: 31337;/weapon_id: 4242;/' >"$expected"
printf '[FindInFiles]\r\nPanelHeight=220\r\n' >>"$exe/Kestrelbench.ini"
# What the folder holds besides the text of the open page.
folder_files() { ls -A "$data" | grep -vx 'unit.txt'; }
before=$(folder_files)

# unit.rbf opens from the command line: the folder tree selects it, so its folder is the one searched.
"$exe/kestrelbench" "$data/unit.rbf" >"$work/find.log" 2>&1 &
pids+=($!)
if ! wait_for 20 test -s "$data/unit.txt" || ! wait_for 20 main_window; then
  fail "the window did not show"
  e2e_finish
  exit 1
fi
win=$(main_window)
sleep 0.5
window_origin "$win"

any_line() { editor_line 12; }

# 1. F6 opens the dialog on the folder of the folder tree; the text typed there and Enter search.
quick_click $(any_line)
keys F6
if wait_for 10 window_shows '^Find in Files$'; then
  ok "F6 opens the Find in Files dialog"
else
  fail "F6 opened no Find in Files dialog"
  e2e_finish
  exit 1
fi
dialog=$(window_named '^Find in Files$')
xdotool mousemove --sync --window "$dialog" 40 10 2>/dev/null
sleep 0.3
typed "31337"
keys Return
# The two files without a page converted once each, into the cache (the page is searched as it is).
if wait_for 30 bash -c "[ \$(ls '$XDG_CACHE_HOME/kestrelbench/converted' 2>/dev/null | wc -l) -ge 2 ]"; then
  ok "Enter searches the folder's files"
else
  fail "the search did not convert the folder's files"
fi
sleep 1
keys Escape
wait_for 5 bash -c "! xdotool search --onlyvisible --name '^Find in Files\$' | grep -qx '$dialog'" ||
  fail "Escape did not close the dialog"
[ "$(folder_files)" = "$before" ] && ok "the search wrote nothing into the folder" ||
  fail "the search left files in the folder: $(ls -A "$data" | tr '\n' ' ')"

# 2. A double click on the hit opens small.rbf. The panel (220 high above the 24 of the status
#    bar) shows its title, the summary, the column heads, the file's row and then the hit's row.
hit_row() { at 420 $((600 - 24 - 220 + 80)); }
xdotool mousemove --sync $(hit_row) 2>/dev/null
sleep 0.2
xdotool click --repeat 2 --delay 60 1 2>/dev/null
if wait_for 20 test -s "$data/small.txt"; then
  ok "a double click on the hit opens its file"
else
  fail "a double click on the hit opened nothing"
  e2e_finish
  exit 1
fi
sleep 1

# 3. The node of the hit's line is the selected one: its row in the structure tree (weapons,
#    primary, weapon_id, damage, speed from the top) is painted unlike the others.
pixel() { import -window root -crop "1x1+$1+$2" -depth 8 txt:- 2>/dev/null | tail -n 1 | awk '{print $3}'; }
# Right of the short top-level keys, on the deeper weapon_id's text.
node_pixel() { local p; p=($(at 320 $((63 + 18 * $1)))); pixel "${p[0]}" "${p[1]}"; }
if command -v import >/dev/null; then
  selected=$(node_pixel 2)
  other=$(node_pixel 4)
  first=$(node_pixel 0)
  if [ -n "$selected" ] && [ "$selected" != "$other" ] && [ "$other" = "$first" ]; then
    ok "the hit's node is the selected one in the structure tree"
  else
    fail "the hit's node is not selected (weapon_id $selected, speed $other, weapons $first)"
  fi
fi

# 4. The match is selected in the editor: what is typed replaces it, on its line.
typed "4242"
keys ctrl+s
expect_rbf 20 "$data/small.rbf" "$expected" "letters typed after the jump replace the match on its line"

e2e_finish
