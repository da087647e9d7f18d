"""Pictures copied in an X11 program fill the picture slots: a BMP and a PNG."""

import os

import harness
from harness import E2ETest, wait_until
from images import write_bmp, write_png

RED = (220, 30, 40)
BLUE = (20, 60, 200)


class PicturesFromX11(E2ETest):
    def setUp(self):
        super().setUp()
        self.app = self.start_app()

    def thumbnail_colour(self, n):
        left, top, right, bottom = self.driver.rect(self.app.control("simg", n))
        return self.driver.pixel((left + right) // 2, (top + bottom) // 2)

    def slot_shown(self, n):
        return all(self.app.visible(f, n) for f in ("sav", "dpic", "pv"))

    def test_a_bmp_and_a_png_fill_slots_1_and_2(self):
        bmp = os.path.join(self.work, "red.bmp")
        png = os.path.join(self.work, "blue.png")
        write_bmp(bmp, 40, 30, RED)
        write_png(png, 24, 48, BLUE)
        hex_of = lambda rgb: "".join(f"{c:02X}" for c in rgb)

        self.copy_picture(bmp, "image/bmp")
        wait_until(lambda: self.slot_shown(1), what="the buttons of picture slot 1")
        wait_until(lambda: self.thumbnail_colour(1) == hex_of(RED),
                   what="thumbnail 1 to show the red picture")
        self.assertFalse(any(self.app.visible(f, 2) for f in ("sav", "dpic", "pv")))

        self.copy_picture(png, "image/png")
        wait_until(lambda: self.slot_shown(2), what="the buttons of picture slot 2")
        wait_until(lambda: self.thumbnail_colour(2) == hex_of(BLUE),
                   what="thumbnail 2 to show the blue picture")
        self.assertEqual(self.thumbnail_colour(1), hex_of(RED))
        self.assertFalse(self.slot_shown(3))

        # Pictures are no texts: no row appeared and "Empty All" stays disabled.
        self.assertEqual(self.app.visible_rows(), [])
        self.assertFalse(self.app.enabled("EmptyAll"))


if __name__ == "__main__":
    harness.main()
