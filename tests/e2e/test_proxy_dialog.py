"""The proxy settings dialog as a user meets it: opened from the frame's window menu with the mouse
and with the keyboard, typed into, cancelled and confirmed, and where it appears."""
import pathlib
import re
import signal

from desktop import (ABOVE, ALT_SPACE, DEADLINE, SCREEN, DesktopCase, centred, ini, key, main,
                     type_text, wait_for, xdotool)

DIALOG_TITLE = "プロキシの設定"
# OK has the focus: Tab goes to Cancel, the box, the address edit, the port edit.
TO_BOX, TO_ADDRESS = ("Tab", "Tab"), ("Tab", "Tab", "Tab")


def idle(pid, signum):
    """A test that holds once `pid` has taken `signum` and then sleeps through two looks in a row
    without using the processor; a process spinning on never passes it."""
    seen = []

    def still():
        status = pathlib.Path("/proc/%d/status" % pid).read_text()
        pending = re.findall(r"(?:SigPnd|ShdPnd):\s+(\w+)", status)
        fields = pathlib.Path("/proc/%d/stat" % pid).read_text().rsplit(")", 1)[1].split()
        ticks, seen[:] = seen[:], fields[11:13]
        taken = not any(int(mask, 16) >> (signum - 1) & 1 for mask in pending)
        return taken and fields[0] == "S" and ticks == seen

    return still


class ProxyDialog(DesktopCase):

    def open_dialog(self, tool, frame, menu_key=None):
        self.open_menu(tool, frame, menu_key)
        key("p")
        dialog = tool.window(DIALOG_TITLE)
        # Centred on the frame, inside the work area, modal to it and above it (it is on top).
        placed = dialog.settled_outer()
        self.assertEqual(placed[:2], centred(placed[2:], frame.outer()))
        self.assertEqual(dialog.x.get_wm_transient_for().id, frame.wid)
        self.assertLessEqual({"_NET_WM_STATE_MODAL", ABOVE}, set(dialog.states()))
        dialog.activate()
        return dialog

    def close_dialog(self, tool, *keys):
        key(*keys)
        wait_for("the dialog to close", lambda: not tool.windows(DIALOG_TITLE))

    def test_cancel_stores_what_was_there_and_ok_what_was_typed_wherever_the_frame_is(self):
        stored = dict(PROXY_ADDRESS="代理.example", PROXY_PORT=8080, USE_PROXY=0)
        tool = self.bolta()
        pathlib.Path(tool.settings).write_bytes(ini(**stored))
        tool, frame = self.signboard(folder=tool.folder)
        self.open_dialog(tool, frame)
        key(*TO_BOX, "space", "Tab")
        type_text("changed\t99")
        self.close_dialog(tool, "shift+Tab", "shift+Tab", "shift+Tab", "space")  # Cancel
        self.assert_settings(tool, ini(**stored))

        # With the frame in the bottom right corner the dialog is kept inside the work area
        # (KWin keeps the frame wholly on the screen, the others let it stand out).
        before = frame.outer()
        xdotool("windowmove", frame.wid, SCREEN[0] - 120, SCREEN[1] - 40)
        wait_for("the frame moved", lambda: all(
            now > was for now, was in zip(frame.settled_outer()[:2], before[:2])))
        self.open_dialog(tool, frame, ALT_SPACE)
        key(*TO_BOX, "space", "Tab", "Tab")  # the address as it was stored
        type_text("80a")
        self.close_dialog(tool, "Return")
        self.assert_settings(tool, ini(PROXY_ADDRESS="代理.example", PROXY_PORT="80a", USE_PROXY=1))

    def test_the_session_ending_over_the_dialog_cancels_it_and_over_a_warning_waits_idle(self):
        tool, frame = self.signboard()
        self.open_dialog(tool, frame, ALT_SPACE)
        tool.process.send_signal(signal.SIGTERM)
        self.assertEqual(tool.process.wait(timeout=DEADLINE), 0, "exit code with the dialog open")

        tool, frame = self.signboard()
        dialog = self.open_dialog(tool, frame)
        key(*TO_ADDRESS)
        type_text("é")  # no Shift_JIS form: OK warns in a message box
        key("Return")
        warning = wait_for("the warning", lambda: [w for w in tool.windows()
                                                   if w.wid not in (frame.wid, dialog.wid)])[0]
        tool.process.send_signal(signal.SIGTERM)
        wait_for("the tool waiting idle for the answer", idle(tool.process.pid, signal.SIGTERM))
        self.assertIsNone(tool.process.poll(), "still up")
        warning.activate()
        key("Return")
        self.assertEqual(tool.process.wait(timeout=DEADLINE), 0, "exit code once it is answered")


if __name__ == "__main__":
    main()
