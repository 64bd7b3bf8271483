#!/usr/bin/env bash
# Installs, with apt-get and only when missing, the Debian packages Quorvale needs.
#
#   install-deps.sh run      building and running the program (what scripts/run.sh needs)
#   install-deps.sh package  that, plus what the Debian package is made with
#   install-deps.sh test     that, plus the test libraries and the desktop tools the tests use
#                            to check the installed tree and the package (scripts/test.sh)
#   install-deps.sh fuzz     the core build with clang and libFuzzer (scripts/fuzz.sh)
#   install-deps.sh all      everything (the default)
set -euo pipefail
what=${1:-all}

build=(cmake ninja-build g++ pkg-config)
# libxcb1-dev: the clipboard of another program is read over a connection of our own on X11.
gui=(qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev libxcb1-dev fonts-dejavu-core xvfb xauth)
# dpkg-shlibdeps (and file, with which CPack finds the binaries) work out the package's
# dependencies.
package=(dpkg-dev file)
# GoogleTest and Google Benchmark; the freedesktop validators, the MIME and launcher
# databases and xdg-utils (with the MIME reader it consults) for the installed-tree checks;
# the packaging tools; xdotool to find the window a launch opens; poppler-utils to look
# inside printed PDF files; xclip to hold the clipboard as another program does; CUPS with its
# PDF printer, a print queue for the printing tests (they start a private print daemon of
# their own).
tests=(libgtest-dev libgmock-dev libbenchmark-dev
       desktop-file-utils appstream shared-mime-info xdg-utils libfile-mimeinfo-perl
       "${package[@]}" xdotool poppler-utils xclip cups printer-driver-cups-pdf)
fuzz=(clang libclang-rt-14-dev)

case $what in
  run) want=("${build[@]}" "${gui[@]}") ;;
  package) want=("${build[@]}" "${gui[@]}" "${package[@]}") ;;
  test) want=("${build[@]}" "${gui[@]}" "${tests[@]}") ;;
  fuzz) want=("${build[@]}" "${fuzz[@]}") ;;
  all) want=("${build[@]}" "${gui[@]}" "${tests[@]}" "${fuzz[@]}") ;;
  *)
    echo "usage: install-deps.sh [run|package|test|fuzz|all]" >&2
    exit 2
    ;;
esac

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
