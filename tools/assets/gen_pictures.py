#!/usr/bin/python3
"""Paints every picture of the game except the models' textures and the font atlas.

Run from the repository root: /usr/bin/python3 tools/assets/gen_pictures.py [--only NAME ...]
Writes under assets/: menu.png, the buttons and prompt under menu/, the pause pictures under
pause/, summary.png, controls_screen.png, settings_screen.png, settings_focus.png, "to continue.png",
credits_label1..6.png, images/ (HUD frame, bars, prompt plate, door fade, punch burst, noise
normals, area backgrounds), DirtParticle.png and
sugarParticle.png. Each picture has its own fixed seed, so the output never changes between runs.

Screen rectangles given by the game are measured from the bottom-left of the 800 x 600 window;
pictures are stored top row first, so a rectangle at window y with height h covers picture rows
600 - y - h to 600 - y.
"""

import argparse
import math
import os
import sys

import numpy as np
from PIL import Image

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import paint as P  # noqa: E402
import scenery as S  # noqa: E402

ASSETS = "assets"
TITLE_FONT = "/usr/share/fonts/truetype/leckerli-one/LeckerliOne-Regular.ttf"
BODY_FONT = "/usr/share/fonts/truetype/averia-gwf/AveriaSerifGWF-Bold.ttf"
BODY_FONT_REGULAR = "/usr/share/fonts/truetype/averia-gwf/AveriaSerifGWF-Regular.ttf"

SCREEN_W, SCREEN_H = 800, 600

# The buttons of the menu and of the pause panel: (file under menu/, label). Each picture is
# BUTTON_W x BUTTON_H, the game's click rectangle, with the plaque at BUTTON_PLAQUE inside it.
MENU_BUTTONS = [("start", "Start"), ("continue", "Continue"), ("newGame", "New game"),
                ("settings", "Settings"), ("controls", "Controls"), ("credits", "Credits"),
                ("quit", "Quit"), ("resume", "Resume"), ("leave", "Leave to menu"),
                ("stay", "Stay")]
BUTTON_W, BUTTON_H = 240, 64
BUTTON_PLAQUE = (4, 4, 232, 56)
# The pause panels: width, height (centred on the screen).
PANEL_W, PANEL_H = 360, 400


def window_rect_to_rows(x, y, w, h):
    """Picture rectangle (x0, row0, x1, row1) of a window rectangle measured from the bottom."""
    return x, SCREEN_H - y - h, x + w, SCREEN_H - y


def out(path):
    full = os.path.join(ASSETS, path)
    os.makedirs(os.path.dirname(full) or ".", exist_ok=True)
    return full


# --------------------------------------------------------------------------------------------
# Shared pieces


def wood_plaque(c, x0, y0, x1, y1, rng, radius=22, moss=True):
    """A carved bark plaque with bevelled edges and moss along its top."""
    h, w = c.shape[:2]
    shadow = P.rounded_rect_mask(w, h, x0 + 4, y0 + 7, x1 + 4, y1 + 7, radius, blur=5.0)
    P.paint(c, (0.02, 0.01, 0.0), shadow, 0.65)
    body = P.rounded_rect_mask(w, h, x0, y0, x1, y1, radius)
    pw, ph = int(x1 - x0), int(y1 - y0)
    # Grain: noise stretched along x, turned into wavy rings.
    small = P.fbm(max(8, pw // 10), ph, rng, base=12, octaves=4)
    grain = np.asarray(Image.fromarray(small, mode="F").resize((pw, ph), Image.BICUBIC))
    yy = np.arange(ph, dtype=np.float32)[:, None]
    rings = 0.5 + 0.5 * np.sin(yy * 0.45 + grain * 14.0)
    fine = P.fbm(pw, ph, rng, base=4, octaves=2)
    tone = 0.55 + 0.3 * rings + 0.2 * fine
    light = np.linspace(1.15, 0.7, ph, dtype=np.float32)[:, None]
    wood = np.asarray((0.42, 0.25, 0.12), np.float32) * (tone * light)[..., None]
    col = np.zeros((h, w, 3), np.float32)
    col[int(y0):int(y0) + ph, int(x0):int(x0) + pw] = wood
    P.paint(c, col, body)
    # Bevel: warm highlight on the upper edge, dark lower edge, cool rim on the left.
    top = np.clip(body - P.shift(body, 0, 4), 0, 1)
    bottom = np.clip(body - P.shift(body, 0, -4), 0, 1)
    left = np.clip(body - P.shift(body, -3, 0), 0, 1)
    P.add_light(c, (0.55, 0.38, 0.18), P.blur(top, 1.0), 0.9)
    P.paint(c, (0.08, 0.04, 0.02), P.blur(bottom, 1.0), 0.7)
    P.add_light(c, (0.10, 0.12, 0.22), P.blur(left, 1.0), 0.6)
    # Carved inner groove.
    outer = P.rounded_rect_mask(w, h, x0 + 8, y0 + 8, x1 - 8, y1 - 8, max(4, radius - 8))
    inner = P.rounded_rect_mask(w, h, x0 + 11, y0 + 11, x1 - 11, y1 - 11, max(3, radius - 11))
    groove = np.clip(outer - inner, 0, 1)
    P.paint(c, (0.10, 0.05, 0.02), groove, 0.75)
    P.add_light(c, (0.35, 0.22, 0.1), np.clip(P.shift(groove, 0, 2) - groove, 0, 1), 0.5)
    if moss:
        moss_edge(c, x0, x1, y0, rng, body)
    return body


def moss_edge(c, x0, x1, y, rng, clip):
    """Soft clumps of moss along a top edge, hanging a little over it."""
    h, w = c.shape[:2]
    mask = np.zeros((h, w), np.float32)
    x = x0 + rng.uniform(4, 16)
    while x < x1 - 6:
        r = rng.uniform(5, 12)
        mask = np.maximum(mask, P.ellipse_mask(w, h, x, y + rng.uniform(-1, 4), r, r * 0.6))
        if rng.random() < 0.35:
            drip = rng.uniform(8, 18)
            mask = np.maximum(mask, P.ellipse_mask(w, h, x, y + drip * 0.6, r * 0.35, drip * 0.5))
        x += rng.uniform(6, 22)
    mask = mask * np.maximum(clip, P.shift(clip, 0, 6))
    tex = P.fbm(w, h, rng, base=4, octaves=3)
    col = P.mix((0.16, 0.24, 0.06), (0.45, 0.55, 0.16), tex)
    P.paint(c, col, mask)
    hl = np.clip(mask - P.shift(mask, 0, 2), 0, 1)
    P.add_light(c, (0.35, 0.35, 0.1), hl, 0.6)


def dark_panel(c, x0, y0, x1, y1, opacity=0.62, radius=18, border=P.GOLD):
    """A translucent, soft-edged panel that keeps text readable over a busy picture."""
    h, w = c.shape[:2]
    m = P.rounded_rect_mask(w, h, x0, y0, x1, y1, radius, blur=3.0)
    P.paint(c, (0.04, 0.025, 0.03), m, opacity)
    if border is not None:
        o = P.rounded_rect_mask(w, h, x0 + 6, y0 + 6, x1 - 6, y1 - 6, radius - 6)
        i = P.rounded_rect_mask(w, h, x0 + 7.5, y0 + 7.5, x1 - 7.5, y1 - 7.5, radius - 7.5)
        P.paint(c, border, np.clip(o - i, 0, 1), 0.35)


def body_text(c, lines, x, y, size, colour=P.CREAM, spacing=1.35, fnt_path=BODY_FONT,
              anchor="la"):
    """Left-aligned lines of text with a soft shadow; returns the y after the last line."""
    h, w = c.shape[:2]
    fnt = P.font(fnt_path, size)
    for line in lines:
        col = colour
        if line.startswith("#"):
            line, col = line[1:], P.GOLD
        if line:
            m = P.text_mask(w, h, line, fnt, x, y, anchor)
            P.paint(c, (0.0, 0.0, 0.0), P.blur(P.shift(m, 1, 2), 1.2), 0.8)
            P.paint(c, col, m)
        y += size * spacing
    return y


def heading(c, text, x, y, size, anchor="la", top=(0.85, 0.93, 0.55), bottom=(1.0, 0.62, 0.22)):
    fnt = P.font(TITLE_FONT, size)
    return P.fancy_text(c, text, fnt, x, y, anchor, top=top, bottom=bottom, shadow=0.9,
                        glow=(0.6, 0.3, 0.1), outline=(0.12, 0.06, 0.02), outline_width=3)


def keycap(c, x, y, label, rng, width=46, height=42, fnt=None, arrow=None):
    """A small keyboard key: rounded, bevelled, with a label or an arrow glyph."""
    h, w = c.shape[:2]
    P.paint(c, (0.0, 0.0, 0.0), P.rounded_rect_mask(w, h, x + 2, y + 4, x + width + 2,
                                                     y + height + 4, 8, blur=2.5), 0.6)
    body = P.rounded_rect_mask(w, h, x, y, x + width, y + height, 8)
    gx, gy = P.grid(w, h)
    t = np.clip((gy - y) / height, 0, 1)
    P.paint(c, P.mix((0.93, 0.86, 0.72), (0.62, 0.52, 0.40), t), body)
    face = P.rounded_rect_mask(w, h, x + 5, y + 3, x + width - 5, y + height - 9, 6)
    P.paint(c, P.mix((0.98, 0.94, 0.84), (0.84, 0.76, 0.62), t), face)
    P.add_light(c, (0.1, 0.05, 0.0), np.clip(body - P.shift(body, 0, -2), 0, 1), 0.3)
    cx, cy = x + width / 2, y + (height - 6) / 2 + 1
    ink = (0.22, 0.12, 0.06)
    if arrow is not None:
        ang = {"left": math.pi, "right": 0.0, "up": -math.pi / 2, "down": math.pi / 2}[arrow]
        r = 11
        pts = []
        # Arrow: a triangle head on a short shaft.
        for px, py in [(r, 0), (0, -r * 0.8), (0, -r * 0.3), (-r, -r * 0.3), (-r, r * 0.3),
                       (0, r * 0.3), (0, r * 0.8)]:
            pts.append((cx + px * math.cos(ang) - py * math.sin(ang),
                        cy + px * math.sin(ang) + py * math.cos(ang)))
        P.paint(c, ink, P.polygon_mask(w, h, pts))
    else:
        fnt = fnt or P.fit_font(BODY_FONT, label, width - 14, height - 16, 22)
        P.paint(c, ink, P.text_mask(w, h, label, fnt, cx, cy, "mm"))


def stage_light(c, cx, floor_y, width, colour=(1.0, 0.7, 0.4), strength=0.55):
    """A soft pool of warm light with a faint cone from above: a place for a model to stand."""
    h, w = c.shape[:2]
    gx, gy = P.grid(w, h)
    pool = P.radial(w, h, cx, floor_y, width * 0.55, width * 0.12)
    P.add_light(c, colour, pool, strength)
    spread = (width * 0.25 + (gy / h) * width * 0.35)
    cone = np.exp(-((gx - cx) / spread) ** 2) * np.clip(gy / floor_y, 0, 1) * (gy < floor_y)
    P.add_light(c, colour, cone, strength * 0.18)


def darken(c, factor, contrast=1.0):
    """Lowers brightness and contrast around the picture's mean."""
    rgb = c[..., :3]
    mean = rgb.mean(axis=(0, 1), keepdims=True)
    c[..., :3] = (mean + (rgb - mean) * contrast) * factor


# --------------------------------------------------------------------------------------------
# Full-screen pictures


def make_menu():
    rng = np.random.default_rng(1101)
    c = S.forest_scene(SCREEN_W, SCREEN_H, "dusk", 1102, horizon=0.72, detail=1.1)
    # A darker column behind the buttons, a lighter halo behind the title.
    gx, gy = P.grid(SCREEN_W, SCREEN_H)
    column = np.exp(-((gx - 387) / 230.0) ** 4) * P.smoothstep(100, 180, gy)
    P.paint(c, (0.04, 0.02, 0.03), column, 0.35)
    P.add_light(c, (0.6, 0.35, 0.15), P.radial(SCREEN_W, SCREEN_H, 400, 70, 330, 70), 0.35)
    title = P.font(TITLE_FONT, 118)
    m = P.fancy_text(c, "Mossfang", title, 400, 72, "mm", top=(0.80, 0.92, 0.45),
                     bottom=(1.0, 0.60, 0.18), shadow=1.0, glow=(0.9, 0.45, 0.15),
                     outline=(0.10, 0.05, 0.02), outline_width=5)
    # Moss creeping over the tops of the letters.
    tex = P.fbm(SCREEN_W, SCREEN_H, rng, base=6, octaves=3)
    tops = np.clip(m - P.shift(m, 0, 7), 0, 1) * P.smoothstep(0.45, 0.7, tex)
    P.paint(c, (0.35, 0.5, 0.12), tops, 0.85)
    # The buttons are pictures of their own, laid over the darker column by the game.
    body_text(c, ["a game by Quarrow Games"], 18, 566, 19, colour=(0.95, 0.85, 0.65))
    body_text(c, ["Space: play    Esc: quit"], 782, 566, 17, colour=(0.9, 0.8, 0.62),
              anchor="ra")
    P.save_png(c, out("menu.png"), alpha=False)


def make_buttons():
    """One carved plaque per button, on a transparent picture the size of its click rectangle."""
    fnt = P.font(TITLE_FONT, 34)
    for n, (name, label) in enumerate(MENU_BUTTONS):
        rng = np.random.default_rng(1111 + n)
        c = P.canvas(BUTTON_W, BUTTON_H, (0.30, 0.18, 0.09), 0.0)
        x0, y0, x1, y1 = BUTTON_PLAQUE
        wood_plaque(c, x0, y0, x1, y1, rng, radius=16)
        size = 34 if len(label) < 11 else 28
        P.fancy_text(c, label, fnt if size == 34 else P.font(TITLE_FONT, size), (x0 + x1) / 2,
                     (y0 + y1) / 2 + 1, "mm", top=P.CREAM, bottom=P.GOLD, shadow=0.9,
                     outline=(0.12, 0.06, 0.02), outline_width=2)
        P.save_png(c, out("menu/%s.png" % name))


def pill(w, h, text, size):
    """A dark rounded caption with a gold rim, as "to continue.png"."""
    c = P.canvas(w, h, (0.05, 0.03, 0.02), 0.0)
    m = P.rounded_rect_mask(w, h, 6, 4, w - 6, h - 4, (h - 8) / 2, blur=2.0)
    P.paint(c, (0.05, 0.03, 0.02), m, 0.75)
    rim = np.clip(m - P.rounded_rect_mask(w, h, 9, 7, w - 9, h - 7, (h - 14) / 2, blur=1.0),
                  0, 1)
    P.paint(c, P.GOLD, rim, 0.45)
    P.fancy_text(c, text, P.font(TITLE_FONT, size), w / 2, h / 2 + 1, "mm", top=P.CREAM,
                 bottom=P.GOLD, shadow=0.9, outline=(0.10, 0.05, 0.02), outline_width=2)
    return c


def make_marker():
    """The focus marker beside a button: a gold leaf pointing at it, with a soft glow."""
    w = h = 40
    c = P.canvas(w, h, P.GOLD, 0.0)
    glow = P.radial(w, h, 22, 20, 17, 13)
    P.paint(c, P.DUSK_GLOW, glow, 0.45)
    leaf = P.polygon_mask(w, h, [(8, 9), (34, 20), (8, 31), (14, 20)])
    P.paint(c, (0.12, 0.06, 0.02), P.blur(P.shift(leaf, 1, 2), 1.0), 0.8)
    gx, gy = P.grid(w, h)
    P.paint(c, P.mix(P.CREAM, P.GOLD, np.clip((gy - 9) / 22, 0, 1)), leaf)
    vein = P.line_mask(w, h, [(12, 20), (31, 20)], 1.0)
    P.paint(c, (0.55, 0.32, 0.08), vein * leaf, 0.8)
    P.save_png(c, out("menu/marker.png"))


def make_quit_prompt():
    P.save_png(pill(320, 44, "Press Escape again to quit", 22), out("menu/quitPrompt.png"))


def make_pause():
    """The pause: a shade over the still game, and the two panels the buttons lie on."""
    shade = P.canvas(8, 8, (0.03, 0.015, 0.02), 0.55)
    P.save_png(shade, out("pause/shade.png"))
    for name, title, lines, seed in (
            ("panel", "Paused", [], 1151),
            ("leavePanel", "Leave?", ["Your run is saved:", "Continue takes it up again."], 1152)):
        rng = np.random.default_rng(seed)
        c = P.canvas(PANEL_W, PANEL_H, (0.06, 0.035, 0.03), 0.0)
        wood_plaque(c, 4, 6, PANEL_W - 8, PANEL_H - 10, rng, radius=26)
        # The face inside the groove darkened, so the buttons and the text stand out on it.
        inner = P.rounded_rect_mask(PANEL_W, PANEL_H, 18, 20, PANEL_W - 22, PANEL_H - 24, 16,
                                    blur=2.0)
        P.paint(c, (0.05, 0.03, 0.02), inner, 0.72)
        heading(c, title, PANEL_W / 2, 56, 52, anchor="mm")
        body_text(c, lines, PANEL_W / 2, 98, 19, colour=P.CREAM, spacing=1.3, anchor="ma")
        P.save_png(c, out("pause/%s.png" % name))


# The summary's lines are drawn by the game in slots of SUMMARY_STEP pixels, the first with its
# letters' foot at window y SUMMARY_TOP; the panel leaves room for eight.
SUMMARY_TOP, SUMMARY_STEP, SUMMARY_SLOTS = 432, 42, 8


def make_summary():
    rng = np.random.default_rng(1451)
    c = S.forest_scene(SCREEN_W, SCREEN_H, "ember", 1452, horizon=0.74)
    darken(c, 0.62, 0.75)
    stage_light(c, 600, 520, 360)
    dark_panel(c, 24, 24, 410, 576)
    heading(c, "Journey's end", 217, 78, 44, anchor="mm")
    # A faint rule under each slot, so the lines read as a table.
    for i in range(SUMMARY_SLOTS):
        row = SCREEN_H - (SUMMARY_TOP - SUMMARY_STEP * i) + 8
        rule = P.line_mask(SCREEN_W, SCREEN_H, [(52, row), (392, row)], 1.2)
        P.paint(c, P.GOLD, rule, 0.18 + 0.04 * rng.random())
    body_text(c, ["Press any key"], 217, 540, 17, colour=(0.85, 0.75, 0.55), anchor="ma")
    P.save_png(c, out("summary.png"), alpha=False)


CONTROL_ROWS = [
    ("Move", [("left",), ("right",), "or", "A", "D"], ["Run left and right"]),
    ("Climb", [("up",), ("down",), "or", "W", "S"],
     ["Push into a wall or ceiling", "to cling and climb (uses energy)"]),
    ("Jump", ["Z", "J", "Space"], ["Jump; once you have the upgrade,", "jump again in the air"]),
    ("Punch", ["X", "K"], ["Punch ants; with the sword", "your blows hit twice as hard"]),
    ("Camera", ["C"], ["Switch between the close", "and the wide camera"]),
    ("Pause", ["Esc"], ["Pause: resume, see the keys", "or leave to the menu"]),
]


def make_controls():
    rng = np.random.default_rng(1201)
    c = S.forest_scene(SCREEN_W, SCREEN_H, "moss", 1202, horizon=0.7, clovers=True)
    darken(c, 0.75, 0.8)
    heading(c, "Controls", 400, 52, 64, anchor="mm")
    dark_panel(c, 40, 98, 760, 452)
    small = P.font(BODY_FONT, 18)
    y = 114
    for name, keys, text in CONTROL_ROWS:
        body_text(c, [name], 62, y + 9, 24, colour=P.GOLD)
        x = 170
        for k in keys:
            if isinstance(k, tuple):
                keycap(c, x, y, "", rng, arrow=k[0])
                x += 52
            elif k == "or":
                body_text(c, ["or"], x + 2, y + 11, 18, colour=(0.85, 0.78, 0.62),
                          fnt_path=BODY_FONT_REGULAR)
                x += 30
            else:
                kw = 46 if len(k) == 1 else 34 + 13 * len(k)
                keycap(c, x, y, k, rng, width=kw, fnt=small)
                x += kw + 6
        if len(text) == 1:
            body_text(c, text, 415, y + 11, 18, colour=P.CREAM, fnt_path=BODY_FONT_REGULAR)
        else:
            body_text(c, text, 415, y + 1, 17, colour=P.CREAM, fnt_path=BODY_FONT_REGULAR,
                      spacing=1.2)
        y += 56
    dark_panel(c, 80, 462, 720, 532, opacity=0.55, radius=14, border=(0.6, 0.8, 0.35))
    body_text(c, ["Collect ant eggs and shiny things. Sugar refills your energy,",
                  "candy corn raises it. Find the hat to finish the journey!"],
              400, 472, 20, colour=(0.95, 0.92, 0.78), spacing=1.3, anchor="ma")
    P.save_png(c, out("controls_screen.png"), alpha=False)


# The settings screen as the game lays it out (src/game/SettingsScreen.cpp): rows 38 pixels
# apart with their middles at picture rows 118 to 270 (five settings) and 352 to 428 (the
# assists), and Back below the panel at this row.
SETTINGS_BACK = 494


def make_settings():
    c = S.forest_scene(SCREEN_W, SCREEN_H, "violet", 1252, horizon=0.7, clovers=True)
    darken(c, 0.7, 0.8)
    heading(c, "Settings", 400, 50, 64, anchor="mm")
    dark_panel(c, 60, 92, 740, 452)
    h, w = c.shape[:2]
    # The assists under their own heading, with a rule across the panel.
    body_text(c, ["Assists"], 96, 300, 22, colour=P.GOLD)
    body_text(c, ["a run played with one is marked"], 706, 304, 16,
              colour=(0.85, 0.78, 0.62), fnt_path=BODY_FONT_REGULAR, anchor="ra")
    rule = P.line_mask(w, h, [(190, 313), (450, 313)], 1.5, blur=0.6)
    P.paint(c, P.GOLD, rule, 0.35)
    # Back: a plaque-coloured pill below the panel.
    pill = P.rounded_rect_mask(w, h, 300, SETTINGS_BACK - 19, 500, SETTINGS_BACK + 19, 17,
                               blur=1.5)
    P.paint(c, (0.05, 0.03, 0.02), pill, 0.65)
    border = np.clip(pill - P.rounded_rect_mask(w, h, 303, SETTINGS_BACK - 16, 497,
                                                SETTINGS_BACK + 16, 14, blur=1.0), 0, 1)
    P.paint(c, P.GOLD, border, 0.45)
    dark_panel(c, 70, 530, 730, 572, opacity=0.5, radius=14, border=None)
    body_text(c, ["Up / Down: choose     Left / Right, Enter or a click: change     Esc: back"],
              400, 541, 17, colour=(0.95, 0.9, 0.76), anchor="ma", fnt_path=BODY_FONT_REGULAR)
    P.save_png(c, out("settings_screen.png"), alpha=False)

    # The focus: a warm glow with a gold rim, stretched behind the focused row.
    f = P.canvas(640, 38, P.GOLD, 0.0)
    fh, fw = f.shape[:2]
    glow = P.rounded_rect_mask(fw, fh, 4, 4, 636, 34, 13, blur=1.5)
    P.paint(f, (0.55, 0.32, 0.10), glow, 0.35)
    rim = np.clip(glow - P.rounded_rect_mask(fw, fh, 7, 7, 633, 31, 10, blur=1.0), 0, 1)
    P.paint(f, P.GOLD, rim, 0.9)
    P.save_png(f, out("settings_focus.png"))


def make_to_continue():
    w, h = 500, 60
    c = P.canvas(w, h, (0.05, 0.03, 0.02), 0.0)
    pill = P.rounded_rect_mask(w, h, 40, 8, 460, 54, 23, blur=2.0)
    P.paint(c, (0.05, 0.03, 0.02), pill, 0.6)
    border = np.clip(pill - P.rounded_rect_mask(w, h, 43, 11, 457, 51, 20, blur=1.0), 0, 1)
    P.paint(c, P.GOLD, border, 0.45)
    fnt = P.font(TITLE_FONT, 30)
    P.fancy_text(c, "Press Space to continue", fnt, 250, 31, "mm", top=P.CREAM, bottom=P.GOLD,
                 shadow=0.9, outline=(0.10, 0.05, 0.02), outline_width=2)
    P.save_png(c, out("to continue.png"))


LIBRARIES = [("SFML", "zlib licence"), ("GLEW", "modified BSD / MIT"), ("GLM", "MIT"),
             ("Assimp", "BSD 3-clause"), ("Boost", "Boost Software Licence"),
             ("OpenAL Soft", "LGPL"), ("libsndfile", "LGPL"), ("nlohmann-json", "MIT"),
             ("CLI11", "BSD 3-clause"), ("GoogleTest", "BSD 3-clause"),
             ("Google Benchmark", "Apache 2.0")]

CREDIT_PAGES = [
    dict(mood="dusk", seed=1301, title="Mossfang", lines=[
        "a game by Quarrow Games", "",
        "Made by the Quarrow Games team:", "design, engine, code and levels,",
        "models, pictures, sound and music.", "",
        "#Starring", "   the ninja, a tiny warrior", "   of the forest floor,",
        "   the soldier ant", "   and the worker ant."]),
    dict(mood="violet", seed=1302, title="The engine", lines=None),
    dict(mood="moss", seed=1303, title="Our tools", lines=[
        "#Built and tested with", "   GCC and CMake", "",
        "#Assets generated with", "   Python, NumPy and Pillow", "   SoX and LAME", "   eSpeak NG",
        "", "The grasshopper brings upgrades;", "shiny things are worth points."]),
    dict(mood="dusk", seed=1304, title="Made, not found", lines=[
        "Every model, picture, sound", "and piece of music in Mossfang",
        "was generated by the team's", "own scripts.", "",
        "Platforms, the hat, the upgrade,", "an ant egg, sugar and spikes:",
        "all shaped by code."]),
    dict(mood="ember", seed=1305, title="Type and tunes", lines=[
        "#Fonts", "   Averia Serif GWF by Dan Sayers", "   Leckerli One by Gesine Todt",
        "   both under the SIL Open Font", "   Licence 1.1", "",
        "#Music", "   eight loops composed by our", "   own sequencer", "",
        "#Voices", "   eSpeak NG, bent by SoX"]),
    dict(mood="moss", seed=1306, title="Thank you!", lines=[
        "Thank you for playing", "Mossfang.", "",
        "#Quarrow Games", "", "Press Space to return", "to the menu."]),
]


def make_credits():
    for n, page in enumerate(CREDIT_PAGES, start=1):
        c = S.forest_scene(SCREEN_W, SCREEN_H, page["mood"], page["seed"], horizon=0.74)
        darken(c, 0.62, 0.75)
        # The right side is the stage for the models shown on this page.
        stage_light(c, 600, 520, 360)
        dark_panel(c, 24, 24, 410, 576)
        heading(c, page["title"], 217, 78, 50 if len(page["title"]) < 12 else 42, anchor="mm")
        if page["lines"] is not None:
            body_text(c, page["lines"], 52, 130, 21)
        else:
            y = body_text(c, ["Our own C++17 engine, with:"], 52, 126, 21)
            y += 2
            for lib, lic in LIBRARIES:
                body_text(c, [lib], 62, y, 19, colour=P.CREAM)
                body_text(c, [lic], 392, y + 2, 16, colour=(0.85, 0.75, 0.55),
                          fnt_path=BODY_FONT_REGULAR, anchor="ra")
                y += 30
            body_text(c, ["...and a spider in the webs."], 52, y + 8, 19,
                      colour=(0.8, 0.8, 0.95))
        body_text(c, ["%d / 6" % n], 217, 546, 16, colour=(0.8, 0.7, 0.5), anchor="ma")
        P.save_png(c, out("credits_label%d.png" % n), alpha=False)


# --------------------------------------------------------------------------------------------
# HUD


def make_bar(name, dark, mid, light, seed):
    """A glossy horizontal bar: no end caps, so it can be squeezed to any width."""
    rng = np.random.default_rng(seed)
    w, h = 256, 32
    c = P.canvas(w, h, mid, 0.0)
    gy = (np.arange(h, dtype=np.float32) + 0.5) / h
    # Vertical profile: soft top and bottom edges in alpha.
    alpha = P.smoothstep(0.0, 0.16, gy) * P.smoothstep(1.0, 0.84, gy)
    profile = np.stack([np.interp(gy, [0.0, 0.3, 0.55, 1.0], [light[i], mid[i], mid[i], dark[i]])
                        for i in range(3)], axis=-1)
    col = np.broadcast_to(profile[:, None, :], (h, w, 3)).copy()
    # A gentle flowing texture along the bar.
    flow = P.fbm(w, h, rng, base=16, octaves=3)
    col *= (0.88 + 0.24 * flow)[..., None]
    c[..., :3] = col
    c[..., 3] = np.broadcast_to(alpha[:, None], (h, w))
    # Gloss: a bright band near the top.
    gloss = np.exp(-((gy - 0.28) / 0.09) ** 2)
    c[..., :3] += (np.asarray((1.0, 1.0, 0.95), np.float32) * 0.45 * gloss[:, None, None])
    # Very short fades at the two ends, well under a pixel once the bar is squeezed.
    gx = (np.arange(w, dtype=np.float32) + 0.5)
    ends = P.smoothstep(0.0, 2.0, gx) * P.smoothstep(w, w - 2.0, gx)
    c[..., 3] *= ends[None, :]
    P.save_png(c, out("images/" + name))


def egg_icon(c, cx, cy, r, rng):
    h, w = c.shape[:2]
    P.paint(c, (0, 0, 0), P.ellipse_mask(w, h, cx + 1.5, cy + 2, r * 0.78, r, blur=1.5), 0.6)
    m = P.ellipse_mask(w, h, cx, cy, r * 0.72, r)
    gx, gy = P.grid(w, h)
    d = ((gx - (cx + r * 0.25)) / r) ** 2 + ((gy - (cy - r * 0.4)) / r) ** 2
    col = P.mix((1.0, 0.97, 0.88), (0.72, 0.62, 0.48), np.clip(d * 0.9, 0, 1))
    P.paint(c, col, m)
    for _ in range(6):
        a = rng.uniform(0, 2 * math.pi)
        rr = rng.uniform(0.1, 0.6)
        P.paint(c, (0.6, 0.45, 0.3), P.ellipse_mask(w, h, cx + math.cos(a) * r * 0.6 * rr,
                                                     cy + math.sin(a) * r * rr, 1.2, 1.0) * m, 0.6)
    P.add_light(c, (1, 1, 1), P.ellipse_mask(w, h, cx + r * 0.25, cy - r * 0.45, r * 0.16, r * 0.24,
                                             blur=0.8), 0.6)


def shiny_icon(c, cx, cy, r):
    """A faceted gem with a glint: the points icon."""
    h, w = c.shape[:2]
    pts = [(cx, cy - r), (cx + r * 0.85, cy - r * 0.25), (cx + r * 0.5, cy + r),
           (cx - r * 0.5, cy + r), (cx - r * 0.85, cy - r * 0.25)]
    P.paint(c, (0, 0, 0), P.polygon_mask(w, h, [(x + 1.5, y + 2) for x, y in pts], blur=1.5), 0.6)
    facets = [((0.75, 0.95, 1.0), [pts[0], pts[1], (cx, cy)]),
              ((0.45, 0.75, 0.95), [pts[1], pts[2], (cx, cy)]),
              ((0.25, 0.45, 0.80), [pts[2], pts[3], (cx, cy)]),
              ((0.40, 0.60, 0.90), [pts[3], pts[4], (cx, cy)]),
              ((0.90, 0.98, 1.0), [pts[4], pts[0], (cx, cy)])]
    for col, tri in facets:
        P.paint(c, col, P.polygon_mask(w, h, tri))
    S.sparkle(c, cx - r * 0.35, cy - r * 0.45, r * 0.8, (1.0, 1.0, 0.9), 0.7)


def heart_icon(c, cx, cy, r):
    h, w = c.shape[:2]
    m = np.maximum(P.ellipse_mask(w, h, cx - r * 0.48, cy - r * 0.25, r * 0.55, r * 0.55),
                   P.ellipse_mask(w, h, cx + r * 0.48, cy - r * 0.25, r * 0.55, r * 0.55))
    m = np.maximum(m, P.polygon_mask(w, h, [(cx - r * 1.0, cy - r * 0.1),
                                            (cx + r * 1.0, cy - r * 0.1), (cx, cy + r * 0.95)]))
    P.paint(c, (0, 0, 0), P.blur(P.shift(m, 1, 2), 1.2), 0.6)
    gx, gy = P.grid(w, h)
    t = np.clip((gy - (cy - r)) / (2 * r), 0, 1)
    P.paint(c, P.mix((1.0, 0.45, 0.35), (0.6, 0.06, 0.05), t), m)
    shine = P.ellipse_mask(w, h, cx - r * 0.5, cy - r * 0.4, r * 0.2, r * 0.14, blur=0.8)
    P.add_light(c, (1, 0.9, 0.8), shine, 0.7)


def energy_icon(c, cx, cy, r):
    """A sugar crystal with a glow: the energy icon."""
    h, w = c.shape[:2]
    pts = [(cx, cy - r), (cx + r * 0.8, cy - r * 0.2), (cx + r * 0.55, cy + r * 0.9),
           (cx - r * 0.55, cy + r * 0.9), (cx - r * 0.8, cy - r * 0.2)]
    P.add_light(c, (0.9, 0.7, 0.2), P.radial(w, h, cx, cy, r * 1.8), 0.25)
    P.paint(c, (0, 0, 0), P.polygon_mask(w, h, [(x + 1.5, y + 2) for x, y in pts], blur=1.2), 0.6)
    facets = [((1.0, 0.95, 0.75), [pts[0], pts[1], (cx, cy)]),
              ((0.95, 0.80, 0.35), [pts[1], pts[2], (cx, cy)]),
              ((0.75, 0.55, 0.15), [pts[2], pts[3], (cx, cy)]),
              ((0.85, 0.70, 0.30), [pts[3], pts[4], (cx, cy)]),
              ((1.0, 0.98, 0.85), [pts[4], pts[0], (cx, cy)])]
    for col, tri in facets:
        P.paint(c, col, P.polygon_mask(w, h, tri))


def ninja_portrait(c, cx, cy, r, rng):
    """A round portrait of the ninja: dark hood, eye slit with two bright eyes."""
    h, w = c.shape[:2]
    ring = P.ellipse_mask(w, h, cx, cy, r, r)
    P.paint(c, (0, 0, 0), P.blur(P.shift(ring, 2, 3), 2.0), 0.6)
    gx, gy = P.grid(w, h)
    t = np.clip((gy - (cy - r)) / (2 * r), 0, 1)
    P.paint(c, P.mix((0.55, 0.36, 0.16), (0.25, 0.14, 0.06), t), ring)
    inner = P.ellipse_mask(w, h, cx, cy, r - 4, r - 4)
    P.paint(c, P.mix((0.30, 0.20, 0.32), (0.10, 0.06, 0.10), t), inner)
    hood = P.ellipse_mask(w, h, cx, cy + r * 0.18, r * 0.62, r * 0.72) * inner
    P.paint(c, P.mix((0.22, 0.20, 0.24), (0.05, 0.04, 0.06), t), hood)
    slit = P.rounded_rect_mask(w, h, cx - r * 0.48, cy - r * 0.08, cx + r * 0.48, cy + r * 0.18, 4)
    P.paint(c, (0.85, 0.70, 0.55), slit)
    for ex in (-0.22, 0.22):
        P.paint(c, (0.08, 0.04, 0.02), P.ellipse_mask(w, h, cx + ex * r, cy + r * 0.05, r * 0.1,
                                                      r * 0.09))
        P.add_light(c, (1, 1, 1), P.ellipse_mask(w, h, cx + ex * r + 1, cy + r * 0.02, 1.1, 1.1),
                    0.8)
    # A red headband across the hood, its knot trailing behind.
    band = P.rounded_rect_mask(w, h, cx - r * 0.6, cy - r * 0.36, cx + r * 0.6, cy - r * 0.2, 2)
    band = band * P.ellipse_mask(w, h, cx, cy + r * 0.18, r * 0.64, r * 0.74)
    tails = P.polygon_mask(w, h, [(cx + r * 0.5, cy - r * 0.34), (cx + r * 0.92, cy - r * 0.5),
                                  (cx + r * 0.86, cy - r * 0.36), (cx + r * 0.5, cy - r * 0.22)])
    P.paint(c, (0.72, 0.14, 0.1), np.maximum(band, tails * inner))
    rim = np.clip(ring - P.shift(ring, 0, 2), 0, 1)
    P.add_light(c, (0.6, 0.45, 0.2), rim, 0.8)


def make_hud():
    """The HUD frame, 149 x 179, drawn at the top-left of the window.

    Picture rows (from the top): health bar slot 26..57, energy bar slot 57..88 (bars start at
    x 106 and run off the picture to the right), egg number 122..142 and points number 147..167
    with four 20-pixel cells from x 25 to 105; the icons sit to the right of the numbers.
    """
    rng = np.random.default_rng(1401)
    w, h = 149, 179
    c = P.canvas(w, h, (0.2, 0.12, 0.06), 0.0)
    # Panel: a mossy bark slab with a rounded lower-right corner.
    # The bar rows run on past the picture's edge into the bars; below them the panel ends in
    # its own rounded corner.
    body = np.maximum(P.rounded_rect_mask(w, h, 2, 6, 146, 176, 20),
                      P.rounded_rect_mask(w, h, 2, 6, w + 30, 96, 20))
    P.paint(c, (0, 0, 0), P.blur(P.shift(body, 2, 3), 3.0), 0.5)
    tex = P.fbm(w, h, rng, base=10, octaves=4)
    gx, gy = P.grid(w, h)
    t = np.clip(gy / h, 0, 1)
    base = P.mix((0.34, 0.21, 0.10), (0.18, 0.10, 0.05), t)
    col = base * (0.75 + 0.45 * tex)[..., None]
    P.paint(c, col, body, 0.92)
    bevel = np.clip(body - P.shift(body, 0, 3), 0, 1)
    P.add_light(c, (0.5, 0.35, 0.15), P.blur(bevel, 0.8), 0.8)
    moss_edge(c, 6, w, 7, rng, body)
    # Bar slots: dark grooves the bars slide into.
    for r0, r1 in ((26, 57), (57, 88)):
        slot = P.rounded_rect_mask(w, h, 96, r0 + 3, w + 20, r1 - 3, 10)
        P.paint(c, (0.05, 0.025, 0.015), slot, 0.9)
        P.paint(c, (0.0, 0.0, 0.0), np.clip(slot - P.shift(slot, 0, 2), 0, 1), 0.6)
        P.add_light(c, (0.4, 0.28, 0.12), np.clip(slot - P.shift(slot, 0, -2), 0, 1), 0.5)
    heart_icon(c, 80, 42, 10)
    energy_icon(c, 80, 72, 10)
    ninja_portrait(c, 34, 57, 27, rng)
    # Number plates: readable dark insets behind the two 4-digit counts.
    for r0, r1 in ((119, 145), (144, 170)):
        plate = P.rounded_rect_mask(w, h, 20, r0, 108, r1, 8)
        P.paint(c, (0.04, 0.025, 0.02), plate, 0.85)
        P.add_light(c, (0.4, 0.28, 0.12), np.clip(plate - P.shift(plate, 0, -2), 0, 1), 0.4)
    sep = P.line_mask(w, h, [(26, 144.5), (102, 144.5)], 1.0)
    P.paint(c, (0.45, 0.32, 0.15), sep, 0.5)
    egg_icon(c, 126, 132, 11, rng)
    shiny_icon(c, 126, 158, 10)
    # Small lettering above the numbers.
    fnt = P.font(BODY_FONT, 11)
    m = P.text_mask(w, h, "eggs  &  shinies", fnt, 64, 104, "mm")
    P.paint(c, (0.0, 0.0, 0.0), P.blur(P.shift(m, 1, 1), 0.8), 0.7)
    P.paint(c, (0.95, 0.85, 0.6), m)
    P.save_png(c, out("images/Game HUD.png"))


def make_prompt():
    """The plate under the HUD's prompt line, 384 x 64: a bark slab like the HUD frame's with moss
    along its top and a dark inset for the letters. The game stretches it to each line (about
    150 to 760 pixels wide, 42 high), so its grain runs along x and its corners stay small. The
    slab is fully opaque inside its rounded outline: whatever lies behind never shows through
    the letters."""
    rng = np.random.default_rng(1403)
    w, h = 384, 64
    c = P.canvas(w, h, (0.2, 0.12, 0.06), 0.0)
    body = P.rounded_rect_mask(w, h, 2, 4, w - 2, h - 2, 14)
    small = P.fbm(w // 8, h, rng, base=8, octaves=4)
    grain = np.asarray(Image.fromarray(small, mode="F").resize((w, h), Image.BICUBIC))
    gx, gy = P.grid(w, h)
    base = P.mix((0.34, 0.21, 0.10), (0.18, 0.10, 0.05), np.clip(gy / h, 0, 1))
    col = base * (0.75 + 0.45 * grain)[..., None]
    P.paint(c, col, body)
    bevel = np.clip(body - P.shift(body, 0, 3), 0, 1)
    P.add_light(c, (0.5, 0.35, 0.15), P.blur(bevel, 0.8), 0.8)
    P.paint(c, (0.06, 0.03, 0.015), np.clip(body - P.shift(body, 0, -3), 0, 1), 0.7)
    inset = P.rounded_rect_mask(w, h, 12, 13, w - 12, h - 10, 9)
    P.paint(c, (0.05, 0.03, 0.02), inset, 0.88)
    P.add_light(c, (0.4, 0.28, 0.12), np.clip(inset - P.shift(inset, 0, -2), 0, 1), 0.4)
    moss_edge(c, 8, w - 8, 5, rng, body)
    P.save_png(c, out("images/PromptPlate.png"))


def make_fade():
    """The black that covers the screen when a door is passed; the game clears it over a quarter
    of a second. 8 x 8, opaque."""
    P.save_png(P.canvas(8, 8, (0.0, 0.0, 0.0), 1.0), out("images/Fade.png"))


# --------------------------------------------------------------------------------------------
# Effects and particles


def make_punch():
    """A punch impact burst: radial streaks, a hot core and a crescent whoosh, all in alpha."""
    rng = np.random.default_rng(1501)
    w = h = 128
    c = P.canvas(w, h, (1.0, 0.85, 0.5), 0.0)
    gx, gy = P.grid(w, h)
    dx, dy = gx - 64, gy - 64
    r = np.sqrt(dx ** 2 + dy ** 2) / 64.0
    ang = np.arctan2(dy, dx)
    rays = np.zeros((h, w), np.float32)
    for k in range(22):
        a0 = (k + rng.uniform(-0.3, 0.3)) * 2 * math.pi / 22
        width = rng.uniform(0.04, 0.09)
        length = rng.uniform(0.55, 0.95) if k % 2 == 0 else rng.uniform(0.35, 0.6)
        d = np.angle(np.exp(1j * (ang - a0)))
        rays += np.exp(-(d / width) ** 2) * P.smoothstep(length, length * 0.5, r)
    rays = np.clip(rays, 0, 1) * P.smoothstep(0.05, 0.25, r)
    core = np.exp(-(r / 0.28) ** 2)
    # A crescent whoosh ring, thick on one side.
    ring = np.exp(-((r - 0.62) / 0.07) ** 2) * (0.5 + 0.5 * np.cos(ang - 0.3)) ** 2
    alpha = np.clip(core * 1.1 + rays * 0.8 + ring * 0.7, 0, 1) * P.smoothstep(1.0, 0.85, r)
    heat = np.clip(core * 1.2 + rays * 0.4, 0, 1)
    col = P.mix((1.0, 0.55, 0.15), (1.0, 0.98, 0.85), heat)
    c[..., :3] = col
    c[..., 3] = alpha
    P.save_png(c, out("images/punchSprite.png"))


def make_noise():
    """256 x 256 random unit normals over the whole sphere, stored as n * 0.5 + 0.5."""
    rng = np.random.default_rng(1601)
    v = rng.normal(size=(256, 256, 3))
    v /= np.linalg.norm(v, axis=-1, keepdims=True)
    rgb = np.clip(np.round((v * 0.5 + 0.5) * 255.0), 0, 255).astype(np.uint8)
    Image.fromarray(rgb, mode="RGB").save(out("images/noise_norm.jpg"), format="JPEG",
                                          quality=98, subsampling=0)


def make_particles():
    w = h = 64
    gx, gy = P.grid(w, h)
    r = np.sqrt((gx - 32) ** 2 + (gy - 32) ** 2) / 32.0
    # Dirt: a lumpy, soft brown clod.
    rng = np.random.default_rng(1701)
    lumps = P.fbm(w, h, rng, base=12, octaves=3)
    edge = 0.72 + 0.25 * (lumps - 0.5)
    alpha = P.smoothstep(edge, edge - 0.35, r) * 0.95
    shade = np.clip(1.0 - ((gx - 24) ** 2 + (gy - 22) ** 2) / (2 * 30.0 ** 2), 0.4, 1.0)
    col = np.asarray((0.50, 0.34, 0.19), np.float32) * (shade * (0.8 + 0.4 * lumps))[..., None]
    c = P.canvas(w, h)
    c[..., :3] = col
    c[..., 3] = alpha
    P.save_png(c, out("DirtParticle.png"))
    # Sugar: a white sparkle with a soft halo and four thin rays.
    c = P.canvas(w, h, (1.0, 1.0, 1.0), 0.0)
    dx, dy = gx - 32, gy - 32
    core = np.exp(-(r / 0.16) ** 2)
    halo = np.exp(-(r / 0.5) ** 2) * 0.35
    rays = (np.exp(-(dy / 1.3) ** 2) + np.exp(-(dx / 1.3) ** 2)) * np.clip(1 - r, 0, 1) ** 1.5
    diag = (np.exp(-((dx - dy) / 1.8) ** 2) + np.exp(-((dx + dy) / 1.8) ** 2)) * \
        np.clip(1 - r * 1.6, 0, 1) ** 2 * 0.5
    alpha = np.clip(core + halo + rays * 0.8 + diag, 0, 1) * P.smoothstep(1.0, 0.9, r)
    c[..., :3] = P.mix((0.85, 0.9, 1.0), (1.0, 1.0, 1.0), np.clip(core + rays, 0, 1))
    c[..., 3] = alpha
    P.save_png(c, out("sugarParticle.png"))


# --------------------------------------------------------------------------------------------
# Area backdrops

BACKGROUNDS = [
    ("images/StartAreaBackground.png", dict(mood="dusk", seed=1801)),
    ("images/SimpleAreaBackground.png", dict(mood="moss", seed=1802, clovers=True)),
    ("images/TrickyAreaBackground.png", dict(mood="violet", seed=1803, webs=True, thorns=True)),
    ("images/SwordAreaBackground.png", dict(mood="ember", seed=1804, swords=True)),
]


def make_backgrounds():
    for path, kw in BACKGROUNDS:
        c = S.forest_scene(1024, 512, kw.pop("mood"), kw.pop("seed"), **kw)
        # Behind the play: darker and flatter than anything in front of it.
        darken(c, 0.62, 0.7)
        P.save_png(c, out(path), alpha=False)


MAKERS = {
    "menu": make_menu, "buttons": make_buttons, "marker": make_marker,
    "quitPrompt": make_quit_prompt,
    "pause": make_pause, "summary": make_summary,
    "controls": make_controls, "continue": make_to_continue, "settings": make_settings,
    "credits": make_credits, "hud": make_hud, "prompt": make_prompt, "fade": make_fade,
    "bars": lambda: (make_bar("HealthBar.png", (0.35, 0.02, 0.03), (0.80, 0.12, 0.10),
                              (1.0, 0.55, 0.45), 1901),
                     make_bar("EnergyBar.png", (0.22, 0.30, 0.02), (0.70, 0.74, 0.12),
                              (0.92, 1.0, 0.55), 1902)),
    "punch": make_punch, "noise": make_noise, "particles": make_particles,
    "backgrounds": make_backgrounds,
}


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--only", nargs="*", choices=sorted(MAKERS), help="paint only these")
    args = ap.parse_args()
    for name in args.only or list(MAKERS):
        print("painting", name, flush=True)
        MAKERS[name]()


if __name__ == "__main__":
    main()
