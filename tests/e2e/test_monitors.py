"""The frame on a desktop of two monitors: where a stored place brings it back, also when a monitor
has gone since, and where the centre command puts it."""
import pathlib

from desktop import BOARD_TITLE, FITTED, centred, key, main, stored_place
from two_monitors import SECOND, TwoMonitorsCase

# The demo's frame as stored: the fit gives the frame its size, the place is what counts.
STORED_SIZE = (306, 99)


class TwoMonitors(TwoMonitorsCase):

    def start_at(self, place):
        run = self.bolta()
        pathlib.Path(run.settings).write_bytes(stored_place(place + STORED_SIZE, True))
        return run, run.start(self.server.thread("demo")).window(BOARD_TITLE)

    def test_a_stored_place_on_the_second_monitor_or_across_both_comes_back_as_stored(self):
        for name, place in (("second", (1500, 400)), ("across", (1200, 300))):
            with self.subTest(name):
                run, window = self.start_at(place)
                outer = window.settled_outer(place)
                self.assertEqual(window.client()[2:], FITTED)
                self.screenshot("e2e-monitors-%s.png" % name)
                self.close(run, window)
                self.assert_settings(run, stored_place(outer, True))

    def test_the_centre_command_centres_on_the_monitor_that_holds_the_frame(self):
        run, window = self.start_at((1300, 250))
        outer = window.settled_outer((1300, 250))
        self.open_menu(run, window, "Menu")
        key("r")
        # GTK takes all of a monitor but the primary one as its work area.
        window.settled_outer(centred(outer[2:], SECOND))
        self.close(run, window)

    def test_a_place_on_the_second_monitor_gone_since_comes_up_centred_on_the_primary(self):
        self.without_second_monitor()
        run, window = self.start_at((1500, 400))
        outer = window.settled_outer()
        self.assertEqual(outer[:2], centred(outer[2:]))
        self.close(run, window)
        self.assert_settings(run, stored_place(outer, True))


if __name__ == "__main__":
    main()
