#!/usr/bin/env bash
# The drag folder: a start removes the folders of runs that ended without removing their own,
# keeps those of programs still running, and a program ended by SIGTERM removes its own.
#   DragFolderTest.sh PATH/TO/quorvale
set -u
quorvale=$1
dir=$(mktemp -d)
alive=
pid=
cleanup() {
    [ -n "$alive" ] && kill "$alive" 2>/dev/null
    [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null
    rm -rf "$dir"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
export XDG_RUNTIME_DIR="$dir/run" XDG_CONFIG_HOME="$dir/config" QT_QPA_PLATFORM=offscreen
mkdir -m 700 "$dir/run"
drag="$dir/run/quorvale-drag"
mkdir -m 700 "$drag"

# A run that has ended, and one that still runs.
sleep 0 &
dead=$!
wait "$dead"
mkdir "$drag/$dead" && touch "$drag/$dead/biomorph-1.bio"
sleep 60 &
alive=$!
mkdir "$drag/$alive" && touch "$drag/$alive/biomorph-1.bio"

"$quorvale" &
pid=$!
for _ in $(seq 200); do
    [ -d "$drag/$dead" ] || break
    sleep 0.1
done
[ -d "$drag/$dead" ] && fail "the folder of an ended run was kept"
[ -f "$drag/$alive/biomorph-1.bio" ] || fail "the folder of a running program was removed"
kill -0 "$pid" 2>/dev/null || fail "the program did not start"

# Its own drag files, as a drag would leave them, go with it when the session ends it.
mkdir -p "$drag/$pid" && touch "$drag/$pid/biomorph-1.bio" "$drag/$pid/biomorph-1.png"
kill -TERM "$pid"
wait "$pid"
rc=$?
pid=
[ "$rc" -eq 0 ] || fail "SIGTERM ended the program with $rc, not as its own Exit"
for entry in "$drag"/*; do
    case $(basename "$entry") in
        "$alive") ;;
        *) fail "left behind: $entry" ;;
    esac
done
echo "drag folders: ok"
