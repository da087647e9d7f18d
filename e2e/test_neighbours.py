"""Other programs around ours in the clipboard chain: a neighbour that hangs or dies, a viewer
ahead, content marked secret, a clipboard held open."""

import struct

from harness import main, session, utf16, wait

HISTORY = "CanIncludeInClipboardHistory"


@session
def a_neighbour_that_hangs(s):
    hung = s.extra_driver("hung", join=True)
    ahead = s.start(ahead=True)  # ahead -> program -> hung -> first
    hung.hang()
    for text in ("While it hangs", "Still hung"):
        ahead.put(utf16(text))
        s.alive()
    s.wait_rows(["While it", "Still hu"])


@session
def a_neighbour_killed(s):
    doomed = s.extra_driver("doomed", join=True)
    ahead = s.start(ahead=True)  # ahead -> program -> doomed -> first
    doomed.proc.kill()  # as a crash would: it leaves nothing
    wait(lambda: not s.driver.info(doomed.agent), "the killed viewer's window to go")
    ahead.put(utf16("After the kill"))
    s.alive()
    s.wait_rows(["After th"])


# Content its owner marks for monitors to leave alone, and a clipboard held open from when
# the notice comes round: for a moment, then far past the program's patience.
LEFT_ALONE = [  # text, marker formats, held for (ms), stored
    ("Allowed in history", [(HISTORY, struct.pack("<I", 1))], 0, True),
    ("Excluded", [("ExcludeClipboardContentFromMonitorProcessing", b"")], 0, False),
    ("Ignored", [("Clipboard Viewer Ignore", b"")], 0, False),
    ("Kept out of history", [(HISTORY, struct.pack("<I", 0))], 0, False),
    ("Held briefly", [], 30, True),
    ("Held long", [], 2000, False),
    ("Ordinary after", [], 0, True),
]


@session
def a_viewer_ahead(s):
    ahead, rows = s.start(ahead=True), []
    for text, markers, held_ms, stored in LEFT_ALONE:
        handled_while_held = ahead.put(utf16(text), *markers, hold_ms=held_ms)
        assert held_ms < 1000 or handled_while_held, "the program waited out the held clipboard"
        s.alive()
        rows += [text[:8]] * stored
        s.wait_rows(rows)


if __name__ == "__main__":
    main()
