"""Pictures copied in an X11 program fill the picture slots: a BMP and a PNG."""

import datetime
import os

import harness
from harness import E2ETest, wait_until
from images import Bitmap, write_bmp, write_png

RED = (220, 30, 40)
BLUE = (20, 60, 200)
GREEN = (30, 160, 60)


def hex_of(rgb):
    return "".join(f"{c:02X}" for c in rgb)


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

    def test_clicking_a_thumbnail_puts_the_picture_back_and_makes_it_the_newest(self):
        app = self.app
        for n, colour in enumerate((RED, BLUE, GREEN), start=1):
            bmp = os.path.join(self.work, f"picture{n}.bmp")
            write_bmp(bmp, 32, 24, colour)
            self.copy_picture(bmp, "image/bmp")
            wait_until(lambda: self.thumbnail_colour(n) == hex_of(colour), what=f"thumbnail {n}")

        app.driver.press(app.control("simg", 1))
        box, text = app.wait_message_box()
        self.assertEqual(text, "Content Ready Paste OK")
        app.answer_ok(box)
        wait_until(lambda: [self.thumbnail_colour(n) for n in (1, 2, 3)]
                   == [hex_of(BLUE), hex_of(GREEN), hex_of(RED)],
                   what="the thumbnails to read blue, green, red")
        self.assertTrue(self.slot_shown(3))
        self.assertFalse(self.slot_shown(4))

        # The clipboard holds the clicked picture, whole.
        back = os.path.join(self.work, "clipboard.bmp")
        width, height, _ = self.driver.clip_dib(back)
        self.assertEqual((width, abs(height)), (32, 24))
        picture = Bitmap(back)
        self.assertEqual({picture.pixel(x, y) for x in (0, 31) for y in (0, 23)}, {RED})

    def test_a_click_on_an_empty_thumbnail_does_nothing(self):
        bmp = os.path.join(self.work, "red.bmp")
        write_bmp(bmp, 8, 8, RED)
        self.copy_picture(bmp, "image/bmp")
        wait_until(lambda: self.slot_shown(1), what="picture slot 1")
        formats = self.driver.clip_formats()

        self.driver.press_and_wait(self.app.control("simg", 4))
        self.assertEqual(self.app.message_boxes(), [])
        self.assertEqual(self.driver.clip_formats(), formats)
        self.assertTrue(self.slot_shown(1))
        self.assertFalse(self.slot_shown(2))

    def fill(self, colours):
        for n, colour in enumerate(colours, start=1):
            bmp = os.path.join(self.work, f"picture{n}.bmp")
            write_bmp(bmp, 32, 24, colour)
            self.copy_picture(bmp, "image/bmp")
            wait_until(lambda: self.thumbnail_colour(n) == hex_of(colour), what=f"thumbnail {n}")

    def test_deleting_slot_3_of_5_moves_the_later_pictures_down(self):
        colours = [RED, BLUE, GREEN, (200, 200, 30), (120, 40, 160)]
        self.fill(colours)
        self.driver.press(self.app.control("dpic", 3))
        wait_until(lambda: not self.slot_shown(5), what="slot 5 to empty")
        expected = colours[:2] + colours[3:]
        for n, colour in enumerate(expected, start=1):
            wait_until(lambda: self.thumbnail_colour(n) == hex_of(colour), what=f"thumbnail {n}")
            self.assertTrue(self.slot_shown(n))
        self.settle()
        self.assertEqual(self.app.message_boxes(), [])

    def test_a_save_that_cannot_be_written_says_so_and_keeps_the_picture(self):
        self.fill([RED])
        # The file's name is the moment of saving; folders of those names for
        # the next minute stand in the way whenever the click lands.
        now = datetime.datetime.now()
        for s in range(60):
            t = now + datetime.timedelta(seconds=s)
            os.mkdir(os.path.join(self.work, f"Pastewright{t.year}{t.month}{t.day}"
                                             f"{t.hour}{t.minute}{t.second}.bmp"))
        self.driver.press(self.app.control("sav", 1))
        box, text = self.app.wait_message_box()
        self.assertTrue(text.startswith('The file "Pastewright'), text)
        self.assertIn("could not be saved", text)
        self.app.answer_ok(box)
        self.settle()
        self.assertEqual(self.app.message_boxes(), [])
        self.assertTrue(self.slot_shown(1))
        self.assertEqual(self.thumbnail_colour(1), hex_of(RED))


if __name__ == "__main__":
    harness.main()
