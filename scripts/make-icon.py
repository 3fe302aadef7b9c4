#!/usr/bin/env python3
"""Draws the program icon (a red target) into src/app/resources/Zapnix.ico: 16, 32 and 48 pixels,
32-bit colour with alpha. Run by hand when the icon changes; the build uses the committed file."""
import math
import struct
import sys


def pixel(size, x, y):
    cx = cy = (size - 1) / 2
    r = math.hypot(x - cx, y - cy) / (size / 2)
    if r > 1.0:
        return (0, 0, 0, 0)
    ring = int(r * 6)
    if r > 0.93:
        return (40, 0, 0, 255)            # dark rim
    if ring % 2 == 0:
        return (30, 30, 220, 255)         # red (BGR)
    return (255, 255, 255, 255)           # white


def image(size):
    rows = []
    for y in range(size - 1, -1, -1):     # bottom-up rows
        rows.append(b"".join(bytes(pixel(size, x, y)) for x in range(size)))
    xor = b"".join(rows)
    mask_stride = ((size + 31) // 32) * 4
    and_mask = bytes(mask_stride * size)  # alpha decides; mask all opaque
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(and_mask), 0, 0, 0, 0)
    return header + xor + and_mask


def main(path):
    sizes = [16, 32, 48]
    images = [image(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", s, s, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b"".join(images)
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "src/app/resources/Zapnix.ico")
