#!/usr/bin/python3
"""Checks texto/yijing.txt and texto/ed.txt against the Chinese source text.

Reads yijing.txt the way the program does (record key line, optional TAG line,
GUACI, DAXIANG, L1..L6, L7 for hexagrams 1 and 2; word pairs "reading
selector"), resolves every item's key in ed.txt, and compares the resulting
characters with the source text without punctuation.

Usage: check_texto.py TEXTO_DIR ZHOUYI_TSV
Prints one line per problem and exits 1 when there is any.
"""
import csv
import re
import sys
from pathlib import Path

LINE_TAGS = ["<L%d>" % k for k in range(1, 7)]


def split_lines(data):
    """Lines end at CR LF, a lone CR or a lone LF."""
    return re.split(r"\r\n|\r|\n", data.decode("latin-1"))


def section(line, tag):
    """Content between the opening tag and the closing tag after it, or None."""
    start = line.find(tag)
    if start < 0:
        return None
    rest = line[start + len(tag):]
    end = rest.find("</" + tag[1:])
    return rest[:end] if end >= 0 else None


def parse_record(lines, n):
    """{section name: content} of hexagram n; a missing section is absent."""
    key = "<HN>%d</HN>" % n
    if key not in lines:
        return None
    i = lines.index(key) + 1
    line = lambda k: lines[k] if k < len(lines) else ""
    found = {}
    if "<TAG>" in line(i):
        found["TAG"] = section(line(i), "<TAG>")
        i += 1
    wanted = [("GUACI", i), ("DAXIANG", i + 1)] + [("L%d" % k, i + 1 + k) for k in range(1, 7)]
    if n in (1, 2):
        wanted.append(("L7", i + 8))
    for name, k in wanted:
        content = section(line(k), "<%s>" % name)
        if content is not None:
            found[name] = content
    return found


def items(content):
    """Word pairs; None when the content breaks the pair format."""
    words = content.split(" ")
    if not content or len(words) % 2 or "" in words:
        return None
    return [(words[k].lstrip("*"), words[k + 1][:9]) for k in range(0, len(words), 2)]


def lookup(key, dictionary):
    """The program's lookup: the first line that begins with the key."""
    for line in dictionary:
        if line.startswith(key):
            rest = line[len(key):].strip(" \t\r\n")
            if " " not in rest:
                return None
            code, definition = rest.split(" ", 1)
            return code.lstrip("*"), definition.strip()
    return None


def check_dictionary(dictionary):
    problems, entries = [], {}
    for no, line in enumerate(dictionary, 1):
        fields = line.split()
        if len(fields) < 4 or not re.fullmatch(r"[0-9A-F]{4,6}", fields[2]):
            problems.append("ed.txt line %d is not 'selector reading CODE definition': %r" % (no, line))
            continue
        key = fields[0] + " " + fields[1]
        if key in entries:
            problems.append("ed.txt line %d repeats the key %r" % (no, key))
        for earlier in dictionary[: no - 1]:
            if earlier.startswith(key):
                problems.append("ed.txt line %d: key %r is a prefix of the earlier line %r" % (no, key, earlier))
                break
        definition = line.split(" ", 3)[3]
        # Definitions are shown in the page's Latin font, which has no Chinese.
        if any(int(ref) >= 0x2E80 for ref in re.findall(r"&#(\d+);", definition)):
            problems.append("ed.txt line %d: the definition holds a Chinese character" % no)
        entries[key] = (fields[2], definition)
    return problems, entries


def read_source(path):
    texts = {}
    with open(path, encoding="utf-8", newline="") as f:
        for row in csv.DictReader(f, delimiter="\t"):
            chars = [c for c in row["text"] if re.match(r"[\u3400-\u9fff\uf900-\ufaff\U00020000-\U0003ffff]", c)]
            name = "TAG" if row["section"] == "NAME" else row["section"]
            texts[(int(row["hexagram"]), name)] = chars
    return texts


def main():
    texto, source = Path(sys.argv[1]), Path(sys.argv[2])
    problems = []
    for name in ("yijing.txt", "ed.txt"):
        data = (texto / name).read_bytes()
        if any(b > 127 for b in data):
            problems.append("%s holds bytes outside ASCII" % name)
    lines = split_lines((texto / "yijing.txt").read_bytes())
    dictionary = [l for l in split_lines((texto / "ed.txt").read_bytes()) if l]
    dict_problems, entries = check_dictionary(dictionary)
    problems += dict_problems
    texts = read_source(source)

    for n in range(1, 65):
        record = parse_record(lines, n)
        if record is None:
            problems.append("hexagram %d: no record line <HN>%d</HN>" % (n, n))
            continue
        for name in ["TAG", "GUACI", "DAXIANG"] + ["L%d" % k for k in range(1, 7)] + (["L7"] if n <= 2 else []):
            where = "hexagram %d %s" % (n, name)
            if name not in record:
                problems.append("%s: section missing or not closed" % where)
                continue
            pairs = items(record[name])
            if pairs is None:
                problems.append("%s: content is not word pairs separated by single blanks" % where)
                continue
            chars = []
            for reading, selector in pairs:
                key = selector + " " + reading
                if key not in entries:
                    problems.append("%s: key %r has no line of its own in ed.txt" % (where, key))
                found = lookup(key, dictionary)
                if not found or not re.fullmatch(r"[0-9A-F]{4,6}", found[0]) or not found[1]:
                    problems.append("%s: key %r resolves to no code and definition (%r)" % (where, key, found))
                    chars.append("?")
                    continue
                if key in entries and found[0] != entries[key][0]:
                    problems.append("%s: key %r resolves to %s instead of its own line" % (where, key, found[0]))
                chars.append(chr(int(found[0], 16)))
            expected = texts.get((n, name), [])
            if chars != expected:
                at = next((k for k, (a, b) in enumerate(zip(chars, expected)) if a != b), min(len(chars), len(expected)))
                problems.append("%s: text differs from the source at character %d (%s instead of %s)" % (
                    where, at + 1, "".join(chars[at:at + 3]), "".join(expected[at:at + 3])))

    for p in problems:
        print(p)
    print("%d problems" % len(problems) if problems else "yijing.txt and ed.txt: ok")
    sys.exit(1 if problems else 0)


if __name__ == "__main__":
    main()
