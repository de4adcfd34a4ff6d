#!/usr/bin/env python3
"""Writes snap.wav, the capture sound: a short camera-shutter click made of two filtered noise
bursts. Deterministic, so running it again gives the same bytes.

Usage: make_snap_wav.py [output path]   (default: snap.wav beside this script)
"""
import math
import os
import random
import struct
import sys
import wave

RATE = 22050
DURATION = 0.18  # seconds


def burst(t, start, decay, brightness, rng_values, i):
    """A noise burst starting at `start` seconds that dies away with time constant `decay`."""
    if t < start:
        return 0.0
    envelope = math.exp(-(t - start) / decay)
    return envelope * rng_values[i] * brightness


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "snap.wav")
    rng = random.Random(20240607)
    count = int(RATE * DURATION)
    noise = [rng.uniform(-1.0, 1.0) for _ in range(count)]
    samples = []
    low = 0.0
    for i in range(count):
        t = i / RATE
        # The shutter opening (bright) and closing (duller, a little later).
        value = burst(t, 0.000, 0.012, 1.0, noise, i) + burst(t, 0.070, 0.020, 0.7, noise, i)
        # A one-pole low-pass takes the hiss off the noise.
        low += 0.45 * (value - low)
        samples.append(max(-1.0, min(1.0, low * 0.9)))
    frames = b"".join(struct.pack("<h", int(s * 32767)) for s in samples)
    with wave.open(out, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(frames)


if __name__ == "__main__":
    main()
