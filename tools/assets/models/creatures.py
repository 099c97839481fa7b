"""Creatures: the worker ant the levels use, and the showcase models of the credits
(soldier ant, spider, grasshopper, wasp)."""

import math

import numpy as np

import geom
from modelspec import ModelSpec
import noise
from paint import Painter, mix, painter_light, rgb, smoothstep

BODY, LEG, EYE, MANDIBLE, ANTENNA, WING, MARK = range(7)


def ellipsoid(center, radii, rot=None, part=BODY, segments=16, rings=10, smooth=80.0):
    m = geom.uv_sphere(1.0, segments, rings, smooth=smooth, part=part)
    m.scale(radii)
    if rot is not None:
        m.rotate(rot)
    m.translate(center)
    # local coordinates on the unit sphere, for stripes and markings
    return m


def limb(points, radii, sides=6, part=LEG, per_segment=3, cap_end=True):
    """A jointed leg or feeler through the given points (smoothly bent)."""
    from props import catmull_rom
    path = catmull_rom(points, per_segment)
    r = np.interp(np.linspace(0, 1, len(path)), np.linspace(0, 1, len(radii)), radii)
    return geom.tube(path, r, sides=sides, cap0=True, cap1=cap_end, smooth=65, part=part, attr="t")


def mirrored(mesh):
    m = mesh.copy()
    m.transform(np.diag([-1.0, 1.0, 1.0]))
    return m


def both_sides(mesh):
    return geom.merge(mesh, mirrored(mesh))


# --------------------------------------------------------------------------
# ants


def ant_mesh(soldier=False):
    """Ant with its head towards +z and its back towards +y."""
    out = geom.Mesh()
    if not soldier:
        head_c, head_r = (0.0, 0.55, 3.55), (1.25, 1.1, 1.3)
        gaster_c, gaster_r = (0.0, 0.55, -3.4), (1.65, 1.5, 2.25)
        mand_len = 1.1
    else:
        head_c, head_r = (0.0, 0.8, 4.1), (2.0, 1.6, 1.8)
        gaster_c, gaster_r = (0.0, 0.6, -4.1), (1.9, 1.7, 2.5)
        mand_len = 2.6
    # head, tipped forward a little
    out.add(ellipsoid(head_c, head_r, geom.rot_x(12), part=BODY, segments=18, rings=12))
    if soldier:
        # the heart-shaped back of a soldier's head
        for sx in (1, -1):
            out.add(ellipsoid((sx * 0.8, 1.2, head_c[2] - 0.5), (1.25, 1.25, 1.3), None, part=BODY, segments=14,
                              rings=10))
    # thorax: pronotum and the narrower rear, petiole node, gaster
    tz = 0.9 if not soldier else 1.2
    out.add(ellipsoid((0.0, 0.75, tz + 0.4), (0.85, 0.8, 1.15), geom.rot_x(-14), part=BODY))
    out.add(ellipsoid((0.0, 0.6, tz - 1.0), (0.62, 0.62, 1.0), geom.rot_x(10), part=BODY, segments=14, rings=8))
    out.add(ellipsoid((0.0, 0.75, tz - 2.05), (0.42, 0.55, 0.35), None, part=BODY, segments=12, rings=8))
    out.add(ellipsoid(gaster_c, gaster_r, geom.rot_x(-12), part=BODY, segments=20, rings=12))
    # eyes on the sides of the head
    hc = np.array(head_c)
    for sx in (1, -1):
        e = ellipsoid(hc + np.array([sx * head_r[0] * 0.82, head_r[1] * 0.25, head_r[2] * 0.3]),
                      (0.32, 0.38, 0.42), None, part=EYE, segments=10, rings=6)
        out.add(e)
    # mandibles: curved blades meeting in front of the head
    front = hc + np.array([0.0, -head_r[1] * 0.35, head_r[2] * 0.85])
    for sx in (1, -1):
        base = front + np.array([sx * head_r[0] * 0.45, 0.0, 0.0])
        if soldier:
            pts = [base, base + np.array([sx * 0.55, -0.05, mand_len * 0.35]),
                   base + np.array([sx * 0.45, -0.1, mand_len * 0.75]),
                   base + np.array([-sx * 0.5, -0.15, mand_len])]
            radii = [0.5, 0.4, 0.26, 0.0]
        else:
            pts = [base, base + np.array([sx * 0.25, -0.05, mand_len * 0.45]),
                   base + np.array([-sx * 0.15, -0.1, mand_len * 0.85]),
                   base + np.array([-sx * (head_r[0] * 0.42), -0.12, mand_len])]
            radii = [0.22, 0.16, 0.12, 0.0]
        m = limb(pts, radii, sides=6, part=MANDIBLE, cap_end=False)
        if soldier:
            # broad, flattened blades
            m.V[:, 1] = (m.V[:, 1] - front[1]) * 0.55 + front[1]
        out.add(m)
    # elbowed antennae with a thicker club
    for sx in (1, -1):
        root = hc + np.array([sx * head_r[0] * 0.35, head_r[1] * 0.55, head_r[2] * 0.55])
        elbow = root + np.array([sx * 0.6, 1.6, 0.5])
        pts = [root, root + np.array([sx * 0.3, 0.8, 0.25]), elbow,
               elbow + np.array([sx * 0.6, 0.15, 0.8]), elbow + np.array([sx * 0.85, -0.45, 1.45])]
        out.add(limb(pts, [0.14, 0.12, 0.11, 0.12, 0.17], sides=5, part=ANTENNA))
    # three pairs of legs from the thorax, feet on y = -2.5
    legs = [((0.45, 0.2, tz + 0.9), (1.9, 1.35, tz + 2.0), (3.0, -1.0, tz + 2.8), (3.4, -2.5, tz + 3.4)),
            ((0.5, 0.15, tz - 0.2), (2.3, 1.4, tz - 0.2), (3.6, -1.0, tz - 0.6), (4.1, -2.5, tz - 0.9)),
            ((0.45, 0.2, tz - 1.1), (2.1, 1.3, tz - 2.2), (3.3, -1.0, tz - 3.5), (3.7, -2.5, tz - 4.5))]
    if soldier:
        legs = [tuple((p[0] * 1.15, p[1] if i < 3 else -2.5, p[2]) for i, p in enumerate(leg)) for leg in legs]
    for leg in legs:
        pts = [np.array(p) for p in leg]
        one = limb(pts, [0.3, 0.24, 0.17, 0.12], sides=6, part=LEG, per_segment=3)
        out.add(both_sides(one))
    return out


def _ant_painter(seed, dark, mid, light):
    dark, mid, light = rgb(dark), rgb(mid), rgb(light)

    def color(surf, bumped):
        P = surf.P
        k = len(P)
        part = surf.part
        t = surf.attrs.get("t", np.zeros(k))
        sheen = painter_light(bumped, (-0.2, 0.85, 0.45))
        col = mix(np.tile(dark, (k, 1)), np.tile(mid, (k, 1)), smoothstep(0.3, 0.85, sheen))
        col = mix(col, light, 0.7 * smoothstep(0.85, 0.98, sheen))
        grain = noise.fbm(P * 2.5, seed, 3)
        col = col * (0.9 + 0.15 * grain)[:, None]
        # segment bands across the gaster
        gaster = (part == BODY) & (P[:, 2] < -1.6)
        band = smoothstep(0.75, 0.95, 0.5 + 0.5 * np.sin(P[:, 2] * 3.4 + 1.0))
        col = np.where(gaster[:, None], col * (1 - 0.35 * band)[:, None], col)
        # legs and feelers: darker joints, lighter towards the ends
        limbs = (part == LEG) | (part == ANTENNA)
        joint = smoothstep(0.06, 0.0, np.abs(((t * 3.0) % 1.0) - 0.5) - 0.44)
        lc = mix(col, col * 1.3 + 0.03, smoothstep(0.4, 1.0, t))
        lc = lc * (1 - 0.4 * joint)[:, None]
        col = np.where(limbs[:, None], lc, col)
        mand = part == MANDIBLE
        mc = mix(col * 1.2, rgb("#1a0a06"), smoothstep(0.5, 1.0, t))
        col = np.where(mand[:, None], mc, col)
        eye = part == EYE
        ec = mix(np.tile(rgb("#0a0608"), (k, 1)), np.tile(rgb("#7a6a80"), (k, 1)), smoothstep(0.75, 1.0, sheen))
        col = np.where(eye[:, None], ec, col)
        return col

    return Painter(color, None)


# An ant is 60 to 90 pixels long on screen: painted at 512, shipped at 256 (the game samples no finer).
ANT_SHIPPED = 256


def worker_ant():
    seed = 331
    m = ant_mesh(False)
    m.set(mat="chitin")
    mats = {"chitin": dict(Ka=(0.2, 0.2, 0.2), Kd=(1, 1, 1), Ks=(0.35, 0.3, 0.3), Ns=30)}
    return ModelSpec("worker_ant", m, mats, _ant_painter(seed, "#120504", "#45180e", "#a0583a"), size=512,
                     seed=seed, shipped=ANT_SHIPPED)


def soldier_ant():
    seed = 332
    m = ant_mesh(True)
    m.set(mat="chitin")
    mats = {"chitin": dict(Ka=(0.2, 0.2, 0.2), Kd=(1, 1, 1), Ks=(0.4, 0.32, 0.3), Ns=34)}
    return ModelSpec("soldier_ant", m, mats, _ant_painter(seed, "#0c0304", "#3a0c0c", "#9a4030"), size=512,
                     seed=seed, shipped=ANT_SHIPPED)


# --------------------------------------------------------------------------
# spider


def spider():
    seed = 333
    out = geom.Mesh()
    ceph_c = np.array([0.0, 2.0, 1.4])
    out.add(ellipsoid(ceph_c, (1.75, 1.15, 2.0), geom.rot_x(-8), part=BODY, segments=18, rings=12))
    out.add(ellipsoid((0.0, 2.0, -0.7), (0.55, 0.55, 0.5), None, part=BODY, segments=10, rings=6))
    out.add(ellipsoid((0.0, 2.9, -3.6), (2.7, 2.4, 3.2), geom.rot_x(-18), part=MARK, segments=22, rings=14))
    # eyes: two big ones in front and a row of small ones
    for sx, y, z, r in [(0.45, 2.75, 3.15, 0.32), (0.95, 2.85, 2.85, 0.2), (0.3, 3.05, 2.75, 0.17),
                        (0.75, 2.45, 3.05, 0.18)]:
        for s in (1, -1):
            out.add(ellipsoid((s * sx, y, z), (r, r, r), None, part=EYE, segments=10, rings=6))
    # fangs and palps
    for s in (1, -1):
        out.add(limb([np.array([s * 0.45, 1.6, 3.1]), np.array([s * 0.5, 1.0, 3.6]), np.array([s * 0.3, 0.55, 3.7])],
                     [0.32, 0.22, 0.0], sides=6, part=MANDIBLE, cap_end=False))
        out.add(limb([np.array([s * 0.9, 1.7, 2.9]), np.array([s * 1.4, 1.8, 4.0]), np.array([s * 1.3, 1.0, 4.6])],
                     [0.2, 0.17, 0.14], sides=6, part=LEG))
    # eight legs: up to a high knee, down to the ground
    angles = [38, 72, 110, 145]
    for i, a in enumerate(angles):
        ar = math.radians(a)
        d = np.array([math.sin(ar), 0.0, math.cos(ar)])
        root = ceph_c + np.array([d[0] * 1.3, -0.2, d[2] * 1.5])
        reach = 6.6 if i in (0, 3) else 6.0
        knee = root + d * 2.2 + np.array([0, 2.6, 0])
        ankle = root + d * (reach - 1.0) + np.array([0, 0.4, 0])
        foot = root + d * reach
        foot[1] = 0.0
        pts = [root, root + d * 0.9 + np.array([0, 1.5, 0]), knee, root + d * 3.8 + np.array([0, 1.9, 0]), ankle, foot]
        one = limb(pts, [0.42, 0.36, 0.3, 0.24, 0.16, 0.1], sides=7, part=LEG, per_segment=3)
        out.add(both_sides(one))
    out.set(mat="spider")
    mats = {"spider": dict(Ka=(0.2, 0.2, 0.2), Kd=(1, 1, 1), Ks=(0.2, 0.18, 0.22), Ns=20)}

    def color(surf, bumped):
        P = surf.P
        k = len(P)
        part = surf.part
        t = surf.attrs.get("t", np.zeros(k))
        lit = painter_light(bumped, (-0.2, 0.85, 0.45))
        base = mix(np.tile(rgb("#140c16"), (k, 1)), np.tile(rgb("#4a3050"), (k, 1)), smoothstep(0.3, 0.9, lit))
        fur = noise.fbm(P * np.array([6.0, 6.0, 6.0]), seed, 3)
        base = base * (0.8 + 0.35 * fur)[:, None]
        # abdomen: a pale chevron pattern along the back
        q = P - np.array([0.0, 2.9, -3.6])
        chev = np.abs(q[:, 0]) * 0.9 + q[:, 2] * 0.8
        stripe = smoothstep(0.6, 0.85, 0.5 + 0.5 * np.sin(chev * 3.2)) * smoothstep(0.6, 1.6, q[:, 1] + 0.8)
        stripe = stripe * smoothstep(1.8, 1.0, np.abs(q[:, 0]))
        mark = mix(base, rgb("#c8a070"), 0.75 * stripe)
        spot = smoothstep(0.5, 0.2, np.hypot(np.abs(q[:, 0]) - 0.9, q[:, 2] + 0.3)) * (q[:, 1] > 0.5)
        mark = mix(mark, rgb("#e8c8e0"), 0.7 * spot)
        col = np.where((part == MARK)[:, None], mark, base)
        # banded legs
        bands = smoothstep(0.55, 0.8, 0.5 + 0.5 * np.sin(t * 2 * np.pi * 4.0))
        lc = mix(base, rgb("#a07858"), 0.6 * bands)
        col = np.where((part == LEG)[:, None], lc, col)
        fang = mix(np.tile(rgb("#3a1a1a"), (k, 1)), np.tile(rgb("#0a0404"), (k, 1)), t)
        col = np.where((part == MANDIBLE)[:, None], fang, col)
        ec = mix(np.tile(rgb("#0a0408"), (k, 1)), np.tile(rgb("#c06a8a"), (k, 1)), smoothstep(0.8, 1.0, lit))
        col = np.where((part == EYE)[:, None], ec, col)
        return col

    return ModelSpec("spider", out, mats, Painter(color, None), size=512, seed=seed)


# --------------------------------------------------------------------------
# grasshopper


def grasshopper():
    seed = 334
    out = geom.Mesh()
    # built about ten units long with the head towards +x, then scaled into its box
    out.add(ellipsoid((3.6, 2.6, 0.0), (1.1, 1.35, 0.95), geom.rot_z(-25), part=BODY, segments=14, rings=10))
    out.add(ellipsoid((2.2, 2.5, 0.0), (1.2, 1.05, 0.95), None, part=BODY, segments=14, rings=10))
    out.add(ellipsoid((-1.2, 2.15, 0.0), (3.2, 0.85, 0.8), geom.rot_z(4), part=MARK, segments=16, rings=10))
    # folded wings along the back
    out.add(ellipsoid((-0.8, 2.85, 0.0), (3.9, 0.45, 0.75), geom.rot_z(3), part=WING, segments=16, rings=8))
    for s in (1, -1):
        out.add(ellipsoid((4.05, 2.95, s * 0.7), (0.42, 0.5, 0.32), None, part=EYE, segments=10, rings=6))
        # long feelers swept back over the body
        root = np.array([4.3, 3.5, s * 0.35])
        out.add(limb([root, root + np.array([0.2, 0.9, s * 0.2]), root + np.array([-1.2, 1.7, s * 0.45]),
                      root + np.array([-4.0, 1.9, s * 0.6])], [0.1, 0.09, 0.07, 0.05], sides=5, part=ANTENNA))
        # big jumping legs: thigh up and back to the knee, shin down to the foot
        hip = np.array([0.9, 2.0, s * 0.85])
        knee = np.array([-3.6, 3.9, s * 1.1])
        foot = np.array([-2.1, 0.0, s * 1.2])
        out.add(limb([hip, np.array([-1.2, 3.2, s * 1.0]), knee], [0.55, 0.5, 0.22], sides=7, part=MARK,
                     per_segment=3))
        out.add(limb([knee, np.array([-3.0, 1.8, s * 1.15]), foot, foot + np.array([0.9, 0.0, 0.0])],
                     [0.16, 0.14, 0.12, 0.1], sides=6, part=LEG))
        # front and middle legs
        for hx, fx in ((2.6, 3.6), (1.6, 1.4)):
            h = np.array([hx, 1.7, s * 0.55])
            kn = np.array([hx + 0.4, 1.0, s * 1.0])
            ft = np.array([fx + 0.3, 0.0, s * 1.1])
            out.add(limb([h, kn, ft], [0.16, 0.13, 0.09], sides=6, part=LEG))
    # scale into the unit box, standing on y = 0, centred on x
    lo, hi = out.bounds()
    s = 1.0 / (hi[0] - lo[0])
    out.translate((-(lo[0] + hi[0]) / 2, -lo[1], 0))
    out.V *= s
    out.set(mat="grasshopper")
    mats = {"grasshopper": dict(Ka=(0.2, 0.2, 0.2), Kd=(1, 1, 1), Ks=(0.2, 0.2, 0.15), Ns=20)}

    def color(surf, bumped):
        P, N = surf.P, surf.N
        k = len(P)
        part = surf.part
        t = surf.attrs.get("t", np.zeros(k))
        lit = painter_light(bumped, (-0.2, 0.85, 0.45))
        green = mix(np.tile(rgb("#1a260c"), (k, 1)), np.tile(rgb("#4e6e26"), (k, 1)), smoothstep(0.25, 0.9, lit))
        belly = smoothstep(0.1, -0.5, N[:, 1])
        green = mix(green, rgb("#9a8838"), 0.6 * belly)
        green = green * (0.9 + 0.15 * noise.fbm(P * 40.0, seed, 2))[:, None]
        # herringbone stripes on the big thighs and segments on the abdomen
        herring = smoothstep(0.6, 0.9, 0.5 + 0.5 * np.sin((P[:, 0] * 60 + np.abs(P[:, 1] - 0.3) * 40)))
        mark = mix(green, green * 0.55, 0.6 * herring)
        col = np.where((part == MARK)[:, None], mark, green)
        wing = mix(np.tile(rgb("#3a3a1a"), (k, 1)), np.tile(rgb("#8a8a4a"), (k, 1)), smoothstep(0.3, 0.9, lit))
        veins = smoothstep(0.85, 1.0, 0.5 + 0.5 * np.sin(P[:, 0] * 90 + np.sin(P[:, 1] * 40) * 2))
        wing = mix(wing, rgb("#1a1a0a"), 0.5 * veins)
        col = np.where((part == WING)[:, None], wing, col)
        lc = mix(np.tile(rgb("#4a3418"), (k, 1)), np.tile(rgb("#a0602a"), (k, 1)), t)
        col = np.where(((part == LEG) | (part == ANTENNA))[:, None], lc, col)
        ec = mix(np.tile(rgb("#2a1408"), (k, 1)), np.tile(rgb("#d8a060"), (k, 1)), smoothstep(0.8, 1.0, lit))
        col = np.where((part == EYE)[:, None], ec, col)
        return col

    return ModelSpec("grasshopper", out, mats, Painter(color, None), size=256, pad=3, seed=seed)


# --------------------------------------------------------------------------
# wasp


def wasp():
    seed = 335
    out = geom.Mesh()
    # head towards +x, hovering: legs hang below
    out.add(ellipsoid((4.6, 3.2, 0.0), (0.95, 1.2, 1.15), geom.rot_z(-10), part=BODY, segments=16, rings=10))
    for s in (1, -1):
        out.add(ellipsoid((4.85, 3.45, s * 0.75), (0.6, 0.85, 0.45), geom.rot_z(-10), part=EYE, segments=12, rings=8))
        root = np.array([5.3, 4.0, s * 0.3])
        out.add(limb([root, root + np.array([0.6, 1.0, s * 0.3]), root + np.array([1.5, 1.3, s * 0.6]),
                      root + np.array([2.4, 0.8, s * 0.9])], [0.12, 0.1, 0.1, 0.12], sides=5, part=ANTENNA))
        out.add(limb([np.array([5.2, 2.4, s * 0.3]), np.array([5.6, 2.0, s * 0.2])], [0.18, 0.05], sides=5,
                     part=MANDIBLE, cap_end=False))
    out.add(ellipsoid((2.5, 3.3, 0.0), (1.55, 1.35, 1.25), None, part=MARK, segments=16, rings=10))
    out.add(limb([np.array([1.1, 3.1, 0.0]), np.array([0.4, 2.9, 0.0]), np.array([-0.2, 2.7, 0.0])],
                 [0.35, 0.22, 0.35], sides=8, part=BODY))
    gaster = ellipsoid((-2.9, 2.2, 0.0), (3.1, 1.5, 1.45), geom.rot_z(22), part=WING + 10, segments=22, rings=14)
    out.add(gaster)
    ang = math.radians(22)
    tip = np.array([-2.9 - 3.1 * math.cos(ang), 2.2 - 3.1 * math.sin(ang), 0.0])
    out.add(limb([tip + np.array([0.4, 0.15, 0]), tip, tip + np.array([-0.8, -0.4, 0])], [0.3, 0.18, 0.0], sides=6,
                 part=MANDIBLE, cap_end=False))
    # wings: two pairs, raised and swept back
    fore = [(0.0, 0.0), (1.2, 0.55), (3.2, 0.75), (5.6, 0.55), (6.4, 0.1), (5.8, -0.35), (3.5, -0.5), (1.2, -0.35)]
    hind = [(0.0, 0.0), (1.0, 0.35), (2.6, 0.45), (4.0, 0.3), (4.4, 0.0), (3.8, -0.3), (2.0, -0.35), (0.8, -0.2)]
    for s in (1, -1):
        for poly, rot_up, yaw, off in ((fore, 34, -158, (2.6, 4.3, 0.5)), (hind, 22, -166, (1.9, 4.1, 0.6))):
            w = geom.extrude(poly, -0.05, 0.05, part=WING, bevel=0.02)
            w.rotate(geom.rot_x(90))            # lay the wing flat in x-z
            w.rotate(geom.rot_y(yaw))           # sweep it back
            w.rotate(geom.rot_x(-rot_up))       # raise it
            w.translate((off[0], off[1], off[2]))
            if s < 0:
                w = mirrored_z(w)
            out.add(w)
    # legs hanging below the thorax, knees bent, the hind pair trailing
    legs = [((3.1, 2.4, 0.6), (3.9, 1.4, 1.5), (3.7, -0.2, 1.7)),
            ((2.5, 2.3, 0.7), (2.6, 1.0, 1.8), (1.7, -0.6, 2.0)),
            ((1.9, 2.3, 0.6), (1.0, 1.2, 1.7), (-0.9, -0.9, 1.9))]
    for h, kn, ft in legs:
        h, kn, ft = np.array(h), np.array(kn), np.array(ft)
        toe = ft + normalize3(ft - kn) * 0.5 + np.array([0, -0.2, 0])
        one = limb([h, kn, ft, toe], [0.2, 0.16, 0.12, 0.08], sides=6, part=LEG)
        out.add(one)
        out.add(mirrored_z(one))
    lo, hi = out.bounds()
    out.translate((-(lo[0] + hi[0]) / 2, -(lo[1] + hi[1]) / 2, 0))
    out.set(mat="wasp")
    out.mat[:] = np.where(out.part == WING, "wing", "wasp")
    mats = {"wasp": dict(Ka=(0.2, 0.2, 0.2), Kd=(1, 1, 1), Ks=(0.35, 0.3, 0.25), Ns=30),
            "wing": dict(Ka=(0.3, 0.3, 0.3), Kd=(1, 1, 1), Ks=(0.6, 0.6, 0.7), Ns=50)}
    gaster_c = np.array([-2.9, 2.2, 0.0]) - np.array([(lo[0] + hi[0]) / 2, (lo[1] + hi[1]) / 2, 0])
    yel, blk = rgb("#e8a81c"), rgb("#1a120c")

    def color(surf, bumped):
        P, N = surf.P, surf.N
        k = len(P)
        part = surf.part
        t = surf.attrs.get("t", np.zeros(k))
        lit = painter_light(bumped, (-0.2, 0.85, 0.45))
        shade = (0.55 + 0.6 * smoothstep(0.2, 0.95, lit))[:, None]
        # gaster: bold bands along its axis with pointed black marks
        q = P - gaster_c
        ax = q[:, 0] * math.cos(ang) + q[:, 1] * math.sin(ang)
        band = 0.5 + 0.5 * np.sin(ax * 2.3 + 0.8 + 0.35 * np.abs(q[:, 2]))
        gcol = np.where((band > 0.55)[:, None], blk, yel)
        gcol = gcol * shade
        thor = np.tile(blk, (k, 1)) * shade
        marks = smoothstep(0.35, 0.1, np.hypot(np.abs(P[:, 2]) - 0.7, P[:, 1] - 1.3))
        thor = mix(thor, yel * shade, 0.8 * marks)
        head = mix(np.tile(yel, (k, 1)) * shade, np.tile(blk, (k, 1)) * shade, smoothstep(0.2, 0.6, N[:, 1]))
        col = np.where((part == WING + 10)[:, None], gcol, np.where((part == MARK)[:, None], thor, head))
        wing = mix(np.tile(rgb("#6a6280"), (k, 1)), np.tile(rgb("#c8c0dc"), (k, 1)), smoothstep(0.2, 0.9, lit))
        veins = smoothstep(0.9, 1.0, 0.5 + 0.5 * np.sin(P[:, 0] * 5.0 + np.sin(P[:, 2] * 3.0) * 1.5))
        wing = mix(wing, rgb("#2a2030"), 0.7 * veins)
        col = np.where((part == WING)[:, None], wing, col)
        lc = mix(np.tile(rgb("#6a3a10"), (k, 1)), np.tile(yel, (k, 1)), t) * shade
        col = np.where(((part == LEG) | (part == ANTENNA))[:, None], lc, col)
        col = np.where((part == MANDIBLE)[:, None], np.tile(rgb("#201008"), (k, 1)) * shade, col)
        ec = mix(np.tile(rgb("#120808"), (k, 1)), np.tile(rgb("#8a5a3a"), (k, 1)), smoothstep(0.75, 1.0, lit))
        col = np.where((part == EYE)[:, None], ec, col)
        return col * (0.9 + 0.1 * noise.fbm(P * 3.0, seed, 2))[:, None]

    return ModelSpec("wasp", out, mats, Painter(color, None), size=512, seed=seed)


def _wasp_part(name, keep_wings):
    """The wasp split in two for the game: the body without its wings, and the wings alone (the
    game beats them). Both keep the whole wasp's frame, so they fit together."""
    whole = wasp()
    mesh = whole.mesh
    mesh._keep_faces((mesh.part == WING) == keep_wings)
    # only the vertices the kept faces use
    used, remap = np.unique(mesh.F, return_inverse=True)
    mesh.V = mesh.V[used]
    mesh.attrs = {k: a[used] for k, a in mesh.attrs.items()}
    mesh.F = remap.reshape(-1, 3)
    mats = {m: whole.materials[m] for m in set(mesh.mat)}
    return ModelSpec(name, mesh, mats, whole.painter, size=256, seed=whole.seed)


def wasp_body():
    return _wasp_part("waspBody", False)


def wasp_wings():
    return _wasp_part("waspWings", True)


def normalize3(v):
    return v / max(np.linalg.norm(v), 1e-9)


def mirrored_z(mesh):
    m = mesh.copy()
    m.transform(np.diag([1.0, 1.0, -1.0]))
    return m


BUILDERS = {
    "worker_ant": worker_ant,
    "soldier_ant": soldier_ant,
    "spider": spider,
    "grasshopper": grasshopper,
    "wasp": wasp,
    "waspBody": wasp_body,
    "waspWings": wasp_wings,
}
