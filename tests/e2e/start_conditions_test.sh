#!/usr/bin/env bash
# End-to-end: the real kestrelbench on a real X server under hostile start conditions: folders
# for the single-instance channel that another user could have made first, and a later start
# from a terminal without a display. The window must show every time.
set -uo pipefail
src=${1:?source dir}
build=${2:?build dir}
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"

# The fixed names that were used under the temporary folder without a run-time folder, made
# first and open to all; and a cache folder of ours.
unset XDG_RUNTIME_DIR
export TMPDIR="$work/tmp"
mkdir -p -m 777 "$TMPDIR/Kestrelbench-$(id -u)" "$TMPDIR/runtime-$(id -un)"
chmod 777 "$TMPDIR/Kestrelbench-$(id -u)" "$TMPDIR/runtime-$(id -un)"
export XDG_CACHE_HOME="$work/cache"

# 1. The taken names are not used: the window shows, and later starts still hand over.
"$exe/kestrelbench" >"$work/first.log" 2>&1 &
first=$!
pids+=($first)
if wait_for 20 main_window; then
  ok "the window shows although the fixed folder names were taken"
else
  fail "no window with the fixed folder names taken"
fi
if [ "$(stat -c %a "$XDG_CACHE_HOME/kestrelbench" 2>/dev/null)" = 700 ]; then
  ok "the channel's folder is private"
else
  fail "the channel's folder is not private"
fi
# 2. A later start from a terminal without a display hands its file over and ends with 0.
(unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM; timeout 20 "$exe/kestrelbench" "$data/unit.rbf") >"$work/second.log" 2>&1
rc=$?
[ $rc -eq 0 ] && ok "a start without a display exits 0" || fail "a start without a display exited $rc"
if wait_for 20 test -s "$data/unit.txt"; then
  ok "the running window opened the file of the start without a display"
else
  fail "the file of the start without a display was not opened"
fi
kill "$first" 2>/dev/null
wait "$first" 2>/dev/null

# 3. No private folder at all (the cache's was made first, open to all): the program still
#    starts and shows its window instead of taking itself for a later start.
rm -rf "$XDG_CACHE_HOME/kestrelbench"
mkdir -p "$XDG_CACHE_HOME/kestrelbench"
chmod 777 "$XDG_CACHE_HOME/kestrelbench"
"$exe/kestrelbench" >"$work/third.log" 2>&1 &
third=$!
pids+=($third)
if wait_for 20 main_window; then
  ok "the window shows without a private folder"
else
  fail "no window without a private folder"
  cat "$work/third.log" >&2
fi
if [ -z "$(ls -A "$XDG_CACHE_HOME/kestrelbench")" ]; then
  ok "nothing was made in the folder others can write to"
else
  fail "files were made in the folder others can write to"
fi

e2e_finish
