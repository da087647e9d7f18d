"""The window and the screen: pointing at a row, the tray, About, the preview, screen pictures."""

from harness import READY, SAVED, Image, main, picture, run, session, utf16, wait

TRAY, ICON = "__winex11_standalone_tray", "__winex11_tray_icon"  # Wine's, without a desktop
ORANGE, BLACK, RED = (240, 140, 20), (0, 0, 0), (210, 30, 40)
CORNERS = ((30, 160, 60), (30, 60, 200), (210, 30, 40), (240, 140, 20))  # from the top left, by rows


@session
def pointing_the_tray_and_about(s):
    d = s.driver
    s.start()
    d.put(utf16("   Line one of a longer text\nline two"))  # a bare line feed, as Windows has it
    s.wait_rows(["Line "])  # eight characters, less leading spaces
    preview = lambda: s.shown("vpic") and s.shown("pView") and d.info(s.control("pView"))["caption"]  # noqa: E731
    s.point(row := d.info(s.control("ClipShow", 0))["rect"])  # the real pointer shows more of it
    wait(lambda: preview() == "Line one of a longer text\r\nline two... ...", "the row's preview")
    s.point((row[0] - 200, row[1]))
    wait(lambda: preview() is False, "the preview to hide")

    icons = lambda: [i for t in d.find(TRAY) for i in d.find(ICON, parent=t)]  # noqa: E731
    shown = lambda: d.info(s.hwnd)["visible"]  # noqa: E731

    def hide():
        s.press("MainhWndHide")
        wait(lambda: not shown() and len(icons()) == 1, lambda: f"to hide; one tray icon, not {icons()}")
    hide()
    s.copy("While hidden")
    # Moves, presses, double clicks and right clicks over the icon leave the window hidden.
    for mouse in (0x200, 0x201, 0x203, 0x204, 0x205):
        d.send(s.hwnd, s.tray_message, 0, mouse)
        assert not shown(), f"the tray's {mouse:#x} restored the window"
    s.point(d.info(icons()[0])["rect"], 1)
    wait(shown, "a click on the tray icon to restore the window")
    assert s.rows() == ["Line ", "While hi"], s.rows()
    # Again (still one icon): a button-up with the icon's id, as newer shells send it, and the
    # shell's choice of the icon by the mouse and by the keyboard. The focus is on the first control.
    for code in (1 << 16 | 0x202, 0x400, 0x401):
        hide()
        d.send(s.hwnd, s.tray_message, 0, code)
        s.focused_on("Line ")

    # About: one window, which Esc closes; it opens again.
    s.press("cmd_about")
    about = wait(lambda: s.windows(s.about_class), "the About window")
    s.press("cmd_about", wait_done=True)
    assert s.windows(s.about_class) == about, "a second About window opened"
    s.keys("Escape")
    wait(lambda: not s.windows(s.about_class), "Esc to close the About window")
    s.press("cmd_about")
    wait(lambda: len(s.windows(s.about_class)) == 1, "the About window to open again")

    s.copy(file=picture(f"{s.work}/small.png", 200, 150, ORANGE), mime="image/png")  # under 100 mm
    # Over 100 mm, right and bottom edges of their own colours: stretched, its corners are the box's.
    edges = zip(CORNERS[1:], ("924,0 1023,767", "0,668 1023,767", "924,668 1023,767"))
    draw = [a for rgb, at in edges for a in ("-fill", "#%02x%02x%02x" % rgb, "-draw", "rectangle " + at)]
    s.copy(file=picture(f"{s.work}/large.png", 1024, 768, CORNERS[0], *draw), mime="image/png")
    wait(lambda: len(s.slots()) == 2, "two pictures")
    for slot, looks_right in ((1, at_own_size), (2, stretched)):
        s.press("pv", slot)
        window = wait(lambda: s.windows(s.preview_class), "the preview")[0]
        box = d.info(d.child(window, "PreviewImage"))["rect"]
        wait(lambda: looks_right(Image.screen().crop(*box)), f"picture {slot} {looks_right.__name__}")
        s.keys("alt+F4")
        wait(lambda: not s.windows(s.preview_class), "Alt+F4 to close the preview")

    s.end()
    assert s.proc.returncode == 0, s.proc.returncode
    wait(lambda: icons() == [], "the tray icon to go")


@session
def keyboard(s):
    """Real key presses on controls found by their names: Tab, Enter and Space do what a click does."""
    s.copy("First text")
    s.start()
    s.focused_on("First te")
    s.copy(file=(red := picture(f"{s.work}/red.bmp", 40, 30, RED)), mime="image/bmp")
    s.copy("Second text")
    s.copy(" " * 8 + "third")  # a row without a caption is read by its number, which does not show
    s.wait_rows(["First te", "Second t", "Text 3"])
    left, top, right, bottom = s.driver.info(s.control("ClipShow", 2))["rect"]
    assert len(Image.screen().crop(left + 3, top + 3, right - 3, bottom - 3).colours()) == 1
    s.keys("shift+Tab", focus="AI Hide")  # round from the first control to the last, and back
    s.keys(*["Tab"] * 6, focus="Save text 2 as .txt")
    s.keys("Return")
    assert s.answer() == SAVED
    assert s.file("Secondt.txt") == b"Second text\r\n"
    s.focused_on("Save text 2 as .txt")  # where it was before the box
    s.keys(*["Tab"] * 7, focus="Picture 1")  # past the hidden rows

    def picture_already_back():  # as with a click: the box comes last
        assert Image.of(wait(lambda: s.x11_paste("image/bmp"), "the picture")) == Image.of(red)
    s.keys("space")
    assert s.answer(picture_already_back) == READY
    s.keys("Right", "Down", "Down", focus="Preview picture 1")
    s.keys("Return")
    wait(lambda: s.windows(s.preview_class), "the preview")
    s.keys("Escape")
    wait(lambda: not s.windows(s.preview_class), "Esc to close the preview")
    s.focused_on("Preview picture 1")
    s.keys("Up", "Return", focus="Picture 1, empty")  # the focused icon goes with the picture: to its slot
    s.keys(*["Tab"] * 5, "Return", focus="Hide")  # Enter on Empty All, disabled then: the focus goes on


def at_own_size(box):  # in the box's top-left corner
    return (box.crop(0, 0, 200, 150).colours() == {ORANGE}
            and ORANGE not in box.crop(200).colours() | box.crop(0, 150).colours())


def stretched(box):  # to the whole box
    w, h = box.width - 1, box.height - 1
    return [box.pixel(x, y) for x, y in ((0, 0), (w, 0), (0, h), (w, h))] == list(CORNERS)


@session
def screen_pictures(s):
    d = s.driver
    # A desktop in which every pixel differs from its neighbours shows any shift.
    run("convert", "-seed", "7", "-size", "%dx%d" % s.screen_size, "xc:", "+noise", "Random",
        "-depth", "8", noise := f"{s.work}/noise.ppm")
    run("display", "-window", "root", noise, check=False)  # it says 1 when it worked
    desktop = Image.of(noise)
    wait(lambda: Image.screen() == desktop, "the desktop to show the picture")
    s.start()
    window = d.info(s.hwnd)["rect"]
    wait(lambda: Image.screen().crop(*window) != desktop.crop(*window), "the window to paint")

    # Web Photo: the screen without our window; below Wine's tray, which it paints in its own time.
    s.press("CmdCapScreen", wait_done=True)
    wait(lambda: len(s.slots()) == 1 and d.info(s.hwnd)["visible"], "the screen's picture")
    below = max([d.info(t)["rect"][3] for t in d.find(TRAY)] + [0])
    assert below < window[1], f"Wine's tray reaches down to {below}"
    assert s.saved_picture(1).crop(0, below) == desktop.crop(0, below), "the picture is not the screen"

    # Cut Scr: two real clicks mark a rectangle on the frozen screen.
    s.press("cmd_jp", wait_done=True)
    overlay = wait(lambda: s.windows(s.overlay_class), "the frozen screen")[0]
    s.point((100, 100), 1)
    s.point((300, 200))
    edges = ((200, 100), (200, 200), (100, 150), (300, 150))
    wait(lambda: {Image.screen().pixel(x, y) for x, y in edges} == {BLACK}, "the outline")
    s.point((300, 200), 1)
    wait(lambda: not d.info(overlay), "the frozen screen to go")
    wait(lambda: len(s.slots()) == 2, "the cut's picture")
    assert s.saved_picture(2) == desktop.crop(100, 100, 301, 201), "the cut is not what was marked"


if __name__ == "__main__":
    main()
