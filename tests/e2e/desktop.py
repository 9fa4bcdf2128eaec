"""A virtual desktop for the end-to-end tests, and the tool as a user sees it on it.

Xvfb on a display number of its own, openbox as window manager, xcompmgr for translucency and
trayer as system tray; the loopback board server; and the tool run from a copy of the executable
in a fresh folder. Everything is observed from outside, through the X server, as a user would:
window titles and geometry, window-manager state, screenshots, the settings file.
"""
import os
import re
import shutil
import socket
import subprocess
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
SERVER = os.path.join(HERE, "..", "..", "tools", "board_server.py")
SCREEN = (1024, 768)


def wait_for(what, predicate, timeout=15.0, interval=0.1):
    """Polls `predicate` until it gives something true; fails the test after `timeout` seconds."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError("timed out waiting for " + what)
        time.sleep(interval)


class Desktop:
    """Xvfb + openbox + xcompmgr + trayer, stopped by close()."""

    def __init__(self):
        self.processes = []
        self.config = None
        try:
            self._start_desktop()
        except BaseException:
            self.close()
            raise

    def _start_desktop(self):
        read_end, write_end = os.pipe()
        xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "%dx%dx24" % SCREEN,
             "-nolisten", "tcp"],
            pass_fds=[write_end], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        self.processes.append(xvfb)
        with os.fdopen(read_end) as pipe:
            number = pipe.readline().strip()
        if not number:
            raise RuntimeError("Xvfb did not start")
        self.display = ":" + number
        self.env = dict(os.environ, DISPLAY=self.display)
        self.env.pop("GDK_BACKEND", None)
        self.env.pop("WAYLAND_DISPLAY", None)
        self._start(["openbox", "--sm-disable", "--config-file", self._openbox_config()])
        wait_for("the window manager", lambda: "_NET_SUPPORTING_WM_CHECK(WINDOW)" in self.x(
            "xprop", "-root", "_NET_SUPPORTING_WM_CHECK"))
        self._start(["xcompmgr"])
        self._start(["trayer", "--edge", "bottom", "--align", "right", "--widthtype", "pixel",
                     "--width", "120", "--height", "32", "--SetDockType", "true"])
        self.tray = wait_for("the tray", lambda: self.x(
            "xdotool", "search", "--name", "^panel$").split())[0]

    def _openbox_config(self):
        """Openbox's own configuration less its Alt+Space binding: that key opens the focused
        window's own window menu, as the tool expects of its desktop."""
        with open("/etc/xdg/openbox/rc.xml") as f:
            text = f.read()
        text = re.sub(r'<keybind key="A-space">.*?</keybind>', "", text, flags=re.S)
        self.config = tempfile.NamedTemporaryFile("w", prefix="bolta-openbox-", suffix=".xml")
        self.config.write(text)
        self.config.flush()
        return self.config.name

    def _start(self, command):
        self.processes.append(subprocess.Popen(command, env=self.env, stdout=subprocess.DEVNULL,
                                               stderr=subprocess.DEVNULL))

    def close(self):
        if self.config:
            self.config.close()
        for process in reversed(self.processes):
            process.terminate()
        for process in reversed(self.processes):
            try:
                process.wait(timeout=5)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()

    def x(self, *command, check=False):
        """Runs an X client on this desktop and gives its standard output."""
        done = subprocess.run(command, env=self.env, capture_output=True, text=True, timeout=20)
        if check and done.returncode != 0:
            raise AssertionError("%s failed: %s" % (command[0], done.stderr))
        return done.stdout

    def windows_of_class(self, name):
        return self.x("xdotool", "search", "--onlyvisible", "--class", name).split()

    def screenshot(self, path):
        self.x("import", "-window", "root", path, check=True)

    def pixel(self, png, x, y):
        """The (r, g, b) of one pixel of a screenshot."""
        text = subprocess.run(["convert", png, "-format", "%%[pixel:p{%d,%d}]" % (x, y), "info:"],
                              capture_output=True, text=True, check=True).stdout
        values = [float(v) for v in re.findall(r"[\d.]+", text)[:3]]
        if "%" in text:
            values = [v * 255 / 100 for v in values]
        return tuple(round(v) for v in values)

    def key(self, *keys):
        self.x("xdotool", "key", "--delay", "80", *keys, check=True)

    def pointer(self, *actions):
        self.x("xdotool", *actions, check=True)


class BoardServer:
    """tools/board_server.py on loopback with the given boards; stops with close() or by itself."""

    def __init__(self, boards, slow=0.0, hang_pictures=False, lifetime=120):
        command = ["python3", SERVER, "--slow", str(slow), "--lifetime", str(lifetime)]
        if hang_pictures:
            command.append("--hang-pictures")
        for name, folder in boards.items():
            command += ["--board", "%s=%s" % (name, folder)]
        self.process = subprocess.Popen(command, stdout=subprocess.PIPE, text=True)
        self.port = int(self.process.stdout.readline())

    def thread(self, board):
        return "http://127.0.0.1:%d/test/read.cgi/%s/1234567890/" % (self.port, board)

    def close(self):
        self.process.terminate()
        self.process.wait(timeout=5)


def refused_port():
    """A loopback port that nothing listens on."""
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


class Window:
    """One top-level window as the X server and the window manager report it."""

    def __init__(self, desktop, wid):
        self.desktop = desktop
        self.wid = wid

    def title(self):
        text = self.desktop.x("xprop", "-id", self.wid, "_NET_WM_NAME")
        found = re.search(r'= "(.*)"', text)
        return found.group(1).encode("utf-8").decode("unicode_escape").encode(
            "latin-1").decode("utf-8") if found else None

    def client(self):
        """(x, y, width, height) of the client area, in screen coordinates."""
        info = self.desktop.x("xwininfo", "-id", self.wid)
        value = lambda label: int(re.search(label + r":\s+(-?\d+)", info).group(1))
        return (value("Absolute upper-left X"), value("Absolute upper-left Y"), value("Width"),
                value("Height"))

    def viewable(self):
        return "IsViewable" in self.desktop.x("xwininfo", "-id", self.wid)

    def settled_outer(self, timeout=10):
        """The outer rectangle once the frame is shown again (after a park, say)."""
        wait_for("the frame shown", self.viewable, timeout)
        return self.outer()

    def extents(self):
        text = self.desktop.x("xprop", "-id", self.wid, "_NET_FRAME_EXTENTS")
        found = re.findall(r"\d+", text.split("=", 1)[1]) if "=" in text else []
        return tuple(int(v) for v in found) if len(found) == 4 else (0, 0, 0, 0)

    def outer(self):
        """(x, y, width, height) with the decorations."""
        x, y, width, height = self.client()
        left, right, top, bottom = self.extents()
        return (x - left, y - top, width + left + right, height + top + bottom)

    def states(self):
        return self.desktop.x("xprop", "-id", self.wid, "_NET_WM_STATE")

    def activate(self):
        self.desktop.x("xdotool", "windowactivate", "--sync", self.wid)
        time.sleep(0.2)


class Bolta:
    """The tool, run from its own copy of the executable in a folder of its own."""

    def __init__(self, desktop, executable, folder=None, name="bolta"):
        self.desktop = desktop
        self.folder = folder or tempfile.mkdtemp(prefix="bolta-e2e-")
        self.path = os.path.join(self.folder, name)
        if not os.path.exists(self.path):
            shutil.copy2(executable, self.path)
        self.process = None
        self.stderr = None

    @property
    def settings(self):
        return os.path.join(self.folder, "Bolta.ini")

    def start(self, *args, extra_env=None):
        env = dict(self.desktop.env, WEBKIT_DISABLE_COMPOSITING_MODE="1",
                   XDG_CACHE_HOME=os.path.join(self.folder, ".cache"),
                   XDG_DATA_HOME=os.path.join(self.folder, ".local"))
        env.update(extra_env or {})
        self.stderr = open(os.path.join(self.folder, "stderr.txt"), "w")
        self.process = subprocess.Popen([self.path, *args], cwd=self.folder, env=env,
                                        stdout=self.stderr, stderr=self.stderr)
        return self

    def window(self, title=None, timeout=20):
        """The tool's shown frame, once captioned `title` (when given)."""

        def found():
            for wid in self.desktop.windows_of_class("Bolta"):
                window = Window(self.desktop, wid)
                name = window.title()
                if name is not None and (title is None or name == title):
                    return window
            if self.process.poll() is not None:
                raise AssertionError("the tool ended with %s" % self.process.returncode)
            return None

        return wait_for("a window titled %r" % title, found, timeout)

    def wait(self, timeout=10):
        return self.process.wait(timeout=timeout)

    def stop(self):
        if self.process and self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        if self.stderr:
            self.stderr.close()

    def cleanup(self):
        self.stop()
        shutil.rmtree(self.folder, ignore_errors=True)
