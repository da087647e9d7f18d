"""Other programs around ours: viewers before and after it in the clipboard
chain, a neighbour that hangs or dies, a clipboard held open, content marked
secret, pictures that lie about themselves, and a 100 MB text.

A driver that joins the chain after the program leads it: whatever it puts
on the clipboard, the program has handled by the time the put returns."""

import struct

from harness import CF_DIB, CF_DIBV5, CF_UNICODETEXT, hexed, main, session, utf16, wait

READY = "Content Ready Paste OK"
HISTORY = "CanIncludeInClipboardHistory"
MIB = 1 << 20


def ahead(s):
    return s.extra_driver("ahead", join=True)


@session
def an_earlier_viewer(s):
    s.start()
    for text in ("One change", "Two changes"):
        assert s.copy(text) == {"first": 1}, f"the earlier viewer did not hear of {text!r} once"
    s.wait_rows(["One chan", "Two chan"])
    s.end()
    assert s.copy("After the program") == {"first": 1}, "the program left the chain broken"


@session
def a_neighbour_that_hangs(s):
    hung = s.extra_driver("hung", join=True)
    s.start()
    first = ahead(s)  # ahead -> program -> hung -> first
    hung("hang")
    hung.hung = True
    for text in ("While it hangs", "Still hung"):
        first.put(utf16(text))
        s.alive()
    s.wait_rows(["While it", "Still hu"])


@session
def a_neighbour_killed(s):
    doomed = s.extra_driver("doomed", join=True)
    s.start()
    first = ahead(s)  # ahead -> program -> doomed -> first
    doomed.proc.kill()  # as a crash would: it leaves nothing
    wait(lambda: not s.driver.info(doomed.agent), "the killed viewer's window to go")
    first.put(utf16("After the kill"))
    s.alive()
    s.wait_rows(["After th"])


@session
def a_click_with_a_viewer_ahead(s):
    # The notices of the program's own clear-then-write come back to it late,
    # through the viewer ahead, both after the write.
    s.start()
    first = ahead(s)
    for text in ("Alpha text", "Bravo text"):
        first.put(utf16(text))
    before = first.notices()
    s.press("ClipShow", 0)
    assert s.answer() == READY
    wait(lambda: first.notices() >= before + 2, "the click's two changes to go round")
    s.settle()
    assert s.rows() == ["Bravo te", "Alpha te"], s.rows()


@session
def a_clipboard_held_open(s):
    s.start()
    first = ahead(s)
    # Held when the notice reaches the program: a moment, then far past its patience.
    first.put(utf16("Held briefly"), hold_ms=30)
    s.wait_rows(["Held bri"])
    assert first.put(utf16("Held long"), hold_ms=2000), "the program waited out the hold"
    s.alive()
    assert s.rows() == ["Held bri"], s.rows()
    first.put(utf16("Ordinary after"))
    s.wait_rows(["Held bri", "Ordinary"])


def dword(n):
    return struct.pack("<I", n)


@session
def content_marked_secret(s):
    s.start()
    first = ahead(s)
    rows = []
    for text, marker, stored in (("Allowed in history", (HISTORY, dword(1)), True),
                                 ("Excluded secret", ("ExcludeClipboardContentFromMonitorProcessing", b""), False),
                                 ("Ignored secret", ("Clipboard Viewer Ignore", b""), False),
                                 ("Historyless secret", (HISTORY, dword(0)), False),
                                 ("Ordinary after", None, True)):
        first.put(utf16(text), *([marker] if marker else []))
        rows += [text[:8]] if stored else []
        s.wait_rows(rows)


def dib(width, height, bpp, compression=0, colours=0, size=40):
    """A BITMAPINFOHEADER that says whatever it is told."""
    return struct.pack("<IiiHHIIiiII", size, width, height, 1, bpp, compression, 0, 2835, 2835,
                       colours, 0)


def solid(rgb):
    return dib(16, 12, 24) + bytes((rgb[2], rgb[1], rgb[0])) * 16 * 12


LIES = {
    "a body cut off after half its rows": (CF_DIB, dib(64, 64, 32) + bytes(64 * 32 * 4)),
    "100000 x 100000 pixels": (CF_DIB, dib(100000, 100000, 32) + bytes(64)),
    "masks wider than a 16-bit pixel": (CF_DIB, dib(8, 8, 16, 3) + dword(0xFF0000) * 3 + bytes(128)),
    "run-length codes past the picture": (CF_DIB, dib(8, 8, 8, 1) + bytes(1024) + b"\xff\x01" * 64),
    "a palette of two thousand million colours": (CF_DIB, dib(8, 8, 8, colours=0x7FFFFFFF) + bytes(64)),
    "a header of 4 GiB": (CF_DIBV5, dib(8, 8, 24, size=0xFFFFFFFF) + bytes(192)),
    "half a header": (CF_DIB, dib(8, 8, 24)[:20]),
}


@session
def pictures_that_lie(s):
    # After each lie a good picture: it fills the next slot (or pushes out the
    # oldest) only if the lie took no slot.
    s.start()
    first = ahead(s)
    colours = [(200, 30 + 20 * n, 250 - 25 * n) for n in range(len(LIES) + 2)]
    slots = colours[:2]
    for rgb in slots:
        first.put((CF_DIB, solid(rgb)))
    for (lie, block), rgb in zip(LIES.items(), colours[2:]):
        first.put(block)
        s.alive()
        first.put((CF_DIB, solid(rgb)))
        slots = (slots + [rgb])[-5:]
        wait(lambda: s.slots() == slots, lambda: f"the slots to be {slots} after {lie} "
                                                   f"(they are {s.slots()})")


@session
def a_100_mb_text(s):
    s.start()
    first = ahead(s)
    first.put(utf16("Warm-up text"))
    level = s.rss()
    first.put((CF_UNICODETEXT, hexed("0123456789") + f"*{100 * MIB // 20}"))
    s.wait_rows(["Warm-up ", "01234567"])
    assert s.rss() > level + 64 * MIB, "the text is not in memory: the rest proves nothing"
    s.press("EmptyAll", wait_done=True)
    wait(lambda: s.rss() < level + 64 * MIB,
         lambda: f"the memory to come back to {level // MIB} MiB (it is {s.rss() // MIB} MiB)")


if __name__ == "__main__":
    main()
