"""Pictures kept on a host that goes slow or away, as a user of such a board sees them."""
import os
import pathlib
import socket
import time

from desktop import (BOARD_TITLE, DEADLINE, DEMO, FITTED, PICTURE, PICTURE_RED, SCREEN,
                     BoardServer, DesktopCase, ini, key, main, wait_for)
from test_bolta import tray_shows

LOADING_TITLE = "画像読込中…"
PLACE = (120, 90)  # the stored place of every start
LOADING_WITHIN = 8  # seconds from the board's SETTING.TXT request: about 2, and the page's start
GIVE_UP = 30  # seconds a picture is waited for
LATE = 15  # seconds a late picture takes: well past the loading window and any park
CAPTION = 150  # a client narrower than this cuts the board's title short


def connect(port):
    try:
        return socket.create_connection(("127.0.0.1", port), timeout=0.5).close() or "serve"
    except OSError as error:
        return "refuse" if isinstance(error, ConnectionRefusedError) else "blackhole"


class Picture(DesktopCase):

    @classmethod
    def boards(cls):
        # The demo board with its pictures on a host of their own, which a file tells how to answer.
        cls.mode, far = os.path.join(cls.folder, "pictures"), os.path.join(cls.folder, "far")
        cls.host = BoardServer({"demo": DEMO}, cls.folder, options=["--pictures", cls.mode])
        cls.processes.append(cls.host.process)
        os.makedirs(far)
        pathlib.Path(far, "SETTING.TXT").write_bytes(pathlib.Path(DEMO, "SETTING.TXT").read_bytes(
        ).replace(b"./", b"http://127.0.0.1:%d/demo/" % cls.host.port))
        return {**super().boards(), "far": far}

    def pictures(self, mode):
        # Replaced whole (the host reads an empty file as "serve"), and taken up on its next turn.
        pathlib.Path(self.mode + ".new").write_text(mode)
        os.replace(self.mode + ".new", self.mode)
        wait_for("the picture host to " + mode, lambda: connect(self.host.port) == (
            mode if mode in ("refuse", "blackhole") else "serve"))

    def start(self):
        run, (left, top), asked = self.bolta(), PLACE, len(self.server.requests())
        pathlib.Path(run.settings).write_bytes(ini(WINDOW_LEFT=left, WINDOW_TOP=top,
                                                   WINDOW_RIGHT=left + 200, WINDOW_BOTTOM=top + 9))
        run.start(self.server.thread("far"))
        wait_for("the board's SETTING.TXT requested", lambda: len(self.server.requests()) > asked)
        return run, time.monotonic()

    def assert_readable(self, window, shot):
        self.assertEqual(window.settled_outer()[:2], PLACE, shot + ": the place")
        self.assertGreater(window.client()[2], CAPTION, shot + ": the caption cut short")

    def test_pictures_that_do_not_come_leave_the_loading_window_on_the_screen_within_moments(self):
        tray = lambda: tray_shows(self.tray)
        for mode in ("hold", "head", "trickle", "blackhole"):
            with self.subTest(mode):
                self.pictures(mode)
                run, asked = self.start()
                wait_for("the tray icon or the loading window",
                         lambda: tray() or run.windows(LOADING_TITLE))

                def loading():
                    # Never out of sight: the tray icon stays up until the window is on the screen.
                    self.assertTrue(tray() or [w for w in run.windows() if all(
                        0 <= w.outer()[i] < SCREEN[i] for i in (0, 1))], "nothing shows")
                    return (run.windows(LOADING_TITLE) or [None])[0]

                window = wait_for("the loading window", loading)
                self.assertLess(time.monotonic() - asked, LOADING_WITHIN, "the loading window")
                self.assert_readable(window, self.screenshot("e2e-picture-loading-%s.png" % mode))
                self.close(run, window)

    def test_a_picture_that_comes_late_is_fitted_as_if_it_had_come_at_once(self):
        self.pictures("delay %d" % LATE)
        run, _ = self.start()
        window = run.window(BOARD_TITLE, GIVE_UP)
        wait_for("the late picture fitted", lambda: window.client()[2:] == FITTED)
        self.assertEqual(window.settled_outer()[:2], PLACE)
        self.assert_fitted(window, self.screenshot("e2e-picture-late.png"), PICTURE, PICTURE_RED,
                           corner=(288, 62))
        self.close(run, window)

    def test_a_picture_that_does_not_come_is_given_up_f5_keeping_the_old_until_then(self):
        self.pictures("hold")
        run, asked = self.start()
        window = run.window(BOARD_TITLE, GIVE_UP + DEADLINE)
        self.assert_readable(window, self.screenshot("e2e-picture-given-up.png"))
        self.assertGreater(time.monotonic() - asked, GIVE_UP - 1, "given up too early")

        # F5 fetches it again; and while the host is gone or refuses, the old signboard stays
        # until the reload is given up or fails, then the frame fits what the page shows.
        for mode, least, most in (("hold", GIVE_UP - 1, GIVE_UP + DEADLINE), ("refuse", 0, 5)):
            self.pictures("serve")
            old = self.refresh(window, FITTED, PLACE)
            self.pictures(mode)
            key("F5")
            pressed = time.monotonic()

            def refitted():
                # Anything between the old signboard and the new fit is a flicker the user sees.
                now = window.viewable() and window.outer()
                self.assertTrue(now and now[:2] == PLACE, "the old signboard gone: %s" % (now,))
                return now != old

            wait_for("the frame refitted after F5 with %s" % mode, refitted, most)
            self.assertGreater(time.monotonic() - pressed, least, "the old signboard gone early")
            self.assertTrue(run.windows(BOARD_TITLE), "the board's title")
            self.assert_readable(window, self.screenshot("e2e-picture-f5-%s.png" % mode))
        self.close(run, window)


if __name__ == "__main__":
    main()
