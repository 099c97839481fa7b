"""Platforms: bark-covered wood slabs with moss, the wood block, the rock shelf and
the brittle amber crust that a boulder smashes. All of them are normal-mapped, so
their layouts keep every face on its own piece of the texture."""

import numpy as np

import geom
from modelspec import ModelSpec
import noise
from paint import Painter, edge_factor, mix, painter_light, rgb, smoothstep

# --------------------------------------------------------------------------
# wood


def _moss_clumps(rng, half, top, count, part):
    """Low domes of moss sitting on the top face, some leaning over the edges."""
    out = geom.Mesh()
    for i in range(count):
        rx = rng.uniform(1.2, 2.8) * min(1.0, half[0] / 6.0 + 0.35)
        rz = rng.uniform(0.9, 1.8)
        ry = rng.uniform(0.5, 0.9)
        x = rng.uniform(-half[0] + rx * 0.6, half[0] - rx * 0.6)
        z = rng.choice([-1, 1]) * rng.uniform(half[2] * 0.35, half[2] - rz * 0.35)
        prof = [(0.0, -0.35), (1.0, -0.35), (1.0, 0.0), (0.92, 0.45), (0.7, 0.78), (0.38, 0.95), (0.0, 1.0)]
        dome = geom.lathe(prof, segments=10, smooth=70, part=part)
        dome.scale((rx, ry, rz))
        dome.translate((x, top - 0.05, z))
        out.add(dome)
    return out


def _wood_mesh(half, round_r, div, seed, axis, clumps):
    """Rounded wood block with bark faces bulging a little and moss domes on top."""
    rng = np.random.default_rng(seed)
    body = geom.box(half, div=div, round_r=round_r, round_steps=2, smooth=50, part=0)
    n = geom.vertex_normals(body)
    P = body.V
    # bark bulges on the faces that run along the grain; the top stays walkable
    amp = 0.22 * noise.fbm(P * 0.18, seed, 3)
    along = np.abs(n[:, axis]) < 0.6
    flat_top = n[:, 1] > 0.7
    w = np.where(along & ~flat_top, 1.0, 0.25)
    body.V = P + n * (amp * w)[:, None]
    top = body.V[:, 1].max()
    mesh = body
    if clumps:
        mesh.add(_moss_clumps(rng, half, top, clumps, part=1))
    return mesh


def _wood_painter(seed, axis, ring_center=(0.0, 0.0), ring_scale=1.0, top_y=4.5, moss_depth=2.0):
    """Bark along `axis` (0 = x, 2 = z), end grain on the faces across it, moss on top."""
    other = [a for a in (0, 1, 2) if a != axis]

    def masks(P, surf):
        N = surf.N
        end = smoothstep(0.55, 0.8, np.abs(N[:, axis]))
        clump = (surf.part == 1).astype(np.float64)
        # moss covers the top and creeps down the sides in fingers
        drip = noise.fbm(P * np.array([0.45, 0.1, 0.45]), seed + 5, 4)
        down = top_y - P[:, 1]
        reach = moss_depth * (0.45 + 1.1 * np.clip(drip, -0.4, 0.6))
        moss = smoothstep(0.25, -0.25, down - reach)
        patches = smoothstep(-0.4, 0.3, noise.fbm(P * 0.25, seed + 9, 3) + 0.45)
        moss = np.maximum(moss, smoothstep(0.3, 0.8, N[:, 1]) * patches)
        moss = np.maximum(moss, clump)
        return end, moss

    def bark_h(P):
        q = P.copy()
        q[:, axis] *= 0.09
        q[:, other[0]] *= 0.75
        q[:, other[1]] *= 0.75
        q = noise.warp(q, seed + 1, 0.35, 1.0)
        g = noise.ridged(q, seed + 2, 3)
        return g ** 3

    def rings(P):
        a, b = other
        r = np.hypot(P[:, a] - ring_center[0], P[:, b] - ring_center[1]) * ring_scale
        r = r + 0.35 * noise.fbm(P * 0.4, seed + 3, 3) + 1.1 * noise.fbm(P * 0.07, seed + 12, 2)
        return r

    def _checks(P):
        # radial drying cracks running in from the rim of the end grain
        a, b = other
        dx, dy = P[:, a] - ring_center[0], P[:, b] - ring_center[1]
        th = np.arctan2(dy, dx) / (2 * np.pi) * 7.0 + 0.25 * noise.fbm(P * 0.3, seed + 4, 2)
        line = np.abs(th - np.round(th))
        r = np.hypot(dx, dy) * ring_scale
        which = np.column_stack([np.round(th) * 3.1, np.zeros(len(th)), np.zeros(len(th))])
        reach = 1.6 + 2.5 * (0.5 + 0.5 * noise.value(which, seed + 6))
        return smoothstep(0.035, 0.008, line) * smoothstep(reach, reach + 0.8, r)

    def moss_h(P):
        return 0.5 + 0.5 * noise.fbm(P * 2.2, seed + 7, 4)

    def height(P, surf):
        end, moss = masks(P, surf)
        hb = bark_h(P) * 0.22
        r = rings(P)
        he = 0.025 * np.sin(r * 2 * np.pi * 1.1) / max(ring_scale, 0.5) * 0.5 - 0.12 * _checks(P)
        hm = 0.16 * moss_h(P) + 0.08 * moss
        base = hb * (1 - end) + he * end
        return base * (1 - moss) + hm * moss

    def color(surf, bumped):
        P, N = surf.P, surf.N
        end, moss = masks(P, surf)
        k = len(P)
        # bark: dark furrows, warm ridges with a lighter rim
        g = bark_h(P)
        bark = mix(np.tile(rgb("#1d120f"), (k, 1)), np.tile(rgb("#5a3c2f"), (k, 1)), g)
        tint = smoothstep(-0.3, 0.5, noise.fbm(P * 0.08, seed + 11, 2))
        bark = mix(bark, bark * rgb("#c8a0d0") * 1.15, 0.35 * tint)
        bark = mix(bark, rgb("#8a634a"), 0.5 * smoothstep(0.75, 0.95, g) * (0.5 + 0.5 * tint))
        # end grain: pale wood with darker rings, heartwood, radial checks
        r = rings(P)
        ring = 0.5 + 0.5 * np.sin(r * 2 * np.pi * 1.1)
        wood = mix(np.tile(rgb("#94704e"), (k, 1)), np.tile(rgb("#6a462c"), (k, 1)), smoothstep(0.3, 0.9, ring))
        wood = wood * (0.9 + 0.18 * noise.fbm(P * np.array([1.5, 1.5, 1.5]), seed + 14, 3))[:, None]
        heart = smoothstep(4.0, 1.0, r / max(ring_scale, 1e-6))
        wood = mix(wood, rgb("#5a3422"), 0.45 * heart)
        # weathered, greyed wood towards the rim of the cut
        weather = smoothstep(-0.1, 0.5, noise.fbm(P * 0.12, seed + 8, 3)) * 0.5 + 0.5 * edge_factor(N)
        wood = mix(wood, rgb("#6a5a62"), 0.35 * np.clip(weather, 0, 1))
        check = _checks(P)
        wood = mix(wood, rgb("#2a1810"), 0.85 * check)
        # outermost band of the end face is bark seen in section
        surfc = mix(bark, wood, end)
        # moss: olive with bright lime tips, dark roots, a few violet blossoms
        mh = moss_h(P)
        mcol = mix(np.tile(rgb("#121c0c"), (k, 1)), np.tile(rgb("#2a4220"), (k, 1)), smoothstep(0.25, 0.7, mh))
        mcol = mix(mcol, rgb("#557a32"), smoothstep(0.72, 0.95, mh))
        hue = smoothstep(-0.4, 0.4, noise.fbm(P * 0.15, seed + 15, 2))
        mcol = mix(mcol, mcol * rgb("#ffe0a0") * 1.15, 0.5 * hue)
        blossom = smoothstep(0.8, 0.88, noise.fbm(P * 1.7, seed + 13, 2) * 0.5 + 0.5)
        mcol = mix(mcol, rgb("#9a5aae"), blossom * 0.9)
        mb = smoothstep(0.0, 0.35, moss)
        col = mix(surfc, mcol, mb)
        # dark shadow line where moss meets bark
        col = col * (1 - 0.45 * (smoothstep(0.0, 0.2, moss) - smoothstep(0.2, 0.5, moss)))[:, None]
        # painted edge highlight and a little modelled light
        col = mix(col, col * 1.45 + 0.04, 0.6 * edge_factor(N) * (1 - mb))
        col = col * (0.8 + 0.35 * painter_light(bumped))[:, None]
        return col

    return Painter(color, height)


def flat_platform_len3():
    seed = 301
    half = (13.5, 4.5, 4.5)
    mesh = _wood_mesh(half, 0.9, (18, 4, 4), seed, axis=0, clumps=7)
    mesh.fit_box((-13.5, -4.5, -4.5), (13.5, 4.5, 4.5))
    top = mesh.V[mesh.F[mesh.part == 0]].reshape(-1, 3)[:, 1].max()
    mats = {"bark": dict(Ka=(0.2, 0.2, 0.2), Kd=(1, 1, 1), Ks=(0.05, 0.05, 0.05), Ns=8)}
    mesh.set(mat="bark")
    return ModelSpec("flatPlatformLen3", mesh, mats, _wood_painter(seed, 0, top_y=top), size=512,
                     normal_map="PlatformLen3Normals.png", weights={"+z": 1.4, "-z": 0.5, "-y": 0.4}, seed=seed)


def small_platform():
    seed = 302
    half = (6.75, 4.5, 4.5)
    mesh = _wood_mesh(half, 0.9, (9, 4, 4), seed, axis=0, clumps=4)
    mesh.fit_box((-6.75, -4.5, -4.5), (6.75, 4.5, 4.5))
    top = mesh.V[mesh.F[mesh.part == 0]].reshape(-1, 3)[:, 1].max()
    mats = {"bark": dict(Ka=(0.2, 0.2, 0.2), Kd=(1, 1, 1), Ks=(0.05, 0.05, 0.05), Ns=8)}
    mesh.set(mat="bark")
    return ModelSpec("SmallPlatform", mesh, mats, _wood_painter(seed, 0, top_y=top), size=256,
                     normal_map="smallPlatformNormals.png", weights={"+z": 1.4, "-z": 0.5, "-y": 0.4}, seed=seed)


def platform_3x3():
    seed = 303
    half = (13.5, 13.5, 9.0)
    mesh = _wood_mesh(half, 1.4, (12, 12, 6), seed, axis=2, clumps=8)
    mesh.fit_box((-13.5, -13.5, -9.0), (13.5, 13.5, 9.0))
    top = mesh.V[mesh.F[mesh.part == 0]].reshape(-1, 3)[:, 1].max()
    mats = {"wood": dict(Ka=(0.2, 0.2, 0.2), Kd=(1, 1, 1), Ks=(0.05, 0.05, 0.05), Ns=8)}
    mesh.set(mat="wood")
    painter = _wood_painter(seed, 2, ring_center=(-3.0, -5.0), ring_scale=0.55, top_y=top, moss_depth=3.0)
    return ModelSpec("Platform3x3", mesh, mats, painter, size=512, normal_map="platform3x3Normals.png",
                     weights={"+z": 1.3, "-z": 0.4, "-y": 0.4}, seed=seed)


BUILDERS = {
    "flatPlatformLen3": flat_platform_len3,
    "SmallPlatform": small_platform,
    "Platform3x3": platform_3x3,
}


# --------------------------------------------------------------------------
# rock shelf


def _rock_mesh(seed):
    body = geom.box((20.0, 14.0, 10.0), div=(12, 8, 6), round_r=3.5, round_steps=2, smooth=55, part=0)
    n = geom.vertex_normals(body)
    P = body.V
    big = noise.fbm(P * 0.07, seed, 3)
    small = noise.fbm(P * 0.22, seed + 1, 3)
    # stepped ledges: the surface juts out and back in bands across y
    band = np.sin(P[:, 1] * 0.55 + 0.8 * noise.fbm(P * 0.05, seed + 2, 2)) * 0.5 + 0.5
    ledge = smoothstep(0.35, 0.65, band)
    disp = 1.8 * big + 0.7 * small + 0.9 * ledge
    top = smoothstep(0.55, 0.85, n[:, 1])
    disp = disp * (1 - 0.85 * top)
    V = P + n * disp[:, None]
    # a slightly narrower foot, as if the shelf grew out of the ground
    V[:, 0] *= 1.0 - 0.08 * smoothstep(0.0, -14.0, V[:, 1])
    body.V = V
    return body


def _rock_painter(seed, top_y):
    def cracks(P):
        q = noise.warp(P * 0.075, seed + 3, 0.35)
        f1, f2, _ = noise.voronoi(q, seed + 4)
        show = smoothstep(-0.1, 0.25, noise.fbm(P * 0.06, seed + 13, 2))
        big = smoothstep(0.08, 0.0, f2 - f1) * show
        g1, g2, _ = noise.voronoi(noise.warp(P * 0.22, seed + 14, 0.3), seed + 15)
        fine = smoothstep(0.05, 0.0, g2 - g1) * smoothstep(0.1, 0.4, noise.fbm(P * 0.15, seed + 16, 2))
        return np.maximum(big, 0.6 * fine)

    def strata(P):
        return 0.5 + 0.5 * np.sin(P[:, 1] * 0.9 + 1.8 * noise.fbm(P * 0.06, seed + 5, 3))

    def moss(P, N):
        down = top_y - P[:, 1]
        reach = 2.2 * (0.4 + 1.2 * np.clip(noise.fbm(P * np.array([0.3, 0.1, 0.3]), seed + 6, 3), -0.3, 0.6))
        m = smoothstep(0.3, -0.3, down - reach)
        patch = smoothstep(-0.15, 0.25, noise.fbm(P * 0.12, seed + 7, 3) + 0.1)
        return np.maximum(m, smoothstep(0.6, 0.85, N[:, 1]) * patch)

    def height(P, surf):
        c = cracks(P)
        pits = noise.fbm(P * 1.1, seed + 8, 3)
        m = moss(P, surf.N)
        rock = -0.35 * c + 0.08 * pits + 0.06 * strata(P)
        mh = 0.12 + 0.1 * noise.fbm(P * 2.0, seed + 9, 3)
        return rock * (1 - m) + mh * m

    def color(surf, bumped):
        P, N = surf.P, surf.N
        k = len(P)
        s = strata(P)
        tone = noise.fbm(P * 0.05, seed + 10, 3) * 0.5 + 0.5
        base = mix(np.tile(rgb("#3f343a"), (k, 1)), np.tile(rgb("#6b5c5e"), (k, 1)), tone)
        base = mix(base, rgb("#7a5a44"), 0.55 * smoothstep(0.55, 0.9, s))
        base = mix(base, rgb("#2e2232"), 0.5 * smoothstep(0.35, 0.05, s))
        fine_bands = 0.5 + 0.5 * np.sin(P[:, 1] * 4.1 + 2.0 * noise.fbm(P * 0.1, seed + 17, 2))
        base = base * (0.92 + 0.12 * fine_bands)[:, None]
        speck = noise.fbm(P * 2.5, seed + 11, 2)
        base = base * (0.9 + 0.2 * speck)[:, None]
        # lichen rosettes: pale sage and rusty orange
        f1, f2, cid = noise.voronoi(noise.warp(P * 0.45, seed + 18, 0.3), seed + 12)
        pick = noise.cell_random(cid, seed)
        spot = smoothstep(0.3, 0.18, f1) * (pick > 0.75)
        lichen = np.where((pick > 0.88)[:, None], rgb("#b0662a"), rgb("#8f9670"))
        up = smoothstep(-0.3, 0.6, N[:, 1])
        base = mix(base, lichen, spot * 0.8 * up)
        c = cracks(P)
        base = mix(base, rgb("#160e10"), 0.85 * c)
        # painted rim light along the upper edges of cracks and ledges
        base = mix(base, base * 1.5 + 0.05, 0.5 * edge_factor(N) * 0.6)
        m = moss(P, N)
        mh = noise.fbm(P * 2.0, seed + 9, 3) * 0.5 + 0.5
        mcol = mix(np.tile(rgb("#121c0c"), (k, 1)), np.tile(rgb("#2a4220"), (k, 1)), smoothstep(0.3, 0.7, mh))
        mcol = mix(mcol, rgb("#557a32"), smoothstep(0.72, 0.92, mh))
        mb = smoothstep(0.0, 0.35, m)
        col = mix(base, mcol, mb)
        col = col * (1 - 0.4 * (smoothstep(0.0, 0.2, m) - smoothstep(0.2, 0.5, m)))[:, None]
        col = col * (0.8 + 0.35 * painter_light(bumped))[:, None]
        return col

    return Painter(color, height)


def rock_platform():
    seed = 304
    mesh = _rock_mesh(seed)
    mesh.fit_box((-20.0, -14.0, -10.0), (20.0, 14.0, 10.0))
    mesh.set(mat="rock")
    mats = {"rock": dict(Ka=(0.2, 0.2, 0.2), Kd=(1, 1, 1), Ks=(0.08, 0.08, 0.1), Ns=12)}
    return ModelSpec("rock_platform", mesh, mats, _rock_painter(seed, 14.0), size=512, normal_map="rockNormals.png",
                     weights={"+z": 1.3, "-z": 0.4, "-y": 0.4}, seed=seed)


# --------------------------------------------------------------------------
# brittle amber crust


def _breakable_painter(seed):
    def cracks(P):
        f1, f2, _ = noise.voronoi(noise.warp(P * 0.16, seed + 1, 0.3), seed + 2)
        return f2 - f1

    def height(P, surf):
        d = cracks(P)
        groove = smoothstep(0.07, 0.0, d)
        ripple = noise.fbm(P * 0.8, seed + 3, 3)
        return -0.3 * groove + 0.05 * ripple

    def color(surf, bumped):
        P, N = surf.P, surf.N
        k = len(P)
        t = np.clip((P[:, 1] + 4.5) / 9.0, 0, 1) + 0.25 * noise.fbm(P * 0.12, seed + 4, 3)
        col = np.zeros((k, 3))
        stops = [(0.0, "#4a1c06"), (0.35, "#92460e"), (0.7, "#c87a1e"), (1.0, "#e4ac4c")]
        from paint import ramp
        col = ramp(t, stops)
        # cloudy inclusions and bubbles inside the crust
        cloud = smoothstep(0.1, 0.6, noise.fbm(P * 0.3, seed + 5, 4))
        col = mix(col, rgb("#ffe0a0"), 0.3 * cloud)
        f1, _, cid = noise.voronoi(P * 0.9, seed + 6)
        bub = smoothstep(0.2, 0.12, f1) * (noise.cell_random(cid, seed) > 0.75)
        ring = smoothstep(0.22, 0.16, f1) - bub
        col = mix(col, rgb("#ffefc0"), 0.6 * ring * (noise.cell_random(cid, seed) > 0.75))
        d = cracks(P)
        dark = smoothstep(0.05, 0.0, d)
        glint = smoothstep(0.12, 0.06, d) - dark
        col = mix(col, rgb("#fff0c8"), 0.55 * np.clip(glint, 0, 1))
        col = mix(col, rgb("#2a0e02"), 0.9 * dark)
        # chipped pale edges
        col = mix(col, rgb("#ffe4a8"), 0.55 * edge_factor(N))
        col = col * (0.8 + 0.3 * painter_light(bumped))[:, None]
        return col

    return Painter(color, height)


def breakable():
    seed = 305
    body = geom.box((13.5, 4.5, 4.5), div=(14, 4, 4), round_r=0.6, round_steps=1, smooth=0, part=0)
    rng = np.random.default_rng(seed)
    jitter = rng.normal(0, 0.16, body.V.shape)
    # facets: every vertex nudged, a chip taken out of some corners
    body.V = body.V + jitter
    body.fit_box((-13.5, -4.5, -4.5), (13.5, 4.5, 4.5))
    body.set(mat="crust")
    mats = {"crust": dict(Ka=(0.25, 0.2, 0.15), Kd=(1, 1, 1), Ks=(0.6, 0.5, 0.35), Ns=40)}
    return ModelSpec("breakable", body, mats, _breakable_painter(seed), size=512, normal_map="breakableNormals.png",
                     weights={"+z": 1.4, "-z": 0.5, "-y": 0.4}, seed=seed)


BUILDERS.update({
    "rock_platform": rock_platform,
    "breakable": breakable,
})


# --------------------------------------------------------------------------
# moving leaf


def _leaf_mesh(seed):
    """A broad leaf lying along x, its tip at +x and its stalk at -x: a thin lens between a
    cupped top and a flatter underside that meet in a sharp rim. Its midrib stands about 1.5 above
    the origin, where the collider box ends. The leaf is tipped 30 degrees about its midrib
    towards the camera (+z), so the side view shows its face and not only its edge."""
    nu, nv = 40, 16
    length, width = 12.0, 6.5
    u = np.linspace(-1.0, 1.0, nu + 1)
    v = np.linspace(-1.0, 1.0, nv + 1)
    U, W = np.meshgrid(u, v, indexing="ij")
    # outline: widest a little towards the stalk, pointed at the tip
    outline = (1.0 - U) ** 0.75 * (1.0 + U) ** 0.5
    outline = outline / outline.max()
    half = width * outline
    X = length * U
    Z = half * W
    # a gentle wave along the rim, so the outline is not a perfect lens
    rng = np.random.default_rng(seed)
    phase = rng.uniform(0, 2 * np.pi)
    top = 1.4 + 0.45 * W ** 2 - 0.35 * U ** 2 + 0.12 * np.sin(U * 9.0 + phase) * np.abs(W)
    thick = 0.85 * np.sqrt(np.clip(1.0 - W ** 2, 0.0, 1.0)) * np.clip(1.0 - U ** 2, 0.0, 1.0) ** 0.35
    upper = np.column_stack([X.ravel(), top.ravel(), Z.ravel()])
    lower = np.column_stack([X.ravel(), (top - thick).ravel(), Z.ravel()])
    faces = geom.grid(nu, nv)
    # grid() winds its quads counter-clockwise seen from -y in this lattice: the top is flipped
    blade = geom.Mesh(upper, faces[:, ::-1], smooth=70.0, part=0)
    blade.add(geom.Mesh(lower, faces, smooth=70.0, part=1))
    blade.weld(1e-6)
    blade.drop_degenerate()
    # the stalk curls down from the base
    stalk = geom.tube([(-11.6, 1.05, 0.0), (-12.6, 0.9, 0.0), (-13.3, 0.5, 0.0), (-13.6, 0.0, 0.0)],
                      [0.32, 0.28, 0.24, 0.0], sides=7, part=2, smooth=70)
    blade.add(stalk)
    blade.rotate(geom.rot_x(30.0), center=(0.0, 1.45, 0.0))
    return blade


def _leaf_painter(seed):
    def veins(P):
        x, z = P[:, 0], P[:, 2]
        mid = np.exp(-(z / 0.28) ** 2)
        # side veins leave the midrib towards the tip and the rim
        s = (x - np.abs(z) * 1.1) / 2.4
        side = smoothstep(0.8, 0.97, 0.5 + 0.5 * np.cos(2 * np.pi * s)) * smoothstep(0.2, 1.2, np.abs(z))
        return np.clip(mid + 0.7 * side, 0.0, 1.0)

    def height(P, surf):
        # veins stand as ridges on the underside and sit in grooves on the top
        under = surf.part == 1
        return np.where(under, 0.12, -0.1) * veins(P) + 0.03 * noise.fbm(P * 1.3, seed, 3)

    def color(surf, bumped):
        P, N = surf.P, surf.N
        k = len(P)
        x = P[:, 0]
        grain = noise.fbm(P * np.array([0.5, 0.5, 0.9]), seed + 1, 3)
        # deep dusk green at the stalk, fresher towards the tip, a sun-warm blush here and there
        base = mix(np.tile(rgb("#13260e"), (k, 1)), np.tile(rgb("#36561c"), (k, 1)),
                   smoothstep(-12.0, 10.0, x) * (0.8 + 0.2 * grain))
        warm = smoothstep(0.25, 0.7, noise.fbm(P * 0.22, seed + 2, 2))
        base = mix(base, rgb("#5a5a1c"), 0.3 * warm)
        vein = veins(P)
        base = mix(base, rgb("#6e8240"), 0.5 * vein)
        # a few brown spots where the leaf is going over
        spots = smoothstep(0.62, 0.72, noise.fbm(P * 0.9, seed + 3, 2) * 0.5 + 0.5)
        base = mix(base, rgb("#2e1e10"), 0.7 * spots)
        # the rim dries to a thin ochre edge
        rim = smoothstep(0.55, 0.95, np.abs(N[:, 0]) + np.abs(N[:, 2]))
        base = mix(base, rgb("#4a3616"), 0.5 * rim)
        under = (surf.part == 1)[:, None]
        col = np.where(under, base * 0.7 + rgb("#20281a") * 0.2, base)
        stalk = (surf.part == 2)[:, None]
        col = np.where(stalk, mix(np.tile(rgb("#3a4a1a"), (k, 1)), np.tile(rgb("#6a5a2a"), (k, 1)),
                                  smoothstep(-11.5, -13.5, x)), col)
        return col * (0.7 + 0.25 * painter_light(bumped))[:, None]

    return Painter(color, height)


def moving_leaf():
    seed = 306
    mesh = _leaf_mesh(seed)
    mesh.set(mat="leaf")
    mats = {"leaf": dict(Ka=(0.2, 0.2, 0.2), Kd=(1, 1, 1), Ks=(0.12, 0.14, 0.1), Ns=18)}
    return ModelSpec("movingLeaf", mesh, mats, _leaf_painter(seed), size=256,
                     normal_map="movingLeafNormals.png", weights={"+y": 1.6, "-y": 0.7}, seed=seed)


BUILDERS.update({
    "movingLeaf": moving_leaf,
})
