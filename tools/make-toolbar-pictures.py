#!/usr/bin/env python3
"""Draws the 16 x 16 button pictures of the camera and shape toolbars into
app/res/ (Cam*.png and Shp*.png); app/ToolbarPictures.rc lists them.

The pictures are committed, so the build does not need this script; run it
again only to change them:

    tools/make-toolbar-pictures.py [output-folder]

Shapes are painted anti-aliased (each pixel sampled 4 x 4 times) onto a
transparent picture; the PNG writer is the one of tools/make-pictures.py.
"""

import importlib.util
import math
import os
import sys

_spec = importlib.util.spec_from_file_location(
    "make_pictures", os.path.join(os.path.dirname(os.path.abspath(__file__)), "make-pictures.py"))
pictures = importlib.util.module_from_spec(_spec)
_spec.loader.exec_module(pictures)

SIZE = 16
SAMPLES = 4

INK = (40, 40, 48, 255)
WHITE = (255, 255, 255, 255)
BLUE = (44, 96, 200, 255)
LIGHT_BLUE = (120, 170, 235, 255)
RED = (200, 52, 40, 255)
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
        self.picture = pictures.Picture(SIZE, SIZE, (0, 0, 0, 0))

    def paint(self, inside, color, box):
        left, top, right, bottom = box
        for y in range(max(0, int(math.floor(top))), min(SIZE, int(math.ceil(bottom)) + 1)):
            for x in range(max(0, int(math.floor(left))), min(SIZE, int(math.ceil(right)) + 1)):
                hits = 0
                for sy in range(SAMPLES):
                    for sx in range(SAMPLES):
                        if inside(x + (sx + 0.5) / SAMPLES, y + (sy + 0.5) / SAMPLES):
                            hits += 1
                if hits:
                    self.blend(x, y, color, hits / (SAMPLES * SAMPLES))

    def blend(self, x, y, color, coverage):
        r, g, b, a = self.picture.get(x, y)
        alpha = color[3] / 255.0 * coverage
        out_a = alpha + a / 255.0 * (1 - alpha)
        if out_a <= 0:
            return
        mixed = [(color[i] * alpha + (r, g, b)[i] * a / 255.0 * (1 - alpha)) / out_a for i in range(3)]
        self.picture.set(x, y, tuple(pictures.clamp(v) for v in mixed) + (pictures.clamp(out_a * 255),))

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


def curved_arrow(icon, cx, cy, r, start, end, color):
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
    icon.circle(11, 6, 1.2, RED)
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
        curved_arrow(icon, 8, 8, 5.5, -20, 200, BLUE)
    else:
        curved_arrow(icon, 8, 8, 5.5, 200, -20, BLUE)
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
        curved_arrow(icon, 4, 8.5, 9.5, -15, 55, BLUE)
    else:
        curved_arrow(icon, 4, 8.5, 9.5, 15, -55, BLUE)
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
    icon.circle(2.5, 13.5, 1.8, RED)
    icon.circle(13.5, 2.5, 1.8, RED)
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
    icon.box(1, 2, 15, 14, (255, 226, 222, 255), RED)
    icon.paint(lambda px, py: 2 <= px <= 14 and 3 <= py <= 13 and (px + py) % 4 < 1.2, RED, (2, 3, 14, 13))
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
        icon.line(1.5 + i * 2.6, 3, 1.5 + i * 2.6, 14, 1.4, RED if i % 2 else WHITE)
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


def bar(icon, x1, x2, y, color=RED):
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
        icon.rect(2.4, y - 1.2, 13.6, y + 1.2, RED if i % 2 == 0 else WHITE)
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
    icon.polygon([(1, 6), (8, 1), (15, 6)], RED)
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
    "single": [(8, RED)],
    "level": [(9, RED), (9, BLUE)],
    "ascending": [(6, RED), (10, BLUE)],
    "triple": [(5, RED), (8, BLUE), (11, GREEN)],
}


ICONS = [
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
    ("ShpDogPath.png", lambda: path(RED, 2.0, 1.6)),
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


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "app", "res")
    os.makedirs(folder, exist_ok=True)
    for name, draw in ICONS:
        pictures.write(folder, name, draw().picture)
    with open(os.path.join(root, "app", "ToolbarPictures.rc"), "w", newline="\n") as rc:
        rc.write("// Button pictures (16 x 16) of the camera and shape toolbars, found by\n"
                 "// name: \"CamZoomIn.png\" is the resource CAMZOOMIN of type \"PNG\".\n"
                 "// Drawn by tools/make-toolbar-pictures.py.\n\n")
        for name, _ in ICONS:
            rc.write('%s PNG "app/res/%s"\n' % (os.path.splitext(name)[0].upper(), name))


if __name__ == "__main__":
    main()
