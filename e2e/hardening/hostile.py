"""What the hardening sessions share: pwhostile (a Windows program that
misbehaves on purpose), hostile clipboard contents built byte by byte, and a
look at the program after each fault: is it alive, does its window answer,
and what does its store hold.

The sessions run on e2e/harness.py; each test script calls main() here, which
takes --hostile (pwhostile.exe) off the command line and hands the rest on.
"""

import os
import selectors
import struct
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))

import harness  # noqa: E402
from harness import DriverError, E2ETest, wait_until  # noqa: E402

WM_NULL = 0x0000
CF_UNICODETEXT = "CF_UNICODETEXT"
CF_DIB = "CF_DIB"
CF_DIBV5 = "CF_DIBV5"
BI_RGB, BI_RLE8, BI_BITFIELDS = 0, 1, 3
MIB = 1024 * 1024

HOSTILE_EXE = None  # set by main()


# --- clipboard contents, byte by byte -----------------------------------------

def utf16(text, nul=True):
    """A CF_UNICODETEXT block: UTF-16LE, with its terminating NUL unless told not."""
    return text.encode("utf-16-le") + (b"\0\0" if nul else b"")


def info_header(width, height, bpp, compression=BI_RGB, colours_used=0, size=40, planes=1):
    """A BITMAPINFOHEADER whose fields say whatever they are told to."""
    return struct.pack("<IiiHHIIiiII", size, width, height, planes, bpp, compression, 0, 2835,
                       2835, colours_used, 0)


def solid_dib(width, height, rgb):
    """A well-formed packed 24-bit DIB of one colour."""
    stride = (width * 3 + 3) & ~3
    row = bytes((rgb[2], rgb[1], rgb[0])) * width + b"\0" * (stride - width * 3)
    return info_header(width, height, 24) + row * height


def pixels(count):
    return bytes((7 * i) & 0xFF for i in range(count))


# Packed DIBs that lie about themselves, each with what it lies about.
BAD_DIBS = {
    "a body cut off after half its rows":
        info_header(64, 64, 32) + pixels(64 * 32 * 4),
    "a header claiming 100000 x 100000 pixels":
        info_header(100000, 100000, 32) + pixels(64),
    "a header claiming 100000 x 100000 pixels, top-down":
        info_header(100000, -100000, 24) + pixels(64),
    "zero width":
        info_header(0, 8, 24) + pixels(8 * 24),
    "zero height":
        info_header(8, 0, 24) + pixels(8 * 24),
    "a negative width":
        info_header(-8, 8, 24) + pixels(8 * 24),
    "an unknown compression":
        info_header(8, 8, 24, compression=0x7777) + pixels(8 * 24),
    "run-length codes that run past the picture":
        info_header(8, 8, 8, compression=BI_RLE8) + bytes(256 * 4) + b"\xff\x01" * 64 + b"\0\1",
    "bit-field masks wider than a 16-bit pixel":
        info_header(8, 8, 16, compression=BI_BITFIELDS)
        + struct.pack("<III", 0xFF0000, 0x00FF00, 0x0000FF) + pixels(8 * 16),
    "bit-field masks that overlap":
        info_header(8, 8, 32, compression=BI_BITFIELDS)
        + struct.pack("<III", 0x00FFFF00, 0x0000FFFF, 0x000000FF) + pixels(8 * 32),
    "bit-field masks missing after the header":
        info_header(8, 8, 32, compression=BI_BITFIELDS),
    "a palette of 256 colours in a block holding 16":
        info_header(8, 8, 8, colours_used=256) + bytes(16 * 4),
    "a palette count of two thousand million":
        info_header(8, 8, 8, colours_used=0x7FFFFFFF) + bytes(256 * 4) + pixels(64),
    "a header size larger than the block":
        info_header(8, 8, 24, size=124) + pixels(20),
    "a header size of 4 GiB":
        info_header(8, 8, 24, size=0xFFFFFFFF) + pixels(8 * 24),
    "seven bits per pixel":
        info_header(8, 8, 7) + pixels(8 * 8),
    "only half a header":
        info_header(8, 8, 24)[:20],
}


# --- pwhostile ------------------------------------------------------------------

class HostileProcess:
    """A pwhostile run that lasts (hold, hang-viewer): its lines are read as
    they come, and it is stopped by its pid when the test ends."""

    def __init__(self, test, *args):
        self.args = args
        self.proc = subprocess.Popen([test.wine, HOSTILE_EXE, *args], cwd=test.work,
                                     stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     stderr=subprocess.DEVNULL)
        self._buffer = b""
        self._selector = selectors.DefaultSelector()
        self._selector.register(self.proc.stdout, selectors.EVENT_READ)
        test.addCleanup(self.stop)

    def expect(self, prefix, timeout=20.0):
        """The next line, which must start with `prefix`."""
        line = self._next_line(timeout)
        if not line.startswith(prefix):
            raise AssertionError(f"pwhostile {' '.join(self.args)} said {line!r}, not {prefix!r}")
        return line

    def _next_line(self, timeout):
        deadline = time.monotonic() + timeout
        while b"\n" not in self._buffer:
            left = deadline - time.monotonic()
            if left <= 0 or not self._selector.select(timeout=left):
                raise AssertionError(f"pwhostile {' '.join(self.args)} said nothing "
                                     f"within {timeout:g} s")
            chunk = os.read(self.proc.stdout.fileno(), 65536)
            if not chunk:
                raise AssertionError(f"pwhostile {' '.join(self.args)} ended "
                                     f"with code {self.proc.wait()}")
            self._buffer += chunk
        line, self._buffer = self._buffer.split(b"\n", 1)
        return line.decode("utf-8").rstrip("\r")

    def finish(self, timeout=20.0):
        """Closes its stdin (the end of a hang) and waits for its last line,
        which must be "ok"; the lines before it are skipped."""
        if not self.proc.stdin.closed:
            self.proc.stdin.close()
        deadline = time.monotonic() + timeout
        while True:
            line = self._next_line(max(deadline - time.monotonic(), 0.01))
            if line.startswith(("ok", "err")):
                break
        if not line.startswith("ok"):
            raise AssertionError(f"pwhostile {' '.join(self.args)} failed: {line}")
        self.proc.wait(timeout=timeout)
        return line

    def stop(self):
        if not self.proc.stdin.closed:
            self.proc.stdin.close()
        if self.proc.poll() is None:
            try:
                self.proc.wait(timeout=5.0)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait(timeout=5.0)
        self._selector.close()
        self.proc.stdout.close()


class HardeningTest(E2ETest):
    """A session against the running program with pwhostile at hand."""

    # --- pwhostile ----------------------------------------------------------
    def hostile(self, *args, timeout=60.0):
        """Runs one pwhostile command to its end; returns its last line's fields."""
        result = subprocess.run([self.wine, HOSTILE_EXE, *map(str, args)], cwd=self.work,
                                stdin=subprocess.DEVNULL, capture_output=True, timeout=timeout)
        said = result.stdout.decode("utf-8", "replace").strip()
        last = said.splitlines()[-1] if said else ""
        if result.returncode != 0 or not last.startswith("ok"):
            raise AssertionError(f"pwhostile {' '.join(map(str, args))} failed "
                                 f"(exit code {result.returncode}): {said!r}")
        return last.split()[1:]

    def hostile_process(self, *args):
        return HostileProcess(self, *map(str, args))

    # --- the program ----------------------------------------------------------
    def start_watched_app(self):
        """Starts the program with a watcher in the chain ahead of it.

        The chain is then watcher -> program -> the test's driver. The watcher
        passes each notice on synchronously and counts it after that, so once
        its count has gone up the program has handled the change completely,
        whatever it decided; that is how a session knows when to look at what
        was *not* stored."""
        self.app = self.start_app()
        self.watcher = self.extra_driver("watcher")
        self.watcher.viewer_join()
        return self.app

    def change(self, action, what="the change"):
        """Makes one clipboard change and returns once the program has handled it."""
        before = self.watcher.notices()
        action()
        wait_until(lambda: self.watcher.notices() >= before + 1,
                   what=f"{what} to go round the viewer chain")

    def block_file(self, data):
        """A file in the test's folder holding a clipboard block's bytes."""
        self._blocks = getattr(self, "_blocks", 0) + 1
        path = os.path.join(self.work, f"block-{self._blocks}.bin")
        with open(path, "wb") as f:
            f.write(data)
        return path

    def put(self, *formats, what="the copy"):
        """Copies raw blocks, (format name, bytes) pairs, in one change from a
        Windows program (the driver), and waits until the program has handled it."""
        pairs = [(fmt, self.block_file(data)) for fmt, data in formats]
        self.change(lambda: self.driver.clip_set(*pairs), what)

    def copy(self, text):
        """An ordinary copy of a text in another Windows program."""
        self.change(lambda: self.driver.clip_set_text(text), f"the copy of {text!r}")

    def assert_alive(self, after=""):
        """The process runs and its main window answers a message (the driver
        sends it with a 5 s limit)."""
        app = self.app
        suffix = f" after {after}" if after else ""
        self.assertTrue(app.running(), f"the program ended{suffix} "
                                       f"(exit code {app.proc.returncode})")
        try:
            app.driver.send(app.hwnd, WM_NULL)
        except DriverError:
            self.fail(f"the main window did not answer within 5 s{suffix}")

    def look(self):
        """What the window shows of the store: the row captions, the picture
        slots whose buttons are shown with their thumbnails' colours (a slot
        showing only some of its buttons reads "partly shown"), whether
        "Empty All" is enabled, and how many message boxes are open."""
        app = self.app
        pictures = {}
        for n in range(1, 6):
            shown = [app.visible(f, n) for f in ("sav", "dpic", "pv")]
            if all(shown):
                pictures[n] = self.thumbnail_colour(n)
            elif any(shown):
                pictures[n] = "partly shown"
        return {
            "rows": app.captions(),
            "pictures": pictures,
            "empty_all": app.enabled("EmptyAll"),
            "message_boxes": len(app.message_boxes()),
        }

    def thumbnail_colour(self, n):
        left, top, right, bottom = self.driver.rect(self.app.control("simg", n))
        return self.driver.pixel((left + right) // 2, (top + bottom) // 2)

    def wait_look(self, expected, what="the store"):
        """Waits until look() gives `expected` (for changes still under way)."""
        seen = {}

        def matches():
            seen["now"] = self.look()
            return seen["now"] == expected

        wait_until(matches, what=lambda: f"{what} to read {expected} (it reads {seen.get('now')})")

    def memory(self):
        """The program's working set in bytes, by GetProcessMemoryInfo (Wine
        reports no private bytes for another process)."""
        return int(self.hostile("memory", self.app.win_pid)[1])


def hex_colour(rgb):
    return "".join(f"{c:02X}" for c in rgb)


def main():
    global HOSTILE_EXE
    argv = sys.argv[1:]
    if "--hostile" not in argv or argv.index("--hostile") + 1 >= len(argv):
        sys.exit("usage: test_<group>.py --hostile pwhostile.exe --exe ... --driver ... "
                 "[--work ...]")
    at = argv.index("--hostile")
    HOSTILE_EXE = argv[at + 1]
    sys.argv = [sys.argv[0]] + argv[:at] + argv[at + 2:]
    harness.main()
