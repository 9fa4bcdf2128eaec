"""Where the frame comes up, and that F5 never takes it off the screen, watched on the X server."""
import ctypes
import ctypes.util
import pathlib
import re

from desktop import BOARD_TITLE, FITTED, MARGIN, DesktopCase, main, work_area

libx11 = ctypes.cdll.LoadLibrary(ctypes.util.find_library("X11"))
libx11.XOpenDisplay.restype = ctypes.c_void_p
libx11.XOpenDisplay.argtypes = [ctypes.c_char_p]
libx11.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
libx11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
libx11.XPending.argtypes = [ctypes.c_void_p]
libx11.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
libx11.XCloseDisplay.argtypes = [ctypes.c_void_p]
STRUCTURE_NOTIFY_MASK, UNMAP_NOTIFY = 1 << 17, 18


class UnmapWatch:
    """Counts the window's unmaps as the X server reports them: none is missed, however short."""

    def __init__(self, wid):
        self.display = libx11.XOpenDisplay(None)
        libx11.XSelectInput(self.display, int(wid, 0), STRUCTURE_NOTIFY_MASK)
        libx11.XSync(self.display, 0)

    def unmaps(self):
        event, count = (ctypes.c_long * 24)(), 0
        libx11.XSync(self.display, 0)
        while libx11.XPending(self.display):
            libx11.XNextEvent(self.display, event)
            count += ctypes.cast(event, ctypes.POINTER(ctypes.c_int))[0] == UNMAP_NOTIFY
        libx11.XCloseDisplay(self.display)
        return count


def centred(size):
    ax, ay, aw, ah = work_area()
    return ((2 * ax + aw) // 2 - size[0] // 2, (2 * ay + ah) // 2 - size[1] // 2)


class Placement(DesktopCase):

    def test_a_place_on_no_monitor_comes_up_centred_on_the_screen_and_is_stored_there(self):
        for left, top in ((3000, 100), (-2000, -1500)):
            with self.subTest((left, top)):
                run = self.bolta()
                pathlib.Path(run.settings).write_text(
                    "[BOLTA]\nWINDOW_LEFT=%d\nWINDOW_TOP=%d\nWINDOW_RIGHT=%d\nWINDOW_BOTTOM=%d\n"
                    % (left, top, left + 306, top + 97))
                window = run.start(self.server.thread("demo")).window(BOARD_TITLE)
                outer = window.outer()
                self.assertEqual(window.client()[2:], FITTED)
                self.assertEqual(outer[:2], centred(outer[2:]))
                self.close(run, window)
                stored = pathlib.Path(run.settings).read_text()
                self.assertEqual([int(re.search(r"WINDOW_%s=(-?\d+)" % side, stored).group(1))
                                  for side in ("LEFT", "TOP", "RIGHT", "BOTTOM")],
                                 [*outer[:2], outer[0] + outer[2], outer[1] + outer[3]])

    def test_f5_and_a_quick_double_f5_keep_the_frame_mapped_in_place_and_fit_the_new_picture(self):
        run, window = self.signboard("changing")
        place = window.outer()
        watch = UnmapWatch(window.wid)
        for keys, size in ((["F5"], (200, 100)), (["F5", "F5"], (260, 60))):
            self.change_picture(size, (20, 60, 160))
            self.refresh(window, (size[0] + MARGIN, size[1] + MARGIN), place, keys)
        self.assertEqual(watch.unmaps(), 0, "the frame was unmapped")
        self.screenshot("e2e-placement-f5.png")
        self.close(run, window)


if __name__ == "__main__":
    main()
