"""Builds the ninja's skinned mesh from lofted parts.

Every part is a loft: a sequence of cross-section rings around a path, closed by caps or by a pole.
A ring carries its skin weights, so weights run smoothly along each limb and blend across joints.
Every part gets its own rectangle of the texture atlas (see `paint.py`): the texture coordinate s runs
around the rings and t along the path, so the painter can draw stripes, folds and seams by part.

Triangles wind counter-clockwise seen from outside (glTF front faces); `build()` checks that each closed
part encloses a positive volume.
"""

import math

import numpy as np

import skeleton as sk
from ninjamath import normalize, smoothstep, vec

ATLAS = 1024  # texture atlas size in pixels

# Texture rectangles in atlas pixels: x0, y0, x1, y1 (y grows downwards, as glTF's v does).
RECTS = {
    "torso": (8, 8, 504, 248),
    "head": (520, 8, 1016, 248),
    "legR": (8, 264, 248, 632),
    "legL": (264, 264, 504, 632),
    "armR": (520, 264, 720, 552),
    "armL": (736, 264, 936, 552),
    "scarfTail": (952, 264, 1016, 760),
    "footR": (8, 648, 248, 808),
    "footL": (264, 648, 504, 808),
    "handR": (520, 568, 680, 712),
    "handL": (696, 568, 856, 712),
    "belt": (8, 824, 504, 872),
    "scarfRing": (8, 888, 504, 952),
    "beltKnot": (520, 728, 632, 856),
    "beltTails": (648, 728, 760, 856),
    "scarfKnot": (776, 728, 936, 856),
    "capSuit": (520, 872, 600, 952),
    "capWrap": (616, 872, 696, 952),
    "capScarf": (712, 872, 792, 952),
    "capBelt": (808, 872, 888, 952),
    "capSole": (904, 872, 984, 952),
    "capPants": (856, 568, 936, 648),
}


def chain_weights(s, joints):
    """Weights along a chain of bones: joints = [(bone0), (s1, halfWidth1, bone1), ...].

    Bone k takes over from bone k-1 around arc length s_k, blended over s_k +- halfWidth_k.
    """
    w = {}
    bones = [joints[0]] + [j[2] for j in joints[1:]]
    steps = [1.0] + [float(smoothstep(sj - hw, sj + hw, s)) for sj, hw, _ in joints[1:]] + [0.0]
    for k, b in enumerate(bones):
        v = steps[k] - steps[k + 1]
        if v > 1e-6:
            w[b] = w.get(b, 0.0) + v
    return w


def mix(a, b, t):
    """Blend two weight dictionaries."""
    out = {}
    for k, v in a.items():
        out[k] = out.get(k, 0.0) + v * (1 - t)
    for k, v in b.items():
        out[k] = out.get(k, 0.0) + v * t
    return out


class Ring:
    """One cross-section: centre, path direction, the direction of angle 0, radii and weights."""

    def __init__(self, center, d, hint, r1, r2, t, weights, shape=None):
        self.center = np.asarray(center, dtype=np.float64)
        d = normalize(np.asarray(d, dtype=np.float64))
        hint = np.asarray(hint, dtype=np.float64)
        self.e1 = normalize(hint - d * np.dot(hint, d))
        self.e2 = np.cross(d, self.e1)
        self.d = d
        self.r1, self.r2, self.t = r1, r2, t
        self.weights = weights
        self.shape = shape

    def point(self, theta):
        if self.shape is not None:
            a, b = self.shape(theta, self)
        else:
            a, b = self.r1 * math.cos(theta), self.r2 * math.sin(theta)
        return self.center + a * self.e1 + b * self.e2


class Part:
    """The vertices and triangles of one part; normals are smoothed over the part only."""

    def __init__(self, name, rect):
        self.name = name
        self.rect = rect
        self.pos, self.uv, self.w, self.tris = [], [], [], []
        self.flat = []  # vertices whose normal is set explicitly (caps)
        self.closed = True

    def add(self, p, uv, w, normal=None):
        self.pos.append(np.asarray(p, dtype=np.float64))
        self.uv.append(uv)
        self.w.append(w)
        self.flat.append(normal)
        return len(self.pos) - 1


def rect_uv(rect, s, t):
    x0, y0, x1, y1 = rect
    return ((x0 + (x1 - x0) * s) / ATLAS, (y0 + (y1 - y0) * t) / ATLAS)


def loft(part, rings, sides, seam=0.0, start="cap", end="cap", cap_rect=None, weight_fn=None):
    """Sweeps rings into a tube. start/end: 'cap' (flat fan), 'pole' (point) or None (open)."""
    grid = []
    for ring in rings:
        row = []
        for j in range(sides + 1):
            th = seam + 2 * math.pi * j / sides
            p = ring.point(th)
            w = weight_fn(p, ring) if weight_fn else ring.weights
            row.append(part.add(p, rect_uv(part.rect, j / sides, ring.t), w))
        grid.append(row)
    for i in range(len(rings) - 1):
        for j in range(sides):
            a, b, c, d = grid[i][j], grid[i][j + 1], grid[i + 1][j + 1], grid[i + 1][j]
            part.tris.append((a, b, c))
            part.tris.append((a, c, d))

    def cap(ring, row, outward, pole_point=None, pole_t=None):
        if pole_point is not None:
            # A pole: one apex per column keeps the texture continuous.
            for j in range(sides):
                w = weight_fn(pole_point, ring) if weight_fn else ring.weights
                apex = part.add(pole_point, rect_uv(part.rect, (j + 0.5) / sides, pole_t), w)
                a, b = row[j], row[j + 1]
                part.tris.append((a, b, apex) if outward > 0 else (b, a, apex))
            return
        rect = cap_rect or part.rect
        n = ring.d * outward
        pts = [ring.point(seam + 2 * math.pi * j / sides) for j in range(sides)]
        rad = max(np.linalg.norm(p - ring.center) for p in pts) or 1.0
        center_w = ring.weights
        cx = part.add(ring.center, rect_uv(rect, 0.5, 0.5), center_w, normal=n)
        ids = []
        for j, p in enumerate(pts):
            q = p - ring.center
            cu = 0.5 + 0.45 * np.dot(q, ring.e1) / rad
            cv = 0.5 + 0.45 * np.dot(q, ring.e2) / rad
            w = weight_fn(p, ring) if weight_fn else ring.weights
            ids.append(part.add(p, rect_uv(rect, cu, cv), w, normal=n))
        for j in range(sides):
            a, b = ids[j], ids[(j + 1) % sides]
            part.tris.append((a, b, cx) if outward > 0 else (b, a, cx))

    if start == "cap":
        cap(rings[0], grid[0], -1)
    elif isinstance(start, tuple) and start[0] == "pole":
        cap(rings[0], grid[0], -1, pole_point=np.asarray(start[1]), pole_t=start[2])
    else:
        part.closed = False
    if end == "cap":
        cap(rings[-1], grid[-1], +1)
    elif isinstance(end, tuple) and end[0] == "pole":
        cap(rings[-1], grid[-1], +1, pole_point=np.asarray(end[1]), pole_t=end[2])
    else:
        part.closed = False
    return grid


# ---------------------------------------------------------------------------------------------
# Parts

def superellipse(power):
    """A boxier cross-section than an ellipse (power < 1 squares the corners)."""
    def shape(th, ring):
        c, s = math.cos(th), math.sin(th)
        return (ring.r1 * math.copysign(abs(c) ** power, c), ring.r2 * math.copysign(abs(s) ** power, s))
    return shape


def torso():
    part = Part("torso", RECTS["torso"])
    B = sk.INDEX
    # y, half-width (x), half-depth (z), centre z
    profile = [
        (9.72, 0.40, 0.32, 0.0),
        (9.92, 0.80, 0.58, 0.0),
        (10.30, 0.98, 0.69, 0.0),
        (10.75, 0.91, 0.65, 0.0),
        (11.25, 0.94, 0.65, 0.0),
        (11.75, 1.05, 0.71, 0.02),
        (12.22, 1.14, 0.74, 0.0),
        (12.58, 1.08, 0.66, -0.02),
        (12.85, 0.70, 0.50, -0.03),
        (13.05, 0.42, 0.38, 0.0),
        (13.45, 0.36, 0.34, 0.0),
    ]
    y0, y1 = profile[0][0], profile[-1][0]
    rings = []
    for y, rx, rz, zc in profile:
        w = chain_weights(y, [B["hips"], (10.85, 0.3, B["spine"]), (11.7, 0.3, B["chest"]),
                              (12.85, 0.2, B["neck"]), (13.35, 0.1, B["head"])])
        rings.append(Ring((0, y, zc), (0, 1, 0), (0, 0, 1), rz, rx, (y - y0) / (y1 - y0), w))

    def weight_fn(p, ring):
        w = dict(ring.weights)
        # Shoulders follow the upper arms a little so raised arms do not tear the jacket.
        for side, name in ((-1, "upperArmR"), (1, "upperArmL")):
            k = float(smoothstep(0.55, 1.05, side * p[0]) * smoothstep(11.6, 12.4, p[1]))
            k *= 1.0 - float(smoothstep(12.7, 13.0, p[1]))
            if k > 0:
                w = mix(w, {B[name]: 1.0}, 0.45 * k)
        return w

    loft(part, rings, 16, seam=math.pi, start="cap", end="cap", cap_rect=RECTS["capSuit"],
         weight_fn=weight_fn)
    return part


def head():
    part = Part("head", RECTS["head"])
    B = sk.INDEX
    # y, half-width, half-depth, centre z
    profile = [
        (13.02, 0.50, 0.50, 0.02),
        (13.28, 0.86, 0.90, 0.06),
        (13.62, 1.07, 1.10, 0.06),
        (14.02, 1.19, 1.20, 0.04),
        (14.40, 1.22, 1.21, 0.01),
        (14.80, 1.19, 1.18, -0.04),
        (15.18, 1.05, 1.07, -0.10),
        (15.48, 0.80, 0.86, -0.17),
        (15.68, 0.44, 0.52, -0.23),
    ]
    pole = (0.0, 15.77, -0.26)
    y0, y1 = profile[0][0], pole[1]

    def shape(th, ring):
        c, s = math.cos(th), math.sin(th)
        a, b = ring.r1 * c, ring.r2 * s
        # Flatten the face a little between brow and chin.
        if c > 0:
            face = float(smoothstep(13.2, 13.7, ring.center[1]) * (1 - smoothstep(14.7, 15.2, ring.center[1])))
            a *= 1.0 - 0.10 * face * c ** 4
        return a, b

    rings = []
    for y, rx, rz, zc in profile:
        w = chain_weights(y, [B["neck"], (13.3, 0.15, B["head"])])
        rings.append(Ring((0, y, zc), (0, 1, 0), (0, 0, 1), rz, rx, (y - y0) / (y1 - y0), w, shape))
    loft(part, rings, 18, seam=math.pi, start="cap", end=("pole", pole, 1.0),
         cap_rect=RECTS["capSuit"])
    return part


def chain_rings(points, bones, half_widths, radii, hint, shape=None, t_range=(0.0, 1.0)):
    """Rings along a polyline of joints; `radii` is a list of (arc fraction, r1, r2)."""
    pts = [np.asarray(p, dtype=np.float64) for p in points]
    seg = [np.linalg.norm(pts[i + 1] - pts[i]) for i in range(len(pts) - 1)]
    total = sum(seg)
    cum = np.concatenate([[0.0], np.cumsum(seg)])
    joints = [bones[0]] + [(cum[k], half_widths[k - 1], bones[k]) for k in range(1, len(bones))]
    rings = []
    for f, r1, r2 in radii:
        s = f * total
        k = min(max(int(np.searchsorted(cum, s, side="right")) - 1, 0), len(seg) - 1)
        u = (s - cum[k]) / seg[k]
        c = pts[k] + (pts[k + 1] - pts[k]) * u
        d = pts[k + 1] - pts[k]
        # Around a joint the ring faces the mean of both segments so the mesh folds evenly.
        if k > 0 and u < 0.15:
            d = normalize(d) + normalize(pts[k] - pts[k - 1])
        elif k + 1 < len(seg) and u > 0.85:
            d = normalize(d) + normalize(pts[k + 2] - pts[k + 1])
        w = chain_weights(s, joints)
        t = t_range[0] + (t_range[1] - t_range[0]) * f
        rings.append(Ring(c, d, hint, r1, r2, t, w, shape))
    return rings


def leg(side):
    name = "legR" if side < 0 else "legL"
    part = Part(name, RECTS[name])
    B = sk.INDEX
    sfx = "R" if side < 0 else "L"
    hip = sk.BIND[B["thigh" + sfx]] + vec(0, 0.3, 0)
    knee = sk.BIND[B["shin" + sfx]]
    ankle = sk.BIND[B["foot" + sfx]] + vec(0, -0.25, 0)
    # arc fraction, radius towards the inner side (x), radius towards the front (z)
    radii = [
        (0.00, 0.50, 0.55),
        (0.08, 0.60, 0.64),
        (0.22, 0.64, 0.68),
        (0.36, 0.58, 0.62),
        (0.46, 0.47, 0.50),
        (0.52, 0.40, 0.43),  # knee: the pants are gathered into the shin wraps here
        (0.58, 0.37, 0.40),
        (0.70, 0.38, 0.40),
        (0.82, 0.33, 0.35),
        (0.93, 0.28, 0.30),
        (1.00, 0.27, 0.29),
    ]
    bones = [B["thigh" + sfx], B["shin" + sfx], B["foot" + sfx]]
    rings = chain_rings([hip, knee, ankle], bones, [0.32, 0.12], radii, hint=(-side, 0, 0))
    # The top of the leg is shared with the pelvis.
    for r in rings[:2]:
        r.weights = mix(r.weights, {B["hips"]: 1.0}, 0.5 if r is rings[0] else 0.2)
    # The texture seam runs down the inner side of the leg.
    loft(part, rings, 12, seam=0.0, start="cap", end="cap", cap_rect=RECTS["capPants"])
    return part


def arm(side):
    name = "armR" if side < 0 else "armL"
    part = Part(name, RECTS[name])
    B = sk.INDEX
    sfx = "R" if side < 0 else "L"
    shoulder = sk.BIND[B["upperArm" + sfx]]
    elbow = sk.BIND[B["forearm" + sfx]]
    wrist = sk.BIND[B["hand" + sfx]]
    top = shoulder + vec(0, 0.36, 0)
    radii = [
        (0.00, 0.16, 0.16),
        (0.035, 0.30, 0.30),
        (0.09, 0.37, 0.37),
        (0.20, 0.38, 0.38),
        (0.36, 0.37, 0.37),
        (0.47, 0.34, 0.33),  # sleeve hem at the elbow
        (0.52, 0.29, 0.29),
        (0.64, 0.29, 0.28),
        (0.78, 0.26, 0.25),
        (0.92, 0.22, 0.21),
        (1.00, 0.21, 0.20),
    ]
    bones = [B["chest"], B["upperArm" + sfx], B["forearm" + sfx], B["hand" + sfx]]
    rings = chain_rings([top, shoulder, elbow, wrist], bones, [0.25, 0.22, 0.12], radii,
                        hint=(-side, 0, 0))
    loft(part, rings, 10, seam=0.0, start=("pole", top + vec(0, 0.02, 0), 0.0), end="cap",
         cap_rect=RECTS["capWrap"])
    return part


def hand(side):
    name = "handR" if side < 0 else "handL"
    part = Part(name, RECTS[name])
    B = sk.INDEX
    sfx = "R" if side < 0 else "L"
    wrist = sk.BIND[B["hand" + sfx]]
    tip = sk.TAIL[B["hand" + sfx]]
    d = tip - wrist
    L = np.linalg.norm(d)
    # arc fraction (from above the wrist), radius across the knuckles (x), radius front-back (z)
    prof = [(-0.15, 0.20, 0.19), (0.05, 0.25, 0.23), (0.30, 0.31, 0.27), (0.62, 0.32, 0.28),
            (0.88, 0.29, 0.25), (1.0, 0.22, 0.19)]
    rings = []
    for f, r1, r2 in prof:
        c = wrist + d * f + vec(0, 0, 0.03 * max(f, 0))
        w = chain_weights(f * L, [B["forearm" + sfx], (0.0, 0.12, B["hand" + sfx])])
        rings.append(Ring(c, d, (-side, 0, 0), r1, r2, (f + 0.15) / 1.15, w, superellipse(0.7)))
    loft(part, rings, 10, seam=0.0, start="cap", end="cap", cap_rect=RECTS["capWrap"])
    # A thumb wrapped over the front of the fist.
    thumb = Part(name + "Thumb", RECTS[name])
    base = wrist + d * 0.3 + vec(side * 0.18, 0, 0.2)
    tipp = wrist + d * 0.62 + vec(side * 0.05, 0, 0.3)
    trings = []
    for f, r in ((0.0, 0.09), (0.5, 0.11), (1.0, 0.08)):
        c = base + (tipp - base) * f
        trings.append(Ring(c, tipp - base, (0, 0, 1), r, r, 0.9 + 0.1 * f, {B["hand" + sfx]: 1.0}))
    loft(thumb, trings, 6, start="cap", end="cap", cap_rect=RECTS["capWrap"])
    return [part, thumb]


def foot(side):
    name = "footR" if side < 0 else "footL"
    part = Part(name, RECTS[name])
    B = sk.INDEX
    sfx = "R" if side < 0 else "L"
    ax = sk.BIND[B["foot" + sfx]][0]
    sole = sk.SOLE_Y
    # z along the foot, half-width, height above the sole, x shift (toes a little outwards)
    prof = [(-0.50, 0.24, 0.55, 0.0), (-0.38, 0.31, 0.85, 0.0), (-0.12, 0.34, 0.95, 0.0),
            (0.18, 0.35, 0.78, 0.01), (0.50, 0.36, 0.52, 0.02), (0.82, 0.35, 0.40, 0.03),
            (1.08, 0.30, 0.32, 0.03), (1.22, 0.20, 0.22, 0.03)]
    z0, z1 = prof[0][0], prof[-1][0]
    base_h = 0.16

    def shape(th, ring):
        c, s = math.cos(th), math.sin(th)
        # Flat sole, rounded toe-box and instep on top.
        a = ring.r1 * math.copysign(abs(c) ** 0.8, c)
        b = ring.r2 * s if s > 0 else base_h * -(abs(s) ** 0.35)
        return a, b

    rings = []
    for z, hw, h, xs in prof:
        c = (ax + side * xs, sole + base_h, z)
        w = {B["foot" + sfx]: 1.0}
        rings.append(Ring(c, (0, 0, 1), (1, 0, 0), hw, h - base_h, (z - z0) / (z1 - z0), w, shape))

    def weight_fn(p, ring):
        w = ring.weights
        k = float(smoothstep(6.25, 6.65, p[1]))
        if k > 0:
            w = mix(w, {B["shin" + sfx]: 1.0}, 0.7 * k)
        return w

    loft(part, rings, 12, seam=-math.pi / 2, start="cap", end="cap", cap_rect=RECTS["capSole"],
         weight_fn=weight_fn)
    return part


def belt():
    part = Part("belt", RECTS["belt"])
    B = sk.INDEX
    w = {B["hips"]: 0.6, B["spine"]: 0.4}
    yc, rx, rz = 10.78, 0.98, 0.71
    # Cross-section of the sash: inner bottom, outer bottom, outer middle, outer top, inner top.
    sec = [(-0.05, -0.26, 0.0), (0.06, -0.25, 0.2), (0.10, 0.0, 0.5), (0.06, 0.25, 0.8), (-0.05, 0.26, 1.0)]
    rings = []
    for dr, dy, t in sec:
        rings.append(Ring((0, yc + dy, 0.0), (0, 1, 0), (0, 0, 1), rz + dr, rx + dr, t, w))
    loft(part, rings, 16, seam=math.pi, start=None, end=None)
    # Knot on the front left with two short hanging ends.
    knot = Part("beltKnot", RECTS["beltKnot"])
    kc = vec(0.42, 10.78, 0.78)
    krings = []
    for f, r in ((-1.0, 0.02), (-0.7, 0.17), (0.0, 0.25), (0.7, 0.17), (1.0, 0.02)):
        krings.append(Ring(kc + vec(0, f * 0.2, 0.02 * (1 - abs(f))), (0, 1, 0), (0, 0, 1), r * 0.75, r, (f + 1) / 2, w))
    loft(knot, krings, 10, seam=math.pi, start="cap", end="cap", cap_rect=RECTS["capBelt"])
    tails = Part("beltTails", RECTS["beltTails"])
    tw = {B["hips"]: 1.0}
    for k, (dx, ln, ang) in enumerate(((-0.1, 0.95, -8.0), (0.14, 0.8, 14.0))):
        top = kc + vec(dx, -0.1, 0.02)
        dirv = vec(math.sin(ang * math.pi / 180), -math.cos(ang * math.pi / 180), 0.12)
        trings = []
        for f in (0.0, 0.5, 1.0):
            c = top + dirv * ln * f + vec(0, 0, 0.06 * f)
            wd = 0.13 + 0.03 * f
            trings.append(Ring(c, dirv, (1, 0, 0), wd, 0.035, 0.5 * k + 0.45 * f, tw))
        loft(tails, trings, 8, start="cap", end="cap", cap_rect=RECTS["capBelt"])
    return [part, knot, tails]


def scarf():
    B = sk.INDEX
    ring_part = Part("scarfRing", RECTS["scarfRing"])
    neck_c = vec(0.0, 12.98, -0.02)
    R, rt = 0.58, 0.25
    tilt = 14.0 * math.pi / 180  # the front hangs lower than the back
    w = {B["neck"]: 0.55, B["chest"]: 0.45}

    def tilt_point(p):
        q = p - neck_c
        c, s = math.cos(tilt), math.sin(tilt)
        # Rotate about x: the +z side goes down.
        y = q[1] * c - q[2] * s
        z = q[1] * s + q[2] * c
        return neck_c + vec(q[0], y, z)

    rings = []
    n = 8
    for k in range(n + 1):
        phi = -math.pi / 2 + 2 * math.pi * k / n
        r = R + rt * math.cos(phi)
        rings.append(Ring(neck_c + vec(0, rt * 0.8 * math.sin(phi), 0), (0, 1, 0), (0, 0, 1),
                          r * 0.95, r * 1.05, k / n, w))
    loft(ring_part, rings, 16, seam=math.pi, start=None, end=None)
    ring_part.pos = [tilt_point(p) for p in ring_part.pos]
    ring_part.closed = True

    # Knot at the back of the neck.
    knot = Part("scarfKnot", RECTS["scarfKnot"])
    kc = sk.BIND[B["scarf1"]] + vec(0, 0.02, 0.08)
    krings = []
    kw = {B["neck"]: 0.5, B["scarf1"]: 0.5}
    for f, r in ((-1.0, 0.03), (-0.6, 0.22), (0.0, 0.3), (0.6, 0.22), (1.0, 0.03)):
        krings.append(Ring(kc + vec(0, f * 0.24, 0), (0, 1, 0), (0, 0, 1), r * 0.8, r * 1.1, (f + 1) / 2, kw))
    loft(knot, krings, 10, seam=math.pi, start="cap", end="cap", cap_rect=RECTS["capScarf"])

    # The long tail: a flat ribbon along scarf1..scarf3 that ends in a notch.
    tail = Part("scarfTail", RECTS["scarfTail"])
    p1, p2, p3, tip = (sk.BIND[B["scarf1"]], sk.BIND[B["scarf2"]], sk.BIND[B["scarf3"]], sk.TAIL[B["scarf3"]])
    pts = [p1 + vec(0, -0.05, 0.05), p2, p3, tip]
    # The ribbon's broad side faces sideways, towards the game camera.
    radii = [(f, 0.30 - 0.06 * f + 0.04 * math.sin(f * math.pi), 0.045) for f in np.linspace(0, 1, 13)]
    bones = [B["scarf1"], B["scarf2"], B["scarf3"]]
    trings = chain_rings(pts, bones, [0.35, 0.35], radii, hint=(0, 0, 1))
    for r in trings[:2]:
        r.weights = mix(r.weights, {B["neck"]: 1.0}, 0.35 if r is trings[0] else 0.1)

    def notch(th, ring):
        c, s = math.cos(th), math.sin(th)
        return ring.r1 * math.copysign(abs(c) ** 0.5, c), ring.r2 * math.copysign(abs(s) ** 0.5, s)
    for r in trings:
        r.shape = notch
    loft(tail, trings, 8, seam=0.0, start="cap", end="cap", cap_rect=RECTS["capScarf"])
    # Cut a notch into the tip: the middle of the last ring moves back up the ribbon.
    last = trings[-1]
    back = normalize(p3 - tip) * 0.22
    for i, p in enumerate(tail.pos):
        q = p - last.center
        if abs(np.dot(q, last.d)) < 1e-6:
            k = 1.0 - min(abs(np.dot(q, last.e1)) / last.r1, 1.0)
            tail.pos[i] = p + back * k
    return [ring_part, knot, tail]


def all_parts():
    parts = [torso(), head()]
    for side in (-1, 1):
        parts += [leg(side), arm(side), foot(side)] + hand(side)
    parts += belt() + scarf()
    return parts


# ---------------------------------------------------------------------------------------------
# Assembly

def _part_normals(part):
    pos = np.array(part.pos)
    tris = np.array(part.tris)
    fn = np.cross(pos[tris[:, 1]] - pos[tris[:, 0]], pos[tris[:, 2]] - pos[tris[:, 0]])
    acc = np.zeros_like(pos)
    for k in range(3):
        np.add.at(acc, tris[:, k], fn)
    # Weld by position so seams and poles are smooth; explicit (cap) normals stay flat.
    smooth = [i for i in range(len(pos)) if part.flat[i] is None]
    keys = {}
    for i in smooth:
        key = tuple(np.round(pos[i], 4))
        keys.setdefault(key, []).append(i)
    normals = np.zeros_like(pos)
    for ids in keys.values():
        n = normalize(acc[ids].sum(axis=0))
        normals[ids] = n
    for i in range(len(pos)):
        if part.flat[i] is not None:
            normals[i] = part.flat[i]
    return normals


def _signed_volume(pos, tris):
    a, b, c = pos[tris[:, 0]], pos[tris[:, 1]], pos[tris[:, 2]]
    return float(np.einsum("ij,ij->i", a, np.cross(b, c)).sum() / 6.0)


def _limit_weights(dense):
    """Keeps the four largest influences per vertex (bone order breaks ties) and normalises."""
    idx = np.zeros((len(dense), 4), dtype=np.int64)
    wts = np.zeros((len(dense), 4), dtype=np.float64)
    for v, row in enumerate(dense):
        order = sorted(range(len(row)), key=lambda b: (-row[b], b))[:4]
        order = [b for b in order if row[b] > 1e-3]
        total = sum(row[b] for b in order)
        order.sort()  # bone order, the order the game fills its four slots in
        for k, b in enumerate(order):
            idx[v, k] = b
            wts[v, k] = row[b] / total
    return idx, wts


def compute_tangents(pos, nrm, uv, tris):
    """Per-vertex tangents (xyz, w) from texture derivatives.

    The tangent follows +u. The bitangent cross(normal, tangent) * w points towards -v (up in the
    image, since glTF's v grows downwards), the green direction of the normal map.
    """
    t_acc = np.zeros_like(pos)
    b_acc = np.zeros_like(pos)
    for tri in tris:
        i0, i1, i2 = tri
        e1, e2 = pos[i1] - pos[i0], pos[i2] - pos[i0]
        du1, dv1 = uv[i1] - uv[i0]
        du2, dv2 = uv[i2] - uv[i0]
        det = du1 * dv2 - du2 * dv1
        if abs(det) < 1e-12:
            continue
        r = 1.0 / det
        sdir = (e1 * dv2 - e2 * dv1) * r   # d position / d u
        tdir = (e2 * du1 - e1 * du2) * r   # d position / d v
        for i in tri:
            t_acc[i] += sdir
            b_acc[i] += -tdir
    tangents = np.zeros((len(pos), 4))
    for i in range(len(pos)):
        n = nrm[i]
        t = t_acc[i] - n * np.dot(n, t_acc[i])
        if np.linalg.norm(t) < 1e-9:
            # Degenerate mapping: any direction perpendicular to the normal will do.
            t = np.cross(n, (0, 1, 0) if abs(n[1]) < 0.9 else (1, 0, 0))
        t = normalize(t)
        w = 1.0 if np.dot(np.cross(n, t), b_acc[i]) >= 0 else -1.0
        tangents[i, :3] = t
        tangents[i, 3] = w
    return tangents


class Mesh:
    def __init__(self, pos, nrm, uv, tan, joints, weights, tris, parts):
        self.pos, self.nrm, self.uv, self.tan = pos, nrm, uv, tan
        self.joints, self.weights, self.tris = joints, weights, tris
        self.parts = parts  # (name, first vertex, vertex count)


def build():
    parts = all_parts()
    P, N, U, W, T, ranges = [], [], [], [], [], []
    base = 0
    for part in parts:
        pos = np.array(part.pos)
        tris = np.array(part.tris, dtype=np.int64)
        if part.closed:
            vol = _signed_volume(pos, tris)
            assert vol > 0, f"part {part.name} is turned inside out (volume {vol:.3f})"
        nrm = _part_normals(part)
        dense = np.zeros((len(pos), sk.COUNT))
        for i, w in enumerate(part.w):
            for b, v in w.items():
                dense[i, b] += v
        P.append(pos)
        N.append(nrm)
        U.append(np.array(part.uv))
        W.append(dense)
        T.append(tris + base)
        ranges.append((part.name, base, len(pos)))
        base += len(pos)
    pos = np.concatenate(P)
    nrm = np.concatenate(N)
    uv = np.concatenate(U)
    tris = np.concatenate(T)
    joints, weights = _limit_weights(np.concatenate(W))
    tan = compute_tangents(pos, nrm, uv, tris)
    return Mesh(pos, nrm, uv, tan, joints, weights, tris, ranges)
