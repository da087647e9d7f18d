"""Texts copied in an X11 program reach the rows: captions, icons, the one-
character rule, non-ASCII text, and the oldest text dropped from a full list."""

import harness
from harness import E2ETest, wait_until


class CopiesFromX11(E2ETest):
    def setUp(self):
        super().setUp()
        self.app = self.start_app()

    def test_a_copied_text_fills_row_1_and_a_single_character_is_ignored(self):
        app = self.app
        self.copy_text("Hello, world")
        self.app.wait_captions(["Hello, w"])
        for family, index in (("ClipShow", 0), ("t", 1), ("w", 1), ("d", 0)):
            self.assertTrue(app.visible(family, index), f"{family}{index} is hidden")
        self.assertTrue(app.enabled("EmptyAll"))
        self.assertFalse(app.visible("ClipShow", 1))

        # "x" goes round the viewers but is not stored; "ab" is.
        self.copy_text("x")
        self.copy_text("ab")
        self.app.wait_captions(["Hello, w", "ab"])
        self.assertFalse(app.visible("ClipShow", 2))
        self.assertFalse(app.visible("t", 3))

    def test_non_ascii_text_arrives_intact_and_goes_back_on_the_clipboard(self):
        app = self.app
        self.copy_text("héllo 中文")
        self.app.wait_captions(["héllo 中文"])

        # A click on the row puts the text back, through a message box.
        app.driver.press(app.row(1))
        box, text = app.wait_message_box()
        self.assertEqual(text, "Content Ready Paste OK")
        app.answer_ok(box)
        wait_until(lambda: self.driver.clip_text() == "héllo 中文",
                   what="the clipboard to hold the clicked text")
        self.app.wait_captions(["héllo 中文"])
        self.assertEqual(self.x11.read(), "héllo 中文".encode("utf-8"))

    def test_eleven_texts_drop_the_oldest_and_shift_the_captions(self):
        texts = [f"{n:02d} copied text" for n in range(1, 12)]
        for text in texts[:10]:
            self.copy_text(text)
        self.app.wait_captions([t[:8] for t in texts[:10]])

        self.copy_text(texts[10])
        self.app.wait_captions([t[:8] for t in texts[1:11]])
        self.assertEqual(self.app.row_caption(1), "02 copie")
        self.assertEqual(self.app.row_caption(10), "11 copie")
        self.assertFalse(self.app.message_box(), "a full list showed a message box")


if __name__ == "__main__":
    harness.main()
