#!/usr/bin/env python3
"""Draws the program's icon: a disk platter whose blocks line up in order, in 16, 32 and
48 pixel sizes, written as a 32-bit ICO. Run: python3 tools/make_icon.py src/win32/res/quillmere.ico"""
import math
import struct
import sys


def draw(size):
    px = [[(0, 0, 0, 0)] * size for _ in range(size)]
    c = (size - 1) / 2.0
    r_out = size * 0.47
    r_hub = size * 0.12
    for y in range(size):
        for x in range(size):
            dx, dy = x - c, y - c
            d = math.hypot(dx, dy)
            if d > r_out + 0.5:
                continue
            # Anti-aliased rim.
            alpha = max(0.0, min(1.0, r_out + 0.5 - d))
            if d < r_hub:
                col = (235, 235, 240)
            elif d < r_hub + size * 0.05:
                col = (60, 60, 70)
            else:
                # Tracks: the inner ones are "defragmented" (one steady blue), the outer
                # ones still show scattered red fragments.
                ang = (math.degrees(math.atan2(dy, dx)) + 360) % 360
                track = int((d - r_hub) / (size * 0.09))
                if track <= 1:
                    col = (40, 110, 210) if ang < 300 else (250, 250, 250)
                else:
                    sector = int(ang // 30)
                    frag = (sector * 7 + track * 3) % 5 == 0
                    col = (215, 50, 40) if frag else ((40, 110, 210) if ang < 200 else (250, 250, 250))
                if abs(d - r_out) < 1.2:
                    col = (40, 40, 50)
            px[y][x] = col + (int(255 * alpha),)
    return px


def bmp_entry(size):
    px = draw(size)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = b''
    for y in range(size - 1, -1, -1):  # bottom-up
        for x in range(size):
            r, g, b, a = px[y][x]
            rows += bytes((b, g, r, a))
    mask_row = ((size + 31) // 32) * 4
    mask = b'\x00' * (mask_row * size)
    return header + rows + mask


def main(path):
    sizes = [16, 32, 48]
    images = [bmp_entry(s) for s in sizes]
    out = struct.pack('<HHH', 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, img in zip(sizes, images):
        out += struct.pack('<BBBBHHII', s, s, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    for img in images:
        out += img
    with open(path, 'wb') as f:
        f.write(out)


if __name__ == '__main__':
    main(sys.argv[1])
