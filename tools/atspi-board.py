#!/usr/bin/python3
"""Reads Tavrin's board as a screen reader does, through AT-SPI, and can play it by keyboard.

Run it in the desktop session of a running Tavrin whose accessibility is on (a screen reader
running, or QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1), with the system python3 and python3-pyatspi:

    tools/atspi-board.py            lists the 16 rows of cells and the last notification
    tools/atspi-board.py --play N   plays N turns with xdotool keys (arrows, Return, Alt+C): each
                                    turn on the first cell named "可落子", printing the
                                    notification that tells of the exchange
"""
import subprocess
import sys
import time

import pyatspi


SIZE = 16


def find(role, name=None):
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name.lower().startswith("tavrin"):
            found = pyatspi.findDescendant(
                app, lambda node: node.getRole() == role and (name is None or node.name == name))
            if found is not None:
                return found
    return None


def find_board():
    return find(pyatspi.ROLE_TABLE, "棋盘") or sys.exit(
        "no board: is Tavrin running with accessibility on?")


def last_notification():
    notice = find(pyatspi.ROLE_NOTIFICATION)
    return notice.name if notice is not None else ""


# The board's cells are its children, row by row: cell (x, y) is child (y - 1) * 16 + x - 1.
def cell_names(board):
    return [[board.getChildAtIndex(row * SIZE + column).name for column in range(SIZE)]
            for row in range(SIZE)]


def focus_cell(board):
    for index in range(board.childCount):
        if board.getChildAtIndex(index).getState().contains(pyatspi.STATE_FOCUSED):
            return index % SIZE + 1, index // SIZE + 1
    return 8, 8


def keys(*names):
    subprocess.run(["xdotool", "key", "--delay", "20", *names], check=True)


def play(board, turns):
    for turn in range(turns):
        names = [name for row in cell_names(board) for name in row]
        legal = [name.split()[0] for name in names if name.endswith("可落子")]
        if not legal:
            keys("alt+c")
            print(f"turn {turn + 1}: pass -> {last_notification()}")
        else:
            x, y = map(int, legal[0].split(","))
            fx, fy = focus_cell(board)
            moves = (["Right"] * (x - fx) + ["Left"] * (fx - x)
                     + ["Down"] * (y - fy) + ["Up"] * (fy - y))
            keys(*moves, "Return")
            time.sleep(0.3)
            print(f"turn {turn + 1}: {legal[0]} -> {last_notification()}")
        time.sleep(0.2)


def main():
    board = find_board()
    print(f"{board.getRoleName()} '{board.name}': {board.childCount} cells")
    if len(sys.argv) > 2 and sys.argv[1] == "--play":
        play(board, int(sys.argv[2]))
        return
    for row in cell_names(board):
        print(" | ".join(row))
    print(f"last notification: '{last_notification()}'")


if __name__ == "__main__":
    main()
