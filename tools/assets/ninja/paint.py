"""Paints the ninja's diffuse atlas and its tangent-space normal map.

Each part of `body.RECTS` is painted by a function of (s, t): s runs around the part (wrapping at 1),
t along it. A painter returns a colour and a height; the normal map is derived from the heights, so
folds, wrap stripes and stitched seams line up exactly with the painted ones.

The normal map follows the usual OpenGL convention: red along +u (the tangent), green towards the
top of the image (the bitangent, cross(normal, tangent) * w), blue out of the surface.
"""

import math

import numpy as np

import body

PAD = 4  # pixels painted beyond each rectangle so filtering never reads a neighbour

# Palette (sRGB).
SUIT = np.array([0.23, 0.22, 0.42])
SUIT_DARK = np.array([0.11, 0.10, 0.23])
SUIT_LIGHT = np.array([0.42, 0.41, 0.68])
PANTS = np.array([0.19, 0.18, 0.30])
PANTS_DARK = np.array([0.09, 0.08, 0.16])
PANTS_LIGHT = np.array([0.33, 0.32, 0.50])
TRIM = np.array([0.10, 0.09, 0.14])
WRAP = np.array([0.90, 0.84, 0.70])
WRAP_DARK = np.array([0.58, 0.50, 0.42])
WRAP_LIGHT = np.array([1.0, 0.97, 0.88])
SCARF = np.array([0.90, 0.30, 0.12])
SCARF_DARK = np.array([0.52, 0.10, 0.07])
SCARF_LIGHT = np.array([1.0, 0.66, 0.32])
BELT = np.array([0.82, 0.58, 0.20])
BELT_DARK = np.array([0.48, 0.29, 0.09])
BELT_LIGHT = np.array([1.0, 0.84, 0.45])
SKIN = np.array([0.88, 0.64, 0.47])
SKIN_DARK = np.array([0.60, 0.36, 0.26])
EYE = np.array([0.97, 0.95, 0.88])
PUPIL = np.array([0.08, 0.06, 0.07])
SOLE = np.array([0.24, 0.19, 0.17])


# ---------------------------------------------------------------------------------------------
# Noise

class Noise:
    """Value noise, periodic in s so that painted parts have no visible seam."""

    def __init__(self, seed):
        self.rng = np.random.default_rng(seed)
        self.tables = {}

    def _table(self, key, shape):
        if key not in self.tables:
            self.tables[key] = self.rng.random(shape)
        return self.tables[key]

    def value(self, s, t, fs, ft, key):
        table = self._table((key, fs, ft), (fs, ft + 2))
        x = s * fs
        y = t * ft
        x0 = np.floor(x).astype(int)
        y0 = np.floor(y).astype(int)
        fx = x - x0
        fy = y - y0
        fx = fx * fx * (3 - 2 * fx)
        fy = fy * fy * (3 - 2 * fy)
        y0 = np.clip(y0, 0, ft)
        y1 = np.clip(y0 + 1, 0, ft + 1)
        a = table[x0 % fs, y0]
        b = table[(x0 + 1) % fs, y0]
        c = table[x0 % fs, y1]
        d = table[(x0 + 1) % fs, y1]
        return (a * (1 - fx) + b * fx) * (1 - fy) + (c * (1 - fx) + d * fx) * fy

    def fbm(self, s, t, fs, ft, key, octaves=4):
        total = np.zeros_like(s)
        amp, norm = 1.0, 0.0
        for o in range(octaves):
            total += amp * self.value(s, t, fs * 2 ** o, ft * 2 ** o, f"{key}{o}")
            norm += amp
            amp *= 0.5
        return total / norm


NOISE = Noise(20240611)


def shade(base, dark, light, k):
    """k < 0 darkens towards `dark`, k > 0 lightens towards `light` (k in -1..1)."""
    k = np.clip(k, -1, 1)[..., None]
    return np.where(k < 0, base + (dark - base) * (-k), base + (light - base) * k)


def band(x, c, w, soft):
    """1 inside |x - c| < w, fading to 0 over `soft`."""
    return np.clip((w + soft - np.abs(x - c)) / soft, 0, 1)


def sdist(s, c):
    """Signed distance around a wrapping coordinate."""
    return (s - c + 0.5) % 1.0 - 0.5


def folds(s, t, count, key, sharp=3.0, slant=0.0):
    """Cloth folds: ridges in s that wander a little along t. Returns (height, crease shading)."""
    wob = NOISE.fbm(s, t, 4, 3, key + "w") - 0.5
    ph = (s + slant * t + 0.12 * wob) * count * 2 * math.pi
    v = np.sin(ph) * 0.5 + 0.5
    amp = NOISE.fbm(s, t, 6, 4, key + "a")
    h = (v ** sharp) * amp
    return h, h


def stitches(x, y, along_period, width):
    """Dashed stitch line where |x| < width; y runs along the seam. Returns a mask."""
    dash = (np.sin(y * 2 * math.pi / along_period) > 0.1).astype(np.float64)
    return band(x, 0.0, width, width * 0.6) * dash


def wraps(s, t, count, turns, key):
    """Diagonal cloth wraps: returns (height, stripe index fraction, groove mask)."""
    q = t * count + s * turns
    f = q - np.floor(q)
    # Each wrap is a rounded band with a thin groove where the next one overlaps it.
    h = np.sin(f * math.pi) ** 0.6
    groove = 1 - np.clip(np.minimum(f, 1 - f) / 0.07, 0, 1)
    jitter = NOISE.fbm(s, t, 8, count, key)
    return h * (0.8 + 0.4 * jitter), f, groove


# ---------------------------------------------------------------------------------------------
# Part painters: (s, t, side) -> (rgb, height)

def paint_torso(s, t, side):
    y = 9.72 + 3.73 * t
    fs = sdist(s, 0.5)  # 0 at the front; -0.25 the right side, +0.25 the left side
    n = NOISE.fbm(s, t, 8, 6, "torso")
    # Jacket.
    grad = np.clip((y - 10.9) / 1.7, 0, 1)
    fh, _ = folds(s, t, 9, "torsoF", sharp=4, slant=0.6)
    fh2, _ = folds(s, t, 5, "torsoG", sharp=2, slant=-0.4)
    k = -0.55 + 0.8 * grad + 0.35 * (n - 0.5) + 0.5 * fh - 0.35 * fh2
    col = shade(SUIT, SUIT_DARK, SUIT_LIGHT, k)
    height = 0.6 * fh - 0.3 * fh2
    # Crossed front panels: an edge running from the right of the neck down to the left hip.
    edge_s = -0.07 + (0.10 - (-0.07)) * np.clip((12.95 - y) / (12.95 - 11.0), 0, 1)
    d = fs - edge_s
    front = np.abs(fs) < 0.3
    trim = band(d, 0.0, 0.018, 0.006) * front * (y > 10.9) * (y < 13.0)
    under = (d < -0.018) * front * (y > 11.9) * (y < 13.0)
    col = np.where(under[..., None], shade(SUIT_DARK, TRIM, SUIT, 0.2 * (n - 0.5) + 0.1 * grad), col)
    height = np.where(under, height - 0.4, height)
    col = col * (1 - trim[..., None]) + trim[..., None] * shade(TRIM, TRIM * 0.6, SUIT_DARK, n - 0.5)
    height = height + 0.5 * trim
    # Highlight along the overlapping panel's edge.
    lit = band(d, 0.03, 0.008, 0.008) * front * (y > 11.0) * (y < 12.9)
    col = col + lit[..., None] * 0.18
    # Side and shoulder seams.
    seam = np.maximum(stitches(sdist(s, 0.25), y, 0.09, 0.006), stitches(sdist(s, 0.75), y, 0.09, 0.006))
    seam = seam * (y > 11.0) * (y < 12.5)
    col = col * (1 - 0.45 * seam[..., None])
    height = height - 0.5 * seam
    # Pants below the sash, with vertical creases.
    ph, _ = folds(s, t, 14, "pantsT", sharp=3)
    pk = -0.4 + 0.4 * np.clip((y - 9.7) / 0.8, 0, 1) + 0.5 * ph + 0.3 * (n - 0.5)
    pants = y < 10.75
    col = np.where(pants[..., None], shade(PANTS, PANTS_DARK, PANTS_LIGHT, pk), col)
    height = np.where(pants, 0.6 * ph, height)
    # Neck under the hood: plain dark cloth.
    neck = y > 12.95
    col = np.where(neck[..., None], shade(SUIT_DARK, TRIM, SUIT, (n - 0.5) * 0.5), col)
    return col, height


def paint_head(s, t, side):
    y = 13.02 + 2.75 * t
    fs = sdist(s, 0.5)
    n = NOISE.fbm(s, t, 10, 6, "head")
    grad = np.clip((y - 13.3) / 2.2, 0, 1)
    fh, _ = folds(s, t, 7, "hoodF", sharp=5, slant=0.2)
    fade = np.clip((y - 14.6) / 0.6, 0, 1)  # folds gather towards the crown
    k = -0.45 + 0.75 * grad + 0.3 * (n - 0.5) + 0.45 * fh * fade
    col = shade(SUIT, SUIT_DARK, SUIT_LIGHT, k)
    height = 0.5 * fh * fade
    # Crown seam from the brow over the top to the back.
    crown = stitches(fs, y, 0.08, 0.005) * (y > 14.75)
    back = stitches(sdist(s, 0.0), y, 0.08, 0.005) * (y > 13.6)
    seam = np.maximum(crown, back)
    col = col * (1 - 0.5 * seam[..., None])
    height = height - 0.5 * seam
    # Face opening: a rounded window in the hood.
    oy = (y - 14.1) / 0.62
    ox = fs / 0.19
    r = np.sqrt(ox ** 2 + np.clip(oy, -10, 10) ** 2 * 1.0)
    opening = r < 1.0
    rim = band(r, 1.0, 0.05, 0.05)
    # Mask over nose and mouth, eye slit above it.
    mask_col = shade(PANTS, PANTS_DARK, PANTS_LIGHT, -0.1 + 0.4 * (n - 0.5) - 0.3 * (y < 13.75))
    slit = (y > 14.06) & (y < 14.46) & opening
    skin = shade(SKIN, SKIN_DARK, SKIN * 1.05, -0.25 + 0.5 * (y - 14.06) / 0.4 + 0.2 * (n - 0.5))
    face = np.where(slit[..., None], skin, mask_col)
    # Eyes: almond shapes on both sides of the front, each visible in profile.
    eyes = np.zeros_like(s)
    pupils = np.zeros_like(s)
    for c in (-0.095, 0.095):
        ex = (fs - c) / 0.055
        ey = (y - 14.25) / (0.12 * (1 - 0.35 * np.clip(ex, -1, 1) ** 2))
        e = np.clip((1.0 - np.sqrt(ex ** 2 + ey ** 2)) / 0.15, 0, 1)
        eyes = np.maximum(eyes, e)
        px = (fs - c * 0.82) / 0.024
        py = (y - 14.24) / 0.07
        pupils = np.maximum(pupils, np.clip((1.0 - np.sqrt(px ** 2 + py ** 2)) / 0.3, 0, 1))
    face = face * (1 - eyes[..., None]) + EYE * eyes[..., None]
    face = face * (1 - pupils[..., None] * eyes[..., None]) + PUPIL * (pupils * eyes)[..., None]
    # A fold across the mask's bridge.
    mfold = band(y, 13.9, 0.02, 0.03) * (1 - slit)
    face = face * (1 - 0.3 * mfold[..., None])
    col = np.where(opening[..., None], face, col)
    height = np.where(opening, np.where(slit, -0.5, -0.2 - 0.4 * mfold), height)
    col = col + rim[..., None] * 0.22 * (1 - opening)[..., None]
    height = height + 0.7 * rim
    return col, height


def paint_leg(s, t, side):
    s = s if side < 0 else 1 - s
    # s: 0 inner, 0.25 front, 0.5 outer, 0.75 back; t: 0 hip .. 1 ankle
    n = NOISE.fbm(s, t, 8, 8, "leg")
    knee = 0.52
    ph, _ = folds(s, t, 8, "legF", sharp=3, slant=0.15)
    grad = 0.3 - 0.6 * np.clip(t / knee, 0, 1)
    k = grad + 0.55 * ph + 0.3 * (n - 0.5)
    # The pants bunch up above the knee.
    bunch = band(t, knee - 0.05, 0.05, 0.04)
    bh = np.sin(s * 2 * math.pi * 11 + 3 * n) * 0.5 + 0.5
    k = k + 0.4 * bunch * (bh - 0.5)
    col = shade(PANTS, PANTS_DARK, PANTS_LIGHT, k)
    height = 0.6 * ph + 0.5 * bunch * bh
    # Outer seam.
    seam = stitches(sdist(s, 0.5), t, 0.025, 0.006) * (t < knee - 0.08)
    col = col * (1 - 0.45 * seam[..., None])
    height = height - 0.4 * seam
    # Shin guards: dark cloth crossed by light straps.
    shin = t > knee
    wh, f, groove = wraps(s, t, 9, 1, "legW")
    cross, f2, _ = wraps(1 - s, t, 9, 1, "legX")
    strap = band(f, 0.5, 0.16, 0.04)
    strap2 = band(f2, 0.5, 0.16, 0.04)
    # The second set of straps crosses the first only on the front of the shin.
    straps = np.maximum(strap, strap2 * (sdist(s, 0.25) ** 2 < 0.06))
    gk = 0.2 - 0.5 * (t - knee) + 0.3 * (n - 0.5)
    guard = shade(SUIT_DARK * 1.25, TRIM, SUIT, gk)
    wcol = shade(WRAP, WRAP_DARK, WRAP_LIGHT, 0.5 * wh - 0.5 + 0.3 * (n - 0.5) - 0.5 * groove)
    scol = guard * (1 - straps[..., None]) + wcol * straps[..., None]
    col = np.where(shin[..., None], scol, col)
    height = np.where(shin, 0.3 * cross + 0.6 * straps * wh, height)
    # A cuff where the pants meet the shin guard.
    cuff = band(t, knee + 0.015, 0.02, 0.01)
    col = col * (1 - 0.5 * cuff[..., None])
    return col, height


def paint_arm(s, t, side):
    s = s if side < 0 else 1 - s
    n = NOISE.fbm(s, t, 8, 8, "arm")
    elbow = 0.47
    fh, _ = folds(s, t, 6, "armF", sharp=4, slant=0.3)
    grad = 0.35 - 0.5 * np.clip(t / elbow, 0, 1)
    col = shade(SUIT, SUIT_DARK, SUIT_LIGHT, grad + 0.6 * fh + 0.3 * (n - 0.5))
    height = 0.6 * fh
    hem = band(t, elbow - 0.02, 0.025, 0.01)
    col = col * (1 - hem[..., None]) + hem[..., None] * shade(TRIM, TRIM * 0.6, SUIT_DARK, n - 0.5)
    col = col + band(t, elbow - 0.055, 0.006, 0.008)[..., None] * 0.2
    height = height + 0.6 * hem
    # Forearm wraps.
    wh, f, groove = wraps(s, t, 12, 1, "armW")
    wcol = shade(WRAP, WRAP_DARK, WRAP_LIGHT, 0.55 * wh - 0.45 + 0.25 * (n - 0.5) - 0.6 * groove
                 - 0.3 * np.clip((t - 0.9) / 0.1, 0, 1))
    fore = t > elbow
    col = np.where(fore[..., None], wcol, col)
    height = np.where(fore, wh, height)
    # Shoulder seam.
    seam = stitches(t - 0.12, s, 0.03, 0.005)
    col = col * (1 - 0.4 * seam[..., None])
    height = height - 0.4 * seam
    return col, height


def paint_hand(s, t, side):
    n = NOISE.fbm(s, t, 6, 6, "hand")
    wh, f, groove = wraps(s, t, 6, 1, "handW")
    k = 0.5 * wh - 0.4 + 0.3 * (n - 0.5) - 0.6 * groove
    # Knuckle ridges across the end of the fist.
    knuck = np.sin(s * 2 * math.pi * 4) * 0.5 + 0.5
    kn = band(t, 0.8, 0.12, 0.06) * knuck
    col = shade(WRAP, WRAP_DARK, WRAP_LIGHT, k + 0.3 * kn)
    return col, wh + 0.6 * kn


def paint_foot(s, t, side):
    # s: 0/1 the sole, 0.5 the top of the foot; t: 0 heel .. 1 toe
    n = NOISE.fbm(s, t, 8, 6, "foot")
    top = np.cos((s - 0.5) * 2 * math.pi)  # 1 on top, -1 underneath
    k = -0.2 + 0.45 * top + 0.25 * (n - 0.5)
    wh, f, groove = wraps(s, t, 4, 1, "footW")
    ankle = t < 0.32
    k = k + np.where(ankle, 0.4 * wh - 0.2 - 0.5 * groove, 0.0)
    col = shade(WRAP, WRAP_DARK, WRAP_LIGHT, k)
    height = np.where(ankle, wh, 0.0)
    # Split toe seam on top, towards the inner side.
    inner = 0.5 - 0.07 * side
    toe = stitches(s - inner, t, 0.04, 0.008) * (t > 0.6)
    col = col * (1 - 0.4 * toe[..., None])
    height = height - 0.5 * toe
    # Dark sole with a welt.
    sole = np.abs(sdist(s, 0.0)) < 0.2
    welt = band(np.abs(sdist(s, 0.0)), 0.2, 0.012, 0.006)
    col = np.where(sole[..., None], shade(SOLE, SOLE * 0.6, SOLE * 1.5, n - 0.5), col)
    col = col * (1 - 0.5 * welt[..., None])
    height = height + 0.5 * welt
    return col, height


def paint_belt(s, t, side):
    # A broad cloth sash: long soft wrinkles along the band and a few diagonal creases.
    n = NOISE.fbm(s, t, 16, 2, "belt")
    wob = NOISE.fbm(s, t, 8, 2, "beltW") - 0.5
    along = np.sin((t + 0.25 * wob) * 1.5 * 2 * math.pi) * 0.5 + 0.5
    crease, _ = folds(s, t, 7, "beltF", sharp=6, slant=1.5)
    k = 0.35 * np.sin(t * math.pi) - 0.25 + 0.3 * along + 0.4 * crease + 0.25 * (n - 0.5)
    col = shade(BELT, BELT_DARK, BELT_LIGHT, k)
    edge = np.maximum(band(t, 0.08, 0.03, 0.02), band(t, 0.92, 0.03, 0.02))
    col = col * (1 - 0.25 * edge[..., None])
    st = np.maximum(stitches(t - 0.16, s, 0.012, 0.008), stitches(t - 0.84, s, 0.012, 0.008))
    col = col * (1 - 0.3 * st[..., None])
    return col, 0.3 * along + 0.4 * crease - 0.4 * st


def paint_knot(base, dark, light, key):
    def painter(s, t, side):
        n = NOISE.fbm(s, t, 6, 4, key)
        fh, _ = folds(s, t, 5, key + "F", sharp=3, slant=0.8)
        k = 0.5 * np.sin(t * math.pi) - 0.35 + 0.6 * fh + 0.3 * (n - 0.5)
        return shade(base, dark, light, k), fh
    return painter


def paint_belt_tails(s, t, side):
    n = NOISE.fbm(s, t, 6, 4, "btail")
    tt = (t % 0.5) / 0.45
    fh, _ = folds(s, t, 3, "btailF", sharp=2)
    k = 0.2 - 0.6 * tt + 0.4 * fh + 0.3 * (n - 0.5)
    return shade(BELT, BELT_DARK, BELT_LIGHT, k), fh


def paint_scarf_ring(s, t, side):
    # A soft roll of cloth: a few broad folds slanting round it, lit on top and outside.
    n = NOISE.fbm(s, t, 10, 4, "sring")
    wob = NOISE.fbm(s, t, 6, 3, "sringW") - 0.5
    ph = (s * 5 + t * 1.0 + 0.2 * wob) * 2 * math.pi
    fh = (np.sin(ph) * 0.5 + 0.5) ** 3
    top = np.cos((t - 0.5) * 2 * math.pi)  # t = 0.5 is the top of the roll
    outer = np.cos((t - 0.25) * 2 * math.pi)  # t = 0.25 faces outwards
    k = -0.15 + 0.25 * top + 0.2 * outer + 0.45 * fh - 0.1 + 0.3 * (n - 0.5)
    return shade(SCARF, SCARF_DARK, SCARF_LIGHT, k), 0.7 * fh


def paint_scarf_tail(s, t, side):
    n = NOISE.fbm(s, t, 4, 12, "stail")
    # Long folds running down the ribbon, lighter edges, a darker frayed end.
    fh = (np.sin((s * 4 + 0.3 * np.sin(t * 9)) * 2 * math.pi) * 0.5 + 0.5) ** 2
    edge = np.maximum(band(sdist(s, 0.0), 0, 0.04, 0.04), band(sdist(s, 0.5), 0, 0.04, 0.04))
    k = 0.15 - 0.45 * t + 0.45 * fh + 0.35 * edge + 0.3 * (n - 0.5)
    col = shade(SCARF, SCARF_DARK, SCARF_LIGHT, k)
    stripe = band(t, 0.86, 0.02, 0.01)
    col = col * (1 - 0.45 * stripe[..., None])
    return col, 0.6 * fh - 0.5 * stripe


def paint_flat(base, dark, light, key):
    def painter(s, t, side):
        n = NOISE.fbm(s, t, 4, 4, key)
        r = np.sqrt((s - 0.5) ** 2 + (t - 0.5) ** 2)
        return shade(base, dark, light, 0.4 * (n - 0.5) - 0.6 * r), 0.2 * (n - 0.5)
    return painter


PAINTERS = {
    "torso": (paint_torso, 0),
    "head": (paint_head, 0),
    "legR": (paint_leg, -1),
    "legL": (paint_leg, 1),
    "armR": (paint_arm, -1),
    "armL": (paint_arm, 1),
    "handR": (paint_hand, -1),
    "handL": (paint_hand, 1),
    "footR": (paint_foot, -1),
    "footL": (paint_foot, 1),
    "belt": (paint_belt, 0),
    "beltKnot": (paint_knot(BELT, BELT_DARK, BELT_LIGHT, "bknot"), 0),
    "beltTails": (paint_belt_tails, 0),
    "scarfRing": (paint_scarf_ring, 0),
    "scarfKnot": (paint_knot(SCARF, SCARF_DARK, SCARF_LIGHT, "sknot"), 0),
    "scarfTail": (paint_scarf_tail, 0),
    "capSuit": (paint_flat(SUIT_DARK, TRIM, SUIT, "csuit"), 0),
    "capPants": (paint_flat(PANTS_DARK, TRIM, PANTS, "cpants"), 0),
    "capWrap": (paint_flat(WRAP, WRAP_DARK, WRAP_LIGHT, "cwrap"), 0),
    "capScarf": (paint_flat(SCARF, SCARF_DARK, SCARF_LIGHT, "cscarf"), 0),
    "capBelt": (paint_flat(BELT, BELT_DARK, BELT_LIGHT, "cbelt"), 0),
    "capSole": (paint_flat(SOLE, SOLE * 0.6, SOLE * 1.4, "csole"), 0),
}

# How strongly each part's heights bend the normals (painted heights are 0..1-ish).
BUMP = {"head": 1.6, "torso": 2.2, "scarfTail": 1.5, "belt": 0.7}


def paint():
    """Returns (diffuse RGB uint8, normal map RGB uint8) atlases."""
    size = body.ATLAS
    col = np.zeros((size, size, 3))
    col[:] = SUIT_DARK
    nrm = np.zeros((size, size, 3))
    nrm[:] = (0.5, 0.5, 1.0)
    for name, (x0, y0, x1, y1) in body.RECTS.items():
        painter, side = PAINTERS[name]
        xa, xb = max(x0 - PAD, 0), min(x1 + PAD, size)
        ya, yb = max(y0 - PAD, 0), min(y1 + PAD, size)
        px = np.arange(xa, xb) + 0.5
        py = np.arange(ya, yb) + 0.5
        s = (px - x0) / (x1 - x0)
        t = np.clip((py - y0) / (y1 - y0), 0, 1)
        S, T = np.meshgrid(s, t)
        # Lofts wrap around in s; caps and the flat tails are clamped.
        S = np.clip(S, 0, 1) if name.startswith("cap") or name == "beltTails" else S % 1.0
        rgb, h = painter(S, T, side)
        # Paint soft ambient occlusion from the height: grooves read darker.
        hh = np.asarray(h, dtype=np.float64)
        rgb = rgb * (0.88 + 0.12 * np.clip(hh + 0.5, 0, 1))[..., None]
        col[ya:yb, xa:xb] = np.clip(rgb, 0, 1)
        # Normals from height differences in pixel steps (x along +u, y towards the image top).
        strength = BUMP.get(name, 1.2) * 6.0
        gx = np.gradient(hh, axis=1)
        gy = np.gradient(hh, axis=0)
        slope = np.stack([-gx * strength, gy * strength], axis=-1)
        # Keep the steepest painted edges (stitches, rims) from tipping normals over.
        mag = np.linalg.norm(slope, axis=-1, keepdims=True)
        slope = slope * np.minimum(1.0, 1.1 / np.maximum(mag, 1e-9))
        n = np.concatenate([slope, np.ones_like(hh)[..., None]], axis=-1)
        n /= np.linalg.norm(n, axis=-1, keepdims=True)
        nrm[ya:yb, xa:xb] = n * 0.5 + 0.5
    diffuse = (np.clip(col, 0, 1) * 255 + 0.5).astype(np.uint8)
    normal = (np.clip(nrm, 0, 1) * 255 + 0.5).astype(np.uint8)
    return diffuse, normal
