"""Hiding to the tray and coming back, and closing the program: "Hide" puts the
window into the tray, clips keep coming in, a left click on the icon brings
the window back and other clicks do not; closing ends the program, takes the
icon away and leaves the clipboard viewer chain intact."""

import harness
from harness import E2ETest, wait_until

TRAY_CLASS = "__winex11_standalone_tray"   # Wine's tray window when there is no desktop
ICON_CLASS = "__winex11_tray_icon"
WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONDBLCLK = 0x200, 0x201, 0x203
WM_RBUTTONDOWN, WM_RBUTTONUP, WM_RBUTTONDBLCLK = 0x204, 0x205, 0x206


class TrayAndClose(E2ETest):
    def setUp(self):
        super().setUp()
        self.app = self.start_app()
        self.tray_message = int(self.driver.call("host")[0])

    def tray_icons(self):
        icons = []
        for tray in self.driver.find_all("*", TRAY_CLASS):
            icons += [hwnd for hwnd, _, cls in self.driver.children(tray) if cls == ICON_CLASS]
        return icons

    def hide(self):
        self.driver.press(self.app.control("MainhWndHide"))
        wait_until(lambda: not self.driver.visible(self.app.hwnd), what="the window to hide")
        return wait_until(lambda: len(self.tray_icons()) == 1 and self.tray_icons()[0],
                          what="one tray icon")

    def test_hide_collects_clips_and_a_left_click_on_the_icon_restores(self):
        app, d = self.app, self.driver
        self.copy_text("Before hiding")
        icon = self.hide()

        self.copy_text("While hidden")
        self.copy_text("Still hidden")
        self.app.wait_captions(["Before h", "While hi", "Still hi"])

        # Right clicks, presses, double clicks and moves over the icon do nothing.
        self.click_window(icon, button=3)
        for mouse in (WM_MOUSEMOVE, WM_RBUTTONDOWN, WM_RBUTTONUP, WM_RBUTTONDBLCLK,
                      WM_LBUTTONDOWN, WM_LBUTTONDBLCLK):
            d.send(app.hwnd, self.tray_message, 0, mouse)
            self.assertFalse(d.visible(app.hwnd), f"tray message {mouse:#x} restored the window")

        self.click_window(icon, button=1)
        wait_until(lambda: d.visible(app.hwnd), what="a left click on the icon to restore the window")
        self.assertEqual(app.captions(), ["Before h", "While hi", "Still hi"])

        # Hiding again still shows a single icon, and it still restores.
        icon = self.hide()
        self.click_window(icon, button=1)
        wait_until(lambda: d.visible(app.hwnd), what="the second restore")
        self.assertEqual(len(self.tray_icons()), 1)

    def test_closing_ends_the_program_removes_the_icon_and_leaves_the_chain(self):
        self.copy_text("Some clip")
        self.hide()
        self.click_window(self.tray_icons()[0], button=1)
        wait_until(lambda: self.driver.visible(self.app.hwnd), what="the window to come back")

        self.app.close()
        self.assertEqual(self.app.proc.returncode, 0)
        wait_until(lambda: self.tray_icons() == [], what="the tray icon to go")
        self.assertEqual(self.driver.find_all(harness.TITLE), [])
        # The viewer that joined before the program is still told of changes.
        self.assertEqual(self.copy_text("After closing", self.driver), [1])


if __name__ == "__main__":
    harness.main()
