#!/usr/bin/python3
"""Paints the wasp meadow's backdrop: a warm, golden evening over tall meadow flowers, with a
paper wasps' nest hanging from a far stalk.

Run from the repository root: /usr/bin/python3 tools/assets/gen_background_meadow.py
Writes assets/images/MeadowAreaBackground.png (2048 x 512, no alpha), darkened and softened like
the other backdrops so that the play stands out in front of it. Fixed seeds: a second run writes
the same bytes.
"""

import math
import os
import sys

import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import paint as P  # noqa: E402
import scenery as S  # noqa: E402

ASSETS = "assets"

# The meadow's mood, in the scenery's palette order: a low golden sun on the right, warm haze,
# yellow-green blades, pale caps, pollen for spores.
MEADOW_MOOD = dict(sky=(0.10, 0.08, 0.10), glow=(1.00, 0.72, 0.30), haze=(0.50, 0.38, 0.20),
                   ground=(0.14, 0.12, 0.05), far=(0.34, 0.30, 0.16), blade=(0.26, 0.32, 0.08),
                   caps=[(0.80, 0.62, 0.36), (0.70, 0.50, 0.28), (0.86, 0.76, 0.55)],
                   spore=(1.0, 0.88, 0.45), glow_x=0.70, glow_y=0.52)

PETALS = [(0.95, 0.80, 0.25), (0.92, 0.55, 0.30), (0.85, 0.45, 0.55), (0.95, 0.92, 0.80)]


def out(path):
    full = os.path.join(ASSETS, path)
    os.makedirs(os.path.dirname(full), exist_ok=True)
    return full


def flower(c, x, ybase, height, radius, petal, rng, haze_amt):
    """A meadow flower: a thin curved stalk and a flat head of petals seen from the side."""
    h, w = c.shape[:2]
    lean = rng.uniform(-0.15, 0.15) * height
    top = (x + lean, ybase - height)
    stalk = P.quad_bezier((x, ybase), (x + lean * 0.2, ybase - height * 0.6), top, 24)
    mask = P.line_mask(w, h, [tuple(p) for p in stalk], max(1.0, radius * 0.12))
    stalk_col = P.mix(MEADOW_MOOD["blade"], MEADOW_MOOD["haze"], haze_amt)
    P.paint(c, stalk_col, mask)
    n = int(rng.integers(7, 12))
    head = np.zeros((h, w), np.float32)
    for k in range(n):
        a = math.pi * (k + 0.5) / n
        px = top[0] + math.cos(a) * radius
        py = top[1] - math.sin(a) * radius * 0.45
        head = np.maximum(head, P.ellipse_mask(w, h, (top[0] + px) / 2, (top[1] + py) / 2,
                                               radius * 0.55, radius * 0.2, blur=0.8))
    col = P.mix(petal, MEADOW_MOOD["haze"], haze_amt)
    P.paint(c, col, head)
    P.add_light(c, MEADOW_MOOD["glow"], np.clip(head - P.shift(head, -1, 1), 0, 1),
                0.6 * (1 - haze_amt))
    eye = P.ellipse_mask(w, h, top[0], top[1], radius * 0.28, radius * 0.16, blur=0.6)
    P.paint(c, P.mix((0.35, 0.22, 0.08), MEADOW_MOOD["haze"], haze_amt), eye)


def wasp_nest(c, x, y, size, rng):
    """A grey paper nest hanging from a stalk: banded shell, a dark opening at its foot."""
    h, w = c.shape[:2]
    gx, gy = P.grid(w, h)
    stalk = P.line_mask(w, h, [(x, 0), (x + size * 0.1, y - size * 0.9)], size * 0.05)
    P.paint(c, P.mix(MEADOW_MOOD["far"], (0, 0, 0), 0.3), stalk)
    shell = P.ellipse_mask(w, h, x, y, size * 0.55, size * 0.8, blur=1.5)
    bands = 0.5 + 0.5 * np.sin((gy - y) / (size * 0.09) + P.fbm(w, h, rng, base=8, octaves=2) * 2)
    col = np.asarray((0.52, 0.48, 0.42), np.float32) * (0.7 + 0.35 * bands)[..., None]
    col = P.mix(col, MEADOW_MOOD["haze"], 0.35)
    P.paint(c, col, shell)
    shade = np.clip((gx - (x - size * 0.55)) / (size * 1.1), 0, 1)
    P.add_light(c, MEADOW_MOOD["glow"], shell * shade, 0.25)
    hole = P.ellipse_mask(w, h, x, y + size * 0.62, size * 0.16, size * 0.1, blur=1.0)
    P.paint(c, (0.06, 0.04, 0.03), hole, 0.9)


def make_background():
    w, h = 2048, 512
    S.MOODS["meadow"] = MEADOW_MOOD
    c = S.forest_scene(w, h, "meadow", 2701, horizon=0.64, mushrooms=True, clovers=True)
    rng = np.random.default_rng(2702)
    hz = 0.64 * h
    wasp_nest(c, 0.22 * w, 0.30 * h, 0.07 * h, rng)
    wasp_nest(c, 0.81 * w, 0.24 * h, 0.05 * h, rng)
    # Far flowers first, hazier; near ones larger and clearer.
    for layer, (count, scale, haze_amt) in enumerate(((40, 0.6, 0.55), (26, 1.0, 0.25))):
        for _ in range(count):
            x = rng.uniform(-0.02, 1.02) * w
            ybase = hz + rng.uniform(0.02, 0.12 + 0.1 * layer) * h
            height = rng.uniform(0.15, 0.35) * h * scale
            radius = rng.uniform(0.012, 0.022) * h * scale * 2
            petal = PETALS[int(rng.integers(len(PETALS)))]
            flower(c, x, ybase, height, radius, petal, rng, haze_amt)
    S.spores(c, rng, 90, MEADOW_MOOD["spore"], (0.1, 0.75), (0.8, 2.0), 0.5)
    # Behind the play: darker and flatter than anything in front of it (as the other backdrops).
    c[..., :3] = np.clip((c[..., :3] - 0.5) * 0.7 + 0.5, 0, 1) * 0.62
    P.save_png(c, out("images/MeadowAreaBackground.png"), alpha=False)


def main():
    print("painting the wasp meadow", flush=True)
    make_background()


if __name__ == "__main__":
    main()
