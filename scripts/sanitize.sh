#!/usr/bin/env bash
# Builds everything with its tests under AddressSanitizer and UndefinedBehaviorSanitizer and runs them.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh test
cmake --preset asan >/dev/null
cmake --build --preset asan --parallel "$(nproc)"
ctest --preset asan --parallel "$(nproc)"
# A longer run of random input through the window with a fresh seed each time; a failure
# prints its seed and event number, and the same two variables replay it. About a minute and
# a half on two cores; the timeout stops a run that hangs.
seed="${QUORVALE_RANDOM_SEED:-$(date +%s)}"
events="${QUORVALE_RANDOM_EVENTS:-5000}"
echo "random input under the sanitizers: QUORVALE_RANDOM_SEED=$seed QUORVALE_RANDOM_EVENTS=$events"
QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0:halt_on_error=1 \
    QUORVALE_RANDOM_SEED="$seed" QUORVALE_RANDOM_EVENTS="$events" \
    timeout 420 build/asan/tests/random_input_tests
