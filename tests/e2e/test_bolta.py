"""The signboard, the message pages, the tray icon, other display scales and the end of the user's
session, as a user sees them on a virtual desktop."""
import os
import signal
import subprocess

from Xlib import X

from desktop import (ABOVE, ALT_SPACE, BOARD_TITLE, DEADLINE, FITTED, MARGIN, MESSAGE_TITLE,
                     PICTURE, PICTURE_RED, SCREEN, BoardServer, DesktopCase, Window, centred, drag,
                     key, main, pixel, stop, stored_place, wait_for, x)

TRAY_TOOLTIP = "ろぴかせ＠SETTING.TXT取得中…"
BLUE = (20, 60, 160)
# The pictures the changing board puts up in turn, each fetched again by an F5.
NEW_PICTURES = (("F5",), (200, 100), BLUE), (("shift+F5",), (240, 80), (30, 140, 40)), (
    ("F5", "F5", "F5"), (180, 90), (200, 120, 0))


def tray_shows(tray):
    return TRAY_TOOLTIP in x("xwininfo", "-tree", "-id", tray)


class Signboard(DesktopCase):

    def test_signboard_fits_follows_f5_the_drag_and_the_menu_and_comes_back_where_it_was(self):
        run, window = self.signboard("changing")
        self.assertIn(ABOVE, window.states(), "on top by default")
        self.assert_fitted(window, self.screenshot("e2e-signboard.png"), PICTURE, PICTURE_RED,
                           corner=(288, 62))

        # F5 fetches the picture again and refits the frame in place, never unmapping it, however
        # often pressed.
        place, unmaps = window.outer(), self.watch_unmaps(window)
        for keys, picture, colour in NEW_PICTURES:
            self.change_picture(picture, colour)
            self.refresh(window, tuple(side + MARGIN for side in picture), place, keys)
            self.assert_fitted(window, self.screenshot("e2e-reloaded.png"), picture, colour)
            self.assertTrue(run.windows(BOARD_TITLE), "still the signboard")
        self.assertEqual(unmaps(), 0, "the frame was unmapped")

        # The Menu key's menu centres the frame in the work area.
        place, middle = window.outer(), centred(window.outer()[2:])
        self.open_menu(run, window, "Menu")
        key("r")
        window.settled_outer(middle)
        self.assertNotEqual(place[:2], middle, "the centring moved the frame")

        # A left drag moves the frame, and F5 keeps it where the user put it.
        left, top, _, _ = window.client()
        drag((left + 30, top + 20), (-200, 150))
        self.change_picture(PICTURE, PICTURE_RED)
        place = self.refresh(window, FITTED, (middle[0] - 200, middle[1] + 150))

        # A right click's menu toggles on top; Alt+Space's goes down to the transparency popup,
        # into it, down to 50 %.
        self.toggle_on_top(run, window)
        self.open_menu(run, window, ALT_SPACE)
        key(*["Down"] * 4, "Right", *["Down"] * 5, "Return")
        self.wait_half_transparent(window)

        # Shift+F10's menu closes it as a normal close does; the next start comes back where the
        # last one was closed, as it was.
        self.close(run, window, "shift+F10", "c")
        self.assert_settings(run, stored_place(place, False, TRANSPARENT=5))
        again, window = self.signboard("changing", run.folder)
        self.assertEqual(window.outer(), place)
        self.assertNotIn(ABOVE, window.states())
        self.wait_half_transparent(window)
        self.close(again, window)

    def watch_unmaps(self, window):
        """Counts the window's unmaps as the X server reports them, none missed however short:
        the count covers all that happened before the call."""
        window.x.change_attributes(event_mask=X.StructureNotifyMask)
        Window.server.sync()

        def unmaps():
            Window.server.sync()  # the server's reply comes after every event before it
            return sum(Window.server.next_event().type == X.UnmapNotify
                       for _ in range(Window.server.pending_events()))

        return unmaps

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
            return all(abs(channel - (red * 127 + (a + (b - a) * share) * 128) / 255) <= 4
                       for red, a, b, channel in zip(PICTURE_RED, *sides, pixel(shot, *at)))

        wait_for("a 50 % blend of the picture and the desktop", blended)


class MessagesAndTray(DesktopCase):

    def test_the_message_page_breaks_where_it_says_grows_with_the_text_and_is_on_screen(self):
        # The failed fetch's message (a toolkit option is taken as the address) breaks in two at
        # its <br>: taller than the one-line message of a start without one, and no wider.
        one_line = self.bolta().start().window(MESSAGE_TITLE)
        two_lines = self.bolta().start("--display=:99").window(MESSAGE_TITLE).settled_outer()
        larger = self.bolta().start(env={"GDK_DPI_SCALE": "1.5"}).window(MESSAGE_TITLE).client()
        self.assertLessEqual(two_lines[2], one_line.settled_outer()[2], "the message on one line")
        self.assertGreater(two_lines[3], one_line.outer()[3], "the message on one line")
        for left, top, _, _ in (one_line.outer(), two_lines):
            self.assertTrue(0 <= left < SCREEN[0] and 0 <= top < SCREEN[1], "on the screen")
        # Line heights round at each size, so the text art grows by about, not exactly, 1.5.
        for small, large in zip(one_line.client()[2:], larger[2:]):
            self.assertTrue(1.4 <= (large - MARGIN) / (small - MARGIN) <= 1.6, "larger text")

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
        run = self.bolta().start(held.thread("demo"))
        wait_for("the tray icon", lambda: tray_shows(self.tray))
        held.release()
        run.window(BOARD_TITLE)
        self.assertFalse(tray_shows(self.tray), "the icon goes once the page is requested")


class Fit(DesktopCase):

    def test_the_frame_shows_the_whole_picture_and_its_margin_at_any_scale_also_after_f5(self):
        # GDK_SCALE scales the whole window, margin included; text scaling zooms the page only.
        for env, zoom, window_scale in (({"GDK_SCALE": "2"}, 1, 2),
                                        ({"GDK_DPI_SCALE": "1.5"}, 1.5, 1)):
            with self.subTest(env):
                self.change_picture(PICTURE, PICTURE_RED)
                run, window = self.signboard("changing", env=env)
                scale, name = zoom * window_scale, "e2e-scale-%s" % "".join(env)
                self.assert_fitted(window, self.screenshot(name + "-first.png"), PICTURE,
                                   PICTURE_RED, scale=scale, window_scale=window_scale)
                self.change_picture((200, 100), BLUE)
                self.refresh(window, tuple(round(side * scale) + MARGIN * window_scale
                                           for side in (200, 100)), window.outer())
                self.assert_fitted(window, self.screenshot(name + "-f5.png"), (200, 100), BLUE,
                                   scale=scale, window_scale=window_scale)
                self.close(run, window)


class SessionEnd(DesktopCase):
    """The end of the user's session (logout: SIGTERM, closed terminal: SIGHUP, Ctrl+C: SIGINT)
    ends the tool as its close command does, storing what was changed in the run, with exit 0."""

    def test_each_signal_closes_the_window_and_stores_its_place_and_on_top_state(self):
        for signum in (signal.SIGTERM, signal.SIGHUP, signal.SIGINT):
            with self.subTest(signal=signum.name):
                run, window = self.signboard()
                left, top, _, _ = window.client()
                drag((left + 30, top + 20), (150, 100))
                self.toggle_on_top(run, window)
                place = window.settled_outer()
                run.process.send_signal(signum)
                self.assertEqual(run.process.wait(timeout=DEADLINE), 0, "exit code")
                self.assert_settings(run, stored_place(place, False))

    def test_a_signal_while_the_server_stalls_ends_the_start_at_once(self):
        stalling = BoardServer(self.board_folders, self.folder, held=True)
        self.addCleanup(stop, [stalling.process])
        run = self.bolta().start(stalling.thread("demo"))
        wait_for("the request", lambda: "/demo/SETTING.TXT" in stalling.requests())
        run.process.send_signal(signal.SIGTERM)
        # The server never answers: a start that waited for the retrieval would never end.
        self.assertEqual(run.process.wait(timeout=DEADLINE), 0, "exit code after the signal")
        self.assertFalse(os.path.exists(run.settings), "nothing was changed, nothing is stored")


if __name__ == "__main__":
    main()
