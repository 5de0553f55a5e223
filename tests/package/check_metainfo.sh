#!/usr/bin/env bash
# Checks the AppStream metadata: valid for appstreamcli without the network, with a screenshot
# and a description in both English and Simplified Chinese, naming the launcher entry.
# Usage: check_metainfo.sh FILE.metainfo.xml
set -euo pipefail
metainfo=${1:?usage: check_metainfo.sh FILE.metainfo.xml}
fail() { echo "FAIL: $metainfo: $*" >&2; exit 1; }

appstreamcli validate --no-net "$metainfo" || fail 'appstreamcli validate --no-net failed'

has() { grep -qF -- "$1" "$metainfo"; }
has '<id>example.tavrin.Tavrin</id>' || fail 'id is not example.tavrin.Tavrin'
has '<launchable type="desktop-id">example.tavrin.Tavrin.desktop</launchable>' ||
    fail 'does not name the launcher entry'
grep -qE '<screenshot[ >]' "$metainfo" || fail 'no screenshot entry'
grep -qE '<image[^>]*>[^<]+</image>' "$metainfo" || fail 'the screenshot has no image'

# Paragraphs of the description: at least one without a language (English) and one in zh-CN.
description=$(sed -n '/<description>/,/<\/description>/p' "$metainfo")
grep -qE '<p>' <<<"$description" || fail 'no English description'
grep -qE '<p xml:lang="zh[-_]CN">' <<<"$description" || fail 'no Simplified Chinese description'
echo "ok: $metainfo"
