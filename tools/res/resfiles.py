"""File formats shared by the resource scripts: 24-bit bitmaps and one-bit cursors."""
import struct


def bmp24(px, w, h):
    """A bottom-up 24-bit BMP of px, rows of (r, g, b) from the top."""
    stride = (w * 3 + 3) & ~3
    pixels = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray()
        for r, g, b in px[y]:
            row += bytes((b, g, r))
        row += b"\0" * (stride - len(row))
        pixels += row
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    return header + info + pixels


def mono_cursor(w, h, hot_x, hot_y, kind):
    """A one-bit .cur; kind(x, y) gives 'clear', 'black' or 'white' for each pixel."""
    xor_rows, and_rows = bytearray(), bytearray()
    for y in range(h - 1, -1, -1):
        xbits = abits = 0
        for x in range(w):
            c = kind(x, y)
            bit = 1 << (31 - x)
            if c == "clear":
                abits |= bit
            elif c == "white":
                xbits |= bit
        xor_rows += struct.pack(">I", xbits)
        and_rows += struct.pack(">I", abits)
    info = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 1, 0, len(xor_rows) + len(and_rows),
                       0, 0, 2, 0)
    palette = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    image = info + palette + xor_rows + and_rows
    head = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", w, h, 0, 0, hot_x, hot_y, len(image), 6 + 16)
    return head + entry + image
