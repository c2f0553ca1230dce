#!/usr/bin/env python3
"""Draws the pictures the program carries as resources into app/res/.

The pictures are committed, so the build does not need this script; run it
again only to change them:

    tools/make-pictures.py [output-folder]

PNG and BMP files are written directly (zlib and struct); JPEG, GIF and TIFF
are converted from a drawn PNG by ImageMagick's `convert`. Every picture is
drawn from fixed seeds, so a run gives the same pixels each time.

The resource script app/Fendrel4.rc lists them: each picture "Name.ext" is
the resource NAME (upper case, without the extension) of type "EXT" ("JPG",
"PNG", "GIF", "TIF"), or a BITMAP resource for ".bmp".
"""

import math
import os
import random
import struct
import subprocess
import sys
import tempfile
import zlib


class Picture:
    """width x height pixels (r, g, b, a), row 0 at the top."""

    def __init__(self, width, height, color=(255, 255, 255, 255)):
        self.width = width
        self.height = height
        self.pixels = [[color] * width for _ in range(height)]

    def set(self, x, y, color):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = color

    def get(self, x, y):
        return self.pixels[y][x]

    def fill(self, left, top, right, bottom, color):
        for y in range(max(0, top), min(self.height, bottom)):
            for x in range(max(0, left), min(self.width, right)):
                self.pixels[y][x] = color

    def has_alpha(self):
        return any(p[3] != 255 for row in self.pixels for p in row)


def clamp(value):
    return max(0, min(255, int(round(value))))


def shade(color, amount):
    return (clamp(color[0] + amount), clamp(color[1] + amount), clamp(color[2] + amount), color[3])


def mix(a, b, t):
    return tuple(clamp(a[i] + (b[i] - a[i]) * t) for i in range(3)) + (255,)


def png_bytes(picture):
    alpha = picture.has_alpha()
    raw = bytearray()
    for row in picture.pixels:
        raw.append(0)
        for p in row:
            raw.extend(p if alpha else p[:3])

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", picture.width, picture.height, 8, 6 if alpha else 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) +
            chunk(b"IEND", b""))


def bmp_bytes(picture):
    stride = (picture.width * 3 + 3) // 4 * 4
    data = bytearray()
    for row in reversed(picture.pixels):
        line = bytearray()
        for r, g, b, _ in row:
            line.extend((b, g, r))
        line.extend(b"\0" * (stride - len(line)))
        data.extend(line)
    info = struct.pack("<IiiHHIIiiII", 40, picture.width, picture.height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(data), 0, 0, 14 + len(info))
    return header + info + bytes(data)


def write(folder, name, picture, extra=()):
    path = os.path.join(folder, name)
    extension = os.path.splitext(name)[1].lower()
    if extension == ".png":
        with open(path, "wb") as out:
            out.write(png_bytes(picture))
    elif extension == ".bmp":
        with open(path, "wb") as out:
            out.write(bmp_bytes(picture))
    else:
        with tempfile.TemporaryDirectory() as work:
            source = os.path.join(work, "source.png")
            with open(source, "wb") as out:
                out.write(png_bytes(picture))
            subprocess.run(["convert", source, *extra, "-strip", path], check=True)
    print("wrote", path)


def draw_grass():
    """A tiling lawn: mottled green with short light and dark blades."""
    rng = random.Random(7)
    size = 128
    picture = Picture(size, size)
    base = (74, 128, 44, 255)
    for y in range(size):
        for x in range(size):
            wave = 6 * math.sin(2 * math.pi * x / size * 3) * math.cos(2 * math.pi * y / size * 2)
            picture.set(x, y, shade(base, wave + rng.randint(-10, 10)))
    for _ in range(900):
        x = rng.randrange(size)
        y = rng.randrange(size)
        length = rng.randint(3, 7)
        lean = rng.choice((-1, 0, 1))
        amount = rng.choice((-28, -18, 22, 34))
        for step in range(length):
            px = (x + (lean * step) // 3) % size
            py = (y - step) % size
            picture.set(px, py, shade(picture.get(px, py), amount * (1 - step / (length + 1))))
    return picture


def draw_brush_fence():
    """Packed brushwood: upright twigs in browns and dull greens, tiling."""
    rng = random.Random(11)
    size = 128
    picture = Picture(size, size, (58, 46, 30, 255))
    colors = [(96, 72, 44, 255), (120, 94, 58, 255), (78, 92, 46, 255), (104, 116, 60, 255), (70, 54, 34, 255)]
    for _ in range(420):
        x = rng.uniform(0, size)
        y = rng.randrange(size)
        length = rng.randint(20, 60)
        slope = rng.uniform(-0.25, 0.25)
        color = rng.choice(colors)
        width = rng.choice((1, 1, 2))
        for step in range(length):
            px = int(x + slope * step)
            for w in range(width):
                picture.set((px + w) % size, (y - step) % size, shade(color, rng.randint(-8, 8)))
    return picture


def draw_brick():
    """Running-bond brick wall: 32 x 16 bricks with 2-pixel mortar joints."""
    rng = random.Random(3)
    width, height = 128, 64
    picture = Picture(width, height, (196, 190, 178, 255))
    brick_w, brick_h, joint = 32, 16, 2
    for row in range(height // brick_h):
        offset = (brick_w // 2) * (row % 2)
        for column in range(-1, width // brick_w + 1):
            left = column * brick_w + offset
            top = row * brick_h
            color = (rng.randint(150, 178), rng.randint(62, 80), rng.randint(44, 58), 255)
            for y in range(top, top + brick_h - joint):
                for x in range(left, left + brick_w - joint):
                    picture.set(x % width, y, shade(color, rng.randint(-9, 9)))
    return picture


def draw_edit_copy():
    """16 x 16 icon: two overlapping sheets of paper on transparency."""
    picture = Picture(16, 16, (0, 0, 0, 0))
    outline = (52, 72, 110, 255)
    paper = (250, 250, 250, 255)
    lines = (150, 168, 200, 255)
    for left, top in ((1, 1), (6, 5)):
        right, bottom = left + 9, top + 11
        picture.fill(left, top, right, bottom, paper)
        for x in range(left, right):
            picture.set(x, top, outline)
            picture.set(x, bottom - 1, outline)
        for y in range(top, bottom):
            picture.set(left, y, outline)
            picture.set(right - 1, y, outline)
        for y in range(top + 3, bottom - 2, 2):
            for x in range(left + 2, right - 2):
                picture.set(x, y, lines)
    return picture


def draw_button_face(edge, top_color, bottom_color):
    """24 x 24 button frame: a 1-pixel edge with rounded corners, a light
    inner line and a vertical gradient; the corners are transparent."""
    size = 24
    picture = Picture(size, size, (0, 0, 0, 0))
    for y in range(size):
        fill = mix(top_color, bottom_color, y / (size - 1))
        for x in range(size):
            corner = (x in (0, size - 1)) and (y in (0, size - 1))
            if corner:
                continue
            if x in (0, size - 1) or y in (0, size - 1):
                picture.set(x, y, edge)
            elif x == 1 or y == 1:
                picture.set(x, y, shade(fill, 24))
            else:
                picture.set(x, y, fill)
    return picture


def draw_test_pattern(alpha):
    """4 x 3 picture of known colours for the loader's tests; with alpha the
    last two pixels are translucent and fully transparent."""
    rows = [
        [(255, 0, 0, 255), (0, 255, 0, 255), (0, 0, 255, 255), (255, 255, 255, 255)],
        [(0, 0, 0, 255), (128, 64, 32, 255), (255, 255, 0, 255), (0, 255, 255, 255)],
        [(255, 0, 255, 255), (200, 200, 200, 255)],
    ]
    rows[2] += [(0, 0, 255, 128), (0, 0, 0, 0)] if alpha else [(10, 20, 30, 255), (250, 240, 230, 255)]
    picture = Picture(4, 3)
    picture.pixels = rows
    return picture


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "app", "res")
    os.makedirs(folder, exist_ok=True)
    write(folder, "Grass.jpg", draw_grass(), ["-quality", "88"])
    write(folder, "BrushFence.jpg", draw_brush_fence(), ["-quality", "88"])
    write(folder, "Brick.png", draw_brick())
    write(folder, "EditCopy.png", draw_edit_copy())
    write(folder, "ToolbarButtonHot.png",
          draw_button_face((96, 140, 200, 255), (236, 244, 255, 255), (200, 222, 248, 255)))
    write(folder, "ToolbarButtonPressed.png",
          draw_button_face((70, 104, 160, 255), (170, 196, 230, 255), (204, 222, 244, 255)))
    write(folder, "TestPattern.png", draw_test_pattern(True))
    write(folder, "TestPattern.tif", draw_test_pattern(False), ["-compress", "none"])
    write(folder, "TestPattern.gif", draw_test_pattern(False))
    write(folder, "TestPattern.bmp", draw_test_pattern(False))


if __name__ == "__main__":
    main()
