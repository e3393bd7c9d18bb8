#!/usr/bin/env python3
"""Draws the program's icons: a white telephone handset on a blue badge.

Writes tray.ico (16 x 16) and orvanta.ico (32 x 32), 32-bit colour with an
alpha channel, into the directory given (default: beside this script).
Standard library only; the shapes are sampled 8 x 8 times per pixel.
"""
import math
import os
import struct
import sys

BADGE = (0x1B, 0x5E, 0x9A)   # blue
BADGE_EDGE = (0x0E, 0x3A, 0x63)
HANDSET = (0xFF, 0xFF, 0xFF)

CENTRE = (0.86, 0.14)        # centre of the handle's curve
RADIUS = 0.60
ARC_FROM, ARC_TO = math.radians(98), math.radians(172)


def capsule(px, py, ax, ay, bx, by, r):
    """Inside test for a segment A-B thickened to radius r."""
    dx, dy = bx - ax, by - ay
    t = ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)
    t = max(0.0, min(1.0, t))
    qx, qy = ax + t * dx - px, ay + t * dy - py
    return qx * qx + qy * qy <= r * r


def arc_point(angle):
    return (CENTRE[0] + RADIUS * math.cos(angle),
            CENTRE[1] + RADIUS * math.sin(angle))


def in_handset(x, y):
    # The handle: a band along the arc.
    angle = math.atan2(y - CENTRE[1], x - CENTRE[0])
    dist = math.hypot(x - CENTRE[0], y - CENTRE[1])
    if ARC_FROM <= angle <= ARC_TO and abs(dist - RADIUS) <= 0.075:
        return True
    # Ear and mouth pieces: short thick capsules turned towards the centre.
    for end in (ARC_FROM, ARC_TO):
        ex, ey = arc_point(end)
        ux, uy = CENTRE[0] - ex, CENTRE[1] - ey
        n = math.hypot(ux, uy)
        ux, uy = ux / n, uy / n
        # Slightly past the arc's end so the piece caps it.
        tx, ty = -uy, ux
        sign = -1 if end == ARC_FROM else 1
        sx, sy = ex + sign * tx * 0.03, ey + sign * ty * 0.03
        if capsule(x, y, sx - ux * 0.02, sy - uy * 0.02,
                   sx + ux * 0.16, sy + uy * 0.16, 0.11):
            return True
    return False


def in_badge(x, y, size):
    # A rounded square with a one-pixel darker rim.
    r = 0.22
    cx = min(max(x, r), 1 - r)
    cy = min(max(y, r), 1 - r)
    d = math.hypot(x - cx, y - cy)
    if d > r:
        return None
    return 'edge' if d > r - 1.0 / size else 'fill'


def render(size):
    """Rows of (b, g, r, a), top row first."""
    steps = 8
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0]
            cover = 0
            for sy in range(steps):
                for sx in range(steps):
                    x = (px + (sx + 0.5) / steps) / size
                    y = (py + (sy + 0.5) / steps) / size
                    badge = in_badge(x, y, size)
                    if badge is None:
                        continue
                    # The handset drawn a little smaller than the badge.
                    hx, hy = 0.5 + (x - 0.5) / 0.80, 0.5 + (y - 0.5) / 0.80
                    if in_handset(hx, hy):
                        colour = HANDSET
                    elif badge == 'edge':
                        colour = BADGE_EDGE
                    else:
                        colour = BADGE
                    for i in range(3):
                        acc[i] += colour[i]
                    cover += 1
            if cover:
                r, g, b = (int(round(c / cover)) for c in acc)
                a = int(round(255 * cover / (steps * steps)))
            else:
                r = g = b = a = 0
            row.append((b, g, r, a))
        rows.append(row)
    return rows


def icon_image(size):
    rows = render(size)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0,
                         0, 0, 0, 0)
    pixels = b''.join(bytes(p for px in row for p in px)
                      for row in reversed(rows))
    mask_row = ((size + 31) // 32) * 4
    mask = bytes(mask_row * size)  # the alpha channel decides
    return header + pixels + mask


def write_icon(path, sizes):
    images = [icon_image(s) for s in sizes]
    out = struct.pack('<HHH', 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for size, image in zip(sizes, images):
        out += struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, 32,
                           len(image), offset)
        offset += len(image)
    out += b''.join(images)
    with open(path, 'wb') as f:
        f.write(out)


def main():
    target = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(
        os.path.abspath(__file__))
    write_icon(os.path.join(target, 'tray.ico'), [16])
    write_icon(os.path.join(target, 'orvanta.ico'), [32])


if __name__ == '__main__':
    main()
