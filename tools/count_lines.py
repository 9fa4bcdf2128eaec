#!/usr/bin/env python3
"""Test code against product code, in non-blank, non-comment lines of .cpp, .h and .py files.

Usage: tools/count_lines.py [TREE]   (default: the tree this script is in)
"""
import pathlib
import re
import sys

TESTS = ["tests", "fuzz"]
PRODUCT = ["app", "retrieval", "display", "mainwnd", "res", "platform"]
SUFFIXES = (".cpp", ".h", ".py")


def code_lines(path):
    text = path.read_text(encoding="utf-8", errors="replace")
    comment = "#" if path.suffix == ".py" else "//"
    if comment == "//":
        text = re.sub(r"/\*.*?\*/", "", text, flags=re.S)
    return sum(1 for line in text.splitlines() if line.strip() and not line.strip().startswith(comment))


def per_folder(root, tops):
    # Fixtures are sample input, not test code.
    files = [p for top in tops for p in (root / top).rglob("*")
             if p.suffix in SUFFIXES and p.is_file() and "fixtures" not in p.parts]
    counts = {}
    for p in files:
        folder = str(p.parent.relative_to(root))
        counts[folder] = counts.get(folder, 0) + code_lines(p)
    return dict(sorted(counts.items()))


root = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else pathlib.Path(__file__).resolve().parent.parent
tests = per_folder(root, TESTS)
product = sum(per_folder(root, PRODUCT).values())
for folder, lines in tests.items():
    print(f"{folder:16} {lines:5}")
total = sum(tests.values())
print(f"{'test code':16} {total:5}\n{'product code':16} {product:5}\n{'ratio':16} {100 * total / product:5.1f} %")
