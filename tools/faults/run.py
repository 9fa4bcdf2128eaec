#!/usr/bin/env python3
"""Plants each fault of faults.txt, one at a time, in a scratch copy of a tree, rebuilds what it
touches (one build folder as build-asan/ has it, at -O1: no windows, clang, the sanitizers and the
fuzz targets; ccache when there is one) and runs the tests of the programs whose bytes the fault
changed (a program that does not link the faulted code cannot catch it): the core tests, and the
fuzz and net tests only if those let the fault through. Prints one line per fault and writes the
same record to --record.

  tools/faults/run.py [--tree DIR] [--work DIR] [--record FILE] [--all] [FAULT-NUMBER...]

Faults run in the order their numbers are given (default: all, in the file's order). Without
--all the record names the first tests that failed; with it, every test of both stages. A fault
whose text is not found once is reported, not planted.
"""
import argparse
import hashlib
import json
import os
import pathlib
import re
import shutil
import signal
import subprocess
import sys
import time

HERE = pathlib.Path(__file__).resolve().parent
LABELS = ["core", "fuzz", "net"]
STAGES = [["core"], ["fuzz", "net"]]


def read_faults(path):
    faults = []
    for block in re.split(r"\n(?=\[)", path.read_text(encoding="utf-8")):
        lines = [line for line in block.splitlines() if line and not line.startswith("#")]
        if not lines or not lines[0].startswith("["):
            continue
        file, what = re.match(r"\[(.+?)\] (.*)", lines[0]).groups()
        old = next(line[2:] for line in lines if line.startswith("- "))
        new = next(line[2:] for line in lines if line.startswith("+ "))
        faults.append({"number": len(faults) + 1, "file": file, "what": what, "old": old, "new": new})
    return faults


def copy_tree(tree, source):
    files = subprocess.run(["git", "-C", tree, "ls-files", "-z", "--cached", "--others",
                            "--exclude-standard"], check=True, capture_output=True).stdout
    for name in filter(None, files.decode().split("\0")):
        origin, target = pathlib.Path(tree, name), source / name
        if not origin.is_file():
            continue
        if target.exists() and target.read_bytes() == origin.read_bytes():
            continue
        target.parent.mkdir(parents=True, exist_ok=True)
        shutil.copy(origin, target)  # dated now, so that the build takes it


def run(command, **kwargs):
    return subprocess.run(command, capture_output=True, text=True, **kwargs)


def configure(source, build):
    launcher = ["-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"] if shutil.which("ccache") else []
    run(["cmake", "-S", source, "-B", build, "-G", "Ninja", "-DCMAKE_CXX_COMPILER=clang++",
         "-DCMAKE_BUILD_TYPE=None", "-DCMAKE_CXX_FLAGS=-O1", "-DBOLTA_GUI=OFF", "-DBOLTA_NET=ON",
         "-DBOLTA_FUZZ=ON", "-DBOLTA_SANITIZE=ON", *launcher], check=True)


def tests_by_program(build):
    """Each test of the three labels, with its label and the program it runs."""
    listing = json.loads(run(["ctest", "--test-dir", build, "--show-only=json-v1"],
                             check=True).stdout)
    tests = []
    for test in listing["tests"]:
        labels = next((p["value"] for p in test.get("properties", []) if p["name"] == "LABELS"), [])
        label = next((l for l in LABELS if l in labels), None)
        if label is None:
            continue
        command = test["command"]
        # A script's test drives the program it names in the build folder.
        program = (f"{build}/fuzz/fuzz_{command[-1]}" if label == "fuzz" else
                   next((word for word in command if word.startswith(f"{build}/")), command[0]))
        tests.append({"name": test["name"], "label": label, "program": program})
    return tests


def digests(tests):
    return {program: hashlib.sha256(pathlib.Path(program).read_bytes()).hexdigest()
            for program in {t["program"] for t in tests}}


def failing(build, names, stop):
    """The tests among `names` that fail; with `stop`, the first ones only."""
    if not names:
        return []
    pattern = "^(" + "|".join(re.escape(n) for n in names) + ")$"
    # A fault that makes a test hang is caught by the timeout (the tests without one of their own).
    output = run(["ctest", "--test-dir", build, "-R", pattern, "-j", str(os.cpu_count() or 2),
                  "--timeout", "300", *(["--stop-on-failure"] if stop else [])]).stdout
    failed = pathlib.Path(build, "Testing/Temporary/LastTestsFailed.log")
    if not failed.exists():
        return []
    found = [line.split(":", 1)[1] for line in failed.read_text().splitlines() if ":" in line]
    failed.unlink()
    # A test that ran out of time is marked: a hang, or a machine too loaded for the test.
    slow = set(re.findall(r"Test +#\d+: (\S+) .*\*\*\*Timeout", output))
    return [n + (" (timeout)" if n in slow else "") for n in found if n in names]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--tree", default=str(HERE.parent.parent))
    parser.add_argument("--work", default="/tmp/bolta-faults")
    parser.add_argument("--record", default=None)
    parser.add_argument("--faults", default=str(HERE / "faults.txt"))
    parser.add_argument("--all", action="store_true")
    parser.add_argument("only", nargs="*", type=int)
    args = parser.parse_args()
    # A stopped run still puts the faulted file back (the finally below).
    signal.signal(signal.SIGTERM, lambda *_: sys.exit("stopped"))

    work = pathlib.Path(args.work)
    source, build = work / "src", work / "build"
    copy_tree(args.tree, source)
    configure(str(source), str(build))
    record = open(args.record or work / "record.txt", "w", encoding="utf-8")

    def say(line):
        print(line, flush=True)
        record.write(line + "\n")
        record.flush()

    if run(["ninja", "-C", build]).returncode != 0:
        sys.exit("the untouched tree does not build")
    tests = tests_by_program(str(build))
    # A test that fails on the untouched tree is tried once more alone (a loaded machine).
    once = failing(str(build), [t["name"] for t in tests], False)
    broken = failing(str(build), [name.split(" (")[0] for name in once], False)
    say(f"# tree {args.tree}; failing before any fault: {', '.join(broken) or 'none'}")
    tests = [t for t in tests if t["name"] not in {name.split(" (")[0] for name in broken}]
    clean = digests(tests)

    faults = read_faults(pathlib.Path(args.faults))
    if args.only:
        faults = [faults[number - 1] for number in args.only]
    caught = escaped = 0
    for fault in faults:
        start = time.monotonic()
        path = source / fault["file"]
        original = path.read_text(encoding="utf-8", errors="surrogateescape")
        head = f"{fault['number']:3} {fault['file']}: {fault['what']}:"
        if original.count(fault["old"]) != 1:
            say(f"{head} NOT PLANTED (text found {original.count(fault['old'])} times)")
            continue
        path.write_text(original.replace(fault["old"], fault["new"]), encoding="utf-8",
                        errors="surrogateescape")
        try:
            found = []
            for stage in STAGES:
                # Only the stage's programs are built: most faults end at the first.
                programs = sorted({os.path.relpath(t["program"], build) for t in tests
                                   if t["label"] in stage})
                if run(["ninja", "-C", build, *programs]).returncode != 0:
                    found = None
                    break
                now = digests([t for t in tests if t["label"] in stage])
                changed = [t["name"] for t in tests if now.get(t["program"], clean[t["program"]])
                           != clean[t["program"]]]
                found += failing(str(build), changed, not args.all)
                if found and not args.all:
                    break
            if found is None:
                say(f"{head} DOES NOT BUILD")
                continue
        finally:
            # The restored file is newer than its objects, so the next build compiles it again.
            path.write_text(original, encoding="utf-8", errors="surrogateescape")
        seconds = time.monotonic() - start
        if found:
            caught += 1
            say(f"{head} caught by {', '.join(found)} ({seconds:.0f} s)")
        else:
            escaped += 1
            say(f"{head} ESCAPED ({seconds:.0f} s)")
    say(f"# {caught} caught, {escaped} escaped")


if __name__ == "__main__":
    main()
