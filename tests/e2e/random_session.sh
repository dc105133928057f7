#!/usr/bin/env bash
# End-to-end: a randomized session of clicks and keys over the real window (see
# random_session.py). Seeds: KESTREL_RANDOM_SEEDS, a count N (seeds 1..N) or a list "4,17";
# steps per seed: KESTREL_RANDOM_STEPS. A failure names its seed; the same seed repeats the same
# steps.
set -uo pipefail
src=${1:?source dir}
build=${2:?build dir}
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
command -v python3 >/dev/null || { echo "e2e: python3 is not installed; skipped"; exit 0; }
use_logging_converter
# As in CI: the sanitizer build's leak report at exit lists system libraries' (D-Bus) allocations.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0}
export E2E_SRC="$src" E2E_BUILD="$build" E2E_EXE="$exe" E2E_DATA="$data" E2E_WORK="$work"
python3 "$(dirname "$0")/random_session.py" "${KESTREL_RANDOM_SEEDS:-3}" "${KESTREL_RANDOM_STEPS:-150}"
