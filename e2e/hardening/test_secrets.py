"""Content its owner marks for clipboard monitors to leave alone (passwords
and the like) is neither stored nor shown, whichever marker is used and
whatever comes with it; content marked as allowed in a history is stored as
usual, and so is the next ordinary copy."""

import struct

import hostile
from hostile import CF_DIB, CF_UNICODETEXT, HardeningTest, hex_colour, solid_dib, utf16

EXCLUDE = "ExcludeClipboardContentFromMonitorProcessing"
HISTORY = "CanIncludeInClipboardHistory"
VIEWER_IGNORE = "Clipboard Viewer Ignore"
RED = (210, 30, 40)


def dword(value):
    return struct.pack("<I", value)


class Secrets(HardeningTest):
    def setUp(self):
        super().setUp()
        self.start_watched_app()

    def test_marked_content_is_skipped_and_the_next_copy_taken(self):
        self.copy("Ordinary before")
        state = {"rows": ["Ordinary"], "pictures": {}, "empty_all": True, "message_boxes": 0}
        self.wait_look(state)

        secret = utf16("hunter2-password")
        for name, marker in ((f"{EXCLUDE} present", (EXCLUDE, b"")),
                             (f"{HISTORY} = 0", (HISTORY, dword(0))),
                             (f"{VIEWER_IGNORE} present", (VIEWER_IGNORE, b""))):
            with self.subTest(name):
                self.put((CF_UNICODETEXT, secret), marker, what=f"a text with {name}")
                self.assert_alive(after=f"a text with {name}")
                self.assertEqual(self.look(), state, f"a text with {name} was stored or shown")
                # The marker may also come before the content.
                self.put(marker, (CF_UNICODETEXT, secret), what=f"{name}, then a text")
                self.assertEqual(self.look(), state, f"{name} before a text did not keep it out")

        # A picture, alone or beside a text, is kept out the same way.
        self.put((CF_DIB, solid_dib(16, 12, RED)), (EXCLUDE, b""), what="a marked picture")
        self.put((CF_UNICODETEXT, secret), (CF_DIB, solid_dib(16, 12, RED)), (HISTORY, dword(0)),
                 what="a marked text with a picture")
        self.assert_alive(after="marked pictures")
        self.assertEqual(self.look(), state, "a marked picture was stored or shown")

        # Allowed in a history: stored as usual.
        self.put((CF_UNICODETEXT, utf16("Allowed in history")), (HISTORY, dword(1)),
                 what=f"a text with {HISTORY} = 1")
        state["rows"].append("Allowed ")
        self.wait_look(state, f"the rows after a text with {HISTORY} = 1")
        self.put((CF_DIB, solid_dib(16, 12, RED)), (HISTORY, dword(1)),
                 what=f"a picture with {HISTORY} = 1")
        state["pictures"] = {1: hex_colour(RED)}
        self.wait_look(state, f"the store after a picture with {HISTORY} = 1")

        self.copy("Ordinary after")
        state["rows"].append("Ordinary")
        self.wait_look(state, "the rows after an ordinary copy")
        self.assertEqual(self.driver.clip_text(), "Ordinary after")


if __name__ == "__main__":
    hostile.main()
