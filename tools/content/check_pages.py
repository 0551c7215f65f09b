#!/usr/bin/env python3
"""Checks the hexagram pages of content/hhz against the rules the page builder
relies on (see content/README.md). Usage: check_pages.py CONTENT_HHZ_DIR [N...]
Prints one line per problem and exits 1 when there is any."""
import re
import sys
from pathlib import Path

TITLES = [
    "About Lunvareth",
    "01 - The Creative / Activity / Dynamic Force", "02 - The Receptive", "03 - Initial Difficulty",
    "04 - Youthful Folly", "05 - Waiting", "06 - Conflict / Lawsuit", "07 - The Army", "08 - Union",
    "09 - Little Domestication", "10 - Treading", "11 - Harmony / Great", "12 - Standstill / Stagnation",
    "13 - Fellowship", "14 - Great Possession", "15 - Modesty", "16 - Enthusiasm", "17 - Following",
    "18 - Correcting Decay / Corruption", "19 - Approach / Leadership", "20 - Contemplation",
    "21 - Biting Through", "22 - Elegance / Adornment / Grace", "23 - Splitting Apart / Decay",
    "24 - Return", "25 - Innocence / No expectations", "26 - Great Accumulation",
    "27 - Nourishment / The Jaws", "28 - Great Excess", "29 - Pit doubled / Pit within a pit",
    "30 - The Clinging / Fire", "31 - Influence / Reciprocity", "32 - Duration / Constancy",
    "33 - Retreat", "34 - Great Power", "35 - Progress / Advance", "36 - Suppressed Light",
    "37 - The Family / The Clan", "38 - Antagonism / Opposition", "39 - Hampered / Obstruction",
    "40 - Liberation", "41 - Decrease ", "42 - Increase", "43 - Breakthrough / Resoluteness / Parting",
    "44 - Close Encounter / Meeting", "45 - Gathering together", "46 - Ascending ",
    "47 - Oppression / Besieged / Impasse", "48 - The Well", "49 - Revolution / Getting rid of",
    "50 - The Caldron / Sacrificial Vessel", "51 - Shock", "52 - Restraint", "53 - Gradual Development",
    "54 - The Marrying Maiden", "55 - Fullness / Abundance", "56 - Sojourner / Wanderer",
    "57 - Gentle Influence / Penetration / The Wind", "58 - Joyousness / The Lake",
    "59 - Dispersion / Dissolution / The Flood", "60 - Limitation", "61 - Inner Truth",
    "62 - Excess of the Small", "63 - Already Across", "64 - Before Crossing",
]
HEADINGS = ["First", "Second", "Third", "Fourth", "Fifth", "Top"]


def find_line(start, text, lines):
    if start < 0:
        return -1
    for i in range(start, len(lines)):
        if text in lines[i]:
            return i
    return -1


def words(lines):
    text = "\n".join(lines)
    text = re.sub(r"<head>.*?</head>", " ", text, flags=re.S)
    text = re.sub(r"<[^>]*>", " ", text)
    text = re.sub(r"&[#\w]+;", " ", text)
    return len(re.findall(r"[A-Za-z][A-Za-z'-]*", text))


def check(path, n):
    problems = []
    raw = path.read_bytes()
    if any(b > 127 for b in raw):
        problems.append("non-ASCII byte (use a character reference)")
    lines = raw.decode("latin-1").splitlines()
    body = find_line(0, "<body>", lines)
    if body < 0 or lines[body].strip() != "<body>":
        problems.append("no line holding exactly <body>")
    if not re.search(r'<link rel="stylesheet" href="[^"]+"', "\n".join(lines[: max(body, 0) + 1])):
        problems.append("no <link rel=\"stylesheet\" href=...> before <body>")
    t = find_line(0, '<p class="titulohexa">', lines)
    if t < 0 or t < body:
        problems.append("title line missing or before <body>")
    else:
        m = re.search(r'<span class="hxtitle">(.*?)</span>', lines[t])
        if not m or m.group(1) != TITLES[n]:
            problems.append("title %r differs from %r" % (m.group(1) if m else None, TITLES[n]))
        if "&#x" not in lines[t]:
            problems.append("title line lacks the Chinese name")
    first_comment = find_line(0, "dicccomment", lines)
    judg = find_line(0, ">The Judgment<", lines)
    if first_comment < 0 or (judg >= 0 and first_comment < judg) or first_comment < t:
        problems.append("first dicccomment line is not the judgment's commentary")
    img = find_line(0, ">The Image<", lines)
    if img < 0 or find_line(img, "dicccomment", lines) < 0 or img < first_comment:
        problems.append(">The Image< heading missing, misplaced or without commentary")
    prev = img
    heads = [(h, '<p class="titulo-dictimage">' + h) for h in HEADINGS]
    if n in (1, 2):
        heads.append(("All lines", '<p class="titulo-dictimage">All lines'))
    for word, marker in heads:
        a = find_line(0, ">" + word, lines)
        b = find_line(0, marker, lines)
        if b < 0:
            problems.append("heading %r missing" % marker)
            continue
        if a != b:
            problems.append("'>%s' occurs before its heading (line %d)" % (word, a + 1))
        if b <= prev:
            problems.append("heading %r out of order" % word)
        c = find_line(b, "dicccomment", lines)
        nxt = [find_line(b + 1, m2, lines) for _, m2 in heads]
        nxt = [x for x in nxt if x > b]
        if c < 0 or (nxt and c > min(nxt)):
            problems.append("heading %r has no commentary line before the next heading" % word)
        prev = b
    if n not in (1, 2) and find_line(0, ">All lines", lines) >= 0:
        problems.append("'>All lines' only belongs to hexagrams 1 and 2")
    w = words(lines)
    if w < 450:
        problems.append("only %d English words (at least 450)" % w)
    return problems, w


def main():
    folder = Path(sys.argv[1])
    wanted = [int(a) for a in sys.argv[2:]] or list(range(1, 65))
    bad = 0
    for n in wanted:
        path = folder / ("%02d.htm" % n)
        if not path.exists():
            print("%s: missing" % path.name)
            bad += 1
            continue
        problems, w = check(path, n)
        for p in problems:
            print("%s: %s" % (path.name, p))
        bad += bool(problems)
        if not problems:
            print("%s: ok (%d words)" % (path.name, w))
    sys.exit(1 if bad else 0)


if __name__ == "__main__":
    main()
