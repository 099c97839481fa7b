"""Triangle meshes and the primitive shapes the models are built from.

A Mesh is an indexed triangle list with, per face, a material name, a smoothing
angle (0 keeps the face flat) and a part id that the painters use to tell the
pieces of a model apart. Per-vertex scalar attributes ("attrs") travel with the
vertices through every operation and are interpolated over the texture by the
baker (a tube's position along its length, a cap's height, ...).

Winding rule kept by every builder: triangles are counter-clockwise seen from
outside, so (b - a) x (c - a) points away from the solid.
"""

import math

import numpy as np


def normalize(v, axis=-1):
    """Unit vectors along the last axis; zero vectors stay zero."""
    v = np.asarray(v, dtype=np.float64)
    n = np.linalg.norm(v, axis=axis, keepdims=True)
    return np.where(n > 1e-12, v / np.maximum(n, 1e-12), 0.0)


def rot_x(deg):
    a = math.radians(deg)
    c, s = math.cos(a), math.sin(a)
    return np.array([[1, 0, 0], [0, c, -s], [0, s, c]], dtype=np.float64)


def rot_y(deg):
    a = math.radians(deg)
    c, s = math.cos(a), math.sin(a)
    return np.array([[c, 0, s], [0, 1, 0], [-s, 0, c]], dtype=np.float64)


def rot_z(deg):
    a = math.radians(deg)
    c, s = math.cos(a), math.sin(a)
    return np.array([[c, -s, 0], [s, c, 0], [0, 0, 1]], dtype=np.float64)


def rot_to(src, dst):
    """Rotation matrix turning direction src onto direction dst."""
    a = normalize(np.asarray(src, dtype=np.float64))
    b = normalize(np.asarray(dst, dtype=np.float64))
    v = np.cross(a, b)
    c = float(np.dot(a, b))
    if c < -0.999999:
        # Opposite directions: half turn about any axis perpendicular to a.
        axis = normalize(np.cross(a, [1.0, 0, 0]) if abs(a[0]) < 0.9 else np.cross(a, [0, 1.0, 0]))
        return 2.0 * np.outer(axis, axis) - np.eye(3)
    k = np.array([[0, -v[2], v[1]], [v[2], 0, -v[0]], [-v[1], v[0], 0]])
    return np.eye(3) + k + k @ k * (1.0 / (1.0 + c))


class Mesh:
    """Indexed triangles with per-face material, smoothing angle and part id."""

    def __init__(self, V=None, F=None, mat="default", smooth=40.0, part=0, attrs=None):
        self.V = np.zeros((0, 3)) if V is None else np.asarray(V, dtype=np.float64).reshape(-1, 3)
        self.F = np.zeros((0, 3), dtype=np.int64) if F is None else np.asarray(F, dtype=np.int64).reshape(-1, 3)
        m = len(self.F)
        self.mat = np.array([mat] * m, dtype=object)
        self.smooth = np.full(m, float(smooth))
        self.part = np.full(m, int(part), dtype=np.int64)
        self.attrs = {}
        for k, a in (attrs or {}).items():
            self.attrs[k] = np.asarray(a, dtype=np.float64).reshape(len(self.V))

    # -- building -----------------------------------------------------------
    def copy(self):
        out = Mesh()
        out.V = self.V.copy()
        out.F = self.F.copy()
        out.mat = self.mat.copy()
        out.smooth = self.smooth.copy()
        out.part = self.part.copy()
        out.attrs = {k: a.copy() for k, a in self.attrs.items()}
        return out

    def add(self, other):
        """Appends another mesh (its vertices are not shared with ours)."""
        n = len(self.V)
        keys = set(self.attrs) | set(other.attrs)
        attrs = {}
        for k in keys:
            a = self.attrs.get(k, np.zeros(len(self.V)))
            b = other.attrs.get(k, np.zeros(len(other.V)))
            attrs[k] = np.concatenate([a, b])
        self.V = np.concatenate([self.V, other.V])
        self.F = np.concatenate([self.F, other.F + n])
        self.mat = np.concatenate([self.mat, other.mat])
        self.smooth = np.concatenate([self.smooth, other.smooth])
        self.part = np.concatenate([self.part, other.part])
        self.attrs = attrs
        return self

    def set(self, mat=None, smooth=None, part=None):
        if mat is not None:
            self.mat[:] = mat
        if smooth is not None:
            self.smooth[:] = float(smooth)
        if part is not None:
            self.part[:] = int(part)
        return self

    def set_attr(self, name, values):
        self.attrs[name] = np.broadcast_to(np.asarray(values, dtype=np.float64), (len(self.V),)).copy()
        return self

    # -- placing --------------------------------------------------------------
    def transform(self, M, t=(0, 0, 0)):
        """Applies p -> M p + t. A mirroring M also flips the winding."""
        M = np.asarray(M, dtype=np.float64)
        self.V = self.V @ M.T + np.asarray(t, dtype=np.float64)
        if np.linalg.det(M) < 0:
            self.F = self.F[:, ::-1].copy()
        return self

    def translate(self, t):
        self.V = self.V + np.asarray(t, dtype=np.float64)
        return self

    def scale(self, s):
        return self.transform(np.diag(np.broadcast_to(np.asarray(s, dtype=np.float64), (3,))))

    def rotate(self, M, center=(0, 0, 0)):
        c = np.asarray(center, dtype=np.float64)
        self.V = (self.V - c) @ np.asarray(M).T + c
        return self

    def deform(self, fn):
        """Moves every vertex with fn(V) -> V' (vectorised)."""
        self.V = np.asarray(fn(self.V.copy()), dtype=np.float64)
        return self

    def flip(self):
        self.F = self.F[:, ::-1].copy()
        return self

    def weld(self, eps=1e-6):
        """Merges vertices at the same place so smoothing can cross primitive seams."""
        key = np.round(self.V / eps).astype(np.int64)
        _, first, inverse = np.unique(key, axis=0, return_index=True, return_inverse=True)
        inverse = inverse.reshape(-1)
        self.V = self.V[first]
        self.attrs = {k: a[first] for k, a in self.attrs.items()}
        self.F = inverse[self.F]
        keep = (self.F[:, 0] != self.F[:, 1]) & (self.F[:, 1] != self.F[:, 2]) & (self.F[:, 0] != self.F[:, 2])
        self._keep_faces(keep)
        return self

    def _keep_faces(self, keep):
        self.F = self.F[keep]
        self.mat = self.mat[keep]
        self.smooth = self.smooth[keep]
        self.part = self.part[keep]

    def drop_degenerate(self, min_area=1e-9):
        self._keep_faces(self.face_areas() > min_area)
        return self

    # -- queries ----------------------------------------------------------------
    def face_normals_raw(self):
        a, b, c = self.V[self.F[:, 0]], self.V[self.F[:, 1]], self.V[self.F[:, 2]]
        return np.cross(b - a, c - a)

    def face_areas(self):
        return 0.5 * np.linalg.norm(self.face_normals_raw(), axis=1)

    def face_normals(self):
        return normalize(self.face_normals_raw())

    def bounds(self):
        return self.V.min(axis=0), self.V.max(axis=0)

    def signed_volume(self):
        a, b, c = self.V[self.F[:, 0]], self.V[self.F[:, 1]], self.V[self.F[:, 2]]
        return float(np.einsum("ij,ij->i", a, np.cross(b, c)).sum() / 6.0)

    def corner_normals(self):
        """Per face corner normals: faces meeting at a vertex are averaged (weighted
        by corner angle) when both allow smoothing and their normals differ by less
        than the smaller of the two smoothing angles."""
        fn = self.face_normals()
        V, F = self.V, self.F
        # corner angles as weights
        w = np.zeros(F.shape)
        for k in range(3):
            p0 = V[F[:, k]]
            p1 = V[F[:, (k + 1) % 3]]
            p2 = V[F[:, (k + 2) % 3]]
            e1 = normalize(p1 - p0)
            e2 = normalize(p2 - p0)
            w[:, k] = np.arccos(np.clip(np.einsum("ij,ij->i", e1, e2), -1, 1))
        incident = [[] for _ in range(len(V))]
        for f in range(len(F)):
            for k in range(3):
                incident[F[f, k]].append((f, k))
        cos_limit = np.cos(np.radians(self.smooth))
        out = np.repeat(fn[:, None, :], 3, axis=1).copy()
        for v, lst in enumerate(incident):
            if len(lst) < 2:
                continue
            fs = np.array([f for f, _ in lst])
            ks = np.array([k for _, k in lst])
            ns = fn[fs]
            ws = w[fs, ks]
            lim = np.maximum(cos_limit[fs][:, None], cos_limit[fs][None, :])
            dots = ns @ ns.T
            smooth_ok = (self.smooth[fs][:, None] > 0) & (self.smooth[fs][None, :] > 0)
            join = smooth_ok & (dots >= lim - 1e-9)
            np.fill_diagonal(join, True)
            acc = (join * ws[None, :]) @ ns
            out[fs, ks] = normalize(acc)
        # a corner whose averaged normal collapsed keeps its face normal
        bad = np.linalg.norm(out, axis=2) < 0.5
        out[bad] = np.repeat(fn[:, None, :], 3, axis=1)[bad]
        return out

    def fit_box(self, lo, hi, axes=(0, 1, 2)):
        """Scales and moves the mesh per axis so its bounds become exactly lo..hi."""
        vmin, vmax = self.bounds()
        lo = np.asarray(lo, dtype=np.float64)
        hi = np.asarray(hi, dtype=np.float64)
        for a in axes:
            span = vmax[a] - vmin[a]
            s = (hi[a] - lo[a]) / span
            self.V[:, a] = (self.V[:, a] - vmin[a]) * s + lo[a]
        return self


def merge(*meshes):
    out = Mesh()
    for m in meshes:
        out.add(m)
    return out


# ---------------------------------------------------------------------------
# Primitives
# ---------------------------------------------------------------------------

def grid(nu, nv):
    """Quad grid faces over an (nu+1) x (nv+1) vertex lattice (index = i*(nv+1)+j),
    counter-clockwise when u runs right and v runs up."""
    faces = []
    for i in range(nu):
        for j in range(nv):
            a = i * (nv + 1) + j
            b = (i + 1) * (nv + 1) + j
            c = (i + 1) * (nv + 1) + j + 1
            d = i * (nv + 1) + j + 1
            faces.append((a, b, c))
            faces.append((a, c, d))
    return np.array(faces, dtype=np.int64).reshape(-1, 3)


def box(half, div=(1, 1, 1), round_r=0.0, round_steps=2, mat="default", smooth=40.0, part=0):
    """Axis-aligned box centred at the origin with half extents `half`. With
    round_r > 0 its edges and corners are rounded with that radius (the grid gets
    extra rows there so the rounding has vertices to bend)."""
    half = np.asarray(half, dtype=np.float64)

    def coords(h, n):
        if round_r <= 0:
            return np.linspace(-h, h, n + 1)
        r = min(round_r, h * 0.95)
        inner = np.linspace(-(h - r), h - r, max(n, 1) + 1)
        # tangent spacing gives even angles once the points are bent onto the arc
        ts = np.tan(np.radians(np.linspace(0, 45, round_steps + 1)))[1:] * r
        lo = -(h - r) - ts[::-1]
        hi = (h - r) + ts
        return np.concatenate([lo, inner, hi])

    cs = [coords(half[a], div[a]) for a in range(3)]
    out = Mesh()
    # each face: axis a with sign s, grid axes (u, v) such that u x v = s * e_a
    for a in range(3):
        u_ax, v_ax = (a + 1) % 3, (a + 2) % 3
        for s in (1.0, -1.0):
            us, vs = cs[u_ax], cs[v_ax]
            if s < 0:
                us, vs = cs[v_ax], cs[u_ax]
                u_ax2, v_ax2 = v_ax, u_ax
            else:
                u_ax2, v_ax2 = u_ax, v_ax
            V = np.zeros(((len(us)) * (len(vs)), 3))
            idx = 0
            for i, u in enumerate(us):
                for j, v in enumerate(vs):
                    p = np.zeros(3)
                    p[a] = s * half[a]
                    p[u_ax2] = u
                    p[v_ax2] = v
                    V[idx] = p
                    idx += 1
            F = grid(len(us) - 1, len(vs) - 1)
            out.add(Mesh(V, F, mat=mat, smooth=smooth, part=part))
    out.weld(1e-7)
    if round_r > 0:
        r = np.minimum(round_r, half * 0.95)
        inner = half - r
        q = np.clip(out.V, -inner, inner)
        d = out.V - q
        # bend the outer band onto an ellipsoidal rounding of radius r
        dn = normalize(d / r)
        out.V = q + dn * r
    return out


def lathe(profile, segments=24, mat="default", smooth=50.0, part=0, attr=None, phase=0.0):
    """Surface of revolution about +y. profile is a list of (radius, y) from the
    bottom to the top; a radius of 0 makes a pole. attr optionally names a vertex
    attribute that receives the profile parameter (0 at the first point, 1 at the last)."""
    prof = np.asarray(profile, dtype=np.float64)
    n = len(prof)
    # arc-length parameter along the profile
    seg = np.linalg.norm(np.diff(prof, axis=0), axis=1)
    t = np.concatenate([[0], np.cumsum(seg)])
    t = t / max(t[-1], 1e-12)
    V, ts, rows = [], [], []
    for i, (r, y) in enumerate(prof):
        if r <= 1e-9:
            rows.append([len(V)])
            V.append((0.0, y, 0.0))
            ts.append(t[i])
        else:
            row = []
            for k in range(segments):
                a = 2 * math.pi * k / segments + phase
                row.append(len(V))
                V.append((r * math.sin(a), y, r * math.cos(a)))
                ts.append(t[i])
            rows.append(row)
    F = []
    for i in range(n - 1):
        r0, r1 = rows[i], rows[i + 1]
        if len(r0) == 1 and len(r1) == 1:
            continue
        for k in range(segments):
            k1 = (k + 1) % segments
            if len(r0) == 1:
                F.append((r0[0], r1[k], r1[k1]))
            elif len(r1) == 1:
                F.append((r0[k], r1[0], r0[k1]))
            else:
                F.append((r0[k], r1[k], r1[k1]))
                F.append((r0[k], r1[k1], r0[k1]))
    m = Mesh(np.array(V), np.array(F), mat=mat, smooth=smooth, part=part)
    # orientation: the sweep above winds outward when the profile rises with
    # the solid on the axis side; fix it if the caller's profile runs the other way
    F = np.array(F)
    if len(F):
        fn = m.face_normals_raw()
        c = m.V[m.F].mean(axis=1)
        radial = c.copy()
        radial[:, 1] = 0
        if np.einsum("ij,ij->i", fn, radial).sum() < 0:
            m.flip()
    if attr:
        m.set_attr(attr, np.array(ts))
    return m


def uv_sphere(radius=1.0, segments=16, rings=10, mat="default", smooth=80.0, part=0):
    prof = [(radius * math.sin(math.pi * i / rings), -radius * math.cos(math.pi * i / rings)) for i in range(rings + 1)]
    prof[0] = (0.0, -radius)
    prof[-1] = (0.0, radius)
    return lathe(prof, segments, mat=mat, smooth=smooth, part=part)


def icosphere(radius=1.0, subdiv=2, mat="default", smooth=80.0, part=0):
    t = (1 + 5 ** 0.5) / 2
    V = [(-1, t, 0), (1, t, 0), (-1, -t, 0), (1, -t, 0), (0, -1, t), (0, 1, t), (0, -1, -t), (0, 1, -t),
         (t, 0, -1), (t, 0, 1), (-t, 0, -1), (-t, 0, 1)]
    F = [(0, 11, 5), (0, 5, 1), (0, 1, 7), (0, 7, 10), (0, 10, 11), (1, 5, 9), (5, 11, 4), (11, 10, 2), (10, 7, 6),
         (7, 1, 8), (3, 9, 4), (3, 4, 2), (3, 2, 6), (3, 6, 8), (3, 8, 9), (4, 9, 5), (2, 4, 11), (6, 2, 10),
         (8, 6, 7), (9, 8, 1)]
    V = [np.array(v, dtype=np.float64) / np.linalg.norm(v) for v in V]
    for _ in range(subdiv):
        cache = {}
        NF = []

        def mid(i, j):
            key = (min(i, j), max(i, j))
            if key not in cache:
                cache[key] = len(V)
                V.append(normalize(V[i] + V[j]))
            return cache[key]

        for a, b, c in F:
            ab, bc, ca = mid(a, b), mid(b, c), mid(c, a)
            NF += [(a, ab, ca), (b, bc, ab), (c, ca, bc), (ab, bc, ca)]
        F = NF
    return Mesh(np.array(V) * radius, np.array(F), mat=mat, smooth=smooth, part=part)


def frames_along(path):
    """Parallel-transport frames (tangent, normal, binormal) along a polyline."""
    path = np.asarray(path, dtype=np.float64)
    n = len(path)
    T = np.zeros((n, 3))
    for i in range(n):
        a = path[max(i - 1, 0)]
        b = path[min(i + 1, n - 1)]
        T[i] = normalize(b - a)
    ref = np.array([0.0, 1.0, 0.0]) if abs(T[0][1]) < 0.9 else np.array([1.0, 0.0, 0.0])
    N = np.zeros((n, 3))
    N[0] = normalize(np.cross(np.cross(T[0], ref), T[0]))
    for i in range(1, n):
        R = rot_to(T[i - 1], T[i])
        N[i] = normalize(R @ N[i - 1])
    B = np.cross(T, N)
    return T, N, B


def tube(path, radii, sides=6, cap0=True, cap1=True, mat="default", smooth=60.0, part=0, attr=None,
         squash=(1.0, 1.0), twist=0.0, up=None):
    """Generalised cylinder along a polyline. A radius of 0 at an end makes a point.
    squash scales the cross-section along the frame's normal and binormal. attr
    names a vertex attribute that receives the position along the path (0..1)."""
    path = np.asarray(path, dtype=np.float64)
    n = len(path)
    radii = np.broadcast_to(np.asarray(radii, dtype=np.float64), (n,))
    T, N, B = frames_along(path)
    if up is not None:
        # keep the cross-section's normal axis as close to `up` as possible
        up = normalize(np.asarray(up, dtype=np.float64))
        for i in range(n):
            nn = up - T[i] * np.dot(up, T[i])
            if np.linalg.norm(nn) > 1e-6:
                N[i] = normalize(nn)
                B[i] = np.cross(T[i], N[i])
    seg = np.linalg.norm(np.diff(path, axis=0), axis=1)
    tpar = np.concatenate([[0], np.cumsum(seg)])
    tpar = tpar / max(tpar[-1], 1e-12)
    V, ts, rows = [], [], []
    for i in range(n):
        if radii[i] <= 1e-9:
            rows.append([len(V)])
            V.append(path[i])
            ts.append(tpar[i])
            continue
        row = []
        for k in range(sides):
            a = 2 * math.pi * k / sides + math.radians(twist) * tpar[i]
            off = N[i] * math.cos(a) * radii[i] * squash[0] + B[i] * math.sin(a) * radii[i] * squash[1]
            row.append(len(V))
            V.append(path[i] + off)
            ts.append(tpar[i])
        rows.append(row)
    F = []
    for i in range(n - 1):
        r0, r1 = rows[i], rows[i + 1]
        for k in range(sides):
            k1 = (k + 1) % sides
            if len(r0) == 1 and len(r1) == 1:
                continue
            if len(r0) == 1:
                F.append((r0[0], r1[k1], r1[k]))
            elif len(r1) == 1:
                F.append((r0[k], r0[k1], r1[0]))
            else:
                F.append((r0[k], r0[k1], r1[k1]))
                F.append((r0[k], r1[k1], r1[k]))
    m_body = Mesh(np.array(V), np.array(F).reshape(-1, 3), mat=mat, smooth=smooth, part=part)
    if attr:
        m_body.set_attr(attr, np.array(ts))
    out = m_body
    # flat caps as separate faces (not smoothed with the sides)
    caps = Mesh()
    for end, want in ((0, cap0), (n - 1, cap1)):
        if not want or len(rows[end]) == 1:
            continue
        ring = np.array(V)[rows[end]]
        c = path[end]
        cv = np.vstack([ring, c[None, :]])
        ci = len(ring)
        if end == 0:
            cf = [(ci, (k + 1) % sides, k) for k in range(sides)]
        else:
            cf = [(ci, k, (k + 1) % sides) for k in range(sides)]
        cm = Mesh(cv, np.array(cf), mat=mat, smooth=0.0, part=part)
        if attr:
            cm.set_attr(attr, np.full(len(cv), tpar[end]))
        caps.add(cm)
    out.add(caps)
    # make sure the sweep winds outward (frames may be left handed for some paths)
    fn = m_body.face_normals_raw()
    if len(fn):
        cent = m_body.V[m_body.F].mean(axis=1)
        # outward test against the nearest path point
        d = cent[:, None, :] - path[None, :, :]
        nearest = path[np.argmin((d ** 2).sum(axis=2), axis=1)]
        if np.einsum("ij,ij->i", fn, cent - nearest).sum() < 0:
            out.flip()
    return out


def triangulate(poly):
    """Ear clipping of a simple polygon given counter-clockwise; returns index triples."""
    pts = [np.asarray(p, dtype=np.float64) for p in poly]
    idx = list(range(len(pts)))
    tris = []

    def cross(o, a, b):
        return (a[0] - o[0]) * (b[1] - o[1]) - (a[1] - o[1]) * (b[0] - o[0])

    def inside(p, a, b, c):
        return cross(a, b, p) >= -1e-12 and cross(b, c, p) >= -1e-12 and cross(c, a, p) >= -1e-12

    guard = 0
    while len(idx) > 3 and guard < 10000:
        guard += 1
        found = False
        for i in range(len(idx)):
            i0, i1, i2 = idx[i - 1], idx[i], idx[(i + 1) % len(idx)]
            a, b, c = pts[i0], pts[i1], pts[i2]
            if cross(a, b, c) <= 1e-12:
                continue
            if any(inside(pts[j], a, b, c) for j in idx if j not in (i0, i1, i2)):
                continue
            tris.append((i0, i1, i2))
            idx.pop(i)
            found = True
            break
        if not found:
            # degenerate leftovers: fan them
            for k in range(1, len(idx) - 1):
                tris.append((idx[0], idx[k], idx[k + 1]))
            return tris
    if len(idx) == 3:
        tris.append(tuple(idx))
    return tris


def polygon_area(poly):
    p = np.asarray(poly, dtype=np.float64)
    return 0.5 * float(np.sum(p[:, 0] * np.roll(p[:, 1], -1) - np.roll(p[:, 0], -1) * p[:, 1]))


def extrude(poly, z0, z1, mat="default", side_smooth=0.0, part=0, cap_mat=None, bevel=0.0):
    """Prism from a simple 2D polygon in the x-y plane between z0 < z1. With
    bevel > 0 each cap is inset by `bevel` and pulled in by `bevel` along z, which
    softens the rim."""
    poly = [tuple(p) for p in poly]
    if polygon_area(poly) < 0:
        poly = poly[::-1]
    P = np.asarray(poly, dtype=np.float64)
    n = len(P)
    tris = triangulate(poly)
    cap_mat = cap_mat or mat
    out = Mesh()

    def inset(pts, d):
        if d <= 0:
            return pts
        res = []
        for i in range(len(pts)):
            a, b, c = pts[i - 1], pts[i], pts[(i + 1) % len(pts)]
            e1 = normalize(b - a)
            e2 = normalize(c - b)
            n1 = np.array([-e1[1], e1[0]])
            n2 = np.array([-e2[1], e2[0]])
            m = normalize(n1 + n2)
            cosang = max(np.dot(m, n1), 0.35)
            res.append(b + m * d / cosang)
        return np.array(res)

    Pin = inset(P, bevel)
    za, zb = z0 + bevel, z1 - bevel
    # caps (the inset outline when bevelled)
    top = Mesh(np.column_stack([Pin, np.full(n, z1)]), np.array(tris), mat=cap_mat, smooth=0.0, part=part)
    bot = Mesh(np.column_stack([Pin, np.full(n, z0)]), np.array(tris)[:, ::-1], mat=cap_mat, smooth=0.0, part=part)
    out.add(top).add(bot)
    if bevel > 0:
        rings = [np.column_stack([Pin, np.full(n, z0)]), np.column_stack([P, np.full(n, za)]),
                 np.column_stack([P, np.full(n, zb)]), np.column_stack([Pin, np.full(n, z1)])]
    else:
        rings = [np.column_stack([P, np.full(n, z0)]), np.column_stack([P, np.full(n, z1)])]
    V = np.vstack(rings)
    F = []
    for r in range(len(rings) - 1):
        for i in range(n):
            i1 = (i + 1) % n
            a, b = r * n + i, r * n + i1
            c, d = (r + 1) * n + i1, (r + 1) * n + i
            F.append((a, b, c))
            F.append((a, c, d))
    side = Mesh(V, np.array(F), mat=mat, smooth=side_smooth, part=part)
    out.add(side)
    if bevel > 0:
        # bevel rings reuse the cap outline: weld so caps join the bevel
        out.weld(1e-7)
    return out


def vertex_normals(mesh):
    """Area-weighted smooth vertex normals (for displacing along the surface)."""
    fn = mesh.face_normals_raw()
    vn = np.zeros_like(mesh.V)
    for k in range(3):
        np.add.at(vn, mesh.F[:, k], fn)
    return normalize(vn)
