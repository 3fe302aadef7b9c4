#!/usr/bin/env python3
"""Draws the About box's picture into src/app/resources/About.bmp: 270 x 180 pixels, 24-bit, on the
About box's dark grey: the program icon's red target, the program's name and its version (taken from
FILEVERSION in src/app/resources/Zapnix.rc). Run by hand when either changes; the build uses the
committed file."""
import math
import re
import struct
import sys

WIDTH, HEIGHT = 270, 180
BACKGROUND = (64, 64, 64)            # RGB, the About box's own colour
TITLE = (255, 255, 255)
SUBTITLE = (200, 200, 200)

# 5 x 9 cells: seven rows above the baseline, two below it for descenders.
GLYPHS = {
    " ": [],
    ".": [".....", ".....", ".....", ".....", ".....", ".##..", ".##.."],
    "K": ["#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"],
    "P": ["####.", "#...#", "#...#", "####.", "#....", "#....", "#...."],
    "V": ["#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."],
    "Z": ["#####", "....#", "...#.", "..#..", ".#...", "#....", "#####"],
    "a": [".....", ".....", ".###.", "....#", ".####", "#...#", ".####"],
    "e": [".....", ".....", ".###.", "#...#", "#####", "#....", ".###."],
    "i": ["..#..", ".....", ".##..", "..#..", "..#..", "..#..", ".###."],
    "l": [".##..", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."],
    "n": [".....", ".....", "#.##.", "##..#", "#...#", "#...#", "#...#"],
    "o": [".....", ".....", ".###.", "#...#", "#...#", "#...#", ".###."],
    "p": [".....", ".....", "####.", "#...#", "#...#", "#...#", "####.", "#....", "#...."],
    "r": [".....", ".....", "#.##.", "##..#", "#....", "#....", "#...."],
    "s": [".....", ".....", ".####", "#....", ".###.", "....#", "####."],
    "u": [".....", ".....", "#...#", "#...#", "#...#", "#..##", ".##.#"],
    "x": [".....", ".....", "#...#", ".#.#.", "..#..", ".#.#.", "#...#"],
    "0": [".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."],
    "1": ["..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."],
    "2": [".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"],
    "3": ["#####", "...#.", "..#..", "...#.", "....#", "#...#", ".###."],
    "4": ["...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."],
    "5": ["#####", "#....", "####.", "....#", "....#", "#...#", ".###."],
    "6": ["..##.", ".#...", "#....", "####.", "#...#", "#...#", ".###."],
    "7": ["#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."],
    "8": [".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."],
    "9": [".###.", "#...#", "#...#", ".####", "....#", "...#.", ".##.."],
}


def version_text(rc_path):
    with open(rc_path, encoding="latin-1") as f:
        match = re.search(r"^\s*FILEVERSION\s+(\d+)\s*,\s*(\d+)\s*,\s*(\d+)\s*,\s*(\d+)", f.read(), re.M)
    if not match:
        sys.exit(f"{rc_path}: no FILEVERSION")
    parts = [int(p) for p in match.groups()]
    while len(parts) > 2 and parts[-1] == 0:
        parts.pop()
    return "Version " + ".".join(str(p) for p in parts)


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


def draw_text(canvas, text, top, scale, colour):
    advance = 6 * scale
    left = (WIDTH - (len(text) * advance - scale)) // 2
    for n, char in enumerate(text):
        if char not in GLYPHS:
            sys.exit(f"no glyph for {char!r}")
        for row, bits in enumerate(GLYPHS[char]):
            for col, bit in enumerate(bits):
                if bit != "#":
                    continue
                for dy in range(scale):
                    for dx in range(scale):
                        canvas[top + row * scale + dy][left + n * advance + col * scale + dx] = colour


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


def main(out_path, rc_path):
    canvas = [[BACKGROUND] * WIDTH for _ in range(HEIGHT)]
    draw_target(canvas, WIDTH // 2, 58, 46)
    draw_text(canvas, "Zapnix Popup Killer", 118, 2, TITLE)
    draw_text(canvas, version_text(rc_path), 148, 2, SUBTITLE)
    with open(out_path, "wb") as f:
        f.write(bmp(canvas))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "src/app/resources/About.bmp",
         sys.argv[2] if len(sys.argv) > 2 else "src/app/resources/Zapnix.rc")
