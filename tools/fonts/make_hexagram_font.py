#!/usr/bin/python3
"""Makes content/fonts/hexagrams.ttf, family "Lunvareth Hexagrams": the 64
hexagram figures at U+4DC0..U+4DFF (King Wen order) and the eight trigram
figures at U+2630..U+2637, drawn as rectangles (line 1 at the bottom; a yang
line is one bar, a yin line two bars with a gap).

Usage: make_hexagram_font.py [--out DIR]   (needs Debian's python3-fonttools)
"""
import argparse
import sys
from pathlib import Path

try:
    from fontTools.fontBuilder import FontBuilder
    from fontTools.pens.ttGlyphPen import TTGlyphPen
except ImportError:
    sys.exit("fontTools is missing: apt-get install python3-fonttools (and run with /usr/bin/python3)")

ROOT = Path(__file__).resolve().parents[2]
FAMILY = "Lunvareth Hexagrams"
EM, ASCENT, DESCENT = 1000, 880, 120

# Lines bottom first, 1 = yang, in the order of U+2630..U+2637.
TRIGRAMS = {
    "heaven": "111", "lake": "110", "fire": "101", "thunder": "100",
    "wind": "011", "water": "010", "mountain": "001", "earth": "000",
}
# King Wen order: (upper, lower) trigram of each hexagram.
KING_WEN = [
    ("heaven", "heaven"), ("earth", "earth"), ("water", "thunder"), ("mountain", "water"),
    ("water", "heaven"), ("heaven", "water"), ("earth", "water"), ("water", "earth"),
    ("wind", "heaven"), ("heaven", "lake"), ("earth", "heaven"), ("heaven", "earth"),
    ("heaven", "fire"), ("fire", "heaven"), ("earth", "mountain"), ("thunder", "earth"),
    ("lake", "thunder"), ("mountain", "wind"), ("earth", "lake"), ("wind", "earth"),
    ("fire", "thunder"), ("mountain", "fire"), ("mountain", "earth"), ("earth", "thunder"),
    ("heaven", "thunder"), ("mountain", "heaven"), ("mountain", "thunder"), ("lake", "wind"),
    ("water", "water"), ("fire", "fire"), ("lake", "mountain"), ("thunder", "wind"),
    ("heaven", "mountain"), ("thunder", "heaven"), ("fire", "earth"), ("earth", "fire"),
    ("wind", "fire"), ("fire", "lake"), ("water", "mountain"), ("thunder", "water"),
    ("mountain", "lake"), ("wind", "thunder"), ("lake", "heaven"), ("heaven", "wind"),
    ("lake", "earth"), ("earth", "wind"), ("lake", "water"), ("water", "wind"),
    ("lake", "fire"), ("fire", "wind"), ("thunder", "thunder"), ("mountain", "mountain"),
    ("wind", "mountain"), ("thunder", "lake"), ("thunder", "fire"), ("fire", "mountain"),
    ("wind", "wind"), ("lake", "lake"), ("wind", "water"), ("water", "lake"),
    ("wind", "lake"), ("thunder", "mountain"), ("water", "fire"), ("fire", "water"),
]


def hexagram_lines(n):
    """Lines of hexagram n (1..64), bottom first."""
    upper, lower = KING_WEN[n - 1]
    return TRIGRAMS[lower] + TRIGRAMS[upper]


def rect(pen, x0, y0, x1, y1):
    # Clockwise, as TrueType wants for filled contours.
    pen.moveTo((x0, y0))
    pen.lineTo((x0, y1))
    pen.lineTo((x1, y1))
    pen.lineTo((x1, y0))
    pen.closePath()


def figure(lines, left, right, bottom, bar, gap, split):
    """Glyph of stacked lines; split is the width of the gap in a yin line."""
    pen = TTGlyphPen(None)
    mid = (left + right) // 2
    for i, line in enumerate(lines):
        y0 = bottom + i * (bar + gap)
        if line == "1":
            rect(pen, left, y0, right, y0 + bar)
        else:
            rect(pen, left, y0, mid - split // 2, y0 + bar)
            rect(pen, mid + split // 2, y0, right, y0 + bar)
    return pen.glyph()


def build():
    glyphs, metrics, cmap = {}, {}, {}
    pen = TTGlyphPen(None)
    rect(pen, 100, 0, 700, 700)
    rect(pen, 150, 650, 650, 50)  # inner contour, counter-clockwise: a hollow box
    glyphs[".notdef"], metrics[".notdef"] = pen.glyph(), (800, 100)
    glyphs["space"], metrics["space"] = TTGlyphPen(None).glyph(), (500, 0)
    cmap[0x20] = "space"
    for i, lines in enumerate(TRIGRAMS.values()):
        name = "uni%04X" % (0x2630 + i)
        glyphs[name] = figure(lines, 100, 700, 60, 140, 90, 120)
        metrics[name] = (800, 100)
        cmap[0x2630 + i] = name
    for n in range(1, 65):
        name = "uni%04X" % (0x4DC0 + n - 1)
        glyphs[name] = figure(hexagram_lines(n), 100, 900, 0, 90, 50, 120)
        metrics[name] = (1000, 100)
        cmap[0x4DC0 + n - 1] = name

    fb = FontBuilder(EM, isTTF=True)
    fb.setupGlyphOrder(list(glyphs))
    fb.setupCharacterMap(cmap)
    fb.setupGlyf(glyphs)
    fb.setupHorizontalMetrics(metrics)
    fb.setupHorizontalHeader(ascent=ASCENT, descent=-DESCENT)
    fb.setupNameTable({
        "copyright": "Copyright the Lunvareth developers",
        "familyName": FAMILY,
        "styleName": "Regular",
        "uniqueFontIdentifier": "LunvarethHexagrams-Regular;1.0",
        "fullName": FAMILY,
        "version": "Version 1.0",
        "psName": "LunvarethHexagrams-Regular",
    })
    fb.setupOS2(sTypoAscender=ASCENT, sTypoDescender=-DESCENT, sTypoLineGap=0,
                usWinAscent=ASCENT, usWinDescent=DESCENT, achVendID="LUNV")
    fb.setupPost()
    fb.setupHead(unitsPerEm=EM, created=0x7E000000, modified=0x7E000000)
    return fb.font


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--out", default=ROOT / "content" / "fonts")
    args = ap.parse_args()
    font = build()
    font.recalcTimestamp = False
    out = Path(args.out)
    out.mkdir(parents=True, exist_ok=True)
    font.save(str(out / "hexagrams.ttf"))


if __name__ == "__main__":
    main()
