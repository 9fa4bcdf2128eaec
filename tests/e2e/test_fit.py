"""The fit at other display scales, as a user with a larger screen scale or larger text sees it,
and F5 on a board whose signboard has changed."""
import os
import shutil
import subprocess
import time

from desktop import BOARD_TITLE, DEMO, DesktopCase, key, main, pixel

MESSAGE_TITLE = "(;´Д｀)"
PICTURE = (300, 72)  # the demo's title picture, in the page's pixels
MARGIN = 4
PICTURE_RED = (139, 26, 26)
INSIDE_FAR_CORNER = (288, 62)  # the picture's red, just inside its rim at the bottom right
BACKGROUND = ((243, 228, 193), (253, 246, 227))  # the demo background's two colours


def is_background(colour):
    """Either colour of the background, or a blend of the two where the engine scales it."""
    return all(low - 3 <= c <= high + 3 for c, low, high in zip(colour, *BACKGROUND))


class Fit(DesktopCase):

    @classmethod
    def boards(cls):
        """The demo board, and a copy of it whose pictures a test may change."""
        boards = super().boards()
        boards["changing"] = os.path.join(cls.folder, "changing")
        shutil.copytree(DEMO, boards["changing"])
        return boards

    def test_the_frame_shows_the_whole_picture_and_its_margin_at_any_scale_also_after_f5(self):
        # GDK_SCALE scales the whole window, margin included; text scaling zooms the page only.
        for env, zoom, window_scale in (({"GDK_SCALE": "2"}, 1, 2),
                                        ({"GDK_DPI_SCALE": "1.5"}, 1.5, 1)):
            with self.subTest(env):
                run = self.bolta().start(self.server.thread("demo"), env=env)
                window = run.window(BOARD_TITLE)
                scale = zoom * window_scale
                expected = tuple(round(side * scale) + MARGIN * window_scale for side in PICTURE)
                for when in ("first", "f5"):
                    if when == "f5":
                        window.activate()
                        key("F5")
                        time.sleep(1.5)
                        window.settled_outer()
                    left, top, width, height = window.client()
                    self.assertEqual((width, height), expected, when)
                    shot = self.screenshot("e2e-scale-%s-%s.png" % ("".join(env), when))
                    corner = tuple(round(c * scale) for c in INSIDE_FAR_CORNER)
                    self.assertEqual(pixel(shot, left + corner[0], top + corner[1]), PICTURE_RED,
                                     "the picture's far corner, %s" % when)
                    beyond = [(round(PICTURE[0] * scale) + 1, height // 2),
                              (width // 2, round(PICTURE[1] * scale) + 1),
                              (width - 1, height - 1)]
                    for x, y in beyond:
                        self.assertTrue(is_background(pixel(shot, left + x, top + y)),
                                        "the margin at %d, %d, %s" % (x, y, when))
                self.close(run, window)

    def test_the_message_page_grows_with_the_text_and_the_frame_with_it(self):
        plain = self.bolta().start()
        larger = self.bolta().start(env={"GDK_DPI_SCALE": "1.5"})
        plain_size = plain.window(MESSAGE_TITLE).client()[2:]
        larger_size = larger.window(MESSAGE_TITLE).client()[2:]
        self.screenshot("e2e-scale-message.png")
        # Line heights round at each size, so the text art grows by about, not exactly, 1.5.
        for small, large in zip(plain_size, larger_size):
            self.assertTrue(1.4 <= (large - MARGIN) / (small - MARGIN) <= 1.6,
                            "%s against %s" % (larger_size, plain_size))


    def test_f5_fetches_a_changed_picture_again_and_fits_the_frame_to_it(self):
        run = self.bolta().start(self.server.thread("changing"))
        window = run.window(BOARD_TITLE)
        self.assertEqual(window.client()[2:], tuple(side + MARGIN for side in PICTURE))
        place = window.outer()[:2]
        # The board puts up a new signboard: larger, and blue.
        subprocess.run(["convert", "-size", "200x100", "xc:rgb(20,60,160)", os.path.join(
            self.board_folders["changing"], "title.png")], check=True)
        window.activate()
        key("F5")
        time.sleep(1.5)
        self.assertEqual(window.settled_outer()[:2], place, "back where it was")
        left, top, width, height = window.client()
        self.assertEqual((width, height), (200 + MARGIN, 100 + MARGIN))
        shot = self.screenshot("e2e-reloaded.png")
        self.assertEqual(pixel(shot, left + 198, top + 98), (20, 60, 160), "the new picture")
        self.assertTrue(is_background(pixel(shot, left + 201, top + 101)), "the margin")
        self.close(run, window)


if __name__ == "__main__":
    main()
