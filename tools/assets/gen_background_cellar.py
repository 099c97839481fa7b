#!/usr/bin/python3
"""Paints the spider cellar's backdrop: a stone vault under the forest floor at insect scale.

Run from the repository root: /usr/bin/python3 tools/assets/gen_background_cellar.py
Writes assets/images/CellarBackground.png (1536 x 512, opaque). Back to front: the far wall of
rough stones fading into the dark, a row of arches on pillars, roots hanging through cracks in the
vault with thin shafts of dusk light between them, old webs in the arches, spiders hanging far
away on long threads, a few glowing toadstools at the pillars' feet, and drifting spores. The
seed is fixed, so a second run writes the same bytes.
"""

import math
import os
import sys

import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import paint as P  # noqa: E402
import scenery as S  # noqa: E402

OUT = os.path.join("assets", "images", "CellarBackground.png")
W, H = 1536, 512
SEED = 2601

STONE = (0.20, 0.15, 0.14)
MORTAR = (0.07, 0.05, 0.06)
DEEP = (0.05, 0.03, 0.06)
GLOW = (0.45, 0.85, 0.70)      # the toadstools' cold glow
SHAFT = (0.95, 0.62, 0.32)     # dusk light falling through the cracks


def stones(w, h, rng, course=(38, 58), length=(60, 120)):
    """Colour of rough courses of stones: noisy rounded blocks in dark mortar."""
    tex = P.fbm(w, h, rng, base=18, octaves=5)
    shade = np.zeros((h, w), np.float32)
    y = -10.0
    while y < h:
        ch = rng.uniform(*course)
        x = -rng.uniform(0, 60)
        while x < w:
            cw = rng.uniform(*length)
            m = P.rounded_rect_mask(w, h, x + 3, y + 3, x + cw - 3, y + ch - 3, 10, blur=2.0)
            shade = np.maximum(shade, m * rng.uniform(0.55, 1.0))
            x += cw
        y += ch
    return P.mix(MORTAR, STONE, shade) * (0.7 + 0.5 * tex)[..., None]


def arches(c, rng, count):
    """The vault seen from inside: stone pillars joined by round arches, lit from the upper right,
    in front of the darker hall behind them. Returns the arches' openings."""
    h, w = c.shape[:2]
    gx, gy = P.grid(w, h)
    span = w / count
    mask = np.zeros((h, w), np.float32)
    spring = 0.42 * h
    for i in range(count + 1):
        x = i * span + rng.uniform(-12, 12)
        pw = rng.uniform(0.16, 0.22) * span
        mask = np.maximum(mask, P.rounded_rect_mask(w, h, x - pw / 2, spring - 10, x + pw / 2,
                                                    h + 10, 6, blur=1.5))
    opening = np.zeros((h, w), np.float32)
    for i in range(count):
        cx = (i + 0.5) * span
        rx = 0.5 * span - 0.1 * span
        opening = np.maximum(opening, P.ellipse_mask(w, h, cx, spring, rx, 0.26 * h, blur=2.0))
    mask = np.maximum(mask, P.smoothstep(spring + 4, spring - 4, gy) * (1 - opening))
    # Each opening glows faintly from a lantern far back in the hall.
    for i in range(count):
        cx = (i + 0.5) * span + rng.uniform(-0.15, 0.15) * span
        P.add_light(c, (0.80, 0.45, 0.22), P.radial(w, h, cx, 0.78 * h, 0.35 * span, 0.3 * h),
                    0.10)
    near = stones(w, h, rng, (30, 44), (40, 90))
    depth = np.exp(-((gy - 0.5 * h) / (0.55 * h)) ** 2)
    P.paint(c, near * (0.55 + 0.6 * depth)[..., None], mask)
    # The key light from the upper right catches the arches' inner edges; shadow on the left.
    edge = np.clip(mask - P.shift(mask, -3, 0), 0, 1)
    P.add_light(c, (0.45, 0.26, 0.12), edge, 0.6)
    P.paint(c, (0.02, 0.01, 0.02), np.clip(P.shift(mask, 6, 0) - mask, 0, 1) * opening, 0.5)
    return opening


def root(c, rng, x, length, thickness):
    """A root hanging from the vault: a wavering, tapering line with a few side rootlets."""
    h, w = c.shape[:2]
    pts = []
    sway = rng.uniform(-0.25, 0.25)
    for k in range(24):
        t = k / 23
        pts.append((x + sway * length * t + math.sin(t * 7 + x) * 6, -5 + length * t))
    col = (0.10, 0.07, 0.05)
    for k in range(len(pts) - 1):
        wdt = thickness * (1 - k / len(pts)) + 1.0
        P.paint(c, col, P.line_mask(w, h, [pts[k], pts[k + 1]], wdt, blur=0.4))
    for _ in range(int(rng.integers(2, 5))):
        k = int(rng.integers(4, 20))
        bx, by = pts[k]
        d = rng.choice([-1, 1])
        tip = (bx + d * rng.uniform(12, 35), by + rng.uniform(10, 40))
        P.paint(c, col, P.line_mask(w, h, [tuple(p) for p in P.quad_bezier(
            (bx, by), (bx + d * 6, by + 12), tip, 10)], 1.4, blur=0.3))
    rim = P.line_mask(w, h, [(p[0] + 1.5, p[1]) for p in pts], 1.0, blur=0.5)
    P.add_light(c, (0.45, 0.25, 0.10), rim, 0.35)


def hanging_spider(c, x, y, size):
    """A far spider on its thread: a dark body, eight bent legs, a glint of light on its back.
    Small and hazy, so that nobody takes it for one of the spiders in play."""
    h, w = c.shape[:2]
    P.add_light(c, (0.55, 0.55, 0.65), P.line_mask(w, h, [(x, -2), (x, y - size)], 0.6), 0.2)
    body = P.ellipse_mask(w, h, x, y, size * 0.55, size * 0.7, blur=0.6)
    body = np.maximum(body, P.ellipse_mask(w, h, x, y - size * 0.85, size * 0.35, size * 0.35,
                                           blur=0.6))
    legs = np.zeros((h, w), np.float32)
    for side in (-1, 1):
        for k in range(4):
            a = (k - 1.5) * 0.45
            kx = x + side * size * 1.3
            ky = y - size * 0.4 + a * size * 1.1
            fx = x + side * size * 1.9
            fy = ky + size * 0.9
            legs = np.maximum(legs, P.line_mask(w, h, [(x, y - size * 0.3), (kx, ky - size * 0.5),
                                                       (fx, fy)], max(1.0, size * 0.12)))
    P.paint(c, (0.06, 0.04, 0.05), np.maximum(body, legs), 0.7)
    P.add_light(c, (0.6, 0.35, 0.2), P.ellipse_mask(w, h, x + size * 0.2, y - size * 0.2,
                                                   size * 0.18, size * 0.22, blur=1.0), 0.4)


def toadstools(c, rng, x, floor):
    """A little cluster of pale toadstools glowing cold at a pillar's foot."""
    h, w = c.shape[:2]
    for _ in range(int(rng.integers(2, 5))):
        sx = x + rng.uniform(-30, 30)
        s = rng.uniform(10, 22)
        S.mushroom(c, sx, floor + rng.uniform(-4, 4), s * rng.uniform(1.0, 1.6), s * 1.3, s * 0.45,
                   (0.35, 0.55, 0.50), rng, light=0.35, haze=DEEP, haze_amt=0.35,
                   lean=rng.uniform(-0.12, 0.12), glow=0.0)
    P.add_light(c, GLOW, P.radial(w, h, x, floor - 14, 70, 35), 0.22)


def main():
    rng = np.random.default_rng(SEED)
    c = P.canvas(W, H)
    # The hall behind the arches: far stones sunk in the dark.
    c[..., :3] = P.mix(DEEP, stones(W, H, rng), 0.45)
    c[..., 3] = 1.0
    opening = arches(c, rng, 6)
    S.haze_band(c, 0.62 * H, 0.1 * H, (0.16, 0.10, 0.12), 0.3)
    for k in range(5):
        S.cobweb(c, (k + 0.5) * W / 6 + rng.uniform(-60, 60), 0.34 * H + rng.uniform(-15, 25),
                 rng.uniform(0.09, 0.15) * H, rng)
    # Shafts of dusk light through the vault's cracks, and the roots that made the cracks.
    gx, gy = P.grid(W, H)
    for _ in range(4):
        x = rng.uniform(0.05, 0.95) * W
        lean = rng.uniform(-0.25, 0.25)
        width = rng.uniform(14, 30)
        shaft = np.exp(-((gx - x - lean * gy) / width) ** 2) * np.exp(-gy / (0.8 * H))
        P.add_light(c, SHAFT, shaft, 0.10)
        root(c, rng, x + rng.uniform(-20, 20), rng.uniform(0.25, 0.5) * H, rng.uniform(5, 9))
    for _ in range(9):
        root(c, rng, rng.uniform(0, W), rng.uniform(0.12, 0.35) * H, rng.uniform(3, 7))
    for _ in range(7):
        hanging_spider(c, rng.uniform(0.03, 0.97) * W, rng.uniform(0.12, 0.3) * H,
                       rng.uniform(2.5, 4.5))
    # The floor: packed earth, darker towards the viewer.
    floor = 0.80 * H
    ground = P.smoothstep(floor - 6, floor + 6, gy + 8 * P.fbm(W, H, rng, base=60, octaves=3))
    tex = P.fbm(W, H, rng, base=10, octaves=4)
    P.paint(c, np.asarray((0.11, 0.07, 0.05), np.float32) * (0.7 + 0.6 * tex)[..., None], ground)
    for k in range(7):
        toadstools(c, rng, (k + rng.uniform(0.1, 0.9)) * W / 7, floor + 4)
    for _ in range(14):
        S.pebble(c, rng.uniform(0, W), floor + rng.uniform(10, 0.18 * H), rng.uniform(6, 16),
                 rng.uniform(3, 8), rng)
    S.spores(c, rng, 70, (0.55, 0.95, 0.80), (0.1, 0.85), (0.8, 2.2), 0.45)
    S.vignette(c, 0.6)
    # Behind the play: darker and flatter than anything in front of it.
    rgb = c[..., :3]
    mean = rgb.mean(axis=(0, 1), keepdims=True)
    c[..., :3] = np.clip((mean + (rgb - mean) * 0.8) * 0.9, 0, 1)
    P.save_png(c, OUT, alpha=False)
    print("painted", OUT)


if __name__ == "__main__":
    main()
