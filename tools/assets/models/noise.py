"""Seeded 3D noise for painting textures in object space (vectorised numpy).

Every function takes points as an (n, 3) array and a seed; the same seed always
gives the same field, so the generated textures repeat exactly from run to run.
"""

import numpy as np

_PERMS = {}


def _perm(seed):
    if seed not in _PERMS:
        rng = np.random.default_rng(seed)
        p = rng.permutation(256)
        _PERMS[seed] = np.concatenate([p, p]).astype(np.int64)
    return _PERMS[seed]


def _hash(ix, iy, iz, perm):
    """Lattice hash 0..255 from integer mixing, salted by the seed's permutation."""
    salt = int(perm[0]) * 2654435 + int(perm[1]) * 40503 + int(perm[2])
    h = (ix.astype(np.int64) * 73856093) ^ (iy.astype(np.int64) * 19349663) ^ (iz.astype(np.int64) * 83492791)
    h = h ^ salt
    h = (h ^ (h >> 13)) * 1274126177
    h = h ^ (h >> 16)
    return h & 255


def value(p, seed=0):
    """Smooth value noise in [-1, 1] with unit lattice spacing."""
    p = np.asarray(p, dtype=np.float64)
    perm = _perm(seed)
    fl = np.floor(p)
    i = fl.astype(np.int64)
    f = p - fl
    u = f * f * f * (f * (f * 6 - 15) + 10)
    x0, y0, z0 = i[:, 0], i[:, 1], i[:, 2]
    out = 0.0
    for dx in (0, 1):
        wx = u[:, 0] if dx else 1 - u[:, 0]
        for dy in (0, 1):
            wy = u[:, 1] if dy else 1 - u[:, 1]
            for dz in (0, 1):
                wz = u[:, 2] if dz else 1 - u[:, 2]
                h = _hash(x0 + dx, y0 + dy, z0 + dz, perm)
                out = out + wx * wy * wz * (h / 127.5 - 1.0)
    return out


def fbm(p, seed=0, octaves=4, lacunarity=2.0, gain=0.5, freq=1.0):
    """Fractal sum of value noise, roughly in [-1, 1]."""
    p = np.asarray(p, dtype=np.float64) * freq
    total = 0.0
    amp = 1.0
    norm = 0.0
    for o in range(octaves):
        # each octave is shifted and turned a little so lattice lines do not stack
        q = p @ _ROT.T + o * 17.31
        total = total + amp * value(q, seed + o * 101)
        norm += amp
        amp *= gain
        p = p * lacunarity
    return total / norm


def ridged(p, seed=0, octaves=3, freq=1.0):
    """Ridges (1 at the crest, 0 far away) from folded noise."""
    return 1.0 - np.abs(fbm(p, seed, octaves, freq=freq))


_ROT = np.array([[0.00, 0.80, 0.60], [-0.80, 0.36, -0.48], [-0.60, -0.48, 0.64]])


def voronoi(p, seed=0, freq=1.0, jitter=0.9):
    """Cellular noise: returns (F1, F2, cell id) for jittered feature points on a
    unit lattice. F2 - F1 is small along the cell borders (cracks, scales)."""
    p = np.asarray(p, dtype=np.float64) * freq
    perm = _perm(seed)
    fl = np.floor(p).astype(np.int64)
    n = len(p)
    f1 = np.full(n, 1e9)
    f2 = np.full(n, 1e9)
    cid = np.zeros(n, dtype=np.int64)
    for dx in (-1, 0, 1):
        for dy in (-1, 0, 1):
            for dz in (-1, 0, 1):
                c = fl + np.array([dx, dy, dz])
                h1 = _hash(c[:, 0], c[:, 1], c[:, 2], perm)
                h2 = _hash(c[:, 0] + 7, c[:, 1] + 13, c[:, 2] + 29, perm)
                h3 = _hash(c[:, 0] + 31, c[:, 1] + 5, c[:, 2] + 11, perm)
                fp = c + 0.5 + jitter * (np.column_stack([h1, h2, h3]) / 255.0 - 0.5)
                d = np.linalg.norm(p - fp, axis=1)
                closer = d < f1
                f2 = np.where(closer, f1, np.minimum(f2, d))
                cid = np.where(closer, h1 * 65536 + h2 * 256 + h3, cid)
                f1 = np.where(closer, d, f1)
    return f1, f2, cid


def cell_random(cid, seed=0):
    """A repeatable random number in [0, 1) per cell id."""
    x = (cid.astype(np.uint64) * np.uint64(2654435761) + np.uint64(seed * 97 + 13)) % np.uint64(4294967291)
    x = (x ^ (x >> np.uint64(7))) * np.uint64(40503) % np.uint64(65521)
    return x.astype(np.float64) / 65521.0


def warp(p, seed=0, amount=0.5, freq=1.0):
    """Domain warp: p moved by a smooth noise vector field."""
    p = np.asarray(p, dtype=np.float64)
    d = np.column_stack([fbm(p, seed, 3, freq=freq), fbm(p, seed + 1, 3, freq=freq), fbm(p, seed + 2, 3, freq=freq)])
    return p + amount * d
