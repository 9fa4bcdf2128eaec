#!/usr/bin/env python3
"""Closes the tool at spread moments around the end of an F5 reload and around its first fit,
with the picture 2 s late, on a virtual desktop of the end-to-end tests, and counts the closes
that did not end well: a crash (an exit by a signal), another exit code, a tool that runs on, or
settings not written. Prints a line for each close and a summary line; exits 1 if any was bad.

    tools/close_race.py EXECUTABLE [--tries N] [--from S] [--to S] [--picture MODE]

Each moment counts from the picture's request at its host; they are spread evenly from S to S,
alternately after an F5 and in the first load. MODE is how the host answers that request (the
first load before an F5 is answered at once), as tools/board_server.py --pictures takes it:
"hold" with moments around the give-up tries a host that stops answering.

The window manager is BOLTA_E2E_WM's, as in the tests (openbox by default)."""
import argparse
import os
import pathlib
import shutil
import signal
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
from desktop import BOARD_TITLE, FITTED, Bolta, key, wait_for, xdotool  # noqa: E402
from test_picture import Picture  # noqa: E402


def answer(mode):
    pathlib.Path(Picture.mode + ".new").write_text(mode)
    os.replace(Picture.mode + ".new", Picture.mode)


def close_at(run, moment, after_f5, mode):
    """Starts the tool and closes it `moment` seconds after the picture's request, that of an F5
    on its fitted signboard or else that of the first load, the host answering as `mode` says;
    gives what went wrong, None when nothing did."""
    answer("serve" if after_f5 else mode)
    run.start(Picture.server.thread("far"), stderr=os.path.join(run.folder, "stderr"))
    if after_f5:
        window = run.window(BOARD_TITLE)
        wait_for("the signboard fitted", lambda: window.client()[2:] == FITTED)
        window.activate()
        answer(mode)
    asked = len(Picture.host.requests())
    if after_f5:
        key("F5")
    deadline = time.monotonic() + 30
    while len(Picture.host.requests()) == asked:  # closely watched: the moment counts from here
        if time.monotonic() > deadline or run.process.poll() is not None:
            return "no picture requested"
        time.sleep(0.01)
    requested = time.monotonic()
    if not after_f5:
        window = wait_for("a window of the tool", run.windows)[0]
        xdotool("windowactivate", window.wid)
    time.sleep(max(0.0, requested + moment - time.monotonic()))
    key("alt+F4")
    try:
        code = run.process.wait(timeout=30)
    except subprocess.TimeoutExpired:
        run.process.kill()
        return "runs on after the close"
    if code < 0:
        return "crashed by %s" % signal.Signals(-code).name
    if code:
        return "exit code %d" % code
    if b"WINDOW_LEFT=" not in (os.path.exists(run.settings) and
                               pathlib.Path(run.settings).read_bytes() or b""):
        return "settings not written"
    return None


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("executable")
    parser.add_argument("--tries", type=int, default=40, help="closes, half of them after F5")
    parser.add_argument("--from", dest="start", type=float, default=1.8, help="earliest moment")
    parser.add_argument("--to", dest="end", type=float, default=2.2, help="latest moment")
    parser.add_argument("--picture", default="delay 2",
                        help="how the picture host answers (see tools/board_server.py)")
    args = parser.parse_args()

    Picture.executable = os.path.abspath(args.executable)
    Picture.setUpClass()
    bad = []
    try:
        for i in range(args.tries):
            after_f5 = i % 2 == 0
            moment = args.start + (args.end - args.start) * (i // 2) / max(1, (args.tries - 1) // 2)
            run = Bolta(Picture.executable)
            what = "%.2f s after the picture request of %s" % (
                moment, "an F5" if after_f5 else "the first load")
            try:
                fault = close_at(run, moment, after_f5, args.picture)
            except AssertionError as error:
                fault = str(error)
            if run.process.poll() is None:
                run.process.kill()
            errors = pathlib.Path(run.folder, "stderr").read_text(errors="replace")
            critical = "Gtk-CRITICAL" in errors
            print("close %2d, %s: %s%s" % (i + 1, what, fault or "ended well",
                                           ", Gtk-CRITICAL on stderr" if critical else ""),
                  flush=True)
            if fault:
                bad.append("%s (%s)" % (what, fault))
            shutil.rmtree(run.folder, ignore_errors=True)
    finally:
        Picture.doClassCleanups()
    print("close_race: %d closes at %.2f-%.2f s after the picture request (%s) of an F5 or the "
          "first load, %d bad%s" % (args.tries, args.start, args.end, args.picture, len(bad),
                                    bad and ": " + "; ".join(bad) or ""))
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main())
