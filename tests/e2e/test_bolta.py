"""The signboard, the message pages and the tray icon, as a user sees them on a virtual desktop."""
import os
import subprocess
import time

from desktop import (ABOVE, BOARD_TITLE, SCREEN, BoardServer, DesktopCase, drag, key, main,
                     pixel, refused_port, stop, wait_for, work_area, x)

MESSAGE_TITLE = "(;´Д｀)"
TRAY_TOOLTIP = "ろぴかせ＠SETTING.TXT取得中…"
# The demo's title picture: 300 x 72, dark red with a rim; the fit adds 4 pixels each way.
FITTED = (304, 76)
PICTURE_RED = (139, 26, 26)
BACKGROUND = [(253, 246, 227), (243, 228, 193)]  # the two colours of the demo's background


class Signboard(DesktopCase):

    def test_signboard_fits_follows_f5_the_drag_and_the_menu_and_comes_back_where_it_was(self):
        run = self.bolta().start(self.server.thread("demo"))
        window = run.window(BOARD_TITLE)
        left, top, width, height = window.client()
        self.assertEqual((width, height), FITTED)
        self.assertIn(ABOVE, window.states(), "on top by default")
        shot = self.screenshot("e2e-signboard.png")
        self.assertEqual(pixel(shot, left + 100, top + 10), PICTURE_RED, "title picture")
        self.assertIn(pixel(shot, left + width - 2, top + 10), BACKGROUND, "the margin")

        # F5 parks the frame, reloads and refits it where it was, however often it is pressed.
        place = window.outer()
        for keys in (["F5"], ["shift+F5"], ["F5", "F5", "F5"]):
            window.activate()
            key(*keys)
            time.sleep(1.5)
            self.assertEqual(window.settled_outer(), place, "after %s" % keys)
            self.assertTrue(run.windows(BOARD_TITLE), "still the signboard")

        # The Menu key's menu centres the frame in the work area.
        self.open_menu(run, window, "Menu")
        key("r")
        ax, ay, aw, ah = work_area()
        centred = ((2 * ax + aw) // 2 - place[2] // 2, (2 * ay + ah) // 2 - place[3] // 2)
        wait_for("the centred frame", lambda: window.outer()[:2] == centred, 5)
        self.assertNotEqual(place[:2], centred, "the centring moved the frame")

        # A left drag moves the frame, and F5 keeps it where the user put it.
        left, top, _, _ = window.client()
        drag((left + 30, top + 20), (-200, 150))
        wait_for("the dragged frame", lambda: window.client()[:2] == (left - 200, top + 150), 5)
        window.activate()
        key("F5")
        time.sleep(1.5)
        place = window.settled_outer()
        self.assertEqual(place[:2], (centred[0] - 200, centred[1] + 150))

        # A right click's menu toggles on top; Alt+Space's goes down to the transparency popup,
        # into it, down to 50 %.
        self.open_menu(run, window)
        key("t")
        wait_for("the frame no longer on top", lambda: ABOVE not in window.states(), 5)
        self.open_menu(run, window, "alt+space")
        key(*["Down"] * 4, "Right", *["Down"] * 5, "Return")
        time.sleep(0.8)
        self.assert_half_transparent(window)

        # Shift+F10's menu closes it as a normal close does.
        self.close(run, window, "shift+F10", "c")
        left, top, width, height = place
        stored = ("[BOLTA]\r\nTRANSPARENT=5\r\nWINDOW_LEFT=%d\r\nWINDOW_TOP=%d\r\nWINDOW_RIGHT=%d"
                  "\r\nWINDOW_BOTTOM=%d\r\nWINDOW_TOPMOST=0\r\n" % (
                      left, top, left + width, top + height)).encode()
        self.assert_settings(run, stored)

        # A copy of the executable in another folder neither reads nor writes that file.
        copy = self.bolta(name="viewer").start(self.server.thread("demo"))
        window = copy.window(BOARD_TITLE)
        self.assertIn(ABOVE, window.states())
        self.assertNotEqual(window.outer(), place)
        self.close(copy, window)
        self.assertTrue(os.path.exists(copy.settings))
        self.assert_settings(run, stored)

        # The next start comes back where the last one was closed, as it was.
        again = self.bolta(run.folder).start(self.server.thread("demo"))
        window = again.window(BOARD_TITLE)
        self.assertEqual(window.settled_outer(), place)
        self.assertNotIn(ABOVE, window.states())
        self.assert_half_transparent(window)
        self.close(again, window)

    def assert_half_transparent(self, window):
        shot = self.screenshot("e2e-transparent.png")
        left, top, _, _ = window.client()
        desk = pixel(shot, 3, 3)
        seen = pixel(shot, left + 100, top + 10)
        for red, behind, channel in zip(PICTURE_RED, desk, seen):
            self.assertAlmostEqual(channel, red * 127 / 255 + behind * 128 / 255, delta=3,
                                   msg="a 50 %% blend: %s" % (seen,))


class MessagesAndTray(DesktopCase):

    def test_what_shows_no_signboard_shows_the_message_page(self):
        runs = {"no argument": self.bolta().start()}
        runs["no argument"].window(MESSAGE_TITLE)
        self.screenshot("e2e-message.png")
        for name, args in (
                ("a board the server does not have", [self.server.thread("missing")]),
                ("a refused connection", ["http://127.0.0.1:%d/test/read.cgi/demo/1234567890/"
                                          % refused_port()]),
                ("a SETTING.TXT without a background picture", [self.server.thread("half")]),
                ("a toolkit option, taken as the tool's argument", ["--display=:99"])):
            runs[name] = self.bolta().start(*args)
        for name, run in runs.items():
            with self.subTest(name):
                window = run.window(MESSAGE_TITLE, timeout=40)
                left, top, width, _ = window.outer()
                self.assertTrue(0 <= left < SCREEN[0] and 0 <= top < SCREEN[1], "on the screen")
                self.assertGreater(width, 100)

    def test_without_a_display_the_tool_says_so_and_fails(self):
        run = self.bolta()
        result = subprocess.run([run.path, self.server.thread("demo")], cwd=run.folder,
                                env={k: v for k, v in os.environ.items() if k != "DISPLAY"},
                                capture_output=True, text=True, timeout=20)
        self.assertNotEqual(result.returncode, 0)
        self.assertIn("display", result.stderr.lower())

    def test_the_tray_icon_shows_while_a_slow_server_answers_and_goes_after(self):
        slow = BoardServer(self.board_folders, slow=2.5)
        self.addCleanup(stop, [slow.process])
        shows = lambda: TRAY_TOOLTIP in x("xwininfo", "-tree", "-id", self.tray)
        run = self.bolta().start(slow.thread("demo"))
        wait_for("the tray icon", shows, 2.0)
        time.sleep(0.3)  # the tray draws the icon once it has embedded it
        self.screenshot("e2e-tray.png")
        window = run.window(BOARD_TITLE)
        self.assertFalse(shows(), "the icon goes once the page is requested")
        self.close(run, window)


if __name__ == "__main__":
    main()
