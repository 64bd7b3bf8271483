#!/usr/bin/env bash
# Builds the core and its tests under AddressSanitizer and UndefinedBehaviorSanitizer and runs them.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh core
cmake --preset asan >/dev/null
cmake --build --preset asan --parallel "$(nproc)"
ctest --preset asan --parallel "$(nproc)"
