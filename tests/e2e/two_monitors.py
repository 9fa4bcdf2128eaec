"""A desktop of two monitors that GTK sees as two (Xvfb's, even with Xinerama or RandR monitors set
by hand, it sees as one): Xorg with the dummy video driver, its outputs DUMMY0 the primary monitor
and DUMMY1 the second, to its right, their bottoms level."""
import os
import pathlib
import re

from desktop import DesktopCase, spawn, wait_for, x

PRIMARY, SECOND = (0, 0, 1280, 800), (1280, 224, 1024, 576)
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


def monitors():
    """The monitors' rectangles as the X server lists them, the primary first."""
    listed = re.findall(r"^\s*\d+: \+(\*?)\S+ (\d+)/\d+x(\d+)/\d+\+(\d+)\+(\d+)",
                        x("xrandr", "--listmonitors"), re.M)
    return [tuple(map(int, (left, top, width, height))) for primary, width, height, left, top
            in sorted(listed, key=lambda m: not m[0])]


def set_monitors(*rects):
    """Switches DUMMY0, DUMMY1 on at `rects` (the first the primary), the others off."""
    screen = (max(r[0] + r[2] for r in rects), max(r[1] + r[3] for r in rects))
    command = ["xrandr", "--fb", "%dx%d" % screen]
    for output in range(2):
        command += ["--output", "DUMMY%d" % output]
        if output < len(rects):
            left, top, width, height = rects[output]
            command += ["--mode", "%dx%d" % (width, height), "--pos", "%dx%d" % (left, top)]
            command += ["--primary"] if output == 0 else []
        else:
            command += ["--off"]
    x(*command, check=True)
    wait_for("the monitors %s" % (rects,), lambda: monitors() == list(rects))


class TwoMonitorsCase(DesktopCase):
    """A test class on the two-monitor desktop."""

    @classmethod
    def start_display(cls):
        config = os.path.join(cls.folder, "xorg.conf")
        with open(config, "w") as out:
            out.write(XORG_CONF)
        log = os.path.join(cls.folder, "xorg.log")
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

    def without_second_monitor(self):
        """The second monitor switched off until the end of the test."""
        set_monitors(PRIMARY)
        self.addCleanup(set_monitors, PRIMARY, SECOND)
