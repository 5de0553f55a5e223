#!/usr/bin/python3
"""Plays a whole game of Tavrin by keys alone, deciding from what Orca says.

A driver for tools/orca-speech.sh: it prints keys, one a line, and reads Orca's debug file
($ORCA_LOG) to see what they did. Each turn is L (the next playable cell), then Enter there, or
Alt+C when Orca says that no cell is playable. When the result question is read, it answers No
(no new game) and saves the record in the Save dialog under the name given.

    ORCA_SPEECH_DRIVER="tools/orca-play-game.py /tmp/game.tvr" \\
        tools/orca-speech.sh build/src/app/tavrin F2
"""
import os
import sys
import time

LOG = os.environ["ORCA_LOG"]
MARK = "SPEECH OUTPUT: '"


def said_since(offset):
    """The lines Orca has spoken since byte `offset` of its debug file (the first line of each
    text only), and the new offset."""
    with open(LOG, "rb") as log:
        log.seek(offset)
        data = log.read()
    # A line still being written waits for the next look.
    data = data[: data.rfind(b"\n") + 1]
    lines = data.decode("utf-8", errors="replace").splitlines()
    return [line.split(MARK, 1)[1] for line in lines if MARK in line], offset + len(data)


def press(*keys):
    for key in keys:
        print(key, flush=True)


def wait_for(offset, wanted, seconds=5.0):
    """Everything said from `offset` until a line containing one of `wanted` (or the time is up)."""
    heard = []
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        lines, offset = said_since(offset)
        heard += lines
        if any(w in line for line in heard for w in wanted):
            break
        time.sleep(0.2)
    return heard, offset


def main():
    record = sys.argv[1]
    _, offset = said_since(0)
    passes = 0
    for _ in range(400):
        # The result question may come right after the exchange that ended the game: L does
        # nothing in its box.
        press("l")
        heard, offset = wait_for(offset, ["可落子", "重新来一盘"])
        if any("重新来一盘" in line for line in heard):
            break
        if not any("可落子" in line for line in heard):
            continue
        press("alt+c" if any("没有可落子的位置" in line for line in heard) else "Return")
        heard, offset = wait_for(offset, ["notification 白棋", "重新来一盘"])
        if any("重新来一盘" in line for line in heard):
            break
        passes = passes + 1 if any("白棋放弃；电脑无子可下" in line for line in heard) else 0
        if passes == 2:
            sys.exit("neither side can move")
    press("n")
    wait_for(offset, ["保存这盘棋"])
    press("sleep:1", "ctrl+a", "type:" + record, "Return", "sleep:2")


if __name__ == "__main__":
    main()
