#!/usr/bin/env python3
"""Writes NeloRecognition.bmp, the control's 16-colour toolbox bitmap (16 x 15 pixels):
a microphone on a light background. Run it again only to change the picture; the
build uses the checked-in file."""
import struct
import sys

W, H = 16, 15
# The standard 16-colour palette (red, green, blue), index: 0 black ... 7 light grey, 8 dark grey ... 15 white.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
    (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
    (255, 0, 255), (0, 255, 255), (255, 255, 255)]
# Rows top to bottom; '.' background (light grey), 'b' blue head, 'k' black stand.
PICTURE = [
    "................",
    "......bbbb......",
    ".....bbbbbb.....",
    ".....bbbbbb.....",
    ".....bbbbbb.....",
    ".....bbbbbb.....",
    "...k.bbbbbb.k...",
    "...k.bbbbbb.k...",
    "...kk.bbbb.kk...",
    "....kk....kk....",
    "......kkkk......",
    ".......kk.......",
    ".......kk.......",
    ".....kkkkkk.....",
    "................",
]
INDEX = {'.': 7, 'b': 12, 'k': 0}


def main(path):
    row_bytes = ((W * 4 + 31) // 32) * 4
    pixels = bytearray()
    for row in reversed(PICTURE):  # bottom-up
        line = bytearray()
        for x in range(0, W, 2):
            line.append((INDEX[row[x]] << 4) | INDEX[row[x + 1]])
        line += b"\0" * (row_bytes - len(line))
        pixels += line
    palette = b"".join(bytes((b, g, r, 0)) for (r, g, b) in PALETTE)  # RGBQUAD order
    header_size = 14 + 40 + len(palette)
    info = struct.pack("<IiiHHIIiiII", 40, W, H, 1, 4, 0, len(pixels), 2835, 2835, 16, 0)
    head = struct.pack("<2sIHHI", b"BM", header_size + len(pixels), 0, 0, header_size)
    with open(path, "wb") as f:
        f.write(head + info + palette + pixels)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "NeloRecognition.bmp")
