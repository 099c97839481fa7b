#!/usr/bin/python3
"""Software preview of the ninja exactly as the game poses it.

The model is imported through Assimp with the game's flags (see gamedata.py), posed with the game's
algorithm (rest offsets, keyframe rotations without interpolation, root position, root offset
(0, -10.75, 0)), skinned with the four weight slots, then drawn with back-face culling, the diffuse
texture and the tangent-space normal map. The game camera looks down -z at the x-y plane and the
ninja turns to face +x or -x when it walks, so the main view shows it facing +x, seen from +z.

    /usr/bin/python3 tools/assets/ninja/preview.py            # docs/assets/ninja/*.png
    /usr/bin/python3 tools/assets/ninja/preview.py --frames   # also every frame of each segment

Writes docs/assets/ninja/<segment>.png (the middle frame of every segment, in the game view and a
three-quarter view), <segment>Frames.png (a strip of the segment's frames) and model.png (front,
side and back of the bind pose beside the two textures).
"""

import argparse
import math
import pathlib
import sys

HERE = pathlib.Path(__file__).resolve().parent
sys.path.insert(0, str(HERE))

import numpy as np  # noqa: E402
from PIL import Image, ImageDraw  # noqa: E402

import gamedata  # noqa: E402

BACKGROUND = np.array([0.12, 0.075, 0.03])
FLOOR_Y = -5.0


def facing_plus_x(p):
    """The entity rotation of a ninja walking towards +x (z axis to +x, x axis to -z)."""
    return np.stack([p[..., 2], p[..., 1], -p[..., 0]], axis=-1)


def yaw_pitch(p, yaw_deg, pitch_deg):
    a, b = math.radians(yaw_deg), math.radians(pitch_deg)
    ry = np.array([[math.cos(a), 0, math.sin(a)], [0, 1, 0], [-math.sin(a), 0, math.cos(a)]])
    rx = np.array([[1, 0, 0], [0, math.cos(b), -math.sin(b)], [0, math.sin(b), math.cos(b)]])
    return p @ (rx @ ry).T


class Textures:
    def __init__(self, model_dir, materials):
        mat = materials[0]
        self.diffuse = np.asarray(Image.open(model_dir / mat["diffuseTexture"]).convert("RGB"), dtype=np.float64) / 255
        self.normal = np.asarray(Image.open(model_dir / "ninjaTangentMap.png").convert("RGB"), dtype=np.float64) / 255

    @staticmethod
    def sample(img, uv):
        h, w = img.shape[:2]
        # The game's UVs (after Assimp's flips) put v = 0 on the image's first row.
        x = np.clip(uv[:, 0] * w - 0.5, 0, w - 1.001)
        y = np.clip(uv[:, 1] * h - 0.5, 0, h - 1.001)
        x0, y0 = x.astype(int), y.astype(int)
        fx, fy = (x - x0)[:, None], (y - y0)[:, None]
        a = img[y0, x0]
        b = img[y0, x0 + 1]
        c = img[y0 + 1, x0]
        d = img[y0 + 1, x0 + 1]
        return (a * (1 - fx) + b * fx) * (1 - fy) + (c * (1 - fx) + d * fx) * fy


def render(view_pos, nrm, tan, bit, uv, faces, tex, size=(512, 448), window=(-8.0, 8.0, -6.0, 8.0),
           floor=True, supersample=2, normal_map=True):
    """Rasterises the posed mesh (view space: x right, y up, larger z nearer) into an RGB image."""
    W, H = size[0] * supersample, size[1] * supersample
    x0, x1, y0, y1 = window
    sx = (view_pos[:, 0] - x0) / (x1 - x0) * W
    sy = (y1 - view_pos[:, 1]) / (y1 - y0) * H
    sz = view_pos[:, 2]
    img = np.zeros((H, W, 3))
    img[:] = BACKGROUND
    if floor:
        fy = int((y1 - FLOOR_Y) / (y1 - y0) * H)
        rows = np.arange(fy, H)
        shade = 0.75 + 0.25 * np.exp(-(rows - fy) / (0.05 * H))
        img[fy:] = np.array([0.22, 0.16, 0.08])[None, None, :] * shade[:, None, None]
        img[fy:fy + max(1, supersample)] = np.array([0.36, 0.30, 0.12])
    zbuf = np.full((H, W), -np.inf)
    fid = np.full((H, W), -1, dtype=np.int64)
    bary = np.zeros((H, W, 3))
    for f, (a, b, c) in enumerate(faces):
        ax, ay, bx, by, cx, cy = sx[a], sy[a], sx[b], sy[b], sx[c], sy[c]
        # Screen y grows downwards: counter-clockwise in view space has a negative signed area here.
        area = (bx - ax) * (cy - ay) - (by - ay) * (cx - ax)
        if area >= -1e-9:
            continue  # back face (or degenerate), culled as the game culls it
        minx = max(int(math.floor(min(ax, bx, cx))), 0)
        maxx = min(int(math.ceil(max(ax, bx, cx))), W - 1)
        miny = max(int(math.floor(min(ay, by, cy))), 0)
        maxy = min(int(math.ceil(max(ay, by, cy))), H - 1)
        if minx > maxx or miny > maxy:
            continue
        px, py = np.meshgrid(np.arange(minx, maxx + 1) + 0.5, np.arange(miny, maxy + 1) + 0.5)
        w0 = ((bx - px) * (cy - py) - (by - py) * (cx - px)) / area
        w1 = ((cx - px) * (ay - py) - (cy - py) * (ax - px)) / area
        w2 = 1 - w0 - w1
        inside = (w0 >= 0) & (w1 >= 0) & (w2 >= 0)
        if not inside.any():
            continue
        z = w0 * sz[a] + w1 * sz[b] + w2 * sz[c]
        sub = zbuf[miny:maxy + 1, minx:maxx + 1]
        win = inside & (z > sub)
        sub[win] = z[win]
        fid[miny:maxy + 1, minx:maxx + 1][win] = f
        bw = bary[miny:maxy + 1, minx:maxx + 1]
        bw[win] = np.stack([w0[win], w1[win], w2[win]], axis=-1)
    mask = fid >= 0
    if mask.any():
        F = faces[fid[mask]]
        wts = bary[mask]

        def attr(arr):
            return (arr[F] * wts[:, :, None]).sum(axis=1)
        puv = attr(uv)
        n = attr(nrm)
        n /= np.linalg.norm(n, axis=1, keepdims=True)
        if normal_map:
            t = attr(tan)
            bt = attr(bit)
            ts = Textures.sample(tex.normal, puv) * 2 - 1
            n = t * ts[:, 0:1] + bt * ts[:, 1:2] + n * ts[:, 2:3]
            n /= np.maximum(np.linalg.norm(n, axis=1, keepdims=True), 1e-9)
        albedo = Textures.sample(tex.diffuse, puv)
        # Dusk lighting: a warm key from the upper front, a violet fill and a cool rim.
        key = np.array([0.45, 0.75, 0.5])
        key /= np.linalg.norm(key)
        fill = np.array([-0.6, 0.1, 0.4])
        fill /= np.linalg.norm(fill)
        rim = np.array([-0.3, 0.3, -0.9])
        rim /= np.linalg.norm(rim)
        lk = np.clip(n @ key, 0, 1)[:, None]
        lf = np.clip(n @ fill, 0, 1)[:, None]
        lr = np.clip(n @ rim, 0, 1)[:, None] ** 2
        view_rim = (1 - np.clip(n[:, 2], 0, 1))[:, None] ** 3
        light = (0.32 * np.array([0.75, 0.68, 0.9]) + lk * np.array([1.0, 0.86, 0.66]) * 0.9
                 + lf * np.array([0.5, 0.42, 0.75]) * 0.35 + lr * np.array([0.6, 0.6, 0.9]) * 0.3)
        col = albedo * light + view_rim * 0.08
        img[mask] = np.clip(col, 0, 1)
    out = img.reshape(size[1], supersample, size[0], supersample, 3).mean(axis=(1, 3))
    return Image.fromarray((np.clip(out, 0, 1) ** (1 / 1.0) * 255 + 0.5).astype(np.uint8))


def posed(model, frame):
    return model.skin(model.pose(frame))


def game_view(model, tex, frame, **kw):
    p, n, t, b = posed(model, frame)
    return render(facing_plus_x(p), facing_plus_x(n), facing_plus_x(t), facing_plus_x(b),
                  model.uv, model.faces, tex, **kw)


def three_quarter_view(model, tex, frame, yaw=35.0, pitch=10.0, **kw):
    p, n, t, b = posed(model, frame)
    f = (lambda v: yaw_pitch(v, yaw, pitch))
    return render(f(p), f(n), f(t), f(b), model.uv, model.faces, tex, **kw)


def label(img, text):
    d = ImageDraw.Draw(img)
    d.text((8, 6), text, fill=(235, 215, 190))
    return img


def grid(images, columns):
    w, h = images[0].width, images[0].height
    rows = (len(images) + columns - 1) // columns
    out = Image.new("RGB", (w * min(columns, len(images)), h * rows))
    for k, im in enumerate(images):
        out.paste(im, ((k % columns) * w, (k // columns) * h))
    return out


def side_by_side(images):
    w = sum(i.width for i in images)
    h = max(i.height for i in images)
    out = Image.new("RGB", (w, h))
    x = 0
    for i in images:
        out.paste(i, (x, 0))
        x += i.width
    return out


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--model", type=pathlib.Path, default=gamedata.REPO / "assets/models/ninja.gltf")
    ap.add_argument("--anims", type=pathlib.Path, default=gamedata.REPO / "assets/models/ninjaAnimations.txt")
    ap.add_argument("--out", type=pathlib.Path, default=gamedata.REPO / "docs/assets/ninja")
    ap.add_argument("--frames", action="store_true", help="also write a strip of every segment's frames")
    ap.add_argument("--only", help="only this segment")
    args = ap.parse_args()
    args.out.mkdir(parents=True, exist_ok=True)
    model = gamedata.load(args.model)
    tex = Textures(args.model.parent, model.materials)
    _, segments = gamedata.read_segments(args.anims)
    for name, start, end, loop, spf in segments:
        if args.only and name != args.only:
            continue
        mid = start + (end - start) // 2
        a = label(game_view(model, tex, mid), f"{name}: frame {mid} ({start}-{end}), game view")
        b = label(three_quarter_view(model, tex, mid), "three-quarter view")
        side_by_side([a, b]).save(args.out / f"{name}.png", optimize=True)
        print(f"{name}: frame {mid}")
        if args.frames:
            last = end - 1 if loop else end
            step = max(1, (last - start + 1 + 11) // 12)
            shots = []
            for f in range(start, last + 1, step):
                im = game_view(model, tex, f, size=(256, 224), supersample=1)
                shots.append(label(im, str(f)))
            grid(shots, 6).save(args.out / f"{name}Frames.png", optimize=True)
    if not args.only:
        views = [label(three_quarter_view(model, tex, 0, yaw=y, pitch=5), t)
                 for y, t in ((0, "front (idle)"), (90, "right side"), (180, "back"))]
        side_by_side(views).save(args.out / "model.png", optimize=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
