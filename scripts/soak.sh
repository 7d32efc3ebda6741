#!/usr/bin/env bash
# The long validation run under AddressSanitizer and UndefinedBehaviorSanitizer: builds lorimane-soak
# in the "sanitize" preset and runs it (ten minutes unless told otherwise). Random settings,
# automation, MIDI controllers, program changes loaded in a worker thread, preset loads from a UI
# thread, and changing sample rates and block lengths, all from one seed. Any sanitizer report ends
# the run with a failure.
#
#     scripts/soak.sh [seconds] [seed]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
seed=${2:-2026}
cmake --preset sanitize >/dev/null
cmake --build --preset sanitize --target lorimane-soak
export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}
exec build/sanitize/tests/validation/lorimane-soak "$seconds" "$seed"
