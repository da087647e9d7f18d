"""Pointing at a row: the real pointer over a row button shows the larger
preview of its text, moving off hides it, and a preview left showing when the
window is hidden to the tray is gone when it comes back."""

import subprocess

import harness
from harness import E2ETest, wait_until

TRAY_CLASS = "__winex11_standalone_tray"   # Wine's tray window when there is no desktop
ICON_CLASS = "__winex11_tray_icon"


class Hover(E2ETest):
    def setUp(self):
        super().setUp()
        self.app = self.start_app()
        self.copy_text("   Line one of a longer text\r\nline two")
        self.app.wait_captions(["Line "])  # eight characters, leading spaces dropped

    def move_to(self, x, y):
        subprocess.run(["xdotool", "mousemove", str(x), str(y)], check=True, timeout=10,
                       stdin=subprocess.DEVNULL)

    def preview(self):
        """The preview's text while the panel is shown, else None."""
        app, d = self.app, self.driver
        if not (app.visible("vpic") and app.visible("pView")):
            return None
        return d.gettext(app.control("pView"))

    def point_at_row_1(self):
        left, top, right, bottom = self.driver.rect(self.app.control("ClipShow", 0))
        self.move_to((left + right) // 2, (top + bottom) // 2)
        expected = "Line one of a longer text\r\nline two... ..."
        wait_until(lambda: self.preview() == expected,
                   what=lambda: f"the preview to read {expected!r} (it reads {self.preview()!r})")

    def test_pointing_shows_the_preview_and_moving_off_hides_it(self):
        self.point_at_row_1()
        left, top, _, _ = self.driver.rect(self.app.hwnd)
        self.move_to(left - 200, top + 40)  # off the window, onto the bare screen
        wait_until(lambda: self.preview() is None, what="the preview to hide")
        self.assertEqual(self.driver.gettext(self.app.control("pView")), "")

    def test_a_preview_showing_at_hide_is_gone_after_restore(self):
        app, d = self.app, self.driver
        self.point_at_row_1()
        d.press(app.control("MainhWndHide"))
        wait_until(lambda: not d.visible(app.hwnd), what="the window to hide")
        self.assertFalse(app.visible("vpic") or app.visible("pView"))

        def icon():
            for tray in d.find_all("*", TRAY_CLASS):
                for hwnd, _, cls in d.children(tray):
                    if cls == ICON_CLASS:
                        return hwnd
            return None

        self.click_window(wait_until(icon, what="the tray icon"), button=1)
        wait_until(lambda: d.visible(app.hwnd), what="the window to come back")
        self.assertFalse(app.visible("vpic") or app.visible("pView"))


if __name__ == "__main__":
    harness.main()
