"""Previewing a stored picture: the preview window opens with its title and
shows a small picture at its own size from the top-left corner; closing it
leaves the program running with the picture kept."""

import os

import harness
from harness import E2ETest, wait_until
from images import write_png

PREVIEW_TITLE = "Pastewright Thrift Memory Preview [Don't effect photo quality]"
PREVIEW_CLASS = "PastewrightPreview"
ORANGE = (240, 140, 20)


def hex_of(rgb):
    return "".join(f"{c:02X}" for c in rgb)


class Preview(E2ETest):
    def open_preview(self, app, n):
        """Clicks slot n's preview button and waits for the window to show."""
        app.driver.press(app.control("pv", n))
        preview = wait_until(lambda: self.driver.find(PREVIEW_TITLE, PREVIEW_CLASS),
                             what="the preview window")
        wait_until(lambda: self.driver.visible(preview), what="the preview window to show")
        return preview

    def test_preview_of_a_200_by_150_png(self):
        app = self.start_app()
        png = os.path.join(self.work, "orange.png")
        write_png(png, 200, 150, ORANGE)
        self.copy_picture(png, "image/png")
        wait_until(lambda: app.visible("pv", 1), what="picture slot 1")

        preview = self.open_preview(app, 1)
        self.assertEqual(self.driver.caption(preview), PREVIEW_TITLE)
        self.assertEqual(app.message_boxes(), [])

        box = self.driver.child(preview, self.driver.control_id("PreviewImage"))
        self.assertTrue(box, "the preview window has no picture box")
        left, top, right, bottom = self.driver.rect(box)
        inside = lambda x, y: self.driver.pixel(left + x, top + y)
        wait_until(lambda: inside(100, 75) == hex_of(ORANGE),
                   what=lambda: f"the picture to show (the box shows {inside(100, 75)})")
        # The picture is smaller than the box: it sits at its own size in the
        # top-left corner, and the box shows its background beside and below it.
        for x, y in ((0, 0), (199, 0), (0, 149), (199, 149)):
            self.assertEqual(inside(x, y), hex_of(ORANGE), f"picture pixel ({x}, {y})")
        for x, y in ((200, 0), (200, 75), (0, 150), (100, 150), (200, 150)):
            self.assertNotEqual(inside(x, y), hex_of(ORANGE), f"box pixel ({x}, {y})")
        self.assertGreater(right - left, 210)
        self.assertGreater(bottom - top, 160)

        self.driver.close(preview)
        wait_until(lambda: not self.driver.exists(preview) or not self.driver.visible(preview),
                   what="the preview window to close")
        self.settle()
        self.assertTrue(app.running())
        self.assertTrue(app.visible("pv", 1))

    def test_a_large_picture_fills_the_box_and_a_second_click_keeps_it(self):
        app = self.start_app()
        blue = (20, 60, 220)
        # 400 px is over 100 mm at 96 dpi but smaller than the box: only
        # stretching brings it to the box's far corner.
        for name, size, colour in (("wide", (400, 300), blue), ("small", (200, 150), ORANGE)):
            png = os.path.join(self.work, f"{name}.png")
            write_png(png, *size, colour)
            self.copy_picture(png, "image/png")
        wait_until(lambda: app.visible("pv", 2), what="picture slots 1 and 2")

        preview = self.open_preview(app, 1)
        box = self.driver.child(preview, self.driver.control_id("PreviewImage"))
        left, top, right, bottom = self.driver.rect(box)
        corners = [(left, top), (right - 1, top), (left, bottom - 1), (right - 1, bottom - 1)]
        # Stretched to the whole box, corner to corner.
        wait_until(lambda: all(self.driver.pixel(x, y) == hex_of(blue) for x, y in corners),
                   what=lambda: "the picture to fill the box "
                                f"({[self.driver.pixel(x, y) for x, y in corners]})")

        # Another slot's preview button while it is open: the same window comes
        # forward, still showing the first picture.
        app.driver.press(app.control("pv", 2))
        self.settle()
        self.assertEqual(self.driver.find_all(PREVIEW_TITLE, PREVIEW_CLASS), [preview])
        self.assertEqual(self.driver.pixel(left, top), hex_of(blue))
        self.assertEqual(self.driver.pixel(right - 1, bottom - 1), hex_of(blue))


if __name__ == "__main__":
    harness.main()
