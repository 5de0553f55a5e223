#!/usr/bin/env bash
# Unpacks the package built by build_deb.sh and checks its files and its control data.
# Usage: check_deb_contents.sh OUT_DIR SOURCE_DIR
set -euo pipefail
out=${1:?usage: check_deb_contents.sh OUT_DIR SOURCE_DIR}
source=${2:?usage: check_deb_contents.sh OUT_DIR SOURCE_DIR}
deb=$(ls "$out"/tavrin_*.deb)
fail() { echo "FAIL: $deb: $*" >&2; exit 1; }

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"

for program in usr/bin/tavrin usr/bin/tavrin-replay; do
    [[ -f $root/$program && -x $root/$program ]] || fail "no executable $program"
done

# Installed data must be the project's own files, under the application id.
same_file() {
    [[ -f $root/$1 ]] || fail "no $1"
    cmp -s "$root/$1" "$source/data/$2" || fail "$1 differs from data/$2"
}
same_file usr/share/applications/example.tavrin.Tavrin.desktop example.tavrin.Tavrin.desktop
same_file usr/share/applications/example.tavrin.Tavrin.Review.desktop \
    example.tavrin.Tavrin.Review.desktop
same_file usr/share/mime/packages/example.tavrin.Tavrin.xml example.tavrin.Tavrin.mime.xml
same_file usr/share/metainfo/example.tavrin.Tavrin.metainfo.xml example.tavrin.Tavrin.metainfo.xml
same_file usr/share/icons/hicolor/scalable/apps/example.tavrin.Tavrin.svg icons/tavrin.svg
for size in 16 32 48 128; do
    icon=usr/share/icons/hicolor/${size}x${size}/apps/example.tavrin.Tavrin.png
    same_file "$icon" "icons/tavrin-$size.png"
    file -b "$root/$icon" | grep -qF "PNG image data, $size x $size," ||
        fail "$icon is not a $size x $size PNG"
done

control=$(dpkg-deb -f "$deb")
field() { sed -n "s/^$1: //p" <<<"$control"; }
[[ $(field Package) == tavrin ]] || fail "package name is '$(field Package)'"
[[ $(field Maintainer) == 'The Tavrin developers <dev@tavrin.example>' ]] ||
    fail "maintainer is '$(field Maintainer)'"
depends=$(field Depends)
for needed in fonts-arphic-uming libqt6core6 libqt6gui6 libqt6widgets6 libcurl4; do
    grep -qE "(^|, )$needed( |,|$)" <<<"$depends" || fail "Depends lacks $needed: $depends"
done
# The feed is fetched with libcurl; Qt's network stack is not needed.
if grep -qE "(^|, )libqt6network6( |,|$)" <<<"$depends"; then
    fail "Depends names libqt6network6: $depends"
fi

# Nothing of the build tree may be needed at run time.
for program in usr/bin/tavrin usr/bin/tavrin-replay; do
    if readelf -d "$root/$program" | grep -qE 'R(UN)?PATH'; then
        fail "$program carries a library search path"
    fi
done
echo "ok: $deb"
