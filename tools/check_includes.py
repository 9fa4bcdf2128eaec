#!/usr/bin/env python3
"""Keeps the direction of dependence. The folders stand in layers; a file includes headers of its
own layer and of those below it, never of one above. The core (the layers below platform/) stands
on interfaces it owns and includes no toolkit, network or window-system header.

    check_includes.py [ROOT]           fails, naming each offending line, when a rule is broken
    check_includes.py --graph [ROOT]   prints which layer includes which, with counts; an edge
                                       that runs upwards is marked
"""
import re
import sys
from collections import Counter
from pathlib import Path

# From the bottom up; README.md ("How the code is laid out") gives the reasons.
LAYERS = ("res", "app", "retrieval", "mainwnd", "display", "platform", "root", "tests", "fuzz", "bench")
# The files that put the tool together: the one layer above the platform besides the checks.
COMPOSITION_ROOT = {"app/main.cpp", "app/bolta_app.cpp", "app/bolta_app.h"}
# Test, fuzz and benchmark code stands on everything and nothing stands on it.
TOP = ("tests", "fuzz", "bench")
CORE = LAYERS[: LAYERS.index("platform")]

SUFFIXES = {".cpp", ".h", ".hpp", ".cc"}
TOOLKIT = re.compile(r"(wx|gtk|gdk|X11|curl|JavaScriptCore)/|webkit|glib")
INCLUDE = re.compile(r'^\s*#\s*include\s*[<"]([^">]+)[">]')


def layer(rel):
    """The layer of a file named from the root, or None for one outside the layered folders."""
    if rel in COMPOSITION_ROOT:
        return "root"
    folder = rel.split("/")[0]
    return folder if folder in LAYERS and folder != "root" else None


def rank(name):
    return len(LAYERS) if name in TOP else LAYERS.index(name)


def sources(root):
    for folder in LAYERS:
        base = root / folder
        if base.is_dir():
            yield from (p for p in sorted(base.rglob("*")) if p.suffix in SUFFIXES and p.is_file())


def includes(root, path):
    """(line number, line, included file named from the root or None, the include's text)"""
    for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        m = INCLUDE.match(line)
        if not m:
            continue
        target = None
        # Beside the includer first, as the compiler looks, then from the root.
        for base in (path.parent, root):
            candidate = (base / m.group(1)).resolve()
            if candidate.is_file() and candidate.is_relative_to(root.resolve()):
                target = candidate.relative_to(root.resolve()).as_posix()
                break
        yield number, line.strip(), target, m.group(1)


def violations(root):
    for path in sources(root):
        rel = path.relative_to(root).as_posix()
        src = layer(rel)
        for number, line, target, name in includes(root, path):
            dst = layer(target) if target else None
            if dst and rank(dst) > rank(src):
                yield f"{rel}:{number}: {src} includes {dst}, a layer above it: {line}"
            elif src in CORE and not target and TOOLKIT.match(name):
                yield f"{rel}:{number}: core file reaches a toolkit: {line}"


def graph(root):
    edges = Counter()
    for path in sources(root):
        src = layer(path.relative_to(root).as_posix())
        for _, _, target, _ in includes(root, path):
            dst = layer(target) if target else None
            if dst and dst != src:
                edges[(src, dst)] += 1
    return edges


def main(argv):
    show_graph = "--graph" in argv
    args = [a for a in argv if a != "--graph"]
    root = Path(args[0]) if args else Path(__file__).resolve().parent.parent
    if show_graph:
        for (src, dst), count in sorted(graph(root).items(), key=lambda e: (rank(e[0][0]), e[0])):
            upward = "  UPWARD" if rank(dst) > rank(src) else ""
            print(f"{src:10} -> {dst:10} {count}{upward}")
        return 0
    found = list(violations(root))
    for line in found:
        print(line, file=sys.stderr)
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
