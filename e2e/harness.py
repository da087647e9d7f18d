"""Sessions with the real pastewright.exe under Wine on a virtual X display, as a user has them.
pwdriver is the hands on the Windows side and plays the Windows programs around ours. Inside
tools/wine_env.sh's environment: python3 e2e/test_<group>.py --exe X --driver Y [SESSION...]"""

import argparse
import contextlib
import os
import pathlib
import re
import select
import shutil
import signal
import subprocess
import sys
import time
import traceback

from Xlib import display

WM_NULL, WM_CLOSE, BM_CLICK, CF_UNICODETEXT, CF_DIB = 0x0000, 0x0010, 0x00F5, 13, 8
READY, SAVED = "Content Ready Paste OK", "File saved Pastewright run catalog"
CONFIG = argparse.Namespace()
SESSIONS = []


class WineFault(Exception):
    """Wine 8's own clipboard manager stopped answering, a rare fault of Wine's: run once more."""


def wait(condition, what, timeout=10.0):  # polls condition() until it gives a true value: that
    deadline = time.monotonic() + timeout
    while not (value := condition()):
        if time.monotonic() > deadline:
            raise AssertionError(f"timed out after {timeout:g} s waiting for "
                                 + (what() if callable(what) else what))
        time.sleep(0.02)
    return value


def run(*cmd, check=True, data=None):
    return subprocess.run(cmd, input=data, capture_output=True, timeout=60, check=check).stdout


def stop(proc):  # a process we started, by its pid, if it has not ended within 5 s
    with contextlib.suppress(subprocess.TimeoutExpired):
        return proc.wait(timeout=5)
    proc.kill()
    proc.wait()


def picture(path, width, height, rgb, *draw):  # one colour (and ImageMagick's `draw`)
    kind = {"bmp": "BMP3", "png": "PNG24"}[path[-3:]]
    run("convert", "-size", f"{width}x{height}", "xc:#%02x%02x%02x" % rgb, *draw, f"{kind}:{path}")
    return path


class Image:  # the 8-bit RGB pixels of a picture file, of a picture's bytes or of the X screen
    def __init__(self, ppm):
        m = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", ppm)
        self.width, self.height, self.data = int(m[1]), int(m[2]), ppm[m.end():]

    @classmethod
    def of(cls, source):  # a file's name, or a picture's bytes
        data = source if isinstance(source, bytes) else None
        return cls(run("convert", "-" if data else source, "-depth", "8", "ppm:-", data=data))

    @classmethod
    def screen(cls):
        return cls(run("import", "-window", "root", "-depth", "8", "ppm:-"))

    def pixel(self, x, y):
        return tuple(self.data[(y * self.width + x) * 3:(y * self.width + x) * 3 + 3])

    def crop(self, left=0, top=0, right=None, bottom=None):
        right, bottom, w = right or self.width, bottom or self.height, self.width * 3
        rows = (self.data[y * w + left * 3:y * w + right * 3] for y in range(top, bottom))
        return Image(b"P6 %d %d 255\n" % (right - left, bottom - top) + b"".join(rows))

    def colours(self):
        return {tuple(self.data[i:i + 3]) for i in range(0, len(self.data), 3)}

    def __eq__(self, other):
        return (self.width, self.height, self.data) == (other.width, other.height, other.data)


def hexed(value):  # a field for the driver: a text (as UTF-16) or bytes, in hex
    return (value.encode("utf-16-le") if isinstance(value, str) else value).hex() or "-"


def unhexed(field):
    return "" if field == "-" else bytes.fromhex(field).decode("utf-16-le")


def utf16(text):  # as a Windows program puts it on the clipboard
    return CF_UNICODETEXT, text.encode("utf-16-le") + b"\0\0"


class Driver:  # a running pwdriver: one request line out, one reply line back
    def __init__(self, session, name):
        self.name = name
        self.proc = subprocess.Popen([session.wine, CONFIG.driver], cwd=session.work,
                                     stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     stderr=open(f"{session.work}/pwdriver-{name}.log", "ab"))

    def __call__(self, *fields):
        line = " ".join(map(str, fields))
        self.proc.stdin.write(line.encode() + b"\n")
        self.proc.stdin.flush()
        reply = select.select([self.proc.stdout], [], [], 30)[0] and self.proc.stdout.readline()
        assert reply, f"pwdriver {self.name} did not answer {line[:60]!r}"
        status, *out = reply.decode().split()
        assert status == "ok", f"pwdriver {self.name}: {' '.join(out)}"
        return out

    def find(self, cls, parent=0):  # top-level windows, message-only ones (parent -1) or a window's
        return [int(h) for h in self("find", parent, hexed(cls))]

    def child(self, parent, family, number=0):  # by the program's name for it
        return int((self("find", parent, family, number) + [0])[0])

    def info(self, hwnd):  # its state, or False when it is gone
        f = self("info", hwnd)
        return f[0] == "1" and dict(zip(("visible", "shown", "enabled", "topmost"), (v == "1" for v in f[1:5])),
                                    rect=tuple(map(int, f[5:9])), caption=unhexed(f[9]))

    def send(self, hwnd, msg, wparam=0, lparam=0, timeout_ms=5000):  # timeout 0: posted
        return int(self("send", hwnd, msg, wparam, lparam, timeout_ms)[0])

    def hang(self):  # stops its process: it takes no message until it quits
        os.kill(self.proc.pid, signal.SIGSTOP)

    def put(self, *blocks, hold_ms=0):  # (format, bytes)...: see Put in pwdriver.cpp
        return self("put", hold_ms, *(f"{hexed(str(f))} {hexed(d)}" for f, d in blocks))[0] == "1"

    def quit(self):  # at the end of its input
        with contextlib.suppress(OSError):  # it may have ended
            self.proc.stdin.close()
            os.kill(self.proc.pid, signal.SIGCONT)  # if it was made to hang
        stop(self.proc)


class Session:  # one user session: its own folder, drivers, X11 owners and the program
    def __init__(self, name):
        self.wine, self.work = os.environ["PW_WINE"], os.path.join(CONFIG.work, name)
        shutil.rmtree(self.work, ignore_errors=True)
        os.makedirs(self.work)
        self.procs, self.drivers, self.proc, self.hwnd = [], [], None, None

    def begin(self):
        self.driver = self.extra_driver("first")  # a viewer there before the program
        self.driver.put()
        w, h, dpi, tray, *classes = self.driver("host")
        self.screen_size, self.dpi, self.tray_message = (int(w), int(h)), int(dpi), int(tray)
        self.main_class, self.preview_class, self.about_class, self.overlay_class = map(unhexed, classes)

    def extra_driver(self, name):  # joined: it leads the viewer chain
        self.drivers.append(driver := Driver(self, name))
        driver.agent = int(driver("join")[0])
        return driver

    def close(self):
        if self.running() and self.driver.info(self.hwnd):
            self.driver.send(self.hwnd, WM_CLOSE, timeout_ms=0)
        if any(p.poll() is None for p in self.procs if hasattr(p, "x11_owner")):
            self.driver.put()  # Wine takes the selection back: the X11 owners end
        for proc in self.procs:
            stop(proc)
        for driver in reversed(self.drivers):
            driver.quit()

    def start(self, ahead=False):  # `ahead`: returns a Windows program joined after it
        self.proc = proc = subprocess.Popen([self.wine, CONFIG.exe], cwd=self.work,
                                            stderr=open(f"{self.work}/pastewright.log", "ab"))
        self.procs.append(proc)

        def shown():
            assert proc.poll() is None, f"the program ended at start-up ({proc.returncode})"
            return self.windows(self.main_class)
        self.hwnd = wait(shown, "the main window")[0]
        return ahead and self.extra_driver("ahead")

    def running(self):
        return self.proc is not None and self.proc.poll() is None

    def end(self):  # closes the main window as a user does
        self.driver.send(self.hwnd, WM_CLOSE, timeout_ms=0)
        wait(lambda: not self.running(), "the program to end")

    def control(self, family, number=0):
        hwnd = self.driver.child(self.hwnd, family, number)
        assert hwnd, f"no {family}{number}; the program " + ("runs" if self.running() else "has ended")
        return hwnd

    def focused_on(self, name):  # waits until the control of that name for screen readers has the focus
        wait(lambda: unhexed(self.driver("focus", self.hwnd)[0]) == name, f"the focus on {name!r}")

    def keys(self, *keys, focus=None):  # real key presses, to the window that has the focus; then
        run("xdotool", "key", "--delay", "20", *keys)  # waits for the focus on the control named `focus`
        if focus:
            self.focused_on(focus)

    def shown(self, family, number=0):  # its own flag (set in the tray too); not yet made: hidden
        hwnd = self.driver.child(self.hwnd, family, number)
        return bool(hwnd) and self.driver.info(hwnd)["shown"]

    def rows(self):  # the captions of the rows that show, top to bottom
        rows = [self.driver.info(h) for i in range(10) if (h := self.driver.child(self.hwnd, "ClipShow", i))]
        return [row["caption"] for row in rows if row["shown"]]

    def wait_rows(self, expected):
        wait(lambda: self.rows() == expected, lambda: f"the rows {expected} (not {self.rows()})")

    def slots(self):  # the colours of the thumbnails whose slots show their buttons
        screen, colours = Image.screen(), []
        for n in range(1, 6):
            if all(self.shown(family, n) for family in ("sav", "dpic", "pv")):
                left, top, right, bottom = self.driver.info(self.control("simg", n))["rect"]
                colours.append(screen.pixel((left + right) // 2, (top + bottom) // 2))
        return colours

    def windows(self, cls):  # the top-level windows of a class that show
        return [w for w in self.driver.find(cls) if (self.driver.info(w) or {}).get("visible")]

    def press(self, family, number=0, wait_done=False):  # wait_done: only if it opens no box
        self.driver.send(self.control(family, number), BM_CLICK, timeout_ms=20000 * wait_done)

    def answer(self, meanwhile=lambda: None):
        d = self.driver  # the program's message box: its text, then (after meanwhile()) OK
        box = wait(lambda: self.windows("#32770"), "a message box")[0]
        captions = lambda: "".join(d.info(h)["caption"] for h in d.find("Static", parent=box))  # noqa: E731
        text = wait(captions, "the box's text")
        meanwhile()
        d.send(d.find("Button", parent=box)[0], BM_CLICK, timeout_ms=0)
        wait(lambda: not d.info(box), "the message box to close")
        return text

    def file(self, name):
        return pathlib.Path(self.work, name).read_bytes()

    def saved_picture(self, slot):  # saved as .bmp, named after the second (and numbered within it)
        self.press("sav", slot)
        assert self.answer().startswith(SAVED)
        return Image.of(max(pathlib.Path(self.work).glob("*.bmp"), key=os.path.getmtime))

    def point(self, where, *buttons):  # the real pointer to a point or a rectangle's middle, and clicks
        x, y = where if len(where) == 2 else ((where[0] + where[2]) // 2, (where[1] + where[3]) // 2)
        run("xdotool", "mousemove", str(x), str(y), *(a for b in buttons for a in ("click", str(b))))

    def settle(self):  # once the program (an error unless it answers within 5 s) and the first viewer
        for hwnd in [self.hwnd] * bool(self.hwnd) + [self.driver.agent]:  # have handled all sent to them
            self.driver.send(hwnd, WM_NULL)

    def copy(self, text=None, file=None, mime=None, rich=None):
        """Copies a text (with `rich`, {target: content}: its formatted versions too), or a file as
        `mime`, in X11. After a Windows write Wine 8 imports the next one twice: a neutral one first."""
        served = [f"{mime}={file}"] if file else []
        for target, content in ({} if file else {"UTF8_STRING": text, **(rich or {})}).items():
            pathlib.Path(path := f"{self.work}/copy-{len(self.procs)}-{len(served)}").write_text(content)
            served.append(f"{target}={path}")
        pathlib.Path(neutral := f"{self.work}/neutral").write_text("neutral")
        for _ in range(5):  # a Windows write makes Wine take the selection, a little later
            self._sync_wine()
            if holder := self._own(f"application/x-neutral={neutral}"):
                self._sync_wine()
                if holder.poll() is None:
                    break
        assert holder and holder.poll() is None, "the selection could not be handed to a neutral owner"
        assert self._own(*served), "the X11 program ended before it took the selection"
        self._sync_wine()

    def _own(self, *served):  # x11_owner.py owning the selection: TARGET=FILE...
        owner = lambda: CONFIG.x11.get_selection_owner(CONFIG.x11.get_atom("CLIPBOARD"))  # noqa: E731
        before = owner()
        owner_py = os.path.join(os.path.dirname(__file__), "x11_owner.py")
        self.procs.append(proc := subprocess.Popen([sys.executable, owner_py, *served]))
        proc.x11_owner = True
        wait(lambda: proc.poll() is not None or owner() not in (0, before), "the X11 owner to take it")
        return proc.poll() is None and proc

    def _sync_wine(self):  # once Wine's clipboard manager, then each program, has handled all
        manager = self.driver.find("__wine_clipboard_manager", parent=-1)
        try:  # it takes X events before each message, and answers a second after all posted before the first
            for _ in range(2):
                self.driver.send(manager[0], WM_NULL)
        except AssertionError as e:
            raise WineFault(f"Wine's clipboard manager stopped answering: {e}") from None
        self.settle()

    def x11_paste(self, target="UTF8_STRING"):  # what an X11 program pastes, or False
        result = subprocess.run(["xclip", "-o", "-selection", "clipboard", "-t", target],
                                stdin=subprocess.DEVNULL, capture_output=True, timeout=10)
        return result.returncode == 0 and result.stdout


def session(fn):
    SESSIONS.append(fn)
    return fn


def outcome(fn):
    try:
        for again in (True, False):
            s = Session(fn.__name__)
            try:
                s.begin()
                fn(s)
                return f"PASS {fn.__name__}"
            except WineFault as e:
                if not again:
                    raise
                print(f"warning: {fn.__name__}: {e}; running the session again", flush=True)
            finally:
                s.close()
    except Exception:
        return f"FAIL {fn.__name__}\n{traceback.format_exc()}"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True)
    parser.add_argument("--driver", required=True)
    parser.add_argument("--work", default=os.path.join(os.getcwd(), "e2e-work"))
    parser.add_argument("names", nargs="*", help="only these sessions")
    parser.parse_args(namespace=CONFIG)
    CONFIG.x11 = display.Display()  # to ask who owns the clipboard
    chosen, passed = [fn for fn in SESSIONS if fn.__name__ in CONFIG.names or not CONFIG.names], 0
    for fn in chosen:
        print(result := outcome(fn), flush=True)
        passed += result.startswith("PASS")
    print(f"{passed} passed, {len(chosen) - passed} failed")
    sys.exit(0 if chosen and passed == len(chosen) else 1)
