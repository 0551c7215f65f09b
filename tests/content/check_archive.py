#!/usr/bin/python3
"""Checks the built data1.hhz: every member the program asks for is there,
every style sheet that a page links is there, and every member expands with
the program's key to the bytes of its source file in content/hhz.

Usage: check_archive.py HHZ_TOOL DATA1_HHZ CONTENT_HHZ_DIR
"""
import re
import subprocess
import sys
import tempfile
from pathlib import Path

WANTED = (["%02d.htm" % n for n in range(1, 65)] + ["about.htm", "intro.htm"]
          + ["%d.htm" % n for n in range(400, 408)] + ["coin.bmp", "coin1.bmp", "coin2.bmp", "coin3.bmp"])


def run(args):
    done = subprocess.run(args, capture_output=True, text=True)
    return done.returncode, done.stdout + done.stderr


def members(tool, archive):
    code, out = run([str(tool), "list", str(archive)])
    if code:
        return None, out.strip()
    names = []
    for line in out.splitlines():
        fields = line.split()
        if not fields or fields[:2] == ["name", "method"]:
            continue
        names.append(fields[0])
    return names, ""


def linked_style_sheets(folder):
    """{style sheet: [pages linking it]} over the pages in the folder."""
    links = {}
    for page in sorted(folder.glob("*.htm")):
        text = page.read_bytes().decode("latin-1")
        for href in re.findall(r'<link\b[^>]*\brel="?stylesheet"?[^>]*\bhref="([^"]+)"', text, re.I):
            links.setdefault(href, []).append(page.name)
    return links


def main():
    tool, archive, source = Path(sys.argv[1]), Path(sys.argv[2]), Path(sys.argv[3])
    if not tool.exists():
        print("the archive tool %s is not built (target hhz)" % tool)
        sys.exit(1)
    if not archive.exists():
        print("%s is missing: build the target stage_content to pack it" % archive)
        sys.exit(1)
    names, error = members(tool, archive)
    if names is None:
        print("hhz list %s failed: %s" % (archive, error))
        sys.exit(1)
    held = {n.lower() for n in names}
    problems = ["member %s is missing from data1.hhz" % n for n in WANTED if n.lower() not in held]
    for sheet, pages in sorted(linked_style_sheets(source).items()):
        if sheet.lower() not in held:
            problems.append("style sheet %s (linked by %s) is missing from data1.hhz" % (sheet, ", ".join(pages)))

    with tempfile.TemporaryDirectory() as tmp:
        code, out = run([str(tool), "extract", "--program-key", str(archive), "-C", tmp])
        if code:
            problems.append("data1.hhz does not expand with the program's key: %s" % out.strip())
        else:
            for name in names:
                src = source / name
                got = Path(tmp) / name
                if not src.exists():
                    problems.append("member %s has no source file in content/hhz (stale archive?)" % name)
                elif not got.exists() or got.read_bytes() != src.read_bytes():
                    problems.append("member %s differs from content/hhz/%s (stale archive?)" % (name, name))

    for p in problems:
        print(p)
    print("%d problems" % len(problems) if problems else "data1.hhz: ok (%d members)" % len(names))
    sys.exit(1 if problems else 0)


if __name__ == "__main__":
    main()
