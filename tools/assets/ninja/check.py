#!/usr/bin/python3
"""Checks the generated ninja the way the game will use it; exits 1 on any fault.

Imports assets/models/ninja.gltf through Assimp with the game's flags (gamedata.py) and verifies:
the skeleton (names, pre-order, identity rest rotations, bind positions), the single animation
(one rotation key per frame on every bone, same times, root translation keys, no other translation),
the mesh (triangles, tangents and bitangents that agree with the normal map's convention, at most four
weights per vertex summing to one), the material and its texture, the animation definition file
(grammar, frame ranges, seamless loops), and the posed geometry (bind pose placement, feet on and not
through the floor, no torn triangles).

    /usr/bin/python3 tools/assets/ninja/check.py [--dir FOLDER]
"""

import argparse
import json
import math
import pathlib
import sys

HERE = pathlib.Path(__file__).resolve().parent
sys.path.insert(0, str(HERE))

import numpy as np  # noqa: E402
from PIL import Image  # noqa: E402

import gamedata  # noqa: E402
import skeleton as sk  # noqa: E402

MODELS = gamedata.REPO / "assets" / "models"
FLOOR = -5.0
EXPECTED_SEGMENTS = {"idle": True, "walking": True, "jump": False, "freefall": True,
                     "landing": False, "punch": False, "death": False, "hurt": False}
GROUNDED = ("idle", "walking", "landing", "punch", "hurt", "death")
STANDING = ("idle", "landing", "punch", "hurt")


class Report:
    def __init__(self):
        self.failures = []

    def check(self, ok, what):
        if not ok:
            self.failures.append(what)
        return ok


def quat_angle(a, b):
    d = abs(float(np.dot(a / np.linalg.norm(a), b / np.linalg.norm(b))))
    return math.degrees(2 * math.acos(min(1.0, d)))


def check_skeleton(r, m):
    r.check(m.names == sk.NAMES, f"bone names/order {m.names} != {sk.NAMES}")
    r.check(m.parent == sk.PARENT, f"bone parents {m.parent} != {sk.PARENT}")
    r.check(all(p < i for i, p in enumerate(m.parent)), "a bone precedes its parent")
    r.check(m.raw.get("skeletonRoot") == "root", f"skeleton root is {m.raw.get('skeletonRoot')}")
    r.check(np.allclose(m.root_diag, 1.0), f"root scale {m.root_diag}")
    r.check(np.allclose(m.offset[0], 0.0), "root bone has a rest translation")
    if m.names == sk.NAMES:
        r.check(np.allclose(m.bind, sk.BIND, atol=1e-4), "bind positions differ from the generator's")
    for b in m.raw["bones"]:
        r.check(np.allclose(np.abs(b["restRotation"]), [0, 0, 0, 1], atol=1e-6), f"{b['name']} has a rest rotation")
        r.check(np.allclose(b["restScale"], 1.0, atol=1e-6), f"{b['name']} has a rest scale")


def check_animation(r, m):
    anims = m.raw["animations"]
    if not r.check(len(anims) == 1, f"{len(anims)} animations (the game reads only one)"):
        return
    chans = {c["node"]: c for c in anims[0]["channels"]}
    first = anims[0]["channels"][0]
    times = np.array(first["rotationTimes"])
    n = len(times)
    r.check(n == m.keyframes and n > 0, "keyframe count differs from the first channel's rotation keys")
    r.check(np.all(np.diff(times) > 0), "key times are not increasing")
    for i, name in enumerate(m.names):
        c = chans.get(name)
        if not r.check(c is not None, f"bone {name} has no channel"):
            continue
        r.check(len(c["rotationTimes"]) == n, f"{name}: {len(c['rotationTimes'])} rotation keys, expected {n}")
        r.check(np.allclose(c["rotationTimes"], times), f"{name}: rotation key times differ")
        rot = np.array(c["rotations"]).reshape(-1, 4)
        r.check(np.allclose(np.linalg.norm(rot, axis=1), 1.0, atol=1e-4), f"{name}: non-unit quaternions")
        pos = np.array(c["positions"]).reshape(-1, 3)
        if i == 0:
            r.check(len(c["positionTimes"]) == n, f"root: {len(c['positionTimes'])} translation keys, expected {n}")
            r.check(np.allclose(c["positionTimes"], times), "root translation key times differ")
        else:
            r.check(np.allclose(pos, m.offset[i], atol=1e-5), f"{name}: animated translation (ignored by the game)")
        r.check(c["scalingKeys"] <= 1, f"{name}: animated scale")
    extra = set(chans) - set(m.names)
    r.check(not extra, f"channels for nodes that are not bones: {sorted(extra)}")


def check_mesh(r, m, gltf):
    meshes = m.raw["meshes"]
    r.check(len(meshes) == 1, f"{len(meshes)} meshes")
    mesh = meshes[0]
    tris = len(m.faces)
    r.check(mesh["allTriangles"], "non-triangle faces")
    r.check(1500 <= tris <= 5000, f"{tris} triangles, outside 1500..5000")
    file_count = gltf["accessors"][gltf["meshes"][0]["primitives"][0]["attributes"]["POSITION"]]["count"]
    r.check(mesh["vertexCount"] == file_count, "the importer changed the vertex count")
    r.check(len(m.tan) == len(m.pos) and len(m.bit) == len(m.pos), "no tangents/bitangents after import")
    r.check(len(m.uv) == len(m.pos), "no texture coordinates")
    if len(m.tan) != len(m.pos):
        return
    r.check(np.allclose(np.linalg.norm(m.nrm, axis=1), 1, atol=1e-3), "normals are not unit length")
    r.check(np.allclose(np.linalg.norm(m.tan, axis=1), 1, atol=1e-3), "tangents are not unit length")
    r.check(np.abs(np.einsum("ij,ij->i", m.nrm, m.tan)).max() < 1e-3, "tangents not perpendicular to normals")
    # Bitangent direction: must follow the image's up direction (decreasing v after the importer's
    # flips), the direction the normal map's green channel encodes.
    f = m.faces
    p0, p1, p2 = m.pos[f[:, 0]], m.pos[f[:, 1]], m.pos[f[:, 2]]
    uv0, uv1, uv2 = m.uv[f[:, 0]], m.uv[f[:, 1]], m.uv[f[:, 2]]
    e1, e2 = p1 - p0, p2 - p0
    d1, d2 = uv1 - uv0, uv2 - uv0
    det = d1[:, 0] * d2[:, 1] - d2[:, 0] * d1[:, 1]
    ok = np.abs(det) > 1e-9
    dpdu = (e1 * d2[:, 1:2] - e2 * d1[:, 1:2]) / np.where(ok, det, 1)[:, None]
    dpdv = (e2 * d1[:, 0:1] - e1 * d2[:, 0:1]) / np.where(ok, det, 1)[:, None]
    bt = (m.bit[f[:, 0]] + m.bit[f[:, 1]] + m.bit[f[:, 2]])
    tg = (m.tan[f[:, 0]] + m.tan[f[:, 1]] + m.tan[f[:, 2]])
    agree_b = np.einsum("ij,ij->i", bt[ok], -dpdv[ok]) > 0
    agree_t = np.einsum("ij,ij->i", tg[ok], dpdu[ok]) > 0
    r.check(agree_b.mean() > 0.97, f"bitangents disagree with the texture's up direction on {100 * (1 - agree_b.mean()):.1f}% of triangles")
    r.check(agree_t.mean() > 0.97, f"tangents disagree with +u on {100 * (1 - agree_t.mean()):.1f}% of triangles")
    # Triangles wind counter-clockwise seen from outside: their normals agree with the vertex normals.
    fn = np.cross(e1, e2)
    vn = m.nrm[f[:, 0]] + m.nrm[f[:, 1]] + m.nrm[f[:, 2]]
    facing = np.einsum("ij,ij->i", fn, vn) > 0
    r.check(facing.mean() > 0.98, f"{100 * (1 - facing.mean()):.1f}% of triangles wind against their normals")
    # Weights.
    infl = np.array(mesh["influences"])
    r.check(infl.max() <= 4, f"a vertex has {infl.max()} influences (the game keeps four)")
    r.check(infl.min() >= 1, "a vertex has no bone weight")
    sums = m.slot_w.sum(axis=1)
    r.check(np.allclose(sums, 1.0, atol=1e-4), f"weights sum to {sums.min():.4f}..{sums.max():.4f}")
    r.check(np.all(m.slot_idx[m.slot_w > 0] >= 0), "a weight names a bone outside the skeleton")
    root_w = m.slot_w[m.slot_idx == 0].sum()
    r.check(root_w == 0, "vertices are weighted to the root bone")


def check_material(r, m, model_path):
    mesh_mat = m.raw["meshes"][0]["material"]
    mat = m.materials[mesh_mat]
    r.check(mat.get("diffuseTextureCount", 0) >= 1, "material has no diffuse texture")
    tex = mat.get("diffuseTexture", "")
    r.check(tex == "ninjaDiffuse.png", f"diffuse texture path {tex!r}")
    r.check(mat.get("diffuse") is not None and np.allclose(mat["diffuse"], 1.0), f"diffuse colour {mat.get('diffuse')}")
    for name in ("ninjaDiffuse.png", "ninjaTangentMap.png"):
        path = model_path.parent / name
        if not r.check(path.exists(), f"{name} missing"):
            continue
        img = Image.open(path)
        w, h = img.size
        r.check(w == h and w & (w - 1) == 0, f"{name} is {w}x{h}, not a power-of-two square")
    nm = np.asarray(Image.open(model_path.parent / "ninjaTangentMap.png").convert("RGB"), dtype=np.float64) / 127.5 - 1
    r.check(nm[..., 2].min() > 0.2, "normal map has normals pointing into the surface")
    r.check(0.0 < np.abs(nm[..., :2]).mean() < 0.3, "normal map is flat or far too strong")


def check_segments(r, m, anim_path):
    try:
        model_name, segs = gamedata.read_segments(anim_path)
    except (ValueError, OSError) as e:
        r.check(False, f"animation file does not parse: {e}")
        return []
    r.check(model_name == "ninja.gltf", f"animation file names model {model_name!r}")
    names = [s[0] for s in segs]
    r.check(sorted(names) == sorted(EXPECTED_SEGMENTS), f"segments {names}")
    for name, start, end, loop, spf in segs:
        r.check(0 <= start < end < m.keyframes, f"{name}: frames {start}..{end} outside 0..{m.keyframes - 1}")
        if name in EXPECTED_SEGMENTS:
            r.check(loop == EXPECTED_SEGMENTS[name], f"{name}: loop flag {loop}")
        r.check(0.01 <= spf <= 0.2, f"{name}: {spf} seconds per frame")
        if loop and end < m.keyframes:
            worst = max(quat_angle(m.rotations[start, b], m.rotations[end, b]) for b in range(len(m.names)))
            r.check(worst < 0.5 and np.allclose(m.root_pos[start], m.root_pos[end], atol=1e-3),
                    f"{name}: loop is not seamless (frame {end} differs from {start} by {worst:.1f} degrees)")
    walk = [s for s in segs if s[0] == "walking"]
    if walk:
        _, a, b, _, spf = walk[0]
        r.check(0.5 <= (b - a) * spf <= 0.7, f"run stride lasts {(b - a) * spf:.2f} s")
    return segs


def check_poses(r, m, segs):
    # Bind pose: identity rotations, root at the origin.
    bind_skin = np.array([np.eye(4)] * len(m.names))
    for i in range(len(m.names)):
        bind_skin[i][:3, 3] = gamedata.ROOT_OFFSET
    p, _, _, _ = m.skin(bind_skin)
    r.check(abs(p[:, 1].min() - FLOOR) < 0.02, f"bind pose soles at {p[:, 1].min():.3f}, expected {FLOOR}")
    r.check(abs(p[:, 1].max() - 5.0) < 0.3, f"bind pose top at {p[:, 1].max():.3f}, expected about 5")
    r.check(abs(p[:, 0].max() + p[:, 0].min()) < 0.6, "bind pose is not centred on x = 0")
    rest_edges = np.concatenate([m.faces[:, [0, 1]], m.faces[:, [1, 2]], m.faces[:, [2, 0]]])
    rest_len = np.linalg.norm(m.pos[rest_edges[:, 0]] - m.pos[rest_edges[:, 1]], axis=1)
    long_edges = rest_len > 0.05
    stats = {}
    for name, start, end, loop, spf in segs:
        lows, worst_stretch = [], 0.0
        for f in range(start, end + 1):
            pp, _, _, _ = m.skin(m.pose(f))
            lows.append(pp[:, 1].min())
            ln = np.linalg.norm(pp[rest_edges[:, 0]] - pp[rest_edges[:, 1]], axis=1)
            ratio = ln[long_edges] / rest_len[long_edges]
            worst_stretch = max(worst_stretch, ratio.max())
        lows = np.array(lows)
        stats[name] = (lows.min(), lows.max(), worst_stretch)
        r.check(worst_stretch < 2.5, f"{name}: a triangle edge stretches {worst_stretch:.1f}x (torn skin)")
        if name in GROUNDED:
            r.check(lows.min() > FLOOR - 0.03, f"{name}: the mesh goes {FLOOR - lows.min():.2f} below the floor")
        if name in STANDING:
            shown = lows if not loop else lows[:-1]
            r.check(shown.max() < FLOOR + 0.12, f"{name}: the feet leave the floor by {shown.max() - FLOOR:.2f}")
        if name == "death":
            last = m.skin(m.pose(end))[0]
            r.check(last[:, 1].max() < FLOOR + 3.5, f"death ends with the top at {last[:, 1].max():.2f}: not lying down")
    return stats


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--dir", type=pathlib.Path, default=MODELS, help="folder with the ninja files")
    args = ap.parse_args()
    model_path = args.dir / "ninja.gltf"
    anim_path = args.dir / "ninjaAnimations.txt"
    r = Report()
    gltf = json.loads(model_path.read_text())
    m = gamedata.load(model_path)
    check_skeleton(r, m)
    check_animation(r, m)
    check_mesh(r, m, gltf)
    check_material(r, m, model_path)
    segs = check_segments(r, m, anim_path)
    stats = check_poses(r, m, segs)
    files = sorted(args.dir.glob("ninja*"))
    total = sum(f.stat().st_size for f in files)
    r.check(total < 3 * 1024 * 1024, f"ninja files take {total} bytes")

    print(f"triangles {len(m.faces)}, vertices {len(m.pos)}, bones {len(m.names)}, keyframes {m.keyframes}")
    print("segment   start  end  loop  s/frame  seconds  lowest..highest sole  worst stretch")
    for name, start, end, loop, spf in segs:
        lo, hi, st = stats.get(name, (0, 0, 0))
        print(f"{name:9s} {start:5d} {end:4d}  {'yes' if loop else 'no ':3s}  {spf:7.3f}  {(end - start) * spf:7.2f}"
              f"  {lo:7.2f}..{hi:6.2f}  {st:6.2f}")
    for f in files:
        print(f"{f.name:24s} {f.stat().st_size:9d} bytes")
    print(f"{'total':24s} {total:9d} bytes")
    if r.failures:
        print(f"\n{len(r.failures)} problems:")
        for f in r.failures:
            print("  - " + f)
        return 1
    print("\nall checks passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
