"""Texture atlas layout: cuts a mesh into charts and packs them into the unit square.

A chart is a connected set of faces that all face roughly one of the six axis
directions; it is projected flat onto the plane across that direction. Because
every face of a chart leans towards the chart's axis, no face turns over in the
projection; a chart that still folds onto itself is cut in two until none does.
Charts keep one common scale (texels per model unit, times an optional weight
per axis direction) and are separated by `pad` texels, so every texel belongs to
at most one face and mip-mapping does not mix neighbouring charts.
"""

import numpy as np

# axis directions and the (u, v) projection basis of each, with u x v = direction
DIRS = np.array([[1, 0, 0], [-1, 0, 0], [0, 1, 0], [0, -1, 0], [0, 0, 1], [0, 0, -1]], dtype=np.float64)
BASIS = {
    0: (np.array([0, 0, -1.0]), np.array([0, 1.0, 0])),
    1: (np.array([0, 0, 1.0]), np.array([0, 1.0, 0])),
    2: (np.array([1.0, 0, 0]), np.array([0, 0, -1.0])),
    3: (np.array([1.0, 0, 0]), np.array([0, 0, 1.0])),
    4: (np.array([1.0, 0, 0]), np.array([0, 1.0, 0])),
    5: (np.array([-1.0, 0, 0]), np.array([0, 1.0, 0])),
}
DIR_NAMES = ["+x", "-x", "+y", "-y", "+z", "-z"]


def _face_adjacency(F):
    """Pairs of faces sharing an edge."""
    edges = {}
    pairs = []
    for f, tri in enumerate(F):
        for k in range(3):
            a, b = int(tri[k]), int(tri[(k + 1) % 3])
            key = (min(a, b), max(a, b))
            if key in edges:
                for g in edges[key]:
                    pairs.append((g, f))
                edges[key].append(f)
            else:
                edges[key] = [f]
    return pairs


def _components(n, pairs, same):
    parent = list(range(n))

    def find(x):
        while parent[x] != x:
            parent[x] = parent[parent[x]]
            x = parent[x]
        return x

    for a, b in pairs:
        if same(a, b):
            ra, rb = find(a), find(b)
            if ra != rb:
                parent[ra] = rb
    groups = {}
    for i in range(n):
        groups.setdefault(find(i), []).append(i)
    return list(groups.values())


def _tri_cover(uv, res):
    """Counts, on a res x res grid over the charts' bounds, how many triangles cover
    each cell centre. Used to find charts that fold onto themselves."""
    lo = uv.reshape(-1, 2).min(axis=0)
    hi = uv.reshape(-1, 2).max(axis=0)
    span = np.maximum(hi - lo, 1e-9)
    s = (res - 1) / span.max()
    P = (uv - lo) * s
    cnt = np.zeros((res + 1, res + 1), dtype=np.int32)
    for t in P:
        x0, y0 = np.floor(t.min(axis=0)).astype(int)
        x1, y1 = np.ceil(t.max(axis=0)).astype(int)
        xs, ys = np.meshgrid(np.arange(x0, x1 + 1) + 0.5, np.arange(y0, y1 + 1) + 0.5, indexing="ij")
        b = _bary(t, xs.ravel(), ys.ravel())
        if b is None:
            continue
        inside = (b > 1e-6).all(axis=1)
        xi = np.clip(xs.ravel()[inside].astype(int), 0, res)
        yi = np.clip(ys.ravel()[inside].astype(int), 0, res)
        np.add.at(cnt, (xi, yi), 1)
    return cnt


def _bary(t, x, y):
    (x0, y0), (x1, y1), (x2, y2) = t
    det = (y1 - y2) * (x0 - x2) + (x2 - x1) * (y0 - y2)
    if abs(det) < 1e-14:
        return None
    l0 = ((y1 - y2) * (x - x2) + (x2 - x1) * (y - y2)) / det
    l1 = ((y2 - y0) * (x - x2) + (x0 - x2) * (y - y2)) / det
    return np.column_stack([l0, l1, 1 - l0 - l1])


def _project(V, F, faces, d):
    u, v = BASIS[d]
    P = V[F[faces]]
    return np.stack([P @ u, P @ v], axis=-1)


def _split_folding(V, F, faces, d, depth=0):
    """Returns the chart as one or more face lists whose projections do not overlap."""
    uv = _project(V, F, faces, d)
    if len(faces) < 2 or depth > 12:
        return [faces]
    cnt = _tri_cover(uv, 96)
    if (cnt > 1).sum() <= 0:
        return [faces]
    # cut across the longest extent of the chart in 3D
    cen = V[F[faces]].mean(axis=1)
    ax = int(np.argmax(cen.max(axis=0) - cen.min(axis=0)))
    med = np.median(cen[:, ax])
    a = [f for f, c in zip(faces, cen[:, ax]) if c <= med]
    b = [f for f, c in zip(faces, cen[:, ax]) if c > med]
    if not a or not b:
        half = len(faces) // 2
        a, b = faces[:half], faces[half:]
    return _split_folding(V, F, a, d, depth + 1) + _split_folding(V, F, b, d, depth + 1)


def make_charts(mesh, smooth_iters=3, min_dot=0.35, chart_key=None):
    """Groups faces into charts. chart_key(mesh) may return an extra per-face key
    that charts must not cross (e.g. the part id). Returns [(faces, direction)]."""
    V, F = mesh.V, mesh.F
    fn = mesh.face_normals()
    dots = fn @ DIRS.T
    label = np.argmax(dots, axis=1)
    pairs = _face_adjacency(F)
    nbrs = [[] for _ in range(len(F))]
    for a, b in pairs:
        nbrs[a].append(b)
        nbrs[b].append(a)
    # let lone faces join the direction of their neighbours while they still
    # lean towards it, so noisy surfaces do not shatter into tiny charts
    for _ in range(smooth_iters):
        new = label.copy()
        for f in range(len(F)):
            if not nbrs[f]:
                continue
            counts = np.bincount(label[nbrs[f]], minlength=6)
            best = int(np.argmax(counts))
            if counts[label[f]] == 0 and dots[f, best] > min_dot:
                new[f] = best
        label = new
    key = chart_key(mesh) if chart_key else np.zeros(len(F), dtype=np.int64)
    comps = _components(len(F), pairs, lambda a, b: label[a] == label[b] and key[a] == key[b])
    charts = []
    for faces in comps:
        d = int(label[faces[0]])
        for part in _split_folding(V, F, faces, d):
            charts.append((part, d))
    return charts


def pack(mesh, charts, size, pad=4, weights=None):
    """Places the charts in a size x size image. Returns per-corner UVs (m, 3, 2)
    with v = 0 at the bottom of the image, and the texels-per-unit scale used."""
    V, F = mesh.V, mesh.F
    weights = weights or {}
    rects = []
    for faces, d in charts:
        uv = _project(V, F, faces, d)
        w = weights.get(DIR_NAMES[d], 1.0)
        lo = uv.reshape(-1, 2).min(axis=0)
        uv = (uv - lo) * w
        ext = uv.reshape(-1, 2).max(axis=0)
        rot = ext[1] > ext[0] * 1.05
        if rot:
            # a quarter turn keeps the winding: (u, v) -> (v, ext_u - u)
            uv = np.stack([uv[..., 1], ext[0] - uv[..., 0]], axis=-1)
            ext = ext[::-1].copy()
        rects.append((faces, uv, ext))

    def try_pack(scale):
        order = sorted(range(len(rects)), key=lambda i: -rects[i][2][1])
        x = y = shelf_h = 0
        pos = {}
        for i in order:
            w = int(np.ceil(rects[i][2][0] * scale)) + pad
            h = int(np.ceil(rects[i][2][1] * scale)) + pad
            if w > size or h > size:
                return None
            if x + w > size:
                x = 0
                y += shelf_h
                shelf_h = 0
            if y + h > size:
                return None
            pos[i] = (x, y)
            x += w
            shelf_h = max(shelf_h, h)
        return pos

    lo, hi = 1e-4, 1e4
    for _ in range(60):
        mid = (lo * hi) ** 0.5
        if try_pack(mid) is not None:
            lo = mid
        else:
            hi = mid
    scale = lo
    pos = try_pack(scale)
    UV = np.zeros((len(F), 3, 2))
    for i, (faces, uv, ext) in enumerate(rects):
        x, y = pos[i]
        # the packer counts rows downwards from the top of the image while the
        # projected v and OBJ's v both run upwards: the chart's top edge sits at
        # texel row y + pad/2 and v grows towards it
        top = y + pad / 2.0
        bottom = top + ext[1] * scale
        UV[faces, :, 0] = (uv[..., 0] * scale + x + pad / 2.0) / size
        UV[faces, :, 1] = 1.0 - (bottom - uv[..., 1] * scale) / size
    return UV, scale


def layout(mesh, size, pad=4, weights=None, chart_key=None):
    """Charts and packing in one step: per-corner UVs for every face."""
    charts = make_charts(mesh, chart_key=chart_key)
    return pack(mesh, charts, size, pad=pad, weights=weights)
