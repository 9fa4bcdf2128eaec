"""The signboard, the message pages and the tray icon, as a user sees them on a virtual desktop."""
import os
import subprocess

from desktop import (ABOVE, ALT_SPACE, BOARD_TITLE, MESSAGE_TITLE, PICTURE, PICTURE_RED, SCREEN,
                     TRAY_TOOLTIP, BoardServer, DesktopCase, drag, key, main, pixel, refused_port,
                     stop, wait_for, work_area, x)

# The pictures the changing board puts up in turn, each fetched again by an F5.
NEW_PICTURES = (("F5",), (200, 100), (20, 60, 160)), (("shift+F5",), (240, 80), (30, 140, 40)), (
    ("F5", "F5", "F5"), (180, 90), (200, 120, 0))


class Signboard(DesktopCase):

    def test_signboard_fits_follows_f5_the_drag_and_the_menu_and_comes_back_where_it_was(self):
        run, window = self.signboard("changing")
        self.assertIn(ABOVE, window.states(), "on top by default")
        self.assert_fitted(window, self.screenshot("e2e-signboard.png"), PICTURE, PICTURE_RED,
                           corner=(288, 62))

        # F5 fetches the picture again and refits the frame where it was, however often pressed.
        place = window.outer()
        for keys, picture, colour in NEW_PICTURES:
            self.change_picture(picture, colour)
            self.refresh(window, tuple(side + 4 for side in picture), place, keys)
            self.assert_fitted(window, self.screenshot("e2e-reloaded.png"), picture, colour)
            self.assertTrue(run.windows(BOARD_TITLE), "still the signboard")

        # The Menu key's menu centres the frame in the work area.
        place = window.outer()
        self.open_menu(run, window, "Menu")
        key("r")
        ax, ay, aw, ah = work_area()
        centred = ((2 * ax + aw) // 2 - place[2] // 2, (2 * ay + ah) // 2 - place[3] // 2)
        window.settled_outer(centred)
        self.assertNotEqual(place[:2], centred, "the centring moved the frame")

        # A left drag moves the frame, and F5 keeps it where the user put it.
        left, top, _, _ = window.client()
        drag((left + 30, top + 20), (-200, 150))
        wait_for("the dragged frame", lambda: window.client()[:2] == (left - 200, top + 150))
        self.change_picture(PICTURE, PICTURE_RED)
        place = self.refresh(window, tuple(side + 4 for side in PICTURE),
                             (centred[0] - 200, centred[1] + 150))

        # A right click's menu toggles on top; Alt+Space's goes down to the transparency popup,
        # into it, down to 50 %.
        self.toggle_on_top(run, window)
        self.open_menu(run, window, ALT_SPACE)
        key(*["Down"] * 4, "Right", *["Down"] * 5, "Return")
        self.wait_half_transparent(window)

        # Shift+F10's menu closes it as a normal close does.
        self.close(run, window, "shift+F10", "c")
        left, top, width, height = place
        stored = ("[BOLTA]\r\nTRANSPARENT=5\r\nWINDOW_LEFT=%d\r\nWINDOW_TOP=%d\r\nWINDOW_RIGHT=%d"
                  "\r\nWINDOW_BOTTOM=%d\r\nWINDOW_TOPMOST=0\r\n" % (
                      left, top, left + width, top + height)).encode()
        self.assert_settings(run, stored)

        # A copy of the executable in another folder neither reads nor writes that file.
        copy, window = self.signboard("changing", name="viewer")
        self.assertIn(ABOVE, window.states())
        self.assertNotEqual(window.outer(), place)
        self.close(copy, window)
        self.assertTrue(os.path.exists(copy.settings))
        self.assert_settings(run, stored)

        # The next start comes back where the last one was closed, as it was.
        again, window = self.signboard("changing", run.folder)
        self.assertEqual(window.outer(), place)
        self.assertNotIn(ABOVE, window.states())
        self.wait_half_transparent(window)
        self.close(again, window)

    def wait_half_transparent(self, window):
        """The picture blends half and half with the desktop behind it, once the compositor has
        drawn it so. Some desktops are shaded: what is behind is taken as the shade between the
        desktop's colours on either side of the frame, clear of any shadow."""
        def blended():
            shot = self.screenshot("e2e-transparent.png")
            left, top, width, _ = window.outer()
            at = (window.client()[0] + 100, window.client()[1] + 10)
            sides = pixel(shot, left - 40, at[1]), pixel(shot, left + width + 40, at[1])
            share = (at[0] - left + 40) / (width + 80)
            seen = pixel(shot, *at)
            return all(abs(channel - (red * 127 + (a + (b - a) * share) * 128) / 255) <= 4
                       for red, a, b, channel in zip(PICTURE_RED, *sides, seen))

        wait_for("a 50 % blend of the picture and the desktop", blended)


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
                left, top, _, _ = run.window(MESSAGE_TITLE).outer()
                self.assertTrue(0 <= left < SCREEN[0] and 0 <= top < SCREEN[1], "on the screen")

    def test_without_a_display_the_tool_says_so_and_fails(self):
        run = self.bolta()
        result = subprocess.run([run.path, self.server.thread("demo")], cwd=run.folder,
                                env={k: v for k, v in os.environ.items() if k != "DISPLAY"},
                                capture_output=True, text=True, timeout=60)
        self.assertNotEqual(result.returncode, 0)
        self.assertIn("display", result.stderr.lower())

    def test_the_tray_icon_shows_while_the_server_holds_back_and_goes_after(self):
        held = BoardServer(self.board_folders, self.folder, held=True)
        self.addCleanup(stop, [held.process])
        shows = lambda: TRAY_TOOLTIP in x("xwininfo", "-tree", "-id", self.tray)
        run = self.bolta().start(held.thread("demo"))
        wait_for("the tray icon", shows)
        self.screenshot("e2e-tray.png")
        held.release()
        run.window(BOARD_TITLE)
        self.assertFalse(shows(), "the icon goes once the page is requested")


if __name__ == "__main__":
    main()
