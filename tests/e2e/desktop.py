"""The harness of the end-to-end tests: a virtual desktop (Xvfb, openbox, xcompmgr for translucency,
trayer as system tray) per test class, the loopback board server, and the tool run from a copy of
its executable in a fresh folder, all observed from outside through the X server as a user would.
Run a test file as: FILE EXECUTABLE SCREENSHOT_DIR [unittest arguments, e.g. a class name].
"""
import os
import pathlib
import re
import shutil
import socket
import subprocess
import sys
import tempfile
import time
import unittest

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
sys.path.insert(0, os.path.join(ROOT, "tools"))
from children import spawn, stop  # noqa: E402

SERVER, DEMO = os.path.join(ROOT, "tools", "board_server.py"), os.path.join(ROOT, "demo")
BOARD_TITLE = "ボルタ見本板"  # the demo board's, in code page 932
SCREEN = (1024, 768)
ABOVE = "_NET_WM_STATE_ABOVE"
# Without a named proxy the tool follows the environment's; the tests decide for themselves.
for variable in ("http_proxy", "HTTP_PROXY", "all_proxy", "ALL_PROXY", "no_proxy", "NO_PROXY",
                 "GDK_BACKEND", "WAYLAND_DISPLAY"):
    os.environ.pop(variable, None)


def wait_for(what, predicate, timeout=15.0):
    """Polls `predicate` until it gives something true; fails the test after `timeout` seconds."""
    deadline = time.monotonic() + timeout
    while not (value := predicate()):
        if time.monotonic() > deadline:
            raise AssertionError("timed out waiting for " + what)
        time.sleep(0.1)
    return value


def refused_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def x(*command, check=False):
    """Runs an X client on the class's desktop and gives its standard output."""
    done = subprocess.run([str(c) for c in command], capture_output=True, text=True, timeout=20)
    if check and done.returncode != 0:
        raise AssertionError("%s failed: %s" % (command[0], done.stderr))
    return done.stdout


def xdotool(*actions):
    x("xdotool", *actions, check=True)


def key(*keys):
    xdotool("key", "--delay", 80, *keys)


def drag(start, offset, steps=6):
    """A left-button drag, a step at a time: the tool must see the press before the pointer moves."""
    xdotool("mousemove", *start, "mousedown", 1)
    time.sleep(0.3)
    for step in range(1, steps + 1):
        xdotool("mousemove", *(start[i] + offset[i] * step // steps for i in (0, 1)))
        time.sleep(0.05)
    time.sleep(0.2)
    xdotool("mouseup", 1)


def work_area():
    return tuple(int(v) for v in re.findall(r"-?\d+", x("xprop", "-root", "_NET_WORKAREA"))[:4])


def pixel(png, px, py):
    """The (r, g, b) of one pixel of a screenshot."""
    text = subprocess.run(["convert", png, "-format", "%%[pixel:p{%d,%d}]" % (px, py), "info:"],
                          capture_output=True, text=True, check=True).stdout
    scale = 255 / 100 if "%" in text else 1
    return tuple(round(float(v) * scale) for v in re.findall(r"[\d.]+", text)[:3])


class BoardServer:
    """tools/board_server.py on loopback with the given boards; it stops by itself too."""

    def __init__(self, boards, slow=0.0, options=()):
        command = ["python3", SERVER, "--slow", slow, "--lifetime", 300, *options]
        for name, folder in boards.items():
            command += ["--board", "%s=%s" % (name, folder)]
        self.process = spawn(command, stdout=subprocess.PIPE, text=True)
        self.port = int(self.process.stdout.readline())
        self.process.stdout.close()

    def thread(self, board):
        return "http://127.0.0.1:%d/test/read.cgi/%s/1234567890/" % (self.port, board)


class Window:
    """A top-level window as the X server and the window manager report it."""

    def __init__(self, wid):
        self.wid = wid

    def prop(self, name):
        return x("xprop", "-id", self.wid, name)

    def states(self):
        return self.prop("_NET_WM_STATE")

    def client(self):
        """(x, y, width, height) of the client area; outer() with the decorations."""
        info = x("xwininfo", "-id", self.wid)
        return tuple(int(re.search(label + r":\s+(-?\d+)", info).group(1)) for label in (
            "Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"))

    def outer(self):
        left, top, width, height = self.client()
        extents = re.findall(r"\d+", self.prop("_NET_FRAME_EXTENTS")) or [0] * 4
        ext_left, ext_right, ext_top, ext_bottom = map(int, extents)
        return (left - ext_left, top - ext_top, width + ext_left + ext_right,
                height + ext_top + ext_bottom)

    def settled_outer(self):
        """The outer rectangle once the frame is shown again (after a park, say)."""
        wait_for("the frame shown", lambda: "IsViewable" in x("xwininfo", "-id", self.wid), 10)
        return self.outer()

    def activate(self):
        x("xdotool", "windowactivate", "--sync", self.wid)
        time.sleep(0.2)


class Bolta:
    """The tool, run from its own copy of the executable in a folder of its own."""

    def __init__(self, executable, folder=None, name="bolta"):
        self.folder = folder or tempfile.mkdtemp(prefix="bolta-e2e-")
        self.path = os.path.join(self.folder, name)
        self.settings = os.path.join(self.folder, "Bolta.ini")
        if not os.path.exists(self.path):
            shutil.copy2(executable, self.path)
        self.process = None

    def start(self, *args, env=None):
        """Starts the tool with `args`, in the test's environment with `env` added."""
        self.process = spawn([self.path, *args], cwd=self.folder, env=dict(
            os.environ, WEBKIT_DISABLE_COMPOSITING_MODE="1",
            XDG_CACHE_HOME=os.path.join(self.folder, ".cache"),
            XDG_DATA_HOME=os.path.join(self.folder, ".local"), **(env or {})))
        return self

    def windows(self, title=None):
        """This process's shown windows, those captioned `title` when given."""
        found = []
        for wid in x("xdotool", "search", "--onlyvisible", "--class", "Bolta").split():
            text = x("xprop", "-id", wid, "_NET_WM_PID", "_NET_WM_NAME")
            name = re.search(r'_NET_WM_NAME\(UTF8_STRING\) = "(.*)"', text)
            name = name and name.group(1).encode().decode("unicode_escape").encode(
                "latin-1").decode()
            if "= %d\n" % self.process.pid in text and title in (None, name):
                found.append(Window(wid))
        return found

    def window(self, title, timeout=20):
        def found():
            if self.process.poll() is not None:
                raise AssertionError("the tool ended with %s" % self.process.returncode)
            return (self.windows(title) or [None])[0]

        return wait_for("a window titled %r" % title, found, timeout)

    def menu(self):
        return next((w for w in self.windows() if "POPUP_MENU" in w.prop(
            "_NET_WM_WINDOW_TYPE")), None)


class DesktopCase(unittest.TestCase):
    """A desktop, a folder and a board server per class; the tools a test starts are stopped and
    their folders removed after it."""

    executable = screenshots = None

    @classmethod
    def boards(cls):
        """The demo board, and one whose SETTING.TXT names no background picture."""
        half = os.path.join(cls.folder, "half")
        os.makedirs(half)
        with open(os.path.join(half, "SETTING.TXT"), "wb") as f:
            f.write("BBS_TITLE=見本\r\nBBS_TITLE_PICTURE=./title.png\r\n".encode("cp932"))
        return {"demo": DEMO, "half": half}

    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.mkdtemp(prefix="bolta-e2e-")
        cls.addClassCleanup(shutil.rmtree, cls.folder, ignore_errors=True)
        cls.processes = []
        cls.addClassCleanup(stop, cls.processes)
        read_end, write_end = os.pipe()
        cls.processes.append(spawn(["Xvfb", "-displayfd", write_end, "-screen", "0",
                                    "%dx%dx24" % SCREEN, "-nolisten", "tcp"], pass_fds=[write_end]))
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            os.environ["DISPLAY"] = ":" + pipe.readline().strip()
        # Openbox's own configuration less its Alt+Space binding: that key opens the focused
        # window's own window menu, as the tool expects of its desktop.
        config = os.path.join(cls.folder, "openbox.xml")
        with open("/etc/xdg/openbox/rc.xml") as f, open(config, "w") as out:
            out.write(re.sub(r'<keybind key="A-space">.*?</keybind>', "", f.read(), flags=re.S))
        cls.start_window_manager(config)
        cls.processes.append(spawn(["xcompmgr"]))
        cls.processes.append(spawn(["trayer", "--edge", "bottom", "--align", "right", "--widthtype",
                                    "pixel", "--width", 120, "--height", 32, "--SetDockType", "true"]))
        cls.tray = wait_for("the tray", lambda: x("xdotool", "search", "--name", "^panel$").split())[0]
        cls.board_folders = cls.boards()
        cls.server = BoardServer(cls.board_folders)
        cls.processes.append(cls.server.process)

    @classmethod
    def start_window_manager(cls, config):
        """Openbox, started again once should it end before it manages the screen (seen once on a
        busy machine); what it said is kept for the failure message."""
        log = os.path.join(cls.folder, "openbox.log")
        for attempt in range(2):
            with open(log, "wb") as out:
                openbox = spawn(["openbox", "--sm-disable", "--config-file", config], stderr=out)
            cls.processes.append(openbox)
            ready = lambda: openbox.poll() is not None or "WINDOW" in x(
                "xprop", "-root", "_NET_SUPPORTING_WM_CHECK")
            wait_for("the window manager on " + os.environ["DISPLAY"], ready)
            if openbox.poll() is None:
                return
        raise AssertionError("openbox ended with %s: %s" % (openbox.returncode,
                                                           pathlib.Path(log).read_text()))

    def bolta(self, folder=None, name="bolta"):
        run = Bolta(self.executable, folder, name)
        self.addCleanup(shutil.rmtree, run.folder, ignore_errors=True)
        self.addCleanup(lambda: run.process and stop([run.process]))
        return run

    def close(self, run, window, *keys):
        window.activate()
        key(*(keys or ["alt+F4"]))
        self.assertEqual(run.process.wait(timeout=10), 0, "exit code after a normal close")

    def open_menu(self, run, window, menu_key=None):
        """Opens the frame's window menu with `menu_key`, or by a right click on the page."""
        window.activate()
        if menu_key:
            key(menu_key)
        else:
            left, top, width, height = window.client()
            xdotool("mousemove", left + width // 2, top + height // 2, "click", 3)
        return wait_for("the window menu", run.menu, 5)

    def assert_settings(self, run, expected):
        """The settings file holds `expected` (waiting a while: keys are written one by one)."""
        read = lambda: os.path.exists(run.settings) and pathlib.Path(run.settings).read_bytes()
        deadline = time.monotonic() + 3
        while read() != expected and time.monotonic() < deadline:
            time.sleep(0.1)
        self.assertEqual(read(), expected)

    def screenshot(self, name):
        """A screenshot into the screenshot folder, or to `name` when that is a full path."""
        path = os.path.join(self.screenshots, name)
        x("import", "-window", "root", path, check=True)
        return path


def main():
    DesktopCase.executable = os.path.abspath(sys.argv[1])
    DesktopCase.screenshots = os.path.abspath(sys.argv[2])
    os.makedirs(DesktopCase.screenshots, exist_ok=True)
    unittest.main(module="__main__", argv=[sys.argv[0], "-v"] + sys.argv[3:])
