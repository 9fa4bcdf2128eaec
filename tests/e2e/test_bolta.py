"""The signboard, the message pages and the tray icon, as a user sees them on a virtual desktop."""
import os
import pathlib
import subprocess

from Xlib import X, display

from desktop import (ABOVE, ALT_SPACE, BOARD_TITLE, FITTED, MESSAGE_TITLE, PICTURE, PICTURE_RED,
                     SCREEN, BoardServer, DesktopCase, centred, drag, ini, key, main, pixel, stop,
                     stored_place, wait_for, x)

TRAY_TOOLTIP = "ろぴかせ＠SETTING.TXT取得中…"
# The pictures the changing board puts up in turn, each fetched again by an F5.
NEW_PICTURES = (("F5",), (200, 100), (20, 60, 160)), (("shift+F5",), (240, 80), (30, 140, 40)), (
    ("F5", "F5", "F5"), (180, 90), (200, 120, 0))


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
            self.refresh(window, tuple(side + 4 for side in picture), place, keys)
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
        wait_for("the dragged frame", lambda: window.client()[:2] == (left - 200, top + 150))
        self.change_picture(PICTURE, PICTURE_RED)
        place = self.refresh(window, FITTED, (middle[0] - 200, middle[1] + 150))

        # A right click's menu toggles on top; Alt+Space's goes down to the transparency popup,
        # into it, down to 50 %.
        self.toggle_on_top(run, window)
        self.open_menu(run, window, ALT_SPACE)
        key(*["Down"] * 4, "Right", *["Down"] * 5, "Return")
        self.wait_half_transparent(window)

        # Shift+F10's menu closes it as a normal close does.
        self.close(run, window, "shift+F10", "c")
        stored = stored_place(place, False, TRANSPARENT=5)
        self.assert_settings(run, stored)

        # A copy of the executable in another folder neither reads nor writes that file.
        copy, window = self.signboard("changing", name="viewer")
        self.assertIn(ABOVE, window.states())
        self.close(copy, window)
        self.assertTrue(os.path.exists(copy.settings))
        self.assert_settings(run, stored)

        # The next start comes back where the last one was closed, as it was.
        again, window = self.signboard("changing", run.folder)
        self.assertEqual(window.outer(), place)
        self.assertNotIn(ABOVE, window.states())
        self.wait_half_transparent(window)
        self.close(again, window)

    def test_a_place_on_no_monitor_comes_up_centred_on_the_screen_and_is_stored_there(self):
        for left, top in ((3000, 100), (-2000, -1500)):
            with self.subTest((left, top)):
                run = self.bolta()
                pathlib.Path(run.settings).write_bytes(ini(
                    WINDOW_LEFT=left, WINDOW_TOP=top, WINDOW_RIGHT=left + 306,
                    WINDOW_BOTTOM=top + 97))
                window = run.start(self.server.thread("demo")).window(BOARD_TITLE)
                outer = window.outer()
                self.assertEqual(window.client()[2:], FITTED)
                self.assertEqual(outer[:2], centred(outer[2:]))
                self.close(run, window)
                self.assert_settings(run, stored_place(outer, True))

    def watch_unmaps(self, window):
        """Counts the window's unmaps as the X server reports them, none missed however short:
        the count covers all that happened before the call."""
        watch = display.Display()
        self.addCleanup(watch.close)
        watch.create_resource_object("window", int(window.wid)).change_attributes(
            event_mask=X.StructureNotifyMask)
        watch.sync()

        def unmaps():
            watch.sync()  # the server's reply comes after every event before it
            return sum(watch.next_event().type == X.UnmapNotify
                       for _ in range(watch.pending_events()))

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
            seen = pixel(shot, *at)
            return all(abs(channel - (red * 127 + (a + (b - a) * share) * 128) / 255) <= 4
                       for red, a, b, channel in zip(PICTURE_RED, *sides, seen))

        wait_for("a 50 % blend of the picture and the desktop", blended)


class MessagesAndTray(DesktopCase):

    def test_the_message_page_breaks_the_message_where_it_says_and_stands_on_the_screen(self):
        # The failed fetch's message (a toolkit option is taken as the address) breaks in two at
        # its <br>: taller than the one-line message of a start without one, and no wider.
        one_line = self.bolta().start().window(MESSAGE_TITLE).settled_outer()
        two_lines = self.bolta().start("--display=:99").window(MESSAGE_TITLE).settled_outer()
        self.assertLessEqual(two_lines[2], one_line[2], "the message on one line")
        self.assertGreater(two_lines[3], one_line[3], "the message on one line")
        for left, top, _, _ in (one_line, two_lines):
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
        held.release()
        run.window(BOARD_TITLE)
        self.assertFalse(shows(), "the icon goes once the page is requested")


if __name__ == "__main__":
    main()
