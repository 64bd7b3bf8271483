#!/usr/bin/env bash
# Builds the Debian package from a finished build, unpacks it into a throwaway root and uses
# it from there as a desktop would: the file type is known, Quorvale is the program that
# opens it, opening a .bio file (xdg-open, as a double-click does) starts Quorvale with that
# file, and the thumbnailer entry draws its picture.
#
#   check-deb.sh BUILD_DIR WORK_DIR VERSION
#
# Exits 77 (skipped) when the Debian tools are missing; the window check needs Xvfb and
# xdotool and is left out, saying so, without them.
set -euo pipefail
build=$(realpath "$1")
work=$2
version=$3
app_id=io.github.quorvale.Quorvale

for tool in cpack dpkg-deb dpkg-shlibdeps; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIPPED: $tool is not installed"
    exit 77
  fi
done

fail() {
  echo "!! $*" >&2
  exit 1
}

rm -rf "$work"
mkdir -p "$work"
work=$(realpath "$work")
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack failed"; }
debs=("$work"/out/quorvale_*.deb)
[ -f "${debs[0]}" ] || fail "no package in $work/out"
deb=${debs[0]}
echo "== $(basename "$deb"): $(du -h "$deb" | cut -f1)"

# The dependencies come from the binaries: the Qt libraries they link, nothing that only
# building or testing needs.
depends=$(dpkg-deb --field "$deb" Depends)
echo "Depends: $depends"
for needed in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6; do
  [[ ", $depends," == *", $needed "* || ", $depends," == *", $needed,"* ]] ||
    fail "Depends lacks $needed"
done
for unwanted in gtest gmock benchmark clang; do
  [[ $depends != *$unwanted* ]] || fail "Depends names $unwanted"
done
[ "$(dpkg-deb --field "$deb" Package)" = quorvale ] || fail "the package is not named quorvale"
# The program's own version, not another.
[ "$(dpkg-deb --field "$deb" Version)" = "$version" ] ||
  fail "the package's version is $(dpkg-deb --field "$deb" Version), not $version"

root=$work/root
dpkg-deb -x "$deb" "$root"
share=$root/usr/share
for path in usr/bin/quorvale usr/bin/quorvale-tool usr/bin/quorvale-thumbnailer \
    "usr/share/applications/$app_id.desktop" "usr/share/metainfo/$app_id.metainfo.xml" \
    "usr/share/mime/packages/$app_id.xml" "usr/share/thumbnailers/$app_id.thumbnailer" \
    "usr/share/icons/hicolor/scalable/apps/$app_id.svg" \
    "usr/share/icons/hicolor/48x48/apps/$app_id.png" \
    usr/share/man/man1/quorvale.1 usr/share/man/man1/quorvale-tool.1 \
    usr/share/doc/quorvale/LICENSE usr/share/doc/quorvale/copyright; do
  [ -e "$root/$path" ] || fail "the package lacks /$path"
done
# Only the program's own files: no headers, static libraries or test programs.
if dpkg-deb -c "$deb" | grep -E '\.(a|h|cmake)$|_tests$|/include/'; then
  fail "the package holds build files"
fi
export PATH="$root/usr/bin:$PATH"

# A real morph, written by the packaged tool.
bio=$work/insect.bio
quorvale-tool save "$bio" --genes -10,-20,-30,-20,-20,-10,10,20,6,1,20,0,0,100,0,1,2,1,0

# The thumbnailer entry's own command line, run as a file manager runs it.
exec_line=$(sed -n 's/^Exec=//p' "$share/thumbnailers/$app_id.thumbnailer")
thumb=$work/insect-thumbnail.png
command=${exec_line//%i/$bio}
command=${command//%o/$thumb}
command=${command//%s/256}
# shellcheck disable=SC2086 # the entry's words, split as a desktop splits them
$command || fail "the thumbnailer entry's command failed: $command"
[ "$(head -c 8 "$thumb" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] ||
  fail "the thumbnail is not a PNG"
echo "== thumbnail: $thumb"

# The desktop's view of the unpacked root only.
for tool in update-mime-database update-desktop-database xdg-mime mimetype; do
  if ! command -v "$tool" >/dev/null; then
    echo "== $tool is not installed: file-type and launcher checks left out"
    exit 0
  fi
done
update-mime-database "$share/mime"
update-desktop-database "$share/applications"
mkdir -p "$work/home" "$work/config"
unset XDG_CURRENT_DESKTOP DESKTOP_SESSION KDE_FULL_SESSION GNOME_DESKTOP_SESSION_ID
export XDG_DATA_DIRS=$share XDG_DATA_HOME=$work/home XDG_CONFIG_HOME=$work/config
export XDG_CONFIG_DIRS=$work/config HOME=$work/home
type=$(xdg-mime query filetype "$bio")
[ "$type" = application/x-quorvale-bio ] || fail "xdg-mime query filetype: $type"
handler=$(xdg-mime query default application/x-quorvale-bio)
[ "$handler" = "$app_id.desktop" ] || fail "xdg-mime query default: $handler"
echo "== $bio is $type, opened by $handler"

if ! command -v xvfb-run >/dev/null || ! command -v xdotool >/dev/null; then
  echo "== xvfb-run or xdotool is not installed: the window check is left out"
  exit 0
fi
# Open the file as a double-click does and wait for Quorvale's window to show it.
cat >"$work/open.sh" <<'SCRIPT'
set -u
xdg-open "$1" >"$2/xdg-open.log" 2>&1 &
window=$(timeout 60 xdotool search --sync --name 'insect\.bio - Quorvale' | head -n 1)
if [ -z "$window" ]; then
  echo "!! no Quorvale window showing insect.bio appeared" >&2
  cat "$2/xdg-open.log" >&2
  exit 1
fi
sleep 1
xdotool getwindowname "$window"
if command -v import >/dev/null; then
  import -window root "$2/window.png" || true
fi
pid=$(xdotool getwindowpid "$window")
kill "$pid"
wait
SCRIPT
# Once more if the first try fails: on a busy machine a virtual display can fail to come up
# (xvfb-run's choice of a free display races with other servers starting).
title=$(xvfb-run -a -s "-screen 0 1280x800x24" bash "$work/open.sh" "$bio" "$work") ||
  title=$(xvfb-run -a -s "-screen 0 1280x800x24" bash "$work/open.sh" "$bio" "$work") ||
  fail "opening the file did not start Quorvale"
echo "== window: $title"
[ -f "$work/window.png" ] && echo "== screenshot: $work/window.png"
echo "== the package installs, opens .bio files and draws their thumbnails"
