"""Start-up: the empty main window in the bottom-right corner, and the clipboard
contents at start-up becoming the first clip."""

import harness
from harness import E2ETest, TITLE, wait_until

PANEL_CAPTIONS = {
    "CtrlFrame": "Control Panel",
    "EmptyAll": "Empty All",
    "MainhWndHide": "Hide",
    "cmd_jp": "Cut Scr",
    "CmdCapScreen": "Web Photo",
    "cmd_about": "About Me",
}


class StartUp(E2ETest):
    def test_starts_empty_top_most_in_the_bottom_right_corner(self):
        app = self.start_app()
        d = self.driver

        self.assertEqual(d.caption(app.hwnd), TITLE)
        for family, caption in PANEL_CAPTIONS.items():
            self.assertEqual(app.caption(family), caption, family)

        # No row, row icon or picture button is shown; "Empty All" is shown but disabled.
        for i in range(10):
            for family, index in (("ClipShow", i), ("t", i + 1), ("w", i + 1), ("d", i)):
                self.assertFalse(app.visible(family, index), f"{family}{index} is visible")
        for n in range(1, 6):
            for family in ("sav", "dpic", "pv"):
                self.assertFalse(app.visible(family, n), f"{family}{n} is visible")
        self.assertTrue(app.visible("EmptyAll"))
        self.assertFalse(app.enabled("EmptyAll"))
        for family in ("MainhWndHide", "cmd_jp", "CmdCapScreen", "cmd_about"):
            self.assertTrue(app.visible(family) and app.enabled(family), family)

        self.assertTrue(d.topmost(app.hwnd), "the main window is not top-most")
        width, height, _, dpi_y = d.screen()
        left, top, right, bottom = d.rect(app.hwnd)
        self.assertEqual(right, width, "right edge is not at the screen's right edge")
        band = round(450 * dpi_y / 1440)  # 450 twips
        self.assertEqual(bottom, height - band, f"bottom edge is not {band} px above the bottom")
        self.assertGreater(right - left, 0)
        self.assertGreater(bottom - top, 0)

    def test_clipboard_at_start_up_becomes_the_first_row(self):
        self.copy_text("Clipboard at start")
        app = self.start_app()

        wait_until(lambda: app.visible_rows() == [1], what="row 1 to show the start-up clip")
        self.assertEqual(app.row_caption(1), "Clipboar")
        for family, index in (("t", 1), ("w", 1), ("d", 0)):
            self.assertTrue(app.visible(family, index), f"{family}{index} is hidden")
        self.assertTrue(app.enabled("EmptyAll"))


if __name__ == "__main__":
    harness.main()
