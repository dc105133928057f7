#!/usr/bin/env bash
# Kestrelbench beside the peer editors that are installed (geany, kate, featherpad) on the same
# generated text, each started with the file on its command line on one X display of its own
# (Xvfb, no window manager). Kestrelbench opens the RBF file of that text, so its figures hold the
# conversion and the tree build. Runs are interleaved (every editor once per size, then the next
# round), after one start of each editor that is not counted (warm caches). Each run is measured
# by bench/peer_probe.py: settled = the process tree's CPU time has not grown for 500 ms after
# the main window mapped (polled every 20 ms); peak memory = VmHWM of the started process.
#
#   bench/peers.sh BUILD_DIR [ROUNDS]          (make bench-peers: a Release build, 5 rounds)
#   PEERS_SIZES="100000 1000000" PEERS_EDITORS="kestrelbench geany kate featherpad"
#   PEERS_KEEP=DIR keeps the raw results (one JSON line per run) in DIR/peers.jsonl.
#   PEERS_BEFORE=DIR adds "kestrelbench-before": DIR's kestrelbench (an earlier build, say) with
#   this build's grindle, for a comparison in the same run.
set -euo pipefail

build=$(cd "${1:?usage: peers.sh BUILD_DIR [ROUNDS]}" && pwd)
rounds=${2:-5}
here=$(cd "$(dirname "$0")" && pwd)
sizes=${PEERS_SIZES:-"100000 1000000"}
editors=${PEERS_EDITORS:-"kestrelbench geany kate featherpad"}
timeout_s=${PEERS_TIMEOUT:-60}
for tool in Xvfb xdpyinfo python3; do
  command -v "$tool" >/dev/null || { echo "peers.sh: $tool is not installed" >&2; exit 1; }
done
for program in kestrelbench grindle; do
  [ -x "$build/$program" ] || { echo "peers.sh: $build/$program is not built" >&2; exit 1; }
done

work=$(mktemp -d)
xvfb=
cleanup() {
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n 1 "$work/display")"
xdpyinfo >/dev/null 2>&1 || { echo "peers.sh: Xvfb did not start" >&2; exit 1; }
export QT_QPA_PLATFORM=xcb
# Caches (fonts) are shared and warm; settings and sessions are new for every run.
export XDG_CACHE_HOME="$work/cache"
mkdir -p "$XDG_CACHE_HOME"

[ -n "${PEERS_BEFORE:-}" ] && editors="$editors kestrelbench-before"
installed=()
for editor in $editors; do
  if [[ $editor == kestrelbench* ]] || command -v "$editor" >/dev/null; then
    installed+=("$editor")
  else
    echo "# $editor is not installed: left out (make bench-peers installs it)" >&2
  fi
done

# The texts: grindle's generator (CR LF, some code-page-1252 letters), and the RBF file of each.
exe="$work/exe"
mkdir -p "$exe" "$work/text" "$work/rbf"
cp "$build/kestrelbench" "$build/grindle" "$exe/"
printf '[Main]\r\nMaximized=0\r\nWidth=1200\r\nHeight=900\r\nGrindle=%s\r\nUCSPath=\r\nLastFolder=%s\r\n' \
  "$exe/grindle" "$work/rbf" > "$exe/Kestrelbench.ini"
if [ -n "${PEERS_BEFORE:-}" ]; then
  mkdir -p "$work/exe-before"
  cp "$PEERS_BEFORE/kestrelbench" "$work/exe-before/"
  cp "$build/grindle" "$work/exe-before/"
  sed "s|$exe/|$work/exe-before/|" "$exe/Kestrelbench.ini" > "$work/exe-before/Kestrelbench.ini"
fi
for n in $sizes; do
  "$build/grindle" --generate "$n" "$work/text/text$n.txt" >/dev/null
  cp "$work/text/text$n.txt" "$work/rbf/text$n.txt"
  "$build/grindle" -q -i "$work/rbf/text$n.txt"
  rm "$work/rbf/text$n.txt"
  peak=$(python3 -c 'import resource, subprocess, sys
subprocess.run(sys.argv[1:], check=True)
print(resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss // 1024)' \
    "$build/grindle" -q -i "$work/rbf/text$n.rbf")
  rm "$work/rbf/text$n.txt"
  echo "# $n lines: text $(stat -c %s "$work/text/text$n.txt") bytes, RBF $(stat -c %s "$work/rbf/text$n.rbf") bytes;" \
       "grindle's own peak converting it: $peak MiB" >&2
done

command_of() { # editor lines: the command line that opens the text
  case $1 in
    kestrelbench) echo "$exe/kestrelbench $work/rbf/text$2.rbf" ;;
    kestrelbench-before) echo "$work/exe-before/kestrelbench $work/rbf/text$2.rbf" ;;
    geany) echo "geany --new-instance --no-session --no-plugins $work/text/text$2.txt" ;;
    kate) echo "kate --new $work/text/text$2.txt" ;;
    featherpad) echo "featherpad --standalone $work/text/text$2.txt" ;;
    *) echo "$1 $work/text/text$2.txt" ;;
  esac
}
one_run() { # editor lines
  local home="$work/home"
  rm -rf "$home"
  mkdir -p -m 700 "$home/config" "$home/runtime" "$home/state" "$home/data"
  # Kestrelbench writes x.txt beside x.rbf and deletes it at a close; a killed run leaves it.
  rm -f "$work/rbf/text$2.txt"
  # shellcheck disable=SC2046
  XDG_CONFIG_HOME="$home/config" XDG_RUNTIME_DIR="$home/runtime" XDG_STATE_HOME="$home/state" \
    XDG_DATA_HOME="$home/data" python3 "$here/peer_probe.py" run "$1" "$2" "$timeout_s" $(command_of "$1" "$2")
  if [[ $1 == kestrelbench* ]] && [ ! -s "$work/rbf/text$2.txt" ]; then
    echo "# $1 did not convert text$2.rbf" >&2
  fi
  rm -f "$work/rbf/text$2.txt"
}

smallest=$(echo "$sizes" | tr ' ' '\n' | sort -n | head -n 1)
for editor in "${installed[@]}"; do
  one_run "$editor" "$smallest" >/dev/null
done
results="$work/peers.jsonl"
for round in $(seq "$rounds"); do
  for n in $sizes; do
    for editor in "${installed[@]}"; do
      one_run "$editor" "$n" | tee -a "$results" >&2
    done
  done
done

echo "# $(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg)," \
     "$rounds rounds; medians, min-max in brackets"
python3 "$here/peer_probe.py" summary "$results"
if [ -n "${PEERS_KEEP:-}" ]; then
  mkdir -p "$PEERS_KEEP"
  cp "$results" "$PEERS_KEEP/peers.jsonl"
fi
