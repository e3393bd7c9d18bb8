#!/usr/bin/env python3
"""Writes the Linux icons (PNG, 16 to 256 pixels) from the artwork that the
Windows icons are drawn from (app/win/icons/make_icons.py), so both builds
show the same telephone handset.

Usage: make_pngs.py [target directory]  (default: beside this script);
writes <size>x<size>/orvanta.png. Standard library only.
"""
import importlib.util
import os
import struct
import sys
import zlib

SIZES = (16, 32, 48, 64, 128, 256)
HERE = os.path.dirname(os.path.abspath(__file__))
ARTWORK = os.path.join(HERE, '..', '..', 'win', 'icons', 'make_icons.py')


def load_artwork():
    spec = importlib.util.spec_from_file_location('make_icons', ARTWORK)
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
    return module


def chunk(kind, data):
    body = kind + data
    return struct.pack('>I', len(data)) + body + struct.pack('>I', zlib.crc32(body))


def png(rows):
    """PNG bytes for rows of (b, g, r, a) pixels, top row first."""
    height, width = len(rows), len(rows[0])
    raw = b''.join(b'\0' + bytes(c for b, g, r, a in row for c in (r, g, b, a))
                   for row in rows)
    header = struct.pack('>IIBBBBB', width, height, 8, 6, 0, 0, 0)
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', header) +
            chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))


def main():
    target = sys.argv[1] if len(sys.argv) > 1 else HERE
    artwork = load_artwork()
    for size in SIZES:
        folder = os.path.join(target, '%dx%d' % (size, size))
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, 'orvanta.png'), 'wb') as f:
            f.write(png(artwork.render(size)))


if __name__ == '__main__':
    main()
