#!/usr/bin/env python3
"""Draws the About box's picture into src/app/resources/About.bmp: 270 x 180 pixels, 24-bit, the program
icon's red target on the About box's dark grey. The box letters the program's name and the build's version
below the target itself (src/app/AboutLettering.cpp). Run by hand when the picture changes; the build uses
the committed file."""
import math
import struct
import sys

WIDTH, HEIGHT = 270, 180
BACKGROUND = (64, 64, 64)            # RGB, the About box's own colour


def target(x, y, cx, cy, radius):
    """The icon's target: red and white rings in a dark rim; None outside it."""
    r = math.hypot(x - cx, y - cy) / radius
    if r > 1.0:
        return None
    if r > 0.93:
        return (0, 0, 40)
    return (220, 30, 30) if int(r * 6) % 2 == 0 else (255, 255, 255)


def draw_target(canvas, cx, cy, radius, samples=4):
    for y in range(int(cy - radius) - 1, int(cy + radius) + 2):
        for x in range(int(cx - radius) - 1, int(cx + radius) + 2):
            total = [0, 0, 0]
            for sy in range(samples):
                for sx in range(samples):
                    colour = target(x + (sx + 0.5) / samples, y + (sy + 0.5) / samples, cx + 0.5, cy + 0.5, radius)
                    colour = colour or canvas[y][x]
                    for i in range(3):
                        total[i] += colour[i]
            canvas[y][x] = tuple(round(t / samples ** 2) for t in total)


def bmp(canvas):
    stride = (WIDTH * 3 + 3) & ~3
    rows = []
    for line in reversed(canvas):                       # bottom-up rows, BGR
        row = b"".join(bytes((b, g, r)) for (r, g, b) in line)
        rows.append(row + bytes(stride - len(row)))
    pixels = b"".join(rows)
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 24, 0, len(pixels), 3780, 3780, 0, 0)
    head = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    return head + info + pixels


def main(out_path):
    canvas = [[BACKGROUND] * WIDTH for _ in range(HEIGHT)]
    draw_target(canvas, WIDTH // 2, 58, 46)
    with open(out_path, "wb") as f:
        f.write(bmp(canvas))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "src/app/resources/About.bmp")
