#!/usr/bin/env python3
"""Draws the program's icon: one 32 x 32 image, 24 bits per pixel, fully
opaque (empty AND mask). Writes resources/app.ico; run by hand when the
picture changes."""
import struct
import sys

W = H = 32
BG = (0x2b, 0x6c, 0xb0)      # blue field
BODY = (0xf4, 0xf6, 0xf8)    # the stick
PLUG = (0xb8, 0xc2, 0xcc)    # its metal plug
MARK = (0x2b, 0x6c, 0xb0)    # holes in the plug
ARROW = (0x3c, 0xc8, 0x5a)   # green "out" arrow


def pixel(x, y):
    # A stick standing up, plug on top, with an arrow pulling it out.
    if 11 <= x <= 20 and 3 <= y <= 10:
        if y in (5, 6) and x in (13, 14, 17, 18):
            return MARK
        return PLUG
    if 9 <= x <= 22 and 11 <= y <= 28:
        return BODY
    if 24 <= x <= 28 and 12 <= y <= 24:
        cx = 26
        if y <= 16 and abs(x - cx) <= (y - 12):
            return ARROW
        if y > 16 and abs(x - cx) <= 1:
            return ARROW
    return BG


def main(path):
    rows = []
    for y in range(H - 1, -1, -1):  # bottom-up
        row = b"".join(bytes((b, g, r)) for (r, g, b) in (pixel(x, y) for x in range(W)))
        rows.append(row)
    xor = b"".join(rows)
    and_mask = bytes(4 * H)  # 32 bits a row, all zero: every pixel opaque
    header = struct.pack("<IiiHHIIiiII", 40, W, H * 2, 1, 24, 0, len(xor) + len(and_mask), 0, 0, 0, 0)
    image = header + xor + and_mask
    icondir = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", W, H, 0, 0, 1, 24, len(image), 6 + 16)
    with open(path, "wb") as f:
        f.write(icondir + entry + image)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "resources/app.ico")
