#!/usr/bin/python3
"""Writes the game's desktop icon at 32, 48, 64, 128 and 256 pixels into packaging/icons/.

The quarrow hat, the goal at the end of the journey, is drawn from its own model and texture
(assets/models/Quarrow.obj) by the model preview renderer, lit by the areas' lights, seen a little
from above, on a rounded tile of the areas' dusk colour. Each size is rendered on its own (at four
times the size, then averaged down), so small icons stay sharp. Deterministic: no random numbers,
and the PNG files are written without time stamps.

    /usr/bin/python3 tools/assets/gen_icons.py
"""

import os
import sys

import numpy as np
from PIL import Image

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "models"))

import preview  # noqa: E402

ROOT = os.path.normpath(os.path.join(HERE, "..", ".."))
OUT = os.path.join(ROOT, "packaging", "icons")
SIZES = (32, 48, 64, 128, 256)
SUPERSAMPLE = 4


def tile_mask(size):
    """Coverage of a square with rounded corners (radius a fifth of the side), sampled 4 x 4 per
    pixel for smooth edges."""
    n = size * SUPERSAMPLE
    c = (np.arange(n) + 0.5) / SUPERSAMPLE
    x, y = np.meshgrid(c, c)
    r = size / 5.0
    inner = np.clip(np.maximum(np.abs(x - size / 2) - (size / 2 - r), 0), 0, None)
    inner_y = np.clip(np.maximum(np.abs(y - size / 2) - (size / 2 - r), 0), 0, None)
    inside = (inner ** 2 + inner_y ** 2 <= r * r).astype(np.float64)
    return inside.reshape(size, SUPERSAMPLE, size, SUPERSAMPLE).mean(axis=(1, 3))


def render_icon(groups, mats, nmap, size):
    lo, hi = preview.model_bounds(groups)
    center = (lo + hi) / 2
    radius = np.linalg.norm(hi - lo) / 2
    dist = radius / np.tan(np.radians(15)) * 0.92
    eye = preview.look_from(-25, 28, center, dist)
    img = preview.render_view(groups, mats, nmap, eye, center, size, ss=SUPERSAMPLE)
    img = img.reshape(size, SUPERSAMPLE, size, SUPERSAMPLE, 3).mean(axis=(1, 3))
    # A soft lighter glow behind the hat, brightest above its middle.
    c = (np.arange(size) + 0.5) / size
    x, y = np.meshgrid(c, c)
    glow = np.clip(1.0 - np.hypot(x - 0.5, y - 0.42) / 0.62, 0, 1)[..., None] ** 2
    background = np.all(np.abs(img - preview.CLEAR) < 1e-9, axis=-1)[..., None]
    img = np.where(background, img + glow * np.array([0.16, 0.14, 0.05]), img)
    rgba = np.concatenate([np.clip(img, 0, 1), tile_mask(size)[..., None]], axis=-1)
    return Image.fromarray((rgba * 255 + 0.5).astype(np.uint8), "RGBA")


def main():
    os.makedirs(OUT, exist_ok=True)
    groups, mats, nmap = preview.load_model("Quarrow")
    for size in SIZES:
        path = os.path.join(OUT, f"mossfang_{size}.png")
        render_icon(groups, mats, nmap, size).save(path, optimize=True)
        print("wrote", os.path.relpath(path, ROOT))


if __name__ == "__main__":
    main()
