"""Pictures of the program for the documentation, taken from a real session.

    python3 e2e/screenshots.py --exe .../pastewright.exe --driver .../pwdriver.exe \
        --out docs

writes docs/main-window.png (a few rows and a picture) and docs/about-window.png.
It needs the same environment as the end-to-end tests (e2e/wine_env.sh)."""

import argparse
import os
import sys

import harness
from harness import E2ETest, wait_until
from images import Bitmap, encode_png

OUT = None


def write_gradient_png(path, width, height):
    rows = []
    for y in range(height):
        row = bytearray()
        for x in range(width):
            row += bytes((40 + 200 * x // width, 90 + 120 * y // height, 200 - 150 * x // width))
        rows.append(bytes(row))
    with open(path, "wb") as f:
        f.write(encode_png(width, height, rows))


class Screenshots(E2ETest):
    def shoot(self, hwnd, name):
        bmp = os.path.join(self.work, name + ".bmp")
        self.driver.capture(self.driver.rect(hwnd), bmp)
        Bitmap(bmp).to_png(os.path.join(OUT, name + ".png"))

    def test_main_window(self):
        app = self.start_app()
        picture = os.path.join(self.work, "gradient.png")
        write_gradient_png(picture, 160, 120)
        self.copy_picture(picture, "image/png")
        wait_until(lambda: app.visible("sav", 1), what="the picture")
        texts = ["Meeting at 10:30 in room 4", "https://example.org/notes", "Grocery list: eggs, milk",
                 "  indented code line", "Café au lait"]
        for text in texts:
            self.copy_text(text)
        wait_until(lambda: len(app.visible_rows()) == len(texts), what="the rows")
        self.settle()
        self.shoot(app.hwnd, "main-window")

    def test_about_window(self):
        app = self.start_app()
        self.driver.press(app.control("cmd_about"))
        about = wait_until(lambda: self.driver.find("About Pastewright"), what="the About window")
        wait_until(lambda: self.driver.visible(about), what="the About window to show")
        self.settle()
        self.driver.gettext(about)
        self.shoot(about, "about-window")


if __name__ == "__main__":
    parser = argparse.ArgumentParser(add_help=False)
    parser.add_argument("--out", required=True)
    args, rest = parser.parse_known_args()
    OUT = os.path.abspath(args.out)
    os.makedirs(OUT, exist_ok=True)
    sys.argv = [sys.argv[0]] + rest
    harness.main()
