"""The window and the screen: the tray, pointing at a row, About, the picture
preview's painting, and pictures of the screen."""

import glob
import os

from harness import WM_CLOSE, Image, main, picture, run, session, wait

TRAY, ICON = "__winex11_standalone_tray", "__winex11_tray_icon"  # Wine's, without a desktop
WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK = 0x200, 0x201, 0x202, 0x203
WM_RBUTTONDOWN, WM_RBUTTONUP = 0x204, 0x205
ORANGE, GREEN, BLACK = (240, 140, 20), (30, 160, 60), (0, 0, 0)


def centre(rect):
    return (rect[0] + rect[2]) // 2, (rect[1] + rect[3]) // 2


@session
def tray(s):
    d = s.driver
    s.start()

    def icons():
        return [icon for tray in d.find(TRAY) for icon in d.find(ICON, parent=tray)]

    def hide():
        s.press("MainhWndHide")
        wait(lambda: not d.info(s.hwnd)["visible"] and len(icons()) == 1,
             lambda: f"the window to hide and one tray icon to show (not {len(icons())})")
        return icons()[0]

    def restored(how):
        wait(lambda: d.info(s.hwnd)["visible"], how + " to restore the window")

    s.copy("Before hiding")
    icon = hide()
    s.copy("While hidden")
    for mouse in (WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, WM_RBUTTONUP):
        d.send(s.hwnd, s.tray_message, 0, mouse)
        assert not d.info(s.hwnd)["visible"], f"the tray's {mouse:#x} restored the window"
    s.point(*centre(d.info(icon)["rect"]), 1)
    restored("a click on the tray icon")
    assert s.rows() == ["Before h", "While hi"], s.rows()

    hide()  # again: still one icon
    d.send(s.hwnd, s.tray_message, 0, 1 << 16 | WM_LBUTTONUP)  # newer shells add the icon's id
    restored("the tray's button-up with the icon's id")
    s.end()
    assert s.proc.returncode == 0, s.proc.returncode
    wait(lambda: icons() == [], "the tray icon to go")


@session
def pointing_at_a_row(s):
    d = s.driver
    s.start()
    s.copy("   Line one of a longer text\r\nline two")
    wait(lambda: len(s.rows()) == 1, "row 1")

    def preview():
        return s.shown("vpic") and s.shown("pView") and d.text(s.control("pView"))

    row = d.info(s.control("ClipShow", 0))["rect"]
    s.point(*centre(row))
    wait(lambda: (preview() or "").startswith("Line one of a longer text\r\nline two"),
         lambda: f"the row's preview (not {preview()!r})")
    s.point(row[0] - 200, row[1])
    wait(lambda: not preview(), "the preview to hide")


@session
def about(s):
    s.start()
    s.press("cmd_about")
    first = wait(lambda: s.windows(s.about_class), "the About window")
    s.press("cmd_about", wait_done=True)
    assert s.windows(s.about_class) == first, "a second About window opened"
    s.driver("post", first[0], WM_CLOSE, 0, 0)
    wait(lambda: not s.windows(s.about_class), "the About window to close")
    s.press("cmd_about")
    wait(lambda: len(s.windows(s.about_class)) == 1, "the About window to open again")


@session
def preview_painting(s):
    d = s.driver
    s.start()
    for name, size, colour in (("small", (200, 150), ORANGE), ("large", (1024, 768), GREEN)):
        s.copy(file=picture(os.path.join(s.work, name + ".png"), *size, colour), mime="image/png")
    wait(lambda: len(s.slots()) == 2, "two pictures")

    # A picture under 100 mm shows at its own size in the top-left corner, a
    # larger one is stretched to the whole box.
    for slot, colour, own_size in ((1, ORANGE, (200, 150)), (2, GREEN, None)):
        s.press("pv", slot)
        window = wait(lambda: s.windows(s.preview_class), "the preview")[0]
        left, top, right, bottom = d.info(d.child(window, "PreviewImage"))["rect"]
        width, height = right - left, bottom - top

        def painted():
            box = Image.screen().crop(left, top, right, bottom)
            if not own_size:
                return box.colours() == {colour}
            w, h = own_size
            return (box.crop(0, 0, w, h).colours() == {colour}
                    and colour not in box.crop(w, 0, width, height).colours()
                    and colour not in box.crop(0, h, width, height).colours())
        wait(painted, f"slot {slot}'s picture painted in the {width}x{height} box")
        d("post", window, WM_CLOSE, 0, 0)
        wait(lambda: not s.windows(s.preview_class), "the preview to close")


def saved_picture(s, slot):
    """Saves a slot as .bmp (named after the second it is saved in) and reads it."""
    for old in glob.glob(os.path.join(s.work, "*.bmp")):
        os.remove(old)
    s.press("sav", slot)
    assert s.answer() == "File saved Pastewright run catalog"
    made = glob.glob(os.path.join(s.work, "*.bmp"))
    assert len(made) == 1, made
    return Image.of(made[0])


@session
def screen_pictures(s):
    d = s.driver
    width, height = s.screen_size
    # A desktop in which every pixel differs from its neighbours shows any shift.
    noise, black = os.path.join(s.work, "noise.ppm"), os.path.join(s.work, "black.ppm")
    run("convert", "-seed", "7", "-size", f"{width}x{height}", "xc:", "+noise", "Random",
        "-depth", "8", noise)
    run("convert", "-size", f"{width}x{height}", "xc:black", black)
    run("display", "-window", "root", noise, check=False)  # it says 1 when it worked
    try:
        desktop = Image.of(noise)
        wait(lambda: Image.screen() == desktop, "the desktop to show the picture")
        s.start()
        window = d.info(s.hwnd)["rect"]
        wait(lambda: Image.screen().crop(*window) != desktop.crop(*window), "the window to paint")

        # Web Photo: the whole screen, without the program's window.
        s.press("CmdCapScreen", wait_done=True)
        wait(lambda: len(s.slots()) == 1 and d.info(s.hwnd)["visible"], "the screen's picture")
        screen = Image.screen()
        trays = [d.info(t)["rect"] for t in d.find(TRAY)]  # Wine paints it in its own time
        shot = saved_picture(s, 1)
        assert shot.crop(*window) == desktop.crop(*window), "the picture shows the program's window"
        whole = (0, 0, width, height)
        assert shot.crop(*whole, [window, *trays]) == screen.crop(*whole, [window, *trays]), \
            "the picture is not the screen"

        # Cut Scr: two real clicks mark a rectangle on the frozen screen.
        s.press("cmd_jp", wait_done=True)
        overlay = wait(lambda: s.windows(s.overlay_class), "the frozen screen")[0]
        s.point(100, 100, 1)
        s.point(300, 200)
        edges = ((200, 100), (200, 200), (100, 150), (300, 150))
        wait(lambda: {Image.screen().pixel(x, y) for x, y in edges} == {BLACK}, "the outline")
        s.point(300, 200, 1)
        wait(lambda: not d.info(overlay), "the frozen screen to go")
        wait(lambda: len(s.slots()) == 2, "the cut's picture")
        assert saved_picture(s, 2) == screen.crop(100, 100, 301, 201), "the cut is not what was marked"
    finally:
        run("display", "-window", "root", black, check=False)


if __name__ == "__main__":
    main()
