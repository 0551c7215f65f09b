#!/usr/bin/python3
"""Checks the two font files of the program folder.

LunvarethOrg.ttf must draw every code point named in ed.txt; hexagrams.ttf
must hold the 64 hexagram and 8 trigram figures, and its figures must read as
the right hexagrams: every line a band of one bar (yang) or two bars (yin).

Usage: check_fonts.py FONT_DIR ED_TXT
"""
import sys
from pathlib import Path

try:
    from fontTools.ttLib import TTFont
    from fontTools.pens.recordingPen import RecordingPen
except ImportError:
    print("fontTools is missing: apt-get install python3-fonttools")
    sys.exit(1)

# Bottom line first, 1 = yang; these follow from the trigram order of U+2630.
TRIGRAMS = ["111", "110", "101", "100", "011", "010", "001", "000"]
# Hexagrams whose figures are well known, to pin the King Wen order down.
KNOWN = {1: "111111", 2: "000000", 5: "111010", 11: "111000", 12: "000111",
         29: "010010", 30: "101101", 63: "101010", 64: "010101"}


def has_outline(font, glyph_name):
    pen = RecordingPen()
    font.getGlyphSet()[glyph_name].draw(pen)
    return any(op == "closePath" for op, _ in pen.value)


def figure_lines(font, glyph_name):
    """Reads a figure glyph back: bands of bars from the bottom, '1' for one
    bar and '0' for two; None when the glyph is not made of bars."""
    pen = RecordingPen()
    font.getGlyphSet()[glyph_name].draw(pen)
    boxes, points = [], []
    for op, args in pen.value:
        points += list(args)
        if op == "closePath":
            xs, ys = [p[0] for p in points], [p[1] for p in points]
            boxes.append((min(ys), max(ys), min(xs), max(xs)))
            points = []
    bands = {}
    for y0, y1, x0, x1 in boxes:
        bands.setdefault((y0, y1), []).append((x0, x1))
    lines = ""
    for (y0, y1), bars in sorted(bands.items()):
        if len(bars) not in (1, 2):
            return None
        lines += "1" if len(bars) == 1 else "0"
    return lines


def main():
    folder, ed = Path(sys.argv[1]), Path(sys.argv[2])
    problems = []

    org = TTFont(str(folder / "LunvarethOrg.ttf"))
    cmap = org.getBestCmap()
    if org["name"].getDebugName(1) != "LunvarethOrg":
        problems.append("LunvarethOrg.ttf: family is %r" % org["name"].getDebugName(1))
    wanted = sorted({int(l.split()[2].lstrip("*"), 16) for l in ed.read_text("ascii").splitlines() if len(l.split()) > 2})
    missing = [cp for cp in wanted if cp not in cmap or not has_outline(org, cmap[cp])]
    if missing:
        problems.append("LunvarethOrg.ttf lacks %d characters of ed.txt: %s" % (
            len(missing), " ".join("U+%04X" % cp for cp in missing[:20])))

    hexa = TTFont(str(folder / "hexagrams.ttf"))
    cmap = hexa.getBestCmap()
    if hexa["name"].getDebugName(1) != "Lunvareth Hexagrams":
        problems.append("hexagrams.ttf: family is %r" % hexa["name"].getDebugName(1))
    figures = {}
    for cp in list(range(0x2630, 0x2638)) + list(range(0x4DC0, 0x4E00)):
        if cp not in cmap:
            problems.append("hexagrams.ttf lacks U+%04X" % cp)
            continue
        figures[cp] = figure_lines(hexa, cmap[cp])
    for i, lines in enumerate(TRIGRAMS):
        if 0x2630 + i in figures and figures[0x2630 + i] != lines:
            problems.append("U+%04X shows %s instead of the trigram %s" % (0x2630 + i, figures[0x2630 + i], lines))
    hexagrams = [figures.get(0x4DC0 + k) for k in range(64)]
    for n, lines in enumerate(hexagrams, 1):
        if lines is None or len(lines) != 6:
            problems.append("hexagram %d (U+%04X) is not six lines of bars" % (n, 0x4DC0 + n - 1))
        elif n in KNOWN and lines != KNOWN[n]:
            problems.append("hexagram %d shows %s instead of %s" % (n, lines, KNOWN[n]))
    if all(h and len(h) == 6 for h in hexagrams):
        if len(set(hexagrams)) != 64:
            problems.append("hexagrams.ttf draws some hexagram twice")
        # King Wen pairs: the second is the first upside down, or, when that
        # changes nothing, its opposite.
        for k in range(0, 64, 2):
            a, b = hexagrams[k], hexagrams[k + 1]
            flipped = a[::-1]
            expected = flipped if flipped != a else "".join("1" if c == "0" else "0" for c in a)
            if b != expected:
                problems.append("hexagram %d (%s) does not pair with hexagram %d (%s)" % (k + 2, b, k + 1, a))

    for p in problems:
        print(p)
    print("%d problems" % len(problems) if problems else "fonts: ok")
    sys.exit(1 if problems else 0)


if __name__ == "__main__":
    main()
