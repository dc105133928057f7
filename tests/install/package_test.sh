#!/usr/bin/env bash
# The Debian package that `make package` left in BUILD: its contents and dependencies, lintian,
# the desktop entry and the AppStream metadata; then, as root, installed with dpkg, used by an
# end-to-end session against /usr/bin/kestrelbench, removed with dpkg -r, and checked that
# nothing of it is left. Without root only the checks of the file itself run.
set -euo pipefail
src=${1:?source dir}
build=${2:?build dir}
fail() { echo "FAIL: $*" >&2; exit 1; }
ok() { echo "ok: $*"; passed=$((passed + 1)); }
passed=0

debs=("$build"/kestrelbench_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "expected one kestrelbench_*.deb in $build (run make package)"
deb=${debs[0]}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# Contents: the program and grindle together, a link in the PATH, the desktop's files.
contents=$(dpkg-deb -c "$deb" | awk '{print $6 ($7 == "->" ? " -> " $8 : "")}')
for f in ./usr/lib/kestrelbench/kestrelbench ./usr/lib/kestrelbench/grindle ./usr/lib/kestrelbench/system-wide \
         "./usr/bin/kestrelbench -> ../lib/kestrelbench/kestrelbench" \
         ./usr/share/applications/kestrelbench.desktop ./usr/share/mime/packages/kestrelbench-rbf.xml \
         ./usr/share/metainfo/io.kestrelbench.kestrelbench.metainfo.xml \
         ./usr/share/icons/hicolor/scalable/apps/kestrelbench.svg \
         ./usr/share/man/man1/kestrelbench.1.gz ./usr/share/man/man1/grindle.1.gz \
         ./usr/share/doc/kestrelbench/copyright ./usr/share/doc/kestrelbench/changelog.gz; do
  grep -qxF "$f" <<<"$contents" || fail "$f is not in the package"
done
dpkg-deb -x "$deb" "$scratch/root"
for size in 16 22 24 32 48 64 128 256; do
  png="$scratch/root/usr/share/icons/hicolor/${size}x${size}/apps/kestrelbench.png"
  [ "$(file -b "$png" 2>/dev/null | grep -o '[0-9]* x [0-9]*')" = "$size x $size" ] || fail "no ${size}x${size} PNG icon"
done
ok "the package holds program, grindle, link, desktop entry, MIME type, metadata, icons, man pages"

# Dependencies computed from the binaries, not written by hand.
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libqt6widgets6 libqscintilla2-qt6 libstdc++6; do
  grep -q "$lib" <<<"$depends" || fail "Depends lacks $lib: $depends"
done
ok "dependencies come from the binaries ($depends)"

lintian --fail-on error "$deb" > "$scratch/lintian.txt" 2>&1 \
  || { cat "$scratch/lintian.txt" >&2; fail "lintian reports errors"; }
grep '^[EW]:' "$scratch/lintian.txt" || true
ok "lintian reports no errors"
appstreamcli validate --no-net "$scratch/root/usr/share/metainfo/io.kestrelbench.kestrelbench.metainfo.xml" \
  || fail "AppStream metadata invalid"
desktop-file-validate "$scratch/root/usr/share/applications/kestrelbench.desktop" || fail "desktop entry invalid"
grep -qx 'Exec=/usr/bin/kestrelbench %F' "$scratch/root/usr/share/applications/kestrelbench.desktop" \
  || fail "the desktop entry does not hand every file to /usr/bin/kestrelbench"
ok "AppStream metadata and desktop entry are valid"

if [ "$(id -u)" -ne 0 ]; then
  echo "package test: installing needs root; skipped"
  echo "$passed passed, 0 failed"
  exit 0
fi

# Installed with dpkg: the program runs from its link, and the desktop knows *.rbf.
dpkg -i "$deb" >/dev/null || fail "dpkg -i failed"
trap 'dpkg -r kestrelbench >/dev/null 2>&1; rm -rf "$scratch"' EXIT
installed=$(dpkg -L kestrelbench)
[ "$(/usr/bin/kestrelbench --version)" = "Kestrelbench 1.2.0" ] || fail "kestrelbench --version"
[ "$(/usr/lib/kestrelbench/grindle --version)" = "grindle 1.2.0" ] || fail "grindle --version"
grep -q 'application/x-kestrelbench-rbf:\*\.rbf' /usr/share/mime/globs2 || fail "*.rbf not in the MIME database"
grep -q '^application/x-kestrelbench-rbf=.*kestrelbench.desktop' /usr/share/applications/mimeinfo.cache \
  || fail "the desktop does not offer kestrelbench.desktop for RBF files"
ok "installed: the program runs, *.rbf files open with the desktop entry"

bash "$src/tests/e2e/package_session.sh" "$src" "$build" || fail "the session against the installed program failed"
ok "a session against /usr/bin/kestrelbench works"

dpkg -r kestrelbench >/dev/null || fail "dpkg -r failed"
trap 'rm -rf "$scratch"' EXIT
dpkg-query -W -f='${db:Status-Status}' kestrelbench 2>/dev/null | grep -qv '^not-installed$' \
  && fail "dpkg still knows the package: $(dpkg-query -W -f='${db:Status-Status}' kestrelbench)"
while IFS= read -r f; do
  [ -e "$f" ] || [ -L "$f" ] || continue
  # Folders that other packages own too (/usr/share/icons/hicolor/...) stay; nothing else may.
  [ -d "$f" ] && [ ! -L "$f" ] && dpkg -S "$f" >/dev/null 2>&1 && continue
  fail "$f is left after dpkg -r"
done <<<"$installed"
[ ! -e /usr/lib/kestrelbench ] || fail "/usr/lib/kestrelbench is left"
! grep -q 'kestrelbench' /usr/share/mime/globs2 || fail "the MIME type is left in the database"
! grep -q 'kestrelbench.desktop' /usr/share/applications/mimeinfo.cache 2>/dev/null || fail "the desktop still offers it"
ok "dpkg -r leaves nothing of the package"
echo "$passed passed, 0 failed"
