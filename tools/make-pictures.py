#!/usr/bin/env python3
"""Draws the pictures the program carries as resources into app/res/.

The pictures are committed, so the build does not need this script; run it
again only to change them:

    tools/make-pictures.py [output-folder]

PNG and BMP files are written directly (zlib and struct); JPEG, GIF and TIFF
are converted from a drawn PNG by ImageMagick's `convert`. Every picture is
drawn from fixed seeds, so a run gives the same pixels each time.

Each picture "Name.ext" is the resource NAME (upper case, without the
extension) of type "EXT" ("JPG", "PNG", "GIF", "TIF"), or a BITMAP resource
for ".bmp". The resource script app/Fendrel4.rc lists the program's own
pictures by hand; app/ToolbarPictures.rc, which lists the camera and shape
toolbar buttons, is written by this script.
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


def blend(picture, x, y, color, coverage):
    """Blends the colour (r, g, b[, a]) over the pixel, covering the given
    share (0 to 1) of it."""
    a = coverage * ((color[3] if len(color) > 3 else 255) / 255.0)
    if a <= 0:
        return
    r, g, b, da = picture.pixels[y][x]
    da /= 255.0
    out = a + da * (1 - a)
    mixed = [(color[i] * a + (r, g, b)[i] * da * (1 - a)) / out for i in range(3)]
    picture.pixels[y][x] = (clamp(mixed[0]), clamp(mixed[1]), clamp(mixed[2]), clamp(out * 255))


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
    """Running-bond brick wall, one texture repeat one brick long and two
    courses high (the program maps it onto 80 x 80 tenths of an inch, so a
    brick is 8 by 4 inches): the upper course one whole brick, the lower
    two halves, with 3-pixel mortar joints."""
    rng = random.Random(3)
    width, height = 128, 64
    picture = Picture(width, height, (196, 190, 178, 255))
    course_h, joint = height // 2, 3
    for row in range(2):
        offset = (width // 2) * row
        for column in range(2):
            left = column * width + offset
            top = row * course_h
            color = (rng.randint(150, 178), rng.randint(62, 80), rng.randint(44, 58), 255)
            for y in range(top, top + course_h - joint):
                for x in range(left, left + width - joint):
                    picture.set(x % width, y, shade(color, rng.randint(-9, 9)))
    return picture


def draw_roof_tile():
    """Clay roof tiles, tiling: four rows of four rounded tiles, each row
    overlapping the next one down (eaves at the bottom of the picture)."""
    rng = random.Random(5)
    size = 128
    picture = Picture(size, size, (120, 50, 36, 255))
    tile_w, row_h = 32, 32
    for row in range(size // row_h):
        offset = (tile_w // 2) * (row % 2)
        for column in range(-1, size // tile_w + 1):
            base = (rng.randint(168, 190), rng.randint(70, 86), rng.randint(48, 60), 255)
            left = column * tile_w + offset
            for y in range(row * row_h, (row + 1) * row_h):
                # Darker towards the lower edge, where the next row overlaps.
                depth = (y - row * row_h) / row_h
                for x in range(left, left + tile_w):
                    across = (x - left + 0.5) / tile_w
                    light = 34 * math.sin(math.pi * across) - 20 - 30 * depth * depth
                    if x - left in (0, tile_w - 1):
                        light -= 40
                    picture.set(x % size, y, shade(base, light + rng.randint(-5, 5)))
    return picture


class Canvas(Picture):
    """A picture that is painted with anti-aliased shapes: each shape is
    sampled `samples` x `samples` times per pixel and blended over what is
    there by its coverage. Coordinates are in pixels, (0, 0) the top-left
    corner of the top-left pixel."""

    def __init__(self, width, height, samples=8, color=(0, 0, 0, 0)):
        super().__init__(width, height, color)
        self.samples = samples

    def coverage(self, polygons):
        """Per pixel the share of samples inside any of the polygons (each
        polygon even-odd)."""
        s = self.samples
        width, height = self.width * s, self.height * s
        hit = bytearray(width * height)
        for points in polygons:
            scaled = [(x * s, y * s) for x, y in points]
            top = max(0, int(math.floor(min(p[1] for p in scaled))))
            bottom = min(height, int(math.ceil(max(p[1] for p in scaled))) + 1)
            edges = list(zip(scaled, scaled[1:] + scaled[:1]))
            for row in range(top, bottom):
                y = row + 0.5
                crossings = []
                for (x0, y0), (x1, y1) in edges:
                    if (y0 <= y < y1) or (y1 <= y < y0):
                        crossings.append(x0 + (y - y0) * (x1 - x0) / (y1 - y0))
                crossings.sort()
                base = row * width
                for left, right in zip(crossings[0::2], crossings[1::2]):
                    first = max(0, int(math.ceil(left - 0.5)))
                    last = min(width - 1, int(math.ceil(right - 0.5)) - 1)
                    for column in range(first, last + 1):
                        hit[base + column] = 1
        result = [[0.0] * self.width for _ in range(self.height)]
        share = 1.0 / (s * s)
        for row in range(height):
            base = row * width
            line = result[row // s]
            for column in range(width):
                if hit[base + column]:
                    line[column // s] += share
        return result

    def paint(self, polygons, color):
        """Blends the colour (r, g, b[, a]) over the union of the polygons."""
        cover = self.coverage(polygons)
        for y in range(self.height):
            for x in range(self.width):
                blend(self, x, y, color, cover[y][x])

    # ---- Shapes as polygons -------------------------------------------------------

    @staticmethod
    def rect(left, top, right, bottom):
        return [(left, top), (right, top), (right, bottom), (left, bottom)]

    @staticmethod
    def ellipse(cx, cy, rx, ry, steps=48):
        return [(cx + rx * math.cos(2 * math.pi * i / steps), cy + ry * math.sin(2 * math.pi * i / steps))
                for i in range(steps)]

    @staticmethod
    def arc(cx, cy, r, start, end, steps=24):
        """Points along a circle from angle start to end (degrees, y down)."""
        return [(cx + r * math.cos(math.radians(start + (end - start) * i / steps)),
                 cy + r * math.sin(math.radians(start + (end - start) * i / steps))) for i in range(steps + 1)]

    @staticmethod
    def stroke(points, width, round_joins=True):
        """The polygons of a polyline drawn with a pen of that width."""
        half = width / 2.0
        polygons = []
        for (x0, y0), (x1, y1) in zip(points, points[1:]):
            length = math.hypot(x1 - x0, y1 - y0)
            if length == 0:
                continue
            nx, ny = -(y1 - y0) / length * half, (x1 - x0) / length * half
            polygons.append([(x0 + nx, y0 + ny), (x1 + nx, y1 + ny), (x1 - nx, y1 - ny), (x0 - nx, y0 - ny)])
        if round_joins:
            for x, y in points[1:-1]:
                polygons.append(Canvas.ellipse(x, y, half, half, 16))
        return polygons

    def erase(self, polygons):
        """Makes the union of the polygons see-through by its coverage."""
        cover = self.coverage(polygons)
        for y in range(self.height):
            for x in range(self.width):
                r, g, b, a = self.pixels[y][x]
                self.pixels[y][x] = (r, g, b, clamp(a * (1 - cover[y][x])))

    def fill(self, left, top, right, bottom, color):
        self.paint([Canvas.rect(left, top, right, bottom)], color)

    def box(self, left, top, right, bottom, fill, edge):
        """A 1-pixel edge around a filled rectangle."""
        self.fill(left, top, right, bottom, edge)
        self.fill(left + 1, top + 1, right - 1, bottom - 1, fill)


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


# ---- Command icons (16 x 16, transparent background) -----------------------------

OUTLINE = (58, 64, 78)
PAPER = (252, 252, 252)
PAPER_FOLD = (206, 214, 226)
TEXT_LINE = (150, 168, 200)
FOLDER_EDGE = (150, 104, 24)
FOLDER_BACK = (226, 176, 60)
FOLDER_FRONT = (252, 214, 100)
DISK = (48, 96, 178)
DISK_EDGE = (22, 46, 98)
SHUTTER = (200, 205, 214)
ARROW = (38, 112, 204)
ARROW_EDGE = (18, 58, 128)
RED = (214, 42, 42)
RED_EDGE = (130, 16, 16)
GRASS_LIGHT = (120, 190, 84)
GRASS_DARK = (66, 128, 44)


def page(canvas, left, top, right, bottom, fold=3):
    """A sheet of paper with a folded top-right corner."""
    outer = [(left, top), (right - fold, top), (right, top + fold), (right, bottom), (left, bottom)]
    inner = [(left + 1, top + 1), (right - fold - 0.4, top + 1), (right - 1, top + fold + 0.4), (right - 1, bottom - 1),
             (left + 1, bottom - 1)]
    canvas.paint([outer], OUTLINE)
    canvas.paint([inner], PAPER)
    canvas.paint([[(right - fold, top), (right - fold, top + fold), (right, top + fold)]], OUTLINE)
    canvas.paint([[(right - fold + 1, top + 1.6), (right - fold + 1, top + fold - 1), (right - 1.6, top + fold - 1)]],
                 PAPER_FOLD)


def text_lines(canvas, left, right, rows, color=TEXT_LINE):
    for y in rows:
        canvas.fill(left, y, right, y + 1, color)


def draw_file_new():
    """A blank sheet with a sparkle at its corner."""
    canvas = Canvas(16, 16)
    page(canvas, 3, 1, 14, 15)
    star = []
    for i in range(8):
        radius = 4.0 if i % 2 == 0 else 1.5
        angle = math.radians(-90 + 45 * i)
        star.append((4.2 + radius * math.cos(angle), 4.2 + radius * math.sin(angle)))
    canvas.paint([star], (200, 110, 0))
    canvas.paint([[(4.2 + (x - 4.2) * 0.7, 4.2 + (y - 4.2) * 0.7) for x, y in star]], (255, 200, 40))
    canvas.paint([Canvas.ellipse(4.2, 4.2, 0.9, 0.9)], (255, 248, 200))
    return canvas


def draw_file_open():
    """An open folder: the back with its tab, the front flap tipped forward."""
    canvas = Canvas(16, 16)
    back = [(0.5, 3), (5.5, 3), (7, 4.5), (13.5, 4.5), (13.5, 13.5), (0.5, 13.5)]
    canvas.paint([back], FOLDER_EDGE)
    canvas.paint([[(1.5, 4), (5.1, 4), (6.6, 5.5), (12.5, 5.5), (12.5, 12.5), (1.5, 12.5)]], FOLDER_BACK)
    canvas.paint([Canvas.rect(3, 6.5, 11.5, 8)], PAPER)
    front = [(3.2, 7.5), (15.8, 7.5), (13, 13.5), (0.5, 13.5)]
    canvas.paint([front], FOLDER_EDGE)
    canvas.paint([[(3.9, 8.5), (14.3, 8.5), (12.3, 12.5), (1.9, 12.5)]], FOLDER_FRONT)
    return canvas


def floppy(canvas, left, top, size):
    """A diskette: label at the top, metal shutter below."""
    right, bottom = left + size, top + size
    canvas.paint([[(left, top), (right - 2, top), (right, top + 2), (right, bottom), (left, bottom)]], DISK_EDGE)
    canvas.paint([[(left + 1, top + 1), (right - 2.4, top + 1), (right - 1, top + 2.4), (right - 1, bottom - 1),
                   (left + 1, bottom - 1)]], DISK)
    label_bottom = top + size * 0.5
    canvas.fill(left + 2, top + 1, right - 3, label_bottom, PAPER)
    text_lines(canvas, left + 3, right - 4, [top + 3, top + 5] if size >= 13 else [top + 3])
    shutter_left = left + size * 0.3
    canvas.fill(shutter_left, bottom - size * 0.38, right - 2, bottom - 1, SHUTTER)
    canvas.fill(shutter_left + size * 0.15, bottom - size * 0.38 + 1, shutter_left + size * 0.15 + 2, bottom - 2,
                DISK_EDGE)


def draw_file_save():
    canvas = Canvas(16, 16)
    floppy(canvas, 1, 1, 14)
    return canvas


def draw_file_save_all():
    """Two diskettes, one behind the other."""
    canvas = Canvas(16, 16)
    floppy(canvas, 5, 0, 11)
    floppy(canvas, 0, 5, 11)
    return canvas


def draw_file_print():
    """A printer with a sheet going in at the top and coming out below."""
    canvas = Canvas(16, 16)
    canvas.box(4, 0, 12, 6, PAPER, OUTLINE)
    canvas.paint([Canvas.rect(0.5, 5, 15.5, 12)], OUTLINE)
    canvas.paint([Canvas.rect(1.5, 6, 14.5, 11)], (206, 210, 218))
    canvas.fill(1.5, 9, 14.5, 11, (170, 176, 188))
    canvas.fill(12, 7, 14, 8, (70, 190, 70))
    canvas.box(3, 10, 13, 16, PAPER, OUTLINE)
    text_lines(canvas, 5, 11, [12, 14 - 0.0])
    return canvas


def curved_arrow(mirror):
    """A hook-shaped arrow: the head points left at the top (or right when
    mirrored), the shaft bends down behind it."""
    canvas = Canvas(16, 16)

    def place(points):
        return [((16 - x) if mirror else x, y) for x, y in points]

    shaft = Canvas.arc(8.5, 9.5, 4.5, -90, 90, 24)
    shaft = [(6, 5)] + shaft + [(5, 14)]
    head = [(0.8, 5), (6.6, 0.6), (6.6, 9.4)]
    canvas.paint([place(p) for p in Canvas.stroke(shaft, 4.4)] + [place(head)], ARROW_EDGE)
    canvas.paint([place(p) for p in Canvas.stroke(shaft, 2.4)] + [place([(2.5, 5), (5.6, 2.6), (5.6, 7.4)])], ARROW)
    return canvas


def draw_edit_undo():
    return curved_arrow(False)


def draw_edit_redo():
    return curved_arrow(True)


def draw_edit_cut():
    """Open scissors: two blades crossing above two round handles."""
    canvas = Canvas(16, 16)
    blade = (196, 204, 216)
    for mirror in (False, True):
        def m(points):
            return [((16 - x) if mirror else x, y) for x, y in points]
        canvas.paint([m([(3.6, 0.3), (6.2, 0.3), (10.8, 9.6), (8.6, 10.8)])], OUTLINE)
        canvas.paint([m([(4.6, 1.3), (5.6, 1.3), (9.6, 9.4), (8.9, 9.8)])], blade)
    canvas.paint([Canvas.ellipse(8, 7.6, 1.2, 1.2)], OUTLINE)
    for cx in (4.3, 11.7):
        canvas.paint([Canvas.ellipse(cx, 12.4, 3.4, 3.4)], RED_EDGE)
        canvas.paint([Canvas.ellipse(cx, 12.4, 2.5, 2.5)], RED)
    # The finger holes are see-through.
    canvas.erase([Canvas.ellipse(cx, 12.4, 1.3, 1.3) for cx in (4.3, 11.7)])
    return canvas


def draw_edit_paste():
    """A clipboard with a sheet on it."""
    canvas = Canvas(16, 16)
    board = (176, 122, 62)
    canvas.paint([Canvas.rect(1.5, 2, 12.5, 15.5)], (104, 66, 26))
    canvas.paint([Canvas.rect(2.5, 3, 11.5, 14.5)], board)
    canvas.box(4, 0.5, 10, 4, SHUTTER, OUTLINE)
    page(canvas, 6, 5, 15.5, 16, 2.5)
    text_lines(canvas, 8, 13, [9, 11, 13])
    return canvas


def draw_edit_delete():
    """A red cross."""
    canvas = Canvas(16, 16)
    arms = [[(2.5, 2.5), (13.5, 13.5)], [(13.5, 2.5), (2.5, 13.5)]]
    canvas.paint([p for arm in arms for p in Canvas.stroke(arm, 4.6)], RED_EDGE)
    canvas.paint([p for arm in arms for p in Canvas.stroke(arm, 2.8)], RED)
    return canvas


def draw_view_3d():
    """A cube seen from above at an angle: lit top, two shaded sides."""
    canvas = Canvas(16, 16)
    top = [(8, 1), (14.5, 4.5), (8, 8), (1.5, 4.5)]
    left = [(1.5, 4.5), (8, 8), (8, 15.5), (1.5, 12)]
    right = [(8, 8), (14.5, 4.5), (14.5, 12), (8, 15.5)]
    canvas.paint([top, left, right], OUTLINE)
    shrink = lambda points, cx, cy, f: [(cx + (x - cx) * f, cy + (y - cy) * f) for x, y in points]
    canvas.paint([shrink(top, 8, 4.5, 0.78)], (150, 196, 246))
    canvas.paint([shrink(left, 4.75, 10, 0.75)], (70, 128, 206))
    canvas.paint([shrink(right, 11.25, 10, 0.75)], (40, 86, 160))
    return canvas


def field_marks(canvas, to_pixel):
    """A jump (a striped bar between two wings), a curved tunnel and a line
    of weave poles on the field, placed through a mapping of field
    coordinates (0 to 1)."""
    def shape(points):
        return [to_pixel(u, v) for u, v in points]
    canvas.paint([shape([(0.08, 0.10), (0.16, 0.10), (0.16, 0.36), (0.08, 0.36)]),
                  shape([(0.56, 0.10), (0.64, 0.10), (0.64, 0.36), (0.56, 0.36)])], (40, 60, 40))
    canvas.paint([shape([(0.16, 0.18), (0.56, 0.18), (0.56, 0.28), (0.16, 0.28)])], (255, 255, 255))
    for left in (0.24, 0.40):
        canvas.paint([shape([(left, 0.18), (left + 0.08, 0.18), (left + 0.08, 0.28), (left, 0.28)])], RED)
    arc = [(0.50 + 0.36 * math.cos(math.radians(a)), 0.58 + 0.32 * math.sin(math.radians(a)))
           for a in range(-75, 76, 10)]
    outer = [to_pixel(u, v) for u, v in arc]
    canvas.paint(Canvas.stroke(outer, 2.6), (150, 110, 20))
    canvas.paint(Canvas.stroke(outer, 1.4), (252, 214, 60))
    for i in range(4):
        x, y = to_pixel(0.10 + 0.14 * i, 0.80)
        canvas.paint([Canvas.ellipse(x, y, 0.8, 0.8)], (255, 255, 255))


def draw_view_map():
    """The course from straight above: a green field with obstacles."""
    canvas = Canvas(16, 16)
    canvas.paint([Canvas.rect(0.5, 1.5, 15.5, 14.5)], GRASS_DARK)
    canvas.paint([Canvas.rect(1.5, 2.5, 14.5, 13.5)], GRASS_LIGHT)
    field_marks(canvas, lambda u, v: (1.5 + 13 * u, 2.5 + 11 * v))
    return canvas


def draw_view_3d_map():
    """The same field tipped back, as the 3D camera sees it."""
    canvas = Canvas(16, 16)

    def tip(u, v):
        half = 4.0 + 3.5 * v
        return (8 + (u - 0.5) * 2 * half, 4.5 + 9 * v)
    canvas.paint([[(3.2, 3.5), (12.8, 3.5), (15.8, 14.5), (0.2, 14.5)]], GRASS_DARK)
    canvas.paint([[tip(0, 0), tip(1, 0), tip(1, 1), tip(0, 1)]], GRASS_LIGHT)
    field_marks(canvas, tip)
    return canvas


def bezier(p0, p1, p2, p3, steps=40):
    points = []
    for i in range(steps + 1):
        t = i / steps
        a, b, c, d = (1 - t) ** 3, 3 * t * (1 - t) ** 2, 3 * t * t * (1 - t), t ** 3
        points.append((a * p0[0] + b * p1[0] + c * p2[0] + d * p3[0], a * p0[1] + b * p1[1] + c * p2[1] + d * p3[1]))
    return points


def draw_view_paths():
    """A dog's path: a dashed S-curve from a start dot to an arrow head."""
    canvas = Canvas(16, 16)
    blue = (36, 88, 200)
    curve = bezier((2.5, 13.5), (1.0, 5.0), (14.0, 11.5), (12.0, 3.5))
    dashes = []
    for i in range(0, 34, 7):
        dashes.extend(Canvas.stroke(curve[i:i + 5], 2.0))
    canvas.paint(dashes, blue)
    canvas.paint([Canvas.ellipse(2.5, 13.5, 2.0, 2.0)], blue)
    tip = (11.6, 0.6)
    canvas.paint([[tip, (15.2, 5.6), (8.6, 5.0)]], blue)
    return canvas


DIGITS = {
    "1": ["..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."],
    "2": [".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"],
}


def digit(canvas, text, left, top, color):
    for index, character in enumerate(text):
        for row, line in enumerate(DIGITS[character]):
            for column, mark in enumerate(line):
                if mark == "#":
                    canvas.set(left + index * 6 + column, top + row, color + (255,))


def draw_view_obs_nums():
    """An obstacle number: "12" on a white disc with a dark rim."""
    canvas = Canvas(16, 16)
    canvas.paint([Canvas.ellipse(8, 8, 7.6, 7.6)], OUTLINE)
    canvas.paint([Canvas.ellipse(8, 8, 6.6, 6.6)], PAPER)
    digit(canvas, "12", 3, 5, (20, 20, 20))
    return canvas


LETTER_A = ["...#...", "..#.#..", "..#.#..", ".#...#.", ".#####.", "#.....#", "#.....#"]


def draw_view_hidable_text():
    """A text label ("A" and lines) half hidden under a dashed outline."""
    canvas = Canvas(16, 16)
    canvas.fill(0, 2, 16, 14, (255, 255, 255, 255))
    for x in range(16):
        for y in (2, 13):
            if x % 3 != 2:
                canvas.set(x, y, (90, 96, 110, 255))
    for y in range(2, 14):
        for x in (0, 15):
            if y % 3 != 1:
                canvas.set(x, y, (90, 96, 110, 255))
    for row, line in enumerate(LETTER_A):
        for column, mark in enumerate(line):
            if mark == "#":
                canvas.set(2 + column, 4 + row, (20, 60, 160, 255))
    text_lines(canvas, 10, 14, [6, 8, 10], (120, 130, 150))
    return canvas


def draw_view_coords():
    """Coordinates: a grid with two measured axes."""
    canvas = Canvas(16, 16)
    canvas.fill(2, 0, 16, 14, (255, 255, 255, 255))
    for i in range(2, 16, 3):
        canvas.fill(i + 0.5, 0, i + 1.5, 14, (196, 210, 232))
        canvas.fill(2, i - 2 + 0.5, 16, i - 2 + 1.5, (196, 210, 232))
    canvas.fill(2, 13, 16, 15, OUTLINE)
    canvas.fill(1, 0, 3, 15, OUTLINE)
    for i in range(5, 16, 3):
        canvas.fill(i, 15, i + 1, 16, OUTLINE)
        canvas.fill(0, i - 3, 1, i - 2, OUTLINE)
    canvas.paint([Canvas.ellipse(9.5, 6.5, 2.2, 2.2)], RED)
    return canvas


def draw_help_contents():
    """A closed book with a question mark on its cover."""
    canvas = Canvas(16, 16)
    canvas.paint([Canvas.rect(2, 0.5, 14.5, 15.5)], (20, 48, 110))
    canvas.paint([Canvas.rect(3, 1.5, 13.5, 13)], (46, 104, 200))
    canvas.fill(3, 13, 13.5, 14.5, PAPER)
    canvas.fill(3, 1.5, 4.5, 13, (30, 70, 150))
    question = Canvas.arc(8.75, 5.5, 2.3, 180, 400, 20) + [(8.75, 9.4)]
    canvas.paint(Canvas.stroke(question, 1.8), (255, 255, 255))
    canvas.paint([Canvas.ellipse(8.75, 11.3, 1.0, 1.0)], (255, 255, 255))
    return canvas


def rotated_ellipse(cx, cy, rx, ry, degrees, steps=48):
    turn = math.radians(degrees)
    points = []
    for i in range(steps):
        a = 2 * math.pi * i / steps
        x, y = rx * math.cos(a), ry * math.sin(a)
        points.append((cx + x * math.cos(turn) - y * math.sin(turn), cy + x * math.sin(turn) + y * math.cos(turn)))
    return points


def draw_logo():
    """The program's logo (96 x 96): a dog clearing a jump on a lawn under a
    blue sky, in a rounded square."""
    size = 96
    canvas = Canvas(size, size, samples=4)
    horizon = 60
    sky_top, sky_bottom = (70, 136, 214), (186, 222, 250)
    for y in range(horizon):
        canvas.fill(0, y, size, y + 1, mix(sky_top, sky_bottom, y / horizon))
    for y in range(horizon, size):
        band = ((y - horizon) // 6) % 2
        canvas.fill(0, y, size, y + 1, shade((84, 156, 56, 255), 14 if band else 0))
    canvas.paint([rotated_ellipse(24, 18, 12, 5, 0), rotated_ellipse(33, 15, 8, 6, 0)], (255, 255, 255, 220))

    # The jump: two lattice wings, the striped bar between them, shadows.
    canvas.paint([rotated_ellipse(48, 78, 34, 3, 0)], (40, 90, 30, 110))
    for left in (14, 72):
        canvas.fill(left, 40, left + 10, 77, (248, 248, 248))
        canvas.fill(left, 40, left + 2, 78, (60, 60, 70))
        canvas.fill(left + 8, 40, left + 10, 78, (60, 60, 70))
        for y in (48, 58, 68):
            canvas.paint(Canvas.stroke([(left + 1, y + 6), (left + 9, y - 2)], 1.6), (60, 60, 70))
    canvas.fill(24, 52, 72, 57, (60, 60, 70))
    for i, left in enumerate(range(24, 72, 8)):
        canvas.fill(left, 53, left + 8, 56, (222, 36, 36) if i % 2 == 0 else (255, 255, 255))

    # The dog in mid-leap: legs stretched fore and aft, head up, tail out.
    dog = (58, 44, 36)
    parts = [rotated_ellipse(47, 31, 15, 6.5, -12), Canvas.ellipse(63, 21.5, 6.2, 5.6)]
    parts.append([(66, 18), (77, 20.5), (77, 24), (65, 26)])
    parts.append([(59, 19), (61, 12), (64.5, 18)])
    for leg in ([(58, 32), (67, 37), (76, 37)], [(56, 34), (63, 40), (71, 42)],
                [(36, 34), (28, 40), (18, 41)], [(38, 35), (31, 43), (22, 46)]):
        parts.extend(Canvas.stroke(leg, 3.6))
    parts.extend(Canvas.stroke([(33, 30), (25, 25), (18, 24)], 3.0))
    canvas.paint(parts, dog)
    canvas.paint([Canvas.ellipse(65.5, 20.5, 1.2, 1.2)], (250, 250, 250))
    canvas.paint([Canvas.ellipse(76.5, 21.5, 1.3, 1.3)], (20, 20, 20))

    # Round the corners off.
    radius = 16
    corners = []
    for cx, cy, start in ((radius, radius, 180), (size - radius, radius, 270), (size - radius, size - radius, 0),
                          (radius, size - radius, 90)):
        corner = (cx - radius if start in (180, 90) else cx + radius, cy - radius if start in (180, 270) else cy + radius)
        corners.append([corner] + Canvas.arc(cx, cy, radius, start, start + 90, 16))
    canvas.erase(corners)
    return canvas


def draw_paint_bucket():
    """A paint bucket tipped to the right, with paint running from its lip."""
    canvas = Canvas(16, 16)
    body = [(1.5, 6.5), (7.5, 1.0), (13.0, 6.5), (7.0, 12.5)]
    canvas.paint([body], OUTLINE)
    canvas.paint([[(3.0, 6.5), (7.5, 2.5), (11.5, 6.5), (7.0, 11.0)]], (214, 220, 230))
    canvas.paint([[(3.0, 6.5), (11.5, 6.5), (7.0, 11.0)]], (188, 196, 208))
    canvas.paint(Canvas.stroke([(7.5, 1.0), (5.0, 3.5), (4.2, 6.5)], 1.2, False), OUTLINE)
    canvas.paint([[(11.5, 6.2), (14.5, 7.0), (15.2, 11.5), (14.0, 14.5), (12.8, 11.5), (12.6, 8.2)]], RED_EDGE)
    canvas.paint([[(11.9, 6.9), (14.0, 7.6), (14.5, 11.4), (14.0, 13.2), (13.5, 11.4), (13.3, 8.4)]], RED)
    return canvas


def draw_paint_picker():
    """A pipette lying from the lower left to the upper right, a drop at its tip."""
    canvas = Canvas(16, 16)
    canvas.paint(Canvas.stroke([(3.0, 13.0), (10.0, 6.0)], 3.4, False), OUTLINE)
    canvas.paint(Canvas.stroke([(3.6, 12.4), (9.6, 6.4)], 1.6, False), (226, 232, 240))
    canvas.paint(Canvas.stroke([(1.2, 14.8), (3.2, 12.8)], 1.4, False), OUTLINE)
    canvas.paint(Canvas.stroke([(8.5, 7.5), (12.0, 4.0)], 4.2, False), OUTLINE)
    canvas.paint([Canvas.ellipse(12.6, 3.4, 2.8, 2.8)], OUTLINE)
    canvas.paint([Canvas.ellipse(12.6, 3.4, 1.8, 1.8)], (90, 96, 110))
    canvas.paint(Canvas.stroke([(4.4, 11.6), (7.0, 9.0)], 1.2, False), ARROW)
    return canvas


COMMAND_ICONS = [
    ("FileNew.png", draw_file_new),
    ("FileOpen.png", draw_file_open),
    ("FileSave.png", draw_file_save),
    ("FileSaveAll.png", draw_file_save_all),
    ("FilePrint.png", draw_file_print),
    ("EditUndo.png", draw_edit_undo),
    ("EditRedo.png", draw_edit_redo),
    ("EditCut.png", draw_edit_cut),
    ("EditCopy.png", lambda: draw_edit_copy()),
    ("EditPaste.png", draw_edit_paste),
    ("EditDelete.png", draw_edit_delete),
    ("View3D.png", draw_view_3d),
    ("ViewMap.png", draw_view_map),
    ("View3DMap.png", draw_view_3d_map),
    ("ViewPaths.png", draw_view_paths),
    ("ViewObsNums.png", draw_view_obs_nums),
    ("ViewHidableText.png", draw_view_hidable_text),
    ("ViewCoords.png", draw_view_coords),
    ("HelpContents.png", draw_help_contents),
    ("PaintBucket.png", draw_paint_bucket),
    ("PaintPicker.png", draw_paint_picker),
]


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


# ---- Camera and shape toolbar buttons (16 x 16, transparent background) ----------
#
# Painted with shapes given by their inside test, each pixel sampled 4 x 4 times.

BUTTON_SIZE = 16
BUTTON_SAMPLES = 4

INK = (40, 40, 48, 255)
WHITE = (255, 255, 255, 255)
BLUE = (44, 96, 200, 255)
LIGHT_BLUE = (120, 170, 235, 255)
BUTTON_RED = (200, 52, 40, 255)
GREEN = (56, 150, 64, 255)
LIGHT_GREEN = (120, 196, 110, 255)
YELLOW = (236, 196, 40, 255)
BROWN = (150, 98, 50, 255)
LIGHT_BROWN = (206, 160, 104, 255)
GREY = (128, 128, 136, 255)
LIGHT_GREY = (200, 200, 206, 255)


class Icon:
    """A transparent 16 x 16 picture painted with shapes in pixel
    coordinates, (0, 0) the top-left corner of the top-left pixel."""

    def __init__(self):
        self.picture = Picture(BUTTON_SIZE, BUTTON_SIZE, (0, 0, 0, 0))

    def paint(self, inside, color, box):
        left, top, right, bottom = box
        for y in range(max(0, int(math.floor(top))), min(BUTTON_SIZE, int(math.ceil(bottom)) + 1)):
            for x in range(max(0, int(math.floor(left))), min(BUTTON_SIZE, int(math.ceil(right)) + 1)):
                hits = 0
                for sy in range(BUTTON_SAMPLES):
                    for sx in range(BUTTON_SAMPLES):
                        if inside(x + (sx + 0.5) / BUTTON_SAMPLES, y + (sy + 0.5) / BUTTON_SAMPLES):
                            hits += 1
                if hits:
                    blend(self.picture, x, y, color, hits / (BUTTON_SAMPLES * BUTTON_SAMPLES))

    def polygon(self, points, color):
        xs = [p[0] for p in points]
        ys = [p[1] for p in points]

        def inside(px, py):
            hit = False
            for (x1, y1), (x2, y2) in zip(points, points[1:] + points[:1]):
                if (y1 > py) != (y2 > py) and px < x1 + (py - y1) * (x2 - x1) / (y2 - y1):
                    hit = not hit
            return hit

        self.paint(inside, color, (min(xs), min(ys), max(xs), max(ys)))

    def rect(self, left, top, right, bottom, color):
        self.polygon([(left, top), (right, top), (right, bottom), (left, bottom)], color)

    def box(self, left, top, right, bottom, fill, edge=INK):
        self.rect(left, top, right, bottom, edge)
        self.rect(left + 1, top + 1, right - 1, bottom - 1, fill)

    def ellipse(self, cx, cy, rx, ry, color):
        self.paint(lambda px, py: ((px - cx) / rx) ** 2 + ((py - cy) / ry) ** 2 <= 1.0, color,
                   (cx - rx, cy - ry, cx + rx, cy + ry))

    def circle(self, cx, cy, r, color):
        self.ellipse(cx, cy, r, r, color)

    def ring(self, cx, cy, r, width, color):
        self.paint(lambda px, py: abs(math.hypot(px - cx, py - cy) - r) <= width / 2, color,
                   (cx - r - width, cy - r - width, cx + r + width, cy + r + width))

    def line(self, x1, y1, x2, y2, width, color):
        dx, dy = x2 - x1, y2 - y1
        length = math.hypot(dx, dy) or 1.0

        def inside(px, py):
            t = max(0.0, min(1.0, ((px - x1) * dx + (py - y1) * dy) / (length * length)))
            return math.hypot(px - x1 - dx * t, py - y1 - dy * t) <= width / 2

        self.paint(inside, color, (min(x1, x2) - width, min(y1, y2) - width, max(x1, x2) + width,
                                   max(y1, y2) + width))

    def polyline(self, points, width, color):
        for (x1, y1), (x2, y2) in zip(points, points[1:]):
            self.line(x1, y1, x2, y2, width, color)

    def arc(self, cx, cy, r, start, end, width, color, steps=24):
        """Degrees, counter-clockwise on screen (y down) from start to end."""
        self.polyline(arc_points(cx, cy, r, start, end, steps), width, color)

    def arrow(self, x1, y1, x2, y2, width, color, head=3.5):
        """A shaft from (x1, y1) with a head whose tip is (x2, y2)."""
        dx, dy = x2 - x1, y2 - y1
        length = math.hypot(dx, dy)
        ux, uy = dx / length, dy / length
        base = (x2 - ux * head, y2 - uy * head)
        self.line(x1, y1, base[0] + ux * 0.5, base[1] + uy * 0.5, width, color)
        self.polygon([(x2, y2), (base[0] - uy * head, base[1] + ux * head),
                      (base[0] + uy * head, base[1] - ux * head)], color)


def arc_points(cx, cy, r, start, end, steps=24):
    return [(cx + r * math.cos(math.radians(a)), cy - r * math.sin(math.radians(a)))
            for a in (start + (end - start) * i / steps for i in range(steps + 1))]


def arc_arrow(icon, cx, cy, r, start, end, color):
    """An arc from start to end (degrees) with a head at the end."""
    points = arc_points(cx, cy, r, start, end - math.copysign(22, end - start))
    icon.polyline(points, 1.8, color)
    tip = arc_points(cx, cy, r, end, end, 1)[0]
    last = points[-1]
    icon.arrow(last[0], last[1], tip[0], tip[1], 1.8, color, head=3.2)


# ---- Camera buttons ----------------------------------------------------------------

def magnifier(sign):
    icon = Icon()
    icon.line(9.5, 9.5, 14.5, 14.5, 2.8, INK)
    icon.circle(6.5, 6.5, 5.2, INK)
    icon.circle(6.5, 6.5, 3.9, (235, 244, 255, 255))
    icon.rect(4, 5.8, 9, 7.2, BLUE)
    if sign == "+":
        icon.rect(5.8, 4, 7.2, 9, BLUE)
    return icon


def ring_plan(icon, points):
    icon.polygon(points, INK)
    cx = sum(p[0] for p in points) / len(points)
    cy = sum(p[1] for p in points) / len(points)
    inner = [(x + (cx - x) * 0.16, y + (cy - y) * 0.2) for x, y in points]
    icon.polygon(inner, LIGHT_GREEN)


def whole_course_down():
    icon = Icon()
    ring_plan(icon, [(1, 3), (15, 3), (15, 13), (1, 13)])
    icon.rect(4, 6, 7, 7.3, BROWN)
    icon.rect(9, 9, 12, 10.3, BROWN)
    icon.circle(11, 6, 1.2, BUTTON_RED)
    return icon


def whole_course_angled():
    icon = Icon()
    ring_plan(icon, [(4, 4), (12, 4), (15.5, 13), (0.5, 13)])
    icon.rect(5.5, 6.5, 8, 7.5, BROWN)
    icon.rect(8.5, 9.5, 11.5, 10.6, BROWN)
    return icon


def rotate(left):
    icon = Icon()
    icon.ellipse(8, 11, 6.5, 2.6, LIGHT_GREEN)
    if left:
        arc_arrow(icon, 8, 8, 5.5, -20, 200, BLUE)
    else:
        arc_arrow(icon, 8, 8, 5.5, 200, -20, BLUE)
    return icon


def straight(x1, y1, x2, y2):
    icon = Icon()
    icon.arrow(x1, y1, x2, y2, 2.4, BLUE, head=4.5)
    return icon


def raise_lower(up):
    icon = Icon()
    icon.rect(1, 13.5, 15, 15.5, GREEN)
    if up:
        icon.arrow(8, 12.5, 8, 1, 2.4, BLUE, head=4.5)
    else:
        icon.arrow(8, 1, 8, 12.5, 2.4, BLUE, head=4.5)
    return icon


def tilt(up):
    icon = Icon()
    icon.box(1, 6, 7, 11, GREY)
    icon.polygon([(7, 7), (9.5, 5.5), (9.5, 11.5), (7, 10)], INK)
    if up:
        arc_arrow(icon, 4, 8.5, 9.5, -15, 55, BLUE)
    else:
        arc_arrow(icon, 4, 8.5, 9.5, 15, -55, BLUE)
    return icon


def eye(icon, x, y):
    icon.ellipse(x, y, 3.2, 1.9, INK)
    icon.ellipse(x, y, 2.3, 1.2, WHITE)
    icon.circle(x, y, 0.9, BLUE)


def human_eye_height():
    icon = Icon()
    icon.circle(5, 3, 2, INK)
    icon.line(5, 5, 5, 10.5, 2, INK)
    icon.line(5, 6.5, 2, 9, 1.4, INK)
    icon.line(5, 6.5, 8, 9, 1.4, INK)
    icon.line(5, 10.5, 3, 15, 1.6, INK)
    icon.line(5, 10.5, 7, 15, 1.6, INK)
    icon.line(8, 3, 15, 3, 1, BLUE)
    eye(icon, 12, 5.8)
    return icon


def dog_body(icon, color, x0, y0, scale=1.0):
    def p(x, y):
        return (x0 + x * scale, y0 + y * scale)
    icon.polygon([p(0, 2), p(2, 0), p(4, 0), p(4.5, 1.5), p(11, 1.5), p(13, 0.5), p(12.5, 2), p(11.5, 3),
                  p(11.5, 7), p(10.3, 7), p(10, 4), p(4.5, 4), p(4, 7), p(2.8, 7), p(2.8, 3.2), p(1, 3)], color)


def dog_eye_height():
    icon = Icon()
    dog_body(icon, INK, 1, 8, 1.0)
    icon.line(1, 8, 15, 8, 1, BLUE)
    eye(icon, 11.5, 4)
    return icon


# ---- Shape buttons -----------------------------------------------------------------

def place_several():
    icon = Icon()
    icon.box(1, 1, 9, 9, LIGHT_GREY)
    icon.box(4, 4, 12, 12, LIGHT_GREY)
    icon.box(7, 7, 15, 15, YELLOW)
    return icon


def text():
    icon = Icon()
    icon.line(3, 14.5, 8, 1.5, 2.4, INK)
    icon.line(13, 14.5, 8, 1.5, 2.4, INK)
    icon.line(5, 10, 11, 10, 1.8, INK)
    return icon


def digit_one(icon, x, y, color):
    icon.polygon([(x, y + 1.5), (x + 2, y), (x + 3, y), (x + 3, y + 7), (x + 4, y + 7), (x + 4, y + 8),
                  (x, y + 8), (x, y + 7), (x + 1.5, y + 7), (x + 1.5, y + 1.8), (x + 0.5, y + 2.5)], color)


def obstacle_number():
    icon = Icon()
    icon.circle(8, 8, 7, INK)
    icon.circle(8, 8, 5.8, WHITE)
    digit_one(icon, 6, 4, INK)
    return icon


def path(color, dash, gap):
    icon = Icon()
    points = [(1.5 + 13 * t, 13 - 10 * math.sin(math.pi * t) + 2 * t) for t in (i / 60 for i in range(61))]
    run = 0.0
    for a, b in zip(points, points[1:]):
        step = math.hypot(b[0] - a[0], b[1] - a[1])
        if run % (dash + gap) < dash:
            icon.line(a[0], a[1], b[0], b[1], 1.7, color)
        run += step
    return icon


def start_finish():
    icon = Icon()
    icon.line(2, 14, 14, 2, 1.5, INK)
    icon.circle(2.5, 13.5, 1.8, BUTTON_RED)
    icon.circle(13.5, 2.5, 1.8, BUTTON_RED)
    icon.rect(3, 2, 5, 4, INK)
    icon.rect(5, 4, 7, 6, INK)
    icon.rect(5, 2, 7, 4, WHITE)
    icon.rect(3, 4, 5, 6, WHITE)
    return icon


def straight_line():
    icon = Icon()
    icon.line(2, 14, 14, 2, 2, INK)
    return icon


def human():
    icon = Icon()
    icon.circle(8, 2.8, 2.2, BLUE)
    icon.line(8, 5, 8, 10, 2.6, BLUE)
    icon.line(8, 6, 4, 9.5, 1.6, BLUE)
    icon.line(8, 6, 12, 9.5, 1.6, BLUE)
    icon.line(8, 10, 5.5, 15, 1.8, BLUE)
    icon.line(8, 10, 10.5, 15, 1.8, BLUE)
    return icon


def dog():
    icon = Icon()
    dog_body(icon, BROWN, 1.5, 3.5, 1.0)
    return icon


def unusable():
    icon = Icon()
    icon.box(1, 2, 15, 14, (255, 226, 222, 255), BUTTON_RED)
    icon.paint(lambda px, py: 2 <= px <= 14 and 3 <= py <= 13 and (px + py) % 4 < 1.2, BUTTON_RED, (2, 3, 14, 13))
    return icon


def plank(icon, x1, y1, x2, y2, width, fill=LIGHT_BROWN, zone=YELLOW, zone_length=3.0):
    dx, dy = x2 - x1, y2 - y1
    length = math.hypot(dx, dy)
    ux, uy = dx / length, dy / length
    nx, ny = -uy * width / 2, ux * width / 2

    def quad(a, b, color):
        ax, ay = x1 + ux * a, y1 + uy * a
        bx, by = x1 + ux * b, y1 + uy * b
        icon.polygon([(ax + nx, ay + ny), (bx + nx, by + ny), (bx - nx, by - ny), (ax - nx, ay - ny)], color)

    grow = 0.7
    nx2, ny2 = nx * (1 + grow / max(width / 2, 0.1)), ny * (1 + grow / max(width / 2, 0.1))
    icon.polygon([(x1 - ux * grow + nx2, y1 - uy * grow + ny2), (x2 + ux * grow + nx2, y2 + uy * grow + ny2),
                  (x2 + ux * grow - nx2, y2 + uy * grow - ny2), (x1 - ux * grow - nx2, y1 - uy * grow - ny2)], INK)
    quad(0, length, fill)
    if zone:
        quad(0, zone_length, zone)
        quad(length - zone_length, length, zone)


def see_saw():
    icon = Icon()
    plank(icon, 1.5, 8, 14.5, 8, 3.2)
    icon.rect(7.3, 5, 8.7, 11, INK)
    return icon


def a_frame():
    icon = Icon()
    plank(icon, 1.5, 8, 8, 8, 7, zone_length=2.5)
    plank(icon, 8, 8, 14.5, 8, 7, zone_length=2.5)
    icon.rect(7.5, 4, 8.5, 12, INK)
    return icon


def dog_walk():
    icon = Icon()
    plank(icon, 1, 8, 5.6, 8, 2.6, zone_length=2)
    plank(icon, 5.7, 8, 10.3, 8, 2.6, zone=None)
    plank(icon, 10.4, 8, 15, 8, 2.6, zone_length=2)
    return icon


def crossover():
    icon = Icon()
    plank(icon, 1, 8, 15, 8, 2.6, zone_length=2.5)
    plank(icon, 8, 1, 8, 15, 2.6, zone_length=2.5)
    icon.box(5.5, 5.5, 10.5, 10.5, LIGHT_BROWN)
    return icon


def sway_bridge():
    icon = Icon()
    plank(icon, 1, 8, 15, 8, 4, zone=None)
    icon.polyline([(2, 5), (5, 4), (8, 5), (11, 4), (14, 5)], 1, INK)
    icon.polyline([(2, 11), (5, 12), (8, 11), (11, 12), (14, 11)], 1, INK)
    return icon


def swing_plank():
    icon = Icon()
    icon.line(2, 2, 14, 2, 1.4, INK)
    icon.line(4, 2, 4, 10, 1, GREY)
    icon.line(12, 2, 12, 10, 1, GREY)
    plank(icon, 1.5, 11, 14.5, 11, 2.6, zone=None)
    return icon


def weave_poles():
    icon = Icon()
    for i in range(6):
        icon.line(1.5 + i * 2.6, 3, 1.5 + i * 2.6, 14, 1.4, BUTTON_RED if i % 2 else WHITE)
        icon.ring(1.5 + i * 2.6, 14, 0.7, 0.6, INK)
    icon.line(1, 14.5, 15, 14.5, 1, INK)
    return icon


def table():
    icon = Icon()
    icon.box(2, 2, 14, 14, LIGHT_BROWN)
    for x, y in ((4, 4), (12, 4), (4, 12), (12, 12)):
        icon.circle(x, y, 1, INK)
    return icon


def pause_box():
    icon = Icon()
    for i in range(4):
        icon.line(2 + i * 3.2, 2, 3.6 + i * 3.2, 2, 1.2, INK)
        icon.line(2 + i * 3.2, 14, 3.6 + i * 3.2, 14, 1.2, INK)
        icon.line(2, 2 + i * 3.2, 2, 3.6 + i * 3.2, 1.2, INK)
        icon.line(14, 2 + i * 3.2, 14, 3.6 + i * 3.2, 1.2, INK)
    return icon


def tunnel():
    icon = Icon()
    points = arc_points(8, 13, 7, 175, 5, 20)
    icon.polyline(points, 5.4, INK)
    icon.polyline(points, 3.6, BLUE)
    for a in (40, 90, 140):
        x, y = arc_points(8, 13, 7, a, a, 1)[0]
        icon.circle(x, y, 0.6, LIGHT_BLUE)
    return icon


def collapsed_tunnel():
    icon = Icon()
    icon.polygon([(6, 5.5), (15, 3.5), (15, 12.5), (6, 10.5)], LIGHT_BLUE)
    icon.polyline([(6, 5.5), (15, 3.5)], 1, INK)
    icon.polyline([(6, 10.5), (15, 12.5)], 1, INK)
    icon.box(1, 4, 7, 12, BLUE)
    return icon


def crawl_tunnel():
    icon = Icon()
    icon.box(1, 5, 15, 11, (230, 230, 200, 255))
    for x in (3, 8, 13):
        icon.rect(x - 0.6, 3.5, x + 0.6, 12.5, INK)
    return icon


def hoop_tunnel():
    icon = Icon()
    icon.line(1, 14, 15, 14, 1, INK)
    for x in (4, 8, 12):
        icon.arc(x, 14, 3.2, 0, 180, 1.3, BLUE)
    return icon


def uprights(icon, left, right, top=3, color=INK):
    icon.rect(left, top, left + 1.4, 15, color)
    icon.rect(right - 1.4, top, right, 15, color)


def bar(icon, x1, x2, y, color=BUTTON_RED):
    icon.rect(x1, y - 0.8, x2, y + 0.8, INK)
    for i, x in enumerate(range(int(x1), int(math.ceil(x2)), 2)):
        icon.rect(x, y - 0.4, min(x + 2, x2), y + 0.4, color if i % 2 == 0 else WHITE)


def tire_jump():
    icon = Icon()
    icon.rect(1, 1, 15, 2.2, INK)
    uprights(icon, 1, 15, 1)
    icon.ring(8, 8, 4, 2.2, INK)
    icon.line(8, 2, 8, 4, 0.8, GREY)
    icon.line(8, 12, 8, 15, 0.8, GREY)
    return icon


def long_jump():
    icon = Icon()
    for i in range(4):
        x = 1 + i * 3.6
        icon.polygon([(x, 15), (x + 3, 15), (x + 3, 15 - 2 - i), (x, 15 - 1.5 - i)], WHITE)
        icon.polyline([(x, 15), (x, 15 - 1.5 - i), (x + 3, 15 - 2 - i), (x + 3, 15)], 1, INK)
    return icon


def panel_jump():
    icon = Icon()
    uprights(icon, 1, 15)
    for i, y in enumerate((6, 8.5, 11, 13.5)):
        icon.rect(2.4, y - 1.2, 13.6, y + 1.2, BUTTON_RED if i % 2 == 0 else WHITE)
    icon.rect(2.4, 4.8, 13.6, 5.2, INK)
    return icon


def wall_jump():
    icon = Icon()
    icon.rect(1, 5, 15, 15, INK)
    for row in range(4):
        y = 5.7 + row * 2.4
        offset = 0 if row % 2 == 0 else 2
        for x in range(-2 + offset, 15, 4):
            icon.rect(max(1.7, x), y, min(14.3, x + 3.4), y + 1.8, (196, 92, 70, 255))
    icon.rect(0.5, 3.5, 15.5, 5, GREY)
    return icon


def viaduct():
    icon = wall_jump()
    for x in (4.5, 11.5):
        icon.paint(lambda px, py, x=x: (abs(px - x) <= 2 and py >= 12) or math.hypot(px - x, py - 12) <= 2,
                   WHITE, (x - 2, 10, x + 2, 15))
    return icon


def brush_jump():
    icon = Icon()
    icon.rect(1, 11, 15, 15, BROWN)
    for i in range(9):
        x = 1.5 + i * 1.6
        icon.line(x, 11, x + (i % 3 - 1) * 0.8, 4 + (i % 2) * 1.5, 1.4, GREEN)
    bar(icon, 1, 15, 5)
    return icon


def water_jump():
    icon = Icon()
    icon.polygon([(0.5, 13), (15.5, 13), (13, 9), (3, 9)], LIGHT_BLUE)
    icon.polyline([(2, 11), (4, 10.3), (6, 11), (8, 10.3), (10, 11), (12, 10.3), (14, 11)], 0.8, BLUE)
    uprights(icon, 1, 15, 3)
    bar(icon, 2.4, 13.6, 6)
    return icon


def window_jump():
    icon = Icon()
    icon.rect(1, 2, 15, 15, INK)
    icon.rect(2.2, 3.2, 13.8, 13.8, WHITE)
    icon.rect(2.2, 3.2, 13.8, 13.8, LIGHT_GREY)
    icon.rect(4.5, 5.5, 11.5, 11.5, INK)
    icon.rect(5.5, 6.5, 10.5, 10.5, WHITE)
    return icon


def wishing_well():
    icon = Icon()
    icon.polygon([(1, 6), (8, 1), (15, 6)], BUTTON_RED)
    icon.rect(2.5, 6, 3.7, 15, INK)
    icon.rect(12.3, 6, 13.5, 15, INK)
    icon.rect(1.5, 10, 14.5, 15, INK)
    for row in range(2):
        y = 10.7 + row * 2.1
        for x in range(2 + row * 2, 14, 4):
            icon.rect(x, y, min(x + 3.3, 13.8), y + 1.5, (196, 92, 70, 255))
    return icon


def barrel_side(icon, x, y, w, h):
    icon.box(x, y, x + w, y + h, LIGHT_BROWN)
    icon.rect(x, y + h * 0.3, x + w, y + h * 0.3 + 0.9, INK)
    icon.rect(x, y + h * 0.7 - 0.9, x + w, y + h * 0.7, INK)


def barrel_jump():
    icon = Icon()
    barrel_side(icon, 0.5, 9, 5, 6)
    barrel_side(icon, 10.5, 9, 5, 6)
    bar(icon, 1, 15, 6)
    icon.rect(2.4, 6.8, 3.6, 9, INK)
    icon.rect(12.4, 6.8, 13.6, 9, INK)
    return icon


def picket_fence():
    icon = Icon()
    for x in range(1, 15, 3):
        icon.polygon([(x, 15), (x, 6), (x + 1.1, 4.5), (x + 2.2, 6), (x + 2.2, 15)], WHITE)
        icon.polyline([(x, 15), (x, 6), (x + 1.1, 4.5), (x + 2.2, 6), (x + 2.2, 15)], 0.9, INK)
    icon.rect(0.5, 8, 15.5, 9, INK)
    icon.rect(0.5, 12, 15.5, 13, INK)
    return icon


def log_jump():
    icon = Icon()
    for y in (13, 9.6):
        icon.rect(2, y - 1.7, 14, y + 1.7, BROWN)
        icon.ellipse(2, y, 1.3, 1.7, LIGHT_BROWN)
        icon.ring(2, y, 1.2, 0.6, INK)
    icon.rect(2, 7.9, 14, 8.3, INK)
    return icon


def platform_jump():
    icon = Icon()
    icon.rect(0.5, 11, 15.5, 13, INK)
    icon.rect(1.2, 11.6, 14.8, 12.4, LIGHT_BROWN)
    icon.rect(1, 13, 2.2, 15, INK)
    icon.rect(13.8, 13, 15, 15, INK)
    uprights(icon, 2, 14, 3)
    bar(icon, 3.4, 12.6, 6)
    return icon


def hoop():
    icon = Icon()
    icon.ring(8, 7, 5.2, 2, YELLOW)
    icon.ring(8, 7, 5.2, 0.6, INK)
    icon.rect(7.3, 12, 8.7, 15, INK)
    icon.rect(4, 14.5, 12, 15.5, INK)
    return icon


def gate():
    icon = Icon()
    uprights(icon, 1, 15, 2)
    icon.rect(3, 4, 13, 5.2, WHITE)
    icon.rect(3, 4, 13, 13, INK)
    icon.rect(4, 5, 12, 12, WHITE)
    icon.line(4, 12, 12, 5, 1.1, INK)
    icon.line(8, 5, 8, 12, 1, INK)
    return icon


def barrel():
    icon = Icon()
    icon.circle(8, 8, 7, INK)
    icon.circle(8, 8, 6, LIGHT_BROWN)
    icon.ring(8, 8, 3.8, 0.8, BROWN)
    icon.circle(8, 8, 1, INK)
    return icon


def jump(bars, winged):
    """Front view: uprights (and wings) with bars at the given heights, one
    pair of uprights per entry of bars."""
    icon = Icon()
    count = len(bars)
    left_edge, right_edge = (3.5, 12.5) if winged else (1, 15)
    if winged:
        for x1, x2 in ((0.5, 3.5), (12.5, 15.5)):
            icon.polygon([(x1, 15), (x1, 6), (x2, 3), (x2, 15)] if x1 < 8 else
                         [(x1, 15), (x1, 3), (x2, 6), (x2, 15)], LIGHT_BLUE)
            icon.line((x1 + x2) / 2, 6, (x1 + x2) / 2, 15, 0.7, BLUE)
    if count == 1 and bars[0] is None:
        uprights(icon, left_edge, right_edge, 9)
        bar(icon, left_edge + 1.4, right_edge - 1.4, 12.5)
        return icon
    uprights(icon, left_edge, right_edge, 2)
    for i, (height, shade) in enumerate(bars):
        y = 15 - height
        if count > 1:
            icon.rect(left_edge + 2 + i * 1.5, y - 0.2, left_edge + 2.5 + i * 1.5, 15, GREY)
        bar(icon, left_edge + 1.4, right_edge - 1.4, y, shade)
    return icon


def nonwinged(kind):
    return jump(JUMP_BARS[kind], False)


def winged(kind):
    return jump(JUMP_BARS[kind], True)


JUMP_BARS = {
    "one": [None],
    "single": [(8, BUTTON_RED)],
    "level": [(9, BUTTON_RED), (9, BLUE)],
    "ascending": [(6, BUTTON_RED), (10, BLUE)],
    "triple": [(5, BUTTON_RED), (8, BLUE), (11, GREEN)],
}


BUTTON_ICONS = [
    ("CamZoomIn.png", lambda: magnifier("+")),
    ("CamZoomOut.png", lambda: magnifier("-")),
    ("CamWholeCourseDown.png", whole_course_down),
    ("CamWholeCourseAngled.png", whole_course_angled),
    ("CamRotateLeft.png", lambda: rotate(True)),
    ("CamForward.png", lambda: straight(8, 15, 8, 1)),
    ("CamRotateRight.png", lambda: rotate(False)),
    ("CamMoveLeft.png", lambda: straight(15, 8, 1, 8)),
    ("CamBackward.png", lambda: straight(8, 1, 8, 15)),
    ("CamMoveRight.png", lambda: straight(1, 8, 15, 8)),
    ("CamHumanEyeHeight.png", human_eye_height),
    ("CamUp.png", lambda: raise_lower(True)),
    ("CamTiltUp.png", lambda: tilt(True)),
    ("CamDogEyeHeight.png", dog_eye_height),
    ("CamDown.png", lambda: raise_lower(False)),
    ("CamTiltDown.png", lambda: tilt(False)),
    ("ShpMultiple.png", place_several),
    ("ShpText.png", text),
    ("ShpObsNum.png", obstacle_number),
    ("ShpDogPath.png", lambda: path(BUTTON_RED, 2.0, 1.6)),
    ("ShpHumanPath.png", lambda: path(BLUE, 4.0, 2.0)),
    ("ShpStartFinish.png", start_finish),
    ("ShpStraightLine.png", straight_line),
    ("ShpHuman.png", human),
    ("ShpDog.png", dog),
    ("ShpUnusable.png", unusable),
    ("ShpSeeSaw.png", see_saw),
    ("ShpAFrame.png", a_frame),
    ("ShpDogWalk.png", dog_walk),
    ("ShpCrossover.png", crossover),
    ("ShpSwayBridge.png", sway_bridge),
    ("ShpSwingPlank.png", swing_plank),
    ("ShpWeavePoles.png", weave_poles),
    ("ShpTable.png", table),
    ("ShpPauseBox.png", pause_box),
    ("ShpTunnel.png", tunnel),
    ("ShpCollapsedTunnel.png", collapsed_tunnel),
    ("ShpCrawlTunnel.png", crawl_tunnel),
    ("ShpHoopTunnel.png", hoop_tunnel),
    ("ShpTireJump.png", tire_jump),
    ("ShpLongJump.png", long_jump),
    ("ShpPanelJump.png", panel_jump),
    ("ShpWallJump.png", wall_jump),
    ("ShpViaduct.png", viaduct),
    ("ShpBrushJump.png", brush_jump),
    ("ShpWaterJump.png", water_jump),
    ("ShpWindowJump.png", window_jump),
    ("ShpWishingWell.png", wishing_well),
    ("ShpBarrelJump.png", barrel_jump),
    ("ShpPicketFenceJump.png", picket_fence),
    ("ShpLogJump.png", log_jump),
    ("ShpPlatformJump.png", platform_jump),
    ("ShpHoop.png", hoop),
    ("ShpGate.png", gate),
    ("ShpBarrel.png", barrel),
    ("ShpNonwingedOneJump.png", lambda: nonwinged("one")),
    ("ShpNonwingedSingleJump.png", lambda: nonwinged("single")),
    ("ShpNonwingedLevelDoubleJump.png", lambda: nonwinged("level")),
    ("ShpNonwingedAscDoubleJump.png", lambda: nonwinged("ascending")),
    ("ShpNonwingedTripleJump.png", lambda: nonwinged("triple")),
    ("ShpWingedOneJump.png", lambda: winged("one")),
    ("ShpWingedSingleJump.png", lambda: winged("single")),
    ("ShpWingedLevelDoubleJump.png", lambda: winged("level")),
    ("ShpWingedAscDoubleJump.png", lambda: winged("ascending")),
    ("ShpWingedTripleJump.png", lambda: winged("triple")),
]


def draw_dog_coat():
    """Light fur in strokes along the body, so that the dog's colour tints it."""
    rng = random.Random(23)
    size = 128
    picture = Picture(size, size, (236, 232, 226, 255))
    for y in range(size):
        for x in range(size):
            picture.set(x, y, shade(picture.get(x, y), rng.randint(-6, 6)))
    for _ in range(1400):
        x = rng.randrange(size)
        y = rng.randrange(size)
        length = rng.randint(4, 10)
        amount = rng.choice((-34, -24, -16, 12))
        for step in range(length):
            px = (x + step // 4) % size
            py = (y + step) % size
            picture.set(px, py, shade(picture.get(px, py), amount * (1 - step / (length + 1))))
    return picture


def draw_woman_body():
    """The handler's clothes and skin in quarters: trousers and shoes above,
    the shirt (tinted by the figure's colour) and skin below."""
    rng = random.Random(29)
    size = 128
    half = size // 2
    picture = Picture(size, size)
    quarters = [((0, 0), (58, 74, 118, 255), 14), ((half, 0), (226, 226, 230, 255), 4),
                ((0, half), (244, 244, 244, 255), 5), ((half, half), (228, 188, 160, 255), 3)]
    for (left, top), color, noise in quarters:
        for y in range(top, top + half):
            for x in range(left, left + half):
                weave = 4 if (x + y) % 4 == 0 else 0
                picture.set(x, y, shade(color, rng.randint(-noise, noise) - weave))
    # The shoes' soles run along the tubes' ends.
    for y in (2, 3, half - 4, half - 3):
        for x in range(half, size):
            picture.set(x, y, (90, 90, 96, 255))
    return picture


def draw_woman_head():
    """Skin with eyes, brows and a mouth where the head's front meets the
    texture, and a white hair band below (tinted by the figure's colour)."""
    size = 128
    picture = Picture(size, size, (230, 190, 162, 255))
    band = int(size * 0.78)
    picture.fill(0, band, size, size, (246, 246, 246, 255))
    eye_row = int(size * 0.345)
    for centre in (int(size * 0.715), int(size * 0.785)):
        picture.fill(centre - 3, eye_row - 2, centre + 3, eye_row + 2, (250, 250, 250, 255))
        picture.fill(centre - 1, eye_row - 2, centre + 2, eye_row + 2, (60, 80, 110, 255))
        picture.fill(centre - 4, eye_row + 4, centre + 4, eye_row + 6, (110, 70, 40, 255))
    mouth_row = int(size * 0.2)
    picture.fill(int(size * 0.73), mouth_row, int(size * 0.77), mouth_row + 2, (180, 90, 90, 255))
    return picture


def draw_woman_hair():
    """Brown hair in long strands."""
    rng = random.Random(31)
    size = 128
    picture = Picture(size, size, (112, 70, 36, 255))
    for _ in range(700):
        x = rng.randrange(size)
        y = rng.randrange(size)
        length = rng.randint(10, 30)
        amount = rng.choice((-30, -20, 18, 28))
        for step in range(length):
            py = (y + step) % size
            picture.set(x, py, shade(picture.get(x, py), amount))
    return picture


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "app", "res")
    os.makedirs(folder, exist_ok=True)
    write(folder, "Grass.jpg", draw_grass(), ["-quality", "88"])
    write(folder, "BrushFence.jpg", draw_brush_fence(), ["-quality", "88"])
    write(folder, "Brick.png", draw_brick())
    write(folder, "DogCoat.jpg", draw_dog_coat(), ["-quality", "88"])
    write(folder, "WomanBody.jpg", draw_woman_body(), ["-quality", "90"])
    write(folder, "WomanHead.jpg", draw_woman_head(), ["-quality", "90"])
    write(folder, "WomanHair.jpg", draw_woman_hair(), ["-quality", "88"])
    write(folder, "WomanHair.png", draw_woman_hair())
    write(folder, "RoofTile.png", draw_roof_tile())
    for name, draw in COMMAND_ICONS:
        write(folder, name, draw())
    write(folder, "LogoApp.png", draw_logo())
    write(folder, "ToolbarButtonHot.png",
          draw_button_face((96, 140, 200, 255), (236, 244, 255, 255), (200, 222, 248, 255)))
    write(folder, "ToolbarButtonPressed.png",
          draw_button_face((70, 104, 160, 255), (170, 196, 230, 255), (204, 222, 244, 255)))
    write(folder, "TestPattern.png", draw_test_pattern(True))
    write(folder, "TestPattern.tif", draw_test_pattern(False), ["-compress", "none"])
    write(folder, "TestPattern.gif", draw_test_pattern(False))
    write(folder, "TestPattern.bmp", draw_test_pattern(False))
    for name, draw in BUTTON_ICONS:
        write(folder, name, draw().picture)
    with open(os.path.join(root, "app", "ToolbarPictures.rc"), "w", newline="\n") as rc:
        rc.write("// Button pictures (16 x 16) of the camera and shape toolbars, found by\n"
                 "// name: \"CamZoomIn.png\" is the resource CAMZOOMIN of type \"PNG\".\n"
                 "// Drawn by tools/make-pictures.py.\n\n")
        for name, _ in BUTTON_ICONS:
            rc.write('%s PNG "app/res/%s"\n' % (os.path.splitext(name)[0].upper(), name))


if __name__ == "__main__":
    main()
