"""Writing Wavefront OBJ/MTL files, and reading them back the way the game does.

The reader follows the game's loader on purpose: three arrays that start with an
all-zero element (so index 0 picks it), only the first three vertices of a face,
faces grouped by material name in sorted order, v replaced by 1 - v, and an MTL
material without a diffuse colour (or with a black one) shown white.
"""

import os

import numpy as np


def write_obj(path, mesh, UV, corner_normals, materials, mtl_name, header=""):
    """Writes mesh as triangles grouped by material. materials maps a material
    name to a dict of Ka, Kd, Ks (3-tuples), Ns (float) and map_Kd (file name)."""
    F = mesh.F
    used = np.unique(F)
    remap = np.full(len(mesh.V), -1, dtype=np.int64)
    remap[used] = np.arange(len(used))
    pos = mesh.V[used]

    def dedupe(arr, decimals):
        key = np.round(arr.reshape(-1, arr.shape[-1]), decimals)
        uniq, inv = np.unique(key, axis=0, return_inverse=True)
        return uniq, inv.reshape(arr.shape[:-1])

    nrm = corner_normals / np.linalg.norm(corner_normals, axis=2, keepdims=True)
    nu, ni = dedupe(nrm, 4)
    nu = nu / np.linalg.norm(nu, axis=1, keepdims=True)
    tu, ti = dedupe(UV, 5)
    for name, arr in (("positions", pos), ("normals", nu), ("texture coordinates", tu)):
        if len(arr) >= 65535:
            raise ValueError(f"{path}: {len(arr)} {name} do not fit the game's 16-bit indices")
    lines = []
    if header:
        lines += ["# " + h for h in header.splitlines()]
    lines.append(f"mtllib {mtl_name}")
    lines += ["v %.4f %.4f %.4f" % tuple(p) for p in pos]
    lines += ["vt %.5f %.5f" % tuple(t) for t in tu]
    lines += ["vn %.5f %.5f %.5f" % tuple(n) for n in nu]
    for name in sorted(set(mesh.mat)):
        if name not in materials:
            raise KeyError(f"{path}: material {name} has no definition")
        lines.append(f"usemtl {name}")
        for f in np.nonzero(mesh.mat == name)[0]:
            c = [f"{remap[F[f, k]] + 1}/{ti[f, k] + 1}/{ni[f, k] + 1}" for k in range(3)]
            lines.append("f " + " ".join(c))
    with open(path, "w") as fh:
        fh.write("\n".join(lines) + "\n")


def write_mtl(path, materials, header=""):
    lines = []
    if header:
        lines += ["# " + h for h in header.splitlines()]
    for name in sorted(materials):
        m = materials[name]
        lines.append(f"newmtl {name}")
        lines.append("Ka %.3f %.3f %.3f" % tuple(m.get("Ka", (0.2, 0.2, 0.2))))
        lines.append("Kd %.3f %.3f %.3f" % tuple(m.get("Kd", (1.0, 1.0, 1.0))))
        lines.append("Ks %.3f %.3f %.3f" % tuple(m.get("Ks", (0.0, 0.0, 0.0))))
        lines.append("Ns %.1f" % m.get("Ns", 10.0))
        if m.get("map_Kd"):
            lines.append(f"map_Kd {m['map_Kd']}")
        lines.append("")
    with open(path, "w") as fh:
        fh.write("\n".join(lines))


class ObjData:
    """An OBJ as the game sees it, plus what a checker needs to report problems."""

    def __init__(self):
        self.positions = [(0.0, 0.0, 0.0)]
        self.normals = [(0.0, 0.0, 0.0)]
        self.uvs = [(0.0, 0.0)]
        self.groups = {}          # material name -> list of (pi, ti, ni) triples
        self.mtllibs = []
        self.problems = []        # malformed lines, faces with other than three vertices


def _u16(text):
    """Reads an index as the game does: an unsigned 16-bit number (None if unreadable)."""
    try:
        v = int(text)
    except ValueError:
        return None
    return v if 0 <= v <= 65535 else None


def read_obj(path):
    d = ObjData()
    current = ""
    with open(path, "r", errors="replace") as fh:
        for lineno, line in enumerate(fh, 1):
            words = line.split()
            if not words:
                continue
            key = words[0]
            try:
                if key == "v":
                    d.positions.append(tuple(float(x) for x in words[1:4]))
                elif key == "vn":
                    d.normals.append(tuple(float(x) for x in words[1:4]))
                elif key == "vt":
                    d.uvs.append(tuple(float(x) for x in words[1:3]))
                elif key == "mtllib":
                    d.mtllibs.append(words[1])
                elif key == "usemtl":
                    current = words[1]
                    d.groups.setdefault(current, [])
                elif key == "f":
                    if len(words) != 4:
                        d.problems.append(f"line {lineno}: face with {len(words) - 1} vertices")
                    for vertex_text in words[1:4]:
                        parts = vertex_text.split("/")
                        pi = _u16(parts[0])
                        ti = _u16(parts[1]) if len(parts) > 1 and parts[1] != "" else 0
                        ni = _u16(parts[2]) if len(parts) > 2 and parts[2] != "" else 0
                        if pi is None or ti is None or ni is None:
                            d.problems.append(f"line {lineno}: unreadable index in {vertex_text}")
                            pi, ti, ni = pi or 0, ti or 0, ni or 0
                        d.groups.setdefault(current, []).append((pi, ti, ni))
            except (ValueError, IndexError):
                d.problems.append(f"line {lineno}: malformed '{key}' line")
    return d


def read_mtl(path):
    """Material library: name -> dict(Ka, Kd, Ks, Ns, map_Kd as a full path)."""
    lib = {}
    cur = None
    base = os.path.dirname(path)
    with open(path, "r", errors="replace") as fh:
        for line in fh:
            w = line.split()
            if not w:
                continue
            if w[0] == "newmtl":
                cur = {"Ka": None, "Kd": None, "Ks": None, "Ns": None, "map_Kd": None}
                lib[w[1]] = cur
            elif cur is not None and w[0] in ("Ka", "Kd", "Ks"):
                cur[w[0]] = tuple(float(x) for x in w[1:4])
            elif cur is not None and w[0] == "Ns":
                cur["Ns"] = float(w[1])
            elif cur is not None and w[0] == "map_Kd":
                cur["map_Kd"] = os.path.join(base, w[1])
    for m in lib.values():
        if m["Kd"] is None or all(c == 0 for c in m["Kd"]):
            m["Kd"] = (1.0, 1.0, 1.0)
    return lib


def expand(d):
    """Per-vertex arrays of each group as the game uploads them: {name: (pos, nrm, uv)}
    with v already flipped. Out-of-range indices are clamped here (the checker
    reports them separately)."""
    P = np.array(d.positions)
    N = np.array(d.normals)
    T = np.array(d.uvs)
    out = {}
    for name in sorted(d.groups):
        tr = np.array(d.groups[name], dtype=np.int64).reshape(-1, 3)
        if len(tr) == 0:
            continue
        pi = np.clip(tr[:, 0], 0, len(P) - 1)
        ti = np.clip(tr[:, 1], 0, len(T) - 1)
        ni = np.clip(tr[:, 2], 0, len(N) - 1)
        uv = T[ti].copy()
        uv[:, 1] = 1.0 - uv[:, 1]
        out[name] = (P[pi], N[ni], uv)
    return out
