"""Other clipboard viewers keep working beside the program: viewers that joined
before it receive every change, when one of them leaves the others are
relinked, and after the program exits the chain still reaches them."""

import harness
from harness import E2ETest, wait_until


class ViewerChain(E2ETest):
    def setUp(self):
        super().setUp()
        # Chain after start-up: Pastewright -> second -> first (the test's own driver).
        self.first = self.driver
        self.second = self.extra_driver("second")
        self.second.viewer_join()
        self.app = self.start_app()

    def test_earlier_viewers_receive_every_change_while_and_after_the_program_runs(self):
        self.assertEqual(self.copy_text("one change", self.first, self.second), [1, 1])
        self.assertEqual(self.copy_text("two changes", self.first, self.second), [1, 1])
        self.app.wait_captions(["one chan", "two chan"])

        # The viewer right after the program leaves: the program links past it.
        self.second.viewer_leave()
        self.assertEqual(self.copy_text("three changes", self.first, self.second), [1, 0])
        self.app.wait_captions(["one chan", "two chan", "three ch"])

        # The program exits and leaves the chain; the first viewer still hears.
        self.app.close()
        self.assertEqual(self.copy_text("after the program", self.first), [1])
        self.assertEqual(self.x11.read(), b"after the program")

    def test_a_viewer_further_down_leaving_is_passed_on(self):
        # The first viewer is the second's next: the notice must reach the second.
        self.first.viewer_leave()
        self.assertEqual(self.copy_text("after a leave", self.first, self.second), [0, 1],
                         "the notice of the first viewer's leaving did not reach the second")
        self.app.wait_captions(["after a "])
        self.assertEqual(self.second.viewer_state()["next"], 0)


if __name__ == "__main__":
    harness.main()
