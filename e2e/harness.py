"""End-to-end harness: the real pastewright.exe under Wine on a virtual X display.

A test is a user session. It copies texts and pictures on the X11 side (xclip),
looks at the program's windows and presses its controls through pwdriver (a
Windows-side helper that answers one request line with one reply line), and
reads back the clipboard. Every wait polls a condition with a bounded timeout,
and every process a test starts is stopped by its pid when the test ends.

The environment comes from e2e/wine_env.sh (./dev test sources it): DISPLAY,
WINEPREFIX and PW_WINE.
"""

import argparse
import ctypes
import ctypes.util
import os
import selectors
import shutil
import signal
import subprocess
import sys
import time
import unittest

TITLE = "Pastewright V2.6.1"
APP_TITLE = "Pastewright"
MSGBOX_CLASS = "#32770"
MSGBOX_TEXT_ID = 65535
IDOK = 1
BM_CLICK = 0x00F5
NEUTRAL_TARGET = "application/x-neutral"
WINE_CLIPBOARD_MANAGER = "__wine_clipboard_manager"
MANAGER_TIMEOUT_MS = 5000
NEUTRAL_ATTEMPTS = 5

DEFAULT_TIMEOUT = 10.0
POLL_INTERVAL = 0.02

# Set from the command line by main().
CONFIG = argparse.Namespace(exe=None, driver=None, work=None)


def _trace(message):
    """Timing notes for chasing slow steps: set PW_E2E_TRACE=1 to see them."""
    if os.environ.get("PW_E2E_TRACE"):
        print(f"[{time.monotonic():.3f}] {message}", file=sys.stderr, flush=True)


class DriverError(Exception):
    pass


class WineClipboardFault(AssertionError):
    """Wine's own clipboard manager stopped working: the session is retried once."""


class _RetryOnWineFault:
    """A test result that swallows a WineClipboardFault (remembering it) and
    passes everything else on."""

    def __init__(self, result):
        self._result = result
        self.fault = None

    def __getattr__(self, name):
        return getattr(self._result, name)

    def _take(self, report, test, err):
        if err is not None and issubclass(err[0], WineClipboardFault):
            self.fault = err[1]
        else:
            report(test, err)

    def addError(self, test, err):
        self._take(self._result.addError, test, err)

    def addFailure(self, test, err):
        self._take(self._result.addFailure, test, err)


def wait_until(condition, timeout=DEFAULT_TIMEOUT, what=None):
    """Polls condition() until it returns a true value, which is returned.

    Raises AssertionError naming `what` (a text, or a function giving one)
    when the timeout passes first."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() >= deadline:
            if callable(what):
                what = what()
            raise AssertionError(f"timed out after {timeout:g} s waiting for {what or condition}")
        time.sleep(POLL_INTERVAL)


def windows_path(path):
    """A Linux path as the Wine prefix's Z: drive shows it."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def _escape(field):
    return (str(field).replace("\\", "\\\\").replace("\t", "\\t").replace("\n", "\\n")
            .replace("\r", "\\r"))


def _unescape(field):
    out, i = [], 0
    while i < len(field):
        c = field[i]
        if c == "\\" and i + 1 < len(field):
            i += 1
            c = {"t": "\t", "n": "\n", "r": "\r"}.get(field[i], field[i])
        out.append(c)
        i += 1
    return "".join(out)


def _stop_process(proc, grace=5.0):
    """Waits for a process we started to end; kills it (by its pid) when it does not."""
    if proc.poll() is not None:
        return
    try:
        proc.wait(timeout=grace)
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.wait(timeout=grace)


class Driver:
    """One long-lived pwdriver process."""

    REPLY_TIMEOUT = 20.0

    def __init__(self, wine, exe, cwd, log_path):
        self.log_path = log_path
        self._log = open(log_path, "ab")
        self.proc = subprocess.Popen([wine, exe], cwd=cwd, stdin=subprocess.PIPE,
                                     stdout=subprocess.PIPE, stderr=self._log)
        self._buffer = b""
        self._selector = selectors.DefaultSelector()
        self._selector.register(self.proc.stdout, selectors.EVENT_READ)
        try:
            self.call("ping")
        except DriverError:
            self.quit()
            with open(log_path, "rb") as f:
                log = f.read()[-2000:].decode("utf-8", "replace")
            raise DriverError(f"pwdriver did not start (exit code {self.proc.returncode}): {log}")
        self._ids = {}
        self.agent = 0  # the driver's own window, once it has joined the viewer chain

    def call(self, command, *args):
        line = "\t".join(_escape(f) for f in (command, *args)) + "\n"
        self.proc.stdin.write(line.encode("utf-8"))
        self.proc.stdin.flush()
        reply = self._read_line(f"{command} {' '.join(map(str, args))}")
        fields = [_unescape(f) for f in reply.split("\t")]
        if fields[0] != "ok":
            raise DriverError(f"{command} {args}: {' '.join(fields[1:])}")
        return fields[1:]

    def _read_line(self, what):
        deadline = time.monotonic() + self.REPLY_TIMEOUT
        while b"\n" not in self._buffer:
            left = deadline - time.monotonic()
            if left <= 0 or not self._selector.select(timeout=left):
                raise DriverError(f"pwdriver did not answer {what!r}")
            chunk = os.read(self.proc.stdout.fileno(), 65536)
            if not chunk:
                raise DriverError(f"pwdriver ended while answering {what!r}")
            self._buffer += chunk
        line, self._buffer = self._buffer.split(b"\n", 1)
        return line.decode("utf-8")

    def quit(self):
        if self._log.closed:
            return
        if self.proc.poll() is None:
            try:
                self.call("quit")
            except (DriverError, OSError):
                pass
        try:
            self.proc.stdin.close()
        except OSError:
            pass
        _stop_process(self.proc)
        self._selector.close()
        self.proc.stdout.close()
        self._log.close()

    # --- windows ---------------------------------------------------------
    def control_id(self, family, index=0):
        key = (family, index)
        if key not in self._ids:
            self._ids[key] = int(self.call("id", family, index)[0])
        return self._ids[key]

    def find(self, title="*", cls="*", pid=0, timeout_ms=0):
        return int(self.call("find", title, cls, pid, timeout_ms)[0])

    def find_all(self, title="*", cls="*", pid=0):
        return [int(h) for h in self.call("find_all", title, cls, pid)]

    def child(self, parent, control_id):
        return int(self.call("child", parent, control_id)[0])

    def children(self, parent):
        out = []
        for entry in self.call("children", parent):
            hwnd, cid, cls = entry.split(" ", 2)
            out.append((int(hwnd), int(cid), cls))
        return out

    def exists(self, hwnd):
        return self.call("exists", hwnd)[0] == "1"

    def caption(self, hwnd):
        return self.call("caption", hwnd)[0]

    def gettext(self, hwnd):
        return self.call("gettext", hwnd)[0]

    def visible(self, hwnd):
        """Whether the window is on screen: it and all its parents are visible."""
        return self.call("visible", hwnd)[0] == "1"

    def shown(self, hwnd):
        """The window's own visible flag, whether or not its parent is visible."""
        return self.call("shown", hwnd)[0] == "1"

    def enabled(self, hwnd):
        return self.call("enabled", hwnd)[0] == "1"

    def rect(self, hwnd):
        return tuple(int(v) for v in self.call("rect", hwnd))

    def client_rect(self, hwnd):
        return tuple(int(v) for v in self.call("client", hwnd))

    def topmost(self, hwnd):
        return self.call("topmost", hwnd)[0] == "1"

    def pid(self, hwnd):
        return int(self.call("pid", hwnd)[0])

    def press(self, hwnd):
        """Clicks a control; returns at once (the click may open a modal box)."""
        self.call("press", hwnd)

    def press_and_wait(self, hwnd, timeout_ms=5000):
        """Clicks a control and returns once its handler has returned. Only
        for clicks that open no modal box."""
        self.send(hwnd, BM_CLICK, timeout_ms=timeout_ms)

    def lclick(self, hwnd, x=None, y=None):
        self.call("lclick", hwnd, *(() if x is None else (x, y)))

    def command(self, control):
        self.call("command", control)

    def post(self, hwnd, msg, wparam=0, lparam=0):
        self.call("post", hwnd, msg, wparam, lparam)

    def close(self, hwnd):
        self.call("close", hwnd)

    def send(self, hwnd, msg, wparam=0, lparam=0, timeout_ms=5000):
        """Sends a message and returns its result once the window has handled it."""
        return int(self.call("send", hwnd, msg, wparam, lparam, timeout_ms)[0])

    def message_windows(self, cls=""):
        return [int(entry.split(" ", 1)[0]) for entry in self.call("message_windows", cls)]

    # --- screen ----------------------------------------------------------
    def screen(self):
        w, h, dx, dy = (int(v) for v in self.call("screen"))
        return w, h, dx, dy

    def pixel(self, x, y):
        return self.call("pixel", x, y)[0]

    def capture(self, rect, path):
        left, top, right, bottom = rect
        self.call("capture", left, top, right - left, bottom - top, windows_path(path))

    # --- clipboard -------------------------------------------------------
    def clip_text(self):
        """The clipboard's CF_UNICODETEXT, or None when it holds none."""
        has, text = self.call("clip_text")
        return text if has == "1" else None

    def clip_set_text(self, text):
        self.call("clip_set_text", text)

    def clip_clear(self):
        self.call("clip_clear")

    def clip_formats(self):
        return self.call("clip_formats")

    def clip_set(self, *format_file_pairs):
        args = []
        for fmt, path in format_file_pairs:
            args += [fmt, windows_path(path)]
        self.call("clip_set", *args)

    def clip_dib(self, path):
        """The clipboard's CF_DIB as a .bmp file; returns (width, height, bits)."""
        return tuple(int(v) for v in self.call("clip_dib", windows_path(path)))

    # --- the clipboard viewer chain ---------------------------------------
    def viewer_join(self):
        self.agent = int(self.call("viewer_join")[0])
        return self.agent

    def settle(self):
        """Returns once the driver's own window has handled what was sent to it."""
        if self.agent:
            self.send(self.agent, 0)

    def viewer_leave(self):
        self.call("viewer_leave")

    def viewer_state(self):
        joined, notices, joining, nxt = self.call("viewer_state")
        return {"joined": joined == "1", "notices": int(notices), "joining": int(joining),
                "next": int(nxt)}

    def notices(self):
        return self.viewer_state()["notices"]


class X11Clipboard:
    """The X display's clipboard, written and read with xclip.

    A writer xclip stays in the foreground (so its pid is ours to stop) until
    another client takes the selection."""

    def __init__(self, work):
        self.work = work
        self.procs = []
        self._n = 0
        self._xlib = _Xlib()

    def owner(self):
        """The X window that owns the clipboard selection now (0: none)."""
        return self._xlib.clipboard_owner()

    def _hold(self, path, target):
        cmd = ["xclip", "-quiet", "-selection", "clipboard", "-i"]
        if target:
            cmd += ["-t", target]
        proc = subprocess.Popen(cmd + [path], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)
        self.procs.append(proc)
        return proc

    def hold_text(self, text, target=None):
        self._n += 1
        path = os.path.join(self.work, f"x11-clip-{self._n}.txt")
        with open(path, "wb") as f:
            f.write(text.encode("utf-8"))
        return self._hold(path, target)

    def hold_file(self, path, target):
        return self._hold(path, target)

    def read(self, target=None, timeout=5.0):
        cmd = ["xclip", "-o", "-selection", "clipboard"]
        if target:
            cmd += ["-t", target]
        result = subprocess.run(cmd, stdin=subprocess.DEVNULL, capture_output=True, timeout=timeout)
        if result.returncode != 0:
            return None
        return result.stdout

    def stop(self):
        for proc in self.procs:
            if proc.poll() is None:
                proc.terminate()
            _stop_process(proc)
        self.procs = []
        self._xlib.close()


class _Xlib:
    """Just enough of libX11 (through ctypes) to ask who owns the clipboard."""

    def __init__(self):
        path = ctypes.util.find_library("X11") or "libX11.so.6"
        self._lib = lib = ctypes.CDLL(path)
        lib.XOpenDisplay.restype = ctypes.c_void_p
        lib.XOpenDisplay.argtypes = [ctypes.c_char_p]
        lib.XInternAtom.restype = ctypes.c_ulong
        lib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        lib.XGetSelectionOwner.restype = ctypes.c_ulong
        lib.XGetSelectionOwner.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        lib.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self._display = lib.XOpenDisplay(None)
        if not self._display:
            raise RuntimeError(f"cannot open the X display {os.environ.get('DISPLAY')!r}")
        self._clipboard = lib.XInternAtom(self._display, b"CLIPBOARD", 0)

    def clipboard_owner(self):
        return self._lib.XGetSelectionOwner(self._display, self._clipboard)

    def close(self):
        if self._display:
            self._lib.XCloseDisplay(self._display)
            self._display = None


class App:
    """A running pastewright.exe and its main window."""

    def __init__(self, driver, proc, hwnd):
        self.driver = driver
        self.proc = proc
        self.hwnd = hwnd
        self.win_pid = driver.pid(hwnd)
        self._controls = {}

    def control(self, family, index=0):
        key = (family, index)
        if key not in self._controls:
            hwnd = self.driver.child(self.hwnd, self.driver.control_id(family, index))
            if not hwnd:
                raise AssertionError(f"the main window has no control {family}{index}")
            self._controls[key] = hwnd
        return self._controls[key]

    # Rows count from 1 as the user sees them; row r is ClipShow(r - 1).
    def row(self, r):
        return self.control("ClipShow", r - 1)

    def row_caption(self, r):
        return self.driver.caption(self.row(r))

    def visible_rows(self):
        """The rows that are shown (also while the window itself is hidden)."""
        return [r for r in range(1, 11) if self.driver.shown(self.row(r))]

    def captions(self):
        """Captions of the visible rows, top to bottom."""
        return [self.row_caption(r) for r in self.visible_rows()]

    def wait_captions(self, expected):
        """Waits until the visible rows read `expected`, top to bottom."""
        wait_until(lambda: self.captions() == expected,
                   what=f"the rows to read {expected} (they read {self.captions()})")

    def visible(self, family, index=0):
        """Whether the control is shown (its own flag; the window may be hidden)."""
        return self.driver.shown(self.control(family, index))

    def enabled(self, family, index=0):
        return self.driver.enabled(self.control(family, index))

    def caption(self, family, index=0):
        return self.driver.caption(self.control(family, index))

    def message_box(self, timeout_ms=0):
        """The program's message box, or 0 when none is open."""
        return self.driver.find(APP_TITLE, MSGBOX_CLASS, self.win_pid, timeout_ms)

    def message_boxes(self):
        return self.driver.find_all(APP_TITLE, MSGBOX_CLASS, self.win_pid)

    def message_text(self, box):
        """The box's text; "" while the box is still being built."""
        static = self.driver.child(box, MSGBOX_TEXT_ID)
        return self.driver.caption(static) if static else ""

    def wait_message_box(self):
        """Waits for the program's message box to be on screen with its text;
        returns the box and the text."""
        box = wait_until(self.message_box, what="the message box")
        text = wait_until(lambda: self.driver.visible(box) and self.message_text(box),
                          what="the message box to show its text")
        return box, text

    def answer_ok(self, box):
        self.driver.press(self.driver.child(box, IDOK))
        wait_until(lambda: not self.driver.exists(box), what="the message box to close")

    def running(self):
        return self.proc.poll() is None

    def close(self, timeout=DEFAULT_TIMEOUT):
        """Closes the main window as the user would and waits for the process to end."""
        if self.running() and self.driver.exists(self.hwnd):
            self.driver.close(self.hwnd)
        wait_until(lambda: not self.running(), timeout, "the program to end")


class E2ETest(unittest.TestCase):
    """One user session per test: its own working folder, driver and program."""

    def run(self, result=None):
        if result is None:
            return super().run(result)
        first = _RetryOnWineFault(result)
        super().run(first)
        if first.fault is None:
            return result
        print(f"\nwarning: {self.id()}: {first.fault}\nwarning: running the session again",
              file=sys.stderr, flush=True)
        return super().run(result)

    def setUp(self):
        for var in ("DISPLAY", "WINEPREFIX", "PW_WINE"):
            if not os.environ.get(var):
                self.fail(f"{var} is not set: run the end-to-end tests through ./dev test "
                          "(or source e2e/wine_env.sh and call wine_env_start)")
        self.wine = os.environ["PW_WINE"]
        self.work = os.path.join(CONFIG.work, self.id().split(".", 1)[-1])
        shutil.rmtree(self.work, ignore_errors=True)
        os.makedirs(self.work)
        self.x11 = X11Clipboard(self.work)
        self.addCleanup(self.x11.stop)
        self.apps = []
        self.drivers = []
        self.driver = self.extra_driver("main")
        self.addCleanup(self._release_selection)
        self.addCleanup(self._stop_apps)
        # The driver watches the clipboard as a viewer that joined before the
        # program, as another clipboard tool would.
        self.driver.viewer_join()
        # Every session starts with an empty clipboard.
        self.driver.clip_clear()

    def extra_driver(self, name):
        """A driver process, stopped when the test ends."""
        log = os.path.join(self.work, f"pwdriver-{name}.log")
        try:
            driver = Driver(self.wine, CONFIG.driver, self.work, log)
        except DriverError as e:
            # Seen once in hundreds of starts on a loaded machine: the process
            # ends before it answers. One more try, and the first log is kept.
            print(f"warning: {e}; starting it again", file=sys.stderr)
            driver = Driver(self.wine, CONFIG.driver, self.work, log)
        self.addCleanup(driver.quit)
        self.drivers.append(driver)
        return driver

    def _release_selection(self):
        """Lets Wine take the X11 selection back from our xclips, so none is
        killed while it owns the selection."""
        if all(proc.poll() is not None for proc in self.x11.procs):
            return
        try:
            self.driver.clip_clear()
            wait_until(lambda: all(proc.poll() is not None for proc in self.x11.procs), 5.0,
                       "Wine to take the selection from xclip")
        except (AssertionError, DriverError):
            pass  # x11.stop() ends them

    def _stop_apps(self):
        for app in self.apps:
            if app.running():
                try:
                    app.close(timeout=5.0)
                except (AssertionError, DriverError, OSError):
                    pass
            if app.running():
                app.proc.kill()
            _stop_process(app.proc)
            app.log.close()

    # --- the program -----------------------------------------------------
    def start_app(self):
        """Starts pastewright.exe in this test's folder and waits for its main window."""
        assert not self.driver.find(TITLE), "a Pastewright window is already open"
        log = open(os.path.join(self.work, "pastewright.log"), "ab")
        proc = subprocess.Popen([self.wine, CONFIG.exe], cwd=self.work, stdin=subprocess.DEVNULL,
                                stdout=log, stderr=log)
        hwnd = wait_until(lambda: proc.poll() is None and self.driver.find(TITLE)
                          or self._exited(proc), what="the main window")
        app = App(self.driver, proc, hwnd)
        app.log = log
        self.apps.append(app)
        wait_until(lambda: self.driver.visible(hwnd), what="the main window to show")
        return app

    @staticmethod
    def _exited(proc):
        if proc.poll() is not None:
            raise AssertionError(f"pastewright.exe ended at start-up with code {proc.returncode}")
        return 0

    # --- the real mouse ---------------------------------------------------
    def click_at(self, x, y, button=1):
        """Moves the X pointer to a screen point and clicks a button there."""
        subprocess.run(["xdotool", "mousemove", str(x), str(y), "click", str(button)],
                       check=True, timeout=10, stdin=subprocess.DEVNULL)

    def click_window(self, hwnd, button=1):
        left, top, right, bottom = self.driver.rect(hwnd)
        self.click_at((left + right) // 2, (top + bottom) // 2, button)

    # --- copying on the X11 side ----------------------------------------
    def _wait_taken(self, proc, before):
        """Waits until proc (an xclip) owns the selection; False if it ended first."""

        def taken():
            if proc.poll() is not None:
                return "ended"
            return self.x11.owner() not in (0, before) and "owner"

        result = wait_until(taken, what="xclip to take the selection")
        _trace(f"xclip {proc.pid} {'owns the selection' if result == 'owner' else 'ended'}")
        return result == "owner"

    def _neutral_selection(self):
        """Hands the X11 selection to a neutral xclip once nothing Windows-side
        is pending at Wine, and waits until Wine has imported it and every
        program has handled the notices."""
        for _ in range(NEUTRAL_ATTEMPTS):
            # A Windows program's last write makes Wine take the selection, a
            # little later: that must not happen after xclip has taken it.
            self._sync_wine_clipboard()
            before = self.x11.owner()
            proc = self.x11.hold_text("neutral", NEUTRAL_TARGET)
            if not self._wait_taken(proc, before):
                continue
            self._sync_wine_clipboard()
            self.settle()
            if proc.poll() is None:
                return
        raise AssertionError("the X11 selection could not be handed to a neutral owner")

    def _take_selection(self, hold):
        """Lets hold() take the selection from the neutral owner (Wine imports
        that once) and waits until the programs have handled the notice."""
        before = self.x11.owner()
        proc = hold()
        if not self._wait_taken(proc, before):
            raise AssertionError(f"xclip ended with code {proc.returncode} before it took the selection")
        self._sync_wine_clipboard()
        self.settle()
        return proc

    def _sync_wine_clipboard(self):
        """Returns once Wine's clipboard manager has handled every clipboard
        update and X event that reached it before the call.

        The manager handles X events (importing a new selection) before each
        message it takes, and posted messages (Windows-side updates, after
        which it takes the selection) in order. A sent message is answered
        before posted ones, so a second one is answered only after whatever
        was posted before the first one."""
        manager = self._wine_clipboard_manager()
        started = time.monotonic()
        try:
            self.driver.send(manager, 0, timeout_ms=MANAGER_TIMEOUT_MS)
            self.driver.send(manager, 0, timeout_ms=MANAGER_TIMEOUT_MS)
        except DriverError as e:
            raise WineClipboardFault(
                "Wine's clipboard manager stopped answering messages (a fault of Wine 8 seen "
                f"about once in twenty runs of the suite on a busy machine): {e}") from None
        _trace(f"Wine's clipboard manager answered in {time.monotonic() - started:.3f} s")

    def _wine_clipboard_manager(self):
        if not getattr(self, "_manager", 0):
            found = self.driver.message_windows(WINE_CLIPBOARD_MANAGER)
            if not found:
                raise AssertionError("Wine's clipboard manager window was not found")
            self._manager = found[0]
        return self._manager

    def settle(self):
        """Returns once every running program and every driver viewer has
        handled the messages sent to it before."""
        for app in self.apps:
            if app.running() and self.driver.exists(app.hwnd):
                self.driver.gettext(app.hwnd)
        for driver in self.drivers:
            driver.settle()

    def _x11_copy(self, hold, watchers):
        """Copies on the X11 side; returns the notices each watcher driver got.

        When a Windows program wrote the clipboard last, Wine 8 imports the next
        X11 selection twice (sometimes once). A neutral selection that nobody
        reads takes that first, so the copy itself is imported exactly once."""
        self._neutral_selection()
        before = [w.notices() for w in watchers]
        self._take_selection(hold)
        return [w.notices() - b for w, b in zip(watchers, before)]

    def copy_text(self, text, *watchers):
        """Copies a text in an X11 program. Returns the change notices each of
        the given drivers' viewers received for it."""
        return self._x11_copy(lambda: self.x11.hold_text(text), watchers)

    def copy_picture(self, path, mime, *watchers):
        """Copies a picture file (image/bmp or image/png) in an X11 program."""
        return self._x11_copy(lambda: self.x11.hold_file(path, mime), watchers)



def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True, help="pastewright.exe")
    parser.add_argument("--driver", required=True, help="pwdriver.exe")
    parser.add_argument("--work", default=os.path.join(os.getcwd(), "work"),
                        help="folder for the tests' working folders")
    args, rest = parser.parse_known_args()
    CONFIG.exe, CONFIG.driver, CONFIG.work = args.exe, args.driver, args.work
    os.makedirs(CONFIG.work, exist_ok=True)
    unittest.main(module="__main__", argv=[sys.argv[0], "-v"] + rest)
