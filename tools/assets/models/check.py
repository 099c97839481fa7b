#!/usr/bin/python3
"""Checks the generated static models against what the game needs.

For every model: the OBJ reads cleanly the way the game reads it (triangles only,
every index present and in range, fewer than 65,535 of each kind), every material
group has its material in the MTL, every map_Kd image exists and decodes at 256 or
512 pixels square, normals are unit length, faces wind counter-clockwise around
their normals and enclose positive volume, and the model has the size its collider
or role expects. Every object-space normal map must decode to unit vectors and
agree with the model's own normals over its texture layout, and no two faces may
share texels of it.

    /usr/bin/python3 tools/assets/models/check.py        (exit status 1 on any failure)
"""

import os
import sys

import numpy as np
from PIL import Image

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import objio  # noqa: E402

ROOT = os.path.normpath(os.path.join(HERE, "..", "..", ".."))
MODEL_DIR = os.path.join(ROOT, "assets", "models")

NORMAL_MAPS = {
    "flatPlatformLen3": "PlatformLen3Normals.png",
    "SmallPlatform": "smallPlatformNormals.png",
    "Platform3x3": "platform3x3Normals.png",
    "rock_platform": "rockNormals.png",
    "boulder": "boulderObjectNormals.png",
    "breakable": "breakableNormals.png",
    "spikes": "spikeNormals.png",
    "movingLeaf": "movingLeafNormals.png",
    "burrowDoor": "burrowDoorNormals.png",
    "checkpointMushroom": "checkpointMushroomNormals.png",
}

# Size rules, written from the colliders and roles the levels give each model.
#   box:     exact bounds in x and y (the collider box), tolerance TOL
#   within:  the model stays inside these x, y bounds
#   radius:  (min, max) of the largest distance of a vertex from the origin
EXACT = 0.05
RULES = {
    "flatPlatformLen3": {"box": ((-13.5, 13.5), (-4.5, 4.5))},
    "SmallPlatform": {"box": ((-6.75, 6.75), (-4.5, 4.5))},
    "Platform3x3": {"box": ((-13.5, 13.5), (-13.5, 13.5))},
    "rock_platform": {"box": ((-20.0, 20.0), (-14.0, 14.0))},
    "breakable": {"box": ((-13.5, 13.5), (-4.5, 4.5))},
    "spikes": {"box": ((-3.03, 3.03), (0.0, 6.0))},
    "spider_web": {"within": ((-2.0, 2.0), (-9.0, 6.0)), "min_span": (3.6, 14.0)},
    "boulder": {"box": ((-6.0, 6.0), (-6.0, 6.0)), "zbox": (-6.0, 6.0), "radius": (5.9, 6.6)},
    "mushroom_single": {"box": ((-6.8, 6.8), (0.0, 7.4)), "cap": True},
    "mushroom_cluster": {"min_span": (14.0, 8.0), "ground": True},
    "SugarPile": {"radius": (1.6, 2.25)},
    "antEgg": {"radius": (1.6, 2.25)},
    "candy_corn": {"radius": (1.6, 2.25)},
    "shinyThing": {"radius": (0.8, 1.1)},
    "Quarrow": {"radius": (1.9, 2.6), "xz_radius": (2.15, 2.35)},
    "grasshopper": {"within": ((-0.5, 0.5), (0.0, 1.0)), "min_span": (0.95, 0.3), "ground": True},
    "jumpUpgrade": {"radius": (0.8, 1.0)},
    "CrossedSwords": {"radius": (0.8, 1.0)},
    "worker_ant": {"ant": (10.0, 13.5)},
    "soldier_ant": {"zspan": (12.0, 18.0)},
    "spider": {"max_span": (10.0, 16.0)},
    "wasp": {"max_span": (10.0, 16.0)},
    # the wasp split for the game: the same frame as the whole wasp
    "waspBody": {"within": ((-7.2, 7.2), (-3.7, 3.7)), "max_span": (10.0, 16.0)},
    "waspWings": {"within": ((-7.2, 7.2), (-3.7, 3.7)), "min_span": (5.0, 1.5)},
    # one unit of thread, hanging from y = 0, stretched by the game
    "spiderThread": {"within": ((-0.3, 0.3), (-1.0, 0.0)), "min_span": (0.2, 1.0)},
    # the leaf's collider box is x -11..11, y -1..1.5: its midrib runs along the box's top, and
    # its face, tipped towards the camera, shows above and below that
    "movingLeaf": {"within": ((-14.0, 12.0), (-3.5, 5.5)), "min_span": (24.0, 5.0)},
    # Both stand on the ground 7.5 below their origin, behind the play plane; the door's arch is
    # wide and high enough for the ninja (about 10 x 11) to walk into.
    "burrowDoor": {"within": ((-13.5, 13.5), (-12.0, 14.5)), "min_span": (18.0, 21.0), "zmax": -0.5},
    "checkpointMushroom": {"within": ((-5.0, 5.0), (-9.0, 6.0)), "min_span": (7.0, 12.0), "zmax": -0.5},
}

# the cap of the platform mushroom must follow its collider's upper points
CAP_POINTS = [(6.2, 4.7), (3.3, 6.7), (0.0, 7.4)]

MAX_TRIANGLES = 8000
BUDGET_BYTES = 8 * 1024 * 1024


class Report:
    def __init__(self):
        self.failures = []

    def fail(self, model, msg):
        self.failures.append(f"{model}: {msg}")


def _texel_cover(uv, size):
    """Rasterises triangles given in image space (u across, v' down) at texel
    centres. Returns (face index per texel or -1, barycentrics, overlap count)."""
    face = np.full((size, size), -1, dtype=np.int64)
    bary = np.zeros((size, size, 3))
    hits = np.zeros((size, size), dtype=np.int32)
    T = uv * size
    for f, t in enumerate(T):
        x0 = max(int(np.floor(t[:, 0].min())), 0)
        x1 = min(int(np.ceil(t[:, 0].max())), size - 1)
        y0 = max(int(np.floor(t[:, 1].min())), 0)
        y1 = min(int(np.ceil(t[:, 1].max())), size - 1)
        if x1 < x0 or y1 < y0:
            continue
        xs, ys = np.meshgrid(np.arange(x0, x1 + 1), np.arange(y0, y1 + 1))
        px, py = xs + 0.5, ys + 0.5
        (ax, ay), (bx, by), (cx, cy) = t
        det = (by - cy) * (ax - cx) + (cx - bx) * (ay - cy)
        if abs(det) < 1e-12:
            continue
        l0 = ((by - cy) * (px - cx) + (cx - bx) * (py - cy)) / det
        l1 = ((cy - ay) * (px - cx) + (ax - cx) * (py - cy)) / det
        l2 = 1 - l0 - l1
        inside = (l0 > 1e-6) & (l1 > 1e-6) & (l2 > 1e-6)
        hits[ys[inside], xs[inside]] += 1
        face[ys[inside], xs[inside]] = f
        bary[ys[inside], xs[inside]] = np.stack([l0, l1, l2], axis=-1)[inside]
    return face, bary, hits


def check_normal_map(rep, name, groups, path):
    if not os.path.exists(path):
        rep.fail(name, f"normal map {os.path.basename(path)} missing")
        return None
    img = np.asarray(Image.open(path).convert("RGB"), dtype=np.float64)
    h, w = img.shape[:2]
    if h != w or h not in (256, 512):
        rep.fail(name, f"normal map is {w}x{h}, not 256 or 512 square")
        return None
    n = img / 255.0 * 2.0 - 1.0
    length = np.linalg.norm(n, axis=2)
    bad = np.abs(length - 1.0) > 0.03
    if bad.any():
        rep.fail(name, f"normal map has {bad.sum()} texels that are not unit vectors")
    N = np.concatenate([g[1] for g in groups.values()]).reshape(-1, 3, 3)
    UV = np.concatenate([g[2] for g in groups.values()]).reshape(-1, 3, 2)
    face, bary, hits = _texel_cover(UV, h)
    covered = face >= 0
    overlap = (hits > 1).sum()
    if overlap > 0.002 * covered.sum():
        rep.fail(name, f"{overlap} texels are shared by several faces (layout overlaps)")
    ys, xs = np.nonzero(covered)
    f = face[ys, xs]
    b = bary[ys, xs]
    geo = np.einsum("ij,ijk->ik", b, N[f])
    geo /= np.maximum(np.linalg.norm(geo, axis=1, keepdims=True), 1e-9)
    mapped = n[ys, xs] / np.maximum(length[ys, xs], 1e-9)[:, None]
    d = (geo * mapped).sum(axis=1)
    mean = float(d.mean()) if len(d) else 0.0
    low = float((d < 0.3).mean()) if len(d) else 1.0
    if mean < 0.85 or low > 0.01:
        rep.fail(name, f"normal map disagrees with the surface (mean cos {mean:.3f}, {low * 100:.2f}% below 0.3)")
    return mean, covered.mean()


def check_model(rep, name, model_dir=MODEL_DIR):
    obj_path = os.path.join(model_dir, name + ".obj")
    if not os.path.exists(obj_path):
        rep.fail(name, "OBJ missing")
        return None
    d = objio.read_obj(obj_path)
    for p in d.problems[:5]:
        rep.fail(name, p)
    npos, nuv, nnrm = len(d.positions) - 1, len(d.uvs) - 1, len(d.normals) - 1
    for kind, count in (("positions", npos), ("texture coordinates", nuv), ("normals", nnrm)):
        if count >= 65535:
            rep.fail(name, f"{count} {kind}: more than 16-bit indices can address")
    tris = 0
    for g, triples in d.groups.items():
        arr = np.array(triples, dtype=np.int64).reshape(-1, 3)
        tris += len(arr) // 3
        if len(arr) % 3:
            rep.fail(name, f"group {g!r} has a vertex count that is not a multiple of 3")
        for col, count, kind in ((0, npos, "position"), (1, nuv, "texture"), (2, nnrm, "normal")):
            if len(arr) and ((arr[:, col] < 1) | (arr[:, col] > count)).any():
                rep.fail(name, f"group {g!r}: {kind} index missing or out of range")
    if "" in d.groups and d.groups[""]:
        rep.fail(name, "faces before any usemtl")
    if tris > MAX_TRIANGLES:
        rep.fail(name, f"{tris} triangles is not low-poly")
    # materials and textures
    lib = {}
    if not d.mtllibs:
        rep.fail(name, "no mtllib")
    for m in d.mtllibs:
        p = os.path.join(model_dir, m)
        if not os.path.exists(p):
            rep.fail(name, f"material library {m} missing")
            continue
        lib.update(objio.read_mtl(p))
    files = {obj_path}
    files.update(os.path.join(model_dir, m) for m in d.mtllibs)
    for g in d.groups:
        if g not in lib:
            rep.fail(name, f"material {g!r} not in the library")
            continue
        tex = lib[g]["map_Kd"]
        if not tex:
            rep.fail(name, f"material {g!r} has no map_Kd texture")
            continue
        if not os.path.exists(tex):
            rep.fail(name, f"texture {os.path.basename(tex)} missing")
            continue
        files.add(tex)
        try:
            im = Image.open(tex)
            im.load()
            if im.size[0] != im.size[1] or im.size[0] not in (256, 512):
                rep.fail(name, f"texture {os.path.basename(tex)} is {im.size}, not 256 or 512 square")
        except Exception as e:  # any decoding problem is a failure to report
            rep.fail(name, f"texture {os.path.basename(tex)} does not decode: {e}")
    groups = objio.expand(d)
    if not groups:
        rep.fail(name, "no faces")
        return None
    P = np.concatenate([g[0] for g in groups.values()]).reshape(-1, 3, 3)
    N = np.concatenate([g[1] for g in groups.values()]).reshape(-1, 3, 3)
    nl = np.linalg.norm(np.array(d.normals[1:]), axis=1)
    if len(nl) and np.abs(nl - 1).max() > 1e-3:
        rep.fail(name, f"normals are not unit length (worst {np.abs(nl - 1).max():.4f})")
    fn = np.cross(P[:, 1] - P[:, 0], P[:, 2] - P[:, 0])
    area = np.linalg.norm(fn, axis=1)
    fnu = fn / np.maximum(area, 1e-12)[:, None]
    real = area > 1e-9
    agree = np.einsum("ij,ikj->ik", fnu, N)
    wrong = real & (agree <= 0).any(axis=1)
    if wrong.any():
        rep.fail(name, f"{wrong.sum()} faces wind against their normals")
    if (~real).any():
        rep.fail(name, f"{(~real).sum()} degenerate faces")
    vol = np.einsum("ij,ij->i", P[:, 0], np.cross(P[:, 1], P[:, 2])).sum() / 6.0
    if vol <= 0:
        rep.fail(name, f"encloses negative volume {vol:.3f}: faces point inwards")
    V = P.reshape(-1, 3)
    lo, hi = V.min(axis=0), V.max(axis=0)
    check_size(rep, name, V, lo, hi)
    nm = None
    if name in NORMAL_MAPS:
        p = os.path.join(model_dir, NORMAL_MAPS[name])
        files.add(p)
        nm = check_normal_map(rep, name, groups, p)
    size = sum(os.path.getsize(f) for f in files if os.path.exists(f))
    return tris, lo, hi, nm, size, files


def check_size(rep, name, V, lo, hi):
    rule = RULES.get(name, {})
    if "box" in rule:
        (x0, x1), (y0, y1) = rule["box"]
        got = (lo[0], hi[0], lo[1], hi[1])
        want = (x0, x1, y0, y1)
        if max(abs(a - b) for a, b in zip(got, want)) > EXACT:
            rep.fail(name, "bounds x %.2f..%.2f y %.2f..%.2f, want x %.2f..%.2f y %.2f..%.2f" % (got + want))
    if "zbox" in rule:
        z0, z1 = rule["zbox"]
        if abs(lo[2] - z0) > EXACT or abs(hi[2] - z1) > EXACT:
            rep.fail(name, f"z bounds {lo[2]:.2f}..{hi[2]:.2f}, want {z0}..{z1}")
    if "zmax" in rule and hi[2] > rule["zmax"]:
        rep.fail(name, f"reaches z {hi[2]:.2f}, in front of the play plane's z {rule['zmax']}")
    if "within" in rule:
        (x0, x1), (y0, y1) = rule["within"]
        if lo[0] < x0 - 1e-3 or hi[0] > x1 + 1e-3 or lo[1] < y0 - 1e-3 or hi[1] > y1 + 1e-3:
            rep.fail(name, f"leaves x {x0}..{x1} y {y0}..{y1}: x {lo[0]:.2f}..{hi[0]:.2f} y {lo[1]:.2f}..{hi[1]:.2f}")
    if "min_span" in rule:
        sx, sy = rule["min_span"]
        if hi[0] - lo[0] < sx or hi[1] - lo[1] < sy:
            rep.fail(name, f"too small: spans {hi[0] - lo[0]:.2f} x {hi[1] - lo[1]:.2f}")
    if "radius" in rule:
        r = np.linalg.norm(V, axis=1).max()
        a, b = rule["radius"]
        if not a <= r <= b:
            rep.fail(name, f"reaches {r:.2f} from the origin, want {a}..{b}")
    if "xz_radius" in rule:
        r = np.hypot(V[:, 0], V[:, 2]).max()
        a, b = rule["xz_radius"]
        if not a <= r <= b:
            rep.fail(name, f"brim reaches {r:.2f}, want {a}..{b}")
    if rule.get("ground") and abs(lo[1]) > 0.7:
        rep.fail(name, f"lowest point y {lo[1]:.2f} is not at the ground (y = 0)")
    if rule.get("cap"):
        r = np.hypot(V[:, 0], V[:, 2])
        for (pr, py) in CAP_POINTS:
            near = np.abs(r - pr) < 0.35
            top = V[near, 1].max() if near.any() else -1e9
            if abs(top - py) > 0.3:
                rep.fail(name, f"cap top at radius {pr} is y {top:.2f}, collider says {py}")
    if "ant" in rule:
        a, b = rule["ant"]
        span = hi[2] - lo[2]
        if not a <= span <= b:
            rep.fail(name, f"length along z {span:.2f}, want {a}..{b}")
        if abs(lo[1] + 2.5) > 0.2:
            rep.fail(name, f"legs reach y {lo[1]:.2f}, want about -2.5")
        # the bulky abdomen lies towards -z: split the enclosed volume at z = 0
        # (divergence theorem with the field (0, 0, z), which vanishes on the cut)
        tri = V.reshape(-1, 3, 3)
        cross_z = np.cross(tri[:, 1] - tri[:, 0], tri[:, 2] - tri[:, 0])[:, 2]
        cz = tri[:, :, 2].mean(axis=1)
        vol = 0.5 * cross_z * cz
        back, front = vol[cz < 0].sum(), vol[cz > 0].sum()
        if back <= 1.5 * front:
            rep.fail(name, f"volume behind z = 0 is {back:.1f}, in front {front:.1f}: the head must face +z")
        if hi[1] < 1.0:
            rep.fail(name, "back does not rise along +y")
    if "zspan" in rule:
        a, b = rule["zspan"]
        if not a <= hi[2] - lo[2] <= b:
            rep.fail(name, f"length along z {hi[2] - lo[2]:.2f}, want {a}..{b}")
    if "max_span" in rule:
        a, b = rule["max_span"]
        span = (hi - lo).max()
        if not a <= span <= b:
            rep.fail(name, f"largest extent {span:.2f}, want {a}..{b}")


def _mutants():
    """Damaged copies of real models, each with the problem the checker must name."""

    def lines_map(fn):
        return lambda text: "\n".join(fn(l) for l in text.split("\n"))

    def flip_winding(line):
        w = line.split()
        return " ".join([w[0], w[3], w[2], w[1]]) if w and w[0] == "f" else line

    def flip_v(line):
        w = line.split()
        return f"vt {w[1]} {1.0 - float(w[2]):.5f}" if w and w[0] == "vt" else line

    def mirror_z(line):
        w = line.split()
        if w and w[0] in ("v", "vn"):
            return f"{w[0]} {w[1]} {w[2]} {-float(w[3]):.5f}"
        return flip_winding(line)

    def grow(line):
        w = line.split()
        return "v " + " ".join(f"{float(x) * 1.1:.4f}" for x in w[1:4]) if w and w[0] == "v" else line

    def long_normals(line):
        w = line.split()
        return "vn " + " ".join(f"{float(x) * 1.2:.5f}" for x in w[1:4]) if w and w[0] == "vn" else line

    def quad(text):
        i = text.index("\nf ")
        j = text.index("\n", i + 1)
        return text[:j] + " 1/1/1" + text[j:]

    def bad_index(text):
        i = text.index("\nf ")
        j = text.index("\n", i + 1)
        return text[:i] + "\nf 60000/1/1 1/1/1 2/2/2" + text[j:]

    def rename_group(text):
        return text.replace("usemtl chitin", "usemtl chitin_missing")

    return [
        ("flatPlatformLen3", "obj", lines_map(flip_winding), "wind against"),
        ("boulder", "obj", lines_map(flip_v), "normal map disagrees"),
        ("worker_ant", "obj", lines_map(mirror_z), "the head must face +z"),
        ("rock_platform", "obj", lines_map(grow), "bounds"),
        ("spikes", "obj", lines_map(long_normals), "not unit length"),
        ("antEgg", "obj", quad, "face with 4 vertices"),
        ("candy_corn", "obj", bad_index, "out of range"),
        ("worker_ant", "obj", rename_group, "not in the library"),
        ("breakable", "normal", None, "not unit vectors"),
    ]


def self_test():
    """Runs the checker over damaged copies of the real models and fails unless
    each damage is reported (and the undamaged copies pass)."""
    import shutil
    import tempfile
    ok = True
    with tempfile.TemporaryDirectory() as tmp:
        for f in os.listdir(MODEL_DIR):
            shutil.copy(os.path.join(MODEL_DIR, f), tmp)
        for name, kind, fn, expect in _mutants():
            work = os.path.join(tmp, "case")
            shutil.rmtree(work, ignore_errors=True)
            shutil.copytree(tmp, work, ignore=shutil.ignore_patterns("case"))
            if kind == "obj":
                p = os.path.join(work, name + ".obj")
                with open(p) as fh:
                    text = fh.read()
                with open(p, "w") as fh:
                    fh.write(fn(text))
            else:
                p = os.path.join(work, NORMAL_MAPS[name])
                img = np.asarray(Image.open(p).convert("RGB")).copy()
                img[10:20, 10:20] = (128, 128, 128)
                Image.fromarray(img).save(p)
            clean = Report()
            check_model(clean, name, tmp)
            rep = Report()
            check_model(rep, name, work)
            found = any(expect in f for f in rep.failures)
            status = "caught" if found and not clean.failures else "MISSED"
            ok &= status == "caught"
            print(f"self-test {name:18} {expect:24} {status}")
    return 0 if ok else 1


def main(argv):
    if argv == ["--self-test"]:
        return self_test()
    names = argv or list(RULES)
    rep = Report()
    total = 0
    all_files = set()
    print(f"{'model':18} {'tris':>5}  {'bounds (x / y / z)':44} normal map")
    for name in names:
        res = check_model(rep, name)
        if res is None:
            continue
        tris, lo, hi, nm, size, files = res
        all_files |= files
        b = f"{lo[0]:7.2f}..{hi[0]:6.2f} / {lo[1]:6.2f}..{hi[1]:6.2f} / {lo[2]:6.2f}..{hi[2]:6.2f}"
        extra = f"cos {nm[0]:.3f}, {nm[1] * 100:.0f}% texels used" if nm else "-"
        print(f"{name:18} {tris:5d}  {b:44} {extra}")
    total = sum(os.path.getsize(f) for f in all_files)
    print(f"total size of these models' files: {total / 1024 / 1024:.2f} MB")
    if not argv and total > BUDGET_BYTES:
        rep.fail("all", f"{total / 1024 / 1024:.2f} MB exceeds the {BUDGET_BYTES / 1024 / 1024:.0f} MB budget")
    if rep.failures:
        print(f"\n{len(rep.failures)} problem(s):")
        for f in rep.failures:
            print("  FAIL", f)
        return 1
    print("all checks passed")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
