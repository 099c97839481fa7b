#!/usr/bin/python3
"""Shows that check_media.py catches real faults: each case copies the asset tree (links for
untouched files), spoils one file the way a broken generator would, and expects the matching
check to fail while the untouched tree passes.

Run from the repository root: /usr/bin/python3 tools/assets/test_check_media.py
"""

import os
import shutil
import subprocess
import sys
import tempfile
import unittest
import wave

import numpy as np
from PIL import Image

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import check_media  # noqa: E402

SOURCE = "assets"


class SpoiltTree:
    """A temporary copy of assets/ whose files are symbolic links until one is replaced."""

    def __enter__(self):
        self.dir = tempfile.mkdtemp(prefix="mossfang_assets_")
        for root, _, files in os.walk(SOURCE):
            rel = os.path.relpath(root, SOURCE)
            os.makedirs(os.path.join(self.dir, rel), exist_ok=True)
            for f in files:
                os.symlink(os.path.abspath(os.path.join(root, f)), os.path.join(self.dir, rel, f))
        return self

    def __exit__(self, *exc):
        shutil.rmtree(self.dir)

    def path(self, rel):
        """Replaces the link by nothing and returns the path to write the spoilt file to."""
        p = os.path.join(self.dir, rel)
        if os.path.lexists(p):
            os.remove(p)
        return p

    def image(self, rel):
        return np.asarray(Image.open(os.path.join(SOURCE, rel))).copy()

    def save_image(self, rel, arr):
        Image.fromarray(arr).save(self.path(rel))

    def wav(self, rel):
        with wave.open(os.path.join(SOURCE, rel), "rb") as w:
            return np.frombuffer(w.readframes(w.getnframes()), "<i2").astype(np.float64) / 32768

    def save_wav(self, rel, x, rate=44100):
        with wave.open(self.path(rel), "wb") as w:
            w.setnchannels(1)
            w.setsampwidth(2)
            w.setframerate(rate)
            w.writeframes(np.clip(np.round(x * 32767), -32768, 32767).astype("<i2").tobytes())


def failures(tree, parts):
    _, failed = check_media.run(tree.dir, quiet=True, parts=parts)
    return failed


class CheckMediaCatchesFaults(unittest.TestCase):

    def assertFails(self, failed, fragment):
        self.assertTrue(any(fragment in f for f in failed),
                        "no failed check mentions %r; failed: %s" % (fragment, failed))

    def test_untouched_tree_passes(self):
        passed, failed = check_media.run(SOURCE, quiet=True)
        self.assertEqual(failed, [])
        self.assertGreater(len(passed), 200)

    def test_pictures(self):
        with SpoiltTree() as t:
            start = t.image("menu/start.png")
            # The Start plaque drawn 12 pixels right of its click rectangle.
            start[:, 12:] = start[:, :-12].copy()
            start[:, :12] = 0
            t.save_image("menu/start.png", start)
            bar = t.image("images/HealthBar.png")
            bar[:, -24:, :3] //= 3  # a dark end cap that would squash badly
            t.save_image("images/HealthBar.png", bar)
            hud = t.image("images/Game HUD.png")
            hud[122:142, 25:105, 3] = 0  # the egg count would float over the game
            t.save_image("images/Game HUD.png", hud)
            page = t.image("credits_label3.png")
            page[200:260, 500:700] = 255  # something bright where the models stand
            t.save_image("credits_label3.png", page)
            x = np.linspace(0, 1, 256)
            smooth = np.stack(np.meshgrid(x, x) + [np.full((256, 256), 0.5)], axis=-1)
            Image.fromarray((smooth * 255).astype(np.uint8)).save(
                t.path("images/noise_norm.jpg"), format="JPEG")
            t.path("sugarParticle.png")  # gone
            with open(os.path.join(SOURCE, "DirtParticle.png"), "rb") as f:
                head = f.read()[:200]
            with open(t.path("DirtParticle.png"), "wb") as f:
                f.write(head)  # cut short
            failed = failures(t, ("pictures",))
        self.assertFails(failed, "menu/start.png: the plaque fills its click rectangle")
        self.assertFalse(any("menu/quit.png: the plaque" in f for f in failed))
        self.assertFails(failed, "HealthBar.png has no end caps")
        self.assertFails(failed, "eggs number area")
        self.assertFails(failed, "credits_label3.png keeps the right side free")
        self.assertFails(failed, "noise_norm.jpg is uncorrelated")
        self.assertFails(failed, "sugarParticle.png exists")
        self.assertFails(failed, "DirtParticle.png decodes")

    def test_font(self):
        with SpoiltTree() as t:
            atlas = t.image("textFonts/HarringtonFont.png")
            a_cell = (ord("A") // 16 * 32, ord("A") % 16 * 32)
            atlas[a_cell[0]:a_cell[0] + 32, a_cell[1]:a_cell[1] + 32, 3] = 0
            x_cell = (ord("x") // 16 * 32, ord("x") % 16 * 32)
            cell = atlas[x_cell[0]:x_cell[0] + 32, x_cell[1]:x_cell[1] + 32].copy()
            atlas[x_cell[0]:x_cell[0] + 32, x_cell[1]:x_cell[1] + 32] = np.roll(cell, 3, axis=0)
            t.save_image("textFonts/HarringtonFont.png", atlas)
            failed = failures(t, ("font",))
        self.assertFails(failed, "glyph for every printable ASCII code (missing A)")
        self.assertFails(failed, "letters share one baseline")

    def test_sound_effects(self):
        with SpoiltTree() as t:
            x = t.wav("sounds/SoundEffects/hitFast.wav")
            t.save_wav("sounds/SoundEffects/hitFast.wav", x[::2], rate=22050)
            t.save_wav("sounds/SoundEffects/antBite.wav",
                       t.wav("sounds/SoundEffects/antBite.wav") * 0.0005)
            walk = t.wav("sounds/SoundEffects/walkingOnRock.wav")
            walk[-1] = 0.4
            t.save_wav("sounds/SoundEffects/walkingOnRock.wav", walk)
            j0 = t.wav("sounds/SoundEffects/ninjaJump0.wav")
            t.save_wav("sounds/SoundEffects/ninjaJump0.wav",
                       t.wav("sounds/SoundEffects/ninjaJump1.wav"))
            t.save_wav("sounds/SoundEffects/ninjaJump1.wav", j0)
            rng = np.random.default_rng(1)
            hiss = rng.uniform(-1, 1, 44100 * 3) * 0.7
            t.save_wav("sounds/Dialogue/jumpUpgradeVoice.wav", hiss)
            failed = failures(t, ("sounds",))
        self.assertFails(failed, "hitFast.wav is 16-bit PCM, 44.1 kHz, mono")
        self.assertFails(failed, "antBite.wav is not silent")
        self.assertFails(failed, "walkingOnRock.wav loops without a click")
        self.assertFails(failed, "ninjaJump1.wav is higher than ninjaJump0.wav")
        self.assertFails(failed, "jumpUpgradeVoice.wav sounds like speech")

    def test_music(self):
        with SpoiltTree() as t:
            with open(os.path.join(SOURCE, "sounds/Music/Monster.mp3"), "rb") as f:
                data = f.read()
            with open(t.path("sounds/Music/Monster.mp3"), "wb") as f:
                f.write(data[:len(data) * 2 // 5])
            # A 35-second tone that stops mid-cycle: it clicks where it loops.
            n = 44100 * 35
            tone = 0.5 * np.sin(2 * np.pi * 220.37 * np.arange(n) / 44100)
            tone = np.stack([tone, tone]).T
            wav = os.path.join(t.dir, "seam.wav")
            with wave.open(wav, "wb") as w:
                w.setnchannels(2)
                w.setsampwidth(2)
                w.setframerate(44100)
                w.writeframes(np.round(tone * 32767).astype("<i2").tobytes())
            subprocess.run(["lame", "--silent", "-b", "112", wav,
                            t.path("sounds/Music/Chill Dark.mp3")], check=True)
            failed = failures(t, ("sounds",))
        self.assertFails(failed, "Monster.mp3 lasts")
        self.assertFails(failed, "Chill Dark.mp3 loops seamlessly after decoding")
        self.assertFalse(any("Bit Bit Loop.mp3" in f for f in failed))


if __name__ == "__main__":
    unittest.main(verbosity=2)
