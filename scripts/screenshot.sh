#!/usr/bin/env bash
# Remakes docs/screenshot.png, the picture in the README and the software centre's listing,
# from the real window drawn under Qt's offscreen platform (no display needed).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh run
cmake --preset default -DQUORVALE_BUILD_TESTS=OFF -DQUORVALE_BUILD_BENCH=OFF >/dev/null
cmake --build --preset default --parallel "$(nproc)" --target quorvale-screenshot quorvale-tool
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A parent with some character: a segmented, insect-like morph.
build/default/tools/quorvale-tool save "$work/insect.bio" \
  --genes=-30,10,-20,40,20,-10,30,-20,6,3,15,0,0,100,0,1,2,1,0
mkdir -p docs
XDG_CONFIG_HOME="$work/config" QT_QPA_PLATFORM=offscreen \
  build/default/packaging/quorvale-screenshot docs/screenshot.png "$work/insect.bio"
echo "docs/screenshot.png written"
