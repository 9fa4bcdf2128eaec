"""End-to-end tests of the real executable on a virtual desktop, observed as a user would.

Run as: test_bolta.py EXECUTABLE SCREENSHOT_DIR [unittest arguments, e.g. a class name]. Each
test class has its own desktop (display number, window manager, tray, compositor) and board
server; each test runs its own copy of the executable in a fresh folder.
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

from desktop import Bolta, BoardServer, Desktop, refused_port, wait_for

EXECUTABLE = None
SCREENSHOTS = None
HERE = os.path.dirname(os.path.abspath(__file__))
DEMO = os.path.join(HERE, "..", "..", "demo")

BOARD_TITLE = "テスト用の板"
MESSAGE_TITLE = "(;´Д｀)"
UTF8_TITLE = "ユニコード板 ♪"  # "♪" has a CP932 form too, but these bytes are UTF-8
TRAY_TOOLTIP = "ろぴかせ＠SETTING.TXT取得中…"
# The demo's title picture: 300 x 72, dark red with a rim; the fit adds 4 pixels each way.
PICTURE = (300, 72)
FITTED = (PICTURE[0] + 4, PICTURE[1] + 4)
PICTURE_RED = (139, 26, 26)


def make_board(root, name, lines, encoding="cp932"):
    """A board folder with the demo pictures and a SETTING.TXT of `lines`, in code page 932."""
    folder = os.path.join(root, name)
    os.makedirs(folder)
    for picture in ("title.png", "background.gif"):
        shutil.copy(os.path.join(DEMO, picture), folder)
    with open(os.path.join(folder, "SETTING.TXT"), "wb") as f:
        f.write("".join(line + "\r\n" for line in lines).encode(encoding))
    return folder


class DesktopCase(unittest.TestCase):
    """A desktop and a board server for the class; each test's tool copies cleaned up after."""

    slow = 0.0
    hang_pictures = False

    @classmethod
    def setUpClass(cls):
        cls.boards = tempfile.mkdtemp(prefix="bolta-boards-")
        cls.desktop = Desktop()
        cls.server = BoardServer({
            "good": make_board(cls.boards, "good", [
                "BBS_TITLE=" + BOARD_TITLE, "BBS_TITLE_PICTURE=./title.png",
                "BBS_BG_PICTURE=./background.gif", "BBS_NONAME_NAME=名無しさん"]),
            "utf8": make_board(cls.boards, "utf8", [
                "BBS_TITLE=" + UTF8_TITLE, "BBS_TITLE_PICTURE=./title.png",
                "BBS_BG_PICTURE=./background.gif"], encoding="utf-8"),
            "half": make_board(cls.boards, "half", [
                "BBS_TITLE=" + BOARD_TITLE, "BBS_TITLE_PICTURE=./title.png"]),
        }, slow=cls.slow, hang_pictures=cls.hang_pictures)

    @classmethod
    def tearDownClass(cls):
        cls.server.close()
        cls.desktop.close()
        shutil.rmtree(cls.boards, ignore_errors=True)

    def setUp(self):
        self.runs = []

    def tearDown(self):
        for run in self.runs:
            run.cleanup()

    def bolta(self, folder=None, name="bolta"):
        run = Bolta(self.desktop, EXECUTABLE, folder, name)
        self.runs.append(run)
        return run

    def close(self, run, window):
        window.activate()
        self.desktop.key("alt+F4")
        self.assertEqual(run.wait(), 0, "exit code after a normal close")

    def right_click(self, window, keys):
        """Opens the frame's menu with a right click on the page and types `keys` into it."""
        x, y, _, _ = window.client()
        self.desktop.pointer("mousemove", str(x + 40), str(y + 30))
        self.desktop.pointer("click", "3")
        time.sleep(0.5)
        self.desktop.key(*keys)
        time.sleep(0.6)

    def screenshot(self, name):
        path = os.path.join(SCREENSHOTS, name)
        self.desktop.screenshot(path)
        return path


class Signboard(DesktopCase):

    def test_signboard_is_fitted_to_its_picture_and_captioned_with_the_board_title(self):
        run = self.bolta().start(self.server.thread("good"))
        window = run.window(BOARD_TITLE)
        x, y, width, height = window.client()
        self.assertEqual((width, height), FITTED)
        self.assertIn("_NET_WM_STATE_ABOVE", window.states(), "on top by default")
        shot = self.screenshot("e2e-signboard.png")
        self.assertEqual(self.desktop.pixel(shot, x + 100, y + 10), PICTURE_RED, "title picture")
        # The background picture shows in the margin beside the title picture.
        margin = self.desktop.pixel(shot, x + width - 2, y + 10)
        self.assertIn(margin, [(253, 246, 227), (243, 228, 193)], "background picture")
        self.close(run, window)

    def test_a_board_that_serves_utf8_is_captioned_with_its_title(self):
        run = self.bolta().start(self.server.thread("utf8"))
        window = run.window(UTF8_TITLE)
        self.assertEqual(window.client()[2:], FITTED)
        self.close(run, window)

    def test_f5_parks_reloads_and_refits_at_the_same_place(self):
        run = self.bolta().start(self.server.thread("good"))
        window = run.window(BOARD_TITLE)
        before = window.outer()
        for keys in (["F5"], ["shift+F5"], ["F5", "F5", "F5"]):
            window.activate()
            self.desktop.key(*keys)
            time.sleep(1.5)
            self.assertEqual(window.settled_outer(), before, "after %s" % keys)
            self.assertEqual(window.title(), BOARD_TITLE)
        self.close(run, window)

    def test_a_left_button_drag_moves_the_window(self):
        run = self.bolta().start(self.server.thread("good"))
        window = run.window(BOARD_TITLE)
        x, y, _, _ = window.client()
        # One step at a time: the tool must see the press before the pointer moves on.
        self.desktop.pointer("mousemove", str(x + 30), str(y + 20))
        self.desktop.pointer("mousedown", "1")
        time.sleep(0.3)
        for step in range(1, 7):
            self.desktop.pointer("mousemove", str(x + 30 + 10 * step), str(y + 20 + 5 * step))
            time.sleep(0.05)
        time.sleep(0.2)
        self.desktop.pointer("mouseup", "1")
        wait_for("the moved window", lambda: window.client()[:2] == (x + 60, y + 30), 5)
        # F5 comes back to where the user put the frame, not where the tool last put it.
        window.activate()
        self.desktop.key("F5")
        time.sleep(1.5)
        window.settled_outer()
        self.assertEqual(window.client()[:2], (x + 60, y + 30))
        self.close(run, window)

    def test_menu_centres_toggles_on_top_and_sets_transparency(self):
        run = self.bolta().start(self.server.thread("good"))
        window = run.window(BOARD_TITLE)
        # Drag it away from the centre first, then centre it.
        x, y, _, _ = window.client()
        self.desktop.pointer("mousemove", str(x + 30), str(y + 20), "mousedown", "1")
        time.sleep(0.3)
        self.desktop.pointer("mousemove", str(x + 130), str(y + 120))
        time.sleep(0.2)
        self.desktop.pointer("mouseup", "1")
        time.sleep(0.5)
        self.right_click(window, ["r"])
        area = [int(v) for v in re.findall(r"\d+", self.desktop.x(
            "xprop", "-root", "_NET_WORKAREA").split("=", 1)[1])[:4]]
        left, top, width, height = window.outer()
        self.assertEqual((left, top), ((2 * area[0] + area[2]) // 2 - width // 2,
                                       (2 * area[1] + area[3]) // 2 - height // 2))

        self.assertIn("_NET_WM_STATE_ABOVE", window.states())
        self.right_click(window, ["t"])
        self.assertNotIn("_NET_WM_STATE_ABOVE", window.states())
        window.activate()
        self.desktop.key("Menu")
        time.sleep(0.5)
        self.desktop.key("t")
        time.sleep(0.6)
        self.assertIn("_NET_WM_STATE_ABOVE", window.states())

        # Alt+Space opens the menu with its first entry selected: down to the transparency
        # popup, into it, down to 50 %.
        window.activate()
        self.desktop.key("alt+space")
        time.sleep(0.5)
        self.desktop.key("Down", "Down", "Down", "Down", "Right", "Down", "Down", "Down", "Down",
                         "Down", "Return")
        time.sleep(0.8)
        shot = self.screenshot("e2e-transparent.png")
        x, y, _, _ = window.client()
        desk = self.desktop.pixel(shot, 3, 3)
        seen = self.desktop.pixel(shot, x + 100, y + 10)
        alpha = 127 / 255
        for channel in range(3):
            expected = PICTURE_RED[channel] * alpha + desk[channel] * (1 - alpha)
            self.assertAlmostEqual(seen[channel], expected, delta=3, msg="50 %% blend: %s" % (seen,))
        with open(run.settings, "rb") as f:
            self.assertIn(b"TRANSPARENT=5\r\n", f.read(), "stored when chosen")
        # Shift+F10 opens it too; its close entry ends the tool as a normal close does.
        window.activate()
        self.desktop.key("shift+F10")
        time.sleep(0.5)
        self.desktop.key("c")
        self.assertEqual(run.wait(), 0)

    def test_settings_are_written_on_close_and_the_position_comes_back(self):
        run = self.bolta().start(self.server.thread("good"))
        window = run.window(BOARD_TITLE)
        self.right_click(window, ["t"])
        left, top, width, height = window.outer()
        self.close(run, window)
        with open(run.settings, "rb") as f:
            self.assertEqual(f.read(), (
                "[BOLTA]\r\nWINDOW_LEFT=%d\r\nWINDOW_TOP=%d\r\nWINDOW_RIGHT=%d\r\n"
                "WINDOW_BOTTOM=%d\r\nWINDOW_TOPMOST=0\r\n" % (
                    left, top, left + width, top + height)).encode())

        again = self.bolta(run.folder).start(self.server.thread("good"))
        window = again.window(BOARD_TITLE)
        self.assertEqual(window.outer(), (left, top, width, height))
        self.assertNotIn("_NET_WM_STATE_ABOVE", window.states())
        self.close(again, window)

    def test_a_copied_executable_keeps_its_own_settings_file(self):
        first = self.bolta()
        second = self.bolta(name="viewer")
        for run, offset in ((first, 0), (second, 150)):
            run.start(self.server.thread("good"))
            window = run.window(BOARD_TITLE)
            x, y, _, _ = window.client()
            self.desktop.pointer("mousemove", str(x + 30), str(y + 20), "mousedown", "1")
            time.sleep(0.3)
            self.desktop.pointer("mousemove", str(x + 30 - 100 + offset), str(y + 20 + offset))
            time.sleep(0.2)
            self.desktop.pointer("mouseup", "1")
            time.sleep(0.5)
            self.close(run, window)
        with open(first.settings, "rb") as f1, open(second.settings, "rb") as f2:
            a, b = f1.read(), f2.read()
        self.assertNotEqual(a, b, "each copy stored the position it was closed at")


class MessagePages(DesktopCase):

    def assert_message_page(self, *args, screenshot=None):
        run = self.bolta().start(*args)
        window = run.window(MESSAGE_TITLE)
        left, top, width, height = window.outer()
        self.assertTrue(0 <= left < 1024 and 0 <= top < 768, "on the screen")
        self.assertGreater(width, 100)
        if screenshot:
            self.screenshot(screenshot)
        self.close(run, window)
        return run

    def test_no_argument(self):
        self.assert_message_page(screenshot="e2e-message.png")

    def test_a_board_the_server_does_not_have(self):
        self.assert_message_page(self.server.thread("missing"))

    def test_a_refused_connection(self):
        self.assert_message_page(
            "http://127.0.0.1:%d/test/read.cgi/good/1234567890/" % refused_port())

    def test_a_setting_txt_without_a_background_picture(self):
        self.assert_message_page(self.server.thread("half"), screenshot="e2e-parse-failed.png")

    def test_toolkit_options_are_addresses_to_the_tool(self):
        for argument in ("--help", "--display=:99", "-h"):
            run = self.assert_message_page(argument, "second argument")
            with open(os.path.join(run.folder, "stderr.txt")) as f:
                self.assertNotIn("Usage", f.read(), argument)

    def test_without_a_display_it_says_so_and_fails(self):
        env = dict(os.environ)
        env.pop("DISPLAY", None)
        env.pop("WAYLAND_DISPLAY", None)
        done = subprocess.run([EXECUTABLE, self.server.thread("good")], env=env,
                              capture_output=True, text=True, timeout=20)
        self.assertNotEqual(done.returncode, 0)
        self.assertIn("display", done.stderr)


class TrayIcon(DesktopCase):
    slow = 2.5

    def tray_shows_tooltip(self):
        tree = self.desktop.x("xwininfo", "-tree", "-id", self.desktop.tray)
        return TRAY_TOOLTIP in tree

    def test_the_tray_icon_shows_while_a_slow_server_answers_and_goes_after(self):
        run = self.bolta().start(self.server.thread("good"))
        wait_for("the tray icon", self.tray_shows_tooltip, 2.0)
        time.sleep(0.3)  # the tray draws the icon once it has embedded it
        self.screenshot("e2e-tray.png")
        window = run.window(BOARD_TITLE)
        self.assertFalse(self.tray_shows_tooltip(), "the icon goes once the page is requested")
        self.close(run, window)


class HangingPictures(DesktopCase):
    hang_pictures = True

    def test_a_picture_server_that_never_answers_delays_the_window_only_so_long(self):
        started = time.monotonic()
        run = self.bolta().start(self.server.thread("good"))
        window = run.window(BOARD_TITLE, timeout=25)
        self.assertLess(time.monotonic() - started, 20)
        left, top, width, height = window.outer()
        self.assertTrue(0 <= left < 1024 and 0 <= top < 768, "back on the screen")
        self.close(run, window)


if __name__ == "__main__":
    EXECUTABLE = os.path.abspath(sys.argv[1])
    SCREENSHOTS = os.path.abspath(sys.argv[2])
    os.makedirs(SCREENSHOTS, exist_ok=True)
    unittest.main(argv=[sys.argv[0], "-v"] + sys.argv[3:])
