"""Other programs around ours: viewers before and after it in the clipboard chain, a neighbour
that hangs or dies, a viewer ahead, content marked secret, lying and run-length pictures, a large
picture that X11 copies as it comes back, a 100 MB text."""

import glob
import struct

from harness import CF_DIB, CF_DIBV5, CF_UNICODETEXT, Image, hexed, main, picture, session, utf16, wait

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


def dib(width, height, bpp, compression=0, size=40):
    """A BITMAPINFOHEADER that says whatever it is told."""
    return struct.pack("<IiiHHIIiiII", size, width, height, 1, bpp, compression, 0, 0, 0, 0, 0)


LIES = {
    "a body cut off after half its rows": (CF_DIB, dib(64, 64, 32) + bytes(64 * 32 * 4)),
    "100000 x 100000 pixels": (CF_DIB, dib(100000, 100000, 32) + bytes(64)),
    "masks wider than a 16-bit pixel": (CF_DIB, dib(8, 8, 16, 3) + b"\0\0\xff\0" * 3 + bytes(128)),
    "a header of 4 GiB": (CF_DIBV5, dib(8, 8, 24, size=0xFFFFFFFF) + bytes(192)),
    "half a header": (CF_DIB, dib(8, 8, 24)[:20]),
    "runs past their row": (CF_DIB, dib(4, 2, 8, 1) + bytes(1024) + bytes.fromhex("05000001")),
}
# Run-length encoded, 40 x 30, bottom row first: a literal, runs; rows of one run; a skip (black).
RLE = [(200, 70, 20), (20, 160, 90), (90, 20, 160)]
RLE8 = (dib(40, 30, 8, 1) + b"".join(bytes(c[::-1]) + b"\0" for c in RLE) + bytes(4 * 253)
        + bytes.fromhex("000300020000" "2201" "0302" "0000" + "28010000" * 28 + "00020500" "2301" "0001"))
RLE_ROWS = ([[(0, 0, 0)] * 5 + [RLE[1]] * 35] + [[RLE[1]] * 40] * 28
            + [[RLE[0], RLE[2], RLE[0]] + [RLE[1]] * 34 + [RLE[2]] * 3])


@session
def pictures_that_lie(s):
    # After each lie a good picture takes the next slot, or pushes out the oldest, if the lie took none.
    ahead, slots = s.start(ahead=True), [(200, 30, 250), (200, 50, 225)]
    good = lambda rgb: (CF_DIB, dib(16, 12, 24) + bytes(rgb[::-1]) * 16 * 12)  # noqa: E731
    for rgb in slots:
        ahead.put(good(rgb))
    for n, (lie, block) in enumerate(LIES.items()):
        ahead.put(block)
        slots = (slots + [rgb := (200, 70 + 20 * n, 200 - 25 * n)])[-5:]
        ahead.put(good(rgb))
        wait(lambda: s.slots() == slots, lambda: f"the slots {slots} after {lie} (not {s.slots()})")
    ahead.put((CF_DIB, RLE8))  # saved, it is the very same picture
    wait(lambda: s.slots() == slots[1:] + [RLE[1]], lambda: f"the run-length picture (not {s.slots()})")
    s.press("sav", 5)
    assert s.answer() == "File saved Pastewright run catalog"
    saved = Image.of(glob.glob(f"{s.work}/Pastewright*.bmp")[0])
    assert saved == Image(b"P6 40 30 255\n" + bytes(v for row in RLE_ROWS for p in row for v in p))


@session
def a_large_picture_clicked_back_while_x11_copies_it(s):
    """Wine's own manager holds the clipboard while it hands a picture to an X11 program, for longer
    than the program waits when the picture is large; the notice of the click's write, passed on late
    by a viewer ahead, comes in meanwhile. The picture still comes back, once."""
    ahead, large = s.start(ahead=True), (30, 120, 200)
    s.copy(file=picture(f"{s.work}/large.png", 4000, 3000, large), mime="image/png")
    wait(lambda: s.slots() == [large], "the large picture", timeout=30)
    ahead("late")
    s.press("simg", 1)
    wait(lambda: ahead("notices")[1] == "2", "the notice of the click's write to reach the viewer ahead")
    assert s.x11_paste("image/bmp"), "X11 could not paste the clicked picture"
    assert s.answer() == "Content Ready Paste OK"
    s.settle()
    assert s.slots() == [large], f"the picture is not back once: {s.slots()}"


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
