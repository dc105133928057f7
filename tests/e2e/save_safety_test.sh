#!/usr/bin/env bash
# End-to-end: saves that must not lose the user's work, with the real kestrelbench and grindle
# on a real X server and the files checked on disk: a converter that half-writes the RBF file and
# fails, a read-only RBF file, and an RBF file another program changed while its page was open.
set -uo pipefail
src=${1:?source dir}
build=${2:?build dir}
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"

# Runs the program on one file until its page shows; the pid is in $app, the window in $win.
start_on() {
  "$exe/kestrelbench" "$1" >>"$work/app.log" 2>&1 &
  app=$!
  pids+=($app)
  wait_for 20 test -s "${1%.rbf}.txt" && wait_for 20 main_window
  win=$(main_window)
  sleep 0.5
}
# Closes the window, answering the save question with No; true when a save question came.
close_without_saving() {
  "$build/tests/x11_close" "$win"
  local asked=1
  answer_box Confirm Escape && asked=0
  wait_for 20 bash -c "! kill -0 $app 2>/dev/null" || { kill -9 "$app"; fail "the window did not close"; }
  return $asked
}

cp "$data/unit.rbf" "$work/unit.orig"

# 1. A converter that writes half of the RBF file and exits 1. It converts RBF files to text
#    properly, so the page opens.
cat >"$exe/half-writer" <<SCRIPT
#!/usr/bin/env bash
input=\${@: -1}
case "\$input" in
  *.txt)
    scratch=\$(mktemp -d)
    cp "\$input" "\$scratch/x.txt" && "$build/grindle" -q -i "\$scratch/x.txt"
    size=\$(stat -c %s "\$scratch/x.rbf")
    head -c \$((size / 2)) "\$scratch/x.rbf" >"\${input%.txt}.rbf"
    rm -rf "\$scratch"
    exit 1 ;;
  *) exec "$build/grindle" "\$@" ;;
esac
SCRIPT
chmod +x "$exe/half-writer"
set_converter "$exe/half-writer"
start_on "$data/unit.rbf"
type_into_name "$win" "H"
xdotool key --clearmodifiers ctrl+s 2>/dev/null
if answer_box Error Return; then
  ok "a converter that half-writes and exits 1 is reported as a failure"
else
  fail "no error after a converter that half-wrote and exited 1"
fi
if grep -q 'name: "MarineH";' "$data/unit.txt"; then
  ok "the text file with the edit is kept"
else
  fail "the text file with the edit is gone"
fi
close_without_saving && ok "the page stayed modified" || fail "the page was taken for saved"
set_converter "$exe/grindle"

# 2. A read-only RBF file is not replaced: its bytes and its mode stay.
cp "$data/weapon.rbf" "$work/weapon.before"
chmod 0444 "$data/weapon.rbf"
start_on "$data/weapon.rbf"
type_into_name "$win" "R"
xdotool key --clearmodifiers ctrl+s 2>/dev/null
answer_box Error Return && ok "saving a read-only file is refused" || fail "no refusal for a read-only file"
cmp -s "$data/weapon.rbf" "$work/weapon.before" && ok "the read-only file is unchanged" ||
  fail "the read-only file was rewritten"
mode=$(stat -c %a "$data/weapon.rbf")
[ "$mode" = 444 ] && ok "the read-only file keeps mode 444" || fail "the read-only file has mode $mode"
[ -s "$data/weapon.txt" ] && ok "the text file of the refused save is kept" || fail "the text file is gone"
close_without_saving && ok "the refused page stayed modified" || fail "the refused page was taken for saved"
chmod 0644 "$data/weapon.rbf"

# 3. Another program rewrites the RBF file while its page is open: Save asks, and No keeps the
#    other program's file. Yes then saves over it, and the save is checked by converting back.
start_on "$data/weapon.rbf"
type_into_name "$win" "C"
cp "$work/unit.orig" "$data/weapon.rbf"
cp "$data/weapon.rbf" "$work/weapon.other"
sleep 0.5
xdotool key --clearmodifiers ctrl+s 2>/dev/null
answer_box Confirm Escape && ok "saving over a file changed on disk asks first" ||
  fail "no question before saving over a changed file"
cmp -s "$data/weapon.rbf" "$work/weapon.other" && ok "No keeps the other program's file" ||
  fail "No still replaced the changed file"
focus_editor "$win"
xdotool key --clearmodifiers ctrl+s 2>/dev/null
answer_box Confirm Return || fail "the question did not come again"
if wait_for 20 bash -c "[ ! -e '$data/weapon.txt' ]" && dump_rbf "$data/weapon.rbf" | grep -q 'C";'; then
  ok "Yes saves the page over the changed file"
else
  fail "Yes did not save the page"
fi
window_named '^Error$' >/dev/null && fail "an error came after the good save"
close_without_saving && fail "the saved page still counted as modified" || ok "the saved page closes without a question"

e2e_finish
