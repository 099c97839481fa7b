"""The ninja's animation: every segment posed frame by frame, all on one timeline.

A pose is described by a small set of named parameters (root position, Euler angles of the body
bones, ankle and wrist targets, scarf directions). `build_pose` turns parameters into the rotation of
every bone: the legs (and the arms where a target is given) are solved with two-bone IK, so planted
feet stay on the floor while the body moves, and the scarf follows directions given in model space.

The game samples keyframes without interpolation, so every frame here is one keyframe; a looping
segment repeats its first pose as its end frame, and a one-shot segment ends on the pose it holds.
Euler angles are degrees: +x leans the body forwards (towards +z) and swings limbs backwards, +y turns
the face towards +x (the ninja's left), +z tilts the ninja's right side down.
"""

import math

import numpy as np

import skeleton as sk
from ninjamath import (mat3_to_quat, normalize, quat_euler, quat_identity, quat_to_mat3,
                       rotation_between_frames, smoothstep, vec)

B = sk.INDEX
SOLE = sk.SOLE_Y
ANKLE_H = sk.BIND[B["footR"]][1] - SOLE  # ankle height above the sole with the foot flat
BALL = vec(0.0, -ANKLE_H, 0.9)            # ball of the foot relative to the ankle, foot flat


class Pose:
    def __init__(self):
        self.root = vec(0, 0, 0)
        self.q = [quat_identity() for _ in range(sk.COUNT)]

    def fk(self):
        """Global rotation matrices and positions of all bones (the game's pose algorithm)."""
        G = [None] * sk.COUNT
        P = [None] * sk.COUNT
        for i in range(sk.COUNT):
            R = quat_to_mat3(self.q[i])
            p = sk.PARENT[i]
            if p < 0:
                G[i] = R
                P[i] = self.root + sk.OFFSET[i]
            else:
                G[i] = G[p] @ R
                P[i] = P[p] + G[p] @ sk.OFFSET[i]
        return G, P


def euler(v):
    v = v if v is not None else (0, 0, 0)
    return quat_euler(*v)


def two_bone(a, c, l1, l2, pole):
    """Middle joint of a two-bone chain from a towards c, bending towards `pole`."""
    d = c - a
    dist = np.linalg.norm(d)
    dist = min(max(dist, abs(l1 - l2) + 1e-4), (l1 + l2) * 0.9995)
    u = normalize(d)
    pn = normalize(pole - u * np.dot(pole, u))
    cos_a = (l1 * l1 + dist * dist - l2 * l2) / (2 * l1 * dist)
    sin_a = math.sqrt(max(0.0, 1 - cos_a * cos_a))
    return a + l1 * (cos_a * u + sin_a * pn), a + u * dist


def solve_chain(pose, upper, lower, end, target, pole, bind_pole):
    """Sets the local rotations of upper and lower so that `end` reaches target (as near as it can)."""
    G, P = pose.fk()
    parent = sk.PARENT[upper]
    a = P[upper]
    l1 = np.linalg.norm(sk.OFFSET[lower])
    l2 = np.linalg.norm(sk.OFFSET[end])
    mid, tip = two_bone(a, np.asarray(target, dtype=np.float64), l1, l2, np.asarray(pole, dtype=np.float64))
    g_up = rotation_between_frames(sk.OFFSET[lower], bind_pole, mid - a, pole)
    g_lo = rotation_between_frames(sk.OFFSET[end], bind_pole, tip - mid, pole)
    pose.q[upper] = mat3_to_quat(G[parent].T @ g_up)
    pose.q[lower] = mat3_to_quat(g_up.T @ g_lo)
    return g_lo


def ankle_from_ball(ball, pitch, yaw=0.0):
    """Ankle position for a foot resting on `ball` (model space), pitched toe-down by `pitch`."""
    R = quat_to_mat3(quat_euler(pitch, yaw, 0))
    return np.asarray(ball, dtype=np.float64) - R @ BALL


# Points of the foot's underside relative to the ankle (foot flat): heel, ball, toe tip and toe top.
FOOT_CONTACTS = np.array([[0.0, -ANKLE_H, -0.47], [0.0, -ANKLE_H, 0.95], [0.0, -ANKLE_H, 1.27],
                          [0.0, -ANKLE_H + 0.22, 1.29], [0.0, -0.1, -0.52]])


def grounded_ankle(ankle, foot_rotation):
    """Raises an ankle target just enough that no part of the foot sinks through the floor."""
    low = min((foot_rotation @ c)[1] for c in FOOT_CONTACTS)
    ankle = np.array(ankle, dtype=np.float64)
    ankle[1] = max(ankle[1], SOLE - low)
    return ankle


DEFAULTS = {
    "root": vec(0, 0, 0),
    "hips": vec(0, 0, 0), "spine": vec(0, 0, 0), "chest": vec(0, 0, 0),
    "neck": vec(0, 0, 0), "head": vec(0, 0, 0),
    # legs: ankle target, foot orientation (global Euler), knee direction
    "ankleR": sk.BIND[B["footR"]].copy(), "ankleL": sk.BIND[B["footL"]].copy(),
    "footR": vec(0, 0, 0), "footL": vec(0, 0, 0),
    "kneeR": vec(-0.1, 0, 1), "kneeL": vec(0.1, 0, 1),
    # arms: local Euler angles, or a wrist target with an elbow direction
    "upperArmR": vec(0, 0, 0), "forearmR": vec(0, 0, 0), "handR": vec(0, 0, 0),
    "upperArmL": vec(0, 0, 0), "forearmL": vec(0, 0, 0), "handL": vec(0, 0, 0),
    # scarf: model-space directions of its three segments
    "scarf1": normalize(vec(0, -1, -0.35)), "scarf2": normalize(vec(0, -1, -0.25)),
    "scarf3": normalize(vec(0, -1, -0.2)),
    # 0: the ribbon's flat side faces across the neck; 1: it lies flat (broad side up)
    "scarfFlat": 0.0,
}


def build_pose(params):
    prm = dict(DEFAULTS)
    prm.update(params)
    pose = Pose()
    pose.root = np.asarray(prm["root"], dtype=np.float64)
    for name in ("hips", "spine", "chest", "neck", "head"):
        pose.q[B[name]] = euler(prm[name])
    for sfx in ("R", "L"):
        for name in ("upperArm", "forearm", "hand"):
            pose.q[B[name + sfx]] = euler(prm[name + sfx])
    # Legs.
    for sfx in ("R", "L"):
        g_foot = quat_to_mat3(euler(prm["foot" + sfx]))
        ankle = grounded_ankle(prm["ankle" + sfx], g_foot)
        g_shin = solve_chain(pose, B["thigh" + sfx], B["shin" + sfx], B["foot" + sfx],
                             ankle, prm["knee" + sfx], vec(0, 0, 1))
        pose.q[B["foot" + sfx]] = mat3_to_quat(g_shin.T @ g_foot)
    # Arms given by a reach: a model-space direction from the shoulder whose length is the fraction
    # of the arm's full length to reach out to.
    for sfx in ("R", "L"):
        if "reach" + sfx in prm:
            G, P = pose.fk()
            reach = np.asarray(prm["reach" + sfx], dtype=np.float64)
            arm = np.linalg.norm(sk.OFFSET[B["forearm" + sfx]]) + np.linalg.norm(sk.OFFSET[B["hand" + sfx]])
            wrist = P[B["upperArm" + sfx]] + reach * arm
            solve_chain(pose, B["upperArm" + sfx], B["forearm" + sfx], B["hand" + sfx],
                        wrist, prm["elbow" + sfx], vec(0, 0, -1))
    # Scarf: aim each segment, keeping its width across the neck.
    G, P = pose.fk()
    flat = float(np.clip(prm["scarfFlat"], 0.0, 1.0))
    side = normalize(G[B["neck"]] @ vec(1, 0, 0) * (1 - flat) + vec(0, 1, 0) * flat)
    parent_g = G[B["neck"]]
    for k, name in enumerate(("scarf1", "scarf2", "scarf3")):
        i = B[name]
        bind_dir = sk.TAIL[i] - sk.BIND[i]
        g = rotation_between_frames(bind_dir, vec(1, 0, 0), prm[name], side)
        pose.q[i] = mat3_to_quat(parent_g.T @ g)
        parent_g = g
    return pose


def reach_of(params, sfx):
    """The reach and elbow direction that reproduce an arm posed by its Euler angles."""
    pose = build_pose({k: v for k, v in params.items() if k != "reach" + sfx})
    G, P = pose.fk()
    shoulder, elbow, wrist = P[B["upperArm" + sfx]], P[B["forearm" + sfx]], P[B["hand" + sfx]]
    arm = np.linalg.norm(sk.OFFSET[B["forearm" + sfx]]) + np.linalg.norm(sk.OFFSET[B["hand" + sfx]])
    line = normalize(wrist - shoulder)
    pole = elbow - shoulder
    pole = pole - line * np.dot(pole, line)
    if np.linalg.norm(pole) < 1e-3:
        pole = G[B["upperArm" + sfx]] @ vec(0, 0, -1)
    return (wrist - shoulder) / arm, normalize(pole)


def interp(keys, f):
    """Parameters at frame f between keyed poses {frame: params}, eased in and out at each key.

    Keys are completed with the defaults; when some keys pose an arm by reach and others by angles,
    the angle-posed keys are turned into reaches so the whole segment blends the same quantities.
    """
    frames = sorted(keys)
    full = {k: merge(DEFAULTS, keys[k]) for k in frames}
    for sfx in ("R", "L"):
        if any("reach" + sfx in p for p in full.values()):
            for k in frames:
                if "reach" + sfx not in full[k]:
                    full[k]["reach" + sfx], full[k]["elbow" + sfx] = reach_of(full[k], sfx)
    if f <= frames[0]:
        return dict(full[frames[0]])
    if f >= frames[-1]:
        return dict(full[frames[-1]])
    for a, b in zip(frames, frames[1:]):
        if a <= f <= b:
            u = float(smoothstep(0, 1, (f - a) / (b - a)))
            pa, pb = full[a], full[b]
            out = {}
            for k in pa:
                out[k] = np.asarray(pa[k], dtype=np.float64) * (1 - u) + np.asarray(pb[k], dtype=np.float64) * u
                if k.startswith("scarf") or k.startswith("knee") or k.startswith("elbow"):
                    out[k] = normalize(out[k])
            return out
    raise AssertionError("unreachable")


def merge(*dicts):
    """Later dictionaries win; an arm posed by angles drops a reach set by an earlier one."""
    out = {}
    for d in dicts:
        for sfx in ("R", "L"):
            if ("upperArm" + sfx in d or "forearm" + sfx in d) and "reach" + sfx not in d:
                out.pop("reach" + sfx, None)
                out.pop("elbow" + sfx, None)
        out.update(d)
    return out


# ---------------------------------------------------------------------------------------------
# Shared poses

def stance(root_y=-0.5, spread=0.0):
    """Ready stance: left foot forward, right foot back and turned out, knees bent."""
    return {
        "root": vec(0, root_y, 0),
        "ankleR": vec(-0.74 - spread, SOLE + ANKLE_H, -0.7),
        "ankleL": vec(0.74 + spread, SOLE + ANKLE_H, 0.6),
        "footR": vec(0, -22, 0), "footL": vec(0, 8, 0),
        "kneeR": vec(-0.45, 0, 1), "kneeL": vec(0.3, 0, 1),
    }


def relaxed_arms(breath=0.0):
    """A loose guard: fists in front of the belly, elbows down and a little out."""
    return {
        "reachR": vec(0.15, -0.52 + 0.03 * breath, 0.5) * 0.66, "elbowR": normalize(vec(-0.5, -0.6, -0.6)),
        "reachL": vec(-0.2, -0.42 + 0.03 * breath, 0.68) * 0.68, "elbowL": normalize(vec(0.5, -0.6, -0.6)),
        "handR": vec(-12, 0, 0), "handL": vec(-12, 0, 0),
    }


def scarf_dirs(base, flutter, phase, wobble=0.0):
    """Scarf segment directions: `base` bent by travelling waves of size `flutter` (degrees)."""
    base = normalize(np.asarray(base, dtype=np.float64))
    side = vec(1, 0, 0)
    up_perp = normalize(np.cross(side, base))  # bends in the body's y-z plane
    out = {}
    for k, name in enumerate(("scarf1", "scarf2", "scarf3")):
        a = math.radians(flutter * (0.4 + 0.6 * k) * math.sin(phase - 1.1 * k))
        b = math.radians(wobble * (0.5 + 0.5 * k) * math.sin(phase - 0.9 * k + 0.7))
        d = base * math.cos(a) + up_perp * math.sin(a)
        d = d * math.cos(b) + side * math.sin(b)
        out[name] = normalize(d)
    return out


# ---------------------------------------------------------------------------------------------
# Segments

IDLE_BODY = {"hips": vec(7, -14, 0), "spine": vec(3, 4, 0), "chest": vec(3, 6, 0),
             "neck": vec(-3, 0, 0), "head": vec(-5, -2, 0)}


def idle(n=40):
    poses = []
    for k in range(n + 1):
        ph = 2 * math.pi * k / n
        b = math.sin(ph)
        prm = stance(root_y=-0.5 + 0.05 * b)
        prm.update(relaxed_arms(b))
        prm.update(IDLE_BODY)
        prm.update({"spine": vec(3 - 0.6 * b, 4, 0), "chest": vec(3 - 1.6 * b, 6, 0),
                    "neck": vec(-3 + 0.8 * b, 0, 0), "head": vec(-5 + 1.2 * b, -2, 0)})
        prm.update(scarf_dirs(vec(0, -1, -0.28), 5, ph, wobble=4))
        poses.append(build_pose(prm))
    return poses


def run_leg(p, side):
    """Ankle target, foot pitch and knee direction for a run cycle at phase p (0 = touchdown)."""
    x = 0.66 * side
    stance_end = 0.32
    if p < stance_end:
        u = p / stance_end
        ball_z = 1.75 - 3.55 * u
        pitch = 38.0 * float(smoothstep(0.35, 1.0, u))
        ankle = ankle_from_ball(vec(x, SOLE, ball_z), pitch)
        return ankle, pitch
    # Swing: lift-off behind, heel up towards the seat, knee drives forwards, foot reaches out.
    u = (p - stance_end) / (1 - stance_end)
    pts = [ankle_from_ball(vec(x, SOLE, -1.8), 38.0), vec(x, 7.9, -2.1), vec(x, 8.9, -1.0),
           vec(x, 8.2, 0.8), vec(x, 7.0, 1.35), ankle_from_ball(vec(x, SOLE, 1.75), 0.0)]
    pitches = [38.0, 50.0, 35.0, 5.0, -12.0, 0.0]
    # Catmull-Rom through the points, evenly spaced in u.
    m = len(pts) - 1
    f = u * m
    i = min(int(f), m - 1)
    w = f - i
    p0 = pts[max(i - 1, 0)]
    p1, p2 = pts[i], pts[i + 1]
    p3 = pts[min(i + 2, m)]
    ank = 0.5 * ((2 * p1) + (-p0 + p2) * w + (2 * p0 - 5 * p1 + 4 * p2 - p3) * w * w
                 + (-p0 + 3 * p1 - 3 * p2 + p3) * w ** 3)
    pitch = pitches[i] + (pitches[i + 1] - pitches[i]) * float(smoothstep(0, 1, w))
    return ank, pitch


def walking(n=20):
    poses = []
    for k in range(n + 1):
        p = (k % n) / n
        ph = 2 * math.pi * p
        # Lowest at mid-stance of each foot, highest in the flight between steps.
        bob = math.cos(2 * ph - 2 * math.pi * 0.32)
        prm = {
            "root": vec(0.06 * math.sin(ph), -0.55 - 0.2 * bob, 0.1),
            "hips": vec(12, 9 * math.sin(ph + 0.3), 3 * math.cos(ph)),
            "spine": vec(4, -5 * math.sin(ph + 0.3), 0),
            "chest": vec(4 + 2 * bob, -9 * math.sin(ph + 0.3), -2 * math.cos(ph)),
            "neck": vec(-6, 2 * math.sin(ph), 0),
            "head": vec(-8 - 2 * bob, 3 * math.sin(ph), 0),
        }
        for sfx, side, off in (("R", -1, 0.0), ("L", 1, 0.5)):
            ank, pitch = run_leg((p + off) % 1.0, side)
            prm["ankle" + sfx] = ank
            prm["foot" + sfx] = vec(pitch, 0, 0)
            prm["knee" + sfx] = vec(0.12 * side, 0.0, 1.0)
        # Arms pump against the legs: the right arm is forward while the left leg is.
        sw = math.sin(ph)
        prm["upperArmR"] = vec(45 * sw - 5, 0, -12)
        prm["forearmR"] = vec(-88 - 12 * sw, 0, 8)
        prm["handR"] = vec(-10, 0, 0)
        prm["upperArmL"] = vec(-45 * sw - 5, 0, 12)
        prm["forearmL"] = vec(-88 + 12 * sw, 0, -8)
        prm["handL"] = vec(-10, 0, 0)
        prm.update(scarf_dirs(vec(0, -0.45, -1), 14, 4 * ph, wobble=6))
        poses.append(build_pose(prm))
    return poses


def jump():
    base = {
        "hips": vec(6, 0, 0), "spine": vec(0, 0, 0), "chest": vec(-4, 0, 0),
        "neck": vec(0, 0, 0), "head": vec(-6, 0, 0),
        "kneeR": vec(-0.1, 0, 1), "kneeL": vec(0.1, 0, 1),
    }
    keys = {
        0: merge(base, {
            "root": vec(0, 0.25, 0.1),
            "hips": vec(-4, 0, 0), "chest": vec(-8, 0, 0), "head": vec(-10, 0, 0),
            "ankleR": vec(-0.66, 6.7, -0.5), "ankleL": vec(0.66, 6.45, 0.2),
            "footR": vec(50, 0, 0), "footL": vec(42, 0, 0),
            "upperArmR": vec(-95, 0, -25), "forearmR": vec(-45, 0, 0),
            "upperArmL": vec(-80, 0, 25), "forearmL": vec(-50, 0, 0),
            **scarf_dirs(vec(0, -1, -0.2), 0, 0),
        }),
        4: merge(base, {
            "root": vec(0, 0.45, 0),
            "ankleR": vec(-0.62, 8.9, 0.9), "ankleL": vec(0.62, 7.2, -1.2),
            "footR": vec(10, 0, 0), "footL": vec(40, 0, 0),
            "upperArmR": vec(-60, 0, -70), "forearmR": vec(-40, 0, 0),
            "upperArmL": vec(-70, 0, 70), "forearmL": vec(-35, 0, 0),
            **scarf_dirs(vec(0, -1, -0.45), 12, 1.0),
        }),
        10: merge(base, {
            "root": vec(0, 0.4, 0),
            "hips": vec(8, 0, 0), "chest": vec(2, 0, 0), "head": vec(-10, 0, 0),
            "ankleR": vec(-0.62, 8.7, 1.1), "ankleL": vec(0.62, 7.0, -1.35),
            "footR": vec(15, 0, 0), "footL": vec(45, 0, 0),
            "upperArmR": vec(30, 0, -45), "forearmR": vec(-50, 0, 0), "handR": vec(-10, 0, 0),
            "upperArmL": vec(-55, 0, 50), "forearmL": vec(-60, 0, 0), "handL": vec(-10, 0, 0),
            **scarf_dirs(vec(0, -0.8, -0.6), 10, 2.0),
        }),
    }
    return [build_pose(interp(keys, k)) for k in range(11)]


def freefall(n=16):
    poses = []
    for k in range(n + 1):
        ph = 2 * math.pi * (k % n) / n
        s, c = math.sin(ph), math.cos(ph)
        prm = {
            "root": vec(0, 0.3 + 0.06 * s, 0),
            "hips": vec(-4, 3 * s, 0), "spine": vec(-4, 0, 2 * c), "chest": vec(-4, -3 * s, 0),
            "neck": vec(6, 0, 0), "head": vec(14, 4 * s, 0),
            # Legs pedal slowly in small circles under the body.
            "ankleR": vec(-0.66, 7.3 + 0.45 * s, 0.1 + 0.6 * c),
            "ankleL": vec(0.66, 7.3 - 0.45 * s, 0.1 - 0.6 * c),
            "footR": vec(30 + 10 * c, 0, 0), "footL": vec(30 - 10 * c, 0, 0),
            "kneeR": vec(-0.2, 0.2, 1), "kneeL": vec(0.2, 0.2, 1),
            # Arms thrown up and out, paddling at the air.
            "upperArmR": vec(-100 + 15 * s, 0, -30 - 8 * c), "forearmR": vec(-18 - 12 * c, 0, 0),
            "upperArmL": vec(-155 - 15 * s, 0, 35 + 8 * c), "forearmL": vec(-20 + 12 * c, 0, 0),
            "handR": vec(0, 0, -10), "handL": vec(0, 0, 10),
        }
        prm.update(scarf_dirs(vec(0, 1, -0.55), 22, 2 * ph, wobble=10))
        poses.append(build_pose(prm))
    return poses


def landing():
    st = stance()
    arms = relaxed_arms()
    keys = {
        0: merge(st, arms, {
            "root": vec(0, -0.2, 0),
            "ankleR": vec(-0.72, SOLE + ANKLE_H, -0.3), "ankleL": vec(0.74, SOLE + ANKLE_H, 0.3),
            "hips": vec(8, 0, 0), "chest": vec(0, 0, 0), "head": vec(-4, 0, 0),
            "upperArmR": vec(-40, 0, -50), "forearmR": vec(-40, 0, 0),
            "upperArmL": vec(-40, 0, 50), "forearmL": vec(-40, 0, 0),
            **scarf_dirs(vec(0, 0.6, -1), 10, 0),
        }),
        2: merge(st, arms, {
            "root": vec(0, -1.75, -0.15),
            "ankleR": vec(-0.75, SOLE + ANKLE_H, -0.3), "ankleL": vec(0.77, SOLE + ANKLE_H, 0.3),
            "hips": vec(30, 0, 0), "spine": vec(6, 0, 0), "chest": vec(8, 0, 0),
            "neck": vec(-12, 0, 0), "head": vec(-18, 0, 0),
            "kneeR": vec(-0.4, 0, 1), "kneeL": vec(0.4, 0, 1),
            "upperArmR": vec(-20, 0, -35), "forearmR": vec(-30, 0, 0),
            "upperArmL": vec(-25, 0, 35), "forearmL": vec(-30, 0, 0),
            **scarf_dirs(vec(0, -0.2, -1), 10, 1.5),
        }),
        5: merge(st, arms, {
            "root": vec(0, -0.9, -0.05),
            "hips": vec(16, -4, 0), "spine": vec(3, 2, 0), "chest": vec(3, 3, 0),
            "neck": vec(-4, 0, 0), "head": vec(-8, 0, 0),
            **scarf_dirs(vec(0, -1, -0.5), 8, 3.0),
        }),
        10: merge(st, arms, {
            **IDLE_BODY,
            **scarf_dirs(vec(0, -1, -0.28), 0, 0),
        }),
    }
    return [build_pose(interp(keys, k)) for k in range(11)]


def punch():
    legs = {
        "ankleR": vec(-0.75, SOLE + ANKLE_H, -0.75), "ankleL": vec(0.75, SOLE + ANKLE_H, 0.75),
        "footR": vec(0, -20, 0), "footL": vec(0, 8, 0),
        "kneeR": vec(-0.4, 0, 1), "kneeL": vec(0.3, 0, 1),
    }
    guard_r = vec(0.1, -0.55, 0.45) * 0.62
    guard_l = vec(-0.25, -0.1, 1.0) * 0.62
    keys = {
        0: merge(legs, {
            # Wind-up: the right fist drawn back to the ribs, the left held out in front.
            "root": vec(0, -0.45, -0.05),
            "hips": vec(6, -10, 0), "spine": vec(2, -5, 0), "chest": vec(2, -6, 0),
            "neck": vec(0, 8, 0), "head": vec(-4, 12, 0),
            "reachR": vec(0.05, -0.45, -0.1) * 0.6, "elbowR": vec(-0.3, -0.4, -1),
            "reachL": vec(-0.2, -0.05, 1.0) * 0.7, "elbowL": vec(0.4, -1, -0.2),
            **scarf_dirs(vec(0, -1, -0.4), 0, 0),
        }),
        2: merge(legs, {
            # Full extension along +z, the shoulder driven forwards by the twist.
            "root": vec(0, -0.55, 0.15),
            "hips": vec(8, 8, 0), "spine": vec(4, 6, 0), "chest": vec(4, 10, 0),
            "neck": vec(0, -10, 0), "head": vec(-6, -12, 0),
            "reachR": vec(0.22, 0.04, 1.0) * 0.97, "elbowR": vec(-0.6, -1, 0),
            "reachL": vec(0.1, -0.6, 0.2) * 0.55, "elbowL": vec(0.5, -0.5, -1),
            **scarf_dirs(vec(0.25, -0.6, -1), 10, 1.0),
        }),
        4: merge(legs, {
            "root": vec(0, -0.55, 0.15),
            "hips": vec(8, 9, 0), "spine": vec(4, 6, 0), "chest": vec(4, 11, 0),
            "neck": vec(0, -10, 0), "head": vec(-6, -12, 0),
            "reachR": vec(0.22, 0.02, 1.0) * 0.97, "elbowR": vec(-0.6, -1, 0),
            "reachL": vec(0.1, -0.6, 0.2) * 0.55, "elbowL": vec(0.5, -0.5, -1),
            **scarf_dirs(vec(0.15, -0.8, -0.8), 14, 2.5),
        }),
        8: merge(legs, {
            # Back to a guard.
            "root": vec(0, -0.45, 0.0),
            "hips": vec(6, -4, 0), "spine": vec(2, 0, 0), "chest": vec(2, -2, 0),
            "neck": vec(0, 2, 0), "head": vec(-4, 4, 0),
            "reachR": guard_r, "elbowR": vec(-0.5, -1, -0.4),
            "reachL": guard_l, "elbowL": vec(0.5, -1, -0.4),
            **scarf_dirs(vec(0, -1, -0.35), 6, 4.0),
        }),
    }
    return [build_pose(interp(keys, k)) for k in range(9)]


def death():
    """Hit, stagger back, sit down hard, fall on the back and lie still.

    The lying keys sit a little low on purpose: `settle` lifts every frame until the body rests on
    the floor without sinking into it.
    """
    st = stance()
    arms = relaxed_arms()
    lying_legs = {
        "kneeR": vec(-0.2, 1, 0.3), "kneeL": vec(0.3, 1, 0.1),
        "footR": vec(-80, -20, 0), "footL": vec(-65, 20, 0),
    }
    keys = {
        0: merge(st, arms, {
            "hips": vec(-4, 0, 0), "spine": vec(-6, 0, 0), "chest": vec(-10, 0, 0),
            "neck": vec(-10, 0, 0), "head": vec(-16, 0, 0),
            "upperArmR": vec(-50, 0, -40), "forearmR": vec(-50, 0, 0),
            "upperArmL": vec(-50, 0, 40), "forearmL": vec(-50, 0, 0),
            **scarf_dirs(vec(0, -0.4, 1), 6, 0),
        }),
        5: merge(st, arms, {
            "root": vec(0, -1.3, -0.6),
            "ankleR": vec(-0.72, SOLE + ANKLE_H, -0.2), "ankleL": vec(0.74, SOLE + ANKLE_H, 0.4),
            "hips": vec(-14, 5, 0), "spine": vec(-8, 0, 0), "chest": vec(-12, 0, 4),
            "neck": vec(-6, 0, 0), "head": vec(-12, -10, 0),
            "kneeR": vec(-0.3, 0, 1), "kneeL": vec(0.3, 0, 1),
            "upperArmR": vec(-30, 0, -55), "forearmR": vec(-40, 0, 0),
            "upperArmL": vec(-20, 0, 60), "forearmL": vec(-30, 0, 0),
            **scarf_dirs(vec(0, 0.3, 1), 8, 1.0),
        }),
        10: merge(st, arms, {
            # Sitting down hard, leaning back.
            "root": vec(0, -4.3, -0.9),
            "ankleR": vec(-0.8, SOLE + ANKLE_H, 1.9), "ankleL": vec(0.8, SOLE + ANKLE_H, 2.2),
            "footR": vec(-20, -10, 0), "footL": vec(-15, 10, 0),
            "hips": vec(-45, 0, 0), "spine": vec(-8, 0, 0), "chest": vec(-6, 0, 0),
            "neck": vec(4, 0, 0), "head": vec(6, -10, 0),
            "kneeR": vec(-0.3, 1, 0.6), "kneeL": vec(0.3, 1, 0.6),
            "upperArmR": vec(10, 0, -45), "forearmR": vec(-30, 0, 0),
            "upperArmL": vec(10, 0, 45), "forearmL": vec(-30, 0, 0),
            **scarf_dirs(vec(0, 0.6, -0.4), 8, 2.0),
        }),
        16: merge(st, arms, lying_legs, {
            # Flat on the back, arms limp at the sides.
            "root": vec(0, -4.7, -0.9),
            "ankleR": vec(-0.95, SOLE + 0.45, 2.2), "ankleL": vec(0.8, SOLE + 0.55, 3.0),
            "hips": vec(-88, 0, 0), "spine": vec(-2, 0, 0), "chest": vec(-2, 0, 0),
            "neck": vec(12, 0, 0), "head": vec(16, -20, 0),
            "upperArmR": vec(12, 0, -32), "forearmR": vec(-18, 0, 0),
            "upperArmL": vec(8, 0, 45), "forearmL": vec(-20, 0, 0),
            "scarfFlat": 1.0,
            **scarf_dirs(vec(-0.4, 0.0, -1), 8, 3.0),
        }),
        18: merge(st, arms, lying_legs, {
            "root": vec(0, -4.6, -0.9),
            "ankleR": vec(-0.95, SOLE + 0.5, 2.25), "ankleL": vec(0.8, SOLE + 0.6, 3.05),
            "hips": vec(-85, 0, 0), "spine": vec(-2, 0, 0), "chest": vec(-2, 0, 0),
            "neck": vec(14, 0, 0), "head": vec(18, -24, 0),
            "upperArmR": vec(6, 0, -36), "forearmR": vec(-24, 0, 0),
            "upperArmL": vec(4, 0, 50), "forearmL": vec(-22, 0, 0),
            "scarfFlat": 1.0,
            **scarf_dirs(vec(-0.45, 0.0, -1), 8, 3.5),
        }),
        24: merge(st, arms, lying_legs, {
            "root": vec(0, -4.7, -0.9),
            "ankleR": vec(-1.0, SOLE + 0.42, 2.3), "ankleL": vec(0.85, SOLE + 0.5, 3.1),
            "hips": vec(-90, 0, 0), "spine": vec(-1, 0, 0), "chest": vec(-1, 0, 0),
            "neck": vec(12, 0, 0), "head": vec(18, -30, 0),
            "upperArmR": vec(10, 0, -38), "forearmR": vec(-15, 0, 0),
            "upperArmL": vec(8, 0, 52), "forearmL": vec(-15, 0, 0),
            "scarfFlat": 1.0,
            **scarf_dirs(vec(-0.5, 0.0, -1), 0, 0),
        }),
    }
    return [build_pose(interp(keys, k)) for k in range(25)]


def hurt():
    st = stance()
    arms = relaxed_arms()
    keys = {
        0: merge(st, arms, {
            **IDLE_BODY,
            **scarf_dirs(vec(0, -1, -0.28), 0, 0),
        }),
        2: merge(st, arms, {
            "root": vec(0, -0.75, -0.45),
            "hips": vec(-6, -6, 0), "spine": vec(-10, 0, 0), "chest": vec(-14, 8, 6),
            "neck": vec(-8, 0, 0), "head": vec(-18, 12, 6),
            "upperArmR": vec(-70, 0, -20), "forearmR": vec(-100, 0, 0), "handR": vec(-20, 0, 0),
            "upperArmL": vec(-40, 0, 35), "forearmL": vec(-80, 0, 0),
            **scarf_dirs(vec(0, -0.2, 1), 10, 0.5),
        }),
        6: merge(st, arms, {
            "root": vec(0, -0.55, -0.3),
            "hips": vec(6, -8, 0), "spine": vec(2, 2, 0), "chest": vec(0, 4, 2),
            "neck": vec(0, 0, 0), "head": vec(-6, 4, 0),
            "upperArmR": vec(-35, 0, -20), "forearmR": vec(-70, 0, 0),
            "upperArmL": vec(-25, 0, 25), "forearmL": vec(-60, 0, 0),
            **scarf_dirs(vec(0, -1, -0.1), 10, 2.5),
        }),
    }
    return [build_pose(interp(keys, k)) for k in range(7)]


def lowest_point(pose, mesh):
    """Height of the lowest vertex of the mesh skinned into `pose` (model space)."""
    G, P = pose.fk()
    M = np.array(G)
    t = np.array([P[i] - G[i] @ sk.BIND[i] for i in range(sk.COUNT)])
    out = np.zeros_like(mesh.pos)
    for k in range(4):
        j = mesh.joints[:, k]
        w = mesh.weights[:, k:k + 1]
        out += w * (np.einsum("vij,vj->vi", M[j], mesh.pos) + t[j])
    return out[:, 1].min()


def settle(poses, mesh):
    """Lifts poses whose body would sink through the floor (a fall ends lying on it, not in it)."""
    for pose in poses:
        low = lowest_point(pose, mesh)
        if low < SOLE:
            pose.root = pose.root + vec(0, SOLE - low, 0)
    return poses


# name, poses, loop, seconds per frame, rests on the floor with its whole body
SEGMENTS = [
    ("idle", idle, True, 0.05, False),
    ("walking", walking, True, 0.03, False),
    ("jump", jump, False, 0.04, False),
    ("freefall", freefall, True, 0.05, False),
    ("landing", landing, False, 0.035, False),
    ("punch", punch, False, 0.04, False),
    ("death", death, False, 0.05, True),
    ("hurt", hurt, False, 0.04, False),
]


def timeline(mesh):
    """All keyframes in order and the segment table [(name, start, end, loop, spf)]."""
    frames, table = [], []
    for name, fn, loop, spf, lying in SEGMENTS:
        poses = fn()
        if lying:
            settle(poses, mesh)
        start = len(frames)
        frames += poses
        table.append((name, start, len(frames) - 1, loop, spf))
    # Keep each bone's quaternion in one hemisphere from frame to frame.
    for i in range(1, len(frames)):
        for b in range(sk.COUNT):
            if np.dot(frames[i].q[b], frames[i - 1].q[b]) < 0:
                frames[i].q[b] = -frames[i].q[b]
    return frames, table
