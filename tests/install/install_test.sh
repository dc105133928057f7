#!/usr/bin/env bash
# Installs into a temporary prefix, checks what a desktop needs, uninstalls, and checks that
# exactly the installed files are gone while the user's own files stay.
set -euo pipefail
src=${1:?source dir}
build=${2:?build dir}
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

"$src/scripts/install.sh" "$build" "$prefix/pfx with blank" >/dev/null
p="$prefix/pfx with blank"
for f in lib/kestrelbench/kestrelbench lib/kestrelbench/grindle bin/kestrelbench; do
  [ -x "$p/$f" ] || fail "$f not installed as a program"
done
[ -f "$p/share/applications/kestrelbench.desktop" ] || fail "desktop entry missing"
grep -q "^Exec=$p/bin/kestrelbench %F$" "$p/share/applications/kestrelbench.desktop" || fail "desktop Exec line"
grep -q '^MimeType=application/x-kestrelbench-rbf;$' "$p/share/applications/kestrelbench.desktop" || fail "MimeType"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$p/share/applications/kestrelbench.desktop" || fail "desktop entry invalid"
fi
if command -v update-mime-database >/dev/null; then
  grep -q 'application/x-kestrelbench-rbf:\*\.rbf' "$p/share/mime/globs2" || fail "*.rbf not in the MIME database"
fi
# The launcher runs the installed program: the installed grindle converts a file through it too.
printf 'RBF file: t.rbf\r\n{\r\n| a: 1;\r\n}\r\n' > "$prefix/t.txt"
"$p/lib/kestrelbench/grindle" -q -i "$prefix/t.txt" || fail "installed grindle does not run"
[ -s "$prefix/t.rbf" ] || fail "installed grindle wrote nothing"
grep -q "lib/kestrelbench/kestrelbench\"" "$p/bin/kestrelbench" || fail "launcher does not name the program"

# A file of the user's beside the program survives the uninstall.
echo "[Main]" > "$p/lib/kestrelbench/Kestrelbench.ini"
"$src/scripts/uninstall.sh" "$p" >/dev/null
for f in lib/kestrelbench/kestrelbench lib/kestrelbench/grindle bin/kestrelbench \
         share/applications/kestrelbench.desktop share/mime/packages/kestrelbench-rbf.xml \
         share/icons/hicolor/scalable/apps/kestrelbench.svg lib/kestrelbench/install-manifest.txt; do
  [ ! -e "$p/$f" ] || fail "$f left after uninstall"
done
[ -f "$p/lib/kestrelbench/Kestrelbench.ini" ] || fail "uninstall removed the user's settings"
echo "install test: 1 passed, 0 failed"
