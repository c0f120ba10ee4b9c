#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Writes the four default alert sounds: short 16-bit PCM mono wave files.

Run from this folder; the files are committed, so this is needed only to
change them.
"""
import math
import struct
import wave

RATE = 22050

# name: list of (frequency in Hz, duration in ms); frequency 0 is a pause.
SOUNDS = {
    "checkmsgs.wav": [(880, 120), (0, 40), (1175, 160)],
    "Alert.wav": [(660, 150), (0, 50), (660, 150), (0, 50), (660, 150)],
    "Keytry.wav": [(523, 100), (659, 100), (784, 100), (1047, 200)],
    "Keyhaw.wav": [(392, 250), (0, 60), (330, 300)],
}


def tone(frequency, ms):
    count = RATE * ms // 1000
    fade = max(1, RATE // 200)  # 5 ms in and out, so the tones do not click
    samples = []
    for i in range(count):
        level = min(1.0, i / fade, (count - 1 - i) / fade)
        value = math.sin(2 * math.pi * frequency * i / RATE) if frequency else 0.0
        samples.append(int(12000 * level * value))
    return samples


for name, notes in SOUNDS.items():
    samples = [s for frequency, ms in notes for s in tone(frequency, ms)]
    with wave.open(name, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(struct.pack("<%dh" % len(samples), *samples))
