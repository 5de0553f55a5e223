#!/usr/bin/env bash
# Runs the replay tool from the unpacked package on the system's own libraries only.
# Usage: check_deb_replay.sh OUT_DIR VERSION
set -euo pipefail
out=${1:?usage: check_deb_replay.sh OUT_DIR VERSION}
version=${2:?usage: check_deb_replay.sh OUT_DIR VERSION}
deb=$(ls "$out"/tavrin_*.deb)
fail() { echo "FAIL: $deb: $*" >&2; exit 1; }

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
replay=$root/usr/bin/tavrin-replay

# Nothing in the tool, its review window included, reaches the network or parses feeds.
if linked=$(env -u LD_LIBRARY_PATH ldd "$replay" | grep -iE 'libQt6Network|libcurl|libpugixml'); then
    fail "links $linked"
fi

shown=$(env -u LD_LIBRARY_PATH "$replay" --version) || fail "--version failed"
[[ $shown == "tavrin-replay $version" ]] || fail "--version printed '$shown'"

# The first exchange of a game: white (10, 9), then the computer's answer (10, 8).
printf ' 10  9 \r\n 10  8 \r\n' >"$root/opening.tvr"
env -u LD_LIBRARY_PATH "$replay" --check-computer "$root/opening.tvr" >"$root/shown.txt" ||
    fail "replaying a two-entry record failed"
grep -qF 'the game is not over' "$root/shown.txt" || fail "unexpected output: $(cat "$root/shown.txt")"
# A picture needs the window system's libraries, and is drawn off screen without a display.
env -u LD_LIBRARY_PATH -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM \
    "$replay" --png "$root/opening.png" "$root/opening.tvr" >/dev/null || fail "--png failed"
file -b "$root/opening.png" | grep -qF 'PNG image data, 340 x 340,' ||
    fail "--png wrote $(file -b "$root/opening.png")"
echo "ok: $replay"
