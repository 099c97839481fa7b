"""Places the ninja passes through or comes back to: the burrow door under an arch of roots that
every exit stands in, and the glowing mushroom of a checkpoint.

Both stand on the ground 7.5 units below their origin: the level places them where the ninja's
middle is at an entrance (his feet are 7.5 below it), and both sit behind the play plane (z < 0),
so he walks in front of them. The roots and the mound reach a little deeper than the ground line,
into the platform under them, so a door placed a few units higher than the floor still stands on
it."""

import math

import numpy as np

import geom
from modelspec import ModelSpec
import noise
from paint import Painter, mix, painter_light, ramp, rgb, smoothstep
from props import catmull_rom, mushroom

GROUND = -7.5

# --------------------------------------------------------------------------
# the burrow door

BARK, MOUND, HOLE = 0, 1, 2


def _arch_path(width, height, z, lean, foot, rng, n=9):
    """Points of one root rising from below the ground on the left, over the top and down the
    right: a rounded arch `width` across and `height` above the ground, wobbling a little."""
    pts = []
    for i in range(n):
        a = math.pi * (1.0 - i / (n - 1))  # pi (left foot) .. 0 (right foot)
        x = 0.5 * width * math.cos(a)
        y = GROUND + height * math.sin(a) ** 0.8
        pts.append([x + rng.uniform(-0.5, 0.5), y + rng.uniform(-0.4, 0.4),
                    z + lean * math.sin(a) + rng.uniform(-0.3, 0.3)])
    # the feet spread and dive into the ground
    pts.insert(0, [pts[0][0] - foot, GROUND - 3.0, pts[0][2] + 0.6])
    pts.append([pts[-1][0] + foot, GROUND - 3.0, pts[-1][2] + 0.6])
    return catmull_rom(pts, 4)


def _root(path, r0, r1, part, attr="t"):
    """A root along `path`, thick at both ends where it grows from the ground and thinner over the
    top, with knobbly bark."""
    t = np.linspace(0.0, 1.0, len(path))
    radii = r1 + (r0 - r1) * np.abs(2.0 * t - 1.0) ** 1.5
    radii = radii * (1.0 + 0.12 * np.sin(t * 23.0))
    return geom.tube(path, radii, sides=8, smooth=65, part=part, attr=attr)


def _tendril(start, direction, length, radius, rng, part):
    """A thin side root hanging from the arch and curling at its end."""
    d = np.asarray(direction, dtype=np.float64)
    d /= np.linalg.norm(d)
    side = np.cross(d, [0.0, 0.0, 1.0])
    pts = [np.asarray(start, dtype=np.float64)]
    for i in range(1, 6):
        s = i / 5.0
        p = pts[0] + d * length * s + side * 0.8 * math.sin(s * 3.0 + rng.uniform(0, 1)) * s
        pts.append(p)
    path = catmull_rom(pts, 3)
    t = np.linspace(0.0, 1.0, len(path))
    radii = radius * (1.0 - t) ** 0.8
    radii[-1] = 0.0
    return geom.tube(path, radii, sides=6, cap0=True, cap1=False, smooth=65, part=part, attr="t")


def burrow_door():
    seed = 341
    rng = np.random.default_rng(seed)
    out = geom.Mesh()
    # The earth mound the burrow is dug into, behind the roots; its front face holds the dark hole.
    mound = geom.box((10.5, 11.5, 2.2), div=(10, 10, 2), round_r=2.0, round_steps=3, smooth=60, part=MOUND)
    mound.deform(lambda V: V + np.column_stack([
        0.35 * noise.fbm(V * 0.25, seed, 2), 0.25 * noise.fbm(V * 0.3, seed + 1, 2), np.zeros(len(V))]))
    # rounder at the top: the upper corners fall away like a hill's shoulders
    def shoulders(V):
        out_ = V.copy()
        up = np.clip((V[:, 1] - 2.0) / 9.5, 0.0, 1.0)
        out_[:, 0] = V[:, 0] * (1.0 - 0.35 * up ** 2)
        return out_
    mound.deform(shoulders)
    mound.translate((0.0, GROUND + 11.5 - 1.5, -5.6))
    out.add(mound)
    # Three big roots make the arch, each a little deeper in z than the last; thinner ones wind
    # along them.
    arches = [  # width, height, z, lean, foot, thick end, thin top
        (17.0, 19.5, -2.4, 0.4, 2.4, 1.55, 0.85),
        (15.5, 18.0, -3.3, -0.3, 1.8, 1.25, 0.7),
        (19.0, 20.5, -3.9, 0.2, 2.8, 1.1, 0.6),
        (16.2, 19.0, -1.7, 0.3, 1.4, 0.7, 0.4),
    ]
    paths = []
    for width, height, z, lean, foot, r0, r1 in arches:
        path = _arch_path(width, height, z, lean, foot, rng)
        paths.append(path)
        out.add(_root(path, r0, r1, BARK))
    # tendrils hanging from the top of the arch and reaching out at its feet
    top = paths[0][len(paths[0]) // 2]
    for dx, length in ((-3.5, 4.2), (2.0, 3.4), (4.8, 2.6)):
        out.add(_tendril(top + np.array([dx, -1.2, 0.6]), (rng.uniform(-0.3, 0.3), -1.0, 0.1), length,
                         0.35, rng, BARK))
    for sign in (-1, 1):
        foot = np.array([sign * 9.0, GROUND + 1.2, -1.8])
        out.add(_tendril(foot, (sign * 1.0, -0.55, 0.25), 3.5, 0.45, rng, BARK))
    out.translate((0.0, 0.0, -0.5))
    out.set(mat="door")
    mats = {"door": dict(Ka=(0.2, 0.2, 0.2), Kd=(1, 1, 1), Ks=(0.12, 0.1, 0.1), Ns=12)}

    def hole(P):
        """1 on the mound's front inside the arch, fading towards its edge: the dark burrow."""
        x = P[:, 0] / 6.2
        y = (P[:, 1] - GROUND) / 14.5
        inside = x ** 2 + np.maximum(y - 0.35, 0.0) ** 2 / 0.42 - 1.0
        return smoothstep(0.15, -0.35, inside) * (y > -0.1)

    def height(P, surf):
        bark = noise.ridged(np.column_stack([P[:, 0] * 0.9, P[:, 1] * 0.9, P[:, 2] * 2.5]), seed + 3, 3) ** 2
        soil = 0.08 * noise.fbm(P * 1.2, seed + 4, 3)
        return np.where(surf.part == BARK, 0.1 * bark, soil * (1.0 - hole(P)))

    def color(surf, bumped):
        P = surf.P
        k = len(P)
        t = surf.attrs.get("t", np.zeros(k))
        # roots: dark bark with pale ridges, mossy where they leave the ground
        g = noise.ridged(np.column_stack([P[:, 0] * 0.9, P[:, 1] * 0.9, P[:, 2] * 2.5]), seed + 3, 3) ** 2
        bc = mix(np.tile(rgb("#24140c"), (k, 1)), np.tile(rgb("#6a4a30"), (k, 1)), g)
        bc = mix(bc, rgb("#3e2a36"), 0.3 * smoothstep(-0.2, 0.5, noise.fbm(P * 0.4, seed + 6, 2)))
        mh = noise.fbm(P * 1.4, seed + 7, 3) * 0.5 + 0.5
        moss = mix(np.tile(rgb("#16240e"), (k, 1)), np.tile(rgb("#3c5a24"), (k, 1)), smoothstep(0.3, 0.7, mh))
        near_ground = smoothstep(GROUND + 4.0, GROUND + 0.5, P[:, 1])
        on_top = smoothstep(0.5, 0.9, surf.N[:, 1]) * smoothstep(0.45, 0.75, mh)
        bc = mix(bc, moss, np.clip(0.85 * near_ground + 0.7 * on_top, 0, 1))
        del t
        # mound: earth with pebbles and moss, the hole a deep brown-black that darkens inwards
        tone = noise.fbm(P * 0.35, seed + 8, 3) * 0.5 + 0.5
        earth = mix(np.tile(rgb("#2a1a10"), (k, 1)), np.tile(rgb("#5a3c24"), (k, 1)), tone)
        f1, _, cid = noise.voronoi(P * 0.9, seed + 9)
        pebble = smoothstep(0.25, 0.12, f1) * (noise.cell_random(cid, seed) > 0.7)
        earth = mix(earth, rgb("#8a7a66"), 0.6 * pebble)
        earth = mix(earth, moss, 0.8 * smoothstep(0.2, 0.7, surf.N[:, 1]) * smoothstep(0.4, 0.7, mh))
        front = smoothstep(0.2, 0.7, surf.N[:, 2])
        depth = hole(P) * front
        inner = ramp(depth, [(0.0, "#2a1a10"), (0.6, "#0c0604"), (1.0, "#030101")])
        earth = mix(earth, inner, smoothstep(0.0, 0.25, depth))
        col = np.where((surf.part == BARK)[:, None], bc, earth)
        light = 0.78 + 0.38 * painter_light(bumped)
        light = np.where(depth > 0.2, 1.0, light)
        return col * light[:, None]

    return ModelSpec("burrowDoor", out, mats, Painter(color, height), size=512,
                     normal_map="burrowDoorNormals.png", seed=seed, shipped=256, bump_eps=0.04)


# --------------------------------------------------------------------------
# the checkpoint mushroom


def checkpoint_mushroom():
    seed = 342
    rng = np.random.default_rng(seed)
    out = geom.Mesh()
    # The lantern mushroom: a slender stem with a bell cap, standing on a mossy hump, with two
    # small ones at its foot. Pieces 0..2 are its stem, gills and cap (the mushroom helper's
    # numbering), 3..8 those of the little ones, 99 the hump.
    big = mushroom([(0.0, 0.0), (1.3, 0.0), (1.05, 0.5), (0.8, 3.0), (0.75, 6.5), (0.9, 8.6)],
                   [(0.9, 8.6), (2.2, 8.7), (3.6, 8.8)],
                   [(3.6, 8.8), (3.8, 9.2), (3.3, 10.6), (2.0, 11.9), (0.0, 12.5)],
                   segments=22, part_base=0, seed=seed, wobble=0.25)
    big.set_attr("cx", 0.0).set_attr("cy", 0.0).set_attr("cz", 0.0)
    out.add(big)
    for i, (x, z, s, yaw) in enumerate(((2.6, 1.2, 0.35, 40), (-2.4, 0.9, 0.28, -25))):
        small = mushroom([(0.0, 0.0), (1.2, 0.0), (0.9, 1.0), (0.8, 4.5), (0.95, 6.0)],
                         [(0.95, 6.0), (2.4, 6.1), (3.4, 6.2)],
                         [(3.4, 6.2), (3.6, 6.6), (2.8, 8.0), (0.0, 8.8)],
                         segments=14, part_base=3 * (i + 1), seed=seed + i + 1, wobble=0.2)
        small.scale((s, s, s))
        small.rotate(geom.rot_y(yaw))
        small.translate((x, 0.0, z))
        small.set_attr("cx", x).set_attr("cy", 0.0).set_attr("cz", z)
        out.add(small)
    hump = geom.lathe([(0.0, -1.2), (1.0, -1.2), (1.0, 0.0), (0.8, 0.35), (0.45, 0.55), (0.0, 0.6)], 20,
                      smooth=70, part=99)
    hump.scale((4.2, 1.2, 3.0))
    hump.deform(lambda V: V + np.column_stack([np.zeros(len(V)),
                                               0.25 * noise.fbm(V * 0.5, seed, 2) * (V[:, 1] > 0),
                                               np.zeros(len(V))]))
    out.add(hump)
    out.translate((0.0, GROUND, -4.3))
    out.set(mat="glowcap")
    mats = {"glowcap": dict(Ka=(0.25, 0.25, 0.3), Kd=(1, 1, 1), Ks=(0.3, 0.3, 0.35), Ns=24)}

    def height(P, surf):
        return 0.05 * noise.fbm(P * 1.8, seed + 50, 3)

    def color(surf, bumped):
        P = surf.P
        k = len(P)
        part = surf.part
        kind = part % 3
        hgt = np.clip(surf.attrs.get("h", np.zeros(k)), 0, 1)
        # cap: a dark, cool blue-grey while the mushroom sleeps (its light is the lit checkpoint's
        # emission), a little paler towards the rim, with pale dots
        cap = mix(np.tile(rgb("#4a5670"), (k, 1)), np.tile(rgb("#1c2236"), (k, 1)), smoothstep(0.0, 1.0, hgt))
        cen = np.column_stack([surf.attrs.get("cx", np.zeros(k)), surf.attrs.get("cy", np.zeros(k)),
                               surf.attrs.get("cz", np.zeros(k))])
        f1, _, cid = noise.voronoi((P - cen) * 1.3, seed + 10, jitter=0.8)
        dots = smoothstep(0.3, 0.16, f1) * (noise.cell_random(cid, seed + 11) > 0.4) * smoothstep(0.1, 0.3, hgt)
        cap = mix(cap, rgb("#a8b4a8"), 0.8 * dots)
        cap = cap * (0.9 + 0.2 * noise.fbm(P * 0.8, seed + 12, 3))[:, None]
        # gills: warm cream lines, where the glow seems to come from
        ang = np.arctan2((P - cen)[:, 0], (P - cen)[:, 2])
        lines = np.abs(np.sin(ang * 30))
        gills = mix(np.tile(rgb("#a89070"), (k, 1)), np.tile(rgb("#5a4838"), (k, 1)), smoothstep(0.4, 0.0, lines))
        # stem: pale and fibrous, dusky at the foot
        fib = noise.fbm(np.column_stack([(P - cen)[:, 0] * 3.0, P[:, 1] * 0.3, (P - cen)[:, 2] * 3.0]), seed + 13, 3)
        stem = np.tile(rgb("#7a7670"), (k, 1)) * (0.8 + 0.2 * fib)[:, None]
        stem = mix(stem, rgb("#5a5048"), 0.6 * smoothstep(0.35, 0.0, hgt))
        col = np.where((kind == 2)[:, None], cap, np.where((kind == 1)[:, None], gills, stem))
        # the hump: moss over soil
        mh = noise.fbm(P * 1.6, seed + 41, 3) * 0.5 + 0.5
        moss = mix(np.tile(rgb("#121c0c"), (k, 1)), np.tile(rgb("#2e4a22"), (k, 1)), smoothstep(0.3, 0.7, mh))
        moss = mix(moss, rgb("#557a32"), smoothstep(0.72, 0.92, mh))
        col = np.where((part == 99)[:, None], moss, col)
        return col * (0.8 + 0.35 * painter_light(bumped))[:, None]

    del rng
    return ModelSpec("checkpointMushroom", out, mats, Painter(color, height), size=256,
                     normal_map="checkpointMushroomNormals.png", weights={"-y": 0.6}, seed=seed)


BUILDERS = {
    "burrowDoor": burrow_door,
    "checkpointMushroom": checkpoint_mushroom,
}
