#!/usr/bin/env bash
# Installs Kestrelbench for one user (or a PREFIX of your choice):
#   PREFIX/lib/kestrelbench/   the program and grindle; the settings file and the readme are
#                              written beside the program, so this folder must be the user's
#   PREFIX/bin/kestrelbench    a launcher
#   PREFIX/share/...           desktop entry, icon and the MIME type for *.rbf files
# Every installed file is listed in PREFIX/lib/kestrelbench/install-manifest.txt for uninstall.sh.
set -euo pipefail
build=${1:?usage: install.sh BUILD_DIR PREFIX}
prefix=${2:?usage: install.sh BUILD_DIR PREFIX}
here=$(cd "$(dirname "$0")/.." && pwd)
prefix=$(mkdir -p "$prefix" && cd "$prefix" && pwd)
libdir="$prefix/lib/kestrelbench"
manifest="$libdir/install-manifest.txt"
for f in kestrelbench grindle; do
  [ -x "$build/$f" ] || { echo "install: $build/$f is missing; build first" >&2; exit 1; }
done
mkdir -p "$libdir" "$prefix/bin" "$prefix/share/applications" "$prefix/share/mime/packages" \
         "$prefix/share/icons/hicolor/scalable/apps"
installed=()
put() { # put SOURCE DEST MODE
  install -m "$3" "$1" "$2"
  installed+=("$2")
}
put "$build/kestrelbench" "$libdir/kestrelbench" 755
put "$build/grindle" "$libdir/grindle" 755
launcher=$(mktemp)
printf '#!/bin/sh\nexec "%s" "$@"\n' "$libdir/kestrelbench" > "$launcher"
put "$launcher" "$prefix/bin/kestrelbench" 755
rm -f "$launcher"
desktop=$(mktemp)
sed "s|@BINDIR@|$prefix/bin|g" "$here/packaging/kestrelbench.desktop.in" > "$desktop"
put "$desktop" "$prefix/share/applications/kestrelbench.desktop" 644
rm -f "$desktop"
put "$here/packaging/kestrelbench-rbf.xml" "$prefix/share/mime/packages/kestrelbench-rbf.xml" 644
put "$here/packaging/kestrelbench.svg" "$prefix/share/icons/hicolor/scalable/apps/kestrelbench.svg" 644
printf '%s\n' "${installed[@]}" > "$manifest"
# Caches that desktops read; refreshed when the tools are there, harmless when they are not.
command -v update-mime-database >/dev/null && update-mime-database "$prefix/share/mime" >/dev/null 2>&1 || true
command -v update-desktop-database >/dev/null && update-desktop-database "$prefix/share/applications" >/dev/null 2>&1 || true
echo "Installed into $prefix (launcher: $prefix/bin/kestrelbench)"
