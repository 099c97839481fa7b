"""Things the ninja collects: sugar, ant eggs, candy corn, shiny gems, the hat that
ends the game, and the two upgrade emblems."""

import math

import numpy as np

import geom
from modelspec import ModelSpec
import noise
from paint import Painter, edge_factor, mix, painter_light, ramp, rgb, smoothstep


def fit_radius(mesh, radius, center=True):
    """Uniform scale (and optionally centring of the bounds) so that no vertex lies
    farther than `radius` from the origin."""
    if center:
        lo, hi = mesh.bounds()
        mesh.translate(-(lo + hi) / 2)
    r = np.linalg.norm(mesh.V, axis=1).max()
    mesh.V *= radius / r
    return mesh


def loft(sections, y, n, pole_bottom=None, pole_top=None, smooth=60, part=0):
    """Surface through closed cross-sections: sections(i) gives n points (x, z) at
    height y[i]; optional poles close the bottom and the top."""
    V, rows = [], []
    if pole_bottom is not None:
        rows.append([len(V)])
        V.append(pole_bottom)
    for i, yy in enumerate(y):
        pts = sections(i)
        row = []
        for (x, z) in pts:
            row.append(len(V))
            V.append((x, yy, z))
        rows.append(row)
    if pole_top is not None:
        rows.append([len(V)])
        V.append(pole_top)
    F = []
    for i in range(len(rows) - 1):
        r0, r1 = rows[i], rows[i + 1]
        for k in range(n):
            k1 = (k + 1) % n
            if len(r0) == 1:
                F.append((r0[0], r1[k1], r1[k]))
            elif len(r1) == 1:
                F.append((r0[k], r0[k1], r1[0]))
            else:
                F.append((r0[k], r0[k1], r1[k1]))
                F.append((r0[k], r1[k1], r1[k]))
    m = geom.Mesh(np.array(V), np.array(F), smooth=smooth, part=part)
    if m.signed_volume() < 0:
        m.flip()
    return m


# --------------------------------------------------------------------------
# sugar


def sugar_pile():
    seed = 321
    rng = np.random.default_rng(seed)
    out = geom.Mesh()
    cubes = [(-1.15, -1.45, 0.25, 1.05), (0.05, -1.5, -0.35, 1.0), (1.2, -1.48, 0.2, 0.95), (0.3, -1.5, 0.85, 0.8),
             (-0.55, -0.5, 0.0, 0.95), (0.65, -0.52, -0.05, 0.92), (0.05, 0.45, 0.05, 0.85),
             (-1.75, -1.75, 0.9, 0.42), (1.8, -1.78, -0.6, 0.38), (-0.9, -1.8, 1.2, 0.35), (1.45, -0.95, 0.9, 0.36)]
    for i, (x, y, z, s) in enumerate(cubes):
        c = geom.box((s / 2, s / 2, s / 2), div=(1, 1, 1), round_r=0.09 * s, round_steps=1, smooth=35, part=i)
        c.rotate(geom.rot_y(rng.uniform(-35, 35)) @ geom.rot_x(rng.uniform(-12, 12)) @ geom.rot_z(rng.uniform(-15, 15)))
        c.translate((x, y, z))
        out.add(c)
    fit_radius(out, 2.0)
    out.set(mat="sugar")
    mats = {"sugar": dict(Ka=(0.3, 0.3, 0.3), Kd=(1, 1, 1), Ks=(0.6, 0.6, 0.65), Ns=40)}

    def color(surf, bumped):
        P, N = surf.P, surf.N
        k = len(P)
        tint = noise.cell_random(surf.part.astype(np.int64) * 7 + 3, seed)
        base = mix(np.tile(rgb("#b8b2ae"), (k, 1)), np.tile(rgb("#c8bcb0"), (k, 1)), tint)
        inner = noise.fbm(P * 3.0, seed + 1, 3)
        base = base * (0.9 + 0.14 * inner)[:, None]
        base = mix(base, rgb("#9a92b8"), 0.25 * smoothstep(0.2, -0.6, N[:, 1]))
        f1, _, cid = noise.voronoi(P * 6.0, seed + 2)
        sparkle = smoothstep(0.12, 0.02, f1) * (noise.cell_random(cid, seed) > 0.7)
        base = mix(base, rgb("#ffffff"), 0.8 * sparkle)
        base = mix(base, rgb("#f4f0ec"), 0.6 * edge_factor(N))
        return base * (0.85 + 0.25 * painter_light(bumped))[:, None]

    return ModelSpec("SugarPile", out, mats, Painter(color, None), size=256, seed=seed)


# --------------------------------------------------------------------------
# ant egg


def ant_egg():
    seed = 322
    ys = -np.cos(np.linspace(0.0, np.pi, 15))
    prof = []
    for y in ys:
        r = math.sqrt(max(1 - y * y, 0.0)) * (1.0 - 0.08 * y)
        prof.append((r * 1.0, y * 2.0))
    prof[0] = (0.0, -2.0)
    prof[-1] = (0.0, 2.0)
    m = geom.lathe(prof, 20, smooth=80, attr="h")
    # a slight bean curve
    m.deform(lambda V: V + np.column_stack([0.18 * (1 - (V[:, 1] / 2.0) ** 2), np.zeros(len(V)), np.zeros(len(V))]))
    m.rotate(geom.rot_z(-24) @ geom.rot_x(8))
    fit_radius(m, 2.0)
    m.set(mat="egg")
    mats = {"egg": dict(Ka=(0.3, 0.3, 0.3), Kd=(1, 1, 1), Ks=(0.45, 0.42, 0.4), Ns=28)}

    def color(surf, bumped):
        P, N = surf.P, surf.N
        h = surf.attrs["h"]
        base = ramp(h, [(0.0, "#8a7a72"), (0.35, "#c4bab0"), (0.75, "#dcd6cc"), (1.0, "#e6e2da")])
        # light glows through the thin shell at the rim
        rim = 1.0 - np.abs(N[:, 2])
        base = mix(base, rgb("#f0dcc0"), 0.35 * smoothstep(0.5, 0.95, rim))
        cloud = noise.fbm(P * 1.2, seed, 3)
        base = base * (0.93 + 0.1 * cloud)[:, None]
        base = mix(base, rgb("#c4a8c8"), 0.18 * smoothstep(0.0, 0.6, noise.fbm(P * 0.7, seed + 1, 2)))
        # faint veins seen through the shell
        vein = smoothstep(0.96, 1.0, noise.ridged(P * 0.9, seed + 2, 3))
        base = mix(base, rgb("#b88a70"), 0.3 * vein)
        return base * (0.85 + 0.25 * painter_light(bumped))[:, None]

    return ModelSpec("antEgg", m, mats, Painter(color, None), size=256, seed=seed)


# --------------------------------------------------------------------------
# candy corn


def candy_corn():
    seed = 323
    n = 20
    ts = np.concatenate([[0.0, 0.02, 0.06, 0.12], np.linspace(0.2, 0.9, 9), [0.95, 0.985]])

    def section(i):
        t = ts[i]
        round_bottom = math.sqrt(1 - (1 - min(t / 0.12, 1.0)) ** 2) * 0.25 + 0.75
        tip = (1 - t) ** 0.9
        a = (1.55 * tip + 0.1) * round_bottom
        b = (0.78 * (1 - t) ** 0.75 + 0.08) * round_bottom
        pts = []
        for k in range(n):
            ang = 2 * math.pi * k / n
            c, s = math.cos(ang), math.sin(ang)
            p = 2.6
            x = a * np.sign(c) * abs(c) ** (2 / p)
            z = b * np.sign(s) * abs(s) ** (2 / p)
            pts.append((x, z))
        return pts

    y = -2.0 + 4.0 * ts
    m = loft(section, y, n, pole_bottom=(0.0, -2.04, 0.0), pole_top=(0.0, 2.0, 0.0), smooth=70)
    m.set_attr("h", np.clip((m.V[:, 1] + 2.0) / 4.0, 0, 1))
    m.rotate(geom.rot_z(-12))
    fit_radius(m, 2.0)
    m.set(mat="candy")
    mats = {"candy": dict(Ka=(0.3, 0.3, 0.3), Kd=(1, 1, 1), Ks=(0.3, 0.28, 0.25), Ns=18)}

    def color(surf, bumped):
        P = surf.P
        h = surf.attrs["h"] + 0.015 * noise.fbm(P * 2.0, seed, 2)
        col = ramp(h, [(0.0, "#e09a18"), (0.36, "#e8b42a"), (0.42, "#e0661a"), (0.7, "#d85a16"),
                       (0.76, "#efe6d2"), (1.0, "#f6f0e2")])
        sug = noise.fbm(P * 5.0, seed + 1, 2)
        col = col * (0.92 + 0.12 * sug)[:, None]
        return col * (0.82 + 0.3 * painter_light(bumped))[:, None]

    return ModelSpec("candy_corn", m, mats, Painter(color, None), size=256, seed=seed)


# --------------------------------------------------------------------------
# shiny gem


def shiny_thing():
    seed = 324
    prof = [(0.0, -0.78), (0.55, -0.38), (1.0, -0.04), (1.0, 0.06), (0.72, 0.34), (0.5, 0.44), (0.0, 0.44)]
    m = geom.lathe(prof, 8, smooth=0, phase=math.pi / 8)
    m.rotate(geom.rot_x(14) @ geom.rot_z(10))
    fit_radius(m, 1.0)
    m.set(mat="gem")
    mats = {"gem": dict(Ka=(0.3, 0.3, 0.3), Kd=(1, 1, 1), Ks=(1.0, 1.0, 1.0), Ns=60)}

    def color(surf, bumped):
        P, N = surf.P, surf.N
        k = len(P)
        r = noise.cell_random(surf.face.astype(np.int64), seed)
        base = mix(np.tile(rgb("#062a5a"), (k, 1)), np.tile(rgb("#1a78c0"), (k, 1)), r)
        base = mix(base, rgb("#58c8f0"), 0.45 * smoothstep(0.5, 0.95, N[:, 1]) * r)
        inner = noise.fbm(P * 3.0, seed + 1, 2)
        base = base * (0.9 + 0.2 * inner)[:, None]
        return base * (0.9 + 0.2 * painter_light(bumped))[:, None]

    return ModelSpec("shinyThing", m, mats, Painter(color, None), size=256, seed=seed)


# --------------------------------------------------------------------------
# the hat


def quarrow():
    seed = 325
    # conical straw hat: hollow-looking underside, rolled rim, a knob on top
    prof = [(0.0, -0.38), (1.2, -0.55), (2.12, -0.76), (2.25, -0.7), (2.2, -0.6), (1.5, -0.2), (0.8, 0.34),
            (0.3, 0.78), (0.2, 0.86), (0.25, 0.93), (0.2, 1.06), (0.0, 1.1)]
    hat = geom.lathe(prof, 32, smooth=35, part=0, attr="h")
    out = hat
    # cord band around the crown
    ang = np.linspace(0, 2 * np.pi, 33)
    band_r, band_y = 1.28, 0.06
    path = np.column_stack([np.sin(ang) * band_r, np.full(33, band_y), np.cos(ang) * band_r])
    band = geom.tube(path[:-1].tolist() + [path[0].tolist()], 0.1, sides=6, cap0=False, cap1=False, part=1,
                     attr="t")
    out.add(band)
    # tassel cords hanging off the back
    for i, dx in enumerate((-0.12, 0.12)):
        p = np.array([[band_r * math.sin(2.6) + dx, band_y, band_r * math.cos(2.6)],
                      [1.55 * math.sin(2.6) + dx * 2, -0.55, 1.55 * math.cos(2.6)],
                      [1.75 * math.sin(2.62) + dx * 3, -1.05, 1.75 * math.cos(2.62)]])
        out.add(geom.tube(p, [0.07, 0.06, 0.1], sides=5, part=1, attr="t"))
    # a feather tucked into the band
    feather = [(0.0, 0.0), (0.12, 0.1), (0.2, 0.45), (0.18, 0.85), (0.08, 1.15), (0.0, 1.25), (-0.07, 1.1),
               (-0.14, 0.8), (-0.15, 0.4), (-0.08, 0.1)]
    f = geom.extrude(feather, -0.03, 0.03, part=2, bevel=0.01)
    f.scale((1.2, 1.2, 1.0))
    f.rotate(geom.rot_z(-38))
    f.rotate(geom.rot_y(-15))
    f.translate((band_r * math.sin(1.0) * 0.95, band_y - 0.05, band_r * math.cos(1.0) * 0.95))
    out.add(f)
    out.translate((0, -(out.bounds()[0][1] + out.bounds()[1][1]) / 2, 0))
    s = 2.25 / np.abs(out.V[:, [0, 2]]).max()
    out.V *= s
    out.set(mat="hat")
    mats = {"hat": dict(Ka=(0.25, 0.25, 0.25), Kd=(1, 1, 1), Ks=(0.15, 0.12, 0.1), Ns=16)}

    def color(surf, bumped):
        P, N = surf.P, surf.N
        k = len(P)
        ang = np.arctan2(P[:, 0], P[:, 2])
        r = np.hypot(P[:, 0], P[:, 2])
        weave_a = np.sin(ang * 42)
        weave_r = np.sin(r * 26)
        over = (weave_a * weave_r > 0).astype(np.float64)
        strip = np.abs(np.sin(ang * 42))
        straw = mix(np.tile(rgb("#5a3412"), (k, 1)), np.tile(rgb("#c08a3a"), (k, 1)), 0.25 + 0.75 * over)
        rings = 0.5 + 0.5 * np.sin(r * 9.0)
        straw = straw * (0.7 + 0.3 * strip)[:, None] * (0.85 + 0.15 * rings)[:, None]
        straw = straw * (0.9 + 0.15 * noise.fbm(P * 3.0, seed, 2))[:, None]
        under = smoothstep(0.1, -0.5, N[:, 1]) * smoothstep(2.1, 1.9, r)
        straw = mix(straw, straw * rgb("#6a4a5a"), 0.55 * under)
        rim = smoothstep(1.95, 2.2, r)
        straw = mix(straw, rgb("#f0c870"), 0.4 * rim)
        t = surf.attrs.get("t", np.zeros(k))
        cord = mix(np.tile(rgb("#7a1218"), (k, 1)), np.tile(rgb("#c02a2a"), (k, 1)),
                   0.5 + 0.5 * np.sin(t * 120 + ang * 3))
        tassel = smoothstep(0.7, 0.95, t) * (surf.part == 1) * (np.abs(P[:, 1]) > 0.5 * s)
        cord = mix(cord, rgb("#e0b040"), tassel)
        fy = P[:, 1]
        feather = ramp(np.clip((fy - band_y * s) / (1.3 * s), 0, 1),
                       [(0.0, "#4a2a6a"), (0.5, "#7a4aa8"), (0.85, "#b890e0"), (1.0, "#f0e8ff")])
        col = np.where((surf.part == 0)[:, None], straw, np.where((surf.part == 1)[:, None], cord, feather))
        return col * (0.82 + 0.3 * painter_light(bumped))[:, None]

    return ModelSpec("Quarrow", out, mats, Painter(color, None), size=256, seed=seed)


# --------------------------------------------------------------------------
# upgrade emblems


def _coin(radius, half_t, part):
    prof = [(0.0, -half_t), (radius * 0.9, -half_t), (radius, -half_t * 0.45), (radius, half_t * 0.45),
            (radius * 0.9, half_t), (0.0, half_t)]
    c = geom.lathe(prof, 28, smooth=40, part=part)
    c.rotate(geom.rot_x(90))
    return c


def jump_upgrade():
    seed = 326
    out = geom.Mesh()
    out.add(_coin(0.5, 0.08, part=0))
    # two up-pointing chevrons on each face: the double jump
    chev = [(-0.26, -0.06), (0.0, 0.16), (0.26, -0.06), (0.26, -0.17), (0.0, 0.05), (-0.26, -0.17)]
    for dy in (-0.13, 0.13):
        for side in (1, -1):
            c = geom.extrude(chev, 0.0, 0.05, part=1, bevel=0.012)
            c.translate((0, dy, 0))
            if side > 0:
                c.translate((0, 0, 0.075))
            else:
                c.transform(geom.rot_y(180))
                c.translate((0, 0, -0.075))
            out.add(c)
    # wings: three feather lobes each side
    wing = [(0.0, -0.1), (0.25, -0.02), (0.46, 0.12), (0.5, 0.24), (0.42, 0.22), (0.44, 0.34), (0.34, 0.3),
            (0.32, 0.42), (0.22, 0.33), (0.14, 0.4), (0.06, 0.22), (0.0, 0.12)]
    for side in (1, -1):
        w = geom.extrude(wing, -0.035, 0.035, part=2, bevel=0.012)
        w.translate((0.38, -0.05, 0))
        if side < 0:
            w.transform(np.diag([-1.0, 1.0, 1.0]))
        out.add(w)
    fit_radius(out, 0.98)
    mats = {"gold": dict(Ka=(0.3, 0.25, 0.15), Kd=(1, 1, 1), Ks=(0.9, 0.75, 0.45), Ns=40),
            "feather": dict(Ka=(0.3, 0.3, 0.3), Kd=(1, 1, 1), Ks=(0.15, 0.15, 0.2), Ns=12)}
    out.mat[:] = np.where(out.part == 2, "feather", "gold")

    def color(surf, bumped):
        P, N = surf.P, surf.N
        k = len(P)
        r = np.hypot(P[:, 0], P[:, 1])
        gold = mix(np.tile(rgb("#8a5a12"), (k, 1)), np.tile(rgb("#e0b040"), (k, 1)), 0.5 + 0.5 * np.sin(r * 30))
        gold = mix(gold, rgb("#f0d070"), 0.5 * smoothstep(0.4, 0.48, r))
        gold = gold * (0.85 + 0.2 * noise.fbm(P * 8.0, seed, 2))[:, None]
        chev = mix(np.tile(rgb("#f4dc90"), (k, 1)), np.tile(rgb("#fff4c8"), (k, 1)), smoothstep(-0.1, 0.2, P[:, 1]))
        feather = ramp(np.clip((np.abs(P[:, 0]) - 0.35) / 0.6, 0, 1),
                       [(0.0, "#c8b8d8"), (0.5, "#ece4f4"), (1.0, "#ffffff")])
        vane = 0.5 + 0.5 * np.sin((np.abs(P[:, 0]) * 2.0 - P[:, 1]) * 60)
        feather = feather * (0.88 + 0.12 * vane)[:, None]
        feather = mix(feather, rgb("#e0b040"), 0.6 * edge_factor(N) * (np.abs(N[:, 2]) < 0.9))
        col = np.where((surf.part == 0)[:, None], gold, np.where((surf.part == 1)[:, None], chev, feather))
        return col * (0.85 + 0.25 * painter_light(bumped))[:, None]

    return ModelSpec("jumpUpgrade", out, mats, Painter(color, None), size=256, seed=seed)


def _sword(part0):
    """A short katana along +y: blade, round guard, wrapped grip and pommel."""
    out = geom.Mesh()
    blade = [(-0.045, 0.0), (0.04, 0.0), (0.05, 0.6), (0.055, 1.0), (0.05, 1.12), (0.0, 1.25), (-0.03, 1.15),
             (-0.04, 0.6)]
    b = geom.extrude(blade, -0.018, 0.018, part=part0, bevel=0.008)
    # a gentle curve of the blade
    b.deform(lambda V: V + np.column_stack([0.05 * (V[:, 1] / 1.25) ** 2, np.zeros(len(V)), np.zeros(len(V))]))
    out.add(b)
    guard = geom.lathe([(0.0, -0.025), (0.13, -0.025), (0.15, 0.0), (0.13, 0.025), (0.0, 0.025)], 14, smooth=40,
                       part=part0 + 1)
    guard.scale((1.0, 1.0, 0.7))
    out.add(guard)
    grip = geom.box((0.045, 0.21, 0.032), div=(1, 4, 1), round_r=0.02, round_steps=1, smooth=50, part=part0 + 2)
    grip.translate((0, -0.235, 0))
    out.add(grip)
    pommel = geom.box((0.052, 0.03, 0.038), div=(1, 1, 1), round_r=0.02, round_steps=1, smooth=50, part=part0 + 1)
    pommel.translate((0, -0.46, 0))
    out.add(pommel)
    out.set_attr("sy", 0.0)
    out.attrs["sy"] = out.V[:, 1].copy()
    out.set_attr("sx", 0.0)
    out.attrs["sx"] = out.V[:, 0].copy()
    return out


def crossed_swords():
    seed = 327
    a = _sword(0)
    a.translate((0, -0.35, 0))
    a.rotate(geom.rot_z(-42))
    a.translate((0, 0, 0.045))
    b = _sword(3)
    b.translate((0, -0.35, 0))
    b.rotate(geom.rot_z(42))
    b.translate((0, 0, -0.045))
    out = geom.merge(a, b)
    fit_radius(out, 0.98)
    mats = {"steel": dict(Ka=(0.3, 0.3, 0.3), Kd=(1, 1, 1), Ks=(0.9, 0.9, 1.0), Ns=60),
            "fittings": dict(Ka=(0.25, 0.25, 0.25), Kd=(1, 1, 1), Ks=(0.4, 0.35, 0.25), Ns=24)}
    out.mat[:] = np.where(out.part % 3 == 0, "steel", "fittings")

    def color(surf, bumped):
        P, N = surf.P, surf.N
        k = len(P)
        kind = surf.part % 3
        sx, sy = surf.attrs["sx"], surf.attrs["sy"]
        # blade: dark spine, wavy pale temper line, bright edge
        edge_d = sx + 0.04 - 0.012 * np.sin(sy * 40)
        blade = mix(np.tile(rgb("#5a6476"), (k, 1)), np.tile(rgb("#b8c4d4"), (k, 1)), smoothstep(0.02, 0.05, edge_d))
        blade = mix(blade, rgb("#eef4ff"), smoothstep(0.065, 0.085, edge_d))
        blade = blade * (0.9 + 0.15 * noise.fbm(P * 10.0, seed, 2))[:, None]
        gold = mix(np.tile(rgb("#7a4a12"), (k, 1)), np.tile(rgb("#e0b040"), (k, 1)), 0.5 + 0.5 * N[:, 1])
        wrap = (np.sin((sy * 38 + sx * 38)) * np.sin((sy * 38 - sx * 38)) > 0)
        grip = np.where(wrap[:, None], rgb("#4a2460"), rgb("#e8dcc0"))
        col = np.where((kind == 0)[:, None], blade, np.where((kind == 1)[:, None], gold, grip))
        return col * (0.85 + 0.25 * painter_light(bumped))[:, None]

    return ModelSpec("CrossedSwords", out, mats, Painter(color, None), size=256, pad=3, seed=seed)


BUILDERS = {
    "SugarPile": sugar_pile,
    "antEgg": ant_egg,
    "candy_corn": candy_corn,
    "shinyThing": shiny_thing,
    "Quarrow": quarrow,
    "jumpUpgrade": jump_upgrade,
    "CrossedSwords": crossed_swords,
}
