#!/usr/bin/env bash
# End-to-end against the installed package (run by tests/install/package_test.sh after dpkg -i):
# /usr/bin/kestrelbench on a real X server, a user with no settings yet. It must convert with the
# packaged grindle, take an edit and save it, take several files from a later start, and write
# its settings and readme into the user's XDG folders, never into /usr/lib/kestrelbench.
set -uo pipefail
src=${1:?source dir}
build=${2:?build dir}
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
program=/usr/bin/kestrelbench
[ -x "$program" ] || { echo "e2e: $program is not installed"; exit 1; }
# A user of our own: nothing of the machine's user is read or written.
export HOME="$work/home"
export XDG_CONFIG_HOME="$work/config home"
export XDG_DATA_HOME="$work/data home"
mkdir -p "$HOME"
packaged=$(ls -A /usr/lib/kestrelbench | sort | tr '\n' ' ')

out=$("$program" --help) && grep -q 'FILE' <<<"$out" && ok "--help prints the usage" || fail "--help"
[ "$("$program" --version)" = "Kestrelbench 1.2.0" ] && ok "--version prints the version" || fail "--version"

# 1. The first start opens its file with the packaged grindle (no settings name a converter).
"$program" "$data/unit.rbf" >"$work/first.log" 2>&1 &
first=$!
pids+=($first)
if wait_for 20 test -s "$data/unit.txt" && wait_for 20 main_window; then
  ok "the installed program opens an RBF file with the packaged converter"
else
  fail "the command-line file did not open"; cat "$work/first.log" >&2
fi
win=$(main_window)
sleep 0.5
type_into_name "$win" "P"
xdotool key --clearmodifiers ctrl+s 2>/dev/null
if wait_for 20 bash -c "[ ! -e '$data/unit.txt' ]" && dump_rbf "$data/unit.rbf" | grep -q 'name: "MarineP";'; then
  ok "an edit is saved into the RBF file"
else
  fail "the edit did not reach the RBF file"
fi

# 2. A later start hands all its files over, a name with the queue's separator among them.
cp "$data/weapon.rbf" "$data/v||w.rbf"
timeout 20 "$program" "$data/weapon.rbf" "$data/v||w.rbf"
rc=$?
[ $rc -eq 0 ] && ok "a later start exits 0" || fail "a later start exited $rc"
if wait_for 20 test -s "$data/weapon.txt" && wait_for 20 test -s "$data/v||w.txt"; then
  ok "every file of the later start opened in the running window"
else
  fail "not every handed-over file opened"
fi

# 3. Closing writes the settings into the user's folder; the program's folder stays as packaged.
"$build/tests/x11_close" "$win"
wait_for 30 bash -c "! kill -0 $first 2>/dev/null" && ok "the window closed" || fail "the window did not close"
ini="$XDG_CONFIG_HOME/kestrelbench/Kestrelbench.ini"
if grep -q $'^Grindle=/usr/lib/kestrelbench/grindle\r$' "$ini" 2>/dev/null && grep -q '^Width=' "$ini"; then
  ok "settings written under \$XDG_CONFIG_HOME/kestrelbench"
else
  fail "no settings in $ini"
fi
[ -s "$XDG_DATA_HOME/kestrelbench/Readme.rtf" ] && ok "readme written under \$XDG_DATA_HOME/kestrelbench" \
  || fail "no readme in the user's data folder"
[ "$(ls -A /usr/lib/kestrelbench | sort | tr '\n' ' ')" = "$packaged" ] \
  && ok "nothing written into /usr/lib/kestrelbench" || fail "files appeared in /usr/lib/kestrelbench"

e2e_finish
