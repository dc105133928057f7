#!/usr/bin/env bash
# Prepares the demo that `make run` starts:
#   BUILD_DIR/demo/      sample RBF files made by grindle from samples/*.txt, and demo.ucs
#   BUILD_DIR/demo-bin/  copies of kestrelbench and grindle, and a Kestrelbench.ini that points at
#                        them (written only when there is none, so a user's settings are kept)
# Samples are converted again only when they are newer than their RBF file, so edits made in the
# demo survive the next `make run`.
set -euo pipefail

if [ $# -ne 1 ]; then
  echo "usage: $0 BUILD_DIR" >&2
  exit 2
fi
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
grindle="$build/grindle"
if [ ! -x "$grindle" ]; then
  echo "make-demo.sh: $grindle is not built yet" >&2
  exit 1
fi

demo="$build/demo"
mkdir -p "$demo"
# Convert in a folder of our own: an x.txt beside x.rbf may be the editor's open page.
work=$(mktemp -d "$build/.make-demo.XXXXXX")
trap 'rm -rf "$work"' EXIT
for sample in "$here"/samples/*.txt; do
  name=$(basename "$sample" .txt)
  if [ "$demo/$name.rbf" -nt "$sample" ]; then
    continue
  fi
  cp "$sample" "$work/$name.txt"
  "$grindle" -q -i "$work/$name.txt"
  mv -f "$work/$name.rbf" "$demo/$name.rbf"
  rm -f "$work/$name.txt"
done
if [ ! "$demo/demo.ucs" -nt "$here/samples/demo.ucs" ]; then
  cp "$here/samples/demo.ucs" "$demo/demo.ucs"
fi

# Copies, not links: the program looks for its settings beside its own resolved path.
bin="$build/demo-bin"
mkdir -p "$bin"
for program in kestrelbench grindle; do
  if [ -x "$build/$program" ]; then
    # Through a new file and a rename, so that a running copy is not overwritten in place.
    cp "$build/$program" "$bin/.$program.new"
    mv -f "$bin/.$program.new" "$bin/$program"
  else
    echo "make-demo.sh: $build/$program is not built; not copied" >&2
  fi
done

ini="$bin/Kestrelbench.ini"
if [ ! -e "$ini" ]; then
  printf '[Main]\r\nGrindle=%s\r\nUCSPath=%s||\r\nLastFolder=%s\r\n' \
    "$bin/grindle" "$demo/demo.ucs" "$demo" > "$ini"
fi
echo "Demo ready: $demo"
