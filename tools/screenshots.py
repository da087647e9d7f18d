"""Pictures of the program for the documentation, taken from a real session:
main-window.png (a few rows and a picture) and about-window.png.

    python3 tools/screenshots.py --exe .../pastewright.exe --driver .../pwdriver.exe --out docs

It needs the environment of tools/wine_env.sh, as the end-to-end sessions do."""

import argparse
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
import harness  # noqa: E402
from harness import Image, run, session, wait  # noqa: E402

OUT = None


def shoot(s, hwnd, name):
    """The window as it shows, once it has painted more than its background."""
    left, top, right, bottom = s.driver.info(hwnd)["rect"]
    wait(lambda: len(Image.screen().crop(left, top, right, bottom).colours()) > 20, f"{name} to paint")
    run("import", "-window", "root", "-crop", f"{right - left}x{bottom - top}+{left}+{top}",
        "+repage", os.path.join(OUT, name + ".png"))


@session
def main_window(s):
    s.start()
    gradient = os.path.join(s.work, "gradient.png")
    run("convert", "-size", "160x120", "gradient:#2860c8-#e0d040", gradient)
    s.copy(file=gradient, mime="image/png")
    texts = ["Meeting at 10:30 in room 4", "https://example.org/notes", "Grocery list: eggs, milk",
             "  indented code line", "Café au lait"]
    for text in texts:
        s.copy(text)
    wait(lambda: len(s.rows()) == len(texts) and len(s.slots()) == 1, "the rows and the picture")
    shoot(s, s.hwnd, "main-window")


@session
def about_window(s):
    s.start()
    s.press("cmd_about")
    shoot(s, wait(lambda: s.windows(s.about_class), "the About window")[0], "about-window")


if __name__ == "__main__":
    parser = argparse.ArgumentParser(add_help=False)
    parser.add_argument("--out", required=True)
    args, rest = parser.parse_known_args()
    OUT = os.path.abspath(args.out)
    os.makedirs(OUT, exist_ok=True)
    sys.argv = [sys.argv[0]] + rest
    harness.main()
