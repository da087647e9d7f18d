"""Clips in and out: start-up, texts and pictures from X11 or Windows, put back, saved, Empty All;
the Windows programs around ours in the clipboard chain."""

import pathlib
import struct

from harness import CF_DIB, READY, SAVED, Image, main, picture, session, utf16, wait

RED, BLUE = (210, 30, 40), (30, 60, 200)
# Run-length encoded (BI_RLE8), 40 x 300, bottom row first: a literal and runs, rows of one run, a
# skip that leaves black; as ImageMagick reads it.
RLE = [(0, 0, 0), (200, 70, 20), (20, 160, 90), (90, 20, 160)]
RLE8 = (struct.pack("<IiiHHIIiiII", 40, 40, 300, 1, 8, 1, 0, 0, 0, 0, 0)  # a palette of 256, as B, G, R, 0
        + bytes(v for c in RLE for v in (*c[::-1], 0)) + bytes(4 * (256 - len(RLE)))
        + bytes.fromhex("000301030100" "2202" "0303" "0000" + "28020000" * 298 + "00020500" "2302" "0001"))
RLE_PICTURE = Image.of(b"BM" + struct.pack("<IHHI", 14 + len(RLE8), 0, 0, 14 + 40 + 4 * 256) + RLE8)

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
def texts_and_pictures(s):
    s.start()  # top-most, along the right edge, 450 twips above the bottom; nothing in it yet
    window, (width, height) = s.driver.info(s.hwnd), s.screen_size
    assert window["topmost"], "the main window is not top-most"
    assert window["rect"][2:] == (width, height - round(450 * s.dpi / 1440)), window["rect"]
    assert s.rows() == [] and s.slots() == [], "a row or a picture shows at start-up"
    assert not s.driver.info(s.control("EmptyAll"))["enabled"], "Empty All is enabled"

    for text in ("Hello, World!", "Banana split", "héllo 中文", "x", "Date loaf"):
        s.copy(text)
    s.wait_rows(rows := ["Hello, W", "Banana s", "héllo 中文", "Date loa"])  # not the one character

    # A row click: the box first, and only then the row goes last and onto the clipboard.
    def nothing_moved_yet():
        assert s.rows() == rows, f"the rows moved before the box was answered: {s.rows()}"
    s.press("ClipShow", 2)
    assert s.answer(nothing_moved_yet) == READY
    s.wait_rows(["Hello, W", "Banana s", "Date loa", "héllo 中文"])
    wait(lambda: s.x11_paste() == "héllo 中文".encode(), "X11 to paste the clicked text")

    # Saved as new files, never over one: the text and a line end, in the code page or else
    # (with a mark) in UTF-8; a name taken by the user's own file gets a number.
    pathlib.Path(f"{s.work}/HelloW.txt").write_bytes(b"the user's notes")
    for row, name, content in ((1, "HelloW(2).txt", b"Hello, World!\r\n"),
                               (4, "hllo.txt", "\ufeffhéllo 中文\r\n".encode())):
        s.press("t", row)
        assert s.answer() == SAVED + ("\n" + name) * ("(" in name)
        assert s.file(name) == content, name
    assert s.file("HelloW.txt") == b"the user's notes", "the user's file was replaced"

    # A deleted row moves the captions up, with no box over the window: each shows its new one.
    def row_pixels(i):  # inside the button's edge
        left, top, right, bottom = s.driver.info(s.control("ClipShow", i))["rect"]
        return Image.screen().crop(left + 3, top + 3, right - 3, bottom - 3)
    second = wait(lambda: (a := row_pixels(1)) == row_pixels(1) and len(a.colours()) > 1 and a, "row 2 painted")
    s.press("d", 0, wait_done=True)
    s.wait_rows(["Banana s", "Date loa", "héllo 中文"])
    wait(lambda: row_pixels(0) == second, "row 1 to show the caption row 2 showed")

    # A text copied with its HTML and RTF goes back with them; a plain one goes back plain.
    markup = lambda n: f"<p><b>Bold {n}</b> and <a href='x{n}'>link</a></p>"  # noqa: E731
    rtf = lambda n: f"{{\\rtf1 {{\\b Bold {n}}} and link}}"  # noqa: E731
    for n in range(10):  # the plain texts are pushed out: each clip's formats move with its text
        s.copy(f"Bold {n} and link", rich={"text/html": markup(n), "text/rtf": rtf(n)})
    s.wait_rows([f"Bold {n} a" for n in range(10)])
    for row, n in ((3, 2), (1, 0)):
        s.press("ClipShow", row - 1)
        assert s.answer() == READY
        wait(lambda: markup(n).encode() in (s.x11_paste("text/html") or b""), f"X11 to paste markup {n}")
        assert s.x11_paste("text/rtf").rstrip(b"\0") == rtf(n).encode(), s.x11_paste("text/rtf")
        assert s.x11_paste() == f"Bold {n} and link".encode()
    s.copy("Plain again")
    s.press("ClipShow", 9)
    assert s.answer() == READY
    wait(lambda: s.x11_paste() == b"Plain again", "X11 to paste the plain text")
    assert not s.x11_paste("text/html"), "a plain text went back with markup"

    # Pictures: into slots, not rows; a thumbnail click puts one back.
    rows = s.rows()
    s.copy(file=(red := picture(f"{s.work}/red.bmp", 40, 30, RED)), mime="image/bmp")
    s.copy(file=picture(f"{s.work}/blue.png", 24, 48, BLUE), mime="image/png")
    wait(lambda: s.slots() == [RED, BLUE], lambda: f"slots red and blue (not {s.slots()})")
    assert s.rows() == rows, "a picture made a row"
    s.press("simg", 1)
    assert s.answer() == READY
    for mime in ("image/png", "image/bmp"):  # the picture as PNG and as a DIB
        data = wait(lambda: s.x11_paste(mime), f"X11 to paste the clicked picture as {mime}")
        assert Image.of(data) == Image.of(red), f"X11 pastes another picture as {mime}"

    s.press("EmptyAll", wait_done=True)
    empty = [b"TARGETS", b"MULTIPLE", b"TIMESTAMP"]  # what Wine offers X11 for an empty clipboard
    wait(lambda: s.rows() == [] and s.x11_paste("TARGETS").split() == empty, "no rows and an empty clipboard")
    assert s.slots() == [BLUE, RED], f"Empty All touched the pictures: {s.slots()}"

    # Run-length encoded by a Windows program: taken, then saved and pasted in X11 as itself.
    s.driver.put((CF_DIB, RLE8))
    wait(lambda: s.slots() == [BLUE, RED, RLE[2]], lambda: f"the run-length picture (not {s.slots()})")
    assert s.saved_picture(3) == RLE_PICTURE, "saved as another picture"
    s.press("simg", 3)
    assert s.answer() == READY
    assert Image.of(wait(lambda: s.x11_paste("image/png"), "X11 to paste it")) == RLE_PICTURE


@session
def programs_around_ours(s):
    neighbour = s.extra_driver("neighbour")
    ahead, rows = s.start(ahead=True), ["While it", "Still hu"]  # ahead -> program -> neighbour -> first
    neighbour.hang()
    for text in ("While it hangs", "Still hung"):
        ahead.put(utf16(text))
        s.settle()
    neighbour.proc.kill()  # as a crash would: it leaves nothing
    wait(lambda: not s.driver.info(neighbour.agent), "the killed viewer's window to go")
    for text, markers, held_ms, stored in LEFT_ALONE:
        handled_while_held = ahead.put(utf16(text), *markers, hold_ms=held_ms)
        assert held_ms < 1000 or handled_while_held, "the program waited out the held clipboard"
        s.settle()
        rows += [text[:8]] * stored
        s.wait_rows(rows)

    # Wine's own manager holds the clipboard while it hands a picture to an X11 program, for longer
    # than the program waits when the picture is large; the notice of the click's write, passed on
    # late by the viewer ahead, comes in meanwhile. The picture still comes back, once.
    s.copy(file=picture(f"{s.work}/large.png", 4000, 3000, BLUE), mime="image/png")
    wait(lambda: s.slots() == [BLUE], "the large picture", timeout=30)
    ahead("late", 1)
    s.press("simg", 1)
    wait(lambda: ahead("late")[0] == "2", "the notice of the click's write to reach the viewer ahead")
    assert s.x11_paste("image/bmp"), "X11 could not paste the clicked picture"
    assert s.answer() == READY
    s.settle()
    assert s.slots() == [BLUE], f"the picture is not back once: {s.slots()}"


if __name__ == "__main__":
    main()
