#!/usr/bin/python3
"""Makes content/fonts/LunvarethOrg.ttf: the Chinese characters of our text
sources, cut from Noto Serif CJK TC (Debian package fonts-noto-cjk, SIL Open
Font License 1.1), converted to TrueType outlines and renamed "LunvarethOrg".
Also writes LunvarethOrg-LICENSE.txt beside it.

Usage: make_org_font.py [--source NotoSerifCJK-Regular.ttc] [--ed ed.txt] [--out DIR]
Needs Debian's python3-fonttools and fonts-noto-cjk (only to regenerate).
"""
import argparse
import sys
from pathlib import Path

try:
    from fontTools import subset
    from fontTools.pens.cu2quPen import Cu2QuPen
    from fontTools.pens.ttGlyphPen import TTGlyphPen
    from fontTools.ttLib import TTCollection, newTable
except ImportError:
    sys.exit("fontTools is missing: apt-get install python3-fonttools (and run with /usr/bin/python3)")

ROOT = Path(__file__).resolve().parents[2]
FAMILY = "LunvarethOrg"
SOURCE_FAMILY = "Noto Serif CJK TC"
DEBIAN_COPYRIGHT = Path("/usr/share/doc/fonts-noto-cjk/copyright")


def code_points(ed_path):
    """Every code point that ed.txt names (third field of each line)."""
    cps = set()
    for line in Path(ed_path).read_text(encoding="ascii").splitlines():
        fields = line.split()
        if len(fields) >= 3:
            cps.add(int(fields[2].lstrip("*"), 16))
    return cps


def open_source(path):
    for font in TTCollection(str(path)).fonts:
        if font["name"].getDebugName(1) == SOURCE_FAMILY:
            return font
    sys.exit("%s holds no %s" % (path, SOURCE_FAMILY))


def cut(font, cps):
    opts = subset.Options()
    opts.layout_features = []  # plain horizontal text; no alternates needed
    opts.name_IDs = [0, 7, 8, 9, 11, 12, 13, 14]
    opts.name_languages = [0x409]
    opts.notdef_outline = True
    opts.hinting = False
    sub = subset.Subsetter(opts)
    sub.populate(unicodes=cps)
    sub.subset(font)


def to_truetype(font):
    """Replaces the cubic CFF outlines by quadratic glyf outlines."""
    order = font.getGlyphOrder()
    glyph_set = font.getGlyphSet()
    glyf = newTable("glyf")
    glyf.glyphOrder = order
    glyf.glyphs = {}
    for name in order:
        tt_pen = TTGlyphPen(glyph_set)
        glyph_set[name].draw(Cu2QuPen(tt_pen, 1.0, reverse_direction=True))
        glyf.glyphs[name] = tt_pen.glyph()
    font["glyf"] = glyf
    font["loca"] = newTable("loca")
    for tag in ("CFF ", "VORG"):
        if tag in font:
            del font[tag]
    glyf.compile(font)
    hmtx = font["hmtx"]
    for name in order:
        g = glyf.glyphs[name]
        g.recalcBounds(glyf)
        hmtx[name] = (hmtx[name][0], getattr(g, "xMin", 0))
    maxp = newTable("maxp")
    maxp.tableVersion = 0x00010000
    for field in ("maxZones",):
        setattr(maxp, field, 1)
    for field in ("maxTwilightPoints", "maxStorage", "maxFunctionDefs", "maxInstructionDefs",
                  "maxStackElements", "maxSizeOfInstructions", "maxComponentElements"):
        setattr(maxp, field, 0)
    font["maxp"] = maxp
    post = font["post"]
    post.formatType = 3.0
    font.sfntVersion = "\x00\x01\x00\x00"


def rename(font):
    name = font["name"]
    version = "Version 1.0 (from %s %s)" % (SOURCE_FAMILY, font["head"].fontRevision)
    for nid, text in ((1, FAMILY), (2, "Regular"), (3, FAMILY + "-Regular;1.0"), (4, FAMILY),
                      (5, version), (6, FAMILY + "-Regular"), (16, FAMILY), (17, "Regular")):
        name.setName(text, nid, 3, 1, 0x409)
    for nid in (16, 17):
        name.removeNames(nameID=nid, platformID=1)


def licence_text(font):
    lines = DEBIAN_COPYRIGHT.read_text(encoding="utf-8").splitlines()
    start = next(i for i, l in enumerate(lines) if l.strip().startswith("SIL OPEN FONT LICENSE Version 1.1"))
    body = []
    for l in lines[start:]:
        if l.startswith("License:"):
            break
        body.append("" if l.strip() == "." else l[1:] if l.startswith(" ") else l)
    head = [
        "LunvarethOrg.ttf is a subset of %s Regular (%s)," % (SOURCE_FAMILY, font["name"].getDebugName(5)),
        "taken from the Debian package fonts-noto-cjk (file NotoSerifCJK-Regular.ttc),",
        "cut to the Chinese characters of texto/yijing.txt, converted to TrueType",
        "outlines and renamed LunvarethOrg by tools/fonts/make_org_font.py.",
        "",
        "Copyright of the original font: %s" % font["name"].getDebugName(0),
        "Noto is a trademark of Google Inc.",
        "This font, like the original, is licensed under the SIL Open Font License 1.1:",
        "",
    ]
    return "\n".join(head + body).rstrip() + "\n"


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--source", default="/usr/share/fonts/opentype/noto/NotoSerifCJK-Regular.ttc")
    ap.add_argument("--ed", default=ROOT / "content" / "texto" / "ed.txt")
    ap.add_argument("--out", default=ROOT / "content" / "fonts")
    args = ap.parse_args()
    if not Path(args.source).exists():
        sys.exit("%s is missing: apt-get install fonts-noto-cjk" % args.source)

    font = open_source(args.source)
    cps = code_points(args.ed)
    licence = licence_text(font)
    cut(font, cps)
    missing = sorted(cp for cp in cps if cp not in font.getBestCmap())
    if missing:
        sys.exit("the source font lacks %s" % " ".join("U+%04X" % cp for cp in missing))
    to_truetype(font)
    rename(font)
    out = Path(args.out)
    out.mkdir(parents=True, exist_ok=True)
    font.recalcTimestamp = False  # same input, same bytes
    font.save(str(out / "LunvarethOrg.ttf"))
    (out / "LunvarethOrg-LICENSE.txt").write_text(licence, encoding="utf-8")
    print("LunvarethOrg.ttf: %d characters" % len(cps))


if __name__ == "__main__":
    main()
