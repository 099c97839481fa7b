"""Painted forest-floor scenery at insect scale: dusk sky, grass blades as tall as trees,
mushrooms, clover, pebbles, sugar grains, candy corn, spores and haze.

Light follows the play areas' lights: a warm key light from the upper right, an orange fill from the
upper left and a cool back light rimming shapes from below on the left. `forest_scene` paints a
whole backdrop in layers, back to front, each layer hazier than the one in front of it.
"""

import math

import numpy as np

import paint as P

MOODS = {
    # sky top, sky glow, horizon haze, ground, far silhouettes, near blades, mushroom caps, spores
    "dusk": dict(sky=(0.10, 0.055, 0.13), glow=(0.95, 0.50, 0.22), haze=(0.45, 0.24, 0.16),
                 ground=(0.16, 0.11, 0.05), far=(0.30, 0.17, 0.22), blade=(0.20, 0.24, 0.08),
                 caps=[(0.70, 0.30, 0.14), (0.78, 0.55, 0.30), (0.55, 0.20, 0.25)],
                 spore=(1.0, 0.75, 0.40), glow_x=0.62, glow_y=0.58),
    "moss": dict(sky=(0.07, 0.07, 0.12), glow=(0.80, 0.62, 0.28), haze=(0.32, 0.30, 0.16),
                 ground=(0.12, 0.13, 0.05), far=(0.20, 0.22, 0.16), blade=(0.18, 0.28, 0.08),
                 caps=[(0.72, 0.58, 0.35), (0.62, 0.36, 0.18), (0.80, 0.72, 0.55)],
                 spore=(0.85, 1.0, 0.55), glow_x=0.35, glow_y=0.55),
    "violet": dict(sky=(0.06, 0.04, 0.11), glow=(0.62, 0.34, 0.62), haze=(0.28, 0.16, 0.30),
                   ground=(0.11, 0.07, 0.09), far=(0.22, 0.13, 0.26), blade=(0.14, 0.15, 0.10),
                   caps=[(0.50, 0.22, 0.50), (0.40, 0.30, 0.55), (0.65, 0.40, 0.30)],
                   spore=(0.70, 0.75, 1.0), glow_x=0.50, glow_y=0.50),
    "ember": dict(sky=(0.09, 0.035, 0.05), glow=(1.00, 0.34, 0.12), haze=(0.45, 0.16, 0.10),
                  ground=(0.15, 0.08, 0.04), far=(0.32, 0.12, 0.12), blade=(0.22, 0.18, 0.07),
                  caps=[(0.75, 0.22, 0.10), (0.60, 0.42, 0.22), (0.85, 0.55, 0.25)],
                  spore=(1.0, 0.55, 0.25), glow_x=0.72, glow_y=0.62),
}


def sky(c, mood, rng):
    """Dusk sky: dark violet above, a warm glow near the horizon, soft cloud haze."""
    h, w = c.shape[:2]
    m = MOODS[mood]
    gy = m["glow_y"]
    grad = P.vertical_gradient(w, h, [(0.0, m["sky"]), (gy * 0.55, P.mix(m["sky"], m["haze"], 0.5)),
                                      (gy, m["haze"]), (1.0, m["ground"])])
    c[..., :3] = grad
    c[..., 3] = 1.0
    glow = P.radial(w, h, m["glow_x"] * w, gy * h, 0.55 * w, 0.35 * h)
    P.add_light(c, m["glow"], glow, 0.55)
    core = P.radial(w, h, m["glow_x"] * w, gy * h, 0.12 * w, 0.08 * h)
    P.add_light(c, (1.0, 0.85, 0.6), core, 0.35)
    clouds = P.fbm(w, h, rng, base=max(32, w // 6), octaves=5)
    band = P.smoothstep(0.0, 0.25, clouds - 0.45)
    x, y = P.grid(w, h)
    upper = P.smoothstep(gy * h, gy * h * 0.3, y)
    P.paint(c, P.mix(m["haze"], m["glow"], 0.25), band * upper, 0.35)


def _blade_colour_field(h, w, y0, y1, base, tip):
    t = np.clip((np.arange(h, dtype=np.float32)[:, None] - y0) / max(y1 - y0, 1), 0, 1)
    t = np.broadcast_to(t, (h, w))
    return P.mix(tip, base, t)


def grass_blade(c, base, height, lean, width, colour, rng, light=1.0, haze=None, haze_amt=0.0):
    """One tall blade of grass rising from `base` (x, y) with a curved, tapering shape."""
    h, w = c.shape[:2]
    bx, by = base
    tip = (bx + lean * height, by - height)
    ctrl = (bx + lean * height * 0.15 + rng.uniform(-0.05, 0.05) * height, by - height * 0.6)
    pts, spine = P.blade_outline(base, ctrl, tip, width, n=48, taper=0.8)
    m = P.polygon_mask(w, h, pts)
    if not m.any():
        return
    dark = P.mix(colour, (0.0, 0.0, 0.0), 0.35)
    light_col = P.mix(colour, (0.9, 0.8, 0.4), 0.25 * light)
    col = _blade_colour_field(h, w, by - height, by, dark, light_col)
    if haze is not None:
        col = P.mix(col, haze, haze_amt)
    P.paint(c, col, m)
    # Midrib: a narrower lighter blade shifted towards the key light.
    pts2, _ = P.blade_outline((bx + width * 0.12, by), (ctrl[0] + width * 0.1, ctrl[1]),
                              tip, width * 0.22, n=48, taper=1.0)
    rib = P.polygon_mask(w, h, pts2, blur=0.6) * m
    P.add_light(c, (0.20, 0.18, 0.08), rib, 0.6 * light * (1.0 - haze_amt))
    # Warm key-light rim on the right edge, cool back light on the left.
    right = np.clip(m - P.shift(m, 2, 0), 0, 1)
    left = np.clip(m - P.shift(m, -2, 0), 0, 1)
    P.add_light(c, (0.55, 0.35, 0.12), right, 0.7 * light * (1.0 - haze_amt))
    P.add_light(c, (0.12, 0.14, 0.25), left, 0.6 * light * (1.0 - haze_amt))


def mushroom(c, x, ybase, height, cap_w, cap_h, cap_colour, rng, light=1.0, haze=None,
             haze_amt=0.0, lean=0.0, glow=0.0):
    """A mushroom: tapered stem, domed cap with gills, spots and the three-light shading."""
    h, w = c.shape[:2]
    stem_w = cap_w * 0.22
    top_y = ybase - height
    top_x = x + lean * height
    stem = [(x - stem_w * 0.62, ybase), (x + stem_w * 0.62, ybase),
            (top_x + stem_w * 0.42, top_y + cap_h * 0.3),
            (top_x - stem_w * 0.42, top_y + cap_h * 0.3)]
    sm = P.polygon_mask(w, h, stem)
    gx, gy = P.grid(w, h)
    rows = np.clip((gy - top_y) / max(height, 1), 0, 1)
    axis = top_x + (x - top_x) * rows
    half = stem_w * (0.42 + 0.2 * rows)
    u = np.clip((gx - axis) / np.maximum(half, 1) * 0.5 + 0.5, 0, 1)
    stem_base = (0.80, 0.70, 0.55)
    shade = 0.45 + 0.55 * P.smoothstep(0.0, 0.85, u)
    grain = P.fbm(w, h, rng, base=max(3, int(stem_w / 3)), octaves=3)
    stem_col = np.asarray(stem_base, np.float32) * (shade * (0.8 + 0.3 * grain))[..., None]
    stem_col = P.mix(stem_col, (0.25, 0.18, 0.10), P.smoothstep(0.75, 1.0, rows) * 0.5)
    if haze is not None:
        stem_col = P.mix(stem_col, haze, haze_amt)
    P.paint(c, stem_col, sm)
    P.add_light(c, (0.15, 0.18, 0.35), sm * (1 - u) * (1 - P.smoothstep(0.1, 0.3, u)),
                0.8 * (1 - haze_amt))
    # Skirt shadow under the cap.
    P.paint(c, (0.05, 0.03, 0.02), P.ellipse_mask(w, h, top_x, top_y + cap_h * 0.45, stem_w * 0.9,
                                                   cap_h * 0.25, blur=2.0) * sm, 0.6)
    # Cap: upper half-ellipse over a shallow curved underside.
    n = 60
    ang = np.linspace(math.pi, 0.0, n)
    cx, cy = top_x, top_y + cap_h * 0.35
    upper = [(cx + math.cos(a) * cap_w / 2, cy - math.sin(a) * cap_h) for a in ang]
    lower = [(cx + math.cos(a) * cap_w / 2 * 0.96, cy + math.sin(a) * cap_h * 0.22)
             for a in np.linspace(0.0, math.pi, n)]
    cm = P.polygon_mask(w, h, upper + lower)
    # Gills: a darker underside band with fine radial lines.
    gill = P.ellipse_mask(w, h, cx, cy + cap_h * 0.05, cap_w * 0.47, cap_h * 0.2) * cm
    cap_base = np.asarray(cap_colour, np.float32)
    dx = (gx - cx) / (cap_w / 2)
    dy = (gy - (cy - cap_h * 0.6)) / cap_h
    key = np.clip(1.0 - ((dx - 0.45) ** 2 + (dy + 0.1) ** 2) * 1.2, 0, 1)
    fill = np.clip(1.0 - ((dx + 0.6) ** 2 + dy ** 2) * 1.5, 0, 1)
    body = 0.45 + 0.4 * (1 - np.clip(dy, 0, 1))
    cap_col = cap_base * body[..., None]
    cap_col = cap_col + np.asarray((0.55, 0.42, 0.25), np.float32) * (key ** 2)[..., None] * light
    cap_col = cap_col + np.asarray((0.35, 0.14, 0.0), np.float32) * (fill ** 2)[..., None] * light
    tex = P.fbm(w, h, rng, base=max(4, int(cap_w / 6)), octaves=3)
    cap_col = cap_col * (0.85 + 0.3 * tex)[..., None]
    if haze is not None:
        cap_col = P.mix(cap_col, haze, haze_amt)
    P.paint(c, cap_col, cm)
    gill_col = P.mix(cap_base * 0.35, (0.10, 0.06, 0.04), 0.5)
    lines = 0.5 + 0.5 * np.sin(np.arctan2(gy - (cy - cap_h * 0.2), gx - cx) * 60.0)
    gill_col = np.asarray(gill_col, np.float32) * (0.7 + 0.5 * lines)[..., None]
    if haze is not None:
        gill_col = P.mix(gill_col, haze, haze_amt)
    P.paint(c, gill_col, gill, 0.9)
    # Spots.
    for _ in range(int(rng.integers(2, 7))):
        a = rng.uniform(0.15, 0.85) * math.pi
        r = rng.uniform(0.2, 0.85)
        sx = cx + math.cos(a) * cap_w / 2 * r
        sy = cy - math.sin(a) * cap_h * r * 0.9
        rr = cap_w * rng.uniform(0.03, 0.07)
        spot = P.ellipse_mask(w, h, sx, sy, rr, rr * 0.75, blur=0.8) * cm * (1 - gill)
        P.paint(c, P.mix((0.95, 0.88, 0.72), haze if haze is not None else (0.95, 0.88, 0.72),
                         haze_amt), spot, 0.75)
    # Cool rim along the lower left of the cap, warm sheen top right.
    rim = np.clip(cm - P.shift(cm, 2, -2), 0, 1)
    P.add_light(c, (0.25, 0.3, 0.6), rim * (gx < cx), 0.8 * (1 - haze_amt))
    top = np.clip(cm - P.shift(cm, -1, 2), 0, 1)
    P.add_light(c, (0.7, 0.45, 0.2), top * (gx > cx), 0.7 * light * (1 - haze_amt))
    if glow > 0:
        P.add_light(c, cap_colour, P.radial(w, h, cx, cy - cap_h * 0.4, cap_w, cap_h * 2.0), glow)


def clover(c, x, y, size, colour, rng, haze=None, haze_amt=0.0):
    """A three-leaf clover on a thin stalk, seen from the side and slightly above."""
    h, w = c.shape[:2]
    stalk = P.line_mask(w, h, [(x, y), (x + size * 0.1, y - size * 0.8), (x, y - size * 1.6)],
                        max(1.5, size * 0.06))
    col = P.mix(colour, (0, 0, 0), 0.3)
    if haze is not None:
        col = P.mix(col, haze, haze_amt)
    P.paint(c, col, stalk)
    cx, cy = x, y - size * 1.6
    for k, a in enumerate((-0.9, 0.0, 0.9)):
        lx = cx + math.sin(a) * size * 0.45
        ly = cy - math.cos(a) * size * 0.2
        m = P.ellipse_mask(w, h, lx, ly, size * 0.42, size * 0.22)
        shade = 0.8 + 0.25 * k
        lc = np.asarray(colour, np.float32) * shade
        if haze is not None:
            lc = P.mix(lc, haze, haze_amt)
        P.paint(c, lc, m)
        vein = P.line_mask(w, h, [(cx, cy), (lx + math.sin(a) * size * 0.3, ly)], 1.0) * m
        P.add_light(c, (0.2, 0.25, 0.1), vein, 0.5 * (1 - haze_amt))


def pebble(c, x, y, rx, ry, rng, colour=(0.35, 0.30, 0.27), haze=None, haze_amt=0.0):
    """A rounded pebble resting on the ground, lit from the upper right."""
    h, w = c.shape[:2]
    m = P.ellipse_mask(w, h, x, y - ry, rx, ry)
    gx, gy = P.grid(w, h)
    d = ((gx - (x + rx * 0.35)) / rx) ** 2 + ((gy - (y - ry * 1.5)) / ry) ** 2
    shade = np.clip(1.1 - 0.5 * d, 0.3, 1.1)
    col = np.asarray(colour, np.float32) * shade[..., None]
    col = col * (0.85 + 0.3 * P.fbm(w, h, rng, base=max(3, int(rx / 3)), octaves=3))[..., None]
    if haze is not None:
        col = P.mix(col, haze, haze_amt)
    shadow = P.ellipse_mask(w, h, x + rx * 0.1, y, rx * 1.1, ry * 0.3, blur=2.0)
    P.paint(c, (0.02, 0.01, 0.0), shadow, 0.5)
    P.paint(c, col, m)


def sugar_grain(c, x, y, size, rng, haze_amt=0.0):
    """A translucent sugar cube with a bright sparkle."""
    h, w = c.shape[:2]
    a = rng.uniform(0, math.pi / 2)
    pts = [(x + math.cos(a + k * math.pi / 2) * size,
            y + math.sin(a + k * math.pi / 2) * size * 0.8) for k in range(4)]
    m = P.polygon_mask(w, h, pts)
    P.paint(c, P.mix((0.85, 0.85, 0.9), (0.4, 0.3, 0.3), haze_amt), m, 0.85)
    hl = P.polygon_mask(w, h, pts[:3] + [(x, y)])
    P.add_light(c, (0.25, 0.25, 0.3), hl * m, 0.8 * (1 - haze_amt))
    sparkle(c, x + size * 0.3, y - size * 0.3, size * 2.5, (1.0, 0.95, 0.85), 0.8 * (1 - haze_amt))


def sparkle(c, x, y, r, colour, strength):
    """A four-pointed star glint made of two thin gaussian streaks and a core."""
    h, w = c.shape[:2]
    gx, gy = P.grid(w, h)
    dx, dy = gx - x, gy - y
    core = np.exp(-(dx ** 2 + dy ** 2) / (2 * (r * 0.12) ** 2 + 1e-6))
    hor = np.exp(-(dy ** 2) / (2 * (r * 0.03) ** 2 + 1e-6) - np.abs(dx) / (r * 0.35 + 1e-6))
    ver = np.exp(-(dx ** 2) / (2 * (r * 0.03) ** 2 + 1e-6) - np.abs(dy) / (r * 0.35 + 1e-6))
    P.add_light(c, colour, core + 0.6 * (hor + ver), strength)


def candy_corn(c, x, y, size, angle, haze=None, haze_amt=0.0):
    """A candy corn kernel lying on the ground: yellow base, orange middle, white tip."""
    h, w = c.shape[:2]
    ca, sa = math.cos(angle), math.sin(angle)

    def rot(px, py):
        return (x + px * ca - py * sa, y + px * sa + py * ca)

    outline = [rot(-size * 0.5, 0), rot(-size * 0.42, -size * 0.35), rot(-size * 0.12, -size * 1.1),
               rot(0, -size * 1.2), rot(size * 0.12, -size * 1.1), rot(size * 0.42, -size * 0.35),
               rot(size * 0.5, 0)]
    m = P.polygon_mask(w, h, outline)
    gx, gy = P.grid(w, h)
    # Height along the kernel's own axis.
    t = -((gx - x) * (-sa) + (gy - y) * ca) / (size * 1.2)
    col = np.where((t < 0.4)[..., None], np.float32((0.95, 0.72, 0.15)),
                   np.where((t < 0.78)[..., None], np.float32((0.95, 0.45, 0.10)),
                            np.float32((0.97, 0.93, 0.85))))
    side = ((gx - x) * ca + (gy - y) * sa) / (size * 0.5)
    col = col * (0.75 + 0.3 * np.clip(side, -1, 1))[..., None]
    if haze is not None:
        col = P.mix(col, haze, haze_amt)
    P.paint(c, col, m)
    P.add_light(c, (0.3, 0.25, 0.15), np.clip(m - P.shift(m, -1, 1), 0, 1), 0.8 * (1 - haze_amt))


def ground(c, horizon, mood, rng):
    """The moss floor from the horizon line down: textured, darker towards the viewer."""
    h, w = c.shape[:2]
    m = MOODS[mood]
    gx, gy = P.grid(w, h)
    edge = P.fbm(w, 1, rng, base=max(16, w // 10), octaves=4)[0] * h * 0.05
    line = horizon + edge[None, :] - h * 0.025
    mask = P.smoothstep(line - 2, line + 3, gy)
    tex = P.fbm(w, h, rng, base=24, octaves=5)
    tex2 = P.fbm(w, h, rng, base=6, octaves=3)
    depth = np.clip((gy - horizon) / max(h - horizon, 1), 0, 1)
    base = P.mix(P.mix(m["haze"], m["ground"], 0.6), m["ground"], depth)
    col = base * (0.75 + 0.45 * tex + 0.15 * tex2)[..., None]
    moss = P.smoothstep(0.55, 0.75, tex)
    col = P.mix(col, np.asarray(m["blade"], np.float32) * (0.8 + 0.4 * tex2)[..., None], moss * 0.5)
    col = col * (1.0 - 0.45 * depth)[..., None]
    P.paint(c, col, mask)
    return line


def haze_band(c, y_center, height, colour, strength):
    """A horizontal band of haze that softens what lies behind the next layer."""
    h, w = c.shape[:2]
    gx, gy = P.grid(w, h)
    band = np.exp(-((gy - y_center) / max(height, 1)) ** 2)
    P.paint(c, colour, band, strength)


def spores(c, rng, count, colour, y_range=(0.0, 1.0), size=(1.0, 3.0), strength=0.7):
    """Drifting glowing spores and fireflies."""
    h, w = c.shape[:2]
    for _ in range(count):
        x = rng.uniform(0, w)
        y = rng.uniform(y_range[0] * h, y_range[1] * h)
        r = rng.uniform(*size)
        g = P.radial(w, h, x, y, r * 3.0)
        P.add_light(c, colour, g, strength * rng.uniform(0.3, 1.0))


def light_rays(c, x, y, colour, strength, rng, count=7):
    """Soft god rays fanning down from a point of light."""
    h, w = c.shape[:2]
    gx, gy = P.grid(w, h)
    ang = np.arctan2(gy - y, gx - x)
    rays = np.zeros((h, w), np.float32)
    for _ in range(count):
        a0 = rng.uniform(0.2, math.pi - 0.2)
        width = rng.uniform(0.02, 0.07)
        rays += np.exp(-((ang - a0) / width) ** 2) * rng.uniform(0.4, 1.0)
    dist = np.sqrt((gx - x) ** 2 + (gy - y) ** 2)
    rays *= np.exp(-dist / (0.7 * h)) * (gy > y)
    P.add_light(c, colour, rays, strength)


def vignette(c, strength=0.5):
    """Darkens the corners."""
    h, w = c.shape[:2]
    gx, gy = P.grid(w, h)
    d = ((gx / w - 0.5) * 2) ** 2 + ((gy / h - 0.5) * 2) ** 2
    f = 1.0 - strength * P.smoothstep(0.4, 2.0, d)
    c[..., :3] *= f[..., None]


def forest_scene(w, h, mood, seed, horizon=0.62, mushrooms=True, clovers=False, webs=False,
                 thorns=False, swords=False, detail=1.0):
    """A complete forest-floor backdrop at dusk, painted back to front."""
    rng = np.random.default_rng(seed)
    m = MOODS[mood]
    c = P.canvas(w, h)
    sky(c, mood, rng)
    hz = horizon * h
    haze = m["haze"]
    # Far layer: hazy giant blades and distant mushrooms.
    for _ in range(int(26 * detail * w / 1024)):
        x = rng.uniform(-0.05, 1.05) * w
        height = rng.uniform(0.55, 1.1) * h
        grass_blade(c, (x, hz + rng.uniform(0, 0.04) * h), height, rng.uniform(-0.25, 0.25),
                    rng.uniform(0.012, 0.03) * w, m["far"], rng, light=0.4, haze=haze,
                    haze_amt=0.55)
    if mushrooms:
        for _ in range(int(5 * detail * w / 1024)):
            x = rng.uniform(0.05, 0.95) * w
            s = rng.uniform(0.10, 0.22) * h
            cap = m["caps"][int(rng.integers(len(m["caps"])))]
            mushroom(c, x, hz + rng.uniform(0, 0.03) * h, s * rng.uniform(1.0, 1.8), s * 1.6,
                     s * 0.55, cap, rng, light=0.5, haze=haze, haze_amt=0.5,
                     lean=rng.uniform(-0.1, 0.1), glow=0.08)
    haze_band(c, hz, h * 0.12, haze, 0.35)
    light_rays(c, m["glow_x"] * w, m["glow_y"] * h * 0.5, m["glow"], 0.12, rng)
    ground(c, hz, mood, rng)
    # Mid layer.
    for _ in range(int(14 * detail * w / 1024)):
        x = rng.uniform(-0.05, 1.05) * w
        height = rng.uniform(0.7, 1.3) * h
        col = P.mix(m["blade"], m["far"], 0.3)
        grass_blade(c, (x, hz + rng.uniform(0.05, 0.12) * h), height, rng.uniform(-0.3, 0.3),
                    rng.uniform(0.025, 0.05) * w, col, rng, light=0.7, haze=haze, haze_amt=0.3)
    if swords:
        for _ in range(int(7 * detail * w / 1024)):
            x = rng.uniform(0.0, 1.0) * w
            height = rng.uniform(0.5, 0.9) * h
            base = (x, hz + rng.uniform(0.08, 0.16) * h)
            lean = rng.uniform(-0.08, 0.08)
            grass_blade(c, base, height, lean, rng.uniform(0.015, 0.025) * w, (0.42, 0.40, 0.38),
                        rng, light=1.2, haze=haze, haze_amt=0.25)
    if mushrooms:
        for _ in range(int(4 * detail * w / 1024)):
            x = rng.uniform(0.0, 1.0) * w
            s = rng.uniform(0.16, 0.3) * h
            cap = m["caps"][int(rng.integers(len(m["caps"])))]
            mushroom(c, x, hz + rng.uniform(0.1, 0.18) * h, s * rng.uniform(1.0, 1.6), s * 1.5,
                     s * 0.5, cap, rng, light=0.8, haze=haze, haze_amt=0.2,
                     lean=rng.uniform(-0.12, 0.12), glow=0.05)
    if clovers:
        for _ in range(int(8 * detail * w / 1024)):
            cx = rng.uniform(0, w)
            cy = hz + rng.uniform(0.1, 0.3) * h
            clover(c, cx, cy, rng.uniform(0.04, 0.08) * h, (0.25, 0.40, 0.12), rng, haze=haze,
                   haze_amt=0.15)
    if thorns:
        for _ in range(int(3 * detail * w / 1024)):
            bramble(c, rng, hz, m)
    if webs:
        for _ in range(2):
            cobweb(c, rng.uniform(0.1, 0.9) * w, rng.uniform(0.15, 0.45) * h,
                   rng.uniform(0.12, 0.2) * h, rng)
    haze_band(c, hz + 0.1 * h, h * 0.08, haze, 0.15)
    # Near ground clutter.
    for _ in range(int(10 * detail * w / 1024)):
        pebble(c, rng.uniform(0, w), hz + rng.uniform(0.2, 0.38) * h, rng.uniform(0.02, 0.05) * h,
               rng.uniform(0.012, 0.03) * h, rng)
    for _ in range(int(24 * detail * w / 1024)):
        sugar_grain(c, rng.uniform(0, w), hz + rng.uniform(0.15, 0.38) * h,
                    rng.uniform(0.006, 0.012) * h, rng)
    for _ in range(int(3 * detail * w / 1024)):
        candy_corn(c, rng.uniform(0.05, 0.95) * w, hz + rng.uniform(0.22, 0.36) * h,
                   rng.uniform(0.05, 0.08) * h, rng.uniform(-1.4, 1.4))
    # Near blades framing the sides.
    for side in (0, 1):
        for _ in range(int(3 * detail)):
            x = (rng.uniform(-0.06, 0.08) if side == 0 else rng.uniform(0.92, 1.06)) * w
            lean = rng.uniform(0.05, 0.3) * (1 if side == 0 else -1)
            grass_blade(c, (x, h * 1.05), rng.uniform(0.9, 1.2) * h, lean,
                        rng.uniform(0.05, 0.08) * w, P.mix(m["blade"], (0, 0, 0), 0.4), rng,
                        light=0.6)
    spores(c, rng, int(40 * detail * w / 1024), m["spore"], (0.1, 0.85), (0.8, 2.5), 0.6)
    vignette(c, 0.55)
    return c


def bramble(c, rng, hz, m):
    """A thorny bramble arching over the ground."""
    h, w = c.shape[:2]
    x0 = rng.uniform(-0.1, 0.9) * w
    x1 = x0 + rng.uniform(0.2, 0.4) * w
    top = hz - rng.uniform(0.1, 0.35) * h
    spine = P.quad_bezier((x0, hz + 0.15 * h), ((x0 + x1) / 2, top), (x1, hz + 0.12 * h), 40)
    col = P.mix((0.18, 0.10, 0.08), m["haze"], 0.25)
    mask = P.line_mask(w, h, [tuple(p) for p in spine], 0.012 * h)
    for i in range(3, 37, 3):
        p = spine[i]
        d = spine[i + 1] - spine[i - 1]
        d /= max(np.linalg.norm(d), 1e-6)
        n = np.array([-d[1], d[0]]) * (1 if i % 2 else -1)
        base_w = 0.012 * h
        tip = p + n * 0.035 * h + d * 0.01 * h
        tri = [tuple(p - d * base_w), tuple(p + d * base_w), tuple(tip)]
        mask = np.maximum(mask, P.polygon_mask(w, h, tri))
    P.paint(c, col, mask)
    P.add_light(c, (0.4, 0.2, 0.1), np.clip(mask - P.shift(mask, 1, 1), 0, 1), 0.6)


def cobweb(c, x, y, r, rng):
    """A faint spider web: radial threads and a spiral, catching the light."""
    h, w = c.shape[:2]
    mask = np.zeros((h, w), np.float32)
    n = 9
    angles = np.sort(rng.uniform(0, 2 * math.pi, n))
    for a in angles:
        mask = np.maximum(mask, P.line_mask(w, h, [(x, y), (x + math.cos(a) * r,
                                                           y + math.sin(a) * r)], 0.8))
    pts = []
    turns = 5
    for k in range(turns * n + 1):
        a = angles[k % n]
        rr = r * (0.15 + 0.85 * k / (turns * n))
        pts.append((x + math.cos(a) * rr, y + math.sin(a) * rr))
    mask = np.maximum(mask, P.line_mask(w, h, pts, 0.7))
    P.add_light(c, (0.55, 0.55, 0.65), mask, 0.35)
