"""Taking pictures of the screen: "Web Photo" stores the whole screen without
the program's own window, "Cut Scr" stores a rectangle cut out of the frozen
screen. Both are saved as .bmp files and compared with what the X display
showed."""

import glob
import os
import subprocess

import harness
from harness import E2ETest, wait_until
from images import encode_png

SAVED = "File saved Pastewright run catalog"
OVERLAY_CLASS = "PastewrightOverlay"
TRAY_CLASS = "__winex11_standalone_tray"


def run(*cmd):
    return subprocess.run(cmd, stdin=subprocess.DEVNULL, capture_output=True, timeout=60)


def write_pattern(path, width, height):
    """A picture in which neighbouring pixels differ, to show any shift."""
    rows = [bytes(v for x in range(width)
                  for v in ((x * 7 + y) & 255, (y * 3 + x // 5) & 255, (x ^ y) & 255))
            for y in range(height)]
    with open(path, "wb") as f:
        f.write(encode_png(width, height, rows))


class Captures(E2ETest):
    def setUp(self):
        super().setUp()
        self.snaps = 0
        # The desktop behind the windows shows a known picture.
        width, height = self.driver.screen()[:2]
        self.pattern = os.path.join(self.work, "desktop.png")
        write_pattern(self.pattern, width, height)
        self.set_desktop(self.pattern)
        self.addCleanup(self.set_desktop_black, width, height)

    def set_desktop(self, path):
        run("display", "-window", "root", path)
        wait_until(lambda: self.differing_pixels(path, self.root_image("desktop-now.png")) == 0,
                   what="the X root window to show the picture")

    def set_desktop_black(self, width, height):
        black = os.path.join(self.work, "black.png")
        run("convert", "-size", f"{width}x{height}", "xc:black", black)
        run("display", "-window", "root", black)

    def root_image(self, name):
        """What the X display shows now, as a PNG file."""
        path = os.path.join(self.work, name)
        result = run("import", "-window", "root", "-depth", "8", path)
        self.assertEqual(result.returncode, 0, result.stderr.decode(errors="replace"))
        return path

    def size_of(self, path):
        out = run("identify", "-format", "%w %h", path).stdout.decode()
        return tuple(int(v) for v in out.split())

    def differing_pixels(self, a, b, crop=None, masks=()):
        """How many pixels differ between two pictures, optionally only in
        crop (x, y, w, h) of each, with the rectangles in masks blacked out."""
        prepared = []
        for n, path in enumerate((a, b)):
            out = os.path.join(self.work, f"cmp-{self.snaps}-{n}.png")
            cmd = ["convert", path, "-alpha", "off", "-depth", "8"]
            for left, top, right, bottom in masks:
                cmd += ["-fill", "black", "-draw",
                        f"rectangle {left},{top},{right - 1},{bottom - 1}"]
            if crop:
                x, y, w, h = crop
                cmd += ["-crop", f"{w}x{h}+{x}+{y}", "+repage"]
            result = run(*cmd, "PNG24:" + out)
            self.assertEqual(result.returncode, 0, result.stderr.decode(errors="replace"))
            prepared.append(out)
        self.snaps += 1
        result = run("compare", "-metric", "AE", *prepared, "null:")
        self.assertIn(result.returncode, (0, 1), result.stderr.decode(errors="replace"))
        return int(float(result.stderr.decode().split()[0]))

    @staticmethod
    def overlaps(a, b):
        return a[0] < b[2] and b[0] < a[2] and a[1] < b[3] and b[1] < a[3]

    def save_newest_picture(self, app, slot):
        """Saves picture slot `slot` as a .bmp; returns the new file's path."""
        before = set(glob.glob(os.path.join(self.work, "Pastewright*.bmp")))
        app.driver.press(app.control("sav", slot))
        box, text = app.wait_message_box()
        self.assertEqual(text, SAVED)
        app.answer_ok(box)
        made = set(glob.glob(os.path.join(self.work, "Pastewright*.bmp"))) - before
        self.assertEqual(len(made), 1, f"new picture files: {sorted(made)}")
        return made.pop()

    def test_web_photo_stores_the_screen_without_the_window(self):
        empty = self.pattern
        app = self.start_app()
        window = self.driver.rect(app.hwnd)
        left, top, right, bottom = window
        under_window = (left, top, right - left, bottom - top)

        def window_painted():
            shot = self.root_image("with-window.png")
            return self.differing_pixels(empty, shot, crop=under_window) > 0 and shot

        with_window = wait_until(window_painted, what="the main window to be painted")

        app.driver.press_and_wait(app.control("CmdCapScreen"))
        wait_until(lambda: app.visible("sav", 1), what="picture slot 1 to fill")
        wait_until(lambda: self.driver.visible(app.hwnd), what="the main window to show again")
        self.assertEqual(app.message_boxes(), [])
        self.assertFalse(app.visible("sav", 2))

        # Hiding to the tray put the tray icon on the screen (Wine shows it in a
        # small window of its own), and there it stays.
        after = self.root_image("after.png")
        self.assertEqual(self.driver.rect(app.hwnd), window)

        saved = self.save_newest_picture(app, 1)
        self.assertEqual(self.size_of(saved), self.size_of(with_window))
        # Everything but the window is the screen as it is. (Wine paints the
        # tray icon in its own time, so the tray window is left out.)
        trays = [self.driver.rect(h) for h in self.driver.find_all("*", TRAY_CLASS)]
        self.assertNotIn(True, [self.overlaps(t, window) for t in trays])
        self.assertEqual(self.differing_pixels(saved, after, masks=[window, *trays]), 0)
        # ...and where the window was, the screen shows what lies under it.
        self.assertEqual(self.differing_pixels(saved, empty, crop=under_window), 0)

    def cut(self, app, first, second):
        """Cuts a rectangle from the frozen screen with the real mouse."""
        app.driver.press_and_wait(app.control("cmd_jp"))
        overlay = wait_until(lambda: self.driver.find("*", OVERLAY_CLASS, app.win_pid),
                             what="the capture overlay")
        wait_until(lambda: self.driver.visible(overlay), what="the overlay to show")
        self.xdotool("mousemove", *first)
        self.xdotool("click", "1")
        self.xdotool("mousemove", (first[0] + second[0]) // 2, (first[1] + second[1]) // 2)
        self.xdotool("mousemove", *second)
        self.xdotool("click", "1")
        wait_until(lambda: not self.driver.exists(overlay), what="the overlay to close")

    def xdotool(self, *args):
        subprocess.run(["xdotool", *map(str, args)], check=True, timeout=10,
                       stdin=subprocess.DEVNULL)

    def check_cut(self, first, second):
        app = self.start_app()
        screen = self.root_image("screen.png")
        self.cut(app, first, second)
        wait_until(lambda: app.visible("sav", 1), what="picture slot 1 to fill")
        self.assertFalse(app.visible("sav", 2))
        self.assertEqual(app.message_boxes(), [])

        saved = self.save_newest_picture(app, 1)
        # Both corners belong to the cut: (100, 100) to (300, 200) is 201 x 101.
        self.assertEqual(self.size_of(saved), (201, 101))
        # Exactly the marked pixels of the frozen screen, edge included: the
        # outline that followed the pointer is not part of the cut.
        self.assertEqual(self.differing_pixels(saved, self.region(screen, 100, 100, 201, 101)), 0)

    def region(self, path, x, y, w, h):
        out = os.path.join(self.work, f"region-{x}-{y}-{w}x{h}.png")
        result = run("convert", path, "-crop", f"{w}x{h}+{x}+{y}", "+repage", out)
        self.assertEqual(result.returncode, 0, result.stderr.decode(errors="replace"))
        return out

    def test_cut_scr_from_top_left_to_bottom_right(self):
        self.check_cut((100, 100), (300, 200))

    def test_cut_scr_from_bottom_right_to_top_left(self):
        self.check_cut((300, 200), (100, 100))

    def test_cut_scr_from_top_right_to_bottom_left(self):
        self.check_cut((300, 100), (100, 200))

    def test_cut_scr_from_bottom_left_to_top_right(self):
        self.check_cut((100, 200), (300, 100))


if __name__ == "__main__":
    harness.main()
