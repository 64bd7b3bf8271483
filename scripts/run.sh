#!/usr/bin/env bash
# Installs what is missing, builds Quorvale and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh all
cmake --preset default >/dev/null
# The program and the tool only; the tests are built by scripts/test.sh.
cmake --build --preset default --parallel "$(nproc)" --target quorvale quorvale-tool
exe=build/default/app/quorvale
if [ -x "$exe" ]; then
  if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && command -v xvfb-run >/dev/null; then
    exec xvfb-run -a "$exe" "$@"
  fi
  exec "$exe" "$@"
fi
# Until the window is built, show the basic morph as a picture.
out="$PWD/build/basic-morph.svg"
build/default/tools/quorvale-tool render --basic -o "$out"
echo "The basic morph is drawn in $out"
