"""The fit at other display scales, as a user with a larger screen scale or larger text sees it."""
from desktop import MARGIN, MESSAGE_TITLE, PICTURE, PICTURE_RED, DesktopCase, main

NEW_PICTURE, BLUE = (200, 100), (20, 60, 160)


class Fit(DesktopCase):

    def test_the_frame_shows_the_whole_picture_and_its_margin_at_any_scale_also_after_f5(self):
        # GDK_SCALE scales the whole window, margin included; text scaling zooms the page only.
        for env, zoom, window_scale in (({"GDK_SCALE": "2"}, 1, 2),
                                        ({"GDK_DPI_SCALE": "1.5"}, 1.5, 1)):
            with self.subTest(env):
                self.change_picture(PICTURE, PICTURE_RED)
                run, window = self.signboard("changing", env=env)
                scale, name = zoom * window_scale, "e2e-scale-%s" % "".join(env)
                self.assert_fitted(window, self.screenshot(name + "-first.png"), PICTURE,
                                   PICTURE_RED, scale=scale, window_scale=window_scale)
                self.change_picture(NEW_PICTURE, BLUE)
                self.refresh(window, tuple(round(side * scale) + MARGIN * window_scale
                                           for side in NEW_PICTURE), window.outer())
                self.assert_fitted(window, self.screenshot(name + "-f5.png"), NEW_PICTURE, BLUE,
                                   scale=scale, window_scale=window_scale)
                self.close(run, window)

    def test_the_message_page_grows_with_the_text_and_the_frame_with_it(self):
        plain = self.bolta().start()
        larger = self.bolta().start(env={"GDK_DPI_SCALE": "1.5"})
        plain_size = plain.window(MESSAGE_TITLE).client()[2:]
        larger_size = larger.window(MESSAGE_TITLE).client()[2:]
        # Line heights round at each size, so the text art grows by about, not exactly, 1.5.
        for small, large in zip(plain_size, larger_size):
            self.assertTrue(1.4 <= (large - MARGIN) / (small - MARGIN) <= 1.6,
                            "%s against %s" % (larger_size, plain_size))


if __name__ == "__main__":
    main()
