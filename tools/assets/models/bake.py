"""Bakes painted colour and object-space normals into a model's texture layout.

Every face is rasterised in texture space; each covered texel learns the surface
point, the shading normal and the vertex attributes of the place on the model
that maps to it. The model's painter turns those into a colour and a height; the
height's 3D gradient tilts the normal (the surface detail of the normal maps).
Texels outside every chart are then filled outwards from the charts so that
filtering and mip-mapping never pull in an unrelated colour.
"""

import numpy as np
from PIL import Image

from geom import normalize


class Surface:
    """What the painter knows about each texel (arrays with one row per texel)."""

    def __init__(self, P, N, face, part, mat, attrs, geo_n):
        self.P = P              # object-space position
        self.N = N              # interpolated shading normal (what the game shades with)
        self.face = face        # face index
        self.part = part        # part id of the face
        self.mat = mat          # material name of the face
        self.attrs = attrs      # interpolated vertex attributes
        self.geo_n = geo_n      # flat face normal

    def subset(self, mask):
        return Surface(self.P[mask], self.N[mask], self.face[mask], self.part[mask], self.mat[mask],
                       {k: a[mask] for k, a in self.attrs.items()}, self.geo_n[mask])

    def __len__(self):
        return len(self.P)


def _bary(t, x, y):
    (x0, y0), (x1, y1), (x2, y2) = t
    det = (y1 - y2) * (x0 - x2) + (x2 - x1) * (y0 - y2)
    if abs(det) < 1e-14:
        return None
    l0 = ((y1 - y2) * (x - x2) + (x2 - x1) * (y - y2)) / det
    l1 = ((y2 - y0) * (x - x2) + (x0 - x2) * (y - y2)) / det
    return np.column_stack([l0, l1, 1 - l0 - l1])


def rasterize(UV, size, margin=0.0):
    """Texels whose centre lies in a face (or within `margin` texels of it, using
    extrapolated barycentrics). Returns (face map, barycentric map) with -1 for
    empty texels; the first face to claim a texel keeps it."""
    face_map = np.full((size, size), -1, dtype=np.int64)
    bary_map = np.zeros((size, size, 3))
    # texel space: x right, y down from the top row
    T = np.empty_like(UV)
    T[..., 0] = UV[..., 0] * size
    T[..., 1] = (1.0 - UV[..., 1]) * size
    for f, t in enumerate(T):
        x0 = max(int(np.floor(t[:, 0].min() - margin - 0.5)), 0)
        x1 = min(int(np.ceil(t[:, 0].max() + margin + 0.5)), size - 1)
        y0 = max(int(np.floor(t[:, 1].min() - margin - 0.5)), 0)
        y1 = min(int(np.ceil(t[:, 1].max() + margin + 0.5)), size - 1)
        if x1 < x0 or y1 < y0:
            continue
        xs, ys = np.meshgrid(np.arange(x0, x1 + 1), np.arange(y0, y1 + 1))
        xs = xs.ravel()
        ys = ys.ravel()
        b = _bary(t, xs + 0.5, ys + 0.5)
        if b is None:
            continue
        if margin > 0:
            # distance outside the triangle, in texels, measured along each edge's normal
            inside = _within(t, xs + 0.5, ys + 0.5, margin)
        else:
            inside = (b >= -1e-9).all(axis=1)
        free = face_map[ys, xs] < 0
        sel = inside & free
        face_map[ys[sel], xs[sel]] = f
        bary_map[ys[sel], xs[sel]] = b[sel]
    return face_map, bary_map


def _within(t, x, y, margin):
    ok = np.ones(len(x), dtype=bool)
    area = (t[1, 0] - t[0, 0]) * (t[2, 1] - t[0, 1]) - (t[2, 0] - t[0, 0]) * (t[1, 1] - t[0, 1])
    sgn = 1.0 if area >= 0 else -1.0
    for k in range(3):
        a, b = t[k], t[(k + 1) % 3]
        e = b - a
        L = np.hypot(e[0], e[1])
        if L < 1e-12:
            continue
        # signed distance to the edge line, positive inside
        d = sgn * (e[0] * (y - a[1]) - e[1] * (x - a[0])) / L
        ok &= d >= -margin
    return ok


def surface_samples(mesh, UV, corner_normals, size):
    """Rasterises the layout and returns (texel rows, texel cols, Surface)."""
    face_map, bary_map = rasterize(UV, size)
    # texels on the rim of a chart whose centre falls just outside every face get
    # the nearest face's values extrapolated, which continues the surface smoothly
    fm2, bm2 = rasterize(UV, size, margin=1.5)
    empty = face_map < 0
    face_map[empty] = fm2[empty]
    bary_map[empty] = bm2[empty]
    rows, cols = np.nonzero(face_map >= 0)
    f = face_map[rows, cols]
    b = bary_map[rows, cols]
    F = mesh.F[f]
    P = np.einsum("ij,ijk->ik", b, mesh.V[F])
    N = normalize(np.einsum("ij,ijk->ik", b, corner_normals[f]))
    attrs = {k: np.einsum("ij,ij->i", b, a[F]) for k, a in mesh.attrs.items()}
    geo = mesh.face_normals()[f]
    surf = Surface(P, N, f, mesh.part[f], mesh.mat[f], attrs, geo)
    return rows, cols, surf


def bump_normals(surf, height_fn, strength=1.0, eps=0.02):
    """Tilts each normal by the surface gradient of height_fn (object units),
    measured with forward differences along two directions in the tangent plane."""
    P, N = surf.P, surf.N
    ref = np.where(np.abs(N[:, 1:2]) < 0.9, np.array([[0.0, 1.0, 0.0]]), np.array([[1.0, 0.0, 0.0]]))
    t1 = normalize(np.cross(ref, N))
    t2 = np.cross(N, t1)
    h0 = height_fn(P, surf)
    d1 = (height_fn(P + t1 * eps, surf) - h0) / eps
    d2 = (height_fn(P + t2 * eps, surf) - h0) / eps
    g_t = t1 * d1[:, None] + t2 * d2[:, None]
    return normalize(N - strength * g_t)


def _shift_fill(img, filled):
    """One step of growth: empty texels next to filled ones take their mean."""
    h, w = filled.shape
    acc = np.zeros_like(img)
    cnt = np.zeros((h, w))
    for dy in (-1, 0, 1):
        for dx in (-1, 0, 1):
            if dx == 0 and dy == 0:
                continue
            ys = slice(max(dy, 0), h + min(dy, 0))
            yd = slice(max(-dy, 0), h + min(-dy, 0))
            xs = slice(max(dx, 0), w + min(dx, 0))
            xd = slice(max(-dx, 0), w + min(-dx, 0))
            acc[yd, xd] += img[ys, xs] * filled[ys, xs][..., None]
            cnt[yd, xd] += filled[ys, xs]
    grow = (~filled) & (cnt > 0)
    img = img.copy()
    img[grow] = acc[grow] / cnt[grow][:, None]
    return img, filled | grow


def _pull_push(img, filled):
    """Fills every empty texel from a mask-weighted image pyramid (coarse levels
    hold the average of the filled texels they cover)."""
    levels = [(img * filled[..., None], filled.astype(np.float64))]
    while levels[-1][1].shape[0] > 1 and levels[-1][1].shape[0] % 2 == 0:
        c, m = levels[-1]
        h, w = m.shape
        c2 = c.reshape(h // 2, 2, w // 2, 2, -1).sum(axis=(1, 3))
        m2 = m.reshape(h // 2, 2, w // 2, 2).sum(axis=(1, 3))
        levels.append((c2, m2))
    # walk back up: each level's empty texels take the colour of the level below
    c, m = levels[-1]
    cur = c / np.maximum(m, 1e-9)[..., None]
    for c, m in reversed(levels[:-1]):
        up = np.repeat(np.repeat(cur, 2, axis=0), 2, axis=1)
        mine = c / np.maximum(m, 1e-9)[..., None]
        cur = np.where((m > 0)[..., None], mine, up)
    out = img.copy()
    out[~filled] = cur[~filled]
    return out


def dilate(img, filled, steps=8):
    """Grows the charts outwards texel by texel for `steps` rings (clean mip-map
    borders), then fills the rest of the image from a pyramid of the charts."""
    for _ in range(steps):
        if filled.all():
            return img
        img, filled = _shift_fill(img, filled)
    if filled.all():
        return img
    if not filled.any():
        return np.full_like(img, 0.5)
    return _pull_push(img, filled)


def shrink(img, side, normals=False):
    """Box-filters an (n, n, 3) float image down to (side, side, 3); n must be a multiple of side.
    A normal image (n * 0.5 + 0.5) is renormalised afterwards: averaging shortens the vectors."""
    n = img.shape[0]
    if side is None or side == n:
        return img
    k = n // side
    small = img.reshape(side, k, side, k, 3).mean(axis=(1, 3))
    if normals:
        v = small * 2.0 - 1.0
        v /= np.maximum(np.linalg.norm(v, axis=2, keepdims=True), 1e-8)
        small = v * 0.5 + 0.5
    return small


def save_rgb(path, img, quantize=False):
    """Writes an (h, w, 3) float image in 0..1 as an 8-bit PNG."""
    a = (np.clip(img, 0, 1) * 255.0 + 0.5).astype(np.uint8)
    im = Image.fromarray(a, "RGB")
    if quantize:
        im = im.quantize(colors=256, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)
    im.save(path, optimize=True)


def bake(mesh, UV, corner_normals, size, painter, normal_map=False, bump_strength=1.0, bump_eps=None):
    """Runs the painter over the layout. Returns (colour image, normal image or
    None), both (size, size, 3) floats; the normal image holds n * 0.5 + 0.5."""
    rows, cols, surf = surface_samples(mesh, UV, corner_normals, size)
    eps = bump_eps if bump_eps is not None else 0.5 / max(1.0, size / 64.0)
    height = painter.height
    bumped = bump_normals(surf, height, bump_strength, eps) if height is not None else surf.N
    color = painter.color(surf, bumped)
    img = np.zeros((size, size, 3))
    filled = np.zeros((size, size), dtype=bool)
    img[rows, cols] = color
    filled[rows, cols] = True
    img = dilate(img, filled)
    nimg = None
    if normal_map:
        n = np.zeros((size, size, 3))
        n[rows, cols] = bumped
        n = dilate(n, filled)
        n = normalize(n)
        # any texel left without a direction points along +z rather than nowhere
        bad = np.linalg.norm(n, axis=2) < 0.5
        n[bad] = (0, 0, 1)
        nimg = n * 0.5 + 0.5
    return img, nimg
