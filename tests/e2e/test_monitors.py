"""The frame on a desktop of two monitors: where a stored place brings it back, also when a monitor
has gone since, and where the centre command puts it. GTK sees Xvfb's monitors as one, even with
Xinerama or RandR monitors set by hand: this desktop is Xorg with the dummy video driver, its
outputs DUMMY0 the primary monitor and DUMMY1 the second, to its right, their bottoms level."""
import os
import pathlib
import re

from desktop import (BOARD_TITLE, FITTED, DesktopCase, centred, key, main, spawn, stored_place,
                     wait_for, x)

PRIMARY, SECOND = (0, 0, 1280, 800), (1280, 224, 1024, 576)
STORED_SIZE = (306, 99)  # the fit gives the frame its size, the place is what counts
# No input devices of the machine's (the tests type through XTEST), and a screen large enough for
# both monitors side by side.
XORG_CONF = """
Section "ServerFlags"
  Option "AutoAddDevices" "false"
EndSection
Section "Device"
  Identifier "card"
  Driver "dummy"
  VideoRam 65536
EndSection
Section "Monitor"
  Identifier "monitor"
  HorizSync 5.0 - 1000.0
  VertRefresh 5.0 - 200.0
EndSection
Section "Screen"
  Identifier "screen"
  Device "card"
  Monitor "monitor"
  SubSection "Display"
    Virtual 2304 800
  EndSubSection
EndSection
"""


def set_monitors(*rects):
    """Switches DUMMY0, DUMMY1 on at `rects` (the first the primary), the others off."""
    command = ["xrandr", "--fb", "%dx%d" % (max(r[0] + r[2] for r in rects),
                                            max(r[1] + r[3] for r in rects))]
    for output in range(2):
        command += ["--output", "DUMMY%d" % output]
        if output < len(rects):
            left, top, width, height = rects[output]
            command += ["--mode", "%dx%d" % (width, height), "--pos", "%dx%d" % (left, top)]
            command += ["--primary"] if output == 0 else []
        else:
            command += ["--off"]
    x(*command, check=True)

    def listed():  # the monitors as the X server lists them, the primary first
        found = re.findall(r"^\s*\d+: \+(\*?)\S+ (\d+)/\d+x(\d+)/\d+\+(\d+)\+(\d+)",
                           x("xrandr", "--listmonitors"), re.M)
        return [tuple(map(int, (left, top, width, height))) for _, width, height, left, top
                in sorted(found, key=lambda m: not m[0])] == list(rects)

    wait_for("the monitors %s" % (rects,), listed)


class TwoMonitors(DesktopCase):

    @classmethod
    def start_display(cls):
        config, log = os.path.join(cls.folder, "xorg.conf"), os.path.join(cls.folder, "xorg.log")
        pathlib.Path(config).write_text(XORG_CONF)
        read_end, write_end = os.pipe()
        # -sharevts: it takes no console of the machine, even when run by root.
        cls.processes.append(spawn(["Xorg", "-config", config, "-sharevts", "-noreset", "-nolisten",
                                    "tcp", "-logfile", log, "-displayfd", write_end],
                                   pass_fds=[write_end]))
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            display = pipe.readline().strip()
        if not display:
            raise AssertionError("Xorg did not start: " + "".join(re.findall(
                r"\(EE\).*\n", pathlib.Path(log).read_text(errors="replace"))))
        os.environ["DISPLAY"] = ":" + display
        x("xrandr", "--addmode", "DUMMY1", "%dx%d" % SECOND[2:], check=True)
        set_monitors(PRIMARY, SECOND)

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
        set_monitors(PRIMARY)
        self.addCleanup(set_monitors, PRIMARY, SECOND)
        for place in ((1500, 400), (-2000, -1500)):
            with self.subTest(place):
                run, window = self.start_at(place)
                outer = window.settled_outer()
                self.assertEqual(outer[:2], centred(outer[2:]))
                self.close(run, window)
                self.assert_settings(run, stored_place(outer, True))


if __name__ == "__main__":
    main()
