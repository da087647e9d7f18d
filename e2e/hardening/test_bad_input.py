"""Hostile clipboard contents from other Windows programs: pictures whose
headers lie, texts without an end or without a body, a 100 MB text, formats
the program does not read. After each: the program is alive and answers, its
store holds what it should and nothing else, and an ordinary copy is still
taken; the memory a huge text took is given back once the text is dropped."""

import hostile
from hostile import (BAD_DIBS, CF_DIB, CF_DIBV5, CF_UNICODETEXT, MIB, HardeningTest, hex_colour,
                     solid_dib, utf16, wait_until)

RED = (210, 30, 40)
GREEN = (30, 160, 60)
BLUE = (30, 60, 200)
ORANGE = (240, 150, 20)
GREY = (128, 128, 128)
# Memory a dropped text may leave behind: the heap keeps some for itself.
MEMORY_SLACK = 64 * MIB


def caption(text):
    return text[:8].lstrip(" ")


class BadInput(HardeningTest):
    def setUp(self):
        super().setUp()
        self.start_watched_app()

    def put_picture(self, rgb):
        self.put((CF_DIB, solid_dib(16, 12, rgb)), what=f"the picture {rgb}")

    def test_pictures_whose_headers_lie_add_no_slot_and_push_none_out(self):
        self.put_picture(RED)
        self.put_picture(GREEN)
        self.copy("Before the bad pictures")
        before = {"rows": ["Before t"], "pictures": {1: hex_colour(RED), 2: hex_colour(GREEN)},
                  "empty_all": True, "message_boxes": 0}
        self.wait_look(before)
        level = self.memory()

        # Each offered as the owner's own DIB, in either of its two forms.
        for fmt in (CF_DIB, CF_DIBV5):
            for name, block in BAD_DIBS.items():
                with self.subTest(f"{fmt}: {name}"):
                    self.put((fmt, block), what=f"a {fmt} with {name}")
                    self.assert_alive(after=f"a {fmt} with {name}")
                    self.assertEqual(self.look(), before, f"a {fmt} with {name} changed the store")

        # A good picture still goes into the next slot, and the bad ones kept
        # no memory.
        self.put_picture(BLUE)
        self.wait_look(dict(before, pictures={1: hex_colour(RED), 2: hex_colour(GREEN),
                                              3: hex_colour(BLUE)}))
        self.assertLess(self.memory(), level + MEMORY_SLACK, "the bad pictures kept memory")

        # With all five slots held, a bad picture must not push the oldest out.
        self.put_picture(ORANGE)
        self.put_picture(GREY)
        full = dict(before, pictures={n: hex_colour(c) for n, c in
                                      enumerate((RED, GREEN, BLUE, ORANGE, GREY), start=1)})
        self.wait_look(full)
        for name in ("a body cut off after half its rows", "a header claiming 100000 x 100000 "
                     "pixels", "bit-field masks wider than a 16-bit pixel"):
            with self.subTest(f"{name}, store full"):
                self.put((CF_DIB, BAD_DIBS[name]), what=f"a picture with {name}")
                self.assert_alive(after=f"a picture with {name}")
                self.assertEqual(self.look(), full, f"a picture with {name} changed a full store")

    def test_texts_without_a_body_or_an_end_and_formats_nobody_reads(self):
        self.copy("First ordinary text")
        state = {"rows": ["First or"], "pictures": {}, "empty_all": True, "message_boxes": 0}
        self.wait_look(state)

        for name, block in (("an empty text (a lone NUL)", utf16("")),
                            ("a text block of one byte", b"A"),
                            ("a text block of three bytes", b"A\0B"),
                            ("a text block of NULs", bytes(4096))):
            with self.subTest(name):
                self.put((CF_UNICODETEXT, block), what=name)
                self.assert_alive(after=name)
                self.assertEqual(self.look(), state, f"{name} changed the store")

        # Formats the program does not read: nothing happens.
        self.put(("HTML Format", b"Version:0.9\r\nStartHTML:0\r\n<b>bold</b>"),
                 ("Rich Text Format", b"{\\rtf1 plain}"),
                 ("application/x-pastewright-unknown", bytes(range(256)) * 64),
                 what="formats the program does not read")
        self.assert_alive(after="formats the program does not read")
        self.assertEqual(self.look(), state, "unread formats changed the store")

        # A text block without a terminating NUL: the system makes its last
        # character the terminator, and the rest is the text, with nothing
        # from past the block.
        endless = "No end in sight. " * 8 + "!"  # 137 characters, 274 bytes
        self.put((CF_UNICODETEXT, utf16(endless, nul=False)), what="a text without its NUL")
        self.assert_alive(after="a text without its NUL")
        state["rows"].append(caption(endless))
        self.wait_look(state)
        app = self.app
        before = self.watcher.notices()
        app.driver.press(app.row(2))
        app.answer_ok(wait_until(app.message_box, what="the row's message box"))
        # The click clears the clipboard, then puts the text back: two changes.
        wait_until(lambda: self.watcher.notices() >= before + 2, what="the click's two changes")
        wait_until(lambda: self.driver.clip_text() == endless[:-1],
                   what=lambda: f"the clipboard to hold the text without its NUL "
                                f"(it holds {self.driver.clip_text()!r})")
        self.wait_look(state)

        # Text and a good picture together: only the text is taken.
        self.put((CF_UNICODETEXT, utf16("Text beside a picture")),
                 (CF_DIB, solid_dib(16, 12, RED)), what="a text and a picture together")
        state["rows"].append("Text bes")
        self.wait_look(state)

        self.copy("Last ordinary text")
        state["rows"].append("Last ord")
        self.wait_look(state)

    def test_a_100_mb_text_is_taken_and_its_memory_given_back(self):
        self.copy("Warm-up text")
        self.wait_look({"rows": ["Warm-up "], "pictures": {}, "empty_all": True,
                        "message_boxes": 0})
        level = self.memory()

        # Dropped by "Empty All".
        self.change(lambda: self.hostile("bigtext", 100, "Enormous text"), "a 100 MB text")
        self.assert_alive(after="a 100 MB text")
        self.wait_look({"rows": ["Warm-up ", "Enormous"], "pictures": {}, "empty_all": True,
                        "message_boxes": 0}, "the rows after a 100 MB text")
        # Else the measurements below would prove nothing.
        self.assertGreater(self.memory(), level + MEMORY_SLACK, "the text is not in memory")
        app = self.app
        app.driver.press(app.control("EmptyAll"))
        wait_until(lambda: app.visible_rows() == [], what="every row to go")
        wait_until(lambda: self.memory() < level + MEMORY_SLACK, timeout=20,
                   what=lambda: f"the memory to come back to {level // MIB} MiB after Empty All "
                                f"(it is {self.memory() // MIB} MiB)")
        self.assert_alive(after="Empty All")

        # Dropped by ten later copies, the shortest the store takes.
        self.change(lambda: self.hostile("bigtext", 100, "Enormous again"), "a 100 MB text")
        wait_until(lambda: self.app.captions() == ["Enormous"], timeout=30,
                   what="the second 100 MB text's row")
        later = [f"{n}!" for n in range(10)]
        for text in later:
            self.copy(text)
        self.wait_look({"rows": later, "pictures": {}, "empty_all": True, "message_boxes": 0})
        wait_until(lambda: self.memory() < level + MEMORY_SLACK, timeout=20,
                   what=lambda: f"the memory to come back to {level // MIB} MiB after ten copies "
                                f"(it is {self.memory() // MIB} MiB)")
        self.assert_alive(after="ten copies")


if __name__ == "__main__":
    hostile.main()
