"""The harness of the end-to-end tests: per test class a virtual desktop (Xvfb, the window manager
BOLTA_E2E_WM names, else openbox; trayer as system tray) and the loopback board server; the tool
run from a copy of its executable in a fresh folder, watched through the X server as a user would.
Run a test file as: FILE EXECUTABLE SCREENSHOT_DIR [unittest arguments, e.g. a class name]."""
import os
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

from PIL import Image
from Xlib import X, display, error

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
sys.path.insert(0, os.path.join(ROOT, "tools"))
from children import spawn, stop  # noqa: E402

SERVER, DEMO = os.path.join(ROOT, "tools", "board_server.py"), os.path.join(ROOT, "demo")
BOARD_TITLE = "ボルタ見本板"  # the demo board's, in code page 932
MESSAGE_TITLE = "(;´Д｀)"
SCREEN = (1024, 768)
ABOVE = "_NET_WM_STATE_ABOVE"
# The demo's title picture, 300 x 72, dark red with a rim; the fit adds a margin of 4 each way.
PICTURE, MARGIN, PICTURE_RED = (300, 72), 4, (139, 26, 26)
FITTED = tuple(side + MARGIN for side in PICTURE)
BACKGROUND = ((243, 228, 193), (253, 246, 227))  # the demo background's two colours
DEADLINE = 30  # seconds: generous, for a loaded machine and a cold font cache
# Each window manager and the compositor it needs besides (the others composite by themselves),
# each on a D-Bus session of its own. Openbox binds Alt+Space to its own window menu: the
# configuration below drops that binding, since the tool opens its own window menu on it, as on its
# home desktop. Under xfwm4 and mutter the manager's own menu comes up on Alt+Space, under KWin
# the desktop's search (KRunner): the tests reach the tool's menu by Shift+F10, the Menu key and
# the right button there.
WINDOW_MANAGERS = {
    "openbox": (["openbox", "--sm-disable", "--config-file", "{openbox_config}"], ["xcompmgr"]),
    "xfwm4": (["xfwm4", "--compositor=on", "--sm-client-disable"], []),
    "kwin": (["kwin_x11", "--replace"], []),
    "mutter": (["mutter", "--x11", "--replace", "--sm-disable"], []),
}
WM = os.environ.get("BOLTA_E2E_WM", "openbox")
ALT_SPACE = "alt+space" if WM == "openbox" else "shift+F10"
# Without a named proxy the tool follows the environment's; the tests decide for themselves.
for variable in ("http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "all_proxy",
                 "ALL_PROXY", "no_proxy", "NO_PROXY", "GDK_BACKEND", "WAYLAND_DISPLAY",
                 "DBUS_SESSION_BUS_ADDRESS"):
    os.environ.pop(variable, None)


def wait_for(what, predicate, timeout=DEADLINE):
    """The first true value of `predicate`; `what` names it (or gives its name once timed out)."""
    deadline = time.monotonic() + timeout
    while not (value := predicate()):
        if time.monotonic() > deadline:
            raise AssertionError("timed out waiting for " + (what() if callable(what) else what))
        time.sleep(0.1)
    return value


def x(*command, check=False):
    done = subprocess.run([str(c) for c in command], capture_output=True, text=True, timeout=30)
    if check and done.returncode != 0:
        raise AssertionError("%s failed: %s" % (command[0], done.stderr))
    return done.stdout


def xdotool(*actions):
    x("xdotool", *actions, check=True)


def key(*keys, delay=80):
    xdotool("key", "--delay", delay, *keys)


def type_text(text):
    """Types `text`, giving each character the keyboard map lacks a key of its own for good: a busy
    client may read xdotool's passing map after it has changed again."""
    keysyms = {ord(c) if ord(c) < 0x100 else 0x1000000 + ord(c) for c in text if ord(c) > 0x7E}
    free = [code for code, keys in re.findall(r"keycode\s+(\d+) =(.*)", x("xmodmap", "-pke"))
            if not keys.strip()]
    for code, keysym in zip(free, sorted(keysyms)):
        x("xmodmap", "-e", "keycode %s = 0x%x" % (code, keysym), check=True)
    xdotool("type", "--delay", 60, text)


def drag(start, offset, steps=6):
    """Presses the left button at `start` and moves the pointer by `offset` in `steps`; lets go
    once the window that was under the pointer has followed."""
    # The window is the one under the pointer before the press: once the drag is handed over, the
    # window manager may put one of its own there (KWin's covers the screen).
    xdotool("mousemove", "--sync", *start)
    frame = Window(Window.server.screen().root.query_pointer().child.id)
    xdotool("mousedown", 1)
    origin, end = frame.client(), [start[i] + offset[i] for i in (0, 1)]
    for step in range(1, steps + 1):
        xdotool("mousemove", *(start[i] + offset[i] * step // steps for i in (0, 1)))

    def followed():
        # The window manager moves the frame from the press once the tool hands the drag over:
        # motions before that are lost, so the last one is made again.
        if [frame.client()[i] - origin[i] for i in (0, 1)] == list(offset):
            return True
        xdotool("mousemove", end[0] + 1, end[1], "mousemove", *end)

    wait_for("the dragged frame", followed)
    xdotool("mouseup", 1)


def pixel(png, px, py):
    return Image.open(png).convert("RGB").getpixel((px, py))


def centred(size, frame=None):
    """The top left of a window of `size` centred on `frame`, else the work area, and inside it."""
    # The whole screen where the window manager sets none (KWin).
    area = tuple(Window.root().prop("_NET_WORKAREA", (0, 0) + SCREEN)[:4])
    frame = frame or area
    return tuple(max(area[i], min((2 * frame[i] + frame[i + 2]) // 2 - size[i] // 2,
                                  area[i] + area[i + 2] - size[i])) for i in (0, 1))


def ini(**keys):
    """A settings file holding `keys` in the order given, as the tool writes it."""
    return ("[BOLTA]\r\n" + "".join("%s=%s\r\n" % item for item in keys.items())).encode("cp932")


def stored_place(outer, topmost, **before):
    """The settings file after a close of the frame at `outer`, `before` the place in it."""
    left, top, width, height = outer
    return ini(**before, WINDOW_LEFT=left, WINDOW_TOP=top, WINDOW_RIGHT=left + width,
               WINDOW_BOTTOM=top + height, WINDOW_TOPMOST=int(topmost))


class BoardServer:
    """tools/board_server.py on loopback; a `held` one answers SETTING.TXT only after release()."""

    def __init__(self, boards, folder, held=False, options=()):
        self.log, self.gate = (tempfile.mktemp(prefix=p, dir=folder) for p in ("log-", "gate-"))
        command = [sys.executable, SERVER, "--lifetime", 600, "--log", self.log, *options]
        command += ["--hold", self.gate] if held else []
        for name, board in boards.items():
            command += ["--board", "%s=%s" % (name, board)]
        self.process = spawn(command, stdout=subprocess.PIPE, text=True)
        self.port = int(self.process.stdout.readline())
        self.process.stdout.close()

    def release(self):
        pathlib.Path(self.gate).touch()

    def thread(self, board):
        return "http://127.0.0.1:%d/test/read.cgi/%s/1234567890/" % (self.port, board)

    def requests(self):
        return os.path.exists(self.log) and pathlib.Path(self.log).read_text().splitlines() or []


class Window:
    """A window as the X server and the window manager describe it."""
    server = None  # the test's connection to the desktop's X server

    def __init__(self, wid):
        self.wid, self.x = int(wid), Window.server.create_resource_object("window", int(wid))

    @staticmethod
    def root():
        return Window(Window.server.screen().root.id)

    def prop(self, name, default=None):
        try:
            got = self.x.get_full_property(Window.server.intern_atom(name), X.AnyPropertyType)
        except error.BadWindow:  # gone meanwhile
            got = None
        return default if got is None else got.value

    def atoms(self, name):
        return [Window.server.get_atom_name(atom) for atom in self.prop(name, [])]

    def states(self):
        return self.atoms("_NET_WM_STATE")

    def client(self):
        origin = Window.server.screen().root.translate_coords(self.x, 0, 0)
        geometry = self.x.get_geometry()
        return origin.x, origin.y, geometry.width, geometry.height

    def outer(self):
        left, top, width, height = self.client()
        ext_left, ext_right, ext_top, ext_bottom = self.prop("_NET_FRAME_EXTENTS", [0] * 4)
        return (left - ext_left, top - ext_top, width + ext_left + ext_right,
                height + ext_top + ext_bottom)

    def viewable(self):
        return self.x.get_attributes().map_state == X.IsViewable

    def settled_outer(self, expected=()):
        """The outer rectangle once shown and still for a moment, and beginning with `expected`."""
        seen = [None, time.monotonic()]

        def still():
            # The same place seen over 0.3 s of polls: no move of the window manager is under way.
            now = self.viewable() and self.outer()
            if now != seen[0]:
                seen[:] = now, time.monotonic()
            return time.monotonic() - seen[1] >= 0.3 and now and now[:len(expected)] == tuple(
                expected) and now

        return wait_for(lambda: "the frame still at %s: it is at %s" % (expected, seen[0]), still)

    def activate(self):
        xdotool("windowactivate", "--sync", self.wid)
        wait_for("window %s active" % self.wid,
                 lambda: Window.root().prop("_NET_ACTIVE_WINDOW", [0])[0] == self.wid)


class Bolta:

    def __init__(self, executable, folder=None):
        self.folder = folder or tempfile.mkdtemp(prefix="bolta-e2e-")
        self.path = os.path.join(self.folder, "bolta")
        self.settings = os.path.join(self.folder, "Bolta.ini")
        self.errors = os.path.join(self.folder, "stderr")
        if not os.path.exists(self.path):
            shutil.copy2(executable, self.path)
        self.process = None

    def start(self, *args, env=None, prefix=()):
        """Starts the tool after the words `prefix`, with `env` added (None removes a variable)."""
        env = dict(os.environ, WEBKIT_DISABLE_COMPOSITING_MODE="1",
                   XDG_CACHE_HOME=os.path.join(self.folder, ".cache"),
                   XDG_DATA_HOME=os.path.join(self.folder, ".local"), **(env or {}))
        with open(self.errors, "wb") as errors:
            self.process = spawn([*prefix, self.path, *args], cwd=self.folder, stderr=errors,
                                 env={k: v for k, v in env.items() if v is not None})
        return self

    def windows(self, title=None):
        wids = x("xdotool", "search", "--all", "--onlyvisible", "--pid", self.process.pid,
                 "--class", "Bolta").split()
        return [w for w in map(Window, wids)
                if title in (None, w.prop("_NET_WM_NAME", b"").decode())]

    def window(self, title, timeout=DEADLINE):
        def found():
            if self.process.poll() is not None:
                raise AssertionError("the tool ended with %s: %s" % (
                    self.process.returncode, pathlib.Path(self.errors).read_text()))
            return (self.windows(title) or [None])[0]

        return wait_for("a window titled %r" % title, found, timeout)


class DesktopCase(unittest.TestCase):

    executable = screenshots = None

    @classmethod
    def boards(cls):
        """The demo, and a copy whose pictures change."""
        changing = os.path.join(cls.folder, "changing")
        shutil.copytree(DEMO, changing)
        return {"demo": DEMO, "changing": changing}

    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.mkdtemp(prefix="bolta-e2e-")
        cls.addClassCleanup(shutil.rmtree, cls.folder, ignore_errors=True)
        cls.processes = []
        cls.addClassCleanup(stop, cls.processes)
        cls.start_display()
        Window.server = display.Display()
        cls.addClassCleanup(Window.server.close)
        # The first key sent through XTEST switches the server's keyboard to the XTEST device,
        # and a window manager takes its key bindings again on that change: a key sent in
        # between reaches the window instead (a lost Alt+F4). Sent now, before there is one.
        key("shift")
        cls.start_window_manager()
        cls.processes.append(spawn(["trayer", "--edge", "bottom", "--align", "right", "--height",
                                    32, "--widthtype", "pixel", "--width", 120, "--SetDockType",
                                    "true"]))
        cls.tray = wait_for("the tray", lambda: x("xdotool", "search", "--name",
                                                  "^panel$").split())[0]
        cls.board_folders = cls.boards()
        cls.server = BoardServer(cls.board_folders, cls.folder)
        cls.processes.append(cls.server.process)
        cls.picture_time = int(time.time())

    @classmethod
    def start_display(cls, command=("Xvfb", "-screen", "0", "%dx%dx24" % SCREEN)):
        """Starts the X server of `command` and tells whether it came up."""
        read_end, write_end = os.pipe()
        cls.processes.append(spawn([*command, "-nolisten", "tcp", "-displayfd", write_end],
                                   pass_fds=[write_end]))
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            os.environ["DISPLAY"] = ":" + pipe.readline().strip()
        return os.environ["DISPLAY"] != ":"

    @classmethod
    def start_window_manager(cls):
        # Started again once should it end before it manages the screen (seen on a busy machine).
        command, helpers = WINDOW_MANAGERS[WM]
        config = os.path.join(cls.folder, "openbox.xml")
        with open("/etc/xdg/openbox/rc.xml") as f, open(config, "w") as out:
            out.write(re.sub(r'<keybind key="A-space">.*?</keybind>', "", f.read(), flags=re.S))
        bus = spawn(["dbus-daemon", "--session", "--nofork", "--print-address"],
                    stdout=subprocess.PIPE, text=True)
        cls.processes.append(bus)
        # Settings of its own too: KWin notes a failed start of its compositing in its settings
        # file (LastFailureTimestamp), and a KWin of another desktop that read the note would not
        # composite.
        env = dict(os.environ, DBUS_SESSION_BUS_ADDRESS=bus.stdout.readline().strip(),
                   XDG_CONFIG_HOME=os.path.join(cls.folder, "wm-config"))
        log, root = os.path.join(cls.folder, "wm.log"), Window.root()
        for attempt in range(2):
            with open(log, "wb") as out:
                manager = spawn([c.format(openbox_config=config) for c in command], stderr=out,
                                env=env)
            cls.processes.append(manager)
            # Openbox names itself before it manages anything (long before, while a cold font
            # cache is built); a window mapped meanwhile is left where it is, unmanaged. It is
            # ready once it keeps the list of the windows it manages.
            wait_for("the window manager", lambda: manager.poll() is not None or root.prop(
                "_NET_SUPPORTING_WM_CHECK") and (WM != "openbox" or root.prop(
                    "_NET_CLIENT_LIST") is not None))
            if manager.poll() is None:
                cls.processes.extend(spawn([helper]) for helper in helpers)
                return
        raise AssertionError("%s ended with %s: %s" % (WM, manager.returncode,
                                                      pathlib.Path(log).read_text()))

    def bolta(self, folder=None):
        run = Bolta(self.executable, folder)
        self.addCleanup(shutil.rmtree, run.folder, ignore_errors=True)
        self.addCleanup(lambda: run.process and stop([run.process]))
        return run

    def signboard(self, board="demo", folder=None, env=None):
        run = self.bolta(folder).start(self.server.thread(board), env=env)
        window = run.window(BOARD_TITLE)
        window.settled_outer()
        return run, window

    def close(self, run, window, *keys):
        window.settled_outer()
        window.activate()
        key(*(keys or ["alt+F4"]))
        self.assertEqual(run.process.wait(timeout=DEADLINE), 0, "exit code after a close")
        # A library's complaint on the way out (a freed object touched, say) is a fault too.
        self.assertNotRegex(pathlib.Path(run.errors).read_text(), r"-(CRITICAL|WARNING) \*\*")

    def open_menu(self, run, window, menu_key=None):
        window.activate()
        if menu_key:
            key(menu_key)
        else:
            left, top, width, height = window.client()
            xdotool("mousemove", left + width // 2, top + height // 2, "click", 3)
        is_menu = lambda w: "_NET_WM_WINDOW_TYPE_POPUP_MENU" in w.atoms("_NET_WM_WINDOW_TYPE")
        return wait_for("the window menu", lambda: [w for w in run.windows() if is_menu(w)])[0]

    def toggle_on_top(self, run, window):
        was_above = ABOVE in window.states()
        self.open_menu(run, window)
        key("t")
        wait_for("on top toggled", lambda: (ABOVE in window.states()) != was_above)

    def change_picture(self, size, colour):
        # Dated apart from the last one so that no cache takes it for the same.
        path = os.path.join(self.board_folders["changing"], "title.png")
        Image.new("RGB", size, colour).save(path)
        type(self).picture_time += 10
        os.utime(path, (self.picture_time, self.picture_time))

    def refresh(self, window, size, place=None, keys=("F5",)):
        """`keys` at once on the frame; then its client area is of `size`, its top left `place`."""
        window.activate()
        key(*keys, delay=0)
        wait_for(lambda: "the client area of %s: it is %s" % (size, window.client()[2:]),
                 lambda: window.viewable() and window.client()[2:] == size)
        return window.settled_outer(place[:2] if place else ())

    def assert_fitted(self, window, shot, picture, colour, corner=None, scale=1, window_scale=1):
        """The client area holds `picture` (a size) at `scale`, of `colour` at `corner`, and the
        background's margin (its colours or a blend of them) beyond it."""
        corner = corner or (picture[0] - 2, picture[1] - 2)
        left, top, width, height = window.client()
        self.assertEqual((width, height), tuple(round(side * scale) + MARGIN * window_scale
                                                for side in picture), shot)
        self.assertEqual(pixel(shot, left + round(corner[0] * scale), top + round(
            corner[1] * scale)), colour, "the picture's far corner, " + shot)
        for px, py in ((round(picture[0] * scale) + 1, height // 2),
                       (width // 2, round(picture[1] * scale) + 1), (width - 1, height - 1)):
            colour = pixel(shot, left + px, top + py)
            self.assertTrue(all(low - 3 <= c <= high + 3 for c, low, high in zip(
                colour, *BACKGROUND)), "the margin at %d, %d, %s" % (px, py, shot))

    def assert_settings(self, run, expected):
        # The keys are written one by one.
        read = lambda: os.path.exists(run.settings) and pathlib.Path(run.settings).read_bytes()
        try:
            wait_for("the settings file", lambda: read() == expected, 5)
        except AssertionError:
            self.assertEqual(read(), expected)

    def screenshot(self, name):
        path, root = os.path.join(self.screenshots, name), Window.server.screen().root
        size = root.get_geometry().width, root.get_geometry().height
        image = root.get_image(0, 0, *size, X.ZPixmap, 0xFFFFFFFF)
        Image.frombytes("RGB", size, image.data, "raw", "BGRX").save(path)
        return path


def main(executable=None, screenshots=None, argv=None):
    DesktopCase.executable = os.path.abspath(executable or sys.argv[1])
    DesktopCase.screenshots = os.path.join(os.path.abspath(screenshots or sys.argv[2]),
                                           "" if WM == "openbox" else "screenshots-" + WM)
    os.makedirs(DesktopCase.screenshots, exist_ok=True)
    unittest.main(module="__main__", argv=[sys.argv[0], "-v"] + (argv or sys.argv[3:]))
