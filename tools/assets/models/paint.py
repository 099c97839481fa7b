"""Small colour helpers shared by the model painters."""

import numpy as np


def rgb(h):
    """'#rrggbb' -> array in 0..1."""
    h = h.lstrip("#")
    return np.array([int(h[i:i + 2], 16) / 255.0 for i in (0, 2, 4)])


def smoothstep(a, b, x):
    t = np.clip((np.asarray(x, dtype=np.float64) - a) / (b - a), 0.0, 1.0)
    return t * t * (3 - 2 * t)


def mix(a, b, t):
    """Blends colours (or arrays of colours) a -> b by t (scalar or per row)."""
    t = np.asarray(t, dtype=np.float64)
    if t.ndim == 1:
        t = t[:, None]
    return a * (1 - t) + b * t


def ramp(t, stops):
    """Piecewise-linear colour ramp: stops is [(position, '#rrggbb'), ...]."""
    t = np.asarray(t, dtype=np.float64)
    pos = np.array([s[0] for s in stops])
    cols = np.array([rgb(s[1]) if isinstance(s[1], str) else np.asarray(s[1]) for s in stops])
    out = np.zeros((len(t), 3))
    for c in range(3):
        out[:, c] = np.interp(t, pos, cols[:, c])
    return out


def shade(col, factor):
    """Multiplies colours by a per-row factor."""
    return col * np.asarray(factor, dtype=np.float64)[:, None]


def painter_light(N, direction=(-0.35, 0.8, 0.5)):
    """A soft painted-in light from the upper front, 0..1: gives the flat
    textures a little modelled volume of their own."""
    d = np.asarray(direction, dtype=np.float64)
    d = d / np.linalg.norm(d)
    return np.clip(N @ d * 0.5 + 0.5, 0, 1)


def edge_factor(N):
    """1 on rounded edges of boxy shapes, 0 in the middle of flat faces."""
    m = np.abs(N).max(axis=1)
    return smoothstep(0.97, 0.75, m)


class Painter:
    """A colour function and an optional height function for the baker."""

    def __init__(self, color, height=None):
        self.color = color
        self.height = height
