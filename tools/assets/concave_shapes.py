#!/usr/bin/python3
"""Writes the three concave test shapes of the OBJ loader as one-face models, for the model
viewer's pictures in docs/models/: an L, a five-pointed star and a ring cut open along a slit
whose two edges lie on top of each other (33 corners round the outside, 33 back round the
inside). Each is a single polygon face with a normal, in a material of its own.

    /usr/bin/python3 tools/assets/concave_shapes.py
"""

import math
import os

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
OUT = os.path.join(ROOT, "docs", "models", "concave")

COLOURS = {"ell": (0.45, 0.62, 0.25), "star": (0.85, 0.62, 0.2), "ring": (0.55, 0.35, 0.6)}


def ell():
    return [(1, -1), (1, -1 / 3), (-1 / 3, -1 / 3), (-1 / 3, 1), (-1, 1), (-1, -1)]


def star():
    return [((1.0 if i % 2 == 0 else 0.4) * math.cos(math.pi / 2 + i * math.pi / 5),
             (1.0 if i % 2 == 0 else 0.4) * math.sin(math.pi / 2 + i * math.pi / 5))
            for i in range(10)]


def ring():
    step = 2 * math.pi / 32
    outer = [(math.cos(i * step), math.sin(i * step)) for i in range(33)]
    inner = [(0.6 * math.cos(i * step), 0.6 * math.sin(i * step)) for i in range(32, -1, -1)]
    return outer + inner


def main():
    os.makedirs(OUT, exist_ok=True)
    with open(os.path.join(OUT, "concave.mtl"), "w", newline="\n") as mtl:
        for name, (r, g, b) in COLOURS.items():
            mtl.write(f"newmtl {name}\nKa 0.1 0.1 0.1\nKd {r} {g} {b}\nKs 0.2 0.2 0.2\nNs 16\n")
    for name, corners in (("ell", ell()), ("star", star()), ("ring", ring())):
        path = os.path.join(OUT, name + ".obj")
        with open(path, "w", newline="\n") as obj:
            obj.write(f"# {name}: one concave face of {len(corners)} corners\n")
            obj.write("mtllib concave.mtl\n")
            for x, y in corners:
                obj.write(f"v {x:.6f} {y:.6f} 0\n")
            obj.write("vn 0 0 1\nusemtl " + name + "\nf")
            for i in range(1, len(corners) + 1):
                obj.write(f" {i}//1")
            obj.write("\n")
        print("wrote", os.path.relpath(path, ROOT))


if __name__ == "__main__":
    main()
