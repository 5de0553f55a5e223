#!/usr/bin/env bash
# Checks that the package lets a desktop open saved games in the review window: its review entry
# is valid and starts `tavrin-replay --view`, and with the unpacked tree as the only data folder
# besides the system's (after the caches a package install would build), xdg-mime takes a .tvr
# file for application/x-tavrin-record and names the review entry as its default application.
# Usage: check_deb_mime.sh OUT_DIR
set -euo pipefail
out=${1:?usage: check_deb_mime.sh OUT_DIR}
deb=$(ls "$out"/tavrin_*.deb)
fail() { echo "FAIL: $deb: $*" >&2; exit 1; }

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
share=$root/usr/share
entry=$share/applications/example.tavrin.Tavrin.Review.desktop

[[ -f $share/mime/packages/example.tavrin.Tavrin.xml ]] || fail 'no MIME definition'
[[ -f $entry ]] || fail 'no review entry'
output=$(desktop-file-validate "$entry" 2>&1) || fail "desktop-file-validate: $output"
[[ -z $output ]] || fail "desktop-file-validate reports: $output"
for line in 'Exec=tavrin-replay --view %f' 'MimeType=application/x-tavrin-record;' \
    'NoDisplay=true' 'Icon=example.tavrin.Tavrin'; do
    grep -qxF -- "$line" "$entry" || fail "review entry lacks $line"
done

# What dpkg's triggers do on install.
update-mime-database "$share/mime"
update-desktop-database "$share/applications"

# A desktop-neutral session with no settings of its own, so xdg-mime asks the shared MIME
# database (through `mimetype`) and the desktop entries, not a desktop's own tools.
home=$root/home
mkdir -p "$home"
printf ' 10  9 \r\n' >"$root/game.tvr"
query() {
    env -i PATH=/usr/bin:/bin HOME="$home" XDG_CONFIG_HOME="$home/.config" \
        XDG_DATA_HOME="$home/.local/share" XDG_DATA_DIRS="$share:/usr/share" xdg-mime query "$@"
}
type=$(query filetype "$root/game.tvr") || fail 'xdg-mime query filetype failed'
[[ $type == application/x-tavrin-record ]] || fail "a .tvr file is taken for '$type'"
default=$(query default application/x-tavrin-record) || fail 'xdg-mime query default failed'
[[ $default == example.tavrin.Tavrin.Review.desktop ]] ||
    fail "records open with '$default', not the review entry"
echo "ok: $type opens with $default"
