"""A desktop of two monitors that GTK sees as two (Xvfb's, even with Xinerama or RandR monitors set
by hand, it sees as one): Xorg with the dummy video driver, its outputs DUMMY0 the primary monitor
and DUMMY1 the second, to its right, their bottoms level."""
import os
import re

from desktop import DesktopCase, spawn, wait_for, x

PRIMARY, SECOND = (0, 0, 1280, 800), (1280, 224, 1024, 576)
# Two modes of our own besides the driver's standard ones (1024 x 576 is none of those); the
# virtual screen is large enough for both monitors side by side.
XORG_CONF = """
Section "ServerFlags"
  Option "AutoAddDevices" "false"
  Option "DontVTSwitch" "true"
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
  Modeline "1280x800" 83.50 1280 1352 1480 1680 800 803 809 831 -hsync +vsync
  Modeline "1024x576" 46.50 1024 1064 1160 1296 576 579 584 599 -hsync +vsync
EndSection
Section "Screen"
  Identifier "screen"
  Device "card"
  Monitor "monitor"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
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
    command = ["xrandr", "--fb", "%dx%d" % tuple(max(r[i] + r[i + 2] for r in rects) for i in (0, 1))]
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
        read_end, write_end = os.pipe()
        cls.processes.append(spawn(["Xorg", "-config", config, "-noreset", "-nolisten", "tcp",
                                    "-logfile", os.path.join(cls.folder, "xorg.log"),
                                    "-displayfd", write_end], pass_fds=[write_end]))
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            os.environ["DISPLAY"] = ":" + pipe.readline().strip()
        x("xrandr", "--addmode", "DUMMY1", "%dx%d" % SECOND[2:], check=True)
        set_monitors(PRIMARY, SECOND)

    def without_second_monitor(self):
        """The second monitor switched off until the end of the test."""
        set_monitors(PRIMARY)
        self.addCleanup(set_monitors, PRIMARY, SECOND)
