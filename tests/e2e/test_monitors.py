"""The frame on a desktop of two monitors: where a stored place brings it back, also when a monitor
has gone since, and where the centre command puts it. GTK sees Xvfb's monitors as one, even with
Xinerama or RandR monitors set by hand: this desktop is Xorg with the dummy video driver, its
outputs DUMMY0 the primary monitor and DUMMY1 the second, to its right, their bottoms level."""
import os
import pathlib
import re

from desktop import BOARD_TITLE, FITTED, WM, DesktopCase, centred, key, main, stored_place, wait_for, x

SECOND = (1280, 224, 1024, 576)  # right of the primary monitor (1280 x 800), the bottoms level
CONFIG = os.path.join(os.path.dirname(os.path.abspath(__file__)), "xorg-dummy.conf")
STORED_SIZE = (306, 99)  # the fit gives the frame its size, the place is what counts


def set_monitors(second=True):
    """DUMMY0 on as the primary monitor, and DUMMY1 on or off."""
    x("xrandr", "--fb", "%dx800" % (2304 if second else 1280), "--output", "DUMMY0", "--primary",
      "--mode", "1280x800", "--pos", "0x0", "--output", "DUMMY1",
      *(["--mode", "1024x576", "--pos", "1280x224"] if second else ["--off"]), check=True)
    wait_for("the monitors", lambda: x("xrandr", "--listmonitors").count(" DUMMY") == 1 + second)


class TwoMonitors(DesktopCase):

    @classmethod
    def start_display(cls):
        log = os.path.join(cls.folder, "xorg.log")
        # -sharevts: it takes no console of the machine, even when run by root.
        if not super().start_display(["Xorg", "-config", CONFIG, "-sharevts", "-noreset",
                                      "-logfile", log]):
            raise AssertionError("Xorg did not start: " + "".join(re.findall(
                r"\(EE\).*\n", pathlib.Path(log).read_text(errors="replace"))))
        x("xrandr", "--addmode", "DUMMY1", "1024x576", check=True)
        set_monitors()

    def start_at(self, place):
        run = self.bolta()
        pathlib.Path(run.settings).write_bytes(stored_place(place + STORED_SIZE, True))
        return run, run.start(self.server.thread("demo")).window(BOARD_TITLE)

    def test_a_stored_place_on_the_second_monitor_or_across_both_comes_back_as_stored(self):
        for name, place in (("second", (1500, 400)), ("across", (1200, 300))):
            with self.subTest(name):
                if name == "across" and WM == "mutter":
                    self.skipTest("mutter moves a new window that spans two monitors onto one")
                run, window = self.start_at(place)
                outer = window.settled_outer(place)
                self.assertEqual(window.client()[2:], FITTED)
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

    def test_a_place_on_a_monitor_gone_since_or_on_none_comes_up_centred_on_the_primary(self):
        set_monitors(second=False)
        self.addCleanup(set_monitors)
        for place in ((1500, 400), (-2000, -1500)):
            with self.subTest(place):
                run, window = self.start_at(place)
                outer = window.settled_outer()
                self.assertEqual(outer[:2], centred(outer[2:]))
                self.close(run, window)
                self.assert_settings(run, stored_place(outer, True))


if __name__ == "__main__":
    main()
