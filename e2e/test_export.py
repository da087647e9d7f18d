"""Saving a text row as a file: the .txt and .doc buttons write the row's text
into the working folder and say so; a write that fails names the file and
keeps the row."""

import os

import harness
from harness import E2ETest, wait_until

SAVED = "File saved Pastewright run catalog"


class Export(E2ETest):
    def setUp(self):
        super().setUp()
        self.app = self.start_app()
        self.copy_text("Hello, World!")
        wait_until(lambda: self.app.captions() == ["Hello, W"],
                   what=lambda: f"row 1 to read 'Hello, W' (rows: {self.app.captions()})")

    def press_and_answer(self, family, index):
        """Clicks a row's save button and returns the text of the box it shows,
        after answering it."""
        app = self.app
        app.driver.press(app.control(family, index))
        box, text = app.wait_message_box()
        app.answer_ok(box)
        return text

    def test_txt_and_doc_hold_the_row_text(self):
        self.assertEqual(self.press_and_answer("t", 1), SAVED)
        with open(os.path.join(self.work, "HelloW.txt"), "rb") as f:
            self.assertEqual(f.read(), b"Hello, World!\r\n")

        self.assertEqual(self.press_and_answer("w", 1), SAVED)
        with open(os.path.join(self.work, "HelloW.doc"), "rb") as f:
            self.assertEqual(f.read(), b"Hello, World!\r\n")

        self.settle()
        self.assertEqual(self.app.message_boxes(), [])
        self.assertEqual(self.app.captions(), ["Hello, W"])

    def test_a_folder_in_the_way_gives_an_error_naming_the_file(self):
        blocker = os.path.join(self.work, "HelloW.txt")
        os.mkdir(blocker)

        text = self.press_and_answer("t", 1)
        self.assertTrue(text.startswith('The file "HelloW.txt" could not be saved: '),
                        f"unexpected message: {text!r}")
        self.assertNotEqual(text, SAVED)
        self.assertTrue(os.path.isdir(blocker), "the folder in the way was replaced")

        self.settle()
        self.assertEqual(self.app.message_boxes(), [], "a second box followed the error")
        self.assertEqual(self.app.captions(), ["Hello, W"])
        # The same row still saves as .doc.
        self.assertEqual(self.press_and_answer("w", 1), SAVED)
        with open(os.path.join(self.work, "HelloW.doc"), "rb") as f:
            self.assertEqual(f.read(), b"Hello, World!\r\n")

    def test_characters_outside_the_code_page_are_kept(self):
        # Wine's code page here is 1252: the Chinese characters drop out of the
        # name, and the file is written in UTF-8 so that none is lost.
        self.copy_text("中文 text")
        self.app.wait_captions(["Hello, W", "中文 text"])
        self.assertEqual(self.press_and_answer("t", 2), SAVED)
        with open(os.path.join(self.work, "text.txt"), "rb") as f:
            self.assertEqual(f.read(), b"\xef\xbb\xbf" + "中文 text\r\n".encode())


if __name__ == "__main__":
    harness.main()
