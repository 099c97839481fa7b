"""The ninja's skeleton: bone names, parents and bind positions in the model file's own space.

The model faces +z with its head towards +y; the soles rest on y = 5.75 and the hood tops out near
y = 15.75, so the game's root offset (0, -10.75, 0) stands the ninja on y = -5 of its collision circle.
The character's right side is -x.

Bones are listed parents first, in the depth-first pre-order that the game's importer produces, and
every bone has a translation-only rest transform: the offset from its parent's bind position.
"""

import numpy as np

# name, parent, bind position (model space), tail (where the bone's segment ends, for skin weights)
_BONES = [
    ("root", None, (0.0, 0.0, 0.0), (0.0, 10.35, 0.0)),
    ("hips", "root", (0.0, 10.35, 0.0), (0.0, 11.05, 0.0)),
    ("spine", "hips", (0.0, 11.05, 0.0), (0.0, 11.9, 0.0)),
    ("chest", "spine", (0.0, 11.9, 0.0), (0.0, 12.95, 0.0)),
    ("neck", "chest", (0.0, 12.95, 0.0), (0.0, 13.35, 0.0)),
    ("head", "neck", (0.0, 13.35, 0.0), (0.0, 15.75, 0.0)),
    ("scarf1", "neck", (0.0, 12.9, -0.78), (0.0, 12.25, -1.25)),
    ("scarf2", "scarf1", (0.0, 12.25, -1.25), (0.0, 11.6, -1.72)),
    ("scarf3", "scarf2", (0.0, 11.6, -1.72), (0.0, 10.95, -2.19)),
    ("upperArmR", "chest", (-1.3, 12.55, -0.05), (-1.5, 11.12, -0.05)),
    ("forearmR", "upperArmR", (-1.5, 11.12, -0.05), (-1.6, 9.85, 0.0)),
    ("handR", "forearmR", (-1.6, 9.85, 0.0), (-1.63, 9.25, 0.0)),
    ("upperArmL", "chest", (1.3, 12.55, -0.05), (1.5, 11.12, -0.05)),
    ("forearmL", "upperArmL", (1.5, 11.12, -0.05), (1.6, 9.85, 0.0)),
    ("handL", "forearmL", (1.6, 9.85, 0.0), (1.63, 9.25, 0.0)),
    ("thighR", "hips", (-0.6, 10.05, 0.0), (-0.62, 8.05, 0.06)),
    ("shinR", "thighR", (-0.62, 8.05, 0.06), (-0.64, 6.35, -0.05)),
    ("footR", "shinR", (-0.64, 6.35, -0.05), (-0.64, 5.95, 1.15)),
    ("thighL", "hips", (0.6, 10.05, 0.0), (0.62, 8.05, 0.06)),
    ("shinL", "thighL", (0.62, 8.05, 0.06), (0.64, 6.35, -0.05)),
    ("footL", "shinL", (0.64, 6.35, -0.05), (0.64, 5.95, 1.15)),
]

NAMES = [b[0] for b in _BONES]
INDEX = {name: i for i, name in enumerate(NAMES)}
PARENT = [INDEX[b[1]] if b[1] is not None else -1 for b in _BONES]
BIND = np.array([b[2] for b in _BONES], dtype=np.float64)
TAIL = np.array([b[3] for b in _BONES], dtype=np.float64)
OFFSET = np.array([BIND[i] - (BIND[PARENT[i]] if PARENT[i] >= 0 else 0.0) for i in range(len(NAMES))])
COUNT = len(NAMES)

SOLE_Y = 5.75
ROOT_OFFSET = np.array([0.0, -10.75, 0.0])


def children(i):
    return [j for j in range(COUNT) if PARENT[j] == i]


def _check_order():
    for i, p in enumerate(PARENT):
        assert p < i, f"bone {NAMES[i]} is listed before its parent"
    # Pre-order: each bone's subtree is contiguous and follows it directly.
    order = []

    def visit(i):
        order.append(i)
        for c in children(i):
            visit(c)
    visit(0)
    assert order == list(range(COUNT)), "bone list is not in depth-first pre-order"


_check_order()
