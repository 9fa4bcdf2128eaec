"""The end of the user's session (logout: SIGTERM, closed terminal: SIGHUP, Ctrl+C: SIGINT) ends
the tool as its close command does, storing what was changed in the run, with exit code 0."""
import os
import signal

from desktop import (DEADLINE, TRAY_TOOLTIP, BoardServer, DesktopCase, drag, main, stop, wait_for,
                     x)


class SessionEnd(DesktopCase):

    def test_each_signal_closes_the_window_and_stores_its_place_and_on_top_state(self):
        for signum, moved, toggled in ((signal.SIGTERM, True, False),
                                       (signal.SIGHUP, False, True),
                                       (signal.SIGINT, True, True)):
            with self.subTest(signal=signum.name):
                run, window = self.signboard()
                before = window.outer()
                if moved:
                    left, top, _, _ = window.client()
                    drag((left + 30, top + 20), (150, 100))
                    wait_for("the dragged frame",
                             lambda: window.client()[:2] == (left + 150, top + 100))
                if toggled:
                    self.toggle_on_top(run, window)
                left, top, width, height = window.settled_outer()
                self.assertEqual(moved, (left, top) != before[:2])

                run.process.send_signal(signum)
                self.assertEqual(run.process.wait(timeout=DEADLINE), 0, "exit code after the signal")
                self.assert_settings(run, (
                    "[BOLTA]\r\nWINDOW_LEFT=%d\r\nWINDOW_TOP=%d\r\nWINDOW_RIGHT=%d\r\n"
                    "WINDOW_BOTTOM=%d\r\nWINDOW_TOPMOST=%d\r\n" % (
                        left, top, left + width, top + height, 0 if toggled else 1)).encode())

    def test_a_signal_while_the_server_stalls_ends_the_start_at_once(self):
        stalling = BoardServer(self.board_folders, self.folder, held=True)
        self.addCleanup(stop, [stalling.process])
        shows = lambda: TRAY_TOOLTIP in x("xwininfo", "-tree", "-id", self.tray)
        run = self.bolta().start(stalling.thread("demo"))
        wait_for("the tray icon of the retrieval", shows)
        wait_for("the request", lambda: "/demo/SETTING.TXT" in stalling.requests())
        run.process.send_signal(signal.SIGTERM)
        # The server never answers: a start that waited for the retrieval would never end.
        self.assertEqual(run.process.wait(timeout=DEADLINE), 0, "exit code after the signal")
        self.assertFalse(shows(), "the tray icon has gone")
        self.assertFalse(os.path.exists(run.settings), "nothing was changed, nothing is stored")


if __name__ == "__main__":
    main()
