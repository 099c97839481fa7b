#!/usr/bin/python3
"""Renders the bitmap font atlas "assets/textFonts/HarringtonFont.png".

Layout: 512 x 512 pixels, 16 x 16 cells of 32 pixels; the glyph of character code k sits in
column k mod 16 and row k div 16 counted from the top. Glyphs are white; alpha carries their
coverage. All glyphs share one baseline and are centred horizontally in their cell, because the
game draws every character as a square cell and advances by exactly one cell (monospaced).
Codes 32..126 are ASCII, 160..255 Latin-1; the control codes 0..31 and 127..159 stay empty.

Source font: Averia Serif GWF Bold (Debian package fonts-averia-serif-gwf, SIL Open Font Licence
1.1). Run from the repository root: /usr/bin/python3 tools/assets/gen_font.py
"""

import os

import numpy as np
from PIL import Image, ImageDraw, ImageFont

FONT_PATH = "/usr/share/fonts/truetype/averia-gwf/AveriaSerifGWF-Bold.ttf"
OUT = os.path.join("assets", "textFonts", "HarringtonFont.png")

CELL = 32
GRID = 16
MARGIN = 2          # empty pixels kept on every side of a glyph inside its cell
SS = 8              # supersampling factor for rendering
WIDEN = 1.6         # horizontal stretch of every glyph: square cells read as spaced-out text
                    # with a face's natural widths, so the letters are drawn expanded
CODES = list(range(32, 127)) + list(range(160, 256))


def ink_box(font, ch):
    """(left, top, right, bottom) of the glyph's ink relative to its baseline origin."""
    return font.getbbox(ch, anchor="ls")


def choose_size():
    """The largest pixel size at which every letter and digit fits the cell's usable height with
    one shared baseline, and the baseline row that goes with it. Taller signs (brackets, bars,
    accented capitals) are squeezed into the cell by render_glyph."""
    usable = CELL - 2 * MARGIN
    sizing = [c for c in map(chr, range(33, 127)) if c.isalnum()]
    for size in range(40, 8, -1):
        f = ImageFont.truetype(FONT_PATH, size)
        top = min(ink_box(f, c)[1] for c in sizing)
        bottom = max(ink_box(f, c)[3] for c in sizing)
        if bottom - top <= usable:
            return size, MARGIN - top
    raise RuntimeError("no size fits the cell")


def render_glyph(ch, size, baseline):
    """One cell (CELL x CELL coverage in 0..255) with the glyph on the shared baseline.

    Every glyph is stretched by WIDEN across; glyphs that are then too wide (or, for accented
    capitals, too tall) are squeezed to fit rather than cut off.
    """
    f = ImageFont.truetype(FONT_PATH, size * SS)
    left, top, right, bottom = ink_box(f, ch)
    if right <= left or bottom <= top:
        return np.zeros((CELL, CELL), np.uint8)
    big = Image.new("L", ((right - left) + 4 * SS, (bottom - top) + 4 * SS), 0)
    ImageDraw.Draw(big).text((2 * SS - left, 2 * SS - top), ch, font=f, fill=255, anchor="ls")
    glyph = big.crop((2 * SS, 2 * SS, 2 * SS + right - left, 2 * SS + bottom - top))
    usable = (CELL - 2 * MARGIN) * SS
    gw, gh = glyph.size
    sx = min(WIDEN, usable / gw)
    # Space available above and below the baseline for this glyph.
    above = baseline * SS - MARGIN * SS
    below = (CELL - MARGIN - baseline) * SS
    sy = 1.0
    if -top > above:
        sy = min(sy, above / -top)
    if bottom > below:
        sy = min(sy, below / bottom)
    nw, nh = max(1, int(round(gw * sx))), max(1, int(round(gh * sy)))
    if (nw, nh) != (gw, gh):
        glyph = glyph.resize((nw, nh), Image.LANCZOS)
    cell = Image.new("L", (CELL * SS, CELL * SS), 0)
    x = (CELL * SS - nw) // 2
    y = int(round(baseline * SS + top * sy))
    cell.paste(glyph, (x, y))
    cell = cell.resize((CELL, CELL), Image.BOX)
    return np.asarray(cell, np.uint8)


def main():
    size, baseline = choose_size()
    atlas = np.zeros((CELL * GRID, CELL * GRID, 4), np.uint8)
    atlas[..., :3] = 255
    for k in CODES:
        col, row = k % GRID, k // GRID
        atlas[row * CELL:(row + 1) * CELL, col * CELL:(col + 1) * CELL, 3] = \
            render_glyph(chr(k), size, baseline)
    os.makedirs(os.path.dirname(OUT), exist_ok=True)
    Image.fromarray(atlas, mode="RGBA").save(OUT, format="PNG", optimize=True)
    print("font atlas: size %d px, baseline row %d of each %d px cell" % (size, baseline, CELL))


if __name__ == "__main__":
    main()
