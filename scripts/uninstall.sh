#!/usr/bin/env bash
# Removes exactly the files that install.sh listed in its manifest, then the folders it made
# when they are left empty. The user's settings file and readme beside the program stay.
set -euo pipefail
prefix=${1:?usage: uninstall.sh PREFIX}
libdir="$prefix/lib/kestrelbench"
manifest="$libdir/install-manifest.txt"
[ -f "$manifest" ] || { echo "uninstall: nothing installed in $prefix" >&2; exit 1; }
while IFS= read -r f; do
  [ -n "$f" ] && rm -f -- "$f"
done < "$manifest"
rm -f -- "$manifest"
command -v update-mime-database >/dev/null && [ -d "$prefix/share/mime" ] && update-mime-database "$prefix/share/mime" >/dev/null 2>&1 || true
command -v update-desktop-database >/dev/null && [ -d "$prefix/share/applications" ] && update-desktop-database "$prefix/share/applications" >/dev/null 2>&1 || true
rmdir --ignore-fail-on-non-empty "$libdir" 2>/dev/null || true
echo "Uninstalled from $prefix"
