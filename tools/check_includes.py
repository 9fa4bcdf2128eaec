#!/usr/bin/env python3
"""Keeps the direction of dependence: the core stands on interfaces it owns and never includes
the platform layer or a toolkit, network or window-system header.

    check_includes.py [ROOT]           fails, naming each offending line, when the rule is broken
    check_includes.py --graph [ROOT]   prints which folder includes which, with counts
"""
import re
import sys
from collections import Counter
from pathlib import Path

SOURCE_FOLDERS = ("app", "retrieval", "display", "mainwnd", "res", "platform", "tests", "fuzz", "bench")
SUFFIXES = {".cpp", ".h", ".hpp", ".cc"}

# Files outside platform/ and tests/ that may reach the toolkit: the composition root and the
# proxy dialog's own toolkit file.
EXEMPT = {
    "app/main.cpp",
    "app/bolta_app.cpp",
    "app/bolta_app.h",
    "mainwnd/proxy_settings_dlg.cpp",
    "mainwnd/proxy_settings_dlg.h",
}
EXEMPT_FOLDERS = ("platform/", "tests/", "fuzz/", "bench/")
FORBIDDEN = re.compile(r'^\s*#\s*include\s*[<"](platform/|wx/|gtk/|gdk/|X11/|curl/|webkit|JavaScriptCore/|glib)')
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')


def sources(root):
    for folder in SOURCE_FOLDERS:
        base = root / folder
        if base.is_dir():
            yield from (p for p in sorted(base.rglob("*")) if p.suffix in SUFFIXES and p.is_file())


def violations(root):
    for path in sources(root):
        rel = path.relative_to(root).as_posix()
        if rel in EXEMPT or rel.startswith(EXEMPT_FOLDERS):
            continue
        for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
            if FORBIDDEN.match(line):
                yield f"{rel}:{number}: {line.strip()}"


def graph(root):
    edges = Counter()
    for path in sources(root):
        src = path.relative_to(root).parts[0]
        for line in path.read_text(encoding="utf-8").splitlines():
            m = INCLUDE.match(line)
            if m and "/" in m.group(1):
                dst = m.group(1).split("/")[0]
                if dst != src and dst in SOURCE_FOLDERS:
                    edges[(src, dst)] += 1
    return edges


def main(argv):
    show_graph = "--graph" in argv
    args = [a for a in argv if a != "--graph"]
    root = Path(args[0]) if args else Path(__file__).resolve().parent.parent
    if show_graph:
        for (src, dst), count in sorted(graph(root).items()):
            print(f"{src:10} -> {dst:10} {count}")
        return 0
    found = list(violations(root))
    for line in found:
        print(f"core file reaches the platform or a toolkit: {line}", file=sys.stderr)
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
