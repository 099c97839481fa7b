"""The ninja as the game sees it: imported through Assimp by `dump_import.cpp`, posed like the game.

`load()` builds the small C++ import tool once (cached under the repository's build-ninja-tools/),
imports the model with the game's flags and returns a `GameModel` holding the bones, keyframes, mesh
arrays and materials in the game's own terms. `GameModel.pose()` is the game's pose algorithm
(rest offsets, keyframe rotations, root position and root offset, no interpolation) and `skin()`
applies the skinning matrices to the vertices with the four weight slots the game fills.
"""

import hashlib
import json
import pathlib
import subprocess
import tempfile

import numpy as np

from ninjamath import quat_to_mat3

HERE = pathlib.Path(__file__).resolve().parent
REPO = HERE.parents[2]
ROOT_OFFSET = np.array([0.0, -10.75, 0.0])


def import_tool():
    """Path of the compiled import tool, building it when its source changed."""
    src = HERE / "dump_import.cpp"
    digest = hashlib.sha1(src.read_bytes()).hexdigest()[:12]
    out_dir = REPO / "build-ninja-tools"
    exe = out_dir / f"dump_import-{digest}"
    if not exe.exists():
        out_dir.mkdir(exist_ok=True)
        subprocess.run(["g++", "-std=c++17", "-O2", "-Wall", "-Wextra", str(src), "-lassimp", "-o", str(exe)],
                       check=True)
    return exe


class GameModel:
    def __init__(self, data):
        self.raw = data
        bones = data["bones"]
        self.names = [b["name"] for b in bones]
        self.parent = [b["parent"] for b in bones]
        self.offset = np.array([b["offset"] for b in bones], dtype=np.float64)
        self.bind = np.array([b["bindPosition"] for b in bones], dtype=np.float64)
        self.root_diag = np.array(data.get("rootMatrixDiagonal", [1, 1, 1]), dtype=np.float64)
        index = {n: i for i, n in enumerate(self.names)}
        # Keyframes: one per rotation key of the first channel.
        anim = data["animations"][0] if data["animations"] else {"channels": []}
        chans = anim["channels"]
        count = len(chans[0]["rotationTimes"]) if chans else 0
        self.rotations = np.zeros((count, len(self.names), 4))
        self.rotations[:, :, 3] = 1.0
        self.root_pos = np.zeros((count, 3))
        for ch in chans:
            if ch["node"] not in index:
                continue
            b = index[ch["node"]]
            rot = np.array(ch["rotations"], dtype=np.float64).reshape(-1, 4)
            n = min(count, len(rot))
            self.rotations[:n, b] = rot[:n]
            if b == 0:
                pos = np.array(ch["positions"], dtype=np.float64).reshape(-1, 3)
                m = min(count, len(pos))
                self.root_pos[:m] = pos[:m]
        self.keyframes = count
        mesh = data["meshes"][0]
        self.pos = np.array(mesh["positions"], dtype=np.float64).reshape(-1, 3)
        self.uv = np.array(mesh["uvs"], dtype=np.float64).reshape(-1, 2)
        self.nrm = np.array(mesh["normals"], dtype=np.float64).reshape(-1, 3)
        self.tan = np.array(mesh["tangents"], dtype=np.float64).reshape(-1, 3)
        self.bit = np.array(mesh["bitangents"], dtype=np.float64).reshape(-1, 3)
        self.slot_idx = np.array(mesh["slotIndices"], dtype=np.int64).reshape(-1, 4)
        self.slot_w = np.array(mesh["slotWeights"], dtype=np.float64).reshape(-1, 4)
        self.faces = np.array(mesh["faces"], dtype=np.int64).reshape(-1, 3)
        self.materials = data["materials"]

    def pose(self, frame):
        """Skinning matrices (bones x 4 x 4) for one keyframe, root offset included."""
        n = len(self.names)
        glob = np.zeros((n, 4, 4))
        root_matrix = np.diag([*self.root_diag, 1.0])
        for i in range(n):
            local = np.eye(4)
            local[:3, :3] = quat_to_mat3(self.rotations[frame, i])
            local[:3, 3] = self.offset[i]
            if self.parent[i] < 0:
                t = np.eye(4)
                t[:3, 3] = ROOT_OFFSET + self.root_pos[frame]
                glob[i] = t @ root_matrix @ local
            else:
                glob[i] = glob[self.parent[i]] @ local
        skin = np.zeros_like(glob)
        for i in range(n):
            inv_bind = np.eye(4)
            inv_bind[:3, 3] = -self.bind[i]
            skin[i] = glob[i] @ inv_bind
        return skin

    def skin(self, skin):
        """Posed positions, normals, tangents and bitangents (the weighted sum of the four slots)."""
        m = np.zeros((len(self.pos), 4, 4))
        idx = np.clip(self.slot_idx, 0, len(self.names) - 1)
        for k in range(4):
            m += skin[idx[:, k]] * self.slot_w[:, k, None, None]
        p = np.einsum("vij,vj->vi", m[:, :3, :3], self.pos) + m[:, :3, 3]
        lin = m[:, :3, :3]
        n = np.einsum("vij,vj->vi", lin, self.nrm)
        t = np.einsum("vij,vj->vi", lin, self.tan)
        b = np.einsum("vij,vj->vi", lin, self.bit)
        for a in (n, t, b):
            a /= np.maximum(np.linalg.norm(a, axis=1, keepdims=True), 1e-9)
        return p, n, t, b


def load(model_path):
    exe = import_tool()
    with tempfile.TemporaryDirectory() as tmp:
        out = pathlib.Path(tmp) / "dump.json"
        subprocess.run([str(exe), str(model_path), str(out)], check=True)
        return GameModel(json.loads(out.read_text()))


def read_segments(path):
    """Reads an animation definition file the way the game's definition reader does.

    Returns (model file name, [(name, start, end, loop, secondsPerFrame)]).
    """
    text = pathlib.Path(path).read_text()
    pos = 0

    def skip():
        nonlocal pos
        while pos < len(text):
            if text[pos].isspace():
                pos += 1
            elif text.startswith("//", pos):
                nl = text.find("\n", pos)
                pos = len(text) if nl < 0 else nl + 1
            elif text.startswith("/*", pos):
                end = text.find("*/", pos + 2)
                pos = len(text) if end < 0 else end + 2
            else:
                break

    def peek():
        skip()
        return text[pos] if pos < len(text) else ""

    def expect(ch):
        nonlocal pos
        if peek() != ch:
            raise ValueError(f"expected {ch!r} at offset {pos}, got {peek()!r}")
        pos += 1

    def read_string():
        nonlocal pos
        if peek() == '"':
            end = text.index('"', pos + 1)
            s = text[pos + 1:end]
            pos = end + 1
            return s
        start = pos
        while pos < len(text) and (text[pos].isalnum() or text[pos] == "_"):
            pos += 1
        return text[start:pos]

    def read_number(chars):
        nonlocal pos
        skip()
        start = pos
        while pos < len(text) and text[pos] in chars:
            pos += 1
        return text[start:pos]

    expect("{")
    model = read_string()
    expect("[")
    segments = []
    while peek() != "]":
        name = read_string()
        expect("{")
        start = int(read_number("0123456789-") or 0)
        end = int(read_number("0123456789-") or 0)
        loop, spf = True, 1.0
        if peek() != "}":
            loop = int(read_number("0123456789-") or 0) != 0
            if peek() != "}":
                spf = float(read_number("0123456789.-") or 0)
        expect("}")
        segments.append((name, start, end, loop, spf))
    expect("]")
    expect("}")
    return model, segments
