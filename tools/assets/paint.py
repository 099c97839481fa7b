"""Small painting kit for the generated pictures.

A canvas is a float32 array of shape (h, w, 4) holding straight (not premultiplied) RGBA in 0..1.
Shapes are rasterised by Pillow on a supersampled mask and brought down with a Lanczos filter, so
every edge is anti-aliased; colours are laid on with masks, gradients and noise so that nothing
looks like a flat box. Every random choice comes from a numpy Generator that the caller seeds, so
the same script always paints the same picture.
"""

import math

import numpy as np
from PIL import Image, ImageDraw, ImageFilter, ImageFont

SUPERSAMPLE = 4

# The one palette of the game: dusk on a mossy forest floor.
CLEAR = (0.12, 0.075, 0.03)          # the areas' clear colour
UMBER = (0.20, 0.12, 0.06)
BARK = (0.33, 0.20, 0.10)
MOSS = (0.30, 0.36, 0.12)
MOSS_DARK = (0.13, 0.17, 0.06)
VIOLET = (0.30, 0.16, 0.34)
VIOLET_DARK = (0.14, 0.08, 0.18)
DUSK_GLOW = (1.00, 0.62, 0.30)
EMBER = (0.95, 0.45, 0.15)
CREAM = (0.98, 0.90, 0.74)
GOLD = (1.00, 0.80, 0.35)
COOL = (0.55, 0.62, 0.85)             # the cool back light


def canvas(w, h, colour=(0, 0, 0), alpha=1.0):
    """A new canvas filled with one colour."""
    c = np.zeros((h, w, 4), np.float32)
    c[..., :3] = colour
    c[..., 3] = alpha
    return c


def smoothstep(e0, e1, x):
    """Hermite step from 0 at e0 to 1 at e1 (works for e0 > e1 too)."""
    t = np.clip((x - e0) / (e1 - e0), 0.0, 1.0)
    return t * t * (3.0 - 2.0 * t)


def mix(a, b, t):
    """Linear blend of colours or arrays a and b by t (t broadcast over colour channels)."""
    a = np.asarray(a, np.float32)
    b = np.asarray(b, np.float32)
    t = np.asarray(t, np.float32)
    if t.ndim == 2:
        t = t[..., None]
    return a * (1.0 - t) + b * t


def grid(w, h):
    """Pixel-centre coordinates (x, y) with y growing downward."""
    y, x = np.mgrid[0:h, 0:w].astype(np.float32)
    return x + 0.5, y + 0.5


def value_noise(w, h, cell, rng):
    """Smooth noise in 0..1: a random lattice every `cell` pixels, bicubically interpolated."""
    gw = max(2, int(math.ceil(w / cell)) + 3)
    gh = max(2, int(math.ceil(h / cell)) + 3)
    lattice = rng.random((gh, gw)).astype(np.float32)
    img = Image.fromarray(lattice, mode="F").resize((gw * cell, gh * cell), Image.BICUBIC)
    ox = int(rng.integers(0, cell))
    oy = int(rng.integers(0, cell))
    a = np.asarray(img, np.float32)[oy:oy + h, ox:ox + w]
    return np.clip(a, 0.0, 1.0)


def fbm(w, h, rng, base=64, octaves=5, gain=0.5):
    """Fractal noise in 0..1 made of `octaves` layers of value noise, finest last."""
    total = np.zeros((h, w), np.float32)
    amp = 1.0
    norm = 0.0
    cell = base
    for _ in range(octaves):
        total += amp * value_noise(w, h, max(1, int(cell)), rng)
        norm += amp
        amp *= gain
        cell /= 2.0
    total /= norm
    lo, hi = float(total.min()), float(total.max())
    return (total - lo) / max(hi - lo, 1e-6)


def _local_mask(w, h, x0, y0, x1, y1, blur, draw):
    """Renders a shape only inside its padded bounding box and places it into a full-size mask.

    `draw(d, ox, oy, s)` draws on a supersampled Pillow image whose origin is the pixel (ox, oy).
    """
    pad = int(math.ceil(blur * 3)) + 2
    bx0 = max(0, int(math.floor(x0)) - pad)
    by0 = max(0, int(math.floor(y0)) - pad)
    bx1 = min(w, int(math.ceil(x1)) + pad)
    by1 = min(h, int(math.ceil(y1)) + pad)
    out = np.zeros((h, w), np.float32)
    if bx1 <= bx0 or by1 <= by0:
        return out
    lw, lh = bx1 - bx0, by1 - by0
    s = SUPERSAMPLE
    img = Image.new("L", (lw * s, lh * s), 0)
    draw(ImageDraw.Draw(img), bx0, by0, s)
    img = img.resize((lw, lh), Image.LANCZOS)
    if blur > 0:
        img = img.filter(ImageFilter.GaussianBlur(blur))
    out[by0:by1, bx0:bx1] = np.asarray(img, np.float32) / 255.0
    return out


def polygon_mask(w, h, points, blur=0.0):
    """Anti-aliased coverage of a polygon given in pixel coordinates."""
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]

    def draw(d, ox, oy, s):
        d.polygon([((x - ox) * s, (y - oy) * s) for x, y in points], fill=255)

    return _local_mask(w, h, min(xs), min(ys), max(xs), max(ys), blur, draw)


def ellipse_mask(w, h, cx, cy, rx, ry, blur=0.0):
    """Anti-aliased coverage of an axis-aligned ellipse."""
    def draw(d, ox, oy, s):
        d.ellipse([(cx - rx - ox) * s, (cy - ry - oy) * s, (cx + rx - ox) * s,
                   (cy + ry - oy) * s], fill=255)

    return _local_mask(w, h, cx - rx, cy - ry, cx + rx, cy + ry, blur, draw)


def rounded_rect_mask(w, h, x0, y0, x1, y1, radius, blur=0.0):
    """Anti-aliased coverage of a rounded rectangle."""
    def draw(d, ox, oy, s):
        d.rounded_rectangle([(x0 - ox) * s, (y0 - oy) * s, (x1 - ox) * s - 1, (y1 - oy) * s - 1],
                            radius=radius * s, fill=255)

    return _local_mask(w, h, x0, y0, x1, y1, blur, draw)


def line_mask(w, h, points, width, blur=0.0):
    """Anti-aliased coverage of a polyline of the given width with round ends and joints."""
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    r = width / 2.0

    def draw(d, ox, oy, s):
        pts = [((x - ox) * s, (y - oy) * s) for x, y in points]
        d.line(pts, fill=255, width=max(1, int(round(width * s))), joint="curve")
        for x, y in (pts[0], pts[-1]):
            d.ellipse([x - r * s, y - r * s, x + r * s, y + r * s], fill=255)

    return _local_mask(w, h, min(xs) - r, min(ys) - r, max(xs) + r, max(ys) + r, blur, draw)


def blur(a, radius):
    """Gaussian blur of a 2-D array in 0..1 (values outside are clipped)."""
    img = Image.fromarray(np.clip(a * 255.0, 0, 255).astype(np.uint8), mode="L")
    return np.asarray(img.filter(ImageFilter.GaussianBlur(radius)), np.float32) / 255.0


def blur_float(a, radius):
    """Gaussian blur of a float 2-D array, keeping its range (separable, exact, deterministic)."""
    k = gaussian_kernel(radius)
    out = np.apply_along_axis(lambda r: np.convolve(r, k, mode="same"), 1, a)
    return np.apply_along_axis(lambda col: np.convolve(col, k, mode="same"), 0, out)


def gaussian_kernel(radius):
    """Normalised 1-D gaussian with sigma = radius."""
    n = max(1, int(math.ceil(radius * 3)))
    x = np.arange(-n, n + 1, dtype=np.float32)
    k = np.exp(-0.5 * (x / max(radius, 1e-3)) ** 2)
    return k / k.sum()


def paint(c, colour, mask, opacity=1.0):
    """Lays `colour` (a tuple or an (h, w, 3) array) over the canvas through `mask`."""
    m = np.clip(mask * opacity, 0.0, 1.0)[..., None]
    col = np.asarray(colour, np.float32)
    c[..., :3] = c[..., :3] * (1.0 - m) + col * m
    # Alpha composites as "over": covered pixels become more opaque.
    c[..., 3] = c[..., 3] + m[..., 0] * (1.0 - c[..., 3])


def add_light(c, colour, mask, strength=1.0):
    """Adds light (additive blending on the colour) through `mask`, not touching alpha."""
    m = np.clip(mask * strength, 0.0, None)[..., None]
    c[..., :3] = c[..., :3] + np.asarray(colour, np.float32) * m


def radial(w, h, cx, cy, rx, ry=None):
    """1 at (cx, cy) falling to 0 at the ellipse of radii rx, ry, with a soft gaussian-like fall."""
    ry = rx if ry is None else ry
    x, y = grid(w, h)
    d2 = ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2
    return np.exp(-3.0 * d2).astype(np.float32)


def vertical_gradient(w, h, stops):
    """An (h, w, 3) gradient through colour stops [(t, colour), ...] with t from 0 (top) to 1."""
    t = (np.arange(h, dtype=np.float32) + 0.5) / h
    ts = np.array([s[0] for s in stops], np.float32)
    cols = np.array([s[1] for s in stops], np.float32)
    out = np.stack([np.interp(t, ts, cols[:, i]) for i in range(3)], axis=-1)
    return np.broadcast_to(out[:, None, :], (h, w, 3)).copy()


def quad_bezier(p0, p1, p2, n=32):
    """Points along a quadratic Bezier curve."""
    t = np.linspace(0.0, 1.0, n)[:, None]
    p0, p1, p2 = (np.asarray(p, np.float32) for p in (p0, p1, p2))
    return (1 - t) ** 2 * p0 + 2 * (1 - t) * t * p1 + t ** 2 * p2


def blade_outline(base, ctrl, tip, width, n=40, taper=1.0):
    """Outline of a tapering blade along a Bezier spine: base width `width`, pointed tip."""
    spine = quad_bezier(base, ctrl, tip, n)
    d = np.gradient(spine, axis=0)
    d /= np.maximum(np.linalg.norm(d, axis=1, keepdims=True), 1e-6)
    normal = np.stack([-d[:, 1], d[:, 0]], axis=1)
    t = np.linspace(0.0, 1.0, n)[:, None]
    half = 0.5 * width * (1.0 - t) ** taper
    left = spine + normal * half
    right = spine - normal * half
    return [tuple(p) for p in left] + [tuple(p) for p in right[::-1]], spine


def font(path, size):
    """A Pillow font from a file path."""
    return ImageFont.truetype(path, size)


def text_mask(w, h, text, fnt, x, y, anchor="la", stroke=0):
    """Coverage of `text` drawn with its anchor at (x, y) (Pillow anchors, e.g. "mm")."""
    img = Image.new("L", (w, h), 0)
    ImageDraw.Draw(img).text((x, y), text, font=fnt, fill=255, anchor=anchor, stroke_width=stroke,
                             stroke_fill=255)
    return np.asarray(img, np.float32) / 255.0


def fit_font(path, text, max_w, max_h, start):
    """The largest size not above `start` at which `text` fits in max_w x max_h."""
    size = start
    while size > 6:
        f = ImageFont.truetype(path, size)
        x0, y0, x1, y1 = f.getbbox(text)
        if x1 - x0 <= max_w and y1 - y0 <= max_h:
            return f
        size -= 1
    return ImageFont.truetype(path, size)


def shift(a, dx, dy):
    """Moves a 2-D array by whole pixels, filling with zeros."""
    out = np.zeros_like(a)
    h, w = a.shape[:2]
    xs0, xs1 = max(0, -dx), min(w, w - dx)
    ys0, ys1 = max(0, -dy), min(h, h - dy)
    out[ys0 + dy:ys1 + dy, xs0 + dx:xs1 + dx] = a[ys0:ys1, xs0:xs1]
    return out


def fancy_text(c, text, fnt, x, y, anchor="la", top=CREAM, bottom=GOLD, shadow=0.8,
               glow=None, outline=None, outline_width=0):
    """Painted lettering: soft drop shadow, optional glow and outline, vertical gradient fill."""
    h, w = c.shape[:2]
    m = text_mask(w, h, text, fnt, x, y, anchor)
    if not m.any():
        return m
    ys = np.nonzero(m.max(axis=1) > 0.05)[0]
    y0, y1 = int(ys[0]), int(ys[-1]) + 1
    if shadow > 0:
        sh = blur(shift(m, 2, 3), 2.5)
        paint(c, (0.03, 0.015, 0.01), sh, shadow)
    if glow is not None:
        g = blur(m, 6.0)
        add_light(c, glow, g, 0.6)
    if outline is not None and outline_width > 0:
        om = text_mask(w, h, text, fnt, x, y, anchor, stroke=outline_width)
        paint(c, outline, om)
    t = np.zeros((h, w), np.float32)
    span = max(y1 - y0, 1)
    t[:, :] = np.clip((np.arange(h, dtype=np.float32)[:, None] - y0) / span, 0, 1)
    col = mix(top, bottom, t)
    paint(c, col, m)
    # A thin highlight along the upper edges of the letters.
    hl = np.clip(m - shift(m, 0, 1), 0, 1)
    add_light(c, (0.25, 0.22, 0.16), hl, 0.8)
    return m


def to_image(c, alpha=True):
    """Converts a canvas to a Pillow image (RGBA or RGB), clipping to 0..1."""
    a = np.clip(c, 0.0, 1.0)
    b = np.round(a * 255.0).astype(np.uint8)
    if alpha:
        return Image.fromarray(b, mode="RGBA")
    return Image.fromarray(b[..., :3], mode="RGB")


def save_png(c, path, alpha=True):
    """Writes a canvas as PNG with no time stamp or other varying chunk."""
    img = to_image(c, alpha)
    if alpha:
        # Fully transparent pixels keep a colour close to their neighbours' so that linear
        # filtering and mipmaps do not bleed black halos into soft edges.
        arr = np.asarray(img).copy()
        clear = arr[..., 3] == 0
        if clear.any() and not clear.all():
            rgb = arr[..., :3].astype(np.float32)
            wgt = (arr[..., 3] > 0).astype(np.float32)
            acc = np.stack([blur_float(rgb[..., ch] * wgt, 6.0) for ch in range(3)], axis=-1)
            cnt = blur_float(wgt, 6.0)
            fill = acc / np.maximum(cnt, 1e-6)[..., None]
            far = cnt < 1e-4
            mean = rgb[~clear].mean(axis=0)
            fill[far] = mean
            arr[..., :3][clear] = np.clip(np.round(fill[clear]), 0, 255).astype(np.uint8)
            img = Image.fromarray(arr, mode="RGBA")
    img.save(path, format="PNG", optimize=True)
