"""Other programs around ours: viewers before and after it in the clipboard chain, a
neighbour that hangs or dies, a clipboard held open, content marked secret, pictures
that lie about themselves, a 100 MB text. A driver that joins after the program leads
the chain: when its put returns, the program has handled the change."""

import struct

from harness import CF_DIB, CF_DIBV5, CF_UNICODETEXT, hexed, main, session, utf16, wait

HISTORY = "CanIncludeInClipboardHistory"


def dword(n):
    return struct.pack("<I", n)


@session
def earlier_viewers(s):
    second = s.extra_driver("second", join=True)
    s.start()  # program -> second -> first
    assert s.copy("One change") == {"first": 1, "second": 1}, "a viewer did not hear of it once"
    second.quit()  # it leaves the chain as it should
    assert s.copy("Two changes") == {"first": 1}, "the program did not link past the one that left"
    s.wait_rows(["One chan", "Two chan"])
    s.end()
    assert s.copy("After the program") == {"first": 1}, "the program left the chain broken"


@session
def a_neighbour_that_hangs(s):
    hung = s.extra_driver("hung", join=True)
    s.start()
    ahead = s.extra_driver("ahead", join=True)  # ahead -> program -> hung -> first
    hung.hang()
    for text in ("While it hangs", "Still hung"):
        ahead.put(utf16(text))
        s.alive()
    s.wait_rows(["While it", "Still hu"])


@session
def a_neighbour_killed(s):
    doomed = s.extra_driver("doomed", join=True)
    s.start()
    ahead = s.extra_driver("ahead", join=True)  # ahead -> program -> doomed -> first
    doomed.proc.kill()  # as a crash would: it leaves nothing
    wait(lambda: not s.driver.info(doomed.agent), "the killed viewer's window to go")
    ahead.put(utf16("After the kill"))
    s.alive()
    s.wait_rows(["After th"])


@session
def a_click_with_a_viewer_ahead(s):
    # The notices of the program's own clear-then-write come back late, both after the write.
    s.start()
    ahead = s.extra_driver("ahead", join=True)
    for text in ("Alpha text", "Bravo text"):
        ahead.put(utf16(text))
    before = ahead.notices()
    s.press("ClipShow", 0)
    assert s.answer() == "Content Ready Paste OK"
    wait(lambda: ahead.notices() >= before + 2, "the click's two changes to go round")
    s.settle()
    assert s.rows() == ["Bravo te", "Alpha te"], s.rows()


@session
def a_clipboard_held_open(s):
    # Held from when the notice comes round: for a moment, then far past the program's patience.
    s.start()
    ahead = s.extra_driver("ahead", join=True)
    ahead.put(utf16("Held briefly"), hold_ms=30)
    s.wait_rows(["Held bri"])
    assert ahead.put(utf16("Held long"), hold_ms=2000), "the program waited out the hold"
    s.alive()
    assert s.rows() == ["Held bri"], s.rows()
    ahead.put(utf16("Ordinary after"))
    s.wait_rows(["Held bri", "Ordinary"])


@session
def content_marked_secret(s):
    s.start()
    ahead, rows = s.extra_driver("ahead", join=True), []
    for text, marker, stored in (("Allowed in history", [(HISTORY, dword(1))], True),
                                 ("Excluded", [("ExcludeClipboardContentFromMonitorProcessing", b"")], False),
                                 ("Ignored", [("Clipboard Viewer Ignore", b"")], False),
                                 ("Kept out of history", [(HISTORY, dword(0))], False),
                                 ("Ordinary after", [], True)):
        ahead.put(utf16(text), *marker)
        rows += [text[:8]] * stored
        s.wait_rows(rows)


def dib(width, height, bpp, compression=0, colours=0, size=40):
    """A BITMAPINFOHEADER that says whatever it is told."""
    return struct.pack("<IiiHHIIiiII", size, width, height, 1, bpp, compression, 0, 0, 0, colours, 0)


LIES = {
    "a body cut off after half its rows": (CF_DIB, dib(64, 64, 32) + bytes(64 * 32 * 4)),
    "100000 x 100000 pixels": (CF_DIB, dib(100000, 100000, 32) + bytes(64)),
    "masks wider than a 16-bit pixel": (CF_DIB, dib(8, 8, 16, 3) + dword(0xFF0000) * 3 + bytes(128)),
    "run-length codes past the picture": (CF_DIB, dib(8, 8, 8, 1) + bytes(1024) + b"\xff\x01" * 64),
    "two thousand million colours": (CF_DIB, dib(8, 8, 8, colours=0x7FFFFFFF) + bytes(64)),
    "a header of 4 GiB": (CF_DIBV5, dib(8, 8, 24, size=0xFFFFFFFF) + bytes(192)),
    "half a header": (CF_DIB, dib(8, 8, 24)[:20]),
}


@session
def pictures_that_lie(s):
    # After each lie a good picture takes the next slot, or pushes out the oldest,
    # only if the lie took none.
    s.start()
    ahead = s.extra_driver("ahead", join=True)
    slots = [(200, 30, 250), (200, 50, 225)]
    for rgb in slots:
        ahead.put(good_picture(rgb))
    for n, (lie, block) in enumerate(LIES.items()):
        ahead.put(block)
        s.alive()
        slots = (slots + [rgb := (200, 70 + 20 * n, 200 - 25 * n)])[-5:]
        ahead.put(good_picture(rgb))
        wait(lambda: s.slots() == slots, lambda: f"the slots {slots} after {lie} (not {s.slots()})")


def good_picture(rgb):
    return CF_DIB, dib(16, 12, 24) + bytes(rgb[::-1]) * 16 * 12


@session
def a_100_mb_text(s):
    s.start()
    ahead = s.extra_driver("ahead", join=True)
    ahead.put(utf16("Warm-up text"))
    level, mib = s.rss(), 1 << 20
    ahead.put((CF_UNICODETEXT, hexed("0123456789") + f"*{100 * mib // 20}"))
    s.wait_rows(["Warm-up ", "01234567"])
    assert s.rss() > level + 64 * mib, "the text is not in memory: the rest would prove nothing"
    s.press("EmptyAll", wait_done=True)
    wait(lambda: s.rss() < level + 64 * mib, lambda: f"the memory to come back to {level // mib} MiB "
         f"(it is {s.rss() // mib} MiB)")


if __name__ == "__main__":
    main()
