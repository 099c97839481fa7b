#!/usr/bin/python3
"""Checks the generated pictures, font atlas, sound effects and music under assets/.

Run from the repository root: /usr/bin/python3 tools/assets/check_media.py [--hashes] [--root DIR]
Every file must exist and decode (pictures with Pillow, sounds with the same libsndfile the game
uses), have its fixed size, carry alpha where it is blended and none where it is a backdrop, sit
where the game draws over it (HUD numbers) or clicks it (button plaques filling their pictures),
and not be silent. Music must be 30 to
90 seconds long and loop without a seam after decoding. Prints one line per check and exits with
status 1 if any failed. --hashes also prints a SHA-256 of every file, to compare two runs.
"""

import argparse
import ctypes
import ctypes.util
import glob
import hashlib
import math
import os
import sys
import wave

import numpy as np
from PIL import Image

ASSETS = "assets"
SCREEN_H = 600

FAILS = []
PASSES = []
QUIET = False


def check(cond, what):
    (PASSES if cond else FAILS).append(what)
    if not QUIET:
        print(("ok    " if cond else "FAIL  ") + what)
    return bool(cond)


# ------------------------------------------------------------------------------------------
# libsndfile through ctypes


class SfInfo(ctypes.Structure):
    _fields_ = [("frames", ctypes.c_int64), ("samplerate", ctypes.c_int),
                ("channels", ctypes.c_int), ("format", ctypes.c_int),
                ("sections", ctypes.c_int), ("seekable", ctypes.c_int)]


def _sndfile():
    name = ctypes.util.find_library("sndfile") or "libsndfile.so.1"
    lib = ctypes.CDLL(name)
    lib.sf_open.restype = ctypes.c_void_p
    lib.sf_open.argtypes = [ctypes.c_char_p, ctypes.c_int, ctypes.POINTER(SfInfo)]
    lib.sf_readf_float.restype = ctypes.c_int64
    lib.sf_readf_float.argtypes = [ctypes.c_void_p, ctypes.POINTER(ctypes.c_float), ctypes.c_int64]
    lib.sf_close.argtypes = [ctypes.c_void_p]
    lib.sf_strerror.restype = ctypes.c_char_p
    lib.sf_strerror.argtypes = [ctypes.c_void_p]
    return lib


SF = _sndfile()
SFM_READ = 0x10
SF_FORMAT_TYPEMASK = 0x0FFF0000
SF_FORMAT_SUBMASK = 0x0000FFFF
SF_FORMAT_WAV = 0x010000
SF_FORMAT_MPEG = 0x230000
SF_FORMAT_PCM_16 = 0x0002


def sf_decode(path):
    """(samples (channels, frames) float32, rate, format) decoded by libsndfile, or raises."""
    info = SfInfo()
    h = SF.sf_open(path.encode(), SFM_READ, ctypes.byref(info))
    if not h:
        raise IOError(SF.sf_strerror(None).decode(errors="replace"))
    try:
        buf = np.zeros(max(info.frames, 0) * info.channels + info.channels * 4096, np.float32)
        got = SF.sf_readf_float(h, buf.ctypes.data_as(ctypes.POINTER(ctypes.c_float)),
                                len(buf) // info.channels)
    finally:
        SF.sf_close(h)
    x = buf[:got * info.channels].reshape(-1, info.channels).T
    return x, info.samplerate, info.format


def db(v):
    return 20 * math.log10(max(v, 1e-12))


# ------------------------------------------------------------------------------------------
# Pictures


def load(path):
    full = os.path.join(ASSETS, path)
    if not check(os.path.isfile(full), "%s exists" % path):
        return None
    try:
        with Image.open(full) as img:
            img.load()
            copy = img.copy()
            copy.format = img.format
            return copy
    except Exception as e:  # any decoding problem is a failed check, not a crash
        check(False, "%s decodes (%s)" % (path, e))
        return None


def rgba(img):
    return np.asarray(img.convert("RGBA"), np.float32) / 255.0


def check_opaque(path, size):
    img = load(path)
    if img is None:
        return None
    check(img.size == size, "%s is %dx%d (found %dx%d)" % (path, size[0], size[1], *img.size))
    a = rgba(img)
    check(a[..., 3].min() == 1.0, "%s is opaque" % path)
    check(a[..., :3].std() > 0.05, "%s is not a flat fill" % path)
    return a


def check_alpha(path, size=None):
    img = load(path)
    if img is None:
        return None
    if size is not None:
        check(img.size == size, "%s is %dx%d (found %dx%d)" % (path, size[0], size[1], *img.size))
    check(img.mode == "RGBA", "%s has an alpha channel" % path)
    a = rgba(img)
    check((a[..., 3] < 0.05).mean() > 0.02 and (a[..., 3] > 0.7).mean() > 0.01,
          "%s has both transparent and solid parts" % path)
    return a


def plaque_signature(a, x0, r0, x1, r1):
    """Where the carved groove that runs 8 to 11 pixels inside every button plaque's edge lies,
    side by side: the inset of the darkest line between 6 and 14 pixels in, and how much darker
    it is than the wood 4 and 16 pixels in. A plaque drawn off its rectangle moves the groove."""
    lum = a[..., :3].mean(axis=2)
    ins = np.arange(0, 21)
    sides = [[lum[r0 + 25:r1 - 25, x0 + i].mean() for i in ins],
             [lum[r0 + 25:r1 - 25, x1 - 1 - i].mean() for i in ins],
             [lum[r0 + i, x0 + 25:x1 - 25].mean() for i in ins],
             [lum[r1 - 1 - i, x0 + 25:x1 - 25].mean() for i in ins]]
    out = []
    for p in map(np.array, sides):
        k = 6 + int(np.argmin(p[6:15]))
        out.append((k, min(p[4] - p[k], p[16] - p[k])))
    return out


# The buttons the menu and the pause lay over their screens: each picture is the button's click
# rectangle, the plaque drawn at PLAQUE inside it.
BUTTONS = ["start", "continue", "newGame", "settings", "controls", "credits", "quit", "resume",
           "leave", "stay"]
BUTTON_SIZE = (240, 64)
PLAQUE = (4, 4, 232, 56)


def check_pictures():
    menu = check_opaque("menu.png", (800, 600))
    if menu is not None:
        # The column where the game lays the buttons holds no lettering of its own.
        column = menu[150:560, 280:520, :3].mean(axis=2)
        check((column > 0.8).mean() < 0.002, "menu.png leaves the buttons' column free")
    for name in BUTTONS:
        path = "menu/%s.png" % name
        b = check_alpha(path, BUTTON_SIZE)
        if b is None:
            continue
        x0, r0, x1, r1 = PLAQUE
        sig = plaque_signature(b, x0, r0, x1, r1)
        check(all(8 <= k <= 11 and depth > 0.02 for k, depth in sig),
              "%s: the plaque fills its click rectangle (groove at %s)"
              % (path, [k for k, _ in sig]))
        # The lettering's extent, centred on the plaque.
        bright = b[r0:r1, x0:x1, :3].mean(axis=2) > 0.7
        ys, xs = np.nonzero(bright & (b[r0:r1, x0:x1, 3] > 0.9))
        check(len(xs) > 150 and abs((xs.min() + xs.max()) / 2 - (x1 - x0) / 2) < 8 and
              abs((ys.min() + ys.max()) / 2 - (r1 - r0) / 2) < 6,
              "%s has its label in the middle" % path)
    for path, size in (("menu/marker.png", (40, 40)), ("menu/quitPrompt.png", (320, 44))):
        check_alpha(path, size)
    for path in ("pause/panel.png", "pause/leavePanel.png"):
        p = load(path)
        if p is not None:
            check(p.size == (360, 400) and p.mode == "RGBA", "%s is 360x400 with alpha" % path)
            a = rgba(p)
            check(a[40:-40, 40:-40, 3].min() > 0.95 and a[:3, :3, 3].max() < 0.3,
                  "%s is a solid panel with rounded corners" % path)
    shade = load("pause/shade.png")
    if shade is not None:
        a = rgba(shade)
        check(0.3 < a[..., 3].mean() < 0.8 and a[..., :3].mean() < 0.1,
              "pause/shade.png is a dark see-through veil")
    summary = check_opaque("summary.png", (800, 600))
    if summary is not None:
        check((summary[60:130, 30:400, :3].mean(axis=2) > 0.75).mean() > 0.01,
              "summary.png has its heading on the left")
        check((summary[40:560, 470:780, :3].mean(axis=2) > 0.8).mean() < 0.01,
              "summary.png keeps the right side free for the models")
    settings = check_opaque("settings_screen.png", (800, 600))
    if settings is not None:
        # The rows' middle stays calm under the game's text: the panel darkens what lies behind.
        lum = settings[110:430, 100:700, :3].mean(axis=2)
        check(lum.mean() < 0.25, "settings_screen.png: the panel under the rows is dark")
    check_alpha("settings_focus.png", (640, 38))
    ctl = check_opaque("controls_screen.png", (800, 600))
    if ctl is not None:
        lum = ctl[100:460, 40:760, :3].mean(axis=2)
        check((lum > 0.75).mean() > 0.02, "controls_screen.png carries key captions and text")
    cont = check_alpha("to continue.png", (500, 60))
    if cont is not None:
        text = cont[15:45, 60:440]
        check(((text[..., :3].mean(axis=2) > 0.7) & (text[..., 3] > 0.9)).mean() > 0.05,
              "to continue.png: the caption is bright and solid")
    pages = []
    for n in range(1, 7):
        p = check_opaque("credits_label%d.png" % n, (800, 600))
        if p is not None:
            pages.append(p)
            text = p[60:560, 30:400, :3].mean(axis=2)
            check((text > 0.75).mean() > 0.01, "credits_label%d.png has text on its left" % n)
            stage = p[40:560, 470:780, :3].mean(axis=2)
            check((stage > 0.8).mean() < 0.01,
                  "credits_label%d.png keeps the right side free for the models" % n)
    if len(pages) == 6:
        same = any(np.abs(pages[i] - pages[j]).mean() < 0.02
                   for i in range(6) for j in range(i + 1, 6))
        check(not same, "the six credits pages differ from each other")
    for name, hue in (("HealthBar.png", "red"), ("EnergyBar.png", "gold")):
        bar = check_alpha("images/" + name)
        if bar is not None:
            h, w = bar.shape[:2]
            check(w >= 188 and 24 <= h <= 64, "images/%s is bar-shaped (%dx%d)" % (name, w, h))
            mid = bar[h // 2 - 3:h // 2 + 3, 4:w - 4]
            check(mid[..., 3].min() > 0.9, "images/%s is solid along its middle" % name)
            # Squeezing stretches columns: every column must look alike (no end caps).
            cols = bar[:, 4:w - 4, :].mean(axis=0)
            check(cols.std(axis=0).max() < 0.08, "images/%s has no end caps" % name)
            r, g, b = (mid[..., k].mean() for k in range(3))
            ok = (r > 1.5 * g and r > 1.5 * b) if hue == "red" else (r > 1.5 * b and g > 1.5 * b)
            check(ok, "images/%s is %s (rgb %.2f %.2f %.2f)" % (name, hue, r, g, b))
    hud = check_alpha("images/Game HUD.png", (149, 179))
    if hud is not None:
        for label, r0 in (("eggs", 122), ("points", 147)):
            area = hud[r0:r0 + 20, 25:105]
            lum = area[..., :3].mean(axis=2)
            check(area[..., 3].mean() > 0.7 and lum.mean() < 0.2,
                  "Game HUD.png: the %s number area is dark and solid for white digits" % label)
            icon = hud[r0 - 6:r0 + 26, 110:145]
            check(icon[..., 3].mean() > 0.3 and icon[..., :3].mean(axis=2).max() > 0.7,
                  "Game HUD.png: a %s icon right of the number" % label)
    punch = check_alpha("images/punchSprite.png")
    if punch is not None:
        h, w = punch.shape[:2]
        check(punch[h // 2 - 4:h // 2 + 4, w // 2 - 4:w // 2 + 4, 3].min() > 0.9
              and punch[0, 0, 3] == 0 and punch[-1, -1, 3] == 0,
              "images/punchSprite.png: a solid core fading out to clear corners")
    check_noise()
    # Every area backdrop, whichever generator painted it.
    backs = sorted(os.path.relpath(p, ASSETS) for p in
                   glob.glob(os.path.join(ASSETS, "images", "*Background.png")))
    check(len(backs) >= 4, "%d area backdrops found" % len(backs))
    for path in backs:
        img = load(path)
        if img is None:
            continue
        check(img.size[0] >= 512 and img.size[1] >= 256, "%s is large (%dx%d)" % (path, *img.size))
        a = rgba(img)
        check(a[..., 3].min() == 1.0, "%s is opaque" % path)
        lum = a[..., :3] @ np.array([0.2126, 0.7152, 0.0722], np.float32)
        check(lum.mean() < 0.3 and lum.std() < 0.15,
              "%s is dark and soft behind the play (mean %.2f, spread %.2f)"
              % (path, lum.mean(), lum.std()))
        check(lum.std() > 0.02, "%s is a picture, not a fill" % path)
    for path, kind in (("DirtParticle.png", "dirt"), ("sugarParticle.png", "sugar")):
        p = check_alpha(path, (64, 64))
        if p is None:
            continue
        wgt = p[..., 3:4]
        col = (p[..., :3] * wgt).sum(axis=(0, 1)) / max(wgt.sum(), 1e-6)
        if kind == "dirt":
            check(col[0] > col[1] > col[2] and col.mean() < 0.6,
                  "DirtParticle.png is brownish (rgb %.2f %.2f %.2f)" % tuple(col))
        else:
            check(col.min() > 0.8, "sugarParticle.png is white (rgb %.2f %.2f %.2f)" % tuple(col))
        r = np.hypot(*np.mgrid[-31.5:32.5, -31.5:32.5])
        check(p[..., 3][r > 31].max() < 0.05, "%s fades to nothing at its rim" % path)


def check_noise():
    path = "images/noise_norm.jpg"
    img = load(path)
    if img is None:
        return
    check(img.size == (256, 256), "%s is 256x256" % path)
    check(img.format == "JPEG", "%s is a JPEG" % path)
    n = np.asarray(img.convert("RGB"), np.float32) / 255.0 * 2.0 - 1.0
    length = np.linalg.norm(n, axis=-1)
    check(abs(length.mean() - 1.0) < 0.06, "%s holds unit normals (mean length %.3f)"
          % (path, length.mean()))
    check(min(n[..., k].std() for k in range(3)) > 0.4 and
          max(abs(n[..., k].mean()) for k in range(3)) < 0.05,
          "%s points every way evenly" % path)
    # Neighbouring texels must be unrelated (noise, not a smooth pattern).
    corr = np.mean(n[:, 1:, 0] * n[:, :-1, 0]) / max(np.mean(n[..., 0] ** 2), 1e-6)
    check(abs(corr) < 0.2, "%s is uncorrelated between neighbours (%.2f)" % (path, corr))


def check_font():
    path = "textFonts/HarringtonFont.png"
    img = load(path)
    if img is None:
        return
    check(img.size == (512, 512), "%s is 512x512" % path)
    a = rgba(img)
    inked = a[..., 3] > 0.02
    check(a[..., :3][inked].min() > 0.99, "%s glyphs are white, alpha carries them" % path)
    cell = 32
    missing, crowded = [], []
    for k in range(256):
        c = a[(k // 16) * cell:(k // 16 + 1) * cell, (k % 16) * cell:(k % 16 + 1) * cell, 3]
        if 33 <= k <= 126 and c.sum() < 8:
            missing.append(chr(k))
        if (k < 32 or k == 32 or 127 <= k < 160) and c.max() > 0:
            crowded.append("code %d not blank" % k)
        ring = np.concatenate([c[0], c[-1], c[:, 0], c[:, -1]])
        if ring.max() > 0.05:
            crowded.append("%r touches its cell edge" % chr(k))
    check(not missing, "%s has a glyph for every printable ASCII code%s"
          % (path, (" (missing " + "".join(missing) + ")") if missing else ""))
    check(not crowded, "%s glyphs keep a margin; control codes are blank%s"
          % (path, (": " + ", ".join(crowded[:5])) if crowded else ""))
    bottoms = []
    for ch in "ABCDEHIKLMNRSTUVWXZabcdehiklmnorstuvwxz0123456789":
        k = ord(ch)
        c = a[(k // 16) * cell:(k // 16 + 1) * cell, (k % 16) * cell:(k % 16 + 1) * cell, 3]
        rows = np.nonzero(c.max(axis=1) > 0.5)[0]
        if len(rows):
            bottoms.append(rows[-1])
    check(len(bottoms) > 40 and max(bottoms) - min(bottoms) <= 1,
          "%s letters share one baseline (rows %d..%d)" % (path, min(bottoms), max(bottoms)))
    x = a[(ord("x") // 16) * cell:(ord("x") // 16 + 1) * cell,
          (ord("x") % 16) * cell:(ord("x") % 16 + 1) * cell, 3]
    rows = np.nonzero(x.max(axis=1) > 0.5)[0]
    check(len(rows) and rows[-1] - rows[0] + 1 >= 12,
          "%s lower case is large enough to read at 20 pixels (x-height %d of 32)"
          % (path, rows[-1] - rows[0] + 1 if len(rows) else 0))


# ------------------------------------------------------------------------------------------
# Sounds

EFFECTS = ["antDeath.wav", "hitFast.wav", "playerSwing.wav", "dyingNinja.wav", "shinyPing.wav",
           "webRip.wav", "antBite.wav", "walkingOnRock.wav", "ninjaJump0.wav", "ninjaJump1.wav",
           "ninjaLand0.wav", "antChittering.wav", "shatter.wav", "waspBuzz.wav", "waspDeath.wav",
           "spiderDrop.wav", "threadSnap.wav", "leafRustle.wav", "checkpoint.wav",
           "secretFound.wav"]
VOICES = ["jumpUpgradeVoice.wav", "swordUpgradeVoice.wav"]
MUSIC = ["Monster.mp3", "Bit Bit Loop.mp3", "Ambient B Eastern Thought.mp3",
         "Ambient G Glowing.mp3", "Ambient H Spaced Out.mp3", "Ambient N Vibe Train.mp3",
         "Chill Dark.mp3", "ElectroShuffle Dark.mp3"]


def check_wav(path, max_seconds):
    full = os.path.join(ASSETS, path)
    if not check(os.path.isfile(full), "%s exists" % path):
        return None
    try:
        with wave.open(full, "rb") as w:
            fmt = (w.getnchannels(), w.getsampwidth(), w.getframerate())
    except Exception as e:
        check(False, "%s is a PCM WAV (%s)" % (path, e))
        return None
    check(fmt == (1, 2, 44100), "%s is 16-bit PCM, 44.1 kHz, mono (found %s)" % (path, fmt))
    try:
        x, rate, f = sf_decode(full)
    except IOError as e:
        check(False, "%s decodes with libsndfile (%s)" % (path, e))
        return None
    check((f & SF_FORMAT_TYPEMASK) == SF_FORMAT_WAV and (f & SF_FORMAT_SUBMASK) == SF_FORMAT_PCM_16,
          "%s decodes with libsndfile as 16-bit WAV" % path)
    x = x[0].astype(np.float64)
    secs = len(x) / rate
    rms, peak = np.sqrt(np.mean(x ** 2)), np.abs(x).max()
    check(0.1 < secs <= max_seconds, "%s is short (%.2f s)" % (path, secs))
    check(db(rms) > -35, "%s is not silent (rms %.1f dBFS)" % (path, db(rms)))
    check(-4.5 < db(peak) < -1.5, "%s peaks near -3 dBFS (%.1f)" % (path, db(peak)))
    check(abs(x[0]) < 0.02 and abs(x[-1]) < 0.02, "%s starts and ends without a click" % path)
    return x


def band_energy(x, lo, hi):
    spectrum = np.abs(np.fft.rfft(x)) ** 2
    f = np.fft.rfftfreq(len(x), 1.0 / 44100)
    return spectrum[(f >= lo) & (f < hi)].sum() / max(spectrum.sum(), 1e-12)


def check_sounds():
    effects = {}
    for name in EFFECTS:
        effects[name] = check_wav("sounds/SoundEffects/" + name, 3.0)
    for name in VOICES:
        x = check_wav("sounds/Dialogue/" + name, 8.0)
        if x is not None:
            check(band_energy(x, 300, 3500) > 0.5, "%s sounds like speech (energy in the voice "
                                                   "band)" % name)
            # Speech comes in syllables: its loudness rises and falls many times.
            env = np.sqrt(np.convolve(x ** 2, np.ones(1323) / 1323, mode="valid")[::441])
            on = env > env.max() * 0.2
            check(np.count_nonzero(on[1:] & ~on[:-1]) >= 5, "%s has several syllables" % name)
    j0, j1 = effects.get("ninjaJump0.wav"), effects.get("ninjaJump1.wav")
    if j0 is not None and j1 is not None:
        c0, c1 = spectral_centroid(j0), spectral_centroid(j1)
        check(c1 > c0, "ninjaJump1.wav is higher than ninjaJump0.wav (%.0f Hz > %.0f Hz)"
              % (c1, c0))
    walk = effects.get("walkingOnRock.wav")
    if walk is not None:
        check(abs(walk[0] - walk[-1]) < 0.01 and np.abs(walk[:200]).max() < 0.02
              and np.abs(walk[-200:]).max() < 0.02, "walkingOnRock.wav loops without a click")
    total = 0
    for name in MUSIC:
        x = check_mp3("sounds/Music/" + name)
        full = os.path.join(ASSETS, "sounds/Music", name)
        if os.path.isfile(full):
            total += os.path.getsize(full)
    check(total < 12 * 1024 * 1024,
          "the eight music files take %.1f MB (under 12)" % (total / 2 ** 20))


def spectral_centroid(x):
    spectrum = np.abs(np.fft.rfft(x))
    f = np.fft.rfftfreq(len(x), 1.0 / 44100)
    return float((spectrum * f).sum() / max(spectrum.sum(), 1e-12))


def check_mp3(path):
    full = os.path.join(ASSETS, path)
    if not check(os.path.isfile(full), "%s exists" % path):
        return None
    try:
        x, rate, f = sf_decode(full)
    except IOError as e:
        check(False, "%s decodes with libsndfile (%s)" % (path, e))
        return None
    check((f & SF_FORMAT_TYPEMASK) == SF_FORMAT_MPEG, "%s is MPEG audio" % path)
    check(rate == 44100 and x.shape[0] == 2, "%s is stereo at 44.1 kHz (%d ch, %d Hz)"
          % (path, x.shape[0], rate))
    secs = x.shape[1] / rate
    check(30.0 <= secs <= 90.0, "%s lasts %.1f s (30 to 90)" % (path, secs))
    x = x.astype(np.float64)
    rms = np.sqrt(np.mean(x ** 2))
    check(db(rms) > -30, "%s is not silent (rms %.1f dBFS)" % (path, db(rms)))
    # No long silent stretch anywhere in the loop.
    win = rate // 2
    blocks = x[:, :x.shape[1] // win * win].reshape(2, -1, win)
    quiet = np.sqrt((blocks ** 2).mean(axis=(0, 2)))
    check(db(quiet.min()) > -45, "%s never drops out (quietest half second %.1f dBFS)"
          % (path, db(quiet.min())))
    steps = np.abs(np.diff(x, axis=1))
    seam = np.abs(x[:, 0] - x[:, -1]).max() / (np.percentile(steps, 99) + 1e-9)
    check(seam < 3.0,
          "%s loops seamlessly after decoding (seam step %.2f x typical)" % (path, seam))
    # The second around the loop point must be as loud as the music around it (no fade).
    edge = np.sqrt(np.mean(np.concatenate([x[:, -rate // 2:], x[:, :rate // 2]], axis=1) ** 2))
    check(db(edge) > db(rms) - 10, "%s does not fade at the loop point" % path)
    return x


# ------------------------------------------------------------------------------------------


def my_files():
    names = ["menu.png", "controls_screen.png", "settings_screen.png", "settings_focus.png",
             "to continue.png", "DirtParticle.png", "sugarParticle.png",
             "textFonts/HarringtonFont.png", "summary.png"]
    for folder in ("menu", "pause"):
        if os.path.isdir(os.path.join(ASSETS, folder)):
            names += [folder + "/" + f for f in sorted(os.listdir(os.path.join(ASSETS, folder)))]
    names += ["credits_label%d.png" % n for n in range(1, 7)]
    names += ["images/" + f for f in sorted(os.listdir(os.path.join(ASSETS, "images")))] \
        if os.path.isdir(os.path.join(ASSETS, "images")) else []
    names += ["sounds/SoundEffects/" + f for f in EFFECTS]
    names += ["sounds/Dialogue/" + f for f in VOICES]
    names += ["sounds/Music/" + f for f in MUSIC]
    return [n for n in names if os.path.isfile(os.path.join(ASSETS, n))]


def check_sizes(hashes):
    mine = sum(os.path.getsize(os.path.join(ASSETS, n)) for n in my_files())
    check(mine < 16 * 1024 * 1024, "pictures, font, sounds and music take %.1f MB (under 16)"
          % (mine / 2 ** 20))
    total = 0
    for root, _, files in os.walk(ASSETS):
        total += sum(os.path.getsize(os.path.join(root, f)) for f in files)
    check(total < 30 * 1024 * 1024, "all of assets/ takes %.1f MB (under 30)" % (total / 2 ** 20))
    if hashes:
        for n in my_files():
            with open(os.path.join(ASSETS, n), "rb") as f:
                print("sha256 %s  %s" % (hashlib.sha256(f.read()).hexdigest(), n))


def run(root="assets", hashes=False, quiet=False, parts=("pictures", "font", "sounds", "sizes")):
    """Runs the checks (all, or the named parts) on the asset tree at `root`; returns the
    descriptions of the passed and of the failed checks."""
    global ASSETS, QUIET
    ASSETS, QUIET = root, quiet
    del PASSES[:], FAILS[:]
    if "pictures" in parts:
        check_pictures()
    if "font" in parts:
        check_font()
    if "sounds" in parts:
        check_sounds()
    if "sizes" in parts:
        check_sizes(hashes)
    return list(PASSES), list(FAILS)


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--hashes", action="store_true", help="print a SHA-256 of every file")
    ap.add_argument("--root", default="assets", help="asset tree to check (default assets)")
    args = ap.parse_args()
    passed, failed = run(args.root, args.hashes)
    print("%d passed, %d failed" % (len(passed), len(failed)))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
