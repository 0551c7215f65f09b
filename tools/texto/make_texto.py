#!/usr/bin/python3
"""Generates texto/yijing.txt and texto/ed.txt.

yijing.txt holds one record per hexagram: <HN>n</HN>, then the TAG (name),
GUACI, DAXIANG, L1..L6 (and L7 for 1 and 2) section lines. Each section is a
run of "reading selector" pairs, one pair per Chinese character in text order.
ed.txt maps each key "selector reading" to the code point and a short English
definition. Readings come from Unihan's kMandarin, definitions from its
kDefinition, both corrected by overrides.tsv where this text reads a character
otherwise or means something else by it.

Usage: make_texto.py [--source zhouyi.tsv] [--unihan Unihan_Readings.txt.bz2]
                     [--overrides overrides.tsv] [--out DIR]
"""
import argparse
import bz2
import csv
import re
import sys
import unicodedata
from pathlib import Path

HERE = Path(__file__).resolve().parent
ROOT = HERE.parent.parent
SECTIONS = ["NAME", "GUACI", "DAXIANG", "L1", "L2", "L3", "L4", "L5", "L6", "L7"]
TONE_MARKS = {"\u0304": 1, "\u0301": 2, "\u030c": 3, "\u0300": 4}


def is_chinese(ch):
    cp = ord(ch)
    return 0x3400 <= cp <= 0x9FFF or 0xF900 <= cp <= 0xFAFF or 0x20000 <= cp <= 0x3FFFF


def tone_of(reading):
    for ch in unicodedata.normalize("NFD", reading):
        if ch in TONE_MARKS:
            return TONE_MARKS[ch]
    return 5


def to_ascii(text, escape_markup=False):
    """Single-byte text: everything outside printable ASCII becomes a numeric
    character reference."""
    out = []
    for ch in text:
        if escape_markup and ch in "&<>":
            out.append({"&": "&amp;", "<": "&lt;", ">": "&gt;"}[ch])
        elif 32 <= ord(ch) < 127:
            out.append(ch)
        else:
            out.append("&#%d;" % ord(ch))
    return "".join(out)


def read_source(path):
    """{(hexagram, section): [chars]} with punctuation left out."""
    texts = {}
    with open(path, encoding="utf-8", newline="") as f:
        for row in csv.DictReader(f, delimiter="\t"):
            key = (int(row["hexagram"]), row["section"])
            if key[1] not in SECTIONS or key in texts:
                sys.exit("unexpected row %r" % (key,))
            texts[key] = [ch for ch in row["text"] if is_chinese(ch)]
    for n in range(1, 65):
        for s in SECTIONS[:9] + (["L7"] if n <= 2 else []):
            if not texts.get((n, s)):
                sys.exit("hexagram %d lacks section %s" % (n, s))
    return texts


def read_unihan(path, wanted):
    data = {}
    with bz2.open(path, "rt", encoding="utf-8") as f:
        for line in f:
            if line.startswith("#") or not line.strip():
                continue
            cp, field, value = line.rstrip("\n").split("\t", 2)
            ch = chr(int(cp[2:], 16))
            if ch in wanted and field in ("kMandarin", "kHanyuPinyin", "kDefinition"):
                data.setdefault(ch, {})[field] = value
    return data


def unihan_reading(fields):
    if "kMandarin" in fields:
        return fields["kMandarin"].split()[0]
    if "kHanyuPinyin" in fields:
        return fields["kHanyuPinyin"].split(":", 1)[1].split(",")[0].split()[0]
    return ""


def short_definition(text):
    """The first one or two senses of a kDefinition."""
    senses = [s.strip() for s in text.split(";")]
    senses = [s for s in senses if s and not re.search(r"Kangxi radical|surname|U\+[0-9A-F]", s)]
    if not senses:
        return ""
    first = senses[0]
    if len(first) < 20 and len(senses) > 1:
        return first + "; " + senses[1]
    return first


def read_overrides(path):
    """Character-wide entries {char: (reading, definition)} and place entries
    {(hexagram, section, position): (char, reading, definition)}. An empty
    reading or definition keeps the one from elsewhere."""
    by_char, by_place = {}, {}
    with open(path, encoding="utf-8") as f:
        for lineno, line in enumerate(f, 1):
            line = line.rstrip("\n")
            if not line.strip() or line.startswith("#"):
                continue
            cols = line.split("\t")
            if len(cols) != 6:
                sys.exit("%s:%d: expected 6 columns" % (path, lineno))
            ch, hexagram, section, position, reading, definition = cols
            if hexagram == "*":
                if ch in by_char:
                    sys.exit("%s:%d: %s given twice" % (path, lineno, ch))
                by_char[ch] = (reading, definition)
            else:
                by_place[(int(hexagram), section, int(position))] = (ch, reading, definition)
    return by_char, by_place


def selector_letters(i):
    """a, b, ..., z, aa, ab, ... for the homophones of one reading."""
    s = ""
    i += 1
    while i:
        i, r = divmod(i - 1, 26)
        s = chr(97 + r) + s
    return s


def build(texts, unihan, by_char, by_place):
    # Every character occurrence gets a (reading, code point, definition) entry.
    occurrences = {}
    used_places = set()
    for (n, section), chars in sorted(texts.items()):
        for pos, ch in enumerate(chars, 1):
            fields = unihan.get(ch, {})
            reading = unihan_reading(fields)
            definition = short_definition(fields.get("kDefinition", ""))
            if ch in by_char:
                r, d = by_char[ch]
                reading, definition = r or reading, d or definition
            place = by_place.get((n, section, pos))
            if place:
                if place[0] != ch:
                    sys.exit("override %d %s %d names %s but the text has %s" % (n, section, pos, place[0], ch))
                reading, definition = place[1] or reading, place[2] or definition
                used_places.add((n, section, pos))
            if not reading or not definition:
                sys.exit("no reading or definition for %s (U+%04X)" % (ch, ord(ch)))
            occurrences[(n, section, pos)] = (to_ascii(reading.lower()), ord(ch), to_ascii(definition, True))
    unused = set(by_place) - used_places
    if unused:
        sys.exit("overrides for places not in the text: %s" % sorted(unused))

    # Homophones (same reading) are told apart by a letter after the tone.
    by_reading = {}
    for entry in set(occurrences.values()):
        by_reading.setdefault(entry[0], []).append(entry)
    keys = {}
    for reading, entries in by_reading.items():
        tone = tone_of(unescape(reading))
        for i, entry in enumerate(sorted(entries, key=lambda e: (e[1], e[2]))):
            keys[entry] = "%d%s %s" % (tone, selector_letters(i), reading)

    yijing = []
    for n in range(1, 65):
        yijing.append("<HN>%d</HN>" % n)
        for section in SECTIONS:
            if (n, section) not in texts:
                continue
            tag = "TAG" if section == "NAME" else section
            items = []
            for pos in range(1, len(texts[(n, section)]) + 1):
                selector, reading = keys[occurrences[(n, section, pos)]].split(" ")
                items.append(reading + " " + selector)
            yijing.append("<%s>%s</%s>" % (tag, " ".join(items), tag))
    ed = sorted("%s %X %s" % (keys[e], e[1], e[2]) for e in keys)
    return yijing, ed


def unescape(text):
    return re.sub(r"&#(\d+);", lambda m: chr(int(m.group(1))), text)


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--source", default=HERE / "zhouyi.tsv")
    ap.add_argument("--unihan", default="/usr/share/unicode/Unihan_Readings.txt.bz2")
    ap.add_argument("--overrides", default=HERE / "overrides.tsv")
    ap.add_argument("--out", default=ROOT / "content" / "texto")
    args = ap.parse_args()
    if not Path(args.unihan).exists():
        sys.exit("%s is missing: install Debian's unicode-data" % args.unihan)

    texts = read_source(args.source)
    wanted = {ch for chars in texts.values() for ch in chars}
    unihan = read_unihan(args.unihan, wanted)
    by_char, by_place = read_overrides(args.overrides)
    yijing, ed = build(texts, unihan, by_char, by_place)

    out = Path(args.out)
    out.mkdir(parents=True, exist_ok=True)
    for name, lines in (("yijing.txt", yijing), ("ed.txt", ed)):
        with open(out / name, "w", encoding="ascii", newline="\n") as f:
            f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
