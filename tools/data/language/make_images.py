#!/usr/bin/env python3
"""Draws the sample language's pictures (a sky, a sun, a red barn and field
rows) as 32-bit Targa files in images/. Run it again after changing it."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def targa(path, width, height, pixel):
    header = struct.pack("<BBBHHBHHHHBB", 0, 0, 2, 0, 0, 0, 0, 0, width, height, 32, 0x28)
    body = bytearray()
    for y in range(height):
        for x in range(width):
            a, r, g, b = pixel(x, y, width, height)
            body += bytes((b, g, r, a))
    with open(path, "wb") as f:
        f.write(header + bytes(body))


def farm(x, y, w, h):
    horizon = h * 3 // 5
    sx, sy, sr = w * 4 // 5, h // 4, h // 6
    if (x - sx) ** 2 + (y - sy) ** 2 <= sr * sr:
        return 255, 255, 214, 64
    bx0, bx1, by0 = w // 6, w // 6 + w // 4, horizon - h // 4
    if bx0 <= x < bx1 and by0 <= y < horizon:
        return 255, 178, 34, 34
    roof = by0 - (x - bx0 if x < (bx0 + bx1) // 2 else bx1 - x) // 2
    if bx0 <= x < bx1 and roof <= y < by0:
        return 255, 120, 20, 20
    if y < horizon:
        return 255, 120, 190, 240
    return (255, 92, 160, 48) if (y // 3) % 2 else (255, 140, 100, 40)


if __name__ == "__main__":
    os.makedirs(os.path.join(HERE, "images"), exist_ok=True)
    targa(os.path.join(HERE, "images", "loading_logo.tga"), 128, 64, farm)
    targa(os.path.join(HERE, "images", "credits_farm.tga"), 96, 48, farm)
