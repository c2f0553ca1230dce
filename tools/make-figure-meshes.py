#!/usr/bin/env python3
"""Builds the dog and handler figure meshes and writes them as packed tables:
objects/annotations/DogFigureData.cpp and HumanFigureData.cpp.

The files are committed, so the build does not need this script; run it
again only to change the meshes:

    tools/make-figure-meshes.py

Each figure is a tree of parts (joints). Every part but the ends carries
closed, rounded tubes from its origin towards its tip; a tube's vertices
all follow their part (weight 1). The geometry is designed where the figure
stands in its default pose, in the skin's own coordinates (z up, the figure
facing -y); the bind positions written out are those points taken back
through the default pose onto the parts' rest placements. Vertices are
packed as four 16-bit values (x, y, z within the bounds box, the normal in
5, 5 and 6 bits); corners are {vertex, texture coordinate} pairs, and each
vertex has its own texture coordinate.
"""

import math
import os
import sys


# ---- Placements (rows are the images of the unit vectors; a point is a row
# vector, so turning in the transform's own frame changes its rows) ---------

class Mat:
    def __init__(self, rows=None, t=(0.0, 0.0, 0.0)):
        self.r = [list(x) for x in (rows or [[1, 0, 0], [0, 1, 0], [0, 0, 1]])]
        self.t = list(t)

    def rot(self, axis, deg):
        if deg == 0:
            return
        b, c = (axis + 1) % 3, (axis + 2) % 3
        co, si = math.cos(math.radians(deg)), math.sin(math.radians(deg))
        rb, rc = self.r[b][:], self.r[c][:]
        self.r[b] = [co * rb[j] + si * rc[j] for j in range(3)]
        self.r[c] = [co * rc[j] - si * rb[j] for j in range(3)]

    def vec(self, v):
        return [v[0] * self.r[0][j] + v[1] * self.r[1][j] + v[2] * self.r[2][j] for j in range(3)]

    def pt(self, p):
        v = self.vec(p)
        return [v[j] + self.t[j] for j in range(3)]

    def inv(self):
        m = Mat([[self.r[j][i] for j in range(3)] for i in range(3)])
        m.t = [-x for x in m.vec(self.t)]
        return m


def product(a, b):
    """Applies b first, then a."""
    m = Mat()
    m.r = [a.vec(b.r[i]) for i in range(3)]
    m.t = a.pt(b.t)
    return m


def rotation(angles, order):
    m = Mat()
    for ch in order:
        i = 'XYZ'.index(ch)
        m.rot(i, angles[i])
    return m


def add(a, b):
    return [a[i] + b[i] for i in range(3)]


def sub(a, b):
    return [a[i] - b[i] for i in range(3)]


def scale(a, f):
    return [x * f for x in a]


def dot(a, b):
    return sum(a[i] * b[i] for i in range(3))


def cross(a, b):
    return [a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]]


def unit(a):
    n = math.sqrt(dot(a, a))
    return scale(a, 1.0 / n) if n > 0 else [0.0, 0.0, 1.0]


# ---- Meshes ----------------------------------------------------------------

class Tube:
    """A closed tube from a to b: rings of `segments` points, a pole or a flat
    cap at each end; radii r0 at a and r1 at b, the cross-section `flat` times
    as high as wide (its width along `side`)."""

    def __init__(self, part, material, a, b, r0, r1, flat=1.0, side=(1.0, 0.0, 0.0), count=None, segments=10,
                 bulge=0.5):
        self.part, self.material = part, material
        self.a, self.b, self.r0, self.r1 = a, b, r0, r1
        self.flat, self.side, self.count, self.segments, self.bulge = flat, side, count, segments, bulge

    def layout(self, count):
        best = None
        for poles in (2, 1, 0):
            for s in range(4, 25):
                if (count - poles) % s == 0 and (count - poles) // s >= 2:
                    score = abs(s - self.segments) + (2 - poles) * 3.0
                    if best is None or score < best[0]:
                        best = (score, s, (count - poles) // s, poles)
        if best is None:
            raise SystemExit('no tube of %d vertices' % count)
        return best[1:]

    def build(self, count):
        s, rings, poles = self.layout(count)
        axis = sub(self.b, self.a)
        d = unit(axis)
        side = sub(list(self.side), scale(d, dot(list(self.side), d)))
        if dot(side, side) < 1e-6:
            side = cross(d, [0.0, 0.0, 1.0]) if abs(d[2]) < 0.9 else [1.0, 0.0, 0.0]
        side = unit(side)
        up = unit(cross(d, side))
        points, normals, uvs = [], [], []
        for i in range(rings):
            t = (i + 0.5) / rings if poles == 2 else (i + (0.5 if poles else 0.0)) / max(1, rings - (0 if poles else 1))
            t = min(1.0, max(0.0, t)) if poles < 2 else t
            radius = self.r0 + (self.r1 - self.r0) * t
            round_ = math.sin(math.pi * min(max(t, 0.0), 1.0)) ** self.bulge if poles == 2 else 1.0
            radius *= max(round_, 0.35)
            centre = add(self.a, scale(axis, t))
            for j in range(s):
                angle = 2.0 * math.pi * j / s
                c, si = math.cos(angle), math.sin(angle)
                offset = add(scale(side, c * radius), scale(up, si * radius * self.flat))
                points.append(add(centre, offset))
                normals.append(unit(add(scale(side, c * self.flat), scale(up, si))))
                uvs.append((j / s, 0.1 + 0.8 * i / max(1, rings - 1)))
        tris = []
        for i in range(rings - 1):
            for j in range(s):
                a0, a1 = i * s + j, i * s + (j + 1) % s
                b0, b1 = a0 + s, a1 + s
                tris += [(a0, a1, b1), (a0, b1, b0)]
        reach = 0.08 * math.sqrt(dot(axis, axis))
        if poles >= 1:
            tip = len(points)
            points.append(add(self.b, scale(d, reach - (self.r1 * 0.1))))
            normals.append(d)
            uvs.append((0.5, 0.98))
            last = (rings - 1) * s
            tris += [(last + j, last + (j + 1) % s, tip) for j in range(s)]
        else:
            last = (rings - 1) * s
            tris += [(last, last + j, last + j + 1) for j in range(1, s - 1)]
        if poles == 2:
            root = len(points)
            points.append(sub(self.a, scale(d, reach)))
            normals.append(scale(d, -1.0))
            uvs.append((0.5, 0.02))
            tris += [((j + 1) % s, j, root) for j in range(s)]
        else:
            tris += [(j + 1, j, 0) for j in range(1, s - 1)]
        return points, normals, uvs, tris


# ---- Figures -----------------------------------------------------------------

class Part:
    def __init__(self, parent, origin, angles=(0.0, 0.0, 0.0), offset=None, count=None):
        self.parent, self.origin, self.angles, self.offset, self.count = parent, origin, angles, offset, count


def build_figure(parts, tubes, order, posed_local, pinned, total, absorber, atlas=None):
    """parts: Part per number, origins given in the default pose (or offsets
    for the fixed rows); tubes: the meshes; posed_local(n, rest) gives a
    part's local rotation in the default pose; pinned: {vertex number from 1:
    (part, which)} with which = 'tip' or 'side'; total: the vertex count;
    absorber: the part whose last tube takes the vertices left over."""
    rest_world, posed_world, offsets = [], [], []
    for n, p in enumerate(parts):
        rest = rotation(p.angles, order)
        parent_rest = rest_world[p.parent] if p.parent >= 0 else Mat()
        parent_posed = posed_world[p.parent] if p.parent >= 0 else Mat()
        offset = p.offset if p.offset is not None else parent_posed.inv().pt(p.origin)
        rest.t = list(offset)
        posed = posed_local(n, p.angles)
        posed.t = list(offset)
        rest_world.append(product(parent_rest, rest))
        posed_world.append(product(parent_posed, posed))
        offsets.append(offset)
        p.origin = posed_world[-1].t
    fixed = sum(t.count for t in tubes if t.count)
    free = [t for t in tubes if not t.count]
    absorb = [t for t in free if t.part == absorber][-1]
    share = {}
    raw = {}
    for t in free:
        length = math.sqrt(dot(sub(t.b, t.a), sub(t.b, t.a)))
        raw[id(t)] = max(2.0, length / max(t.r0, t.r1, 1e-6)) * t.segments * t.segments
    factor = (total - fixed) / sum(raw.values())
    left = total - fixed
    for t in free:
        if t is absorb:
            continue
        n = max(10, int(raw[id(t)] * factor))
        share[id(t)] = n
        left -= n
    share[id(absorb)] = left
    # The parts whose weighted-vertex counts the tables fix hold exactly those.
    per_part = {}
    for t in tubes:
        per_part.setdefault(t.part, []).append(t)
    for n, p in enumerate(parts):
        if p.count is not None and n in per_part:
            ts = per_part[n]
            if sum(t.count or 0 for t in ts) != p.count:
                raise SystemExit('part %d: tubes hold %d vertices, not %d' % (n, sum(t.count or 0 for t in ts), p.count))
    meshes = []
    for t in tubes:
        pts, nors, uvs, tris = t.build(t.count or share[id(t)])
        # Designed where the part stands posed: back onto its rest placement.
        back = product(rest_world[t.part], posed_world[t.part].inv())
        pts = [back.pt(q) for q in pts]
        nors = [back.vec(q) for q in nors]
        meshes.append((t, pts, nors, uvs, tris))
    # Vertex numbers: the pinned ones first where they are asked for, the
    # rest in part order.
    slots = [None] * total
    taken = set()
    for number, (part, which) in pinned.items():
        mesh = [m for m in meshes if m[0].part == part][0]
        pts = mesh[1]
        segments, rings, poles = mesh[0].layout(len(pts))
        if which == 'tip':
            local = rings * segments if poles >= 1 else (rings - 1) * segments
        else:
            local = (rings // 2) * segments
        slots[number - 1] = (id(mesh), local)
        taken.add((id(mesh), local))
    free_slots = iter(i for i in range(total) if slots[i] is None)
    index_of = {}
    for (number, key) in [(i, s) for i, s in enumerate(slots) if s is not None]:
        index_of[key] = number
    for m in sorted(meshes, key=lambda m: m[0].part):
        for i in range(len(m[1])):
            if (id(m), i) not in taken:
                index_of[(id(m), i)] = next(free_slots)
    vertices = [None] * total
    part_of = [None] * total
    for m in meshes:
        for i in range(len(m[1])):
            k = index_of[(id(m), i)]
            u0, v0, u1, v1 = (atlas or {}).get(m[0].material, (0.0, 0.0, 1.0, 1.0))
            uv = m[3][i]
            vertices[k] = (m[1][i], m[2][i], (u0 + (u1 - u0) * uv[0], v0 + (v1 - v0) * uv[1]))
            part_of[k] = m[0].part
    assert all(v is not None for v in vertices)
    counts = [0] * len(parts)
    for k in range(total):
        counts[part_of[k]] += 1
    materials = {}
    for m in meshes:
        materials.setdefault(m[0].material, []).extend(
            [tuple(index_of[(id(m), c)] for c in tri) for tri in m[4]])
    return rest_world, offsets, vertices, part_of, counts, materials


def pack(vertices):
    lo = [min(v[0][i] for v in vertices) for i in range(3)]
    hi = [max(v[0][i] for v in vertices) for i in range(3)]
    box = [lo[0], hi[0], lo[1], hi[1], lo[2], hi[2]]
    out = []
    for p, n, _ in vertices:
        q = [int(round((p[i] - lo[i]) / (hi[i] - lo[i]) * 65535.0)) for i in range(3)]
        n = unit(n)
        nx = int(round((n[0] + 1.0) * 31.0 / 2.0))
        ny = int(round((n[1] + 1.0) * 31.0 / 2.0))
        nz = int(round((n[2] + 1.0) * 63.0 / 2.0))
        out += q + [(nx << 11) | (ny << 6) | nz]
    return box, out


def numbers(values, per_line=16):
    lines = []
    for i in range(0, len(values), per_line):
        lines.append('    ' + ', '.join(str(v) for v in values[i:i + per_line]) + ',')
    return '\n'.join(lines)


def fl(x):
    s = '%.6g' % (0.0 if abs(x) < 1e-9 else x)
    if 'e' not in s and '.' not in s:
        s += '.0'
    return s + 'f'


def write_figure(path, prefix, parts, offsets, vertices, part_of, counts, materials, material_order):
    box, packed = pack(vertices)
    weights = []
    for n in range(len(parts)):
        for k in range(len(vertices)):
            if part_of[k] == n:
                weights += [k, 65535]
    texture = []
    for _, _, uv in vertices:
        texture += [int(round(uv[0] * 65535)), int(round(uv[1] * 65535))]
    corners = []
    corner_counts = []
    for m in material_order:
        tris = materials.get(m, [])
        for tri in tris:
            for c in tri:
                corners += [c, c]
        corner_counts.append(3 * len(tris))
    rows = []
    for n, p in enumerate(parts):
        rows.append('    {%d, %d, {%s, %s, %s}, {%s, %s, %s}},' % (
            p.parent, counts[n], fl(offsets[n][0]), fl(offsets[n][1]), fl(offsets[n][2]),
            fl(p.angles[0]), fl(p.angles[1]), fl(p.angles[2])))
    text = '''// Written by tools/make-figure-meshes.py; run it again to change the mesh.
#include "objects/annotations/FigureData.h"

const CFigureData& Get%sFigureData()
{
    static const uint16_t packed[] = {
%s
    };
    static const uint16_t weights[] = {
%s
    };
    static const uint16_t texture[] = {
%s
    };
    static const uint16_t corners[] = {
%s
    };
    static const CFigurePartRow parts[] = {
%s
    };
    static const uint32_t materialCorners[] = {%s};
    static const CFigureData data = {%d, {%s}, packed, weights, texture, corners, %d, parts, %d, materialCorners};
    return data;
}
''' % (prefix, numbers(packed), numbers(weights), numbers(texture), numbers(corners), '\n'.join(rows),
       ', '.join(str(c) for c in corner_counts), len(vertices), ', '.join(fl(b) for b in box), len(parts),
       len(corner_counts))
    with open(path, 'w') as f:
        f.write(text)
    return corner_counts


def mirror_x(p):
    return [-p[0], p[1], p[2]]


# ---- The dog -----------------------------------------------------------------
# Skin units of 0.825 inch (the figure's scale 8.25 makes tenths of an inch);
# the rear of the spine (part 0) and the legs' roots are fixed by the tables.
# Materials in the map's painting order: 0 the legs, tail and neck (below),
# 1 the body, 2 the ears, 3 the head and muzzle (on top).

def dog():
    P = Part
    fixed = {
        0: P(-1, None, (-90.0, -5.2515, -90.0), (0.0, 6.9262, 19.8252), 89),
        1: P(0, None, (0.0, 0.0, 3.5214), (0.0, 0.0, 0.0), 0),
        2: P(1, None, (0.0, 0.0, 0.9023), (3.3234, 0.0, 0.0), 61),
        7: P(6, None, (-117.731, -13.2555, 111.695), (0.0, 0.0, 1.5482), 0),
        12: P(6, None, (117.731, 13.2555, 111.695), (0.0, 0.0, -1.5482), 0),
        22: P(0, None, (0.0, 2.6284, -173.932), (0.0, 0.0, 0.0), 15),
    }
    spine = {3: (0, -0.6, 20.5), 4: (0, -5.0, 20.8), 5: (0, -9.4, 21.0), 6: (0, -13.6, 21.3)}
    front = [(2.6, -14.5, 18.5), (2.8, -13.2, 10.5), (2.6, -14.0, 3.2), (2.6, -14.3, 1.2)]
    neck = [(0, -15.8, 23.0), (0, -17.6, 25.6), (0, -19.0, 27.8), (0, -20.0, 29.6), (0, -22.3, 29.2)]
    tail = [(0, 7.2, 19.9), (0, 8.8, 19.6), (0, 10.4, 18.8), (0, 11.8, 17.6), (0, 12.9, 16.1), (0, 13.7, 14.4),
            (0, 14.2, 12.6)]
    hind = [(2.9, 6.0, 18.0), (3.1, 3.4, 11.0), (3.0, 8.2, 5.6), (3.0, 7.6, 1.2)]
    parents = [-1, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 6, 12, 13, 14, 15, 6, 17, 18, 19, 20,
               0, 22, 23, 24, 25, 26, 27, 0, 29, 30, 31, 0, 33, 34, 35]
    where = dict(spine)
    for i, q in enumerate(front):
        where[8 + i] = q
        where[13 + i] = mirror_x(q)
    for i, q in enumerate(neck):
        where[17 + i] = q
    for i, q in enumerate(tail[1:]):
        where[23 + i] = q
    for i, q in enumerate(hind):
        where[29 + i] = q
        where[33 + i] = mirror_x(q)
    parts = []
    for n in range(37):
        if n in fixed:
            parts.append(fixed[n])
        else:
            parts.append(P(parents[n], list(where[n])))
    T = Tube
    tubes = [
        T(0, 1, [0, 10.0, 19.4], [0, 4.0, 20.1], 3.9, 4.4, 1.05, count=89, segments=8),
        T(2, 1, [0, 4.6, 20.1], [0, -1.2, 20.5], 4.4, 4.6, 1.05, count=61, segments=10),
        T(3, 1, [0, -0.6, 20.5], [0, -5.6, 20.8], 4.6, 4.8, 1.05, segments=16, bulge=0.1),
        T(4, 1, [0, -5.0, 20.8], [0, -10.0, 21.0], 4.8, 5.0, 1.05, segments=16, bulge=0.1),
        T(5, 1, [0, -9.4, 21.0], [0, -14.5, 21.2], 5.0, 5.3, 1.08, segments=16, bulge=0.1),
        T(6, 1, [0, -13.0, 21.3], [0, -18.0, 20.4], 5.2, 3.8, 1.15, segments=16),
        T(17, 0, [0, -15.6, 22.6], [0, -17.8, 25.8], 3.6, 3.2, segments=14),
        T(18, 0, [0, -17.4, 25.4], [0, -19.2, 28.0], 3.2, 2.9, segments=14),
        T(19, 0, [0, -18.8, 27.6], [0, -20.2, 29.8], 2.9, 2.7, segments=14),
        T(20, 3, [0, -18.6, 30.0], [0, -22.9, 29.6], 3.2, 2.7, 0.92, segments=16),
        T(20, 2, [1.7, -20.0, 31.2], [3.0, -19.4, 33.9], 1.3, 0.3, 0.35, side=(0.3, 1.0, 0.0), segments=8),
        T(20, 2, [-1.7, -20.0, 31.2], [-3.0, -19.4, 33.9], 1.3, 0.3, 0.35, side=(-0.3, 1.0, 0.0), segments=8),
        T(21, 3, [0, -21.8, 29.0], [0, -26.8, 28.1], 1.9, 1.2, 0.9, segments=14),
        T(21, 3, [0, -26.4, 28.5], [0, -27.3, 28.5], 0.6, 0.45, segments=8),
    ]
    for i in range(7):
        a = tail[i]
        b = tail[i + 1] if i < 6 else (0, 14.5, 10.8)
        r0, r1 = 1.1 - 0.1 * i, 1.0 - 0.1 * i
        tubes.append(T(22 + i, 0, list(a), list(b), r0, r1, count=15 if i == 0 else None, segments=7))
    for side, base in ((1.0, 8), (-1.0, 13)):
        m = lambda q: [q[0] * side, q[1], q[2]]
        tubes += [
            T(base, 0, m([2.6, -14.5, 19.0]), m(front[1]), 2.3, 1.5, 1.2, side=(0, 1, 0), segments=12),
            T(base + 1, 0, m(front[1]), m(front[2]), 1.4, 1.0, segments=10),
            T(base + 2, 0, m(front[2]), m([2.6, -14.6, 1.2]), 1.0, 1.0, segments=10),
            T(base + 3, 0, m([2.6, -14.0, 0.9]), m([2.6, -17.0, 0.8]), 1.3, 1.1, 0.6, segments=10),
        ]
    for side, base in ((1.0, 29), (-1.0, 33)):
        m = lambda q: [q[0] * side, q[1], q[2]]
        tubes += [
            T(base, 0, m([2.9, 7.0, 18.6]), m(hind[1]), 3.1, 1.8, 1.2, side=(0, 1, 0), segments=12),
            T(base + 1, 0, m(hind[1]), m(hind[2]), 1.6, 1.0, segments=10),
            T(base + 2, 0, m(hind[2]), m(hind[3]), 0.9, 0.9, segments=10),
            T(base + 3, 0, m([3.0, 7.9, 0.9]), m([3.0, 5.3, 0.8]), 1.3, 1.1, 0.6, segments=10),
        ]
    pinned = {395: (11, 'tip'), 2098: (16, 'tip'), 1153: (32, 'tip'), 2743: (36, 'tip'), 15: (3, 'side'),
              65: (21, 'tip'), 48: (28, 'tip')}
    return build_figure(parts, tubes, 'ZYX', lambda n, rest: rotation(rest, 'ZYX'), pinned, 3655, 5), parts


# ---- The handler -------------------------------------------------------------
# Metres (the figure's scale 377.31467 makes tenths of an inch); the pelvis,
# the hips, the shoulders and the first thigh are fixed by the tables.

RELAXED = {13: (82.382, 19.603, 32.653), 14: (-0.02, -1.156, 7.61), 15: (0, 0, 10.35), 17: (0, 9, 17),
           18: (0, 0, 7), 19: (0, 0, 7), 21: (0, 6, 19), 22: (0, 0, 9), 23: (0, 0, 9), 25: (0, 3, 22),
           26: (0, 0, 12), 27: (0, 0, 12), 29: (0, 0, 25), 30: (0, 0, 15), 31: (0, 0, 15)}
RELAXED_B = {37: (-82.382, -19.603, 32.653), 38: (0.02, 1.156, 7.61), 41: (0, -9, 17), 45: (0, -6, 19),
             49: (0, -3, 22)}


def human():
    P = Part
    fixed = {
        0: P(-1, None, (0.0, 0.0, -90.0), (0.0, 0.0255, 0.9082), 0),
        1: P(0, None, (-90.0, -90.0, 0.0), (-0.0079, 0.0, 0.0), 204),
        9: P(5, None, (-6.3771, -79.7051, -173.77), (0.1072, 0.0, 0.0302), 89),
        33: P(5, None, (6.3754, 79.7051, -173.772), (0.1072, 0.0, -0.0302), 84),
        57: P(0, None, (-171.124, 83.6594, 99.164), (-0.0079, 0.0962, 0.0), 247),
        62: P(0, None, (171.124, -83.6594, 99.164), (-0.0079, -0.0962, 0.0), 247),
    }
    parents = [-1, 0, 1, 2, 3, 4, 5, 6, 7, 5, 9, 10, 11]
    for f in range(5):
        parents += [12, 13 + 4 * f, 14 + 4 * f, 15 + 4 * f]
    parents[13:33] = [12 if k % 4 == 0 else 13 + k - 1 for k in range(20)]
    parents += [5, 33, 34, 35]
    parents += [36 if k % 4 == 0 else 37 + k - 1 for k in range(20)]
    parents += [0, 57, 58, 59, 60, 0, 62, 63, 64, 65]
    assert len(parents) == 67
    where = {2: (0, 0.035, 1.00), 3: (0, 0.04, 1.10), 4: (0, 0.045, 1.20), 5: (0, 0.045, 1.30),
             6: (0, 0.05, 1.43), 7: (0, 0.045, 1.515), 8: (0, -0.005, 1.585),
             10: (0.175, 0.05, 1.385), 11: (0.205, 0.06, 1.115), 12: (0.215, 0.0, 0.875),
             58: (0.10, 0.04, 0.50), 59: (0.10, 0.06, 0.085), 60: (0.10, -0.09, 0.03), 61: (0.10, -0.16, 0.03)}
    # Fingers: the thumb to the front, the others side by side, hanging.
    fingers = []
    for f in range(5):
        if f == 0:
            base, step = (0.205, -0.035, 0.815), (-0.004, -0.012, -0.022)
        else:
            base, step = (0.222, -0.027 + 0.016 * (f - 1), 0.79), (0.0, -0.003, -0.024 - 0.002 * (f in (2, 3)))
        for k in range(4):
            where[13 + 4 * f + k] = tuple(base[i] + step[i] * k for i in range(3))
        fingers.append((base, step))
    for n in list(where):
        if 10 <= n <= 32:
            where[n + 24] = tuple(mirror_x(where[n]))
        if 58 <= n <= 61:
            where[n + 5] = tuple(mirror_x(where[n]))
    angles = {10: (0.0, -75.0, 0.0), 34: (0.0, 75.0, 0.0), 11: (0.0, 0.0, -15.0), 35: (0.0, 0.0, -15.0)}
    angles.update(RELAXED)
    for n, a in RELAXED.items():
        angles[n + 24] = RELAXED_B.get(n + 24, a)
    parts = []
    for n in range(67):
        if n in fixed:
            parts.append(fixed[n])
        else:
            parts.append(P(parents[n], list(where[n]), angles.get(n, (0.0, 0.0, 0.0))))
    T = Tube
    tubes = [
        T(1, 5, [0, 0.035, 0.80], [0, 0.035, 1.03], 0.165, 0.15, 0.68, count=204, segments=16),
        T(2, 4, [0, 0.035, 0.98], [0, 0.04, 1.11], 0.145, 0.135, 0.66, segments=16, bulge=0.1),
        T(3, 4, [0, 0.04, 1.09], [0, 0.045, 1.21], 0.135, 0.15, 0.68, segments=16, bulge=0.1),
        T(4, 4, [0, 0.045, 1.19], [0, 0.045, 1.32], 0.15, 0.165, 0.7, segments=16, bulge=0.1),
        T(5, 4, [0, 0.045, 1.29], [0, 0.05, 1.43], 0.165, 0.12, 0.7, segments=16),
        T(6, 8, [0, 0.05, 1.40], [0, 0.045, 1.53], 0.05, 0.045, segments=10),
        T(7, 9, [0, 0.035, 1.49], [0, 0.01, 1.70], 0.085, 0.085, 1.15, segments=16),
        T(7, 11, [0, 0.07, 1.52], [0, 0.04, 1.72], 0.092, 0.092, 1.0, segments=16),
        T(7, 10, [0, 0.085, 1.655], [0, 0.115, 1.645], 0.03, 0.03, segments=10),
        T(8, 11, [0, 0.11, 1.645], [0, 0.17, 1.48], 0.03, 0.015, segments=8),
        T(9, 4, [0.03, 0.045, 1.405], [0.18, 0.05, 1.395], 0.065, 0.06, 0.85, count=89, segments=8),
        T(33, 4, [-0.03, 0.045, 1.405], [-0.18, 0.05, 1.395], 0.065, 0.06, 0.85, count=84, segments=8),
    ]
    for side, material, off in ((1.0, 6, 0), (-1.0, 7, 24)):
        m = lambda q: [q[0] * side, q[1], q[2]]
        tubes += [
            T(10 + off, material, m(where[10]), m(where[11]), 0.048, 0.04, segments=12),
            T(11 + off, material, m(where[11]), m(where[12]), 0.04, 0.03, segments=12),
            T(12 + off, material, m([0.215, 0.0, 0.885]), m([0.222, -0.002, 0.79]), 0.03, 0.03, 0.45,
              side=(0, 1, 0), segments=10),
        ]
        for f in range(5):
            for k in range(3):
                n = 13 + 4 * f + k
                tubes.append(T(n + off, material, m(where[n]), m(where[n + 1]), 0.009, 0.008, segments=6))
    for side, off, legs in ((1.0, 0, (0, 2)), (-1.0, 5, (1, 3))):
        m = lambda q: [q[0] * side, q[1], q[2]]
        tubes += [
            T(57 + off, legs[0], m([0.095, 0.035, 0.95]), m(where[58]), 0.085, 0.06, count=247, segments=13),
            T(58 + off, legs[0], m(where[58]), m(where[59]), 0.058, 0.04, segments=12),
            T(59 + off, legs[1], m([0.10, 0.08, 0.055]), m([0.10, -0.09, 0.04]), 0.045, 0.04, 0.75,
              segments=12),
            T(60 + off, legs[1], m([0.10, -0.08, 0.035]), m([0.10, -0.15, 0.035]), 0.04, 0.03, 0.7,
              segments=10),
        ]
    pinned = {3230: (8, 'tip')}

    def posed(n, rest):
        return rotation((0.0, 0.0, 0.0) if n in (10, 34) else rest, 'ZYX')

    # The body texture holds trousers, shoes, shirt and skin in its quarters;
    # the head texture the face above the hair band.
    atlas = {0: (0.0, 0.0, 0.5, 0.5), 1: (0.0, 0.0, 0.5, 0.5), 5: (0.0, 0.0, 0.5, 0.5),
             2: (0.5, 0.0, 1.0, 0.5), 3: (0.5, 0.0, 1.0, 0.5), 4: (0.0, 0.5, 0.5, 1.0),
             6: (0.5, 0.5, 1.0, 1.0), 7: (0.5, 0.5, 1.0, 1.0), 8: (0.5, 0.5, 1.0, 1.0),
             9: (0.0, 0.0, 1.0, 0.75), 10: (0.0, 0.8, 1.0, 1.0)}
    return build_figure(parts, tubes, 'ZYX', posed, pinned, 3236, 4, atlas), parts


def main():
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..')
    (rest_world, offsets, vertices, part_of, counts, materials), parts = dog()
    corners = write_figure(os.path.join(root, 'objects/annotations/DogFigureData.cpp'), 'Dog', parts, offsets,
                           vertices, part_of, counts, materials, [0, 1, 2, 3])
    print('dog corners', corners, 'counts', counts)
    (rest_world, offsets, vertices, part_of, counts, materials), parts = human()
    corners = write_figure(os.path.join(root, 'objects/annotations/HumanFigureData.cpp'), 'Human', parts, offsets,
                           vertices, part_of, counts, materials, list(range(12)))
    print('handler corners', corners, 'counts', counts)


if __name__ == '__main__':
    main()
