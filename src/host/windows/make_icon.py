#!/usr/bin/env python3
"""Draws the saver's icon: an orange lit ball on the dark blue band between
two black bars, as the saver shows it. Writes a .ico with 16, 32 and 48 pixel
images, 32-bit BGRA with an alpha channel.

usage: make_icon.py OUTPUT.ico
"""
import math
import struct
import sys

BAND = (16, 24, 72)
BALL = (255, 140, 30)
LIGHT = (-0.45, 0.55, 0.70)  # towards the upper left, in front


def pixel(size, x, y):
    """RGBA of pixel (x, y), y down, sampled 4 x 4 for smooth edges."""
    total = [0.0, 0.0, 0.0, 0.0]
    samples = 4
    for sy in range(samples):
        for sx in range(samples):
            u = (x + (sx + 0.5) / samples) / size * 2.0 - 1.0
            v = 1.0 - (y + (sy + 0.5) / samples) / size * 2.0
            colour = sample(u, v)
            for i in range(4):
                total[i] += colour[i]
    return tuple(int(round(c / samples ** 2)) for c in total)


def sample(u, v):
    """Colour at (u, v) in [-1, 1], v up."""
    radius = 0.62
    d = u * u + v * v
    if d < radius * radius:
        z = math.sqrt(radius * radius - d)
        nx, ny, nz = u / radius, v / radius, z / radius
        lit = max(0.0, nx * LIGHT[0] + ny * LIGHT[1] + nz * LIGHT[2])
        shine = lit ** 24
        shade = 0.25 + 0.75 * lit
        return tuple(min(255.0, c * shade + 255.0 * shine) for c in BALL) + (255.0,)
    if abs(v) > 0.72:
        return (0.0, 0.0, 0.0, 255.0)
    return BAND + (255,)


def image(size):
    """The ICO form of one image: BITMAPINFOHEADER, bottom-up BGRA rows and an
    all-zero AND mask (the alpha channel decides transparency)."""
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = []
    for y in reversed(range(size)):
        row = bytearray()
        for x in range(size):
            r, g, b, a = pixel(size, x, y)
            row += bytes((b, g, r, a))
        rows.append(bytes(row))
    mask_row = bytes(((size + 31) // 32) * 4)
    return header + b"".join(rows) + mask_row * size


def main():
    sizes = (16, 32, 48)
    images = [image(s) for s in sizes]
    out = bytearray(struct.pack("<HHH", 0, 1, len(sizes)))
    offset = 6 + 16 * len(sizes)
    for s, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", s, s, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for data in images:
        out += data
    with open(sys.argv[1], "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main()
