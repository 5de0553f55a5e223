#!/usr/bin/env bash
# Builds the Debian package of an already built tree into an empty folder of its own.
# Usage: build_deb.sh BUILD_DIR OUT_DIR
set -euo pipefail
build=${1:?usage: build_deb.sh BUILD_DIR OUT_DIR}
out=${2:?usage: build_deb.sh BUILD_DIR OUT_DIR}

rm -rf "$out"
mkdir -p "$out"
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$out"
shopt -s nullglob
debs=("$out"/tavrin_*.deb)
if [[ ${#debs[@]} -ne 1 ]]; then
    echo "FAIL: expected one tavrin_*.deb in $out, found ${#debs[@]}" >&2
    exit 1
fi
echo "ok: ${debs[0]}"
