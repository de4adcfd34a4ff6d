#!/usr/bin/env python3
"""Draws the pick helpers' binary resources of PeltoLib with the standard library only.

  snap_tip.bmp    bitmap 4002: background of the tip window, 220 x 253, 24 bits per pixel
  snap_cross.cur  cursor 4003: 32 x 32 monochrome cross with a small arrow, hot spot (15, 16)

Usage: make_snap_resources.py [output folder]   (default: lib/res next to this tools folder)
"""
import os
import sys

from resfiles import bmp24, mono_cursor

TIP_W, TIP_H = 220, 253

PANEL = (222, 236, 252)
TITLE = (86, 142, 214)
TITLE_EDGE = (60, 110, 180)
BAND = (150, 188, 232)
BLACK = (0, 0, 0)
WHITE = (255, 255, 255)

# The caption 截图, rasterised once from WenQuanYi Micro Hei at 13 pixels and thresholded, so
# that the picture can be remade without a font engine.
CAPTION = [
    "....#...#.#...............",
    ".########.##..###########.",
    "....#...#.....#.........#.",
    ".############.#..#####..#.",
    "........#.....#.###.#...#.",
    "..#######..#..#...###...#.",
    ".##.##..####..#.###..##.#.",
    ".######..##...#....##...#.",
    "..#.##...##...#..###....#.",
    "..#.##...#....#.....#...#.",
    "..##########..###########.",
    "..#....#..##..#.........#.",
]

# A small picture icon for the title strip: a framed landscape with a sun.
ICON = [
    "################",
    "#..............#",
    "#.WWWWWWWWWWWW.#",
    "#.WWWWWWWWWSSW.#",
    "#.WWWWWWWWWSSW.#",
    "#.WWWWWWWWWWWW.#",
    "#.WWWWGWWWWWWW.#",
    "#.WWWGGGWWWWWW.#",
    "#.WWGGGGGWWGWW.#",
    "#.WGGGGGGGGGGW.#",
    "#.GGGGGGGGGGGG.#",
    "#..............#",
    "################",
]
ICON_COLOURS = {"#": (40, 60, 110), ".": WHITE, "W": (170, 214, 250), "S": (250, 200, 40),
                "G": (60, 150, 70)}


def make_tip_bitmap():
    px = [[PANEL] * TIP_W for _ in range(TIP_H)]

    def fill(x0, y0, x1, y1, c):
        for y in range(max(0, y0), min(TIP_H, y1)):
            row = px[y]
            for x in range(max(0, x0), min(TIP_W, x1)):
                row[x] = c

    # Title strip with a darker lower edge.
    fill(0, 0, TIP_W, 24, TITLE)
    fill(0, 23, TIP_W, 24, TITLE_EDGE)
    for y, line in enumerate(ICON):
        for x, ch in enumerate(line):
            px[5 + y][6 + x] = ICON_COLOURS[ch]
    for y, line in enumerate(CAPTION):
        for x, ch in enumerate(line):
            if ch == "#":
                px[6 + y][28 + x] = WHITE
    # A thin black frame just outside the magnifier area (10, 90)-(210, 240).
    fill(9, 89, 211, 90, BLACK)
    fill(9, 240, 211, 241, BLACK)
    fill(9, 89, 10, 241, BLACK)
    fill(210, 89, 211, 241, BLACK)
    # The darker band along the bottom edge.
    fill(0, TIP_H - 7, TIP_W, TIP_H, BAND)
    fill(0, TIP_H - 7, TIP_W, TIP_H - 6, TITLE_EDGE)

    return bmp24(px, TIP_W, TIP_H)


CUR_W = CUR_H = 32
HOT_X, HOT_Y = 15, 16

# The arrow below and to the right of the cross: "#" black outline, "o" white inside.
ARROW = [
    "#.......",
    "##......",
    "#o#.....",
    "#oo#....",
    "#ooo#...",
    "#oooo#..",
    "#ooooo#.",
    "#ooo####",
    "#o#o#...",
    "##.#o#..",
    "#..#o#..",
    "....#...",
]


def make_cursor():
    # 'T' transparent, 'B' black, 'W' white.
    img = [["T"] * CUR_W for _ in range(CUR_H)]
    arm = 9
    # White edging first, then the black lines over it: thin and visible on any background.
    for d in range(-arm, arm + 1):
        for e in (-1, 1):
            img[HOT_Y + d][HOT_X + e] = "W"
            img[HOT_Y + e][HOT_X + d] = "W"
    for d in (-arm - 1, arm + 1):
        img[HOT_Y + d][HOT_X] = "W"
        img[HOT_Y][HOT_X + d] = "W"
    for d in range(-arm, arm + 1):
        img[HOT_Y + d][HOT_X] = "B"
        img[HOT_Y][HOT_X + d] = "B"
    img[HOT_Y][HOT_X] = "W"  # the hot spot itself stays open
    ax, ay = HOT_X + 5, HOT_Y + 4
    for y, line in enumerate(ARROW):
        for x, ch in enumerate(line):
            if ch == "#":
                img[ay + y][ax + x] = "B"
            elif ch == "o":
                img[ay + y][ax + x] = "W"

    names = {"T": "clear", "B": "black", "W": "white"}
    return mono_cursor(CUR_W, CUR_H, HOT_X, HOT_Y, lambda x, y: names[img[y][x]])


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "..", "lib", "res")
    with open(os.path.join(out, "snap_tip.bmp"), "wb") as f:
        f.write(make_tip_bitmap())
    with open(os.path.join(out, "snap_cross.cur"), "wb") as f:
        f.write(make_cursor())


if __name__ == "__main__":
    main()
