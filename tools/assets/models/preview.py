#!/usr/bin/python3
"""Software preview renderer for the game's static models.

Loads each OBJ/MTL exactly as the game's loader reads it (objio.read_obj), draws
it with back faces culled, the diffuse texture sampled the way the game samples
it (v flipped, first image row at the top, clamped edges), the object-space
normal map where the level templates bind one, and the areas' lights:

    ambient (0.2, 0.1, 0.2)
    key   colour (2, 2, 1.2)     travelling along (-0.667, -0.667, -0.333)
    fill  colour (1.2, 0.6, 0)   travelling along ( 0.707, -0.707,  0)
    back  colour (0.4, 0.4, 0.6) travelling along ( 0.667,  0.667,  0.333)

on the areas' clear colour (0.12, 0.075, 0.03). Shading follows the game's lit
shaders: ambient light times (texture colour + Ka), Lambert diffuse per light,
a Blinn-Phong highlight from Ks/Ns on the lit side, the sum clamped to 0..1. Each preview shows the side view the game's
camera has (looking along -z) and a three-quarter view; creatures that walk
along z also get a view from +x.

    /usr/bin/python3 tools/assets/models/preview.py [names...]
"""

import os
import sys

import numpy as np
from PIL import Image, ImageDraw

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import objio  # noqa: E402

ROOT = os.path.normpath(os.path.join(HERE, "..", "..", ".."))
MODEL_DIR = os.path.join(ROOT, "assets", "models")
OUT_DIR = os.path.join(ROOT, "docs", "assets", "previews")

CLEAR = np.array([0.12, 0.075, 0.03])
AMBIENT = np.array([0.2, 0.1, 0.2])
LIGHTS = [
    (np.array([2.0, 2.0, 1.2]), np.array([-1.0, -1.0, -0.5])),
    (np.array([1.2, 0.6, 0.0]), np.array([1.0, -1.0, 0.0])),
    (np.array([0.4, 0.4, 0.6]), np.array([1.0, 1.0, 0.5])),
]

# the normal maps the level templates bind to these models
NORMAL_MAPS = {
    "flatPlatformLen3": "PlatformLen3Normals.png",
    "SmallPlatform": "smallPlatformNormals.png",
    "Platform3x3": "platform3x3Normals.png",
    "rock_platform": "rockNormals.png",
    "boulder": "boulderObjectNormals.png",
    "breakable": "breakableNormals.png",
    "spikes": "spikeNormals.png",
}

# models whose body runs along z: also shown from the side (+x)
SIDE_VIEW = {"worker_ant", "soldier_ant", "spider"}

MODELS = ["flatPlatformLen3", "SmallPlatform", "Platform3x3", "rock_platform", "spider_web", "mushroom_single",
          "mushroom_cluster", "boulder", "breakable", "spikes", "SugarPile", "antEgg", "candy_corn", "shinyThing",
          "Quarrow", "worker_ant", "soldier_ant", "spider", "grasshopper", "jumpUpgrade", "CrossedSwords", "wasp"]


def _norm(v):
    n = np.linalg.norm(v, axis=-1, keepdims=True)
    return v / np.maximum(n, 1e-12)


def load_image(path):
    im = Image.open(path).convert("RGB")
    return np.asarray(im, dtype=np.float64) / 255.0


def sample(img, uv):
    """Bilinear lookup with clamped edges; uv already flipped as the game does
    (u across, v down from the first row)."""
    h, w = img.shape[:2]
    x = np.clip(uv[:, 0] * w - 0.5, 0, w - 1)
    y = np.clip(uv[:, 1] * h - 0.5, 0, h - 1)
    x0 = np.floor(x).astype(int)
    y0 = np.floor(y).astype(int)
    x1 = np.minimum(x0 + 1, w - 1)
    y1 = np.minimum(y0 + 1, h - 1)
    fx = (x - x0)[:, None]
    fy = (y - y0)[:, None]
    return ((img[y0, x0] * (1 - fx) + img[y0, x1] * fx) * (1 - fy) +
            (img[y1, x0] * (1 - fx) + img[y1, x1] * fx) * fy)


def load_model(name):
    obj_path = os.path.join(MODEL_DIR, name + ".obj")
    d = objio.read_obj(obj_path)
    lib = {}
    for m in d.mtllibs:
        p = os.path.join(os.path.dirname(obj_path), m)
        if os.path.exists(p):
            lib.update(objio.read_mtl(p))
    groups = objio.expand(d)
    mats = {}
    for gname in groups:
        m = lib.get(gname)
        if m is None:
            mats[gname] = None
            continue
        tex = load_image(m["map_Kd"]) if m["map_Kd"] and os.path.exists(m["map_Kd"]) else None
        mats[gname] = dict(m, tex=tex)
    nmap = None
    if name in NORMAL_MAPS:
        p = os.path.join(MODEL_DIR, NORMAL_MAPS[name])
        if os.path.exists(p):
            nmap = load_image(p)
    return groups, mats, nmap


def look_from(yaw_deg, pitch_deg, center, dist):
    yaw, pitch = np.radians(yaw_deg), np.radians(pitch_deg)
    d = np.array([np.sin(yaw) * np.cos(pitch), np.sin(pitch), np.cos(yaw) * np.cos(pitch)])
    return center + d * dist


def render_view(groups, mats, nmap, eye, target, size, fov_deg=30.0, ss=2):
    W = H = size * ss
    fwd = _norm(target - eye)
    right = _norm(np.cross(fwd, [0.0, 1.0, 0.0]))
    up = np.cross(right, fwd)
    focal = (H / 2) / np.tan(np.radians(fov_deg) / 2)
    tris_p, tris_n, tris_uv, tris_g = [], [], [], []
    names = [g for g in groups if mats.get(g) is not None]  # the game skips parts without material
    for gi, g in enumerate(names):
        P, N, UV = groups[g]
        tris_p.append(P.reshape(-1, 3, 3))
        tris_n.append(N.reshape(-1, 3, 3))
        tris_uv.append(UV.reshape(-1, 3, 2))
        tris_g.append(np.full(len(P) // 3, gi))
    img = np.tile(CLEAR, (H, W, 1))
    if not names:
        return img
    P = np.concatenate(tris_p)
    Nn = np.concatenate(tris_n)
    UV = np.concatenate(tris_uv)
    G = np.concatenate(tris_g)
    rel = P - eye
    cx, cy, cz = rel @ right, rel @ up, rel @ fwd
    zc = np.maximum(cz, 1e-3)
    sx = cx / zc * focal + W / 2
    sy = H / 2 - cy / zc * focal
    # counter-clockwise on screen (y up) is the front face, as in GL's default
    area = (sx[:, 1] - sx[:, 0]) * (-(sy[:, 2] - sy[:, 0])) - (sx[:, 2] - sx[:, 0]) * (-(sy[:, 1] - sy[:, 0]))
    front = (area > 0) & (cz.min(axis=1) > 0.01)
    zbuf = np.full((H, W), np.inf)
    tid = np.full((H, W), -1, dtype=np.int64)
    bar = np.zeros((H, W, 3))
    for t in np.nonzero(front)[0]:
        xs, ys, zs = sx[t], sy[t], cz[t]
        x0 = max(int(np.floor(xs.min())), 0)
        x1 = min(int(np.ceil(xs.max())), W - 1)
        y0 = max(int(np.floor(ys.min())), 0)
        y1 = min(int(np.ceil(ys.max())), H - 1)
        if x1 < x0 or y1 < y0:
            continue
        gx, gy = np.meshgrid(np.arange(x0, x1 + 1) + 0.5, np.arange(y0, y1 + 1) + 0.5)
        det = (ys[1] - ys[2]) * (xs[0] - xs[2]) + (xs[2] - xs[1]) * (ys[0] - ys[2])
        if abs(det) < 1e-12:
            continue
        l0 = ((ys[1] - ys[2]) * (gx - xs[2]) + (xs[2] - xs[1]) * (gy - ys[2])) / det
        l1 = ((ys[2] - ys[0]) * (gx - xs[2]) + (xs[0] - xs[2]) * (gy - ys[2])) / det
        l2 = 1 - l0 - l1
        inside = (l0 >= 0) & (l1 >= 0) & (l2 >= 0)
        if not inside.any():
            continue
        # perspective-correct weights and depth
        w0, w1, w2 = l0 / zs[0], l1 / zs[1], l2 / zs[2]
        s = w0 + w1 + w2
        z = 1.0 / s
        sub_z = zbuf[y0:y1 + 1, x0:x1 + 1]
        win = inside & (z < sub_z)
        if not win.any():
            continue
        sub_z[win] = z[win]
        tid[y0:y1 + 1, x0:x1 + 1][win] = t
        b = np.stack([w0 / s, w1 / s, w2 / s], axis=-1)
        bar[y0:y1 + 1, x0:x1 + 1][win] = b[win]
    ys_, xs_ = np.nonzero(tid >= 0)
    if len(ys_) == 0:
        return img
    t = tid[ys_, xs_]
    b = bar[ys_, xs_]
    pos = np.einsum("ij,ijk->ik", b, P[t])
    nrm = _norm(np.einsum("ij,ijk->ik", b, Nn[t]))
    uv = np.einsum("ij,ijk->ik", b, UV[t])
    if nmap is not None:
        nrm = _norm(sample(nmap, uv) * 2.0 - 1.0)
    view = _norm(eye - pos)
    col = np.zeros((len(t), 3))
    for gi, g in enumerate(names):
        sel = G[t] == gi
        if not sel.any():
            continue
        m = mats[g]
        base = np.tile(np.array(m["Kd"]), (sel.sum(), 1))
        if m["tex"] is not None:
            base = base * sample(m["tex"], uv[sel])
        n = nrm[sel]
        diff = np.zeros((sel.sum(), 3))
        specular = np.zeros((sel.sum(), 3))
        ks = np.array(m["Ks"] or (0, 0, 0))
        ka = np.array(m["Ka"] or (0, 0, 0))
        ns = max(m["Ns"] or 1.0, 1.0)
        for color, direction in LIGHTS:
            L = -_norm(direction)
            ndl = np.clip(n @ L, 0, None)
            diff += ndl[:, None] * color
            if ks.any():
                hv = _norm(L + view[sel])
                specular += (np.clip((n * hv).sum(axis=1), 0, None) ** ns * (ndl > 0))[:, None] * color
        col[sel] = AMBIENT * (base + ka) + base * diff + specular * ks
    img[ys_, xs_] = np.clip(col, 0, 1)
    return img


def model_bounds(groups):
    allp = np.concatenate([g[0] for g in groups.values()]) if groups else np.zeros((1, 3))
    lo, hi = allp.min(axis=0), allp.max(axis=0)
    return lo, hi


def render_model(name, size=420):
    groups, mats, nmap = load_model(name)
    lo, hi = model_bounds(groups)
    center = (lo + hi) / 2
    radius = np.linalg.norm(hi - lo) / 2
    dist = radius / np.tan(np.radians(15)) * 1.08
    views = [("side view (game camera, -z)", 0, 0), ("three-quarter", 38, 24)]
    if name in SIDE_VIEW:
        views.append(("from +x", 90, 8))
    tiles = []
    for label, yaw, pitch in views:
        eye = look_from(yaw, pitch, center, dist)
        im = render_view(groups, mats, nmap, eye, center, size)
        ss = im.shape[0] // size
        im = im.reshape(size, ss, size, ss, 3).mean(axis=(1, 3))
        pil = Image.fromarray((np.clip(im, 0, 1) * 255 + 0.5).astype(np.uint8))
        ImageDraw.Draw(pil).text((6, 4), f"{name}: {label}", fill=(230, 220, 200))
        tiles.append(pil)
    sheet = Image.new("RGB", (size * len(tiles), size))
    for i, tile in enumerate(tiles):
        sheet.paste(tile, (i * size, 0))
    info = f"bounds x {lo[0]:.2f}..{hi[0]:.2f}  y {lo[1]:.2f}..{hi[1]:.2f}  z {lo[2]:.2f}..{hi[2]:.2f}"
    ImageDraw.Draw(sheet).text((6, size - 14), info, fill=(200, 190, 170))
    return sheet


def overview(sheets, cols=4, tile=240):
    """All models' game-camera views on one page."""
    rows = (len(sheets) + cols - 1) // cols
    page = Image.new("RGB", (cols * tile, rows * tile), tuple(int(c * 255) for c in CLEAR))
    for i, sheet in enumerate(sheets):
        h = sheet.size[1]
        side = sheet.crop((0, 0, h, h)).resize((tile, tile), Image.LANCZOS)
        page.paste(side, ((i % cols) * tile, (i // cols) * tile))
    return page


def main(argv):
    names = argv or MODELS
    os.makedirs(OUT_DIR, exist_ok=True)
    sheets = []
    for name in names:
        sheet = render_model(name)
        sheets.append(sheet)
        out = os.path.join(OUT_DIR, name + ".png")
        sheet.save(out, optimize=True)
        print("wrote", os.path.relpath(out, ROOT))
    if not argv:
        out = os.path.join(OUT_DIR, "overview.png")
        overview(sheets).save(out, optimize=True)
        print("wrote", os.path.relpath(out, ROOT))


if __name__ == "__main__":
    main(sys.argv[1:])
