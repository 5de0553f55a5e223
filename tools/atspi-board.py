#!/usr/bin/python3
"""Reads Tavrin's board as a screen reader does, through AT-SPI, and can play it by keyboard.

Run it in the desktop session of a running Tavrin whose accessibility is on (a screen reader
running, or QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1), with the system python3 and python3-pyatspi:

    tools/atspi-board.py            lists the 16 rows of cells and the board's description
    tools/atspi-board.py --play N   plays N turns with xdotool keys (arrows, Return, Alt+C): each
                                    turn on the first cell named "可落子", printing what the
                                    board's description then says
"""
import subprocess
import sys
import time

import pyatspi


def find_board():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name.lower().startswith("tavrin"):
            found = pyatspi.findDescendant(
                app, lambda node: node.getRole() == pyatspi.ROLE_TABLE and node.name == "棋盘")
            if found is not None:
                return found
    sys.exit("no board: is Tavrin running with accessibility on?")


def cell_names(board):
    table = board.queryTable()
    return [[table.getAccessibleAt(row, column).name for column in range(table.nColumns)]
            for row in range(table.nRows)]


def focus_cell(board):
    table = board.queryTable()
    for index in range(board.childCount):
        if board.getChildAtIndex(index).getState().contains(pyatspi.STATE_FOCUSED):
            return table.getColumnAtIndex(index) + 1, table.getRowAtIndex(index) + 1
    return 8, 8


def keys(*names):
    subprocess.run(["xdotool", "key", "--delay", "20", *names], check=True)


def play(board, turns):
    for turn in range(turns):
        names = [name for row in cell_names(board) for name in row]
        legal = [name.split()[0] for name in names if name.endswith("可落子")]
        if not legal:
            keys("alt+c")
            print(f"turn {turn + 1}: pass -> {board.description}")
        else:
            x, y = map(int, legal[0].split(","))
            fx, fy = focus_cell(board)
            moves = (["Right"] * (x - fx) + ["Left"] * (fx - x)
                     + ["Down"] * (y - fy) + ["Up"] * (fy - y))
            keys(*moves, "Return")
            time.sleep(0.3)
            print(f"turn {turn + 1}: {legal[0]} -> {board.description}")
        time.sleep(0.2)


def main():
    board = find_board()
    table = board.queryTable()
    print(f"{board.getRoleName()} '{board.name}': {table.nRows} rows x {table.nColumns} columns")
    if len(sys.argv) > 2 and sys.argv[1] == "--play":
        play(board, int(sys.argv[2]))
        return
    for row in cell_names(board):
        print(" | ".join(row))
    print(f"description: '{board.description}'")


if __name__ == "__main__":
    main()
