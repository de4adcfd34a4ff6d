#!/usr/bin/env python3
"""Draws the program's binary resources with the standard library only.

  pelto.ico        icon 128: a monitor with a dashed selection, 16, 32 and 48 pixels, 32-bit BGRA
  link.cur         the hand over links: 32 x 32 monochrome, hot spot (6, 0) on the fingertip
  placeholder.bmp  shown while no picture is held: 452 x 321, 24 bits per pixel
  about.bmp        bitmap 136 of the About box: 151 x 39, 24 bits per pixel

Usage: make_app_resources.py [output folder]   (default: app/res next to this tools folder)
"""
import os
import struct
import sys

from resfiles import bmp24, mono_cursor

BLACK = (0, 0, 0)
WHITE = (255, 255, 255)

# The product name Noram截图, rasterised once from WenQuanYi Micro Hei (26 and 20 pixels) so that the
# pictures can be remade without a font engine. "#" is ink, "+" an edge pixel drawn at half strength.
CAPTION_26 = [
    "......................................................................................+##......##..+#............................",
    ".................................................................................+############.##..###.....#####################+",
    ".................................................................................+############.##...##+....#####################+",
    "+##+........##+.......................................................................+##......##...+#.....##.....++..........##+",
    "+###........##+.......................................................................+##......##..........##.....########+...##+",
    "+####.......##+.................................................................+#######################...##....#########+...##+",
    "+####+......##+.................................................................+#######################...##...###+....##....##+",
    "+#++##......##+......+#####.......##..+###...+#####+......##..#####...+####+........++..++.....##+.........##..#####+..##+....##+",
    "+##.###.....##+.....+#######+.....##+#####..#########.....##+#######.#######+......+##..##.....##+...+.....##.+##.+#####+.....##+",
    "+##.+##.....##+....+##+...+##+....####+......#+...+##+....####...+####+...###......###########++#+..+##....##......+####......##+",
    "+##..###....##+....##+.....+##....###+.............###....###.....###+....+##.....+###########++##..##+....##...+#########+...##+",
    "+##...##+...##+...+##.......##+...###..............+##....###.....+##......##.....##+...##.....+##..##.....##.######+..+#####.##+",
    "+##...+##...##+...+##.......##+...###..........++++###....###.....+##......##....###+...##......##.+##.....##.+#++..#+....+##.##+",
    "+##....###..##+...+##.......##+...##+.......+#########....##+.....+##......##...+#############..##.##+.....##......+####+.....##+",
    "+##....+##+.##+...+##.......##+...##+.......###+...+##....##+.....+##......##....++###########..##+##......##.......+####+....##+",
    "+##.....###.##+...+##.......##+...##+......###.....+##....##+.....+##......##.....+#+...##......+###+......##.....##+..+#.....##+",
    "+##......##+##+....##.......##+...##+......###.....###....##+.....+##......##.....+###########..+###.......##....+#####+......##+",
    "+##......+####+....##+.....+##....##+......###.....###....##+.....+##......##.....+###########...##+.......##......+#####+....##+",
    "+##.......####+....+##+...+##+....##+......+##+..+####....##+.....+##......##.....+#+...##......+##+..##...##.........+###....##+",
    "+##........###+.....+#######+.....##+.......#######+##....##+.....+##......##.....+##...##.....+####..##...##...........+.....##+",
    "+##........###+.......#####+......##+........####+..##....##+.....+##......##.....+###########+##+###+##...#####################+",
    "..................................................................................+#############+.+####+...#####################+",
    "..................................................................................+#+........+#+...+##+....##.................##+",
]
CAPTION_20 = [
    ".....................................................................#+....##.+#.....################+",
    ".................................................................#########+##.+#+....##+++++++++++++#+",
    ".##+......##.....................................................++++##+++.##..##....#+...+#........#+",
    ".###......##........................................................+#+....##........#+...#######...#+",
    ".###+.....##....................................................##################...#+..##++++##...#+",
    ".#+##.....##.....+####.....+#.+##+..+####+....+#++###+.+####......++++#+...+#+.......#+.####..##....#+",
    ".#+.##....##....###+###....+#+###+..##++##+...+###++####+++##.....##..#+...+#...+....#+.#..####.....#+",
    ".##.##+...##...+##....##...+##+..........##...+##....##+...##.....#########+#+.+#....#+...+#####+...#+",
    ".##..##...##...##.....##...+##...........##...+##....##....+#+...##+++##+++.#+.##....#+#####..+####.#+",
    ".##..+#+..##...##.....+#+..+#+......+######...+#+....##....+#+..###+++#+++..#+.#+....#+++..+#+...++.#+",
    ".##...##..##...##.....+#+..+#+.....+##+..##...+#+....##....+#+..##########+.##+#.....#+....+####....#+",
    ".##....##.##...##.....+#+..+#+.....##....##...+#+....##....+#+...+#+..#+....####.....#+...#+..++....#+",
    ".##....##+##...##.....##...+#+.....##....##...+#+....##....+#+...+#+++##++..+##+.....#+...####+.....#+",
    ".##.....####...+##....##...+#+.....##...+##...+#+....##....+#+...+########+.+##......#+.....+###....#+",
    ".##.....+###....###++##....+#+.....###+####...+#+....##....+#+...+#...#+....###.+#...#+........+....#+",
    ".##......###.....+####.....+#+......####.+#...+#+....##....+#+...+#############.+#...################+",
    ".................................................................+#+++++++##+.####...##+++++++++++++#+",
    ".................................................................+#.......++..+##....#+.............#+",
]


def mix(a, b, t):
    """a blended towards b by t in [0, 1], rounded so the output never depends on float noise."""
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def put_text(px, glyphs, x0, y0, colour):
    for y, line in enumerate(glyphs):
        row = px[y0 + y]
        for x, ch in enumerate(line):
            if ch == "#":
                row[x0 + x] = colour
            elif ch == "+":
                row[x0 + x] = mix(row[x0 + x], colour, 0.5)


def in_round_rect(fx, fy, x0, y0, x1, y1, r):
    """Whether the point (fx, fy) lies in the rectangle [x0, x1) x [y0, y1) with corners of radius r."""
    if fx < x0 or fx >= x1 or fy < y0 or fy >= y1:
        return False
    cx = min(max(fx, x0 + r), x1 - r)
    cy = min(max(fy, y0 + r), y1 - r)
    return (fx - cx) ** 2 + (fy - cy) ** 2 <= r * r


# ---------------------------------------------------------------------------------------------
# The icon: a monitor whose screen carries a dashed selection rectangle. Each size has its own
# hand-placed layout so that lines land on whole pixels.

OUTLINE = (34, 40, 52)
BEZEL = (72, 82, 98)
STAND = (128, 136, 150)
SCREEN_TOP = (150, 205, 250)
SCREEN_BOTTOM = (46, 114, 206)
DASH = (255, 136, 0)

ICON_LAYOUTS = {
    # frame: monitor outside; radius of its corners; bezel: inset of the screen; neck and base of the
    # stand; sel: selection rectangle; dash: length of one dash; handle: half size of corner handles.
    16: dict(frame=(0, 1, 16, 12), radius=0, bezel=1, neck=(6, 12, 10, 14), base=(3, 14, 13, 15),
             sel=(3, 4, 13, 9), dash=1, handle=0),
    32: dict(frame=(1, 3, 31, 24), radius=2, bezel=2, neck=(13, 24, 19, 27), base=(8, 27, 24, 29),
             sel=(7, 8, 25, 19), dash=2, handle=0),
    48: dict(frame=(2, 5, 46, 36), radius=3, bezel=3, neck=(20, 36, 28, 41), base=(12, 41, 36, 44),
             sel=(10, 12, 38, 29), dash=3, handle=1),
}


def draw_icon(size):
    """Returns size rows of (r, g, b, a) pixels."""
    lay = ICON_LAYOUTS[size]
    px = [[(0, 0, 0, 0)] * size for _ in range(size)]

    def round_rect(rect, r, colour):
        x0, y0, x1, y1 = rect
        for y in range(y0, y1):
            for x in range(x0, x1):
                if in_round_rect(x + 0.5, y + 0.5, x0, y0, x1, y1, r + 0.3 if r else 0):
                    px[y][x] = colour + (255,)

    # The stand goes first so that the monitor's lower edge covers the top of the neck.
    nx0, ny0, nx1, ny1 = lay["neck"]
    round_rect(lay["neck"], 0, OUTLINE)
    if size > 16:
        round_rect((nx0 + 1, ny0, nx1 - 1, ny1), 0, STAND)
    else:
        round_rect(lay["neck"], 0, STAND)
    bx0, by0, bx1, by1 = lay["base"]
    round_rect(lay["base"], 1 if size > 16 else 0, OUTLINE)
    if by1 - by0 > 2:
        round_rect((bx0 + 1, by0 + 1, bx1 - 1, by1 - 1), 0, STAND)

    fx0, fy0, fx1, fy1 = lay["frame"]
    r = lay["radius"]
    round_rect(lay["frame"], r, OUTLINE)
    round_rect((fx0 + 1, fy0 + 1, fx1 - 1, fy1 - 1), max(r - 1, 0), BEZEL)
    b = lay["bezel"]
    sx0, sy0, sx1, sy1 = fx0 + b, fy0 + b, fx1 - b, fy1 - b
    for y in range(sy0, sy1):
        c = mix(SCREEN_TOP, SCREEN_BOTTOM, (y - sy0) / max(1, sy1 - sy0 - 1))
        for x in range(sx0, sx1):
            px[y][x] = c + (255,)

    # The selection: a lit inside and a dashed edge. Each side's dashes are counted from both of
    # its corners, so every corner is a dash and each side is mirror-symmetric.
    x0, y0, x1, y1 = lay["sel"]
    for y in range(y0 + 1, y1 - 1):
        for x in range(x0 + 1, x1 - 1):
            px[y][x] = mix(px[y][x][:3], WHITE, 0.4) + (255,)
    d = lay["dash"]
    for side in ([(x, y0) for x in range(x0, x1)], [(x, y1 - 1) for x in range(x0, x1)],
                 [(x0, y) for y in range(y0, y1)], [(x1 - 1, y) for y in range(y0, y1)]):
        n = len(side)
        for k, (x, y) in enumerate(side):
            px[y][x] = (DASH if (min(k, n - 1 - k) // d) % 2 == 0 else WHITE) + (255,)
    h = lay["handle"]
    if h:
        for cx, cy in ((x0, y0), (x1 - 1, y0), (x0, y1 - 1), (x1 - 1, y1 - 1)):
            for y in range(cy - h, cy + h + 1):
                for x in range(cx - h, cx + h + 1):
                    inner = x == cx and y == cy
                    px[y][x] = (WHITE if inner else DASH) + (255,)
    return px


def icon_image(size):
    px = draw_icon(size)
    xor = bytearray()
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for y in range(size - 1, -1, -1):
        bits = bytearray(mask_stride)
        for x, (r, g, b, a) in enumerate(px[y]):
            if a == 0:
                # Black where transparent, so that screens which only apply the masks show nothing.
                xor += b"\0\0\0\0"
                bits[x // 8] |= 0x80 >> (x % 8)
            else:
                xor += bytes((b, g, r, a))
        mask += bits
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return info + xor + mask


def make_icon():
    sizes = sorted(ICON_LAYOUTS)
    images = [icon_image(s) for s in sizes]
    head = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    entries = bytearray()
    for s, image in zip(sizes, images):
        entries += struct.pack("<BBBBHHII", s, s, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    return head + entries + b"".join(images)


# ---------------------------------------------------------------------------------------------
# The link cursor: a pointing hand, "#" black outline, "o" white inside. The top of the fingertip
# is the hot spot.

CUR_W = CUR_H = 32
HOT_X, HOT_Y = 6, 0

HAND = [
    ".....###............",
    "....#ooo#...........",
    "....#ooo#...........",
    "....#ooo#...........",
    "....#ooo#...........",
    "....#ooo#...........",
    "....#ooo#...........",
    "....#ooo####........",
    "....#ooo#ooo####....",
    "....#ooo#ooo#ooo###.",
    "....#ooo#ooo#ooo#oo#",
    "....#ooo#ooo#ooo#oo#",
    ".##.#ooo#ooo#ooo#oo#",
    "#oo##ooo#ooo#ooo#oo#",
    "#ooo#oooooooooooooo#",
    ".#ooooooooooooooooo#",
    ".#ooooooooooooooooo#",
    "..#oooooooooooooooo#",
    "..#oooooooooooooooo#",
    "...#ooooooooooooooo#",
    "...#oooooooooooooo#.",
    "....#ooooooooooooo#.",
    "....#ooooooooooooo#.",
    "....###############.",
    "....#ooooooooooooo#.",
    "....###############.",
]


def make_cursor():
    def kind(x, y):
        line = HAND[y] if y < len(HAND) else ""
        c = line[x] if x < len(line) else "."
        return {".": "clear", "o": "white"}.get(c, "black")

    return mono_cursor(CUR_W, CUR_H, HOT_X, HOT_Y, kind)


# ---------------------------------------------------------------------------------------------
# The placeholder: a calm gradient with a large faint picture symbol and the product name. The
# program shows only (0, 0)-(450, 320) of it, so everything is drawn inside that.

PH_W, PH_H = 452, 321
VIEW_W, VIEW_H = 450, 320
PH_TOP = (242, 246, 251)
PH_BOTTOM = (212, 222, 236)
PH_SYMBOL = (118, 138, 170)
PH_TEXT = (100, 118, 150)


def symbol_cover(fx, fy):
    """Whether (fx, fy) is ink of the picture symbol: a framed landscape with a sun."""
    outer = in_round_rect(fx, fy, 145, 70, 305, 186, 14)
    inner = in_round_rect(fx, fy, 153, 78, 297, 178, 7)
    if outer and not inner:
        return True
    if not inner:
        return False
    if (fx - 262) ** 2 + (fy - 104) ** 2 <= 11 ** 2:
        return True
    # Two mountains standing on the frame's inner lower edge.
    for left, apex_x, apex_y, right in ((163, 205, 112, 251), (221, 254, 136, 289)):
        if fy >= apex_y and fy <= 178:
            t = (fy - apex_y) / (178 - apex_y)
            if apex_x - (apex_x - left) * t <= fx <= apex_x + (right - apex_x) * t:
                return True
    return False


def make_placeholder():
    px = []
    for y in range(PH_H):
        base = mix(PH_TOP, PH_BOTTOM, min(y, VIEW_H - 1) / (VIEW_H - 1))
        row = []
        for x in range(PH_W):
            # A soft lightening towards the middle keeps the flat gradient from looking dead.
            dx, dy = (min(x, VIEW_W - 1) - 225) / 225, (min(y, VIEW_H - 1) - 150) / 170
            glow = max(0.0, 1.0 - (dx * dx + dy * dy)) * 0.35
            row.append(mix(base, WHITE, glow))
        px.append(row)
    # Four by four samples a pixel give the symbol smooth edges.
    samples = [(i + 0.5) / 4 for i in range(4)]
    for y in range(66, 190):
        for x in range(141, 309):
            n = sum(symbol_cover(x + sx, y + sy) for sy in samples for sx in samples)
            if n:
                px[y][x] = mix(px[y][x], PH_SYMBOL, 0.42 * n / 16)
    text_w = len(CAPTION_26[0])
    put_text(px, CAPTION_26, (VIEW_W - text_w) // 2, 208, PH_TEXT)
    return bmp24(px, PH_W, PH_H)


# ---------------------------------------------------------------------------------------------
# The About box's picture: the icon and the product name on a light band.

AB_W, AB_H = 151, 39
AB_TOP = (252, 253, 255)
AB_BOTTOM = (226, 234, 245)
AB_TEXT = (34, 52, 92)
AB_RULE = (190, 204, 224)


def make_about():
    px = [[mix(AB_TOP, AB_BOTTOM, y / (AB_H - 1))] * AB_W for y in range(AB_H)]
    px = [list(row) for row in px]
    icon = draw_icon(32)
    ix, iy = 4, (AB_H - 32) // 2
    for y in range(32):
        for x in range(32):
            r, g, b, a = icon[y][x]
            if a:
                px[iy + y][ix + x] = (r, g, b)
    text_h = len(CAPTION_20)
    put_text(px, CAPTION_20, 44, (AB_H - text_h) // 2, AB_TEXT)
    for x in range(AB_W):
        px[AB_H - 1][x] = AB_RULE
    return bmp24(px, AB_W, AB_H)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "..", "app", "res")
    for name, make in (("pelto.ico", make_icon), ("link.cur", make_cursor),
                       ("placeholder.bmp", make_placeholder), ("about.bmp", make_about)):
        with open(os.path.join(out, name), "wb") as f:
            f.write(make())


if __name__ == "__main__":
    main()
