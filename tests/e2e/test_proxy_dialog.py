"""The proxy settings dialog as a user meets it: opened from the frame's window menu with the mouse
and with the keyboard, typed into, cancelled and confirmed, where it appears, and the next start's
request going through a real tinyproxy or straight to the board."""
import os
import pathlib
import re
import signal
import subprocess
import time

from desktop import (ABOVE, BOARD_TITLE, DesktopCase, key, main, refused_port, spawn, stop,
                     wait_for, work_area, xdotool)

DIALOG_TITLE = "プロキシの設定"
DIALOG_UNITS = (119, 105)  # the dialog's client size in dialog units


def ini(**keys):
    """A settings file holding section BOLTA with `keys` in the order given, in code page 932."""
    return ("[BOLTA]\r\n" + "".join("%s=%s\r\n" % item for item in keys.items())).encode("cp932")


def centred(size, frame, area):
    """Where a window of `size` centred on `frame` and kept inside the work `area` goes."""
    return tuple(max(area[i], min((2 * frame[i] + frame[i + 2]) // 2 - size[i] // 2,
                                  area[i] + area[i + 2] - size[i])) for i in (0, 1)) + tuple(size)


def type_text(text):
    xdotool("type", "--delay", 60, text)


class ProxyDialog(DesktopCase):

    def start(self, folder=None, settings=None):
        """The tool on the demo board, once it shows the signboard and stands still."""
        tool = self.bolta(folder)
        if settings:
            pathlib.Path(tool.settings).write_bytes(settings)
        frame = tool.start(self.server.thread("demo")).window(BOARD_TITLE)
        # The fit brings the frame back from its park; the frame counts its moves as settled a
        # second later, and only then takes a move by the window manager for the user's.
        time.sleep(1.5)
        return tool, frame

    def open_dialog(self, tool, frame, menu_key=None):
        """Opens the dialog from the window menu: by keyboard after `menu_key`, else by mouse."""
        menu = self.open_menu(tool, frame, menu_key)
        if menu_key:
            key("p")
        else:
            time.sleep(0.3)
            xdotool("mousemove", *self.proxy_entry(menu), "click", "1")
        dialog = tool.window(DIALOG_TITLE, 10)
        time.sleep(0.5)
        # Centred on the frame, inside the work area, modal to it and above it (it is on top).
        placed = dialog.outer()
        self.assertEqual(placed, centred(placed[2:], frame.outer(), work_area()))
        self.assertIn("0x%x" % int(frame.wid), dialog.prop("WM_TRANSIENT_FOR"))
        self.assertIn("_NET_WM_STATE_MODAL", dialog.states())
        self.assertIn(ABOVE, dialog.states())
        return dialog

    def proxy_entry(self, menu):
        """The middle of the proxy entry: between the menu's second and third separator lines,
        found in a screenshot along a column right of every label and mark."""
        x, y, width, height = menu.client()
        shot = self.screenshot(os.path.join(self.folder, "menu.png"))
        column = subprocess.run(
            ["convert", shot, "-crop", "1x%d+%d+%d" % (height, x + width - 4, y), "+repage",
             "-depth", "8", "txt:-"], capture_output=True, text=True, check=True).stdout
        colours = [line.split()[-1] for line in column.splitlines()[1:]]
        background = max(set(colours), key=colours.count)
        # Rows off the background, less the menu's own border, grouped into lines.
        rows = [i for i, c in enumerate(colours) if c != background and 2 < i < height - 3]
        lines = [r for i, r in enumerate(rows) if i == 0 or rows[i - 1] != r - 1]
        self.assertEqual(len(lines), 3, "three separators in the window menu")
        return (x + width // 2, y + (lines[1] + lines[2]) // 2)

    def click(self, dialog, dx, dy):
        """A click at dialog unit (dx, dy) of the dialog's client area."""
        x, y, width, height = dialog.client()
        xdotool("mousemove", x + dx * width // DIALOG_UNITS[0], y + dy * height // DIALOG_UNITS[1],
                "click", 1)
        time.sleep(0.2)

    def close_dialog(self, tool, *keys):
        if keys:
            key(*keys)
        wait_for("the dialog to close", lambda: not tool.windows(DIALOG_TITLE), 10)

    def test_cancel_stores_what_was_there_and_ok_what_was_typed_wherever_the_frame_is(self):
        tool, frame = self.start()
        dialog = self.open_dialog(tool, frame)
        self.click(dialog, 12, 7)  # the box
        self.click(dialog, 59, 36)  # the address edit
        type_text("changed")
        self.click(dialog, 59, 63)  # the port edit
        type_text("99")
        self.screenshot("e2e-proxy-dialog.png")
        self.click(dialog, 87, 89)  # Cancel
        self.close_dialog(tool)
        self.assert_settings(tool, ini(PROXY_ADDRESS="", PROXY_PORT="", USE_PROXY=0))

        # With the frame in the bottom right corner the dialog is kept inside the work area.
        _, _, right, bottom = work_area()
        xdotool("windowmove", "--sync", frame.wid, right - 120, bottom - 40)
        time.sleep(0.5)
        self.open_dialog(tool, frame, "alt+space")
        # OK has the focus: Tab goes Cancel, the box, the address edit, the port edit.
        key("Tab", "Tab", "space", "Tab")
        type_text("代理.example")
        key("Tab")
        type_text("80a")
        self.close_dialog(tool, "Return")
        self.assert_settings(tool, ini(PROXY_ADDRESS="代理.example", PROXY_PORT="80a", USE_PROXY=1))

    def test_a_start_without_use_proxy_goes_direct_and_the_next_through_the_proxy_ticked(self):
        port, log = refused_port(), os.path.join(self.folder, "tinyproxy.log")
        config = os.path.join(self.folder, "tinyproxy.conf")
        with open(config, "w") as f:
            f.write('Port %d\nListen 127.0.0.1\nAllow 127.0.0.1\nTimeout 10\nLogLevel Connect\n'
                    'LogFile "%s"\n' % (port, log))
        # Listening long before the second start, the first that may use it.
        self.addCleanup(stop, [spawn(["tinyproxy", "-d", "-c", config])])
        requests = lambda: re.findall(r"Request \(file descriptor \d+\): (.*)",
                                      pathlib.Path(log).read_text())

        tool, frame = self.start(settings=ini(PROXY_ADDRESS="127.0.0.1", PROXY_PORT=port,
                                              USE_PROXY=0))
        self.assertEqual(requests(), [], "direct without USE_PROXY")
        self.open_dialog(tool, frame, "alt+space")
        self.close_dialog(tool, "Tab", "Tab", "space", "Return")
        self.close(tool, frame)
        again, frame = self.start(tool.folder)
        self.assertEqual(requests(), [
            "GET http://127.0.0.1:%d/demo/SETTING.TXT HTTP/1.0" % self.server.port])
        self.close(again, frame)

    def test_the_session_ending_over_the_dialog_cancels_it_and_over_a_warning_waits_idle(self):
        tool, frame = self.start()
        self.open_dialog(tool, frame, "alt+space")
        tool.process.send_signal(signal.SIGTERM)
        self.assertEqual(tool.process.wait(timeout=10), 0, "exit code with the dialog open")

        tool, frame = self.start()
        dialog = self.open_dialog(tool, frame)
        self.click(dialog, 59, 36)  # the address edit
        type_text("é")  # no Shift_JIS form: OK warns in a message box
        self.click(dialog, 30, 89)  # OK
        time.sleep(1)
        tool.process.send_signal(signal.SIGTERM)
        before = cpu_ticks(tool.process.pid)
        time.sleep(2)
        self.assertLess(cpu_ticks(tool.process.pid) - before, 20, "waits for the answer idle")
        self.assertIsNone(tool.process.poll(), "the warning is still up")
        key("Return")
        self.assertEqual(tool.process.wait(timeout=10), 0, "exit code once it is answered")


def cpu_ticks(pid):
    """User and system time of process `pid` so far, in clock ticks."""
    fields = pathlib.Path("/proc/%d/stat" % pid).read_text().rsplit(")", 1)[1].split()
    return int(fields[11]) + int(fields[12])


if __name__ == "__main__":
    main()
