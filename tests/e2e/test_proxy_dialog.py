"""The proxy settings dialog as a user meets it: opened from the frame's window menu with the
keyboard and with the mouse, typed into, closed with OK and every way of cancelling, where it
appears, and the next start's request going through a real tinyproxy or straight to the board.

Run as: test_proxy_dialog.py EXECUTABLE SCREENSHOT_DIR [unittest arguments].
"""
import os
import re
import socket
import subprocess
import sys
import tempfile
import time
import unittest

from desktop import SCREEN, Bolta, BoardServer, Desktop, Window, wait_for

EXECUTABLE = None
SCREENSHOTS = None
HERE = os.path.dirname(os.path.abspath(__file__))
DEMO_BOARD = os.path.join(HERE, "..", "..", "demo")
BOARD_TITLE = "ボルタ見本板"
DIALOG_TITLE = "プロキシの設定"
DIALOG_UNITS = (119, 105)  # the dialog's client size in dialog units

# Without a named proxy the tool follows the environment's; the tests decide for themselves.
for variable in ("http_proxy", "HTTP_PROXY", "all_proxy", "ALL_PROXY", "no_proxy", "NO_PROXY"):
    os.environ.pop(variable, None)


def cp932(text):
    return text.encode("cp932")


def ini(**keys):
    """A settings file holding section BOLTA with `keys` in the order given."""
    lines = [b"[BOLTA]"] + [k.encode() + b"=" + (v if isinstance(v, bytes) else str(v).encode())
                            for k, v in keys.items()]
    return b"\r\n".join(lines) + b"\r\n"


def center_rect(size, reference, area):
    """Where the centre rule puts a window of `size` (width, height): (x, y, width, height)."""
    width, height = size
    rx, ry, rw, rh = reference
    ax, ay, aw, ah = area
    left = (rx + rx + rw) // 2 - width // 2
    top = (ry + ry + rh) // 2 - height // 2
    if left < ax:
        left = ax
    elif left + width > ax + aw:
        left = ax + aw - width
    if top < ay:
        top = ay
    elif top + height > ay + ah:
        top = ay + ah - height
    return (left, top, width, height)


class Tinyproxy:
    """A real tinyproxy on a free loopback port, logging every request it takes."""

    def __init__(self):
        self.folder = tempfile.mkdtemp(prefix="bolta-tinyproxy-")
        with socket.socket() as probe:
            probe.bind(("127.0.0.1", 0))
            self.port = probe.getsockname()[1]
        config = os.path.join(self.folder, "tinyproxy.conf")
        with open(config, "w") as f:
            f.write("Port %d\nListen 127.0.0.1\nAllow 127.0.0.1\nTimeout 10\nMaxClients 4\n"
                    "LogLevel Connect\n" % self.port)
        self.log_path = os.path.join(self.folder, "tinyproxy.log")
        self.log_file = open(self.log_path, "w")
        self.process = subprocess.Popen(["tinyproxy", "-d", "-c", config], stdout=self.log_file,
                                        stderr=self.log_file)
        wait_for("tinyproxy", self._accepts, timeout=5)

    def _accepts(self):
        with socket.socket() as probe:
            return probe.connect_ex(("127.0.0.1", self.port)) == 0

    def requests(self):
        """The request lines the proxy was given."""
        with open(self.log_path) as f:
            return re.findall(r"Request \(file descriptor \d+\): (.*)", f.read())

    def close(self):
        self.process.terminate()
        self.process.wait(timeout=5)
        self.log_file.close()
        subprocess.run(["rm", "-rf", self.folder], check=False)


class ProxyDialogTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.desktop = Desktop()
        cls.server = BoardServer({"demo": DEMO_BOARD}, lifetime=600)

    @classmethod
    def tearDownClass(cls):
        cls.server.close()
        cls.desktop.close()

    def setUp(self):
        self.tools = []

    def tearDown(self):
        for tool in self.tools:
            tool.cleanup()

    # The tool and its windows.

    def start(self, settings=None, folder=None, title=BOARD_TITLE):
        """The tool on the demo board, once it shows the page captioned `title` (the signboard
        unless told otherwise) and stands still: (tool, frame)."""
        tool = Bolta(self.desktop, EXECUTABLE, folder=folder)
        if folder is None:
            self.tools.append(tool)
        if settings is not None:
            with open(tool.settings, "wb") as f:
                f.write(settings)
        tool.start(self.server.thread("demo"))
        frame = tool.window(title)
        # The fit brings the frame back from its park; the frame counts its moves as settled a
        # second later, and only then takes a move by the window manager for the user's.
        wait_for("the fitted frame", lambda: 0 <= frame.client()[0] < SCREEN[0])
        time.sleep(1.5)
        return tool, frame

    def settings_of(self, tool, expected=None):
        """The settings file once it holds `expected` (the keys are written one by one after the
        dialog has gone), or as it is after a while."""

        def read():
            with open(tool.settings, "rb") as f:
                return f.read()

        if expected is not None:
            try:
                wait_for("the settings", lambda: read() == expected, timeout=3)
            except (AssertionError, FileNotFoundError):
                pass
        return read()

    def windows_titled(self, title):
        found = []
        for wid in self.desktop.windows_of_class("Bolta"):
            window = Window(self.desktop, wid)
            if window.title() == title:
                found.append(window)
        return found

    def dialog(self):
        return wait_for("the proxy dialog", lambda: (self.windows_titled(DIALOG_TITLE) or [None])[0],
                        timeout=10)

    def wait_closed(self, title):
        wait_for("%s to close" % title, lambda: not self.windows_titled(title), timeout=10)

    def open_by_keyboard(self, frame):
        frame.activate()
        self.desktop.key("alt+space")
        wait_for("the window menu", self.popup_menu, timeout=5)
        self.desktop.key("p")
        return self.dialog()

    def open_by_mouse(self, frame):
        x, y, width, height = frame.client()
        self.desktop.pointer("mousemove", str(x + width // 2), str(y + height // 2))
        self.desktop.pointer("click", "3")
        menu = Window(self.desktop, wait_for("the window menu", self.popup_menu, timeout=5))
        time.sleep(0.3)
        self.desktop.pointer("mousemove", *map(str, self.proxy_entry(menu)))
        time.sleep(0.2)
        self.desktop.pointer("click", "1")
        return self.dialog()

    def popup_menu(self):
        for wid in self.desktop.windows_of_class("Bolta"):
            kind = self.desktop.x("xprop", "-id", wid, "_NET_WM_WINDOW_TYPE")
            if "_NET_WM_WINDOW_TYPE_POPUP_MENU" in kind:
                return wid
        return None

    def proxy_entry(self, menu):
        """The middle of the proxy entry: between the menu's second and third separator lines,
        found in a screenshot along a column right of every label and mark."""
        x, y, width, height = menu.client()
        shot = os.path.join(tempfile.gettempdir(), "bolta-e2e-menu-%d.png" % os.getpid())
        self.desktop.screenshot(shot)
        column = subprocess.run(
            ["convert", shot, "-crop", "1x%d+%d+%d" % (height, x + width - 4, y), "+repage",
             "-depth", "8", "txt:-"], capture_output=True, text=True, check=True).stdout
        os.remove(shot)
        colours = [line.split()[-1] for line in column.splitlines()[1:]]
        background = max(set(colours), key=colours.count)
        # Rows off the background, less the menu's own border, grouped into lines.
        rows = [i for i, c in enumerate(colours) if c != background and 2 < i < height - 3]
        lines = [r for i, r in enumerate(rows) if i == 0 or rows[i - 1] != r - 1]
        self.assertEqual(len(lines), 3, "three separators in the window menu")
        return (x + width // 2, y + (lines[1] + lines[2]) // 2)

    def at(self, dialog, dx, dy):
        """Screen point of dialog unit (dx, dy) in the dialog's client area."""
        x, y, width, height = dialog.client()
        return (str(x + dx * width // DIALOG_UNITS[0]), str(y + dy * height // DIALOG_UNITS[1]))

    def click(self, dialog, dx, dy):
        self.desktop.pointer("mousemove", *self.at(dialog, dx, dy))
        self.desktop.pointer("click", "1")
        time.sleep(0.2)

    def type(self, text):
        self.desktop.x("xdotool", "type", "--delay", "60", text, check=True)

    def work_area(self):
        values = [int(v) for v in re.findall(r"-?\d+", self.desktop.x(
            "xprop", "-root", "_NET_WORKAREA").split("=", 1)[1])]
        return tuple(values[:4])

    def transient_for(self, window):
        text = self.desktop.x("xprop", "-id", window.wid, "WM_TRANSIENT_FOR")
        found = re.search(r"0x[0-9a-f]+", text)
        return int(found.group(0), 16) if found else None

    # The tests.

    def test_keyboard_open_ticked_box_and_typed_texts_stored_on_ok(self):
        tool, frame = self.start()
        dialog = self.open_by_keyboard(frame)

        # OK has the focus: Tab goes Cancel, the box, the address edit, the port edit.
        self.desktop.key("Tab", "Tab", "space", "Tab")
        self.type("代理.example")
        self.desktop.key("Tab")
        self.type("80a")
        time.sleep(0.3)
        self.desktop.screenshot(os.path.join(SCREENSHOTS, "e2e-proxy-dialog.png"))
        self.assertFalse(os.path.exists(tool.settings), "nothing is stored while it is open")
        self.desktop.key("Return")
        self.wait_closed(DIALOG_TITLE)

        expected = ini(PROXY_ADDRESS=cp932("代理.example"), PROXY_PORT="80a", USE_PROXY=1)
        self.assertEqual(self.settings_of(tool, expected), expected)

    def test_every_way_of_cancelling_writes_back_what_was_read(self):
        # The proxy named is no proxy: this start shows the fetch-failure page.
        stored = dict(USE_PROXY=7, PROXY_ADDRESS="proxy.invalid", PROXY_PORT="8080")
        tool, frame = self.start(ini(**stored), title="(;´Д｀)")
        # A flag outside 0 to 2 opens as a clear box and comes back as 0.
        expected = ini(USE_PROXY=0, PROXY_ADDRESS="proxy.invalid", PROXY_PORT="8080")
        cancel_button = lambda d: self.click(d, 87, 89)
        escape = lambda d: self.desktop.key("Escape")

        def close_box(d):
            x, y, width, _ = d.outer()
            self.desktop.pointer("mousemove", str(x + width - 11), str(y + 10))
            self.desktop.pointer("click", "1")

        for name, cancel in (("Cancel", cancel_button), ("Escape", escape),
                             ("close box", close_box)):
            with self.subTest(name):
                dialog = self.open_by_mouse(frame)
                self.click(dialog, 12, 7)  # the box
                self.click(dialog, 59, 36)  # the address edit
                self.type("changed")
                self.click(dialog, 59, 63)  # the port edit
                self.type("99")
                cancel(dialog)
                self.wait_closed(DIALOG_TITLE)
                self.assertEqual(self.settings_of(tool, expected), expected)

    def test_ok_with_a_text_that_has_no_cp932_form_keeps_the_dialog_open(self):
        tool, frame = self.start()
        self.open_by_keyboard(frame)
        self.desktop.key("Tab", "Tab", "Tab")
        self.type("한국.example")
        self.desktop.key("Return")

        message = wait_for("the message", lambda: self.windows_titled("プロキシアドレス"))[0]
        self.assertTrue(self.windows_titled(DIALOG_TITLE), "the dialog stays open")
        message.activate()
        self.desktop.key("Return")
        self.wait_closed("プロキシアドレス")
        self.assertTrue(self.windows_titled(DIALOG_TITLE), "the dialog stays open")
        self.assertFalse(os.path.exists(tool.settings))

        self.desktop.key("Escape")
        self.wait_closed(DIALOG_TITLE)
        expected = ini(PROXY_ADDRESS="", PROXY_PORT="", USE_PROXY=0)
        self.assertEqual(self.settings_of(tool, expected), expected)

    def test_centred_on_the_frame_inside_the_work_area_modal_and_above_an_on_top_frame(self):
        area = self.work_area()
        for name, topmost, move_to in (
                ("where the tool opens, on top", 1, None),
                ("frame at the bottom right, not on top", 0, (area[2] - 120, area[3] - 40)),
                ("frame at the top left", 1, (0, 0))):
            with self.subTest(name):
                tool, frame = self.start(ini(WINDOW_TOPMOST=topmost))
                try:
                    self.check_placement(frame, topmost, move_to, area)
                finally:
                    tool.stop()

    def check_placement(self, frame, topmost, move_to, area):
        if move_to:
            self.desktop.x("xdotool", "windowmove", "--sync", frame.wid, *map(str, move_to))
            time.sleep(0.5)
        dialog = self.open_by_keyboard(frame)
        time.sleep(0.5)
        placed = dialog.outer()

        self.assertEqual(placed, center_rect(placed[2:], frame.outer(), area))
        self.assertTrue(area[0] <= placed[0] and placed[0] + placed[2] <= area[0] + area[2])
        self.assertTrue(area[1] <= placed[1] and placed[1] + placed[3] <= area[1] + area[3])
        self.assertEqual(self.transient_for(dialog), int(frame.wid))
        self.assertIn("_NET_WM_STATE_MODAL", dialog.states())
        self.assertEqual("_NET_WM_STATE_ABOVE" in dialog.states(), bool(topmost))

        # The frame takes no input meanwhile: a right click on it opens no menu.
        x, y, width, height = frame.client()
        probe = (x + 5, y + height // 2)
        on_dialog = (placed[0] <= probe[0] < placed[0] + placed[2] and
                     placed[1] <= probe[1] < placed[1] + placed[3])
        if not on_dialog and probe[0] < SCREEN[0] and probe[1] < SCREEN[1]:
            self.desktop.pointer("mousemove", *map(str, probe))
            self.desktop.pointer("click", "3")
            time.sleep(1)
            self.assertIsNone(self.popup_menu())

        dialog.activate()
        self.desktop.key("Escape")
        self.wait_closed(DIALOG_TITLE)

    def test_the_next_start_goes_through_the_proxy_set_in_the_dialog_and_back_direct(self):
        proxy = Tinyproxy()
        folder = tempfile.mkdtemp(prefix="bolta-e2e-")
        setting = "GET http://127.0.0.1:%d/demo/SETTING.TXT HTTP/1.0" % self.server.port

        def run(change):
            """One start: the signboard shows; `change` runs on the dialog; the frame closes."""
            tool, frame = self.start(folder=folder)
            self.tools.append(tool)
            if change:
                self.open_by_keyboard(frame)
                change()
                self.desktop.key("Return")
                self.wait_closed(DIALOG_TITLE)
            frame.activate()
            self.desktop.key("alt+F4")
            self.assertEqual(tool.wait(), 0)

        def set_proxy():
            self.desktop.key("Tab", "Tab", "space", "Tab")
            self.type("127.0.0.1")
            self.desktop.key("Tab")
            self.type(str(proxy.port))

        try:
            run(set_proxy)
            self.assertEqual(proxy.requests(), [], "the running tool keeps its connection")
            run(lambda: self.desktop.key("Tab", "Tab", "space"))  # through the proxy; untick
            self.assertEqual(proxy.requests(), [setting])
            run(None)  # direct again, the proxy's address and port still stored
            self.assertEqual(proxy.requests(), [setting])
            stored = self.settings_of(self.tools[-1])
            self.assertIn(b"PROXY_ADDRESS=127.0.0.1\r\n", stored)
            self.assertIn(b"PROXY_PORT=%d\r\n" % proxy.port, stored)
            self.assertIn(b"USE_PROXY=0\r\n", stored)
        finally:
            proxy.close()


if __name__ == "__main__":
    EXECUTABLE = os.path.abspath(sys.argv[1])
    SCREENSHOTS = os.path.abspath(sys.argv[2])
    os.makedirs(SCREENSHOTS, exist_ok=True)
    unittest.main(argv=[sys.argv[0], "-v"] + sys.argv[3:])
