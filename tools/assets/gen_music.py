#!/usr/bin/python3
"""Composes and renders the game's eight music loops with a small numpy sequencer.

Run from the repository root: /usr/bin/python3 tools/assets/gen_music.py [--only NAME ...]
        [--wav-dir DIR]
Writes MP3 files (stereo, 44.1 kHz, 112 kbit/s, encoded by LAME) under assets/sounds/Music/.

How a loop is made seamless: a song is a whole number of bars long (L samples). Notes are rendered
into buffers longer than L; whatever rings past L (note releases) is folded back onto the start.
Reverb and echo are applied afterwards as circular operations over exactly L samples, so their
tails wrap around as well. The last sample of the loop therefore flows into the first one as if
the music had been playing forever.
"""

import argparse
import math
import os
import subprocess
import sys
import tempfile

import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import synth as Y  # noqa: E402

MUSIC_DIR = os.path.join("assets", "sounds", "Music")
BITRATE = 112

CHORDS = {
    "": [0, 4, 7], "m": [0, 3, 7], "7": [0, 4, 7, 10], "m7": [0, 3, 7, 10],
    "maj7": [0, 4, 7, 11], "m9": [0, 3, 7, 10, 14], "maj9": [0, 4, 7, 11, 14],
    "add9": [0, 4, 7, 14], "madd9": [0, 3, 7, 14], "sus2": [0, 2, 7], "sus4": [0, 5, 7],
    "7sus4": [0, 5, 7, 10], "5": [0, 7, 12], "dim": [0, 3, 6], "6": [0, 4, 7, 9],
    "m6": [0, 3, 7, 9], "maj7#11": [0, 4, 7, 11, 18], "13": [0, 4, 10, 14, 21],
    "7b9": [0, 4, 7, 10, 13], "m11": [0, 3, 7, 10, 14, 17], "quartal": [0, 5, 10, 15],
}


def chord(name, octave=3):
    """MIDI notes of a chord such as "Dm7" or "F#maj7" with its root in the given octave."""
    root = name[0]
    i = 1
    if len(name) > 1 and name[1] in "#b":
        root += name[1]
        i = 2
    base = Y.midi(root + str(octave))
    return [base + k for k in CHORDS[name[i:]]]


def phrase(text, step=0.5, octave_shift=0):
    """Parses a melody: tokens are note names, "." (rest) or "-" (hold the previous note one
    more step); "|" marks bar lines and is ignored. Returns [(start beat, length in beats,
    midi)]."""
    out = []
    pos = 0.0
    for tok in text.replace("|", " ").split():
        if tok == "-":
            if out:
                s, d, m = out[-1]
                out[-1] = (s, d + step, m)
        elif tok != ".":
            out.append((pos, step, Y.midi(tok) + 12 * octave_shift))
        pos += step
    return out


# ------------------------------------------------------------------------------------------
# Instruments: each returns a stereo array (2, n) for one note.


def _stereo(x, pos=0.0):
    return Y.pan(x, pos)


def pad(freqs, dur, rng, cutoff=1400.0, attack=0.8, release=1.6, voices=3, detune=0.12,
        bright=0.0, lfo=0.15):
    """Warm detuned saw pad; the chord's notes are spread across the stereo field."""
    n = Y.samples(dur + release)
    t = Y.seconds(n)
    out = np.zeros((2, n))
    for k, f in enumerate(freqs):
        for ch in range(2):
            s = np.zeros(n)
            for v in range(voices):
                cents = detune * 100 * (v - (voices - 1) / 2) / max(voices - 1, 1)
                cents += rng.uniform(-4, 4)
                s += Y.saw(f * 2 ** (cents / 1200), n, start=rng.random())
            out[ch] += s / voices
    cut = cutoff * (1 + 0.35 * np.sin(2 * math.pi * lfo * t + rng.uniform(0, 6.28))) * \
        (1 + bright * np.exp(-t / 1.5))
    out = Y.swept(out, cut, "lp", order=2, steps=6)
    env = Y.adsr(n, attack, 1.0, 0.85, release, gate=dur)
    return out * env / max(len(freqs), 1) ** 0.5


def choir(freqs, dur, rng, attack=0.6, release=1.4, vowel="a"):
    """A soft "aah" choir: vibrato saws through vowel formants."""
    peaks = {"a": [(800, 140, 1.0), (1150, 160, 0.5), (2900, 300, 0.2)],
             "o": [(450, 100, 1.0), (800, 130, 0.4), (2830, 300, 0.1)]}[vowel]
    n = Y.samples(dur + release)
    t = Y.seconds(n)
    out = np.zeros((2, n))
    for f in freqs:
        for ch in range(2):
            for v in range(3):
                rate, start = rng.uniform(4.5, 5.5), rng.uniform(0, 6)
                vib = 1 + 0.006 * np.sin(2 * math.pi * rate * t + start)
                out[ch] += Y.saw(f * vib * 2 ** (rng.uniform(-8, 8) / 1200), n, start=rng.random())
    out = Y.formants(out, peaks) * 0.6 + Y.lowpass(out, 900) * 0.2
    env = Y.adsr(n, attack, 1.0, 0.9, release, gate=dur)
    return out * env / (3 * max(len(freqs), 1) ** 0.5)


def epiano(f, dur, vel=0.8, release=0.6, tremolo=4.5):
    """An electric piano: FM with a decaying index, a little tine, stereo tremolo."""
    n = Y.samples(dur + release)
    t = Y.seconds(n)
    idx = np.exp(-t / 0.6) * (0.8 + 1.4 * vel)
    x = Y.fm(f, 1.0, 1.0, n, index_env=idx)
    x += 0.15 * vel * Y.fm(f, 14.0, 1.0, n, index_env=np.exp(-t / 0.04))
    env = Y.adsr(n, 0.003, 1.6, 0.35, release, gate=dur) * vel
    x *= env
    trem = 0.5 + 0.5 * np.sin(2 * math.pi * tremolo * t)
    return np.stack([x * (0.6 + 0.4 * trem), x * (0.6 + 0.4 * (1 - trem))])


def vibes(f, dur, vel=0.8, pos=0.0):
    """Vibraphone: a bar's inharmonic partials with the motor's tremolo."""
    n = Y.samples(max(dur, 1.2) + 0.8)
    t = Y.seconds(n)
    x = Y.sine(f, n) + 0.25 * Y.sine(f * 4.0, n) * np.exp(-t / 0.15) + \
        0.08 * Y.sine(f * 10.0, n) * np.exp(-t / 0.05)
    env = Y.exp_env(n, 1.4, attack=0.002) * vel
    x *= env * (0.75 + 0.25 * np.sin(2 * math.pi * 5.5 * t))
    return _stereo(x, pos)


def bell(f, vel=0.8, decay=1.6, pos=0.0, ratio=3.5, index=2.0):
    """A glassy FM bell."""
    n = Y.samples(decay * 3)
    t = Y.seconds(n)
    x = Y.fm(f, ratio, index, n, index_env=np.exp(-t / (decay * 0.3)))
    x *= Y.exp_env(n, decay, attack=0.001) * vel
    return _stereo(x, pos)


def pluck(f, vel, rng, pos=0.0, brightness=0.7, decay=0.996, length=2.5):
    """A plucked string (koto, harp, guitar-like)."""
    n = Y.samples(length)
    x = Y.karplus(f, n, rng, brightness, decay) * vel
    return _stereo(Y.fade_ends(x, 0.001, 0.05), pos)


def flute(f, dur, vel, rng, pos=0.0, bend=True):
    """A breathy bamboo flute: sine and a little octave, breath noise, delayed vibrato."""
    n = Y.samples(dur + 0.25)
    t = Y.seconds(n)
    fr = np.full(n, f)
    if bend:
        fr = f * 2 ** ((-0.8 * np.exp(-t / 0.06)) / 12)
    vib = 1 + 0.007 * np.sin(2 * math.pi * 5.2 * t) * np.clip((t - 0.3) / 0.4, 0, 1)
    tone = Y.sine(fr * vib, n) + 0.2 * Y.sine(2 * fr * vib, n) + 0.05 * Y.sine(3 * fr * vib, n)
    breath = Y.bandpass(Y.noise(n, rng), f * 2, 2.0) * 0.5
    env = Y.adsr(n, 0.09, 0.4, 0.8, 0.25, gate=dur)
    chiff = np.exp(-t / 0.05)
    x = (tone * (1 - 0.3 * chiff) + breath * (0.3 + chiff)) * env * vel
    return _stereo(x, pos)


def saw_bass(f, dur, vel=0.9, cutoff=(1800, 250), decay=0.15, resonance=0.8, drive=1.5,
             sub=0.5):
    """A synth bass: saw with a resonant lowpass that closes after the attack, plus a sine sub."""
    n = Y.samples(dur + 0.05)
    t = Y.seconds(n)
    x = Y.saw(f, n) + sub * Y.sine(f / 2 if f > 60 else f, n) * 0
    cut = cutoff[1] + (cutoff[0] - cutoff[1]) * np.exp(-t / decay)
    x = Y.swept(x, cut, "lp", order=2, resonance=resonance, steps=6)
    x += sub * Y.sine(f, n)
    env = Y.adsr(n, 0.004, 0.2, 0.8, 0.05, gate=dur)
    x = Y.soft_clip(x * env * vel, drive)
    return _stereo(x, 0.0)


def sub_bass(f, dur, vel=0.9):
    n = Y.samples(dur + 0.08)
    x = Y.sine(f, n) + 0.15 * Y.sine(2 * f, n)
    x *= Y.adsr(n, 0.01, 0.3, 0.85, 0.08, gate=dur) * vel
    return _stereo(x, 0.0)


def upright(f, dur, vel, rng):
    """A plucked upright bass: a dark string with a thumpy sine body."""
    n = Y.samples(dur + 0.3)
    t = Y.seconds(n)
    s = Y.karplus(f, n, rng, brightness=0.2, decay=0.999)
    body = Y.sine(f, n) * np.exp(-t / 0.5)
    x = Y.lowpass(s * 0.7 + body, 900) * Y.adsr(n, 0.005, 0.6, 0.5, 0.15, gate=dur) * vel
    return _stereo(x, 0.0)


def brass_stab(freqs, dur, vel, rng, cutoff=2500):
    """A dark, distorted brass stab."""
    n = Y.samples(dur + 0.3)
    t = Y.seconds(n)
    x = np.zeros((2, n))
    for f in freqs:
        for ch in range(2):
            x[ch] += Y.saw(f * 2 ** (rng.uniform(-10, 10) / 1200), n, start=rng.random())
    cut = 300 + cutoff * np.clip(t / 0.05, 0, 1) * np.exp(-t / 0.4)
    x = Y.swept(x, cut, "lp", order=2, resonance=0.5, steps=6)
    x *= Y.adsr(n, 0.02, 0.3, 0.6, 0.25, gate=dur)
    return Y.soft_clip(x / len(freqs) * vel * 2.0, 2.0) * 0.5


def organ(f, dur, vel, pos=0.0):
    """A low, hollow organ for ominous melodies."""
    n = Y.samples(dur + 0.4)
    t = Y.seconds(n)
    x = Y.sine(f, n) + 0.5 * Y.sine(2 * f, n) + 0.3 * Y.sine(3 * f, n) + 0.15 * Y.sine(4 * f, n)
    x *= 1 + 0.1 * np.sin(2 * math.pi * 6 * t)
    x *= Y.adsr(n, 0.05, 0.5, 0.85, 0.35, gate=dur) * vel / 2.0
    return _stereo(x, pos)


def chip_square(f, dur, vel, duty=0.5, vibrato=0.0, pos=0.0, slide_from=None):
    """A chiptune pulse voice with stepped volume like an old sound chip."""
    n = Y.samples(dur)
    t = Y.seconds(n)
    fr = np.full(n, f)
    if slide_from is not None:
        fr = f + (slide_from - f) * np.exp(-t / 0.03)
    if vibrato:
        fr = fr * (1 + vibrato * np.sin(2 * math.pi * 6 * t) * np.clip((t - 0.15) / 0.1, 0, 1))
    x = Y.square(fr, n, duty)
    env = Y.adsr(n, 0.003, 0.15, 0.65, 0.03, gate=max(dur - 0.03, 0.01))
    env = np.round(env * 15) / 15
    return _stereo(x * env * vel, pos)


def chip_triangle(f, dur, vel):
    n = Y.samples(dur)
    tri = Y.triangle(f, n)
    tri = np.round(tri * 7.5) / 7.5
    env = np.ones(n)
    env[-Y.samples(0.005):] = np.linspace(1, 0, Y.samples(0.005))
    return _stereo(Y.lowpass(tri, 6000) * env * vel, 0.0)


def chip_noise(dur, vel, rate, rng, decay):
    n = Y.samples(dur)
    x = Y.held_noise(n, rate, rng) * Y.exp_env(n, decay, attack=0.0005)
    return _stereo(np.round(x * vel * 15) / 15, 0.0)


# Drums ------------------------------------------------------------------------------------


def kick(vel=1.0, tone=52.0, punch=160.0, decay=0.35, click_amt=0.3, rng=None):
    n = Y.samples(decay * 1.6)
    t = Y.seconds(n)
    f = tone + (punch - tone) * np.exp(-t / 0.03)
    x = Y.sine(f, n) * Y.exp_env(n, decay * 0.5, attack=0.001)
    if rng is not None and click_amt:
        m = Y.samples(0.006)
        c = np.zeros(n)
        c[:m] = Y.highpass(Y.noise(m, rng), 1500) * np.hanning(m * 2)[m:]
        x += c * click_amt
    return _stereo(Y.soft_clip(x * vel * 1.2, 1.2), 0.0)


def snare(vel, rng, tone=190.0, decay=0.18, bright=5000.0, pos=0.0):
    n = Y.samples(decay * 2.5)
    t = Y.seconds(n)
    body = Y.sine(tone * (1 + 0.5 * np.exp(-t / 0.01)), n) * Y.exp_env(n, 0.06)
    rattle = Y.bandpass(Y.noise(n, rng), bright, 0.9) * Y.exp_env(n, decay * 0.6)
    return _stereo((body * 0.6 + rattle) * vel, pos)


def clap(vel, rng, pos=0.0):
    n = Y.samples(0.35)
    t = Y.seconds(n)
    env = np.zeros(n)
    for k, at in enumerate((0.0, 0.011, 0.022)):
        env += (t >= at) * np.exp(-np.maximum(t - at, 0) / 0.006) * (0.8 if k < 2 else 1.0)
    env += (t >= 0.03) * np.exp(-np.maximum(t - 0.03, 0) / 0.09) * 0.6
    x = Y.bandpass(Y.noise(n, rng), 1400, 1.3) * env
    return _stereo(x * vel, pos)


def hat(vel, rng, open_=False, pos=0.2, tone=9000.0):
    n = Y.samples(0.45 if open_ else 0.08)
    x = Y.highpass(Y.noise(n, rng), tone, order=3)
    x *= Y.exp_env(n, 0.16 if open_ else 0.018, attack=0.0005)
    return _stereo(x * vel, pos)


def shaker(vel, rng, pos=-0.2):
    n = Y.samples(0.09)
    t = Y.seconds(n)
    x = Y.bandpass(Y.noise(n, rng), 6500, 1.5) * np.sin(math.pi * t / (n / Y.SR)) ** 2
    return _stereo(x * vel, pos)


def taiko(vel, rng, tone=65.0, pos=0.0):
    """A big low drum: a pitched body with a skin slap."""
    n = Y.samples(1.2)
    t = Y.seconds(n)
    body = Y.sine(tone * (1 + 0.6 * np.exp(-t / 0.05)), n) * Y.exp_env(n, 0.35)
    body += 0.4 * Y.sine(tone * 1.58, n) * Y.exp_env(n, 0.15)
    slap = Y.lowpass(Y.noise(n, rng), 1200) * Y.exp_env(n, 0.03)
    return _stereo(Y.soft_clip((body + 0.5 * slap) * vel, 1.3), pos)


def woodblock(vel, f=900.0, pos=0.3):
    n = Y.samples(0.12)
    x = Y.sine(f, n) * Y.exp_env(n, 0.02) + 0.3 * Y.sine(f * 2.7, n) * Y.exp_env(n, 0.01)
    return _stereo(x * vel, pos)


def swell(dur, vel, rng, lo=300.0, hi=6000.0):
    """A rising swoosh of filtered noise leading into a downbeat."""
    n = Y.samples(dur)
    t = Y.seconds(n)
    x = Y.noise(n, rng)
    x = np.stack([x, np.roll(x, 300)])
    x = Y.swept(x, lo * (hi / lo) ** (t / (n / Y.SR)), "bp", q=2.0, steps=8)
    return x * (t / (n / Y.SR)) ** 2 * vel


# ------------------------------------------------------------------------------------------
# Sequencer


class Song:
    """A loop of `bars` bars. Buses: "dry", "verb" (reverb send), "echo" (delay send)."""

    def __init__(self, bpm, bars, seed, beats_per_bar=4, swing=0.0, tail=10.0):
        self.bpm = bpm
        self.beats = bars * beats_per_bar
        self.beats_per_bar = beats_per_bar
        self.length = Y.samples(self.beats * 60.0 / bpm)
        self.swing = swing
        self.rng = np.random.default_rng(seed)
        total = self.length + Y.samples(tail)
        self.bus = {k: np.zeros((2, total)) for k in ("dry", "verb", "echo")}

    def sec(self, beat):
        """Seconds of a beat position, with swing pushing every second sixteenth late."""
        frac = (beat * 4) % 2
        if self.swing and abs(frac - 1) < 1e-6:
            beat += self.swing * 0.25
        return beat * 60.0 / self.bpm

    def dur(self, beats):
        return beats * 60.0 / self.bpm

    def add(self, sig, beat, gain=1.0, verb=0.0, echo=0.0):
        """Mixes a stereo note in at a beat position (wrapping round the loop)."""
        beat = beat % self.beats
        i = Y.samples(self.sec(beat)) % self.length
        sig = Y.fade_ends(sig, 0.0, min(0.01, sig.shape[-1] / Y.SR / 4)) * gain
        total = self.bus["dry"].shape[-1]
        n = min(sig.shape[-1], total - i)
        self.bus["dry"][:, i:i + n] += sig[:, :n]
        if verb:
            self.bus["verb"][:, i:i + n] += sig[:, :n] * verb
        if echo:
            self.bus["echo"][:, i:i + n] += sig[:, :n] * echo

    def fold(self, x):
        """Adds everything that rang past the loop's end onto its beginning."""
        L = self.length
        out = x[:, :L].copy()
        pos = L
        while pos < x.shape[-1]:
            seg = x[:, pos:pos + L]
            out[:, :seg.shape[-1]] += seg
            pos += L
        return out

    def render(self, reverb_s=2.2, damping=0.5, echo_beats=0.75, feedback=0.4, verb_gain=1.0,
               echo_tone=3000.0):
        dry = self.fold(self.bus["dry"])
        verb_in = self.fold(self.bus["verb"])
        echo_in = self.fold(self.bus["echo"])
        ir = Y.reverb_ir(reverb_s, self.rng, damping)
        mix = dry
        if np.any(echo_in):
            echo = Y.circular_delay(echo_in, self.dur(echo_beats), feedback, tone=echo_tone)
            mix = mix + echo
            verb_in = verb_in + echo * 0.3
        if np.any(verb_in):
            mix = mix + Y.circular_convolve(verb_in, ir) * verb_gain
        return master(mix)


def master(x, target_rms_db=-17.0):
    """Removes DC and rumble, evens loudness across songs and rounds off peaks."""
    x = Y.highpass(x - x.mean(axis=1, keepdims=True), 28, order=2, circular=True)
    rms = np.sqrt(np.mean(x ** 2))
    x = x * (10 ** (target_rms_db / 20) / max(rms, 1e-9))
    knee, room = 0.7, 0.25
    a = np.abs(x)
    over = a > knee
    a[over] = knee + room * np.tanh((a[over] - knee) / room)
    return np.sign(x) * a


# ------------------------------------------------------------------------------------------
# The songs


def monster():
    """Dark and heavy, for the menu: taiko drums, a distorted low riff, a choir and an organ."""
    s = Song(bpm=84, bars=16, seed=3101)
    r = s.rng
    prog = ["Dm", "Dm", "Bb", "A", "Dm", "Dm", "Eb", "A",
            "Gm", "Gm", "Bb", "A", "Dm", "Eb", "C", "A"]
    for bar, ch in enumerate(prog):
        b0 = bar * 4
        root = chord(ch, 1)[0]
        # Drone bass under the riff.
        s.add(saw_bass(Y.hz(root), s.dur(4), 0.6, cutoff=(500, 180), decay=1.0, resonance=0.3,
                       drive=2.0, sub=0.8), b0, 0.55)
        # Riff in eighths (rests make it lurch).
        riff = [0, 0, None, 0, 3, None, 1, 0] if bar % 2 == 0 else [0, 0, None, 0, 7, 6, 5, 3]
        for k, step in enumerate(riff):
            if step is None:
                continue
            f = Y.hz(root + 12 + step)
            s.add(saw_bass(f, s.dur(0.4), 0.9, cutoff=(2200, 300), decay=0.08, resonance=1.0,
                           drive=3.0, sub=0.3), b0 + k * 0.5, 0.35, verb=0.08)
        # Taiko: heavy on 1 and 3, a pickup on the "and" of 2, fills every fourth bar.
        s.add(taiko(1.0, r, 58), b0, 0.9, verb=0.25)
        s.add(taiko(0.7, r, 70, -0.3), b0 + 1.5, 0.7, verb=0.25)
        s.add(taiko(0.95, r, 62, 0.2), b0 + 2, 0.85, verb=0.25)
        if bar % 4 == 3:
            for k, at in enumerate((3.0, 3.25, 3.5, 3.75)):
                s.add(taiko(0.5 + 0.12 * k, r, 90 - 6 * k, (-0.5, 0.5)[k % 2]), b0 + at, 0.6,
                      verb=0.3)
        s.add(snare(0.5, r, tone=150, decay=0.3, bright=2500), b0 + 3, 0.5, verb=0.4)
        s.add(hat(0.25, r, open_=False, tone=7000), b0 + 0.5, 0.5)
        s.add(hat(0.25, r, open_=False, tone=7000), b0 + 2.5, 0.5)
        # Choir from bar 5.
        if bar >= 4:
            s.add(choir([Y.hz(m) for m in chord(ch, 3)], s.dur(4), r, vowel="a"), b0, 0.55,
                  verb=0.6)
        # Low brass stabs on the chord changes.
        if bar % 2 == 0:
            s.add(brass_stab([Y.hz(m) for m in chord(ch, 2)], s.dur(0.8), 0.9, r), b0, 0.4,
                  verb=0.3)
    # Ominous organ melody in the second half, answering itself.
    mel = ("D4 - F4 E4 | D4 - C4 A3 | Bb3 - C4 D4 | E4 - - - | "
           "F4 - G4 F4 | Eb4 - D4 C4 | E4 - G4 E4 | C#4 - - -")
    for b, d, m in phrase(mel, 1.0):
        s.add(organ(Y.hz(m), s.dur(d * 0.95), 0.7, -0.15), 32 + b, 0.5, verb=0.5)
    return s.render(reverb_s=3.0, damping=0.55)


def bit_bit_loop():
    """Cheerful chiptune for the credits: two pulse voices, a triangle bass, noise drums."""
    s = Song(bpm=150, bars=32, seed=3201)
    r = s.rng
    prog = ["C", "Am", "F", "G"] * 2 + ["F", "G", "Em", "Am", "Dm", "G", "C", "G"]
    prog = prog * 2
    melA = ("E5 . G5 . C6 - B5 A5 | G5 - E5 - C5 . D5 E5 | "
            "F5 . A5 . C6 - A5 F5 | G5 - - - D5 - B4 - | "
            "E5 . G5 . C6 - D6 E6 | D6 - C6 - A5 . G5 A5 | "
            "F5 . E5 . D5 - C5 D5 | B4 - G4 - B4 - D5 - ")
    melB = ("A5 - G5 F5 G5 - C5 - | B4 - D5 - G5 - F5 E5 | "
            "E5 - D5 C5 D5 - E5 - | C5 - E5 - A5 - G5 F5 | "
            "F5 - A5 - D6 - C6 A5 | B5 - G5 - D5 - G5 - | "
            "C6 - B5 - G5 - E5 - | D5 - - - G5 F5 E5 D5 ")
    mel = phrase(melA, 0.5) + [(32 + b, d, m) for b, d, m in phrase(melB, 0.5)]
    mel += [(64 + b, d, m) for b, d, m in phrase(melA, 0.5)]
    mel += [(96 + b, d, m + (12 if 16 <= b < 24 else 0)) for b, d, m in phrase(melB, 0.5)]
    for b, d, m in mel:
        s.add(chip_square(Y.hz(m), s.dur(d) * 0.92, 0.5, duty=0.25, vibrato=0.006, pos=-0.15), b,
              0.55, echo=0.15)
    for bar, ch in enumerate(prog):
        b0 = bar * 4
        notes = chord(ch, 4)
        # Arpeggio: sixteenths up and down the chord on the second pulse voice.
        seq = notes + [notes[0] + 12] + notes[::-1][1:]
        for k in range(16):
            m = seq[k % len(seq)]
            s.add(chip_square(Y.hz(m), s.dur(0.24), 0.22, duty=0.125, pos=0.25), b0 + k * 0.25,
                  0.45)
        root = chord(ch, 2)[0]
        for k, (off, oc) in enumerate(((0, 0), (1, 12), (1.5, 0), (2, 12), (3, 0), (3.5, 7))):
            s.add(chip_triangle(Y.hz(root + oc), s.dur(0.45), 0.9), b0 + off, 0.6)
        for beat in range(4):
            if beat in (0, 2):
                kf = np.stack([Y.sine(150 * np.exp(-Y.seconds(Y.samples(0.12)) / 0.03) + 50,
                                      Y.samples(0.12))] * 2)
                s.add(kf * Y.exp_env(Y.samples(0.12), 0.06), b0 + beat, 0.7)
            else:
                s.add(chip_noise(0.15, 0.8, 9000, r, 0.06), b0 + beat, 0.35)
            s.add(chip_noise(0.05, 0.6, 20000, r, 0.012), b0 + beat + 0.5, 0.22)
        if bar % 8 == 7:
            for k in range(4):
                s.add(chip_noise(0.1, 0.8, 7000 + 2000 * k, r, 0.04), b0 + 3 + k * 0.25, 0.3)
    return s.render(reverb_s=0.8, damping=0.3, echo_beats=0.75, feedback=0.3, verb_gain=0.3)


def ambient_b():
    """Eastern Thought: a drone, koto plucks and a bamboo flute in the hirajoshi scale on D."""
    s = Song(bpm=66, bars=14, seed=3301)
    r = s.rng
    scale = [Y.midi(n) for n in ("D3", "E3", "F3", "A3", "Bb3", "D4", "E4", "F4", "A4", "Bb4",
                                 "D5", "E5", "F5")]
    # Drone: D and A, always sounding, with slow breathing.
    for bar in range(0, 14, 2):
        s.add(pad([Y.hz("D2"), Y.hz("A2")], s.dur(8), r, cutoff=600, attack=2.0, release=3.0,
                  voices=3, detune=0.08, lfo=0.07), bar * 4, 0.5, verb=0.3)
    # Koto: a repeating figure that shifts every two bars.
    figures = [[5, 7, 8, 7, 5, 3, 4, 3], [5, 8, 9, 10, 9, 8, 7, 8], [3, 4, 5, 7, 8, 7, 5, 4],
               [5, 7, 10, 9, 8, 7, 5, 3]]
    rhythm = [0, 1, 1.5, 2, 3, 4, 5, 5.5]
    for seg in range(7):
        fig = figures[seg % 4]
        for k, at in enumerate(rhythm):
            m = scale[fig[k]]
            vel = 0.7 if k == 0 else 0.45 + 0.2 * r.random()
            s.add(pluck(Y.hz(m), vel, r, pos=0.3 * math.sin(k), brightness=0.85, decay=0.997,
                        length=2.0), seg * 8 + at, 0.6, verb=0.35, echo=0.12)
    # Flute phrases answer the koto.
    flute_line = ("A4 - - - Bb4 A4 F4 - | E4 - - - - - . . | D4 - F4 - A4 - - Bb4 | "
                  "A4 - - - - - . . |"
                  "D5 - - - E5 D5 Bb4 - | A4 - - - F4 - . . | E4 - F4 - D4 - - - | - - - - . . . .")
    for b, d, m in phrase(flute_line, 0.5):
        s.add(flute(Y.hz(m), s.dur(d), 0.5, r, pos=-0.2), 8 + b, 0.5, verb=0.5, echo=0.1)
    for b, d, m in phrase(flute_line, 0.5):
        if b < 16:
            s.add(flute(Y.hz(m + 12), s.dur(d), 0.35, r, pos=0.2), 40 + b, 0.4, verb=0.6)
    # Wooden knocks and chimes.
    for bar in range(14):
        s.add(woodblock(0.4, 700, -0.4), bar * 4 + 3.5, 0.4, verb=0.3)
        if bar % 2 == 1:
            for k in range(3):
                m = scale[8 + int(r.integers(0, 5))] + 12
                s.add(bell(Y.hz(m), 0.25, 2.5, pos=r.uniform(-0.7, 0.7), ratio=2.0, index=0.6),
                      bar * 4 + r.uniform(0, 3.5), 0.4, verb=0.7)
        if bar % 4 == 0:
            s.add(taiko(0.35, r, 80, 0.0), bar * 4, 0.5, verb=0.4)
    return s.render(reverb_s=3.2, damping=0.45, echo_beats=1.5, feedback=0.35)


def ambient_g():
    """Glowing: warm Lydian pads, a bell arpeggio shimmering through a ping-pong echo."""
    s = Song(bpm=60, bars=12, seed=3401)
    r = s.rng
    prog = ["Fmaj7#11", "Cmaj9", "Dm9", "Bbmaj7", "Fmaj7#11", "Am7", "Gm9", "Cadd9",
            "Fmaj7#11", "Cmaj9", "Bbmaj7", "C7sus4"]
    for bar, ch in enumerate(prog):
        b0 = bar * 4
        notes = chord(ch, 3)
        s.add(pad([Y.hz(m) for m in notes], s.dur(4), r, cutoff=1600, attack=1.2, release=2.0,
                  voices=3, detune=0.1, bright=0.4), b0, 0.55, verb=0.5)
        s.add(pad([Y.hz(notes[0] + 24), Y.hz(notes[2] + 24)], s.dur(4), r, cutoff=4000, attack=2.0,
                  release=2.5, voices=2, detune=0.05), b0, 0.12, verb=1.0)
        s.add(sub_bass(Y.hz(notes[0] - 12), s.dur(3.8), 0.6), b0, 0.35)
        # Bell arpeggio in eighths, climbing through the chord.
        arp = [notes[i % len(notes)] + 24 + (12 if i >= len(notes) else 0) for i in range(8)]
        for k, m in enumerate(arp):
            s.add(bell(Y.hz(m), 0.35 + 0.15 * (k == 0), 1.8, pos=(-0.5, 0.5)[k % 2], ratio=3.0,
                       index=0.8), b0 + k * 0.5, 0.3, verb=0.4, echo=0.35)
    # A soft glowing melody in the second half.
    mel = ("C6 - - A5 | G5 - E5 - | F5 - - - | D5 - - - | "
           "C6 - - D6 | E6 - - - | D6 - C6 - | G5 - - -")
    for b, d, m in phrase(mel, 1.0):
        s.add(epiano(Y.hz(m - 12), s.dur(d), 0.5, release=1.2), 16 + b, 0.45, verb=0.6, echo=0.2)
    return s.render(reverb_s=3.5, damping=0.4, echo_beats=0.75, feedback=0.45)


def ambient_h():
    """Spaced Out: wide suspended pads, drifting bleeps in long echoes, a resonant sequence."""
    s = Song(bpm=72, bars=16, seed=3501)
    r = s.rng
    prog = ["Esus2", "Cmaj7#11", "Asus4", "Gmaj7", "Esus2", "Dadd9", "Cmaj7#11", "Bsus4"]
    for k, ch in enumerate(prog):
        b0 = k * 8
        notes = chord(ch, 3)
        s.add(pad([Y.hz(m) for m in notes], s.dur(8), r, cutoff=1100, attack=2.5, release=3.5,
                  voices=4, detune=0.2, lfo=0.05), b0, 0.6, verb=0.7)
        s.add(sub_bass(Y.hz(notes[0] - 24), s.dur(7.5), 0.5), b0, 0.55)
        # Resonant saw sequence swelling in and out over the chord.
        for step in range(32):
            m = notes[(step * 3) % len(notes)] + 12 * (1 + (step % 5 == 0))
            n = Y.samples(s.dur(0.25) + 0.05)
            t = Y.seconds(n)
            sw = 0.5 + 0.5 * math.sin(math.pi * step / 32)
            x = Y.saw(Y.hz(m), n)
            x = Y.swept(x, 400 + 2200 * sw * np.exp(-t / 0.06), "lp", resonance=1.6, steps=5)
            x *= Y.adsr(n, 0.003, 0.08, 0.3, 0.05, gate=s.dur(0.2))
            s.add(_stereo(x, math.sin(step * 0.7) * 0.6), b0 + step * 0.25, 0.12 * sw + 0.02,
                  echo=0.3)
        # Bleeps: a few sine blips from the scale, far away in the echo.
        for _ in range(5):
            m = notes[int(r.integers(0, len(notes)))] + 24 + 12 * int(r.integers(0, 2))
            n = Y.samples(0.2)
            x = Y.sine(Y.hz(m), n) * Y.exp_env(n, 0.05)
            s.add(_stereo(x, r.uniform(-0.8, 0.8)), b0 + float(r.integers(0, 32)) / 4, 0.3,
                  echo=0.7, verb=0.3)
        s.add(swell(s.dur(2), 0.4, r), b0 + 6, 0.25, verb=0.6)
    return s.render(reverb_s=4.5, damping=0.35, echo_beats=1.5, feedback=0.55, echo_tone=2500)


def ambient_n():
    """Vibe Train: vibraphone chords on a chugging shaker, walking upright bass, brushed drums."""
    s = Song(bpm=100, bars=20, seed=3601)
    r = s.rng
    prog = ["Gm9", "C13", "Fmaj9", "Dm9", "Gm9", "C13", "Am7", "Dm9", "Bbmaj7", "Am7",
            "Gm9", "C7sus4", "Fmaj9", "Dm9", "Gm9", "C13", "Am7", "Dm9", "Gm9", "C7sus4"]
    accents = [1.0, 0.4, 0.6, 0.4] * 4
    for bar, ch in enumerate(prog):
        b0 = bar * 4
        notes = chord(ch, 3)
        # Vibes comp: on 1 and the "and" of 2.
        for at, vel in ((0, 0.6), (1.5, 0.45)):
            for k, m in enumerate(notes[1:]):
                s.add(vibes(Y.hz(m + 12), s.dur(1.5), vel * 0.6, pos=-0.3 + 0.15 * k), b0 + at,
                      0.35, verb=0.35)
        # Walking bass: root, fifth, approach.
        root = notes[0] - 12
        nxt = chord(prog[(bar + 1) % len(prog)], 3)[0] - 12
        approach = nxt + (1 if nxt < root else -1)
        walk = [root, root + 7, root + 12 if bar % 2 else root + 10, approach]
        for k, m in enumerate(walk):
            s.add(upright(Y.hz(m), s.dur(0.9), 0.8, r), b0 + k, 0.7)
        # Train rhythm: sixteenth shaker with accents, soft kick, brushed snare.
        for k in range(16):
            s.add(shaker(0.5 * accents[k], r), b0 + k * 0.25, 0.5)
        s.add(kick(0.6, 50, 110, 0.3, 0.1, r), b0, 0.55)
        s.add(kick(0.45, 50, 110, 0.3, 0.1, r), b0 + 2.5, 0.5)
        for at in (1, 3):
            s.add(snare(0.4, r, tone=180, decay=0.25, bright=3500, pos=0.1), b0 + at, 0.35,
                  verb=0.2)
    # Melody on vibes.
    mel = ("D5 - F5 A5 G5 - F5 D5 | E5 - - C5 - - . . | E5 - A5 C6 A5 - G5 E5 | A5 - - - . . . . |"
           "D5 - F5 A5 C6 - A5 G5 | E5 - G5 - F5 - E5 C5 | D5 - - - . . . . | . . . . A4 C5 D5 F5")
    for b, d, m in phrase(mel, 0.5):
        s.add(vibes(Y.hz(m), s.dur(d), 0.7, pos=0.15), 16 + b, 0.5, verb=0.4, echo=0.15)
    for b, d, m in phrase(mel, 0.5):
        if b < 16:
            s.add(vibes(Y.hz(m + 12), s.dur(d), 0.45, pos=-0.15), 56 + b, 0.35, verb=0.5)
    return s.render(reverb_s=2.0, damping=0.5, echo_beats=0.75, feedback=0.3)


def chill_dark():
    """Chill Dark: a lazy lo-fi beat under dark minor-ninth electric piano chords."""
    s = Song(bpm=78, bars=16, seed=3701, swing=0.33)
    r = s.rng
    prog = ["Cm9", "Abmaj7", "Fm9", "G7b9"] * 4
    for bar, ch in enumerate(prog):
        b0 = bar * 4
        notes = chord(ch, 3)
        for at, d, vel in ((0, 1.4, 0.7), (1.75, 0.7, 0.5), (2.5, 1.4, 0.6)):
            for k, m in enumerate(notes[1:]):
                s.add(epiano(Y.hz(m), s.dur(d), vel, release=0.5), b0 + at + 0.01 * k, 0.28,
                      verb=0.25)
        root = notes[0] - 12
        for at, d in ((0, 1.4), (1.75, 0.6), (2.5, 1.3)):
            s.add(sub_bass(Y.hz(root), s.dur(d), 0.8), b0 + at, 0.7)
        s.add(kick(0.9, 48, 130, 0.4, 0.2, r), b0, 0.8)
        s.add(kick(0.7, 48, 130, 0.4, 0.2, r), b0 + 1.75, 0.7)
        if bar % 2 == 1:
            s.add(kick(0.6, 48, 130, 0.4, 0.2, r), b0 + 2.5, 0.6)
        for at in (1, 3):
            s.add(snare(0.8, r, tone=170, decay=0.2, bright=2800), b0 + at, 0.5, verb=0.35)
        for k in range(8):
            s.add(hat(0.5 if k % 2 == 0 else 0.3, r, pos=0.25, tone=8000), b0 + k * 0.5, 0.3)
        if bar % 4 == 3:
            s.add(hat(0.3, r, open_=True, tone=7000), b0 + 3.5, 0.3, verb=0.2)
    mel = ("G5 - Eb5 - D5 C5 - - | . . . . Bb4 C5 Eb5 - | "
           "F5 - Eb5 D5 C5 - Ab4 - | . . . . G4 - B4 - | "
           "C5 - - Eb5 G5 - F5 Eb5 | D5 - - - Eb5 - C5 - | "
           "Ab4 - C5 - F5 - Eb5 D5 | D5 - - - . . . .")
    for b, d, m in phrase(mel, 0.5):
        s.add(bell(Y.hz(m), 0.35, 1.0, pos=0.2, ratio=2.0, index=0.9), 32 + b, 0.4, verb=0.4,
              echo=0.3)
    # Vinyl dust: sparse soft crackle across the whole loop.
    n = s.length
    crackle = np.zeros(n)
    pos = r.integers(0, n, 900)
    crackle[pos] = r.uniform(-1, 1, 900)
    crackle = Y.bandpass(crackle, 3000, 0.8, circular=True)
    s.bus["dry"][:, :n] += np.stack([crackle, np.roll(crackle, 70)]) * 0.5
    return s.render(reverb_s=1.8, damping=0.6, echo_beats=0.75, feedback=0.35)


def electro_shuffle():
    """ElectroShuffle Dark: four-on-the-floor, shuffled hats, a rolling minor bass, dark stabs."""
    s = Song(bpm=122, bars=32, seed=3801, swing=0.3)
    r = s.rng
    prog = ["Am", "Am", "F", "F", "Dm", "Dm", "E", "E"] * 4
    bass_pat = [0, 0, 12, 0, None, 0, 12, 0, 0, None, 12, 0, 7, 0, 12, 10]
    for bar, ch in enumerate(prog):
        b0 = bar * 4
        notes = chord(ch, 2)
        breakdown = 24 <= bar < 28
        root = notes[0] - 12
        for k, step in enumerate(bass_pat):
            if step is None or (breakdown and k % 4):
                continue
            acc = 1.0 if k % 4 == 0 else 0.7
            s.add(saw_bass(Y.hz(root + step), s.dur(0.22), acc, cutoff=(2600 * acc, 220),
                           decay=0.05, resonance=1.3, drive=2.0, sub=0.6), b0 + k * 0.25, 0.32)
        if not breakdown:
            for beat in range(4):
                s.add(kick(1.0, 50, 170, 0.3, 0.3, r), b0 + beat, 0.75)
                s.add(hat(0.55, r, open_=True, tone=8000, pos=0.2), b0 + beat + 0.5, 0.22)
            for at in (1, 3):
                s.add(clap(0.8, r), b0 + at, 0.42, verb=0.25)
            for k in range(16):
                if k % 4 != 2:
                    s.add(hat(0.5 if k % 2 else 0.35, r, tone=10000, pos=-0.25), b0 + k * 0.25,
                          0.28)
        # Dark stabs on the off-beats, thrown into the echo.
        if bar % 2 == 0:
            for at in (0.5, 1.75, 3.0):
                s.add(brass_stab([Y.hz(m) for m in chord(ch, 4)], s.dur(0.2), 0.8, r, cutoff=3500),
                      b0 + at, 0.18, echo=0.35, verb=0.15)
        if breakdown:
            s.add(pad([Y.hz(m) for m in chord(ch, 3)], s.dur(4), r, cutoff=1200, attack=0.5,
                      release=1.0), b0, 0.4, verb=0.5)
        if bar == 27:
            s.add(swell(s.dur(4), 0.6, r, 200, 8000), b0, 0.35)
        # Lead arpeggio in the second half.
        if 16 <= bar < 24 or bar >= 28:
            arp = chord(ch, 4) + [chord(ch, 5)[0]]
            for k in range(8):
                m = arp[(k * 2) % len(arp)]
                n = Y.samples(s.dur(0.45))
                t = Y.seconds(n)
                x = Y.saw(Y.hz(m), n) + Y.saw(Y.hz(m) * 1.005, n)
                x = Y.swept(x, 500 + 3000 * np.exp(-t / 0.07), "lp", resonance=0.8, steps=5)
                x *= Y.exp_env(n, 0.15)
                s.add(_stereo(x, (-0.4, 0.4)[k % 2]), b0 + k * 0.5, 0.12, echo=0.4)
    return s.render(reverb_s=1.6, damping=0.5, echo_beats=0.75, feedback=0.4)


SONGS = {
    "Monster.mp3": monster,
    "Bit Bit Loop.mp3": bit_bit_loop,
    "Ambient B Eastern Thought.mp3": ambient_b,
    "Ambient G Glowing.mp3": ambient_g,
    "Ambient H Spaced Out.mp3": ambient_h,
    "Ambient N Vibe Train.mp3": ambient_n,
    "Chill Dark.mp3": chill_dark,
    "ElectroShuffle Dark.mp3": electro_shuffle,
}


def seam_jump(x):
    """How much larger the step from the last sample to the first is than a typical step
    between neighbouring samples (about 1 or below for a seamless loop)."""
    steps = np.abs(np.diff(x, axis=1))
    typical = np.percentile(steps, 99) + 1e-9
    return float(np.max(np.abs(x[:, 0] - x[:, -1])) / typical)


def encode(x, path, wav_dir=None):
    """Writes the loop as MP3 through a temporary WAV (kept in wav_dir when given)."""
    with tempfile.TemporaryDirectory() as tmp:
        wav = os.path.join(wav_dir or tmp, os.path.basename(path)[:-4] + ".wav")
        Y.write_wav(wav, x)
        subprocess.run(["lame", "--silent", "--noreplaygain", "-q", "2", "-b", str(BITRATE),
                        "-m", "j", "--resample", "44.1", wav, path], check=True)


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--only", nargs="*", choices=sorted(SONGS), help="render only these")
    ap.add_argument("--wav-dir", help="also keep the rendered WAV files here")
    args = ap.parse_args()
    os.makedirs(MUSIC_DIR, exist_ok=True)
    if args.wav_dir:
        os.makedirs(args.wav_dir, exist_ok=True)
    for name in args.only or list(SONGS):
        x = SONGS[name]()
        jump = seam_jump(x)
        if jump > 3.0:
            raise SystemExit("%s: the loop does not join up (seam step %.1f x typical)"
                             % (name, jump))
        encode(x, os.path.join(MUSIC_DIR, name), args.wav_dir)
        print("%-32s %5.1f s  peak %.2f  seam %.2f" % (name, x.shape[1] / Y.SR,
                                                       np.abs(x).max(), jump), flush=True)


if __name__ == "__main__":
    main()
