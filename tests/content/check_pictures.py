#!/usr/bin/python3
"""Checks the pictures: the coin window's tile and the three coin strips
(31 frames of 129 x 129, 24-bit BMP) and the stalk window's background JPEG.

Usage: check_pictures.py CONTENT_DIR
"""
import struct
import sys
from pathlib import Path

FRAME, FRAMES = 129, 31


def read_bmp(path):
    """(width, height, bits, pixel(x, y) -> (r, g, b) or None); raises ValueError."""
    data = path.read_bytes()
    if len(data) < 54 or data[:2] != b"BM":
        raise ValueError("not a BMP file")
    offset, header = struct.unpack_from("<II", data, 10)
    width, height, planes, bits, compression = struct.unpack_from("<iiHHI", data, 18)
    if header < 40 or planes != 1 or width <= 0 or height == 0:
        raise ValueError("bad BMP header")
    stride = (width * bits + 31) // 32 * 4
    if offset + stride * abs(height) > len(data):
        raise ValueError("BMP pixel data is truncated")
    if bits != 24 or compression != 0:
        return width, height, bits, None

    def pixel(x, y):  # y from the top
        row = abs(height) - 1 - y if height > 0 else y
        b, g, r = data[offset + row * stride + 3 * x: offset + row * stride + 3 * x + 3]
        return r, g, b
    return width, abs(height), bits, pixel


def jpeg_size(path):
    data = path.read_bytes()
    if data[:2] != b"\xff\xd8":
        raise ValueError("not a JPEG file")
    i = 2
    while i + 4 <= len(data):
        if data[i] != 0xFF:
            raise ValueError("broken JPEG marker sequence")
        marker = data[i + 1]
        if marker == 0xFF:
            i += 1
            continue
        length = struct.unpack_from(">H", data, i + 2)[0]
        if 0xC0 <= marker <= 0xCF and marker not in (0xC4, 0xC8, 0xCC):
            height, width = struct.unpack_from(">HH", data, i + 5)
            return width, height
        i += 2 + length
    raise ValueError("JPEG without a frame header")


def mean_colour(pixel, width, height):
    total = [0, 0, 0]
    for y in range(height):
        for x in range(width):
            for k, v in enumerate(pixel(x, y)):
                total[k] += v
    return [t / (width * height) for t in total]


def main():
    content = Path(sys.argv[1])
    problems = []
    tile_colour = None
    try:
        w, h, bits, pixel = read_bmp(content / "hhz" / "coin.bmp")
        if pixel:
            tile_colour = mean_colour(pixel, w, h)
    except (OSError, ValueError) as e:
        problems.append("coin.bmp: %s" % e)

    for name in ("coin1.bmp", "coin2.bmp", "coin3.bmp"):
        try:
            w, h, bits, pixel = read_bmp(content / "hhz" / name)
        except (OSError, ValueError) as e:
            problems.append("%s: %s" % (name, e))
            continue
        if (w, h, bits) != (FRAME * FRAMES, FRAME, 24) or not pixel:
            problems.append("%s is %d x %d, %d bits: wanted %d x %d, 24 bits, uncompressed" % (
                name, w, h, bits, FRAME * FRAMES, FRAME))
            continue
        first = [pixel(x, y) for y in range(0, FRAME, 4) for x in range(0, FRAME, 4)]
        last = [pixel(30 * FRAME + x, y) for y in range(0, FRAME, 4) for x in range(0, FRAME, 4)]
        if first == last:
            problems.append("%s: frames 0 and 30 show the same side" % name)
        if tile_colour:
            # The frames are copied onto the tiled window as they are: their
            # corners must not stand out from the tile.
            for f in (0, 15, 30):
                corner = pixel(f * FRAME, 0)
                if sum(abs(a - b) for a, b in zip(corner, tile_colour)) > 60:
                    problems.append("%s: frame %d's background %s does not match the tile's colour %s" % (
                        name, f, corner, [round(c) for c in tile_colour]))

    try:
        w, h = jpeg_size(content / "texto" / "oracleback.jpg")
        if w < 1600 or h < 1200:
            problems.append("oracleback.jpg is %d x %d: wanted at least 1600 x 1200" % (w, h))
    except (OSError, ValueError) as e:
        problems.append("oracleback.jpg: %s" % e)

    for p in problems:
        print(p)
    print("%d problems" % len(problems) if problems else "pictures: ok")
    sys.exit(1 if problems else 0)


if __name__ == "__main__":
    main()
