#!/usr/bin/env bash
# A converter for the end-to-end sessions: grindle beside this script, with two additions that a
# session switches on with files beside the script. A folder "text-log": every text handed in for
# saving is copied there first, numbered in order and named after the file, so a session can
# compare what was saved with what it typed. A file "save-delay" holding seconds: a save sleeps
# that long before it converts, so a session can type while the program waits. A file
# "open-delay" likewise for conversions of an RBF file (opens and reopens).
here=$(dirname "$0")
input=${!#}
case "$input" in
*.txt | *.TXT)
  if [ -d "$here/text-log" ]; then
    n=$(find "$here/text-log" -maxdepth 1 -type f -name '[0-9]*' | wc -l)
    # Whole or not at all: a session may look at the log while the copy is written.
    cp "$input" "$here/text-log/.copying" &&
      mv "$here/text-log/.copying" "$here/text-log/$(printf '%05d' "$n")-$(basename "$input")"
  fi
  if [ -f "$here/save-delay" ]; then
    sleep "$(cat "$here/save-delay")"
  fi
  ;;
*.rbf | *.RBF)
  if [ -f "$here/open-delay" ]; then
    sleep "$(cat "$here/open-delay")"
  fi
  ;;
esac
exec "$here/grindle" "$@"
