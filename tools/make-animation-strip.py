#!/usr/bin/env python3
"""Draws the busy animation: a strip of frames on a magenta (transparent) key.

Writes res/bitmaps/138.png. Run again after changing the drawing; the PNG is
kept in the repository so the build needs no image tools.
"""
import math
import struct
import sys
import zlib

FRAMES, SIZE = 12, 32
KEY = (255, 0, 255)


def frame_pixel(frame, x, y):
    cx = cy = (SIZE - 1) / 2
    dx, dy = x - cx, y - cy
    r = math.hypot(dx, dy)
    if not 9 <= r <= 14:
        return KEY
    # Eight dots around a ring; the lit one moves a step per frame and the
    # ones behind it fade, so the ring seems to turn.
    angle = (math.degrees(math.atan2(dy, dx)) + 360) % 360
    dot = int(((angle + 22.5) % 360) // 45)
    centre = math.radians(dot * 45)
    if math.hypot(x - (cx + 11.5 * math.cos(centre)), y - (cy + 11.5 * math.sin(centre))) > 3.2:
        return KEY
    age = (frame * 8 // FRAMES - dot) % 8
    shade = max(0, 255 - age * 32)
    return (30, 60 + shade * 2 // 3, 30 + shade // 4)


def main(path):
    width = FRAMES * SIZE
    rows = []
    for y in range(SIZE):
        row = bytearray([0])
        for x in range(width):
            row.extend(frame_pixel(x // SIZE, x % SIZE, y))
        rows.append(bytes(row))
    raw = zlib.compress(b"".join(rows), 9)

    def chunk(tag, data):
        body = tag + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, SIZE, 8, 2, 0, 0, 0))
    png += chunk(b"IDAT", raw) + chunk(b"IEND", b"")
    with open(path, "wb") as out:
        out.write(png)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "res/bitmaps/138.png")
