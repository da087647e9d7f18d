"""Other programs around ours in the clipboard chain: a neighbour that hangs or dies, a viewer
ahead, content marked secret, a clipboard held open, by Wine too as it copies a large picture."""

import struct

from harness import READY, main, picture, session, utf16, wait

HISTORY = "CanIncludeInClipboardHistory"
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
def programs_around_ours(s):
    neighbour = s.extra_driver("neighbour")
    ahead, rows = s.start(ahead=True), ["While it", "Still hu"]  # ahead -> program -> neighbour -> first
    neighbour.hang()
    for text in ("While it hangs", "Still hung"):
        ahead.put(utf16(text))
        s.alive()
    neighbour.proc.kill()  # as a crash would: it leaves nothing
    wait(lambda: not s.driver.info(neighbour.agent), "the killed viewer's window to go")
    for text, markers, held_ms, stored in LEFT_ALONE:
        handled_while_held = ahead.put(utf16(text), *markers, hold_ms=held_ms)
        assert held_ms < 1000 or handled_while_held, "the program waited out the held clipboard"
        s.alive()
        rows += [text[:8]] * stored
        s.wait_rows(rows)

    # Wine's own manager holds the clipboard while it hands a picture to an X11 program, for longer
    # than the program waits when the picture is large; the notice of the click's write, passed on
    # late by the viewer ahead, comes in meanwhile. The picture still comes back, once.
    large = (30, 120, 200)
    s.copy(file=picture(f"{s.work}/large.png", 4000, 3000, large), mime="image/png")
    wait(lambda: s.slots() == [large], "the large picture", timeout=30)
    ahead("late", 1)
    s.press("simg", 1)
    wait(lambda: ahead("late")[0] == "2", "the notice of the click's write to reach the viewer ahead")
    assert s.x11_paste("image/bmp"), "X11 could not paste the clicked picture"
    assert s.answer() == READY
    s.settle()
    assert s.slots() == [large], f"the picture is not back once: {s.slots()}"


if __name__ == "__main__":
    main()
