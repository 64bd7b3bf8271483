#!/usr/bin/env bash
# Installs what is missing, builds Quorvale and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh run
# The program and the tool only: the tests (and their libraries) are scripts/test.sh's.
cmake --preset default -DQUORVALE_BUILD_TESTS=OFF -DQUORVALE_BUILD_BENCH=OFF >/dev/null
cmake --build --preset default --parallel "$(nproc)" --target quorvale quorvale-tool
exe=build/default/app/quorvale
# On a machine without a display, run it on a virtual one.
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && command -v xvfb-run >/dev/null; then
  exec xvfb-run -a "$exe" "$@"
fi
exec "$exe" "$@"
