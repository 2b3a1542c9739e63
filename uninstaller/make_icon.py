#!/usr/bin/env python3
"""Draws the uninstaller's icon, ZeviZorezu.ico: a game disk with a red removal badge, at 32x32
and 16x16, each in 256 colours and in 16 colours. Run it again after changing the artwork and
commit both files."""
import math
import os
import struct

# The 16 standard colours of a 16-colour display, in their usual order.
VGA = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
       (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
       (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
# 256 colours: the 16 standard ones, a 6x6x6 colour cube and 24 greys.
LEVELS = [0, 51, 102, 153, 204, 255]
PALETTE_256 = (VGA + [(r, g, b) for r in LEVELS for g in LEVELS for b in LEVELS]
               + [(8 + 10 * i, 8 + 10 * i, 8 + 10 * i) for i in range(24)])


def pixel(size, x, y, shaded):
    """The colour at pixel (x, y) of a size x size picture, or None where it is transparent."""
    u, v = (x + 0.5) / size, (y + 0.5) / size
    # The removal badge: a red disc with a white bar, at the lower right.
    bu, bv, br = 0.74, 0.74, 0.25
    badge = math.hypot(u - bu, v - bv)
    if badge <= br:
        if abs(v - bv) <= 0.05 + 0.5 / size and abs(u - bu) <= br * 0.62:
            return (255, 255, 255)
        if badge >= br - 1.0 / size:
            return (128, 0, 0)
        return (230 - int(120 * (v - bv + br)), 30, 30) if shaded else (255, 0, 0)
    # The disk: a blue ring with a light rim, a hub and a hole.
    d = math.hypot(u - 0.44, v - 0.44)
    if d > 0.42 or d < 0.07:
        return None
    if d > 0.42 - 1.0 / size:
        return (0, 0, 128)
    if d < 0.14:
        return (192, 192, 192)
    if shaded:
        light = 0.5 + 0.5 * ((0.44 - u) + (0.44 - v)) / 0.84
        return (int(40 * light), int(90 + 120 * light), int(150 + 105 * light))
    return (0, 255, 255) if u + v < 0.7 else (0, 0, 255)


def nearest(palette, colour):
    return min(range(len(palette)),
               key=lambda i: sum((a - b) ** 2 for a, b in zip(palette[i], colour)))


def image(size, bits):
    """One icon image: header, palette, colour bits and mask, rows bottom-up."""
    palette = PALETTE_256 if bits == 8 else VGA
    rows, mask = [], []
    for y in reversed(range(size)):
        indexes, opaque = [], []
        for x in range(size):
            colour = pixel(size, x, y, bits == 8)
            indexes.append(0 if colour is None else nearest(palette, colour))
            opaque.append(colour is not None)
        if bits == 8:
            row = bytes(indexes)
        else:
            row = bytes(indexes[i] << 4 | indexes[i + 1] for i in range(0, size, 2))
        rows.append(row + bytes(-len(row) % 4))
        maskRow = bytes(sum((0 if opaque[x + b] else 1) << (7 - b) for b in range(8))
                        for x in range(0, size, 8))
        mask.append(maskRow + bytes(-len(maskRow) % 4))
    header = struct.pack('<IiiHHIIiiII', 40, size, 2 * size, 1, bits, 0, 0, 0, 0, 0, 0)
    colours = b''.join(struct.pack('BBBB', b, g, r, 0) for r, g, b in palette)
    return header + colours + b''.join(rows) + b''.join(mask)


def icon(formats):
    images = [image(size, bits) for size, bits in formats]
    data = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for (size, bits), body in zip(formats, images):
        data += struct.pack('<BBBBHHII', size, size, 16 if bits == 4 else 0, 0, 1, bits,
                            len(body), offset)
        offset += len(body)
    return data + b''.join(images)


if __name__ == '__main__':
    target = os.path.join(os.path.dirname(os.path.abspath(__file__)), 'ZeviZorezu.ico')
    with open(target, 'wb') as out:
        out.write(icon([(32, 8), (16, 8), (32, 4), (16, 4)]))
