"""The end of the user's session (logout: SIGTERM, closed terminal: SIGHUP, Ctrl+C: SIGINT) ends
the tool as its close command does, storing what was changed in the run, with exit code 0."""
import os
import signal

from desktop import DEADLINE, BoardServer, DesktopCase, drag, main, stop, stored_place, wait_for


class SessionEnd(DesktopCase):

    def test_each_signal_closes_the_window_and_stores_its_place_and_on_top_state(self):
        for signum in (signal.SIGTERM, signal.SIGHUP, signal.SIGINT):
            with self.subTest(signal=signum.name):
                run, window = self.signboard()
                left, top, _, _ = window.client()
                drag((left + 30, top + 20), (150, 100))
                moved = (left + 150, top + 100)
                wait_for("the dragged frame", lambda: window.client()[:2] == moved)
                self.toggle_on_top(run, window)
                place = window.settled_outer()

                run.process.send_signal(signum)
                self.assertEqual(run.process.wait(timeout=DEADLINE), 0, "exit code after the signal")
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
