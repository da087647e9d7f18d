"""Faults in the clipboard viewer chain around Pastewright: viewers leaving
right after it and further down, a viewer that joined after it leaving, a
neighbour killed without leaving the chain, and a neighbour that hangs. The
program never hangs (its window answers), it keeps storing, and the viewers
the chain still reaches keep receiving every change. A viewer ahead of it in
the chain hands it the notices of its own writes late: a click still stores
the clicked item once."""

import hostile
from hostile import CF_DIB, HardeningTest, hex_colour, solid_dib, wait_until

RED, GREEN = (210, 30, 40), (30, 160, 60)


class ViewerFaults(HardeningTest):
    def copy_round(self, text, heard, expected_rows):
        """Copies text in a Windows program; `heard` maps each viewer (a
        driver) to the notices it must get for it (0: none). Then the program
        must answer and show expected_rows."""
        before = {viewer: viewer.notices() for viewer in heard}
        self.driver.clip_set_text(text)
        for viewer, count in heard.items():
            if count:
                wait_until(lambda: viewer.notices() - before[viewer] >= count,
                           what=f"the viewer {viewer.name} to hear of {text!r}")
        self.wait_look({"rows": expected_rows, "pictures": {}, "empty_all": True,
                        "message_boxes": 0}, f"the rows after {text!r}")
        self.settle()
        self.assert_alive(after=f"the copy of {text!r}")
        got = {viewer.name: viewer.notices() - before[viewer] for viewer in heard}
        self.assertEqual(got, {viewer.name: count for viewer, count in heard.items()},
                         f"the notices the viewers got for {text!r}")

    def viewer(self, name, join=True):
        driver = self.extra_driver(name)
        driver.name = name
        if join:
            driver.viewer_join()
        return driver

    def setUp(self):
        super().setUp()
        self.first = self.driver  # joined the chain before anyone else
        self.first.name = "first"

    def test_viewers_leaving_behind_and_ahead_of_the_program(self):
        neighbour = self.viewer("neighbour")
        self.app = self.start_app()
        ahead = self.viewer("ahead")
        # ahead -> Pastewright -> neighbour -> first
        rows = ["Everyone"]
        self.copy_round("Everyone hears this", {ahead: 1, neighbour: 1, self.first: 1}, rows)

        # A viewer further down leaves: the notice of it goes through the
        # program to the neighbour, which links past it.
        self.first.viewer_leave()
        rows.append("Further ")
        self.copy_round("Further down left", {ahead: 1, neighbour: 1, self.first: 0}, rows)

        # The program's own neighbour leaves: the program links past it.
        neighbour.viewer_leave()
        rows.append("The neig")
        self.copy_round("The neighbour left", {ahead: 1, neighbour: 0, self.first: 0}, rows)

        # A viewer joins again, ahead of everyone; then the one right ahead of
        # the program leaves.
        self.first.viewer_join()
        rows.append("Rejoined")
        self.copy_round("Rejoined ahead", {self.first: 1, ahead: 1, neighbour: 0}, rows)
        ahead.viewer_leave()
        rows.append("The view")
        self.copy_round("The viewer ahead left", {self.first: 1, ahead: 0, neighbour: 0}, rows)

    def test_a_neighbour_killed_without_leaving(self):
        doomed = self.hostile_process("viewer")
        doomed_window = int(doomed.expect("joined").split()[1])
        self.app = self.start_app()
        ahead = self.viewer("ahead")
        # ahead -> Pastewright -> doomed -> first
        rows = ["Before t"]
        self.copy_round("Before the kill", {ahead: 1, self.first: 1}, rows)

        self.hostile("kill", self.driver.pid(doomed_window))
        wait_until(lambda: doomed.proc.poll() is not None and not self.driver.exists(doomed_window),
                   what="the killed viewer and its window to be gone")
        # The chain past the killed window is cut: it was the only one that
        # knew the first viewer. The program is not held up by the dead window.
        rows.append("After th")
        self.copy_round("After the kill", {ahead: 1, self.first: 0}, rows)

        # The cut-off viewer leaves (the notice of it goes through the program
        # to the dead window) and joins again, ahead of everyone.
        self.first.viewer_leave()
        self.assert_alive(after="a removal notice for the dead window")
        self.first.viewer_join()
        rows.append("Rejoined")
        self.copy_round("Rejoined after the kill", {self.first: 1, ahead: 1}, rows)

    def test_a_neighbour_that_hangs(self):
        hung = self.hostile_process("hang-viewer")
        hung.expect("joined")
        self.app = self.start_app()
        ahead = self.viewer("ahead")
        # ahead -> Pastewright -> hung -> first

        # The neighbour hangs on the first notice and never passes it on; the
        # program gives up on it, stores the text and keeps answering.
        rows = ["While it"]
        self.copy_round("While it hangs", {ahead: 1, self.first: 0}, rows)
        hung.expect("hung")
        rows.append("Still hu")
        self.copy_round("Still hung", {ahead: 1, self.first: 0}, rows)

        # Let go, it leaves the chain properly and everyone hears again.
        hung.finish()
        rows.append("After th")
        self.copy_round("After the hang", {ahead: 1, self.first: 1}, rows)

    def test_a_click_with_a_viewer_ahead_stores_the_clicked_item_once(self):
        self.app = app = self.start_app()
        ahead = self.viewer("ahead")
        # ahead -> Pastewright -> first: the notices of the program's own
        # writes come back to it through the viewer ahead, after the writes.
        self.copy_round("Alpha text", {ahead: 1, self.first: 1}, ["Alpha te"])
        self.copy_round("Bravo text", {ahead: 1, self.first: 1}, ["Alpha te", "Bravo te"])
        for rgb in (RED, GREEN):
            before = ahead.notices()
            self.driver.clip_set((CF_DIB, self.block_file(solid_dib(16, 12, rgb))))
            wait_until(lambda: ahead.notices() > before, what=f"the picture {rgb} to go round")
        pictures = {1: hex_colour(RED), 2: hex_colour(GREEN)}
        self.wait_look({"rows": ["Alpha te", "Bravo te"], "pictures": pictures,
                        "empty_all": True, "message_boxes": 0})

        # A row click clears the clipboard and puts the text on it.
        before = ahead.notices()
        app.driver.press(app.row(1))
        app.answer_ok(wait_until(app.message_box, what="the row's message box"))
        wait_until(lambda: ahead.notices() - before >= 2, what="the click's two changes")
        self.settle()
        self.assertEqual(self.driver.clip_text(), "Alpha text")
        self.wait_look({"rows": ["Bravo te", "Alpha te"], "pictures": pictures,
                        "empty_all": True, "message_boxes": 0}, "the rows after a row click")

        # A thumbnail click does the same with the picture.
        before = ahead.notices()
        app.driver.lclick(app.control("simg", 1))
        app.answer_ok(wait_until(app.message_box, what="the thumbnail's message box"))
        wait_until(lambda: ahead.notices() - before >= 2, what="the click's two changes")
        self.settle()
        self.wait_look({"rows": ["Bravo te", "Alpha te"],
                        "pictures": {1: hex_colour(GREEN), 2: hex_colour(RED)},
                        "empty_all": True, "message_boxes": 0}, "the pictures after a click")
        self.assert_alive(after="the clicks")


if __name__ == "__main__":
    hostile.main()
