#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Draws Tikora's icon and pictures as PNG files (run once; the files are kept)."""
import math
import struct
import zlib
from pathlib import Path

HERE = Path(__file__).resolve().parent


def png(path, width, height, pixel):
    rows = b''.join(
        b'\x00' + b''.join(bytes(pixel(x, y)) for x in range(width)) for y in range(height))
    def chunk(kind, data):
        body = kind + data
        return struct.pack('>I', len(data)) + body + struct.pack('>I', zlib.crc32(body))
    data = (b'\x89PNG\r\n\x1a\n'
            + chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 8, 6, 0, 0, 0))
            + chunk(b'IDAT', zlib.compress(rows, 9)) + chunk(b'IEND', b''))
    path.parent.mkdir(parents=True, exist_ok=True)
    path.write_bytes(data)


def clock(size, background=(0, 0, 0, 0)):
    """An alarm clock: a red bell-shaped face with two hands, pointing at ten past ten."""
    c = (size - 1) / 2
    r = size * 0.40
    def pixel(x, y):
        dx, dy = x - c, y - c + size * 0.04
        d = math.hypot(dx, dy)
        # the two bells on top
        for bx in (-0.30, 0.30):
            if math.hypot(x - (c + bx * size), y - size * 0.14) < size * 0.12:
                return (200, 30, 30, 255)
        if d <= r:
            if d >= r - max(1.5, size * 0.08):
                return (200, 30, 30, 255)
            angle = math.atan2(dy, dx)
            for hand, length in ((-math.pi / 2 - 0.4, 0.55), (-math.pi / 2 + 1.1, 0.8)):
                px, py = math.cos(hand), math.sin(hand)
                along = dx * px + dy * py
                across = abs(-dx * py + dy * px)
                if 0 <= along <= r * length and across <= max(0.8, size * 0.04):
                    return (20, 20, 20, 255)
            del angle
            return (255, 250, 235, 255)
        return background
    return pixel


def about_at(scale):
    """A dusk sky over hills with the clock in it: 157 x 120 times scale."""
    def about(x, y):
        top, bottom = (20, 40, 90), (240, 150, 80)
        t = y / (119 * scale)
        sky = tuple(int(a + (b - a) * t) for a, b in zip(top, bottom)) + (255,)
        hill = (95 + 10 * math.sin(x / (20 * scale))) * scale
        if y > hill:
            return (40, 90, 50, 255)
        face = clock(64 * scale, sky)
        if 46 * scale <= x < 110 * scale and 20 * scale <= y < 84 * scale:
            return face(x - 46 * scale, y - 20 * scale)
        return sky
    return about


def backdrop(x, y):
    """The alert window's background: a dark blue-grey fading downwards."""
    t = y / 116
    return (int(30 + 20 * t), int(38 + 20 * t), int(52 + 30 * t), 255)


png(HERE / 'icons' / 'tikora-16.png', 16, 16, clock(16))
png(HERE / 'icons' / 'tikora-32.png', 32, 32, clock(32))
png(HERE / 'icons' / 'tikora.png', 64, 64, clock(64))
png(HERE / 'pictures' / 'about.png', 157, 120, about_at(1))
png(HERE / 'pictures' / 'about@2x.png', 314, 240, about_at(2))
png(HERE / 'pictures' / 'alert.png', 232, 117, backdrop)
