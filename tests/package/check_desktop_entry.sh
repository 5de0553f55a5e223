#!/usr/bin/env bash
# Checks the launcher entry: valid for desktop-file-validate, and carrying the name, the
# categories, a Simplified Chinese comment and the icon the package installs.
# Usage: check_desktop_entry.sh FILE.desktop
set -euo pipefail
entry=${1:?usage: check_desktop_entry.sh FILE.desktop}
fail() { echo "FAIL: $entry: $*" >&2; exit 1; }

output=$(desktop-file-validate "$entry" 2>&1) || fail "desktop-file-validate: $output"
# Hints are not failures for the tool, but a clean entry should not have any either.
[[ -z $output ]] || fail "desktop-file-validate reports: $output"

has_line() { grep -qxF -- "$1" "$entry"; }
has_line 'Name=Tavrin' || fail 'no Name=Tavrin'
has_line 'Categories=Game;BoardGame;' || fail 'categories are not Game;BoardGame;'
has_line 'Exec=tavrin' || fail 'does not start tavrin'
has_line 'Icon=example.tavrin.Tavrin' || fail 'icon is not the application id'
grep -qE '^Comment\[zh_CN\]=.*[^[:space:]]' "$entry" || fail 'no Simplified Chinese comment'
echo "ok: $entry"
