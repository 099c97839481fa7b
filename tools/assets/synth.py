"""Sound synthesis kit shared by the sound-effect and music generators.

Signals are float64 numpy arrays at 44.1 kHz (mono: shape (n,), stereo: shape (2, n)).
Filters work in the frequency domain (zero phase), which needs no per-sample Python loop;
a filter whose cutoff moves over time is made by cross-fading between a handful of copies
filtered at fixed cutoffs. Everything random takes a numpy Generator from the caller.
"""

import math
import wave

import numpy as np

SR = 44100

NOTE_INDEX = {"C": 0, "D": 2, "E": 4, "F": 5, "G": 7, "A": 9, "B": 11}


def midi(name):
    """MIDI number of a note name such as "C4", "F#3" or "Bb2" (C4 = 60)."""
    name = name.strip()
    pitch = NOTE_INDEX[name[0].upper()]
    i = 1
    while i < len(name) and name[i] in "#b":
        pitch += 1 if name[i] == "#" else -1
        i += 1
    octave = int(name[i:])
    return 12 * (octave + 1) + pitch


def hz(note):
    """Frequency of a MIDI number or a note name."""
    if isinstance(note, str):
        note = midi(note)
    return 440.0 * 2.0 ** ((note - 69) / 12.0)


def seconds(n):
    return np.arange(n, dtype=np.float64) / SR


def samples(sec):
    return max(1, int(round(sec * SR)))


# ------------------------------------------------------------------------------------------
# Envelopes


def adsr(n, attack, decay, sustain, release, gate=None):
    """Attack-decay-sustain-release envelope of n samples; the release starts at `gate` seconds
    (default: so that it ends with the buffer)."""
    t = seconds(n)
    if gate is None:
        gate = max(0.0, n / SR - release)
    a = np.clip(t / max(attack, 1e-5), 0, 1)
    d = sustain + (1 - sustain) * np.exp(-np.maximum(t - attack, 0) / max(decay, 1e-5))
    env = np.where(t < attack, a, d)
    level_at_gate = np.interp(gate, t, env) if n > 1 else 1.0
    rel = level_at_gate * np.exp(-np.maximum(t - gate, 0) / max(release / 4.0, 1e-5))
    return np.where(t < gate, env, rel)


def exp_env(n, tau, attack=0.002):
    """Fast rise, exponential fall with time constant tau."""
    t = seconds(n)
    return np.clip(t / max(attack, 1e-5), 0, 1) * np.exp(-t / tau)


def fade_ends(x, fade_in=0.002, fade_out=0.01):
    """Short fades so a sound starts and ends at exactly zero (no clicks)."""
    n = x.shape[-1]
    fi, fo = min(n, samples(fade_in)), min(n, samples(fade_out))
    g = np.ones(n)
    g[:fi] = np.linspace(0, 1, fi)
    g[n - fo:] = np.minimum(g[n - fo:], np.linspace(1, 0, fo))
    return x * g


# ------------------------------------------------------------------------------------------
# Oscillators (frequency may be a scalar or a per-sample array)


def phase(freq, n, start=0.0):
    f = np.broadcast_to(np.asarray(freq, np.float64), (n,))
    return start + np.cumsum(f) / SR - f[0] / SR


def sine(freq, n, start=0.0):
    return np.sin(2 * math.pi * phase(freq, n, start))


def _polyblep(t, dt):
    """Polynomial correction around the jump of a phase in [0, 1) advancing by dt per sample."""
    dt = np.maximum(dt, 1e-9)
    out = np.zeros_like(t)
    a = t < dt
    x = t[a] / dt[a]
    out[a] = x + x - x * x - 1.0
    b = t > 1.0 - dt
    x = (t[b] - 1.0) / dt[b]
    out[b] = x * x + x + x + 1.0
    return out


def saw(freq, n, start=0.0):
    """Band-limited sawtooth in -1..1."""
    f = np.broadcast_to(np.asarray(freq, np.float64), (n,))
    p = phase(f, n, start) % 1.0
    return 2.0 * p - 1.0 - _polyblep(p, f / SR)


def square(freq, n, duty=0.5, start=0.0):
    """Band-limited pulse wave in -1..1 with the given duty cycle."""
    f = np.broadcast_to(np.asarray(freq, np.float64), (n,))
    p = phase(f, n, start) % 1.0
    dt = f / SR
    s = np.where(p < duty, 1.0, -1.0)
    s += _polyblep(p, dt)
    s -= _polyblep((p - duty) % 1.0, dt)
    return s


def triangle(freq, n, start=0.0):
    p = phase(freq, n, start) % 1.0
    return 4.0 * np.abs(p - 0.5) - 1.0


def noise(n, rng):
    return rng.uniform(-1.0, 1.0, n)


def held_noise(n, rate, rng):
    """Sample-and-hold noise: a new random level `rate` times a second (pitched, gritty)."""
    hold = max(1, int(SR / max(rate, 1)))
    levels = rng.choice([-1.0, 1.0], size=n // hold + 2)
    return np.repeat(levels, hold)[:n]


def fm(carrier, ratio, index, n, index_env=None, feedback=0.0):
    """Two-operator FM: a sine carrier phase-modulated by a sine at carrier * ratio."""
    idx = index if index_env is None else index * index_env
    mod = sine(np.asarray(carrier) * ratio, n)
    if feedback:
        mod = np.sin(2 * math.pi * phase(np.asarray(carrier) * ratio, n) + feedback * mod)
    return np.sin(2 * math.pi * phase(carrier, n) + idx * mod)


def karplus(freq, n, rng, brightness=0.5, decay=0.996):
    """Plucked string (Karplus-Strong), computed one period at a time with numpy."""
    period = max(2, int(round(SR / freq)))
    out = np.zeros(n + period)
    burst = rng.uniform(-1, 1, period)
    # A softer pluck: smooth the excitation according to brightness.
    k = max(1, int((1 - brightness) * 8))
    if k > 1:
        burst = np.convolve(burst, np.ones(k) / k, mode="same")
    out[:period] = burst
    pos = period
    while pos < n + period:
        end = min(pos + period, n + period)
        prev = out[pos - period:end - period]
        prev2 = out[pos - period - 1:end - period - 1] if pos - period - 1 >= 0 else \
            np.concatenate([[0.0], out[pos - period:end - period - 1]])
        out[pos:end] = decay * 0.5 * (prev + prev2)
        pos = end
    return out[period:period + n]


# ------------------------------------------------------------------------------------------
# Filters (zero phase, frequency domain)


def _freqs(n):
    return np.fft.rfftfreq(n, 1.0 / SR)


def apply_response(x, response, circular=False):
    """Filters x (mono or stereo) by a real magnitude response function of frequency.

    With `circular` the signal is treated as one period of a loop: what the filter smears past
    the end comes back at the start, so a looped result stays seamless."""
    n = x.shape[-1]
    size = n if circular else 1 << int(math.ceil(math.log2(max(n, 2))))
    spectrum = np.fft.rfft(x, size)
    spectrum *= response(_freqs(size))
    return np.fft.irfft(spectrum, size)[..., :n]


def lowpass_response(fc, order=2, resonance=0.0):
    def r(f):
        g = 1.0 / np.sqrt(1.0 + (f / fc) ** (2 * order))
        if resonance:
            g = g * (1.0 + resonance * np.exp(-((f - fc) / (0.15 * fc)) ** 2))
        return g
    return r


def highpass_response(fc, order=2):
    return lambda f: 1.0 / np.sqrt(1.0 + (fc / np.maximum(f, 1e-3)) ** (2 * order))


def bandpass_response(f0, q):
    bw = f0 / q
    return lambda f: 1.0 / np.sqrt(1.0 + ((f - f0) / (bw / 2)) ** 2) * (f > 0)


def lowpass(x, fc, order=2, resonance=0.0, circular=False):
    return apply_response(x, lowpass_response(fc, order, resonance), circular)


def highpass(x, fc, order=2, circular=False):
    return apply_response(x, highpass_response(fc, order), circular)


def bandpass(x, f0, q=2.0, circular=False):
    return apply_response(x, bandpass_response(f0, q), circular)


def formants(x, peaks):
    """Sum of resonances [(frequency, bandwidth, gain), ...]: a vowel-like colour."""
    def r(f):
        g = np.zeros_like(f)
        for f0, bw, gain in peaks:
            g += gain / (1.0 + ((f - f0) / (bw / 2)) ** 2)
        return g
    return apply_response(x, r)


def swept(x, cutoff, kind="lp", order=2, resonance=0.0, q=3.0, steps=8):
    """Filter whose cutoff follows the per-sample array `cutoff` (Hz): the signal is filtered at
    `steps` fixed cutoffs spaced evenly in log frequency and the copies are cross-faded."""
    cutoff = np.clip(np.broadcast_to(np.asarray(cutoff, np.float64), (x.shape[-1],)), 20, 20000)
    lo, hi = float(cutoff.min()), float(cutoff.max())
    if hi / lo < 1.02:
        fc = (lo + hi) / 2
        return _filter_kind(x, fc, kind, order, resonance, q)
    grid = np.geomspace(lo, hi, steps)
    copies = [_filter_kind(x, fc, kind, order, resonance, q) for fc in grid]
    pos = np.interp(np.log(cutoff), np.log(grid), np.arange(steps))
    i0 = np.clip(np.floor(pos).astype(int), 0, steps - 2)
    frac = pos - i0
    out = np.zeros_like(x)
    for k in range(steps - 1):
        sel = i0 == k
        if not sel.any():
            continue
        out[..., sel] = copies[k][..., sel] * (1 - frac[sel]) + copies[k + 1][..., sel] * frac[sel]
    return out


def _filter_kind(x, fc, kind, order, resonance, q):
    if kind == "lp":
        return lowpass(x, fc, order, resonance)
    if kind == "hp":
        return highpass(x, fc, order)
    return bandpass(x, fc, q)


# ------------------------------------------------------------------------------------------
# Effects


def soft_clip(x, drive=1.0):
    return np.tanh(x * drive) / math.tanh(drive)


def bitcrush(x, bits):
    q = 2 ** (bits - 1)
    return np.round(x * q) / q


def reverb_ir(seconds_long, rng, damping=0.5, predelay=0.01, early=6):
    """Stereo impulse response: sparse early reflections and a dense tail whose high end fades
    faster than its low end (`damping` 0 bright .. 1 dark)."""
    n = samples(seconds_long)
    t = seconds(n)
    ir = np.zeros((2, n))
    for ch in range(2):
        tail = rng.normal(size=n) * np.exp(-6.9 * t / seconds_long)
        bright = 12000 * (1 - damping) + 2500
        dark = 1500 * (1 - damping) + 600
        cut = bright * (dark / bright) ** np.clip(t / seconds_long, 0, 1)
        ir[ch] = swept(tail, cut, "lp", order=1, steps=6)
        for _ in range(early):
            k = samples(predelay + rng.uniform(0.005, 0.06))
            if k < n:
                ir[ch, k] += rng.uniform(0.3, 0.8) * rng.choice([-1, 1]) * 8.0
        ir[ch, :samples(predelay)] = 0
    ir /= np.sqrt((ir ** 2).sum(axis=1, keepdims=True).max())
    return ir


def circular_convolve(x, ir):
    """Convolution that wraps around the end of x: a reverb tail past the end of a loop lands
    on its beginning, so the looped result has no seam. x: (2, n) or (n,), ir: (2, m), m < n."""
    n = x.shape[-1]
    if ir.shape[-1] > n:
        ir = ir[..., :n]
    X = np.fft.rfft(x, n)
    H = np.fft.rfft(ir, n)
    return np.fft.irfft(X * H, n)


def circular_delay(x, delay_s, feedback, repeats=8, tone=3500.0, pingpong=True):
    """Feedback echo that wraps around a loop. Stereo input (2, n); each repeat is darker."""
    d = samples(delay_s)
    out = np.zeros_like(x)
    cur = x.copy()
    g = 1.0
    for k in range(1, repeats + 1):
        cur = lowpass(cur, tone, order=1, circular=True)
        g *= feedback
        shifted = np.roll(cur, d * k, axis=-1) * g
        if pingpong and k % 2 == 1:
            shifted = shifted[::-1]
        out += shifted
    return out


def pan(x, position):
    """Constant-power pan of a mono signal: position -1 (left) .. 1 (right)."""
    a = (position + 1) * math.pi / 4
    return np.stack([x * math.cos(a), x * math.sin(a)])


# ------------------------------------------------------------------------------------------
# Output


def normalise_peak(x, dbfs=-3.0):
    peak = np.max(np.abs(x))
    if peak <= 0:
        return x
    return x * (10 ** (dbfs / 20.0) / peak)


def write_wav(path, x):
    """16-bit PCM WAV at 44.1 kHz, mono for shape (n,), stereo for (2, n). Deterministic."""
    x = np.asarray(x)
    stereo = x.ndim == 2
    data = np.clip(np.round((x.T if stereo else x) * 32767.0), -32768, 32767).astype("<i2")
    with wave.open(path, "wb") as w:
        w.setnchannels(2 if stereo else 1)
        w.setsampwidth(2)
        w.setframerate(SR)
        w.writeframes(data.tobytes())


def read_wav(path):
    """Reads a 16-bit PCM WAV as float (mono (n,) or stereo (2, n)) and its rate."""
    with wave.open(path, "rb") as w:
        ch, rate, n = w.getnchannels(), w.getframerate(), w.getnframes()
        raw = np.frombuffer(w.readframes(n), "<i2").astype(np.float64) / 32768.0
    if ch > 1:
        raw = raw.reshape(-1, ch).T
    return raw, rate
