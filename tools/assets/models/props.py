"""Level props: the spider-web curtain, mushrooms, the boulder and the thorn spikes."""

import math

import numpy as np

import geom
from modelspec import ModelSpec
import noise
from paint import Painter, mix, painter_light, ramp, rgb, smoothstep


def catmull_rom(points, per_segment=4):
    """A smooth curve through the given 2D or 3D points (ends included)."""
    P = np.asarray(points, dtype=np.float64)
    ext = np.vstack([2 * P[0] - P[1], P, 2 * P[-1] - P[-2]])
    out = []
    for i in range(1, len(ext) - 2):
        p0, p1, p2, p3 = ext[i - 1], ext[i], ext[i + 1], ext[i + 2]
        for s in range(per_segment):
            t = s / per_segment
            t2, t3 = t * t, t * t * t
            out.append(0.5 * ((2 * p1) + (-p0 + p2) * t + (2 * p0 - 5 * p1 + 4 * p2 - p3) * t2
                              + (-p0 + 3 * p1 - 3 * p2 + p3) * t3))
    out.append(P[-1])
    return np.array(out)


# --------------------------------------------------------------------------
# mushrooms

STEM, GILLS, CAP = 0, 1, 2


def mushroom(stem_profile, gill_profile, cap_points, segments=28, part_base=0, seed=0, wobble=0.0):
    """A mushroom from three profiles (radius, y): the stem from its foot up to the
    cap, the gills underneath from the stem out to the rim, and the cap from the
    rim over the top (cap_points pass through a spline). The pieces meet at sharp
    edges and stay separate; each carries the attribute "h", 0..1 along its own
    profile (foot to cap, stem to rim, rim to crown), for the painter's gradients."""
    stem = geom.lathe(stem_profile, segments, smooth=60, part=part_base + STEM, attr="h")
    gills = geom.lathe(gill_profile, segments, smooth=60, part=part_base + GILLS, attr="h")
    cap_prof = catmull_rom(cap_points, 4)
    cap_prof[-1][0] = 0.0
    cap = geom.lathe([tuple(p) for p in cap_prof], segments, smooth=70, part=part_base + CAP, attr="h")
    m = geom.merge(stem, gills, cap)
    if wobble > 0:
        # a hand-made cap: the rim rises and falls a little around the stem
        V = m.V
        ang = np.arctan2(V[:, 0], V[:, 2])
        r = np.hypot(V[:, 0], V[:, 2])
        around = np.column_stack([np.cos(ang) * 1.3, np.sin(ang) * 1.3, np.full(len(V), seed * 0.37)])
        w = wobble * noise.value(around, seed)
        V[:, 1] += w * smoothstep(1.5, 5.0, r)
        m.V = V
    return m


def _mushroom_painter(seed, palettes, ground_y=0.0):
    """palettes maps a mushroom index to (cap dark, cap light, spots, gills, stem)."""

    def info(surf):
        idx = surf.part // 3
        kind = surf.part % 3
        return idx, kind

    def color(surf, bumped):
        P = surf.P
        k = len(P)
        idx, kind = info(surf)
        col = np.zeros((k, 3))
        cen = np.zeros((k, 3))
        if "cx" in surf.attrs:
            cen = np.column_stack([surf.attrs["cx"], surf.attrs["cy"], surf.attrs["cz"]])
        L = P - cen
        for i, pal in palettes.items():
            sel = idx == i
            if not sel.any():
                continue
            cap_dark, cap_light, spot, gill, stem = (rgb(c) for c in pal)
            Ls = L[sel]
            ks = kind[sel]
            hgt = surf.attrs.get("h", np.zeros(k))[sel]
            c = np.zeros((sel.sum(), 3))
            # cap: darker at the crown, lighter towards the rim, pale warts
            capm = ks == CAP
            t = np.clip(hgt, 0, 1)
            capc = mix(np.tile(cap_light, (sel.sum(), 1)), np.tile(cap_dark, (sel.sum(), 1)), smoothstep(0.0, 1.0, t))
            mott = noise.fbm(P[sel] * 0.6, seed + i, 3)
            capc = capc * (0.9 + 0.2 * mott)[:, None]
            f1, f2, cid = noise.voronoi(P[sel] * 0.55, seed + 10 + i, jitter=0.8)
            size = 0.18 + 0.12 * noise.cell_random(cid, seed + i)
            wart = smoothstep(size, size - 0.08, f1) * (noise.cell_random(cid, seed + 3) > 0.35)
            wart = wart * smoothstep(0.05, 0.25, t)
            capc = mix(capc, spot, 0.9 * wart)
            rim = smoothstep(0.12, 0.0, t)
            capc = mix(capc, cap_light * 1.25 + 0.05, 0.45 * rim)
            c[capm] = capc[capm]
            # gills: fine radial lines, darker towards the stem
            gm = ks == GILLS
            ang = np.arctan2(Ls[:, 0], Ls[:, 2])
            lines = np.abs(np.sin(ang * 36 + 0.6 * noise.fbm(P[sel] * 0.8, seed + 20, 2)))
            gc = mix(np.tile(gill, (sel.sum(), 1)), np.tile(gill * 0.45, (sel.sum(), 1)), smoothstep(0.35, 0.0, lines))
            gc = gc * (0.6 + 0.4 * smoothstep(0.2, 0.9, hgt))[:, None]
            c[gm] = gc[gm]
            # stem: pale with long fibres, dusky foot
            sm = ks == STEM
            fib = noise.fbm(np.column_stack([Ls[:, 0] * 3.5, Ls[:, 1] * 0.35, Ls[:, 2] * 3.5]), seed + 30 + i, 3)
            sc = np.tile(stem, (sel.sum(), 1)) * (0.8 + 0.2 * fib)[:, None]
            foot = smoothstep(0.45, 0.0, hgt)
            sc = mix(sc, stem * rgb("#6a5a48"), 0.6 * foot)
            under = smoothstep(0.75, 1.0, hgt)
            sc = sc * (1 - 0.35 * under)[:, None]
            c[sm] = sc[sm]
            col[sel] = c
        # moss and soil where anything touches the ground
        ground = smoothstep(0.8, 0.0, P[:, 1] - ground_y + 0.4 * noise.fbm(P * 0.8, seed + 40, 2))
        mound = surf.part == 99
        mh = noise.fbm(P * 1.6, seed + 41, 3) * 0.5 + 0.5
        moss = mix(np.tile(rgb("#121c0c"), (k, 1)), np.tile(rgb("#2a4220"), (k, 1)), smoothstep(0.3, 0.7, mh))
        moss = mix(moss, rgb("#557a32"), smoothstep(0.72, 0.92, mh))
        moss = mix(moss, rgb("#3a2a1a"), 0.5 * smoothstep(0.2, -0.4, noise.fbm(P * 0.3, seed + 42, 2)))
        col[mound] = moss[mound]
        col = mix(col, moss, 0.8 * ground * (~mound))
        col = col * (0.75 + 0.4 * painter_light(bumped))[:, None]
        return col

    def height(P, surf):
        return 0.06 * noise.fbm(P * 1.5, seed + 50, 3)

    return Painter(color, height)


def single_shape(seed=0, segments=28):
    """The level's platform mushroom: the cap passes through the collider's points."""
    stem = [(0.0, 0.0), (2.25, 0.0), (2.0, 0.45), (1.7, 1.3), (1.62, 2.1), (1.75, 2.62)]
    gills = [(1.75, 2.62), (2.8, 2.7), (4.8, 2.76), (6.3, 2.8)]
    cap = [(6.3, 2.8), (6.8, 3.0), (6.2, 4.7), (3.3, 6.7), (0.0, 7.4)]
    return mushroom(stem, gills, cap, segments=segments, seed=seed)


def mushroom_single():
    seed = 311
    m = single_shape(seed=seed)
    m.set_attr("cx", 0.0).set_attr("cy", 0.0).set_attr("cz", 0.0)
    m.set(mat="mushroom")
    mats = {"mushroom": dict(Ka=(0.2, 0.2, 0.2), Kd=(1, 1, 1), Ks=(0.12, 0.1, 0.12), Ns=14)}
    pal = {0: ("#2c1648", "#6a3c8c", "#e8dcd0", "#b89888", "#b8a88c")}
    return ModelSpec("mushroom_single", m, mats, _mushroom_painter(seed, pal), size=256,
                     weights={"-y": 0.7}, seed=seed)


def _cluster_member(i, stem_h, stem_r, cap_r, cap_h, shape, seed, pos, tilt_z, tilt_x, yaw):
    """One mushroom of the cluster, built upright at the origin and then placed."""
    sr = stem_r
    stem = [(0.0, 0.0), (sr * 1.35, 0.0), (sr * 1.15, stem_h * 0.12), (sr * 0.95, stem_h * 0.5),
            (sr * 0.9, stem_h * 0.85), (sr * 1.05, stem_h)]
    under = stem_h + cap_h * 0.05
    gills = [(sr * 1.05, stem_h), (cap_r * 0.5, under), (cap_r * 0.92, under + cap_h * 0.02)]
    if shape == "dome":
        cap = [(cap_r * 0.92, under + cap_h * 0.02), (cap_r, under + cap_h * 0.12), (cap_r * 0.9, under + cap_h * 0.55),
               (cap_r * 0.5, under + cap_h * 0.92), (0.0, under + cap_h)]
    elif shape == "cone":
        cap = [(cap_r * 0.92, under + cap_h * 0.02), (cap_r, under + cap_h * 0.1), (cap_r * 0.7, under + cap_h * 0.45),
               (cap_r * 0.3, under + cap_h * 0.85), (0.0, under + cap_h)]
    else:  # flat, slightly upturned
        cap = [(cap_r * 0.92, under + cap_h * 0.02), (cap_r, under + cap_h * 0.2), (cap_r * 0.8, under + cap_h * 0.6),
               (cap_r * 0.4, under + cap_h * 0.85), (0.0, under + cap_h * 0.8)]
    m = mushroom(stem, gills, cap, segments=22, part_base=3 * i, seed=seed + i, wobble=0.12 * cap_r)
    m.rotate(geom.rot_y(yaw))
    M = geom.rot_z(tilt_z) @ geom.rot_x(tilt_x)
    m.rotate(M)
    m.translate(pos)
    m.set_attr("cx", pos[0]).set_attr("cy", pos[1]).set_attr("cz", pos[2])
    return m, M


def mushroom_cluster():
    seed = 312
    members = [
        # stem_h, stem_r, cap_r, cap_h, shape, pos, tilt_z, tilt_x, yaw
        (11.0, 1.5, 6.2, 4.2, "dome", (-1.5, 0.0, -1.0), 6, -4, 10),
        (7.0, 1.05, 4.3, 3.4, "cone", (6.5, 0.0, 1.5), -14, 5, 40),
        (4.2, 0.8, 3.0, 2.2, "dome", (-8.5, 0.0, 2.0), 18, 6, 75),
        (2.6, 0.55, 2.0, 1.6, "flat", (2.6, 0.0, 4.6), -8, 14, 20),
        (1.8, 0.42, 1.4, 1.1, "dome", (-4.6, 0.0, 5.2), 12, 20, 5),
    ]
    out = geom.Mesh()
    for i, (sh, sr, cr, ch, shape, pos, tz, tx, yaw) in enumerate(members):
        m, _ = _cluster_member(i, sh, sr, cr, ch, shape, seed, pos, tz, tx, yaw)
        out.add(m)
    # mossy mound the group grows from
    mound = geom.lathe([(0.0, -0.6), (1.0, -0.6), (1.0, 0.05), (0.85, 0.45), (0.5, 0.8), (0.0, 0.9)], 24, smooth=70,
                       part=99)
    mound.scale((11.5, 1.3, 6.0))
    mound.translate((-1.0, 0.0, 1.2))
    mound.deform(lambda V: V + np.column_stack([np.zeros(len(V)), 0.45 * noise.fbm(V * 0.35, seed, 2) * (V[:, 1] > 0),
                                                np.zeros(len(V))]))
    out.add(mound)
    # every piece sits on the ground: the lowest visible point is y = 0
    lo, _ = out.bounds()
    out.translate((0, -lo[1] - 0.6, 0))
    out.set(mat="mushroom")
    mats = {"mushroom": dict(Ka=(0.2, 0.2, 0.2), Kd=(1, 1, 1), Ks=(0.12, 0.1, 0.12), Ns=14)}
    pal = {
        0: ("#2c1648", "#6a3c8c", "#e8dcd0", "#b89888", "#b8a88c"),
        1: ("#40200e", "#8a5028", "#e8d0a8", "#c0a080", "#b8a488"),
        2: ("#24183c", "#5a4480", "#e8dcd0", "#b0a0a0", "#aca090"),
        3: ("#4a2410", "#9a6230", "#f0dcb8", "#c8a888", "#bcac90"),
        4: ("#341640", "#7a4890", "#ecdcd4", "#bca4a0", "#b4a894"),
    }
    return ModelSpec("mushroom_cluster", out, mats, _mushroom_painter(seed, pal, ground_y=0.0), size=512,
                     weights={"-y": 0.5}, seed=seed)


# --------------------------------------------------------------------------
# boulder


def _stone_painter(seed, mossy=True):
    def cracks(P):
        f1, f2, _ = noise.voronoi(noise.warp(P * 0.28, seed + 3, 0.35), seed + 4)
        show = smoothstep(-0.05, 0.3, noise.fbm(P * 0.2, seed + 5, 2))
        return smoothstep(0.07, 0.0, f2 - f1) * show

    def moss(P):
        return smoothstep(0.05, 0.3, noise.fbm(P * 0.22, seed + 6, 3)) if mossy else np.zeros(len(P))

    def height(P, surf):
        m = moss(P)
        rock = -0.22 * cracks(P) + 0.07 * noise.fbm(P * 1.8, seed + 7, 3) + 0.05 * noise.fbm(P * 0.5, seed + 8, 2)
        mh = 0.1 + 0.08 * noise.fbm(P * 3.0, seed + 9, 3)
        return rock * (1 - m) + mh * m

    def color(surf, bumped):
        P = surf.P
        k = len(P)
        tone = noise.fbm(P * 0.15, seed + 10, 3) * 0.5 + 0.5
        base = mix(np.tile(rgb("#3a3038"), (k, 1)), np.tile(rgb("#7a6a66"), (k, 1)), tone)
        grain = noise.fbm(P * 4.0, seed + 11, 2)
        base = base * (0.88 + 0.25 * grain)[:, None]
        f1, _, cid = noise.voronoi(P * 1.4, seed + 12)
        fleck = smoothstep(0.22, 0.1, f1) * (noise.cell_random(cid, seed) > 0.6)
        base = mix(base, rgb("#c8b8a8"), 0.5 * fleck)
        base = mix(base, rgb("#5a4050"), 0.3 * smoothstep(0.3, 0.8, noise.fbm(P * 0.3, seed + 13, 2)))
        base = mix(base, rgb("#140c10"), 0.85 * cracks(P))
        g1, _, gid = noise.voronoi(P * 0.5, seed + 14)
        lichen = smoothstep(0.38, 0.26, g1) * (noise.cell_random(gid, seed + 1) > 0.8)
        base = mix(base, rgb("#8f9670"), 0.75 * lichen)
        m = moss(P)
        mh = noise.fbm(P * 3.0, seed + 9, 3) * 0.5 + 0.5
        mcol = mix(np.tile(rgb("#121c0c"), (k, 1)), np.tile(rgb("#2a4220"), (k, 1)), smoothstep(0.3, 0.7, mh))
        mcol = mix(mcol, rgb("#557a32"), smoothstep(0.72, 0.92, mh))
        col = mix(base, mcol, m)
        col = col * (0.78 + 0.38 * painter_light(bumped))[:, None]
        return col

    return Painter(color, height)


def boulder():
    seed = 313
    m = geom.icosphere(1.0, 3, smooth=75)
    V = m.V
    d = 1.0 + 0.09 * noise.fbm(V * 1.1, seed, 3) + 0.05 * noise.fbm(V * 2.6, seed + 1, 2)
    # a few flattened faces, as on a river stone
    for a in [(0.6, 0.7, 0.4), (-0.8, -0.1, 0.5), (0.2, -0.9, -0.3), (-0.3, 0.5, -0.8)]:
        a = np.array(a) / np.linalg.norm(a)
        d = np.minimum(d, 0.93 / np.maximum(V @ a, 1e-3))
    m.V = V * d[:, None] * 6.0
    m.fit_box((-6, -6, -6), (6, 6, 6))
    m.set(mat="stone")
    mats = {"stone": dict(Ka=(0.2, 0.2, 0.2), Kd=(1, 1, 1), Ks=(0.1, 0.1, 0.12), Ns=16)}
    # About 90 pixels across on screen: painted at 512, shipped at 256.
    return ModelSpec("boulder", m, mats, _stone_painter(seed), size=512, normal_map="boulderObjectNormals.png",
                     seed=seed, shipped=256)


# --------------------------------------------------------------------------
# thorn spikes


def spikes():
    seed = 314
    out = geom.Mesh()
    # woody knot the thorns grow from
    base = geom.lathe([(0.0, -0.1), (1.0, -0.1), (1.0, 0.15), (0.85, 0.55), (0.55, 0.85), (0.0, 1.0)], 20,
                      smooth=70, part=0)
    base.scale((3.05, 1.3, 2.3))
    base.deform(lambda V: V + np.column_stack([np.zeros(len(V)), 0.15 * noise.fbm(V * 0.9, seed, 2) * (V[:, 1] > 0.1),
                                               np.zeros(len(V))]))
    out.add(base)
    # (x, z, height, lean in degrees, radius)
    thorns = [(0.0, 0.5, 6.0, -4, 1.0), (-1.85, 0.6, 4.6, 16, 0.85), (1.9, 0.4, 4.9, -18, 0.85),
              (-0.95, -0.9, 5.2, 8, 0.8), (1.0, -0.85, 4.2, -10, 0.75)]
    for i, (x, z, h, lean, r) in enumerate(thorns):
        n = 9
        t = np.linspace(0, 1, n)
        # a thorn curves: it leans out and hooks slightly back near the tip
        bend = math.radians(lean)
        px = x + np.sin(bend) * h * t ** 1.4
        py = 0.4 + (h - 0.4) * t
        pz = z + 0.25 * np.sin(t * math.pi)
        path = np.column_stack([px, py, pz])
        radii = r * (1 - t) ** 1.1
        radii[-1] = 0.0
        radii[0] = r * 1.15
        th = geom.tube(path, radii, sides=10, cap0=True, cap1=False, smooth=70, part=1 + i, attr="t")
        out.add(th)
    out.fit_box((-3.03, 0.0, -2.4), (3.03, 6.0, 2.4))
    out.set(mat="thorn")
    mats = {"thorn": dict(Ka=(0.2, 0.2, 0.2), Kd=(1, 1, 1), Ks=(0.35, 0.3, 0.3), Ns=30)}

    def height(P, surf):
        t = surf.attrs["t"]
        fib = noise.fbm(np.column_stack([P[:, 0] * 5, P[:, 1] * 0.6, P[:, 2] * 5]), seed + 2, 3)
        bark = noise.ridged(P * np.array([1.2, 2.5, 1.2]), seed + 3, 3) ** 2
        thorn = surf.part > 0
        return np.where(thorn, 0.04 * fib * (1 - t), 0.12 * bark)

    def color(surf, bumped):
        P = surf.P
        k = len(P)
        t = surf.attrs["t"]
        thorn = surf.part > 0
        tc = ramp(t + 0.08 * noise.fbm(P * 1.5, seed + 4, 2),
                  [(0.0, "#1a0a0a"), (0.35, "#401812"), (0.65, "#743a24"), (0.88, "#c8a888"), (1.0, "#f0e4cc")])
        streak = noise.fbm(np.column_stack([P[:, 0] * 6, P[:, 1] * 0.5, P[:, 2] * 6]), seed + 5, 2)
        tc = tc * (0.9 + 0.2 * streak)[:, None]
        g = noise.ridged(P * np.array([1.2, 2.5, 1.2]), seed + 3, 3) ** 2
        bc = mix(np.tile(rgb("#1c100e"), (k, 1)), np.tile(rgb("#5a3c30"), (k, 1)), g)
        bc = mix(bc, rgb("#3a2a3e"), 0.3 * smoothstep(-0.2, 0.5, noise.fbm(P * 0.5, seed + 6, 2)))
        col = np.where(thorn[:, None], tc, bc)
        col = col * (0.78 + 0.38 * painter_light(bumped))[:, None]
        return col

    return ModelSpec("spikes", out, mats, Painter(color, height), size=256, normal_map="spikeNormals.png",
                     seed=seed, bump_eps=0.03)


# --------------------------------------------------------------------------
# spider web


def spider_web():
    seed = 315
    rng = np.random.default_rng(seed)
    silk = geom.Mesh()
    xs = np.array([-1.78, -1.08, -0.36, 0.38, 1.1, 1.8]) + rng.uniform(-0.08, 0.08, 6)
    top, bottom = 6.0, -9.0

    def strand_x(i, y):
        return xs[i] + 0.12 * np.sin(y * 0.45 + i * 1.7) + 0.08 * np.sin(y * 1.3 + i)

    def strand_z(i, y):
        return 0.18 * np.sin(y * 0.3 + i * 0.9)

    ys = np.linspace(top, bottom, 22)
    for i in range(len(xs)):
        path = np.column_stack([strand_x(i, ys), ys, strand_z(i, ys)])
        silk.add(geom.tube(path, 0.16, sides=4, smooth=60, part=0, attr="t"))
    # the anchor line along the top
    ax = np.linspace(-1.95, 1.95, 9)
    silk.add(geom.tube(np.column_stack([ax, top - 0.05 - 0.12 * np.cos(ax), np.zeros(9)]), 0.2, sides=4, part=0,
                       attr="t"))
    # sagging cross threads between neighbouring strands
    drops = []
    for row in range(16):
        y = top - 0.9 - row * 0.9 + rng.uniform(-0.2, 0.2)
        for i in range(len(xs) - 1):
            if rng.uniform() < 0.22:
                continue
            y2 = y + rng.uniform(-0.45, 0.45)
            a = np.array([strand_x(i, y), y, strand_z(i, y)])
            b = np.array([strand_x(i + 1, y2), y2, strand_z(i + 1, y2)])
            s = np.linspace(0, 1, 5)
            p = a[None, :] * (1 - s[:, None]) + b[None, :] * s[:, None]
            p[:, 1] -= 0.22 * np.sin(s * np.pi)
            silk.add(geom.tube(p, 0.1, sides=4, part=1, attr="t"))
            if rng.uniform() < 0.3:
                drops.append(p[2] + np.array([0, -0.08, 0]))
    # a few long diagonal threads
    for a, b in [((-1.9, 3.0), (0.4, -2.0)), ((1.85, 1.0), (-0.4, -6.5)), ((-1.8, -4.0), (1.1, -8.6))]:
        s = np.linspace(0, 1, 7)
        p = np.column_stack([a[0] + (b[0] - a[0]) * s, a[1] + (b[1] - a[1]) * s - 0.3 * np.sin(s * np.pi),
                             0.1 * np.sin(s * 3)])
        silk.add(geom.tube(p, 0.09, sides=4, part=1, attr="t"))
    # dew drops clinging to the silk
    for i in range(len(xs)):
        for y in rng.uniform(bottom + 0.5, top - 1.0, 2):
            drops.append(np.array([strand_x(i, y), y, strand_z(i, y)]))
    dew = geom.Mesh()
    for c in drops:
        r = rng.uniform(0.16, 0.26)
        d = geom.icosphere(1.0, 0 if r < 0.22 else 1, smooth=80, part=2)
        d.scale((r, r * 1.2, r))
        d.translate(c - np.array([0, r * 0.4, 0]))
        dew.add(d)
    silk.set(mat="silk")
    dew.set(mat="dew")
    m = geom.merge(silk, dew)
    m.fit_box((-2.0, -9.0, -0.5), (2.0, 6.0, 0.5), axes=(0, 1))
    mats = {"silk": dict(Ka=(0.3, 0.3, 0.3), Kd=(1, 1, 1), Ks=(0.35, 0.35, 0.4), Ns=24),
            "dew": dict(Ka=(0.3, 0.3, 0.3), Kd=(1, 1, 1), Ks=(0.9, 0.9, 1.0), Ns=80)}

    def color(surf, bumped):
        P = surf.P
        k = len(P)
        shimmer = 0.5 + 0.5 * np.sin(P[:, 1] * 1.7 + P[:, 0] * 2.3)
        c = mix(np.tile(rgb("#cfc4d8"), (k, 1)), np.tile(rgb("#e8dcc4"), (k, 1)), shimmer)
        c = mix(c, rgb("#a8d0d8"), 0.25 * smoothstep(0.6, 1.0, 0.5 + 0.5 * np.sin(P[:, 1] * 0.7 - P[:, 0])))
        dewm = surf.part == 2
        dc = mix(np.tile(rgb("#9ab8c8"), (k, 1)), np.tile(rgb("#f4fbff"), (k, 1)), smoothstep(-0.2, 0.8, surf.N[:, 1]))
        c = np.where(dewm[:, None], dc, c)
        return c * (0.85 + 0.25 * painter_light(bumped))[:, None]

    return ModelSpec("spider_web", m, mats, Painter(color, None), size=256, pad=3, seed=seed)


def spider_thread():
    """One unit of a spider's thread, hanging from y = 0 down to y = -1: the game stretches it to
    the thread's length. A thin twisted pair of silk strands, so it catches the light."""
    seed = 316
    silk = geom.Mesh()
    ys = np.linspace(0.0, -1.0, 9)
    for i in range(2):
        a = i * np.pi + ys * 2.0 * np.pi
        path = np.column_stack([0.06 * np.cos(a), ys, 0.06 * np.sin(a)])
        silk.add(geom.tube(path, 0.1, sides=5, smooth=70, part=0, attr="t"))
    # the caps reach past the path's ends: fit the height to exactly one unit
    silk.fit_box((-0.16, -1.0, -0.16), (0.16, 0.0, 0.16), axes=(1,))
    silk.set(mat="silk")
    mats = {"silk": dict(Ka=(0.35, 0.35, 0.35), Kd=(1, 1, 1), Ks=(0.4, 0.4, 0.45), Ns=24)}

    def color(surf, bumped):
        P = surf.P
        k = len(P)
        shimmer = 0.5 + 0.5 * np.sin(P[:, 1] * 40.0 + P[:, 0] * 9.0)
        c = mix(np.tile(rgb("#d8d0e4"), (k, 1)), np.tile(rgb("#f0e8d4"), (k, 1)), shimmer)
        return c * (0.9 + 0.2 * painter_light(bumped))[:, None]

    return ModelSpec("spiderThread", silk, mats, Painter(color, None), size=256, pad=3, seed=seed)


BUILDERS = {
    "spider_web": spider_web,
    "spiderThread": spider_thread,
    "mushroom_single": mushroom_single,
    "mushroom_cluster": mushroom_cluster,
    "boulder": boulder,
    "spikes": spikes,
}
