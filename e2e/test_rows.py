"""Working with the text rows: a row click puts its text back on the clipboard
and makes it the newest, a delete removes a row quietly, and "Empty All"
clears the rows and the clipboard but keeps the pictures."""

import os

import harness
from harness import E2ETest, wait_until
from images import write_bmp

FIVE = ["Apple pie", "Banana split", "Cherry tart", "Date loaf", "Elderberry wine"]


def caption(text):
    return text[:8].lstrip(" ")


class Rows(E2ETest):
    def setUp(self):
        super().setUp()
        self.app = self.start_app()

    def copy_all(self, texts):
        for text in texts:
            self.copy_text(text)
        self.app.wait_captions([caption(t) for t in texts])

    def test_clicking_row_3_of_5_moves_it_last_and_puts_it_on_the_clipboard(self):
        app = self.app
        self.copy_all(FIVE)

        app.driver.press(app.row(3))
        box, text = app.wait_message_box()
        self.assertEqual(text, "Content Ready Paste OK")
        # The box comes first: nothing has moved yet.
        self.assertEqual(app.captions(), [caption(t) for t in FIVE])

        app.answer_ok(box)
        self.app.wait_captions([caption(t) for t in ("Apple pie", "Banana split", "Date loaf",
                                                 "Elderberry wine", "Cherry tart")])
        wait_until(lambda: self.driver.clip_text() == "Cherry tart",
                   what="the clipboard to hold the clicked text")
        self.assertEqual(self.x11.read(), b"Cherry tart")
        self.assertEqual(app.caption("CtrlFrame"), "Ctrl Panel")
        self.assertEqual(app.message_boxes(), [], "a second message box was shown")

    def test_deleting_a_row_asks_nothing_and_leaves_the_clipboard(self):
        app = self.app
        self.copy_all(FIVE[:3])

        app.driver.press(app.control("d", 0))
        self.app.wait_captions([caption(t) for t in FIVE[1:3]])
        self.settle()
        self.assertEqual(app.message_boxes(), [], "deleting a row showed a message box")
        self.assertFalse(app.visible("ClipShow", 2))
        self.assertFalse(app.visible("d", 2))
        self.assertEqual(self.driver.clip_text(), FIVE[2])
        self.assertEqual(app.caption("CtrlFrame"), "Ctrl Panel")

    def test_empty_all_clears_rows_and_clipboard_but_keeps_pictures(self):
        app = self.app
        for n, colour in enumerate(((200, 0, 0), (0, 150, 0)), start=1):
            bmp = os.path.join(self.work, f"picture{n}.bmp")
            write_bmp(bmp, 16, 16, colour)
            self.copy_picture(bmp, "image/bmp")
            wait_until(lambda: app.visible("sav", n), what=f"picture slot {n}")
        self.copy_all(FIVE[:3])
        self.assertTrue(app.enabled("EmptyAll"))

        app.driver.press(app.control("EmptyAll"))
        wait_until(lambda: app.visible_rows() == [], what="every row to hide")
        wait_until(lambda: self.driver.clip_formats() == [], what="the clipboard to be empty")
        self.settle()
        self.assertFalse(app.enabled("EmptyAll"))
        self.assertEqual(app.message_boxes(), [])
        for n in (1, 2):
            self.assertTrue(all(app.visible(f, n) for f in ("sav", "dpic", "pv")),
                            f"picture slot {n} lost its buttons")
        self.assertFalse(app.visible("sav", 3))

        # The list starts again at row 1.
        self.copy_text("After emptying")
        self.app.wait_captions(["After em"])
        self.assertTrue(app.enabled("EmptyAll"))


if __name__ == "__main__":
    harness.main()
