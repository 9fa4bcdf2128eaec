#!/usr/bin/env python3
"""How fast the tool puts the demo signboard on the screen, against the bare web engine.

Runs on a virtual desktop of its own (Xvfb, openbox, xcompmgr) with the demo board on the loopback
board server. Each run is timed from the process's start to the moment its window is on the
screen captioned with the board title, on the X server's events (bench/title_probe); the run's
whole process tree is stopped at that moment and its memory read, so that both programs are
measured at the same point of their start. Two scenarios:
  loopback   the server answers at once; the reference shows the page without fetching anything
  distant    the server answers every request 100 ms late; the reference fetches SETTING.TXT,
             then opens its window, one thing after the other
The tool and the reference run interleaved, after a warm-up run each.
    bench/bench.py BUILD-DIR [--runs N]
"""
import argparse
import os
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tools"))
from children import spawn, stop  # noqa: E402

TITLE = "ボルタ見本板"  # the demo board's
LATENCY = 0.1
GOALS = {"loopback": 0.85, "distant": 0.75}
MEMORY_GOAL = 0.85  # the tool's PSS against the bare engine's, on loopback
TIMEOUT = 30


def desktop(processes):
    """A virtual screen with a window manager and a compositor; sets DISPLAY."""
    read_end, write_end = os.pipe()
    processes.append(spawn(["Xvfb", "-displayfd", write_end, "-screen", "0", "1024x768x24",
                            "-nolisten", "tcp"], pass_fds=[write_end]))
    os.close(write_end)
    with os.fdopen(read_end) as pipe:
        os.environ["DISPLAY"] = ":" + pipe.readline().strip()
    processes.append(spawn(["openbox", "--sm-disable"]))
    deadline = time.monotonic() + 10
    while "window id" not in subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"],
                                            capture_output=True, text=True).stdout:
        if time.monotonic() > deadline:
            raise SystemExit("bench: the window manager did not start")
        time.sleep(0.1)
    processes.append(spawn(["xcompmgr"]))


def board_server(processes, latency):
    server = spawn(["python3", os.path.join(ROOT, "tools", "board_server.py"), "--board",
                    "demo=" + os.path.join(ROOT, "demo"), "--latency", latency,
                    "--lifetime", 3600], stdout=subprocess.PIPE, text=True)
    processes.append(server)
    return "http://127.0.0.1:%d" % int(server.stdout.readline())


def tree(pid):
    """`pid` and all its descendants."""
    children = {}
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            try:
                with open("/proc/%s/stat" % entry) as f:
                    parent = int(f.read().rsplit(")", 1)[1].split()[1])
            except (OSError, IndexError, ValueError):
                continue
            children.setdefault(parent, []).append(int(entry))
    found, todo = [], [pid]
    while todo:
        found.append(todo.pop())
        todo.extend(children.get(found[-1], []))
    return found


# The engine's helper processes by the name the kernel gives them; the program itself is the UI.
ROLES = {"WebKitWebProces": "web", "WebKitNetworkPr": "network"}
ROLE_ORDER = ("UI", "web", "network", "other")


def memory_kib(pid, pids):
    """(PSS, summed peak RSS, PSS by role: UI, web, network) of the processes, in KiB."""
    pss = peak = 0
    roles = {}
    for process in pids:
        try:
            with open("/proc/%d/smaps_rollup" % process) as f:
                own = sum(int(line.split()[1]) for line in f if line.startswith("Pss:"))
            with open("/proc/%d/status" % process) as f:
                peak += sum(int(line.split()[1]) for line in f if line.startswith("VmHWM:"))
            with open("/proc/%d/comm" % process) as f:
                role = "UI" if process == pid else ROLES.get(f.read().strip(), "other")
        except OSError:
            continue
        pss += own
        roles[role] = roles.get(role, 0) + own
    return pss, peak, roles


def run_once(probe, command, env):
    """(seconds to the captioned window, PSS KiB, peak RSS KiB, PSS KiB by role) of one start of
    `command`."""
    probe_run = subprocess.Popen([probe, str(TIMEOUT), TITLE, *command], env=env,
                                 stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                 stderr=subprocess.PIPE, text=True)
    words = probe_run.stdout.readline().split()
    if len(words) != 2 or words[0] == "timeout":
        out, errors = probe_run.communicate()
        raise SystemExit("bench: %s showed no window titled %s (%s)" % (
            command[0], TITLE, " ".join(words) or out.strip() or errors.strip()))
    seconds, pid = float(words[0]), int(words[1])
    pids = tree(pid)
    pss, peak, roles = memory_kib(pid, pids)
    os.killpg(pid, signal.SIGTERM)
    os.killpg(pid, signal.SIGCONT)  # stopped by the probe: the signal is taken once it runs
    probe_run.communicate()  # the probe leaves with its input
    # The engine's processes leave with the program; the next run must not share the machine.
    deadline = time.monotonic() + 5
    while any(os.path.exists("/proc/%d" % p) for p in pids) and time.monotonic() < deadline:
        time.sleep(0.02)
    for p in pids:
        try:
            os.kill(p, signal.SIGKILL)
        except ProcessLookupError:
            pass
    return seconds, pss, peak, roles


def describe(name, samples):
    times = sorted(s[0] for s in samples)
    pss = sorted(s[1] / 1024 for s in samples)
    peak = max(s[2] for s in samples) / 1024
    print("  %-10s median %.3f s  min %.3f  max %.3f  (n=%d)   PSS %.1f MiB (%.1f-%.1f)  "
          "peak RSS %.1f MiB" % (name, statistics.median(times), times[0], times[-1], len(times),
                                 statistics.median(pss), pss[0], pss[-1], peak))
    # Where the memory is: each process's median, so that a change shows in the process it is in.
    roles = [role for role in ROLE_ORDER if any(role in s[3] for s in samples)]
    print("  %-10s PSS by process: %s" % ("", ", ".join(
        "%s %.1f MiB" % (role, statistics.median(s[3].get(role, 0) / 1024 for s in samples))
        for role in roles)))
    return statistics.median(times), statistics.median(pss)


def scenario(name, latency, runs, programs, folder):
    processes = []
    try:
        server = board_server(processes, latency)
        demo = server + "/demo/"
        tool = [programs["bolta"], server + "/test/read.cgi/demo/1234567890/"]
        reference = [programs["bare_webkit"], TITLE, demo + "background.gif", demo + "title.png"]
        if latency:
            reference.append(demo + "SETTING.TXT")
        commands = {"bolta": tool, "bare": reference}
        envs = {}
        for who in commands:
            home = os.path.join(folder, name, who)
            envs[who] = dict(os.environ, XDG_CACHE_HOME=os.path.join(home, "cache"),
                             XDG_DATA_HOME=os.path.join(home, "data"),
                             XDG_CONFIG_HOME=os.path.join(home, "config"))
        samples = {who: [] for who in commands}
        order = list(commands)
        for who in order:  # warm-up
            run_once(programs["title_probe"], commands[who], envs[who])
        for round_ in range(runs):
            for who in (order if round_ % 2 == 0 else order[::-1]):
                samples[who].append(run_once(programs["title_probe"], commands[who], envs[who]))
        print("%s: %s" % (name, "server answers at once; reference shows the page" if not latency
                          else "server answers %d ms late; reference fetches SETTING.TXT, then "
                          "shows the page" % (latency * 1000)))
        tool_time, tool_pss = describe("bolta", samples["bolta"])
        bare_time, bare_pss = describe("bare", samples["bare"])
        ratio = tool_time / bare_time
        print("  ratio %.2f (goal <= %.2f: %s)" % (ratio, GOALS[name],
                                                    "met" if ratio <= GOALS[name] else "missed"))
        return ratio, tool_pss / bare_pss
    finally:
        stop(processes)


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("build", help="the build folder holding bolta and bench/")
    parser.add_argument("--runs", type=int, default=9, help="timed runs of each program (9)")
    args = parser.parse_args()

    folder = tempfile.mkdtemp(prefix="bolta-bench-")
    processes = []
    try:
        # The tool from a folder of its own: no settings file of an earlier run.
        programs = {"bolta": os.path.join(folder, "bolta")}
        shutil.copy2(os.path.join(args.build, "bolta"), programs["bolta"])
        for name in ("bare_webkit", "title_probe"):
            programs[name] = os.path.join(args.build, "bench", name)
        desktop(processes)
        results = {name: scenario(name, latency, args.runs, programs, folder)
                   for name, latency in (("loopback", 0), ("distant", LATENCY))}
        memory = results["loopback"][1]
        print("  memory: bolta's process tree PSS %.2f x the bare engine's (goal <= %.2f: %s)"
              % (memory, MEMORY_GOAL, "met" if memory <= MEMORY_GOAL else "missed"))
        met = all(results[name][0] <= GOALS[name] for name in GOALS) and memory <= MEMORY_GOAL
        print("summary: loopback ratio %.2f, distant ratio %.2f, memory ratio %.2f: goals %s" % (
            results["loopback"][0], results["distant"][0], memory, "met" if met else "missed"))
    finally:
        stop(processes)
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
