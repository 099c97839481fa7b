"""Small vector, quaternion and matrix helpers shared by the ninja generator and its tools.

Quaternions are numpy arrays (x, y, z, w), the order glTF stores them in and the order the game
keeps them in. Matrices are 3x3 or 4x4 numpy arrays acting on column vectors.
"""

import math

import numpy as np

DEG = math.pi / 180.0


def vec(*xs):
    """A float64 numpy vector."""
    return np.array(xs, dtype=np.float64)


def normalize(v):
    """v scaled to unit length (v itself when it is the zero vector)."""
    n = np.linalg.norm(v)
    return v / n if n > 1e-12 else v


def quat_identity():
    return vec(0.0, 0.0, 0.0, 1.0)


def quat_axis_angle(axis, degrees):
    """Rotation by `degrees` about `axis` (right-hand rule)."""
    a = normalize(np.asarray(axis, dtype=np.float64))
    h = 0.5 * degrees * DEG
    s = math.sin(h)
    return vec(a[0] * s, a[1] * s, a[2] * s, math.cos(h))


def quat_mul(a, b):
    """Hamilton product a * b: rotating by b first, then by a."""
    ax, ay, az, aw = a
    bx, by, bz, bw = b
    return vec(
        aw * bx + ax * bw + ay * bz - az * by,
        aw * by - ax * bz + ay * bw + az * bx,
        aw * bz + ax * by - ay * bx + az * bw,
        aw * bw - ax * bx - ay * by - az * bz,
    )




def quat_euler(x=0.0, y=0.0, z=0.0):
    """Rotation about z, then x, then y (degrees): twist last so swings stay in their planes."""
    return quat_mul(quat_axis_angle((0, 1, 0), y),
                    quat_mul(quat_axis_angle((1, 0, 0), x), quat_axis_angle((0, 0, 1), z)))


def quat_to_mat3(q):
    x, y, z, w = normalize(np.asarray(q, dtype=np.float64))
    return np.array([
        [1 - 2 * (y * y + z * z), 2 * (x * y - z * w), 2 * (x * z + y * w)],
        [2 * (x * y + z * w), 1 - 2 * (x * x + z * z), 2 * (y * z - x * w)],
        [2 * (x * z - y * w), 2 * (y * z + x * w), 1 - 2 * (x * x + y * y)],
    ])


def mat3_to_quat(m):
    """Quaternion of a proper rotation matrix (Shepperd's method)."""
    tr = m[0, 0] + m[1, 1] + m[2, 2]
    if tr > 0:
        s = math.sqrt(tr + 1.0) * 2
        q = vec((m[2, 1] - m[1, 2]) / s, (m[0, 2] - m[2, 0]) / s, (m[1, 0] - m[0, 1]) / s, 0.25 * s)
    elif m[0, 0] > m[1, 1] and m[0, 0] > m[2, 2]:
        s = math.sqrt(1.0 + m[0, 0] - m[1, 1] - m[2, 2]) * 2
        q = vec(0.25 * s, (m[0, 1] + m[1, 0]) / s, (m[0, 2] + m[2, 0]) / s, (m[2, 1] - m[1, 2]) / s)
    elif m[1, 1] > m[2, 2]:
        s = math.sqrt(1.0 + m[1, 1] - m[0, 0] - m[2, 2]) * 2
        q = vec((m[0, 1] + m[1, 0]) / s, 0.25 * s, (m[1, 2] + m[2, 1]) / s, (m[0, 2] - m[2, 0]) / s)
    else:
        s = math.sqrt(1.0 + m[2, 2] - m[0, 0] - m[1, 1]) * 2
        q = vec((m[0, 2] + m[2, 0]) / s, (m[1, 2] + m[2, 1]) / s, 0.25 * s, (m[1, 0] - m[0, 1]) / s)
    return normalize(q)




def rotation_between_frames(dir0, side0, dir1, side1):
    """The rotation taking direction dir0 to dir1 while side0 (orthogonalised) goes to side1."""
    def frame(d, s):
        d = normalize(np.asarray(d, dtype=np.float64))
        s = np.asarray(s, dtype=np.float64)
        s = normalize(s - d * np.dot(s, d))
        return np.column_stack([d, s, np.cross(d, s)])
    return frame(dir1, side1) @ frame(dir0, side0).T






def smoothstep(e0, e1, x):
    t = np.clip((np.asarray(x, dtype=np.float64) - e0) / (e1 - e0), 0.0, 1.0)
    return t * t * (3 - 2 * t)
