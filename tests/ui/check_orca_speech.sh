#!/usr/bin/env bash
# What Orca, Debian's screen reader, really says as a player finds a move with L, plays it, asks
# for the position with S, steps up a row, opens the rules with F1 and tabs to the banner.
#   check_orca_speech.sh ORCA_SPEECH_TOOL PROGRAM
set -uo pipefail
tool=$1
program=$2

said=$("$tool" "$program" F2 l Return sleep:1 Up s F1 sleep:1 Return Tab 2>/dev/null)
status=0
# The lines said after the first press of `key`, up to the next key.
after() {
    awk -v key="key: $1" '$0 == key { on = !seen; seen = 1; next } /^key: / { on = 0 } on' <<<"$said"
}
expect() { # name, what was said, the lines expected (an extended regular expression)
    if ! grep -qxE -- "$3" <<<"$2"; then
        echo "FAIL: $1: expected a line matching '$3', heard:"
        sed 's/^/    /' <<<"$2"
        status=1
    fi
}

expect "L speaks the playable cell it reaches" "$(after l)" 'said: 10,9 空 可落子\.'
expect "the exchange is heard without a key" "$(after Return)" \
    'said: notification 白棋落子 10,9，翻转 1 子；电脑落子 10,8，翻转 1 子。白棋 3 子，黑棋 3 子。'
expect "S speaks the counts and the clock" "$(after s)" \
    'said: notification 白棋现有 3 子，黑棋现有 3 子，用时 00:0[0-9]\.'
expect "one step up speaks one cell, alone" "$(after Up | paste -sd '|')" 'said: 10,8 黑棋\.'
expect "F1 speaks the rules" "$said" 'said: .*游戏规则非常简单.*'
expect "Tab reaches a banner caption" "$(after Tab)" 'said: .+ link\.'
exit $status
