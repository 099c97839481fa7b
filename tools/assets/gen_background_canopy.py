#!/usr/bin/python3
"""Paints the high canopy's backdrop: up among the leaves at dusk, far above the forest floor.

Run from the repository root: /usr/bin/python3 tools/assets/gen_background_canopy.py
Writes assets/images/CanopyBackground.png (1536 x 536, opaque). Back to front: the dusk sky with
the low sun's glow, layers of leafy crowns fading into haze, tall stems crossing the picture with
broad leaves on short stalks, a few leaves hanging in from the top edge, and drifting spores. The
seed is fixed, so a second run writes the same bytes.
"""

import math
import os
import sys

import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import paint as P  # noqa: E402
import scenery as S  # noqa: E402

OUT = os.path.join("assets", "images", "CanopyBackground.png")
W, H = 1536, 536
SEED = 2801

SKY_TOP = (0.07, 0.05, 0.14)
HAZE = (0.42, 0.25, 0.22)
GLOW = (1.00, 0.58, 0.28)
LEAF_FAR = (0.22, 0.18, 0.20)
LEAF_MID = (0.16, 0.22, 0.10)
LEAF_NEAR = (0.10, 0.15, 0.06)
STEM = (0.18, 0.14, 0.08)


def sky(c, rng):
    """Deep violet above, the sun's warm glow low on the right, streaks of cloud."""
    h, w = c.shape[:2]
    c[..., :3] = P.vertical_gradient(w, h, [(0.0, SKY_TOP), (0.45, P.mix(SKY_TOP, HAZE, 0.55)),
                                            (0.75, HAZE), (1.0, P.mix(HAZE, (0.1, 0.06, 0.05),
                                                                      0.6))])
    c[..., 3] = 1.0
    P.add_light(c, GLOW, P.radial(w, h, 0.68 * w, 0.66 * h, 0.5 * w, 0.4 * h), 0.5)
    P.add_light(c, (1.0, 0.85, 0.6), P.radial(w, h, 0.68 * w, 0.66 * h, 0.06 * w, 0.07 * h), 0.5)
    clouds = P.fbm(w, h, rng, base=max(32, w // 5), octaves=5)
    gx, gy = P.grid(w, h)
    streaks = P.smoothstep(0.05, 0.25, clouds - 0.45) * P.smoothstep(0.75 * h, 0.3 * h, gy)
    P.paint(c, P.mix(HAZE, GLOW, 0.3), streaks, 0.3)


def leaf(c, base, angle, length, width, colour, rng, light=1.0, haze=None, haze_amt=0.0):
    """A broad leaf from `base` pointing along `angle` (radians, 0 to the right, y down): two
    curved edges meeting at the tip, a midrib, a few veins, and a warm rim towards the sun."""
    h, w = c.shape[:2]
    bx, by = base
    dx, dy = math.cos(angle), math.sin(angle)
    nx, ny = -dy, dx
    tip = (bx + dx * length, by + dy * length)
    bend = rng.uniform(-0.15, 0.15) * length
    edge = []
    for side in (1, -1):
        ctrl = (bx + dx * length * 0.45 + nx * width * side + nx * bend,
                by + dy * length * 0.45 + ny * width * side + ny * bend)
        pts = P.quad_bezier(base, ctrl, tip, 24)
        edge.extend([tuple(p) for p in (pts if side == 1 else pts[::-1])])
    m = P.polygon_mask(w, h, edge, blur=0.6)
    if not m.any():
        return
    col = np.asarray(colour, np.float32)
    tex = P.fbm(w, h, rng, base=12, octaves=3)
    fill = col * (0.8 + 0.35 * tex)[..., None]
    if haze is not None:
        fill = P.mix(fill, haze, haze_amt)
    P.paint(c, fill, m)
    rib_ctrl = (bx + dx * length * 0.5 + nx * bend * 0.5, by + dy * length * 0.5 + ny * bend * 0.5)
    rib = [tuple(p) for p in P.quad_bezier(base, rib_ctrl, tip, 16)]
    veins = P.line_mask(w, h, rib, max(1.0, width * 0.06))
    for k in range(3, 13, 3):
        px, py = rib[k]
        for side in (1, -1):
            veins = np.maximum(veins, P.line_mask(
                w, h, [(px, py), (px + (dx * 0.5 + nx * side) * width * 0.7,
                                  py + (dy * 0.5 + ny * side) * width * 0.7)], max(0.8, width * 0.03)))
    P.add_light(c, (0.25, 0.25, 0.12), veins * m, 0.5 * light * (1 - haze_amt))
    rim = np.clip(m - P.shift(m, -2, 2), 0, 1)
    P.add_light(c, (0.8, 0.45, 0.15), rim, 0.6 * light * (1 - haze_amt))


def crown(c, rng, cx, cy, size, colour, haze_amt):
    """A far crown of leaves: a cluster of leaves around a point, hazy with distance."""
    for _ in range(int(rng.integers(9, 15))):
        a = rng.uniform(0, 2 * math.pi)
        r = rng.uniform(0, size * 0.45)
        leaf(c, (cx + math.cos(a) * r, cy + math.sin(a) * r * 0.6), rng.uniform(0, 2 * math.pi),
             size * rng.uniform(0.35, 0.6), size * rng.uniform(0.1, 0.16), colour, rng, light=0.3,
             haze=HAZE, haze_amt=haze_amt)


def stem(c, rng, x0, y0, x1, y1, width, colour, haze_amt, leaves):
    """A tall stem crossing the picture, with broad leaves on short stalks along it."""
    h, w = c.shape[:2]
    mid = ((x0 + x1) / 2 + rng.uniform(-0.1, 0.1) * w, (y0 + y1) / 2)
    pts = P.quad_bezier((x0, y0), mid, (x1, y1), 40)
    m = P.line_mask(w, h, [tuple(p) for p in pts], width, blur=0.8)
    P.paint(c, P.mix(colour, HAZE, haze_amt), m)
    P.add_light(c, (0.6, 0.35, 0.12), np.clip(m - P.shift(m, -2, 0), 0, 1), 0.5 * (1 - haze_amt))
    for _ in range(leaves):
        k = int(rng.integers(4, 36))
        px, py = pts[k]
        side = rng.choice([-1, 1])
        a = math.atan2(pts[k + 1][1] - pts[k - 1][1], pts[k + 1][0] - pts[k - 1][0])
        a += side * rng.uniform(0.6, 1.3)
        length = rng.uniform(3.5, 6.5) * width
        leaf(c, (px, py), a, length, length * rng.uniform(0.22, 0.32),
             P.mix(LEAF_MID, LEAF_FAR, haze_amt), rng, light=0.8, haze=HAZE,
             haze_amt=haze_amt * 0.8)


def main():
    rng = np.random.default_rng(SEED)
    c = P.canvas(W, H)
    sky(c, rng)
    # Far crowns, three layers, each nearer one less hazy.
    for layer, (count, size, haze_amt) in enumerate([(14, 0.30, 0.7), (10, 0.36, 0.55),
                                                     (7, 0.42, 0.4)]):
        for _ in range(count):
            crown(c, rng, rng.uniform(-0.05, 1.05) * W, rng.uniform(0.1, 0.95) * H, size * H,
                  LEAF_FAR, haze_amt)
        S.haze_band(c, rng.uniform(0.5, 0.8) * H, 0.2 * H, HAZE, 0.15)
    S.light_rays(c, 0.68 * W, 0.55 * H, GLOW, 0.10, rng, count=9)
    # Mid stems crossing from below to above.
    for _ in range(6):
        x0 = rng.uniform(-0.1, 1.1) * W
        stem(c, rng, x0, H * 1.05, x0 + rng.uniform(-0.3, 0.3) * W, -0.05 * H,
             rng.uniform(9, 16), STEM, 0.35, 6)
    # Near leaves hanging in from the top edge, dark against the sky.
    for _ in range(7):
        x = rng.uniform(0, W)
        leaf(c, (x, -10), rng.uniform(1.2, 1.95), rng.uniform(0.25, 0.4) * H,
             rng.uniform(0.06, 0.09) * H, LEAF_NEAR, rng, light=0.5)
    S.spores(c, rng, 60, (1.0, 0.8, 0.5), (0.05, 0.95), (0.8, 2.2), 0.5)
    S.vignette(c, 0.55)
    # Behind the play: darker and flatter than anything in front of it.
    rgb = c[..., :3]
    mean = rgb.mean(axis=(0, 1), keepdims=True)
    c[..., :3] = np.clip((mean + (rgb - mean) * 0.75) * 0.7, 0, 1)
    P.save_png(c, OUT, alpha=False)
    print("painted", OUT)


if __name__ == "__main__":
    main()
