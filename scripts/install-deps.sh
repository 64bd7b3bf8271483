#!/usr/bin/env bash
# Installs, with apt-get and only when missing, the Debian packages needed to
# build Quorvale. Usage: install-deps.sh [core|gui|all]
set -euo pipefail
what=${1:-all}

core=(cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev libbenchmark-dev)
fuzz=(clang libclang-rt-14-dev)
gui=(qt6-base-dev qt6-base-dev-tools libgl-dev fonts-dejavu-core xvfb xauth)

want=("${core[@]}" "${fuzz[@]}")
if [ "$what" = gui ] || [ "$what" = all ]; then want+=("${gui[@]}"); fi

missing=()
for p in "${want[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo=sudo; fi
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
