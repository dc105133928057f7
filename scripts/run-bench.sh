#!/usr/bin/env bash
# Runs every benchmark of a benchmark build: the Google benchmarks, then the scenario on the real window.
set -euo pipefail
build=${1:?usage: run-bench.sh BUILD_DIR}
shopt -s nullglob
for b in "$build"/*_bench; do
  echo "== $(basename "$b")"
  "$b" --benchmark_min_time=0.2
done
if [ -x "$build/kestrel-scenario" ]; then
  echo "== kestrel-scenario"
  QT_QPA_PLATFORM=offscreen "$build/kestrel-scenario"
fi
if [ -x "$build/find-in-files-scenario" ]; then
  echo "== find-in-files-scenario"
  QT_QPA_PLATFORM=offscreen "$build/find-in-files-scenario"
fi
