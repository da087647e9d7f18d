"""Other programs around ours: viewers before and after it in the clipboard chain, a neighbour
that hangs or dies, a viewer ahead, content marked secret, a 100 MB text."""

import struct

from harness import CF_UNICODETEXT, hexed, main, session, utf16, wait

HISTORY = "CanIncludeInClipboardHistory"


@session
def earlier_viewers(s):
    second = s.extra_driver("second", join=True)
    s.start()  # program -> second -> first
    assert s.copy("One change") == 1, "the earlier viewer did not hear of it once"
    second.quit()  # it leaves the chain as it should: the program links past it
    assert s.copy("Two changes") == 1, "the program did not link past the viewer that left"
    s.wait_rows(["One chan", "Two chan"])
    s.end()
    assert s.copy("After the program") == 1, "the program left the chain broken"


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
    # The notices of the program's own clear-then-write come back late: still stored once.
    before = ahead.notices()
    s.press("ClipShow", 0)
    assert s.answer() == "Content Ready Paste OK"
    wait(lambda: ahead.notices() >= before + 2, "the click's two changes to go round")
    s.settle()
    assert s.rows() == rows[1:] + rows[:1], s.rows()


@session
def a_100_mb_text(s):
    ahead = s.start(ahead=True)
    ahead.put(utf16("Warm-up text"))
    level, mib = s.rss(), 1 << 20
    ahead.put((CF_UNICODETEXT, hexed("0123456789") + f"*{100 * mib // 20}"))
    s.wait_rows(["Warm-up ", "01234567"])
    assert s.rss() > level + 64 * mib, "the text is not in memory: the rest would prove nothing"
    s.press("EmptyAll", wait_done=True)
    wait(lambda: s.rss() < level + 64 * mib, lambda: f"memory back to {level >> 20} MiB, not {s.rss() >> 20}")


if __name__ == "__main__":
    main()
