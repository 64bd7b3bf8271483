#!/usr/bin/env bash
# Builds the Debian package: build/default/quorvale_VERSION_ARCH.deb. Install it with
#   sudo apt install ./build/default/quorvale_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh package
cmake --preset default -DQUORVALE_BUILD_TESTS=OFF -DQUORVALE_BUILD_BENCH=OFF >/dev/null
cmake --build --preset default --parallel "$(nproc)" \
  --target quorvale quorvale-tool quorvale-thumbnailer
(cd build/default && cpack -G DEB)
ls -1 "$PWD"/build/default/quorvale_*.deb
