"""The About window: "About Me" opens one window, a second click opens no
second one, and after closing it opens again with the same texts."""

import harness
from harness import E2ETest, wait_until

ABOUT_TITLE = "About Pastewright"


class About(E2ETest):
    def about_windows(self):
        return [h for h in self.driver.find_all(ABOUT_TITLE) if self.driver.visible(h)]

    def texts(self, about):
        return [self.driver.caption(self.driver.child(about, self.driver.control_id(name)))
                for name in ("myjs", "myjs2", "myjs3")]

    def test_about_me_twice_gives_one_window_that_reopens_after_closing(self):
        app = self.start_app()
        about_me = app.control("cmd_about")

        self.driver.press(about_me)
        about = wait_until(lambda: len(self.about_windows()) == 1 and self.about_windows()[0],
                           what="the About window")
        texts = self.texts(about)
        self.assertTrue(texts[0].startswith("   Pastewright is tallowmere program. It is not only"),
                        texts[0])
        self.assertTrue(texts[1].startswith("  Pastewright is green software.If you have any good "
                                            "ideal,you can email to "), texts[1])
        self.assertTrue(texts[2].startswith("Pastewright Power By "), texts[2])

        self.driver.press_and_wait(about_me)
        self.assertEqual(self.about_windows(), [about], "a second About window opened")

        # Closing it leaves the program running; the next click opens it afresh.
        self.driver.close(about)
        wait_until(lambda: self.about_windows() == [], what="the About window to close")
        self.assertTrue(app.running() and self.driver.visible(app.hwnd))
        self.driver.press(about_me)
        again = wait_until(lambda: len(self.about_windows()) == 1 and self.about_windows()[0],
                           what="the About window to open again")
        self.assertEqual(self.texts(again), texts)


if __name__ == "__main__":
    harness.main()
