#!/usr/bin/env python3
"""Pastewright's benchmarks under Wine on a virtual X display; writes docs/BENCHMARKS.md.

Run by `./dev bench` inside tools/wine_env.sh's environment (Xvfb, a private prefix, PW_WINE).
Every figure is taken against a floor measured in the same run, in pairs or taking turns, so
that both see the same load on this shared machine; the report gives medians and ratios.

  python3 bench/report.py [--out FILE] [--only SECTION...] [--runs N]
Sections: startup capture rapid memory rich idle snapshot huge_picture."""

import argparse
import contextlib
import datetime
import os
import pathlib
import platform
import re
import statistics
import subprocess
import sys
import threading
import time

ROOT = pathlib.Path(__file__).resolve().parent.parent
BUILD = ROOT / "build" / "mingw-x64"
EXE = BUILD / "src/platform/win32/pastewright.exe"
PWBENCH = BUILD / "bench/pwbench.exe"
PLAIN = BUILD / "bench/plain_window.exe"
WINE = os.environ.get("PW_WINE", "/usr/lib/wine/wine64")
WORK = ROOT / "build" / "bench-work"
KIB, MIB = 1 << 10, 1 << 20


def windows_path(path):
    return "Z:" + str(path).replace("/", "\\")


def median(values):
    values = [v for v in values if v is not None]
    return statistics.median(values) if values else float("nan")


class Line:  # a process that answers one line per request line
    def __init__(self, *cmd, **kw):
        kw.setdefault("stderr", subprocess.DEVNULL)
        self.proc = subprocess.Popen(cmd, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     text=True, bufsize=1, **kw)

    def read(self):
        line = self.proc.stdout.readline()
        assert line, f"{self.proc.args[1]} ended"
        return line.split()

    def __call__(self, *fields):
        self.proc.stdin.write(" ".join(map(str, fields)) + "\n")
        status, *out = self.read()
        assert status == "ok", f"pwbench {fields[0]}: {' '.join(out)}"
        return out

    def close(self):
        try:
            self.proc.stdin.close()
            self.proc.wait(timeout=10)
        except (OSError, subprocess.TimeoutExpired):
            self.proc.kill()
            self.proc.wait()


class MapWatch:  # the X server's word on when each program's top-level window is mapped
    def __init__(self):
        from Xlib import X, display
        self.display = display.Display()
        self.display.screen().root.change_attributes(event_mask=X.SubstructureNotifyMask)
        self.display.sync()
        self.maps, self.lock = [], threading.Condition()

        def listen():  # stamps each map as it comes, so the wait asks nothing of Wine
            while True:
                event = self.display.next_event()
                at = time.time_ns()
                if event.type != X.MapNotify:
                    continue
                with contextlib.suppress(Exception):
                    name = (event.window.get_wm_class() or ("",))[0].lower()
                    with self.lock:
                        self.maps.append((name, at))
                        self.lock.notify_all()

        threading.Thread(target=listen, daemon=True).start()

    def mapped(self, exe_name, after_ns, timeout):
        """Unix nanoseconds at which the first window of EXE_NAME (Wine names the X window's
        class after the exe) was mapped after AFTER_NS, or None."""
        def first():
            return next((at for name, at in self.maps if name == exe_name and at > after_ns), None)
        with self.lock:
            self.lock.wait_for(lambda: first() is not None, timeout)
            found, self.maps = first(), []
            return found


class Viewer(Line):  # the minimal viewer; what it saw, with its own times, as it logs them
    def __init__(self):
        super().__init__(WINE, str(PWBENCH), "viewer", cwd=WORK)
        self.text_hwnd = int(self.read()[1])
        self.saw = {}
        threading.Thread(target=self._log, daemon=True).start()

    def _log(self):
        for line in self.proc.stdout:
            if line.startswith("saw "):
                _, head, ns = line.split()
                self.saw.setdefault(head, int(ns))


class Program:  # pastewright.exe, started from Linux so that /proc shows its memory
    def __init__(self, agent):
        self.agent = agent
        agent("clear")  # it stores what the clipboard holds when it starts
        self.proc = subprocess.Popen([WINE, str(EXE)], cwd=WORK, stderr=subprocess.DEVNULL)
        self.hwnd = int(agent("main", 30000)[0])
        agent("settle", self.hwnd)

    def status(self, field):  # KiB
        with open(f"/proc/{self.proc.pid}/status") as f:
            return int(re.search(rf"^{field}:\s+(\d+) kB", f.read(), re.M)[1])

    def stop(self):  # as a user closes it: it leaves the chain and takes its tray icon away
        with contextlib.suppress(AssertionError):
            self.agent("close", self.hwnd)
        try:
            self.proc.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.proc.kill()  # our own child, by its pid
            self.proc.wait()


class Copier:  # copies made from X11, each by an xclip that owns the selection until the next
    def __init__(self):
        self.procs = []

    def copy(self, path, mime=None):
        """Starts an xclip on the file; returns the moment it owns the selection (it says so on
        stderr right after taking it), in Unix nanoseconds."""
        proc = subprocess.Popen(["xclip", "-quiet", "-selection", "clipboard", "-i", str(path)]
                                + ["-t", mime] * bool(mime),
                                stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                stderr=subprocess.PIPE)
        with realtime():
            proc.stderr.readline()
            now = time.time_ns()
        self.procs = [p for p in self.procs if p.poll() is None] + [proc]
        return now

    def close(self):
        for proc in self.procs:
            proc.kill()
            proc.wait()


@contextlib.contextmanager
def realtime():
    """This thread at a real-time priority for the block, where allowed: the moment an xclip
    says it owns the selection is then taken when it says so, not when the loaded machine next
    gets round to this process."""
    try:
        os.sched_setscheduler(0, os.SCHED_FIFO, os.sched_param(1))
    except OSError:
        yield
        return
    try:
        yield
    finally:
        os.sched_setscheduler(0, os.SCHED_OTHER, os.sched_param(0))


def text_file(name, size, marker):  # `size` ASCII characters starting with the 8-character marker
    path = WORK / name
    if not path.exists() or path.stat().st_size != size:
        path.write_bytes(b"x" * size)
    with open(path, "r+b") as f:
        f.write(marker.encode())
    return path


class Bench:
    def __init__(self, runs):
        WORK.mkdir(parents=True, exist_ok=True)
        self.runs, self.rows, self.raw, self.polls = runs, [], [], []
        self.agent = Line(WINE, str(PWBENCH), "agent", cwd=WORK)
        self.copier = Copier()

    def close(self):
        self.copier.close()
        self.agent.close()

    def row(self, figure, ours, floor, ratio, goal, met):
        verdict = "—" if met is None else "yes" if met else "**no**"
        self.rows.append((figure, ours, floor, ratio, goal, verdict))

    def log(self, text):
        print(text, flush=True)
        self.raw.append(text)

    # --- sections -------------------------------------------------------------------------

    def startup(self):
        """pwbench starts the program by CreateProcessW and notes the moment; the X server tells
        when the program's first window is mapped, that is, shows on the screen (report.py
        listens for it on its own connection, and pwbench sleeps meanwhile, so the wait asks
        nothing of Wine's window server); then pwbench closes the program as a user does, and
        the next start waits half a second for its teardown. The floor is plain_window.exe, a
        program that registers one class and opens one plain window of the same size. The two
        take turns, one round first not counted; the ratio is the median of each round's
        ratio."""
        times = {"program": [], "plain": []}
        self.agent("clear")  # the program reads what the clipboard holds when it starts
        screen = MapWatch()
        for run in range(self.runs + 1):
            for label, exe, cls in (("program", EXE, "PastewrightMain"),
                                    ("plain", PLAIN, "PwBenchPlainWindow")):
                start_ns = int(self.agent("launch", windows_path(exe), cls)[0])
                mapped_ns = screen.mapped(exe.name.lower(), start_ns, timeout=10)
                self.agent("finish", cls)
                time.sleep(0.5)  # the ended program's teardown (Wine's and the X server's) settles
                assert mapped_ns, f"{label} did not show its window"
                if run:
                    times[label].append((mapped_ns - start_ns) / 1e6)
            self.log(f"start-up round {run}: program {times['program'][-1] if run else '-'} ms,"
                     f" plain window {times['plain'][-1] if run else '-'} ms")
        ratios = [p / q for p, q in zip(times["program"], times["plain"])]
        r = median(ratios)
        fastest = min(times["program"]), min(times["plain"])
        self.row(f"Start-up to a visible main window (median of {self.runs})",
                 f"{median(times['program']):.1f} ms (fastest {fastest[0]:.1f} ms)",
                 f"{median(times['plain']):.1f} ms (plain window; fastest {fastest[1]:.1f} ms)",
                 f"{r:.2f}× (fastest against fastest {fastest[0] / fastest[1]:.2f}×)", "≤ 1.3×",
                 r <= 1.3)

    def _watch(self, program, viewer, timeout_ms, markers, copy):
        """Copies while pwbench watches; the times at the viewer and at the program. pwbench's
        threads run at a real-time priority where allowed: its polls then come on time however
        loaded the machine is, and each waits on the window server, so it takes little."""
        for task in pathlib.Path(f"/proc/{self.agent.proc.pid}/task").iterdir():
            with contextlib.suppress(OSError):
                os.sched_setscheduler(int(task.name), os.SCHED_FIFO, os.sched_param(1))
        self.agent.proc.stdin.write(" ".join(map(str, ["watch", program.hwnd, viewer.text_hwnd,
                                                       timeout_ms, *markers])) + "\n")
        assert self.agent.read() == ["ok", "watching"]
        starts = copy()
        status, polls, gap, *out = self.agent.read()
        assert status == "ok"
        self.polls.append((int(polls), float(gap)))
        return starts, {out[i]: tuple(map(int, out[i + 1:i + 4])) for i in range(0, len(out), 4)}

    def capture(self):
        """The minimal viewer (pwbench viewer) joins the clipboard viewer chain first and the
        program after it, so the program gets each notice, passes it on to the viewer, which
        reads, and then reads itself. The copies come from X11: an xclip takes the selection, and
        the clock starts when it says it has (its stderr, read at a real-time priority). Both
        programs show what they stored as a window's text (the program on its newest row's
        button, the viewer on a child window), and pwbench polls both by the same calls
        (GetWindowTextW from another process, answered by the window server without running
        either program), every millisecond at a real-time priority, timestamping each sighting
        with the same clock. The ratio is the median of the paired ratios program ÷ viewer. The
        store is full first (ten 1 KiB texts), as it mostly is: every new text moves the rows.
        Also shown: when the program's newest row has nothing left to paint (GetUpdateRect), and
        the viewer's own log of the moment it stored, which bounds the polls' lag."""
        viewer = Viewer()
        program = Program(self.agent)
        sizes = ((1 * KIB, "1 KiB", self.runs), (1 * MIB, "1 MiB", self.runs),
                 (10 * MIB, "10 MiB", max(self.runs * 2 // 3, 3)))
        try:
            for n, (size, label, runs) in enumerate([(KIB, "fill", 10)] + list(sizes)):
                got = []
                for run in range(runs + 1):
                    marker = f"C{n}{run:06d}"  # 8 characters: the whole of a row's caption
                    path = text_file(f"capture-{size}.txt", size, marker)
                    t0, seen = self._watch(program, viewer, 60000, [marker],
                                           lambda: self.copier.copy(path))
                    ms = [(t - t0) / 1e6 for t in seen[marker] + (viewer.saw.get(marker, t0),)]
                    v, p, painted, logged = ms
                    self.log(f"capture {label} {run}: viewer {v:.1f} ms (its log {logged:.1f}), "
                             f"program {p:.1f} ms (painted {painted:.1f}), ratio {p / v:.2f}; "
                             f"longest gap between polls {self.polls[-1][1]:.1f} ms"
                             + (" (warm-up)" if run == 0 else ""))
                    assert min(seen[marker]) > 0, "a copy was not seen"
                    if run and label != "fill":
                        got.append(ms)
                    self.agent("settle", program.hwnd)
                    time.sleep(0.3 if size > MIB else 0.1)
                if label == "fill":
                    continue
                col = lambda i: median(m[i] for m in got)  # noqa: E731
                r, rp = median(m[1] / m[0] for m in got), median(m[2] / m[0] for m in got)
                self.row(f"Capture latency, {label} text copied in X11 (median of {runs})",
                         f"{col(1):.1f} ms; row painted {col(2):.1f} ms",
                         f"{col(0):.1f} ms (minimal viewer behind it; its own log {col(3):.1f} ms)",
                         f"{r:.2f}×; painted {rp:.2f}×", "≤ 1.3×", r <= 1.3)
        finally:
            program.stop()
            viewer.close()

    def rapid(self):
        """Ten copies a fixed time apart (each its own xclip), ten rounds, with the minimal viewer
        behind the program as above: the copies the viewer read (its log) against the copies the
        program stored (seen on its rows by the polls, and on all rows after each round). Texts
        of 1 KiB, and of 1 MiB, whose reading takes about as long as the gap."""
        viewer = Viewer()
        program = Program(self.agent)
        try:
            for size, label, gap_ms in ((KIB, "1 KiB", 20), (KIB, "1 KiB", 50),
                                        (MIB, "1 MiB", 20), (MIB, "1 MiB", 50)):
                saw = stored = kept = 0
                for rnd in range(10):
                    markers = [f"Q{size // MIB}{gap_ms:02d}{rnd}{k:03d}" for k in range(10)]
                    paths = [text_file(f"rapid-{size}-{k}.txt", size, m)
                             for k, m in enumerate(markers)]

                    def copies():
                        starts, at = [], time.monotonic()
                        for path in paths:
                            time.sleep(max(0.0, at - time.monotonic()))
                            starts.append(self.copier.copy(path))
                            at += gap_ms / 1000
                        return starts
                    starts, seen = self._watch(program, viewer, 10 * gap_ms + 5000, markers,
                                               copies)
                    self.agent("settle", program.hwnd)
                    time.sleep(0.3)
                    by_viewer = {m for m in markers if m in viewer.saw}
                    by_program = {m for m in markers if seen[m][1] > 0}
                    gaps = [(b - a) / 1e6 for a, b in zip(starts, starts[1:])]
                    self.log(f"rapid {label} {gap_ms} ms, round {rnd}: copies {median(gaps):.1f} ms "
                             f"apart (median); viewer saw {len(by_viewer)}, program stored "
                             f"{len(by_program)}, missed {sorted(by_viewer - by_program) or '-'}")
                    saw, stored = saw + len(by_viewer), stored + len(by_program)
                    kept += len(by_viewer & by_program)
                self.row(f"Rapid copies of {label} texts {gap_ms} ms apart, 10 rounds of 10",
                         f"{stored} stored, {kept} of them seen by the viewer",
                         f"{saw} seen by the minimal viewer", f"{saw - kept} missed",
                         "every copy the viewer saw is stored", kept == saw)
        finally:
            program.stop()
            viewer.close()

    def memory(self):
        """From Linux's /proc/PID/status two seconds after the window showed: VmRSS is what
        Wine reports as the working set, RssAnon what it reports as private bytes (the commit
        charge). Both include Wine's own libraries; the difference to the plain window is the
        program's. Then ten 10 MiB texts copied in X11, each waited for on its row, and Empty
        All clicked: VmRSS after each, against the empty program's."""
        program = Program(self.agent)
        plain = subprocess.Popen([WINE, str(PLAIN)], cwd=WORK, stderr=subprocess.DEVNULL)
        try:
            self.agent("main", 30000, "PwBenchPlainWindow")
            time.sleep(2)
            mem = lambda pid, f: int(re.search(rf"^{f}:\s+(\d+) kB", open(f"/proc/{pid}/status").read(), re.M)[1])  # noqa: E731
            for field, name in (("VmRSS", "working set"), ("RssAnon", "private bytes")):
                ours, floor = mem(program.proc.pid, field), mem(plain.pid, field)
                self.log(f"memory {name}: program {ours} KiB, plain window {floor} KiB")
                self.row(f"Memory: {name} ({field}), empty store", f"{ours / 1024:.1f} MiB",
                         f"{floor / 1024:.1f} MiB (plain window)", f"+{(ours - floor) / 1024:.1f} MiB",
                         "≤ +3 MiB (as before)", ours - floor <= 3 * 1024)
            before = program.status("VmRSS")
            for k in range(10):
                marker = f"M{k:07d}"
                path = text_file("memory-10m.txt", 10 * MIB, marker)
                self._watch(program, _NoViewer, 60000, [marker], lambda: self.copier.copy(path))
            self.agent("settle", program.hwnd)
            time.sleep(1)
            held = program.status("VmRSS")
            self.agent("click", program.hwnd, "EmptyAll", 0)
            self.agent("settle", program.hwnd)
            time.sleep(1)
            emptied = program.status("VmRSS")
            self.log(f"memory: empty {before} KiB, ten 10 MiB texts {held} KiB, after Empty All {emptied} KiB")
            self.row("Memory growth with ten 10 MiB texts (200 MiB as UTF-16)",
                     f"+{(held - before) / 1024:.1f} MiB", "200 MiB (the texts)",
                     f"{(held - before) / 1024 / 200:.2f}×", "—", None)
            self.row("Memory after Empty All", f"+{(emptied - before) / 1024:.1f} MiB",
                     "the empty program", "—", "back to about +0", (emptied - before) < 5 * 1024)
        finally:
            program.stop()
            plain.kill()
            plain.wait()

    def rich(self):
        """pwbench writes ten texts, each 1 Mi characters (2 MiB as UTF-16) with 4 MiB of "HTML
        Format" and 4 MiB of "Rich Text Format", as one Windows program's clipboard writes, each
        waited for on the program's newest row; the growth of VmRSS against the bytes kept."""
        program = Program(self.agent)
        try:
            time.sleep(1)
            before = program.status("VmRSS")
            chars, html, rtf = 1 * MIB, 4 * MIB, 4 * MIB
            self.agent("putrich", program.hwnd, 10, chars, html, rtf)
            self.agent("settle", program.hwnd)
            time.sleep(1)
            after = program.status("VmRSS")
            kept = 10 * (2 * chars + html + rtf) / MIB
            grew = (after - before) / 1024
            limit = 1.1 * kept + 10
            self.log(f"rich: {before} KiB before, {after} KiB with ten clips ({kept:.0f} MiB kept)")
            self.row("Memory growth with ten texts carrying HTML and RTF (2 + 4 + 4 MiB each)",
                     f"+{grew:.1f} MiB", f"{kept:.0f} MiB kept", f"{grew / kept:.2f}×",
                     f"≤ 1.1 × kept + 10 MiB = {limit:.0f} MiB", grew <= limit)
        finally:
            program.stop()

    def idle(self, seconds=60, settle=5):
        """The program and the plain window side by side, each over a minute shown and then a
        minute hidden (the program by its Hide button, into the tray; the plain window by
        ShowWindow from outside), both after five seconds to settle: processor time from
        /proc/PID/stat (10 ms ticks) and wake-ups as the context switches of all the process's
        threads (/proc/PID/task/*/status). A timer or any polling would show as wake-ups."""
        program = Program(self.agent)
        plain = subprocess.Popen([WINE, str(PLAIN)], cwd=WORK, stderr=subprocess.DEVNULL)
        try:
            plain_hwnd = int(self.agent("main", 30000, "PwBenchPlainWindow")[0])
            pids = {"program": program.proc.pid, "plain": plain.pid}
            for phase in ("shown", "hidden"):
                if phase == "hidden":
                    self.agent("click", program.hwnd, "MainhWndHide", 0)
                    self.agent("hide", plain_hwnd)
                time.sleep(settle)
                first = {k: _cpu_and_wakeups(p) for k, p in pids.items()}
                time.sleep(seconds)
                last = {k: _cpu_and_wakeups(p) for k, p in pids.items()}
                d = {k: (last[k][0] - first[k][0], last[k][1] - first[k][1]) for k in pids}
                self.log(f"idle {phase} {seconds} s: program {d['program'][0]} ms, "
                         f"{d['program'][1]} wake-ups; plain window {d['plain'][0]} ms, "
                         f"{d['plain'][1]} wake-ups")
                self.row(f"Idle {seconds} s {phase}: processor time; wake-ups",
                         f"{d['program'][0]} ms; {d['program'][1]}",
                         f"{d['plain'][0]} ms; {d['plain'][1]} (plain window)", "—", "0; 0",
                         d["program"][0] == 0 and d["program"][1] <= d["plain"][1])
        finally:
            program.stop()
            plain.kill()
            plain.wait()

    def snapshot(self):
        """pwbench posts a click on "Web Photo" and polls until picture slot 1's save button
        shows (the picture is stored); the floor is one BitBlt of the whole screen (GetDC(NULL))
        into a 32-bpp DIB section in pwbench with GdiFlush, taken on the same screen once the
        program is idle again. The slot is emptied for the next run; one run first not
        counted; the median of paired ratios. (For reference the raw output also has a BitBlt
        into a DIB section made for it.)"""
        program = Program(self.agent)
        try:
            out = list(map(float, self.agent("snapshot", program.hwnd, self.runs + 1)))
            runs = [out[i:i + 3] for i in range(3, len(out), 3)]  # the first is a warm-up
            for n, (ms, blt, fresh) in enumerate(runs, 1):
                self.log(f"snapshot run {n}: {ms:.1f} ms; BitBlt {blt:.1f} ms, into a new DIB "
                         f"section {fresh:.1f} ms")
            r = median(ms / blt for ms, blt, _ in runs)
            self.row(f"\"Web Photo\" of the screen, click to stored (median of {self.runs})",
                     f"{median(r[0] for r in runs):.1f} ms",
                     f"{median(r[1] for r in runs):.1f} ms (one BitBlt of the screen)",
                     f"{r:.2f}× (median of paired ratios)", "≤ 2×", r <= 2)
        finally:
            program.stop()

    def huge_picture(self, side=16000):
        """A 16000 × 16000 PNG copied in X11 (1 GiB as pixels): the program takes it into slot 1,
        then its thumbnail is clicked; the time from the click until its message box shows,
        against one copy of the same pixels put on the clipboard by another Windows program (its
        pixels, held in its memory, copied into a new 32-bit DIB that it puts on the clipboard,
        from making the DIB until the clipboard is closed; the raw output also has the part from
        opening the clipboard, which under Wine is its own copy of the DIB into the window
        server). VmRSS before the picture came (after a small picture came and went, so that the
        image codecs are loaded, and the clipboard moved on), with it, after the click, and after
        deleting it with the clipboard moved on again."""
        png, small = WORK / f"huge-{side}.png", WORK / "small.png"
        _png(png, side)
        _png(small, 64)
        program = Program(self.agent)
        rss = lambda: program.status("VmRSS")  # noqa: E731

        def copy_and_wait(path, mime, timeout_ms):
            self.copier.copy(path, mime)
            self.agent("settle", program.hwnd)
            deadline = time.monotonic() + timeout_ms / 1000
            while self.agent("shown", program.hwnd, "sav", 1) != ["1"]:
                assert time.monotonic() < deadline, f"{path.name} was not stored"
                time.sleep(0.05)

        def delete_and_move_on(marker):
            self.agent("click", program.hwnd, "dpic", 1)
            self.agent("settle", program.hwnd)
            self._watch(program, _NoViewer, 30000, [marker],
                        lambda: self.copier.copy(text_file("huge-moved.txt", KIB, marker)))
            time.sleep(2)
        try:
            copy_and_wait(small, "image/png", 30000)
            delete_and_move_on("H0000000")
            before = rss()
            copy_and_wait(png, "image/png", 120000)
            time.sleep(2)
            held = rss()
            t = time.monotonic()
            self.agent("click", program.hwnd, "simg", 1)
            box = self.agent("main", 120000, "#32770")[0]
            click_ms = (time.monotonic() - t) * 1000
            self.agent("close", box)
            self.agent("settle", program.hwnd)
            time.sleep(2)
            clicked = rss()
            delete_and_move_on("H0000001")
            deleted = rss()
        finally:
            program.stop()
        copy_ms, put_ms = map(float, self.agent("putdib", side, side))
        self.agent("clear")
        r = click_ms / copy_ms
        mib = lambda kib: f"{kib / 1024:.0f} MiB"  # noqa: E731
        self.log(f"huge picture: click {click_ms:.0f} ms, one copy {copy_ms:.0f} ms (from opening the "
                 f"clipboard {put_ms:.0f} ms); VmRSS before "
                 f"{mib(before)}, with it {mib(held)}, after the click {mib(clicked)}, after "
                 f"deleting it {mib(deleted)}")
        self.row(f"Thumbnail click of a {side} × {side} picture, click to its message box",
                 f"{click_ms / 1000:.2f} s", f"{copy_ms / 1000:.2f} s (one copy of its pixels put on "
                 "the clipboard)", f"{r:.2f}×", "≤ 1.5×", r <= 1.5)
        self.row("Memory after deleting that picture (the clipboard moved on)",
                 f"{mib(deleted)} (with it {mib(held)}, after the click {mib(clicked)})",
                 f"{mib(before)} before it came", f"{(deleted - before) / before * 100:+.1f} %",
                 "within 10 %", abs(deleted - before) <= before / 10)


def _png(path, side):
    """A side × side PNG of two colours in bands: small on disk however large its pixels."""
    import struct
    import zlib
    if path.exists():
        return
    chunk = lambda kind, data: (struct.pack(">I", len(data)) + kind + data  # noqa: E731
                                + struct.pack(">I", zlib.crc32(kind + data)))
    rows, packer = [b"\0" + bytes(c) * side for c in ((40, 120, 200), (200, 60, 30))], zlib.compressobj(6)
    data = b"".join(packer.compress(rows[(y // 100) % 2]) for y in range(side)) + packer.flush()
    path.write_bytes(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", side, side, 8, 2, 0, 0, 0))
                     + chunk(b"IDAT", data) + chunk(b"IEND", b""))


class _NoViewer:
    text_hwnd = 0


def _cpu_and_wakeups(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    cpu_ms = (int(fields[11]) + int(fields[12])) * 1000 // os.sysconf("SC_CLK_TCK")
    wakeups = 0
    for task in pathlib.Path(f"/proc/{pid}/task").iterdir():
        text = (task / "status").read_text()
        wakeups += sum(int(n) for n in re.findall(r"ctxt_switches:\s+(\d+)", text))
    return cpu_ms, wakeups


SECTIONS = ["startup", "capture", "rapid", "memory", "rich", "idle", "snapshot", "huge_picture"]


def machine():
    cpu = re.search(r"model name\s*:\s*(.*)", open("/proc/cpuinfo").read())[1]
    mem = int(re.search(r"MemTotal:\s+(\d+)", open("/proc/meminfo").read())[1]) / (1 << 20)
    return f"{cpu}, {os.cpu_count()} cores, {mem:.1f} GiB"


def write_report(bench, out, started, load_before):
    commit = subprocess.run(["git", "-C", str(ROOT), "rev-parse", "--short", "HEAD"],
                            capture_output=True, text=True).stdout.strip()
    dirty = subprocess.run(["git", "-C", str(ROOT), "status", "--porcelain", "src"],
                           capture_output=True, text=True).stdout.strip()
    wine = subprocess.run([WINE, "--version"], capture_output=True, text=True).stdout.strip()
    screen = subprocess.run(["xdpyinfo"], capture_output=True, text=True).stdout
    screen = re.search(r"dimensions:\s+(\S+)", screen)[1]
    lines = [
        "# Benchmarks", "",
        "Written by `bench/report.py`; `./dev bench` measures again and rewrites this file.", "",
        f"- Date: {started:%Y-%m-%d %H:%M} UTC",
        f"- Commit: {commit}{' (with changes in src/ not yet committed)' if dirty else ''}",
        f"- Machine: {machine()}; {platform.freedesktop_os_release().get('PRETTY_NAME', '')}",
        f"- Load average: {load_before} at the start, "
        f"{' '.join(open('/proc/loadavg').read().split()[:3])} at the end "
        "(other work shares the machine)",
        f"- Wine: {wine}, 64-bit, Xvfb {screen}, no window manager; mingw-w64 Release builds", "",
        "Every figure is taken against a floor measured in the same run; pairs are taken together "
        "or in turns, so both see the same load. Ratios are medians of the paired ratios.", "",
        "| Figure | Pastewright | Floor | Ratio or difference | Goal | Met |",
        "|---|---:|---:|---:|---|---|",
    ]
    lines += ["| " + " | ".join(r) + " |" for r in bench.rows]
    lines += ["", "## How the figures are taken", ""]
    lines += [f"- **{name}**: {' '.join(getattr(Bench, name).__doc__.split())}"
              for name in SECTIONS if getattr(Bench, name).__doc__]
    notes = ROOT / "bench" / "NOTES.md"
    if notes.exists():
        lines += ["", notes.read_text().strip()]
    lines += ["", "## Raw output", "", "```", *bench.raw, "```", ""]
    pathlib.Path(out).write_text("\n".join(lines))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--out", default=str(ROOT / "docs" / "BENCHMARKS.md"))
    parser.add_argument("--only", nargs="*", choices=SECTIONS, default=SECTIONS)
    parser.add_argument("--runs", type=int, default=15)
    args = parser.parse_args()
    started = datetime.datetime.now(datetime.timezone.utc)
    load_before = " ".join(open("/proc/loadavg").read().split()[:3])
    bench = Bench(args.runs)
    try:
        for name in SECTIONS:
            if name in args.only:
                print(f"== {name}", flush=True)
                getattr(bench, name)()
    finally:
        bench.close()
    write_report(bench, args.out, started, load_before)
    print(f"wrote {args.out}")


if __name__ == "__main__":
    sys.exit(main())
