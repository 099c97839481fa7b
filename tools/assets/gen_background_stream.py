#!/usr/bin/python3
"""Paints the lily stream's pictures: its backdrop and the strip of water that runs under the play.

Run from the repository root: /usr/bin/python3 tools/assets/gen_background_stream.py [background]
[water] (both when none is named).
Writes assets/images/StreamAreaBackground.png (2048 x 512, no alpha: a cool, blue-green dusk over a
forest floor that a stream crosses, reeds and lily pads on it) and assets/images/streamWater.png
(1024 x 128 with alpha: the stream's near water, a bright rippled surface line on top, clear dark
water fading out downwards). The strip repeats seamlessly left to right, so a level lays several
side by side. Fixed seeds: a second run writes the same bytes.
"""

import math
import os
import sys

import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import paint as P  # noqa: E402
import scenery as S  # noqa: E402

ASSETS = "assets"

# The stream's mood, in the scenery's palette order: a cooler dusk than the clearing's, the glow
# low and to the left, caps pale, spores a cold green.
STREAM_MOOD = dict(sky=(0.05, 0.07, 0.12), glow=(0.55, 0.75, 0.70), haze=(0.20, 0.30, 0.30),
                   ground=(0.08, 0.12, 0.08), far=(0.16, 0.24, 0.24), blade=(0.14, 0.26, 0.12),
                   caps=[(0.62, 0.62, 0.50), (0.48, 0.40, 0.30), (0.70, 0.55, 0.45)],
                   spore=(0.70, 1.0, 0.85), glow_x=0.30, glow_y=0.56)

WATER_TOP = (0.55, 0.80, 0.78)
WATER_DEEP = (0.03, 0.10, 0.12)


def out(path):
    full = os.path.join(ASSETS, path)
    os.makedirs(os.path.dirname(full), exist_ok=True)
    return full


def periodic_noise(w, h, rng, periods, octaves=4):
    """Noise that wraps round left to right: sums of waves whose periods divide the width."""
    x = np.arange(w, dtype=np.float32)[None, :] / w
    y = np.arange(h, dtype=np.float32)[:, None] / h
    total = np.zeros((h, w), np.float32)
    amp = 1.0
    for o in range(octaves):
        for _ in range(3):
            k = periods * (2 ** o) + int(rng.integers(0, 3))
            phase = rng.uniform(0, 2 * math.pi)
            ky = rng.uniform(0.5, 3.0) * (2 ** o)
            total += amp * np.sin(2 * math.pi * k * x + ky * 2 * math.pi * y + phase)
        amp *= 0.5
    total -= total.min()
    return total / max(total.max(), 1e-6)


def stream_band(c, rng, top, bottom):
    """The far stream across the ground: dark water, the glow's reflection and ripples."""
    h, w = c.shape[:2]
    gx, gy = P.grid(w, h)
    wobble = P.fbm(w, 1, rng, base=w // 12, octaves=3)[0] * h * 0.02
    upper = top + wobble[None, :]
    mask = P.smoothstep(upper - 1.5, upper + 1.5, gy) * P.smoothstep(bottom + 4, bottom - 4, gy)
    depth = np.clip((gy - top) / max(bottom - top, 1), 0, 1)
    m = STREAM_MOOD
    col = P.mix(P.mix(m["haze"], m["glow"], 0.25), WATER_DEEP, depth ** 0.6)
    P.paint(c, col, mask)
    # The glow mirrored in the water, broken into horizontal streaks.
    streaks = P.fbm(w, h, rng, base=8, octaves=3)
    streaks = P.smoothstep(0.55, 0.8, streaks) * (0.5 + 0.5 * np.sin(gy * 1.7))
    refl = P.radial(w, h, m["glow_x"] * w, top, 0.10 * w, (bottom - top) * 1.2)
    P.add_light(c, m["glow"], refl * streaks * mask, 0.9)
    # Bright lines where the surface catches the light.
    line = np.exp(-((gy - upper) / 1.2) ** 2)
    P.add_light(c, WATER_TOP, line, 0.5)


def lily_pad(c, x, y, r, rng, haze_amt):
    """A round pad seen nearly edge-on, with its notch and a light rim."""
    h, w = c.shape[:2]
    pad = P.ellipse_mask(w, h, x, y, r, r * 0.28, blur=0.8)
    notch = P.polygon_mask(w, h, [(x, y), (x + r * 1.1, y - r * 0.12), (x + r * 1.1, y + r * 0.05)])
    pad = np.clip(pad - notch, 0, 1)
    col = P.mix((0.16, 0.34, 0.12), STREAM_MOOD["haze"], haze_amt)
    P.paint(c, col, pad)
    rim = np.clip(pad - P.shift(pad, 0, 1), 0, 1)
    P.add_light(c, (0.5, 0.7, 0.4), rim, 0.5 * (1 - haze_amt))


def make_background():
    w, h = 2048, 512
    S.MOODS["stream"] = STREAM_MOOD
    c = S.forest_scene(w, h, "stream", 2601, horizon=0.60, mushrooms=True, clovers=True)
    rng = np.random.default_rng(2602)
    top, bottom = 0.70 * h, 0.86 * h
    stream_band(c, rng, top, bottom)
    for _ in range(22):
        x = rng.uniform(0, w)
        y = rng.uniform(top + 6, bottom - 6)
        depth = (y - top) / (bottom - top)
        lily_pad(c, x, y, rng.uniform(10, 22) * (0.7 + 0.6 * depth), rng, 0.35 * (1 - depth))
    # Reeds along the near bank.
    for _ in range(40):
        x = rng.uniform(-0.02, 1.02) * w
        S.grass_blade(c, (x, bottom + rng.uniform(0, 0.04) * h), rng.uniform(0.12, 0.3) * h,
                      rng.uniform(-0.2, 0.2), rng.uniform(0.004, 0.008) * w,
                      P.mix(STREAM_MOOD["blade"], (0, 0, 0), 0.3), rng, light=0.6)
    S.spores(c, rng, 60, STREAM_MOOD["spore"], (0.1, 0.7), (0.8, 2.2), 0.5)
    # Behind the play: darker and flatter than anything in front of it (as the other backdrops).
    c[..., :3] = np.clip((c[..., :3] - 0.5) * 0.7 + 0.5, 0, 1) * 0.62
    P.save_png(c, out("images/StreamAreaBackground.png"), alpha=False)


def make_water():
    w, h = 1024, 128
    rng = np.random.default_rng(2603)
    c = P.canvas(w, h, (0, 0, 0), 0.0)
    gx, gy = P.grid(w, h)
    # The surface rides a little up and down along the strip, repeating exactly at its ends.
    x = np.arange(w, dtype=np.float32) / w
    surface = 10.0 + 2.0 * np.sin(2 * math.pi * 4 * x) + 1.2 * np.sin(2 * math.pi * 11 * x + 1.3)
    below = gy - surface[None, :]
    body = P.smoothstep(-1.0, 1.5, below)
    depth = np.clip(below / (h - 10.0), 0, 1)
    ripples = periodic_noise(w, h, rng, 6)
    col = P.mix((0.14, 0.36, 0.38), WATER_DEEP, depth ** 0.7)
    col = col * (0.8 + 0.35 * ripples)[..., None]
    c[..., :3] = col
    # Clear near the surface, darker with depth, fading out at the bottom of the strip.
    c[..., 3] = body * (0.72 + 0.26 * depth) * P.smoothstep(h, h - 24, gy)
    # Light on the surface: a bright line and streaks just under it.
    line = np.exp(-(below / 1.3) ** 2)
    P.add_light(c, WATER_TOP, line, 0.9)
    c[..., 3] = np.maximum(c[..., 3], line * 0.85)
    streak = P.smoothstep(0.62, 0.85, ripples) * np.exp(-np.clip(below, 0, None) / 14.0) * body
    P.add_light(c, WATER_TOP, streak, 0.35)
    P.save_png(c, out("images/streamWater.png"), alpha=True)


def main():
    only = sys.argv[1:] or ["background", "water"]
    print("painting the lily stream:", " ".join(only), flush=True)
    if "background" in only:
        make_background()
    if "water" in only:
        make_water()


if __name__ == "__main__":
    main()
