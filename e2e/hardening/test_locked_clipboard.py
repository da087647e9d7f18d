"""Another program holds the clipboard open when the change notice reaches
Pastewright. Held briefly, the change is taken once the clipboard is free;
held far longer than the program waits, the change is skipped, the window
keeps answering meanwhile, and the next ordinary copy is taken."""

import hostile
from hostile import HardeningTest

# Within the program's wait for a busy clipboard, and far past it.
BRIEF_MS = 30
LONG_MS = 2000


class LockedClipboard(HardeningTest):
    def setUp(self):
        super().setUp()
        self.start_watched_app()

    def test_a_clipboard_held_briefly_is_read_and_one_held_long_is_skipped(self):
        self.copy("Ordinary first")
        state = {"rows": ["Ordinary"], "pictures": {}, "empty_all": True, "message_boxes": 0}
        self.wait_look(state)

        # pwhostile copies, and the moment its notice comes round a second
        # thread of it opens the clipboard again; only then does the notice go
        # on down the chain to the program.
        brief = self.hostile_process("hold", BRIEF_MS, "Held briefly")
        brief.expect("locked")
        brief.expect("passed")
        brief.finish()
        self.assert_alive(after="a clipboard held for a moment")
        state["rows"].append("Held bri")
        self.wait_look(state, "the rows after a clipboard held for a moment")

        held = self.hostile_process("hold", LONG_MS, "Held for long")
        held.expect("locked")
        # "passed": the program has handled the notice and the clipboard is still held.
        held.expect("passed", timeout=LONG_MS / 1000 + 10)
        self.assert_alive(after="giving up on a held clipboard")
        self.assertEqual(self.look(), state,
                         "a change the program could not read changed the store")
        held.finish()
        self.assertEqual(self.driver.clip_text(), "Held for long",
                         "the clipboard lost the held text")
        self.assert_alive(after="the clipboard was released")
        self.assertEqual(self.look(), state, "the release of the clipboard changed the store")

        self.copy("Ordinary after")
        state["rows"].append("Ordinary")
        self.wait_look(state, "the rows after an ordinary copy")

        # And a copy from an X11 program, through Wine's own clipboard owner.
        self.copy_text("From X11 after the lock")
        state["rows"].append("From X11")
        self.wait_look(state, "the rows after a copy in an X11 program")


if __name__ == "__main__":
    hostile.main()
