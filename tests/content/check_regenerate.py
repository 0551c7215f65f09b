#!/usr/bin/python3
"""Regenerates yijing.txt and ed.txt from the source text, Unihan and our
overrides, and compares them with the committed files. Exits 77 (skipped)
when Debian's unicode-data is not installed.

Usage: check_regenerate.py REPO_ROOT
"""
import subprocess
import sys
import tempfile
from pathlib import Path

UNIHAN = Path("/usr/share/unicode/Unihan_Readings.txt.bz2")


def main():
    root = Path(sys.argv[1])
    if not UNIHAN.exists():
        print("%s is missing (Debian package unicode-data): skipped" % UNIHAN)
        sys.exit(77)
    with tempfile.TemporaryDirectory() as tmp:
        done = subprocess.run([sys.executable, str(root / "tools" / "texto" / "make_texto.py"), "--out", tmp],
                              capture_output=True, text=True)
        if done.returncode:
            print("make_texto.py failed: %s" % (done.stdout + done.stderr).strip())
            sys.exit(1)
        stale = []
        for name in ("yijing.txt", "ed.txt"):
            fresh = (Path(tmp) / name).read_bytes().splitlines()
            kept = (root / "content" / "texto" / name).read_bytes().splitlines()
            if fresh != kept:
                at = next((k for k, (a, b) in enumerate(zip(fresh, kept)) if a != b), min(len(fresh), len(kept)))
                stale.append("content/texto/%s differs from a fresh run at line %d: run tools/texto/make_texto.py"
                             % (name, at + 1))
    for s in stale:
        print(s)
    print("%d problems" % len(stale) if stale else "text sources are up to date")
    sys.exit(1 if stale else 0)


if __name__ == "__main__":
    main()
