#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build over its seeds in fuzz/corpus/<name>, then for a while on
# inputs of its own: scripts/run-fuzz.sh BUILD_DIR SECONDS_PER_TARGET [NAME...]
# New inputs go to BUILD_DIR/fuzz-corpus/<name>, never into the repository. A failing target leaves
# its input in BUILD_DIR/fuzz-findings/<name>/ and the script fails; copy that input into
# fuzz/corpus/<name>/ once the fault is mended, so that every later run tries it first.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:?usage: run-fuzz.sh BUILD_DIR SECONDS_PER_TARGET [NAME...]}
seconds=${2:?usage: run-fuzz.sh BUILD_DIR SECONDS_PER_TARGET [NAME...]}
shift 2
build=$(cd "$build" && pwd)

if [ $# -gt 0 ]; then
  names=("$@")
else
  names=()
  for dir in "$here"/fuzz/corpus/*/; do
    names+=("$(basename "$dir")")
  done
fi

# Leaks are faults too; the sanitizers stop at the first report. A smaller quarantine for freed
# memory keeps long runs far below the memory limit (the default one grows a process to gigabytes).
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:quarantine_size_mb=64}:abort_on_error=1
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}:halt_on_error=1

summary=()
failed=0
for name in "${names[@]}"; do
  fuzzer="$build/fuzz/fuzz_$name"
  seeds="$here/fuzz/corpus/$name"
  if [ ! -x "$fuzzer" ]; then
    echo "run-fuzz: $fuzzer is missing (build the target 'fuzzers')" >&2
    exit 2
  fi
  [ -d "$seeds" ] || { echo "run-fuzz: no seeds in $seeds" >&2; exit 2; }
  work="$build/fuzz-corpus/$name"
  findings="$build/fuzz-findings/$name"
  mkdir -p "$work" "$findings"
  log="$build/fuzz-findings/$name.log"
  echo "== fuzz_$name: ${seconds}s over $(find "$seeds" -type f | wc -l) seeds"
  # -timeout: an input that takes this long is a hang; -rss_limit_mb: or runs away with memory.
  if "$fuzzer" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -print_final_stats=1 \
       -artifact_prefix="$findings/" "$work" "$seeds" >"$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)
    summary+=("fuzz_$name: ${runs:-?} runs, ${rate:-?}/s")
    echo "   ${runs:-?} runs, ${rate:-?} per second"
  else
    failed=$((failed + 1))
    summary+=("fuzz_$name: FAILED")
    tail -n 60 "$log"
    echo "run-fuzz: fuzz_$name failed; its input is in $findings/" >&2
  fi
done

echo "== fuzzing"
printf '   %s\n' "${summary[@]}"
passed=$(( ${#names[@]} - failed ))
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
