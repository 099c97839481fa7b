#!/usr/bin/python3
"""Synthesises the game's sound effects and the grasshopper's two spoken lines.

Run from the repository root: /usr/bin/python3 tools/assets/gen_sfx.py
Writes 16-bit PCM mono WAV files at 44.1 kHz under assets/sounds/SoundEffects/ and
assets/sounds/Dialogue/, every one peak-normalised to -3 dBFS so that effects sit at comparable
levels. Effects are built from noise bursts, filtered noise, pitch sweeps and envelopes; the
voices are spoken by eSpeak NG, pitched up by SoX and given an insect buzz here. Each effect has
its own seed, so the files never change between runs.
"""

import math
import os
import subprocess
import sys
import tempfile

import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import synth as Y  # noqa: E402

SFX_DIR = os.path.join("assets", "sounds", "SoundEffects")
VOICE_DIR = os.path.join("assets", "sounds", "Dialogue")
PEAK_DBFS = -3.0


def place(buf, sig, at):
    """Mixes `sig` into `buf` starting at `at` seconds (clipped to the buffer). The last few
    milliseconds of `sig` are faded out so that a part cut short never clicks."""
    i = Y.samples(at) if at > 0 else 0
    sig = Y.fade_ends(sig, 0.0, min(0.004, len(sig) / Y.SR / 4))
    if i >= len(buf):
        return
    n = min(len(sig), len(buf) - i)
    buf[i:i + n] += sig[:n]


def overlay(*sigs):
    """Sum of signals of different lengths, all starting together."""
    out = np.zeros(max(len(x) for x in sigs))
    for x in sigs:
        out[:len(x)] += x
    return out


def click(rng, length=0.003, centre=4000.0, q=3.0):
    """A tiny filtered noise impulse."""
    n = Y.samples(length) + 64
    x = Y.noise(n, rng) * np.hanning(n)
    return Y.bandpass(x, centre, q)


def ping(freq, decay, n):
    return Y.sine(freq, n) * Y.exp_env(n, decay, attack=0.0005)


def thump(f_start, f_end, decay, length):
    n = Y.samples(length)
    t = Y.seconds(n)
    f = f_end + (f_start - f_end) * np.exp(-t / (decay * 0.5))
    return Y.sine(f, n) * Y.exp_env(n, decay, attack=0.001)


# ------------------------------------------------------------------------------------------


def ant_death():
    """A short squeal sliding down, over a crunch of the ant's shell."""
    rng = np.random.default_rng(2101)
    buf = np.zeros(Y.samples(0.85))
    # Crunch: a thinning shower of shell cracks and a body thump.
    t = 0.0
    while t < 0.28:
        c = click(rng, rng.uniform(0.001, 0.004), rng.uniform(1800, 5000), 2.0)
        place(buf, c * rng.uniform(0.3, 1.0) * (1 - t / 0.3), t)
        t += rng.exponential(0.004 + t * 0.05)
    place(buf, thump(160, 70, 0.06, 0.2) * 0.8, 0.0)
    # Squeal: FM chirp falling from 1.9 kHz to 500 Hz with a nervous vibrato.
    n = Y.samples(0.62)
    tt = Y.seconds(n)
    f = 500 + 1400 * np.exp(-tt / 0.22)
    f = f * (1 + 0.05 * np.sin(2 * math.pi * 28 * tt))
    env = Y.adsr(n, 0.015, 0.2, 0.6, 0.3)
    squeal = Y.fm(f, 1.5, 1.8, n, index_env=np.exp(-tt / 0.3)) * env
    place(buf, squeal * 0.55, 0.03)
    return buf


def hit_fast():
    """A fast, punchy hit: a knock with a dull body and a short slap of noise."""
    rng = np.random.default_rng(2102)
    buf = np.zeros(Y.samples(0.26))
    place(buf, thump(220, 60, 0.035, 0.2), 0.0)
    n = Y.samples(0.05)
    slap = Y.lowpass(Y.noise(n, rng), 3500) * Y.exp_env(n, 0.012, attack=0.0005)
    place(buf, slap * 1.4, 0.0)
    place(buf, click(rng, 0.002, 6000, 1.5) * 0.6, 0.0)
    return Y.soft_clip(buf * 1.5, 1.5)


def player_swing():
    """A blade cutting the air: a swept band of noise that swells and fades, with a faint ring."""
    rng = np.random.default_rng(2103)
    n = Y.samples(0.48)
    t = Y.seconds(n)
    peak = 0.19
    centre = 500 + 2300 * np.exp(-((t - peak) / 0.09) ** 2)
    x = Y.swept(Y.noise(n, rng), centre, kind="bp", q=2.5, steps=10)
    env = np.where(t < peak, np.exp(-((t - peak) / 0.08) ** 2), np.exp(-((t - peak) / 0.14) ** 2))
    whoosh = x * env
    ring = sum(Y.sine(f, n) * a for f, a in ((3150, 1.0), (4720, 0.6), (6210, 0.35)))
    ring_env = np.clip((t - 0.12) / 0.05, 0, 1) * np.exp(-np.maximum(t - 0.17, 0) / 0.09)
    return whoosh / max(np.abs(whoosh).max(), 1e-9) + ring * ring_env * 0.06


def dying_ninja():
    """A falling cry: a voice-like tone sliding down from a shout to a groan, ending in a thud."""
    rng = np.random.default_rng(2104)
    n = Y.samples(1.45)
    t = Y.seconds(n)
    f = 150 + 420 * np.exp(-np.maximum(t - 0.12, 0) / 0.45)
    f = f * (1 + (0.015 + 0.03 * t) * np.sin(2 * math.pi * 6.0 * t))
    f = f * (1 + 0.01 * Y.lowpass(rng.normal(size=n), 30))
    source = Y.saw(f, n) + 0.15 * Y.noise(n, rng)
    ah = Y.formants(source, [(800, 120, 1.0), (1150, 150, 0.5), (2900, 250, 0.25)])
    oh = Y.formants(source, [(500, 100, 1.0), (850, 120, 0.45), (2500, 250, 0.15)])
    morph = np.clip(t / 1.1, 0, 1)
    voice = ah * (1 - morph) + oh * morph
    env = Y.adsr(n, 0.04, 0.3, 0.75, 0.5, gate=0.85)
    buf = np.zeros(Y.samples(1.65))
    place(buf, voice * env / max(np.abs(voice).max(), 1e-9), 0.0)
    place(buf, thump(120, 50, 0.09, 0.3) * 0.6, 1.3)
    m = Y.samples(0.08)
    place(buf, Y.lowpass(Y.noise(m, rng), 700) * Y.exp_env(m, 0.025) * 0.5, 1.3)
    return buf


def shiny_ping():
    """A bright two-note bell ping."""
    buf = np.zeros(Y.samples(1.0))
    ratios = [(1.0, 0.55, 1.0), (2.76, 0.25, 0.5), (5.40, 0.12, 0.25), (8.93, 0.06, 0.12)]
    for at, f0, level in ((0.0, Y.hz("G6"), 0.8), (0.085, Y.hz("C7"), 1.0)):
        n = Y.samples(0.9)
        bell = sum(ping(f0 * r, d, n) * a for r, d, a in ratios)
        place(buf, bell * level, at)
    return buf


def checkpoint_chime():
    """A checkpoint lighting up: a soft breath of rising shimmer, then three warm bell notes going
    up (a major arpeggio) that ring on together."""
    rng = np.random.default_rng(2301)
    buf = np.zeros(Y.samples(1.6))
    n = Y.samples(0.5)
    swell = Y.bandpass(Y.noise(n, rng), 3200.0, 1.5) * np.linspace(0.0, 1.0, n) ** 2
    place(buf, 0.25 * swell, 0.0)
    ratios = [(1.0, 0.9, 1.0), (2.0, 0.45, 0.35), (3.01, 0.25, 0.15)]
    for at, note, level in ((0.38, "E5", 0.7), (0.5, "G#5", 0.8), (0.62, "B5", 1.0)):
        f0 = Y.hz(note)
        m = Y.samples(0.95)
        bell = sum(ping(f0 * r, d, m) * a for r, d, a in ratios)
        place(buf, bell * level, at)
    return buf


def secret_found():
    """A secret place found: a quick sparkle of high pings running up two octaves, then a low and a
    high bell together, brighter and shorter than the checkpoint's chime."""
    rng = np.random.default_rng(2302)
    buf = np.zeros(Y.samples(1.3))
    for i, note in enumerate(("C6", "E6", "G6", "C7", "E7", "G7")):
        m = Y.samples(0.35)
        place(buf, ping(Y.hz(note), 0.12, m) * (0.35 + 0.08 * i) * rng.uniform(0.9, 1.0), 0.045 * i)
    ratios = [(1.0, 0.8, 1.0), (2.0, 0.4, 0.3), (3.01, 0.2, 0.12)]
    for note, level in (("C5", 0.55), ("C6", 0.7)):
        m = Y.samples(0.9)
        place(buf, sum(ping(Y.hz(note) * r, d, m) * a for r, d, a in ratios) * level, 0.3)
    return buf


def web_rip():
    """Silk tearing: an accelerating crackle of snapping threads over a stretched hiss."""
    rng = np.random.default_rng(2106)
    length = 0.72
    buf = np.zeros(Y.samples(length))
    t = 0.02
    while t < 0.6:
        # Density rises to the tear in the middle, then thins out.
        dens = 0.25 + 0.75 * math.exp(-((t - 0.32) / 0.15) ** 2)
        c = click(rng, rng.uniform(0.0007, 0.002), rng.uniform(1500, 7000), 1.5)
        place(buf, c * rng.uniform(0.2, 1.0) * dens, t)
        t += rng.exponential(0.0035 / dens)
    n = Y.samples(0.6)
    tt = Y.seconds(n)
    hiss = Y.swept(Y.noise(n, rng), 900 + 2600 * tt / 0.6, kind="bp", q=4.0)
    place(buf, hiss * np.exp(-((tt - 0.3) / 0.18) ** 2) * 0.4, 0.02)
    place(buf, click(rng, 0.004, 3000, 1.0) * 1.5, 0.6)
    # Squash the crackle so its body is as loud as the other effects, not only its peaks.
    return Y.soft_clip(buf / max(np.abs(buf).max(), 1e-9) * 3.0, 1.0)


def ant_bite():
    """Two quick mandible clacks and a crunch."""
    rng = np.random.default_rng(2107)
    buf = np.zeros(Y.samples(0.32))
    for at, f in ((0.0, 3200), (0.055, 3600)):
        n = Y.samples(0.04)
        place(buf, overlay(click(rng, 0.003, 5000, 2.0) * 0.8, ping(f, 0.012, n) * 0.5), at)
    n = Y.samples(0.16)
    grain = Y.held_noise(n, 2500, rng) * Y.lowpass(Y.noise(n, rng), 2000)
    crunch = Y.lowpass(grain, 2500) * Y.adsr(n, 0.005, 0.05, 0.4, 0.06)
    place(buf, crunch * 1.3, 0.09)
    place(buf, thump(140, 80, 0.04, 0.1) * 0.5, 0.09)
    return buf


def footstep(rng, level, pitch):
    """One step on rock: heel and toe taps with a little gravel."""
    buf = np.zeros(Y.samples(0.3))
    for at, lvl in ((0.0, 1.0), (0.028, 0.6)):
        n = Y.samples(0.07)
        tap = Y.lowpass(Y.noise(n, rng), 1800 * pitch) * Y.exp_env(n, 0.018, attack=0.0008)
        place(buf, tap * lvl, at)
        place(buf, thump(140 * pitch, 70 * pitch, 0.03, 0.08) * 0.5 * lvl, at)
    for _ in range(8):
        at = rng.uniform(0.01, 0.12)
        place(buf, click(rng, 0.0015, rng.uniform(2500, 6000), 2.0) * rng.uniform(0.1, 0.35), at)
    return buf * level


def walking_on_rock():
    """Two footsteps, 0.42 s apart, in a 0.84 s loop that starts and ends in silence."""
    rng = np.random.default_rng(2108)
    buf = np.zeros(Y.samples(0.84))
    place(buf, footstep(rng, 1.0, 1.0), 0.01)
    place(buf, footstep(rng, 0.85, 0.92), 0.43)
    return buf


def jump(base, top, sweep_to, sparkle):
    rng = np.random.default_rng(2109 + int(base))
    length = 0.38
    buf = np.zeros(Y.samples(length))
    n = Y.samples(0.16)
    t = Y.seconds(n)
    f = base + (top - base) * np.clip(t / 0.08, 0, 1)
    voice = Y.formants(Y.saw(f, n), [(650, 120, 1.0), (1250, 150, 0.5), (2600, 250, 0.2)])
    voice *= Y.adsr(n, 0.01, 0.05, 0.5, 0.06)
    place(buf, voice / max(np.abs(voice).max(), 1e-9) * 0.8, 0.0)
    m = Y.samples(0.3)
    tt = Y.seconds(m)
    air = Y.swept(Y.noise(m, rng), 500 + (sweep_to - 500) * tt / 0.3, kind="bp", q=2.0)
    air *= np.sin(math.pi * np.clip(tt / 0.3, 0, 1)) ** 2
    place(buf, air / max(np.abs(air).max(), 1e-9) * 0.45, 0.01)
    if sparkle:
        k = Y.samples(0.25)
        tk = Y.seconds(k)
        chime = Y.sine(Y.hz("A6") * (1 + 0.5 * np.clip(tk / 0.06, 0, 1)), k) * Y.exp_env(k, 0.08)
        place(buf, chime * 0.25, 0.06)
    return buf


def ninja_land():
    """A soft landing thud with a puff of dirt."""
    rng = np.random.default_rng(2111)
    buf = np.zeros(Y.samples(0.36))
    place(buf, thump(100, 45, 0.07, 0.3), 0.0)
    n = Y.samples(0.12)
    place(buf, Y.lowpass(Y.noise(n, rng), 600) * Y.exp_env(n, 0.035) * 0.9, 0.0)
    for _ in range(10):
        place(buf, click(rng, 0.001, rng.uniform(2000, 5000), 2.0) * rng.uniform(0.05, 0.2),
              rng.uniform(0.005, 0.12))
    return buf


def ant_chittering():
    """Ant chatter: bursts of rapid clicks with a faint buzzing trill, rising and falling."""
    rng = np.random.default_rng(2112)
    buf = np.zeros(Y.samples(1.05))
    bursts = [(0.02, 0.24, 42, 4200), (0.33, 0.18, 55, 5200), (0.58, 0.34, 38, 3800)]
    for start, dur, rate, centre in bursts:
        t = 0.0
        while t < dur:
            shape = math.sin(math.pi * t / dur)
            n = Y.samples(0.02)
            c = overlay(click(rng, 0.0015, centre * rng.uniform(0.9, 1.15), 4.0) * 0.7,
                        ping(centre * 0.75 * rng.uniform(0.95, 1.05), 0.004, n) * 0.4)
            place(buf, c * shape * rng.uniform(0.5, 1.0), start + t)
            t += 1.0 / rate * rng.uniform(0.8, 1.2)
        n = Y.samples(dur)
        tt = Y.seconds(n)
        trill = Y.square(centre * 0.5 * (1 + 0.03 * np.sin(2 * math.pi * 30 * tt)), n, 0.3)
        trill = Y.bandpass(trill, centre * 0.5, 3.0) * np.sin(math.pi * tt / dur) ** 2
        place(buf, trill * 0.12, start)
    return buf


def shatter():
    """Glass breaking: a sharp crack, then a shower of tinkling shards that thins out."""
    rng = np.random.default_rng(2113)
    buf = np.zeros(Y.samples(1.25))
    n = Y.samples(0.03)
    crack = Y.highpass(Y.noise(n, rng), 800) * Y.exp_env(n, 0.008, attack=0.0003)
    place(buf, crack * 1.2, 0.0)
    place(buf, thump(180, 90, 0.04, 0.12) * 0.4, 0.0)
    for _ in range(70):
        at = min(1.0, rng.exponential(0.16))
        m = Y.samples(0.3)
        f0 = rng.uniform(2500, 8500)
        shard = sum(ping(f0 * r, rng.uniform(0.02, 0.12), m) * a
                    for r, a in ((1.0, 1.0), (1.63, 0.5), (2.41, 0.3)))
        place(buf, shard * rng.uniform(0.1, 0.5) * math.exp(-at / 0.5), at + 0.005)
    for _ in range(25):
        at = rng.uniform(0.0, 0.5)
        place(buf, click(rng, rng.uniform(0.001, 0.004), rng.uniform(3000, 9000), 1.2) *
              rng.uniform(0.2, 0.6) * math.exp(-at / 0.25), at)
    return Y.highpass(buf, 300)


def wing_buzz(f, n, rng, beat=28.0):
    """An insect's wing drone at the (per-sample) pitch f: a bright saw through a nasal formant,
    pulsing with the wing beats."""
    t = Y.seconds(n)
    drone = Y.saw(f, n) + 0.4 * Y.square(f * 2.0, n, 0.3)
    drone = Y.formants(drone, [(float(np.mean(f)) * 2.2, 180, 1.0), (2400, 400, 0.4)])
    drone *= 0.75 + 0.25 * np.sin(2 * math.pi * beat * t)
    drone += 0.05 * Y.bandpass(Y.noise(n, rng), 3000, 1.0)
    return drone / max(np.abs(drone).max(), 1e-9)


def wasp_buzz():
    """A wasp passing by: its drone swells and fades while its pitch bends up and back down."""
    rng = np.random.default_rng(2114)
    n = Y.samples(1.1)
    t = Y.seconds(n)
    f = 210 + 35 * np.sin(math.pi * t / 1.1) + 6 * np.sin(2 * math.pi * 7.0 * t)
    env = np.sin(math.pi * np.clip(t / 1.1, 0, 1)) ** 1.5
    return wing_buzz(f, n, rng) * env


def wasp_death():
    """A wasp struck down: the drone stutters and sags in pitch, then a tiny dry tap."""
    rng = np.random.default_rng(2115)
    buf = np.zeros(Y.samples(0.95))
    n = Y.samples(0.75)
    t = Y.seconds(n)
    f = 240 * np.exp(-t / 0.5) + 70
    stutter = (Y.held_noise(n, 22, rng) > -0.3).astype(np.float64)
    stutter = Y.lowpass(stutter, 120)
    env = np.exp(-t / 0.35) * stutter
    place(buf, wing_buzz(f, n, rng, beat=18.0) * env, 0.0)
    place(buf, click(rng, 0.003, 2200, 2.0) * 0.7, 0.0)
    place(buf, thump(300, 150, 0.02, 0.06) * 0.4, 0.78)
    place(buf, click(rng, 0.002, 3500, 2.0) * 0.5, 0.78)
    return buf


def spider_drop():
    """Silk paying out fast: a falling zip of filtered noise with a thin whistle."""
    rng = np.random.default_rng(2116)
    n = Y.samples(0.5)
    t = Y.seconds(n)
    centre = 5200 * np.exp(-t / 0.25) + 700
    zip_ = Y.swept(Y.noise(n, rng), centre, kind="bp", q=5.0, steps=12)
    ratchet = 0.6 + 0.4 * (np.sin(2 * math.pi * (90 - 60 * t) * t) > 0)
    whistle = Y.sine(centre * 0.5, n) * 0.08
    env = np.clip(t / 0.02, 0, 1) * np.exp(-t / 0.22)
    x = (zip_ / max(np.abs(zip_).max(), 1e-9) * ratchet + whistle) * env
    return x


def thread_snap():
    """A taut thread giving way: a sharp tick, a short high twang dying fast, a soft whip."""
    rng = np.random.default_rng(2117)
    buf = np.zeros(Y.samples(0.45))
    place(buf, click(rng, 0.002, 6500, 1.5) * 1.2, 0.0)
    n = Y.samples(0.35)
    twang = Y.karplus(1320.0, n, rng, brightness=0.8, decay=0.985)
    place(buf, twang * 0.7, 0.002)
    m = Y.samples(0.18)
    tm = Y.seconds(m)
    whip = Y.swept(Y.noise(m, rng), 3000 - 2200 * tm / 0.18, kind="bp", q=3.0)
    place(buf, whip * np.sin(math.pi * tm / 0.18) ** 2 * 0.35, 0.02)
    return buf


def leaf_rustle():
    """A broad leaf taking a weight: a soft whoosh under a crinkle of dry crackles."""
    rng = np.random.default_rng(2118)
    buf = np.zeros(Y.samples(0.55))
    n = Y.samples(0.45)
    t = Y.seconds(n)
    whoosh = Y.lowpass(Y.noise(n, rng), 900) * np.exp(-((t - 0.08) / 0.09) ** 2)
    place(buf, whoosh * 0.8, 0.0)
    at = 0.0
    while at < 0.4:
        c = click(rng, rng.uniform(0.002, 0.006), rng.uniform(2500, 6500), 1.2)
        place(buf, c * rng.uniform(0.2, 0.8) * math.exp(-at / 0.15), at)
        at += rng.exponential(0.012 + at * 0.03)
    place(buf, thump(90, 55, 0.05, 0.15) * 0.35, 0.0)
    return buf


# ------------------------------------------------------------------------------------------
# Voices


VOICE_LINES = {
    "jumpUpgradeVoice.wav": "Double jump! Press jump again, while you are in the air.",
    "swordUpgradeVoice.wav": "A sword! Now your punches strike twice as hard.",
}


def speak(text, seed):
    """eSpeak NG speaks the line; SoX raises its pitch; a light buzz makes it a grasshopper."""
    with tempfile.TemporaryDirectory() as tmp:
        raw = os.path.join(tmp, "raw.wav")
        high = os.path.join(tmp, "high.wav")
        subprocess.run(["espeak-ng", "-v", "en-us+f4", "-s", "150", "-p", "70", "-a", "150",
                        "-w", raw, text], check=True)
        # -R: repeatable; -D: no dither, so the output is the same on every run.
        subprocess.run(["sox", "-R", "-D", raw, "-r", "44100", "-b", "16", "-c", "1", high,
                        "gain", "-6", "pitch", "450", "tempo", "1.08", "highpass", "120",
                        "rate", "44100"],
                       check=True)
        x, rate = Y.read_wav(high)
    assert rate == Y.SR
    rng = np.random.default_rng(seed)
    t = Y.seconds(len(x))
    # Insect buzz: a little ring modulation and a chirpy tremolo.
    buzz = x * (0.8 + 0.2 * np.sin(2 * math.pi * 95 * t))
    buzz = buzz * (0.9 + 0.1 * np.sin(2 * math.pi * 11 * t))
    # A small room around the speaker.
    ir = Y.reverb_ir(0.35, rng, damping=0.6, predelay=0.008)[0]
    wet = np.convolve(buzz, ir)[:len(buzz) + Y.samples(0.3)]
    out = np.concatenate([buzz, np.zeros(Y.samples(0.3))]) + 0.12 * wet
    return out


EFFECTS = {
    "antDeath.wav": ant_death,
    "hitFast.wav": hit_fast,
    "playerSwing.wav": player_swing,
    "dyingNinja.wav": dying_ninja,
    "shinyPing.wav": shiny_ping,
    "webRip.wav": web_rip,
    "antBite.wav": ant_bite,
    "walkingOnRock.wav": walking_on_rock,
    "ninjaJump0.wav": lambda: jump(260, 340, 1800, False),
    "ninjaJump1.wav": lambda: jump(380, 540, 3600, True),
    "ninjaLand0.wav": ninja_land,
    "antChittering.wav": ant_chittering,
    "shatter.wav": shatter,
    "waspBuzz.wav": wasp_buzz,
    "waspDeath.wav": wasp_death,
    "spiderDrop.wav": spider_drop,
    "threadSnap.wav": thread_snap,
    "leafRustle.wav": leaf_rustle,
    "checkpoint.wav": checkpoint_chime,
    "secretFound.wav": secret_found,
}


def finish(x, loop=False):
    """Removes DC, fades the ends (not for loops, which are built silent at both ends) and
    normalises the peak."""
    x = x - np.mean(x)
    if not loop:
        x = Y.fade_ends(x, 0.0005, 0.02)
    return Y.normalise_peak(x, PEAK_DBFS)


def main():
    os.makedirs(SFX_DIR, exist_ok=True)
    os.makedirs(VOICE_DIR, exist_ok=True)
    for name, make in EFFECTS.items():
        x = finish(make(), loop=(name == "walkingOnRock.wav"))
        Y.write_wav(os.path.join(SFX_DIR, name), x)
        print("%-22s %.2f s" % (name, len(x) / Y.SR))
    for k, (name, text) in enumerate(VOICE_LINES.items()):
        x = finish(speak(text, 2200 + k))
        Y.write_wav(os.path.join(VOICE_DIR, name), x)
        print("%-22s %.2f s" % (name, len(x) / Y.SR))


if __name__ == "__main__":
    main()
