#!/usr/bin/python3
"""Tests of the generators' building blocks: note names, chords and melodies, seamless loop
rendering (folding, circular filters, reverb and echo), WAV writing and font cells.

Run from the repository root: /usr/bin/python3 tools/assets/test_generators.py
"""

import os
import sys
import tempfile
import unittest

import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import gen_font  # noqa: E402
import gen_music as M  # noqa: E402
import synth as Y  # noqa: E402


class Notation(unittest.TestCase):

    def test_note_names(self):
        self.assertEqual(Y.midi("C4"), 60)
        self.assertEqual(Y.midi("A4"), 69)
        self.assertEqual(Y.midi("Bb2"), 46)
        self.assertEqual(Y.midi("F#3"), 54)
        self.assertAlmostEqual(Y.hz("A4"), 440.0)
        self.assertAlmostEqual(Y.hz("A5"), 880.0)

    def test_chords(self):
        self.assertEqual(M.chord("Dm7", 3), [50, 53, 57, 60])
        self.assertEqual(M.chord("F#", 2), [42, 46, 49])
        self.assertEqual(M.chord("Bbmaj7", 3), [58, 62, 65, 69])

    def test_phrase_holds_rests_and_bar_lines(self):
        notes = M.phrase("C4 - . E4 | G4 - -", step=0.5)
        self.assertEqual(notes, [(0.0, 1.0, 60), (1.5, 0.5, 64), (2.0, 1.5, 67)])
        # A bar line glued to a note (as happens when strings are joined) is still a bar line.
        self.assertEqual(M.phrase("C4 |D4", 1.0), [(0.0, 1.0, 60), (1.0, 1.0, 62)])


class SeamlessLoops(unittest.TestCase):

    def test_note_ringing_past_the_end_lands_on_the_start(self):
        s = M.Song(bpm=60, bars=1, seed=1, tail=3.0)
        n = Y.samples(2.0)
        tone = Y.sine(440.0, n) * 0.5
        s.add(np.stack([tone, tone]), 3.0)          # starts 1 s before the loop's end
        x = s.render()
        head = x[:, :Y.samples(0.5)]
        self.assertGreater(np.abs(head).max(), 0.1, "the tail was not folded onto the start")
        self.assertEqual(x.shape[1], Y.samples(4.0))
        self.assertLess(M.seam_jump(x), 3.0)

    def test_note_cut_at_the_end_would_be_caught(self):
        n = Y.samples(4.0)
        t = Y.seconds(n)
        x = np.stack([np.sin(2 * np.pi * 3.3 * t)] * 2) * (t < 3.9)  # stops dead
        x[:, -1] = 0.8
        self.assertGreater(M.seam_jump(x), 3.0)

    def test_circular_filter_keeps_a_loop_periodic(self):
        rng = np.random.default_rng(5)
        x = rng.normal(size=44100)
        y = Y.lowpass(x, 500, circular=True)
        # Filtering the loop repeated twice must give the same loop twice over.
        y2 = Y.lowpass(np.concatenate([x, x]), 500, circular=True)
        np.testing.assert_allclose(y2[:44100], y, atol=1e-9)
        np.testing.assert_allclose(y2[44100:], y, atol=1e-9)

    def test_circular_convolution_is_the_wrapped_linear_one(self):
        rng = np.random.default_rng(6)
        x = rng.normal(size=(2, 5000))
        ir = rng.normal(size=(2, 1200))
        lin = np.stack([np.convolve(x[c], ir[c]) for c in range(2)])
        wrapped = lin[:, :5000].copy()
        wrapped[:, :lin.shape[1] - 5000] += lin[:, 5000:]
        np.testing.assert_allclose(Y.circular_convolve(x, ir), wrapped, atol=1e-8)

    def test_echo_wraps_round_the_loop(self):
        x = np.zeros((2, 10000))
        x[:, 9000] = 1.0
        y = Y.circular_delay(x, Y.samples(2000 / Y.SR) / Y.SR, 0.5, repeats=1, pingpong=False)
        # The first repeat of an impulse near the end comes back 2000 samples later, wrapped.
        self.assertEqual(int(np.argmax(np.abs(y[0]))), (9000 + 2000) % 10000)

    def test_master_evens_loudness(self):
        rng = np.random.default_rng(7)
        quiet = rng.normal(size=(2, 44100)) * 0.01
        loud = rng.normal(size=(2, 44100)) * 0.3
        rq, rl = (np.sqrt(np.mean(M.master(v) ** 2)) for v in (quiet, loud))
        self.assertAlmostEqual(20 * np.log10(rq), 20 * np.log10(rl), delta=1.0)
        self.assertLessEqual(np.abs(M.master(loud * 10)).max(), 0.951)


class Output(unittest.TestCase):

    def test_wav_round_trip(self):
        x = Y.sine(1000.0, 4410) * 0.5
        with tempfile.TemporaryDirectory() as d:
            p = os.path.join(d, "t.wav")
            Y.write_wav(p, x)
            back, rate = Y.read_wav(p)
        self.assertEqual(rate, 44100)
        np.testing.assert_allclose(back, x, atol=1.0 / 32768 + 1e-9)

    def test_normalise_peak(self):
        x = Y.normalise_peak(np.array([0.1, -0.2, 0.05]), -6.0)
        self.assertAlmostEqual(np.abs(x).max(), 10 ** (-6 / 20))

    def test_font_cells_keep_margin_and_baseline(self):
        size, baseline = gen_font.choose_size()
        cells = {ch: gen_font.render_glyph(ch, size, baseline) for ch in "AHxgW|"}
        for ch, c in cells.items():
            self.assertEqual(c.shape, (32, 32))
            self.assertGreater(int(c.sum()), 0, ch)
            ring = np.concatenate([c[:2].ravel(), c[-2:].ravel(), c[:, :2].ravel(),
                                   c[:, -2:].ravel()])
            self.assertLessEqual(int(ring.max()), 12, "%r reaches into its margin" % ch)
        bottom = {ch: np.nonzero(cells[ch].max(axis=1) > 128)[0][-1] for ch in "AHx"}
        self.assertEqual(len(set(bottom.values())), 1, bottom)
        self.assertGreater(np.nonzero(cells["g"].max(axis=1) > 128)[0][-1], bottom["x"])
        self.assertEqual(int(gen_font.render_glyph(" ", size, baseline).sum()), 0)


if __name__ == "__main__":
    unittest.main(verbosity=2)
