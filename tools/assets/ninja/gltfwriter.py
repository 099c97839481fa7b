"""Writes the ninja as glTF 2.0: a .gltf JSON file, one .bin buffer and external PNG textures.

Layout the game's importer relies on:
- two top-level nodes: the skeleton root bone "root" and, beside it, the mesh node "ninjaMesh";
- every bone node has a translation-only rest transform (no rotation, no scale);
- the skin lists the bones in the importer's depth-first pre-order, with inverse bind matrices that
  are pure translations by minus each bone's bind position;
- one animation whose channels all share one key-time accessor: a rotation channel for every bone and
  a translation channel for the root, one key per frame.
"""

import json

import numpy as np

import skeleton as sk

FPS = 24.0

# glTF constants
FLOAT = 5126
UNSIGNED_SHORT = 5123
ARRAY_BUFFER = 34962
ELEMENT_ARRAY_BUFFER = 34963


class _Buffer:
    def __init__(self):
        self.data = bytearray()
        self.views = []
        self.accessors = []

    def add(self, array, ctype, atype, target=None, minmax=False):
        """Appends a typed array as its own buffer view and accessor; returns the accessor index."""
        while len(self.data) % 4:
            self.data.append(0)
        raw = array.tobytes()
        view = {"buffer": 0, "byteOffset": len(self.data), "byteLength": len(raw)}
        if target is not None:
            view["target"] = target
        self.data += raw
        self.views.append(view)
        count = array.shape[0]
        acc = {"bufferView": len(self.views) - 1, "componentType": ctype, "count": count, "type": atype}
        if minmax:
            flat = array.reshape(count, -1)
            acc["min"] = [float(v) for v in flat.min(axis=0)]
            acc["max"] = [float(v) for v in flat.max(axis=0)]
        self.accessors.append(acc)
        return len(self.accessors) - 1


def write(path_gltf, path_bin, mesh, frames, diffuse_uri, normal_uri):
    buf = _Buffer()
    pos = buf.add(mesh.pos.astype(np.float32), FLOAT, "VEC3", ARRAY_BUFFER, minmax=True)
    nrm = buf.add(mesh.nrm.astype(np.float32), FLOAT, "VEC3", ARRAY_BUFFER)
    tan = buf.add(mesh.tan.astype(np.float32), FLOAT, "VEC4", ARRAY_BUFFER)
    uv = buf.add(mesh.uv.astype(np.float32), FLOAT, "VEC2", ARRAY_BUFFER)
    jts = buf.add(mesh.joints.astype(np.uint16), UNSIGNED_SHORT, "VEC4", ARRAY_BUFFER)
    wts = buf.add(mesh.weights.astype(np.float32), FLOAT, "VEC4", ARRAY_BUFFER)
    assert len(mesh.pos) < 65536
    idx = buf.add(mesh.tris.reshape(-1).astype(np.uint16), UNSIGNED_SHORT, "SCALAR", ELEMENT_ARRAY_BUFFER)

    # Inverse bind matrices, column-major: translation by -bind position.
    ibm = np.zeros((sk.COUNT, 16), dtype=np.float32)
    for i in range(sk.COUNT):
        m = np.eye(4)
        m[:3, 3] = -sk.BIND[i]
        ibm[i] = m.T.reshape(-1)
    ibm_acc = buf.add(ibm, FLOAT, "MAT4")

    n = len(frames)
    times = (np.arange(n, dtype=np.float64) / FPS).astype(np.float32)
    time_acc = buf.add(times, FLOAT, "SCALAR", minmax=True)
    samplers, channels = [], []
    for b in range(sk.COUNT):
        rot = np.array([f.q[b] for f in frames], dtype=np.float32)
        rot /= np.linalg.norm(rot, axis=1, keepdims=True)
        out = buf.add(rot, FLOAT, "VEC4")
        samplers.append({"input": time_acc, "output": out, "interpolation": "LINEAR"})
        channels.append({"sampler": len(samplers) - 1, "target": {"node": b, "path": "rotation"}})
    root_t = np.array([f.root for f in frames], dtype=np.float32)
    out = buf.add(root_t, FLOAT, "VEC3")
    samplers.append({"input": time_acc, "output": out, "interpolation": "LINEAR"})
    channels.append({"sampler": len(samplers) - 1, "target": {"node": 0, "path": "translation"}})

    nodes = []
    for i, name in enumerate(sk.NAMES):
        node = {"name": name}
        if np.any(sk.OFFSET[i] != 0):
            node["translation"] = [float(v) for v in sk.OFFSET[i]]
        kids = sk.children(i)
        if kids:
            node["children"] = kids
        nodes.append(node)
    mesh_node = len(nodes)
    nodes.append({"name": "ninjaMesh", "mesh": 0, "skin": 0})

    doc = {
        "asset": {"version": "2.0", "generator": "Mossfang tools/assets/ninja/generate.py"},
        "scene": 0,
        "scenes": [{"name": "ninja", "nodes": [0, mesh_node]}],
        "nodes": nodes,
        "skins": [{"name": "ninjaSkin", "joints": list(range(sk.COUNT)), "skeleton": 0,
                   "inverseBindMatrices": ibm_acc}],
        "meshes": [{"name": "ninja", "primitives": [{
            "attributes": {"POSITION": pos, "NORMAL": nrm, "TANGENT": tan, "TEXCOORD_0": uv,
                           "JOINTS_0": jts, "WEIGHTS_0": wts},
            "indices": idx, "material": 0, "mode": 4}]}],
        "materials": [{
            "name": "ninjaCloth",
            "pbrMetallicRoughness": {"baseColorFactor": [1.0, 1.0, 1.0, 1.0],
                                     "baseColorTexture": {"index": 0},
                                     "metallicFactor": 0.0, "roughnessFactor": 0.85},
            "normalTexture": {"index": 1},
        }],
        "textures": [{"sampler": 0, "source": 0}, {"sampler": 0, "source": 1}],
        "images": [{"uri": diffuse_uri}, {"uri": normal_uri}],
        "samplers": [{"magFilter": 9729, "minFilter": 9987, "wrapS": 33071, "wrapT": 33071}],
        "animations": [{"name": "ninjaActions", "samplers": samplers, "channels": channels}],
        "buffers": [{"uri": path_bin.name, "byteLength": len(buf.data)}],
        "bufferViews": buf.views,
        "accessors": buf.accessors,
    }
    path_bin.write_bytes(bytes(buf.data))
    path_gltf.write_text(json.dumps(doc, indent=1, separators=(",", ": ")) + "\n")
