// pwbench: the Windows side of the benchmarks; bench/report.py runs it under Wine.
//
//   pwbench viewer   a minimal clipboard viewer, the floor of capture: it reads each new text,
//                    keeps it, shows its first eight characters as the text of a child window
//                    (as the program shows them on a row button) and logs "saw HEAD UNIX_NS".
//   pwbench agent    one request per stdin line, one reply line ("ok ..." or "err ..."); see
//                    Serve() for the requests.
//
// Times are Unix nanoseconds from GetSystemTimePreciseAsFileTime: under Wine that is the Linux
// real-time clock, the clock report.py takes the moment of each X11 copy from.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/controls.h"

namespace {

constexpr wchar_t kViewerClass[] = L"PwBenchViewer";

long long NowNs() {
  FILETIME ft;
  ::GetSystemTimePreciseAsFileTime(&ft);
  const auto ticks = (static_cast<unsigned long long>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
  return static_cast<long long>(ticks - 116444736000000000ULL) * 100;
}

double MsSince(long long start_ns) { return static_cast<double>(NowNs() - start_ns) / 1e6; }

std::string Narrow(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) out += c > 32 && c < 127 ? static_cast<char>(c) : '?';
  return out.empty() ? "-" : out;
}

std::wstring Widen(const std::string& text) { return std::wstring(text.begin(), text.end()); }

std::wstring TextOf(HWND hwnd) {
  wchar_t text[64] = {};
  const int n = ::GetWindowTextW(hwnd, text, 64);
  return std::wstring(text, n > 0 ? static_cast<std::size_t>(n) : 0);
}

void Reply(const std::string& line) {
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

// --- the minimal viewer --------------------------------------------------------------------

struct {
  HWND next = nullptr;
  HWND shown = nullptr;
  std::wstring kept;
} viewer;

void ViewerRead(HWND hwnd) {
  bool opened = false;
  for (int i = 0; i < 10 && !(opened = ::OpenClipboard(hwnd)); ++i) ::Sleep(10);
  if (!opened) return;
  if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* text = static_cast<const wchar_t*>(::GlobalLock(data))) {
      viewer.kept.assign(text, ::wcsnlen(text, ::GlobalSize(data) / sizeof(wchar_t)));
      ::GlobalUnlock(data);
    }
  }
  ::CloseClipboard();
  const std::wstring head = viewer.kept.substr(0, 8);
  ::SetWindowTextW(viewer.shown, head.c_str());
  std::printf("saw %s %lld\n", Narrow(head).c_str(), NowNs());
  std::fflush(stdout);
}

LRESULT CALLBACK ViewerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_DRAWCLIPBOARD:
      if (viewer.next) {
        DWORD_PTR ignored;
        ::SendMessageTimeoutW(viewer.next, msg, wp, lp, SMTO_ABORTIFHUNG, 2000, &ignored);
      }
      ViewerRead(hwnd);
      return 0;
    case WM_CHANGECBCHAIN:
      if (reinterpret_cast<HWND>(wp) == viewer.next) {
        viewer.next = reinterpret_cast<HWND>(lp);
      } else if (viewer.next) {
        ::SendMessageW(viewer.next, msg, wp, lp);
      }
      return 0;
    case WM_DESTROY:
      ::ChangeClipboardChain(hwnd, viewer.next);
      ::PostQuitMessage(0);
      return 0;
    default:
      return ::DefWindowProcW(hwnd, msg, wp, lp);
  }
}

int RunViewer() {
  WNDCLASSW wc{};
  wc.lpfnWndProc = &ViewerProc;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = kViewerClass;
  ::RegisterClassW(&wc);
  HWND hwnd = ::CreateWindowExW(0, kViewerClass, L"pwbench viewer", WS_OVERLAPPEDWINDOW, 0, 0, 200,
                                100, nullptr, nullptr, wc.hInstance, nullptr);
  viewer.shown = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 200, 20, hwnd,
                                   nullptr, wc.hInstance, nullptr);
  Reply("hwnd " + std::to_string(reinterpret_cast<std::intptr_t>(viewer.shown)));
  viewer.next = ::SetClipboardViewer(hwnd);
  // Ends when report.py closes its stdin.
  std::thread([hwnd] {
    std::string line;
    while (std::getline(std::cin, line)) {
    }
    ::PostMessageW(hwnd, WM_CLOSE, 0, 0);
  }).detach();
  MSG msg;
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) ::DispatchMessageW(&msg);
  return 0;
}

// --- the agent ---------------------------------------------------------------------------

HWND ControlOf(HWND main, const std::string& family, int number) {
  const auto id = pw::ControlNamed(family, number);
  return id ? ::GetDlgItem(main, pw::NumericId(*id)) : nullptr;
}

bool HasVisibleStyle(HWND hwnd) {
  return hwnd && (::GetWindowLongW(hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
}

template <typename Done>
bool WaitUntil(Done done, DWORD timeout_ms) {
  const long long deadline = NowNs() + static_cast<long long>(timeout_ms) * 1000000;
  while (!done()) {
    if (NowNs() > deadline) return false;
    ::Sleep(1);
  }
  return true;
}

HWND VisibleWindowOfClass(const wchar_t* cls, DWORD pid = 0) {
  for (HWND h = ::FindWindowExW(nullptr, nullptr, cls, nullptr); h;
       h = ::FindWindowExW(nullptr, h, cls, nullptr)) {
    DWORD owner = 0;
    ::GetWindowThreadProcessId(h, &owner);
    if ((!pid || owner == pid) && ::IsWindowVisible(h)) return h;
  }
  return nullptr;
}

// When each marker first shows as the caption of the program's newest row and as the viewer's
// text, both read from here through the system (the window server answers; neither program runs
// any code for it), and when that row has no part left to paint. Polls every millisecond until
// every marker was on a row and painted and the last one is at the viewer, or the time is up;
// -1 for what never showed. Each time is taken right after the call that saw it. A poll reads
// the newest row alone, so as to load the window server little while both programs use it; a
// last look at every row finds the markers that moved on within one poll.
std::string Watch(HWND main, HWND viewer_text, DWORD timeout_ms,
                  const std::vector<std::string>& markers) {
  std::map<std::wstring, std::size_t> index;
  for (std::size_t i = 0; i < markers.size(); ++i) index[Widen(markers[i])] = i;
  struct Seen {
    long long viewer = -1, program = -1, painted = -1;
    HWND row = nullptr;
  };
  std::vector<Seen> seen(markers.size());
  HWND rows[pw::kTextSlots] = {};
  int newest = -1;  // rows fill from 0; the newest text is on the last one made
  auto look = [&](int i) {
    auto it = index.find(TextOf(rows[i]));
    if (it != index.end() && seen[it->second].program < 0) {
      seen[it->second].program = NowNs();
      seen[it->second].row = rows[i];
    }
  };
  long long iterations = 0, last = NowNs(), worst = 0;
  WaitUntil(
      [&] {
        const long long t = NowNs();
        worst = std::max(worst, t - last);
        last = t;
        ++iterations;
        while (newest + 1 < pw::kTextSlots && (rows[newest + 1] = ControlOf(main, "ClipShow", newest + 1))) {
          ++newest;
        }
        if (newest >= 0) look(newest);
        if (viewer_text) {
          auto it = index.find(TextOf(viewer_text));
          if (it != index.end() && seen[it->second].viewer < 0) seen[it->second].viewer = NowNs();
        }
        bool done = !viewer_text || seen.back().viewer >= 0;
        for (Seen& s : seen) {
          if (s.row && s.painted < 0 && !::GetUpdateRect(s.row, nullptr, FALSE)) {
            s.painted = NowNs();
          }
          done = done && s.painted >= 0;
        }
        return done;
      },
      timeout_ms);
  for (int i = 0; i <= newest; ++i) look(i);
  char polls[64];
  std::snprintf(polls, sizeof polls, "ok %lld %.2f", iterations, static_cast<double>(worst) / 1e6);
  std::string out = polls;
  for (std::size_t i = 0; i < markers.size(); ++i) {
    out += " " + markers[i] + " " + std::to_string(seen[i].viewer) + " " +
           std::to_string(seen[i].program) + " " + std::to_string(seen[i].painted);
  }
  return out;
}

// The started program, kept between "launch" and "finish".
PROCESS_INFORMATION g_started{};

// Starts EXE and returns the moment just before CreateProcessW, in Unix nanoseconds, once a
// window of CLS is visible. The wait sleeps between looks: a waiter that polls often, or blocks
// on its input or on the process, slows every program's calls to Wine's window server while the
// program starts (measured: the twelve controls took 17-25 ms instead of 2-6 ms).
long long Launch(const std::wstring& exe, const wchar_t* cls) {
  std::wstring command = L"\"" + exe + L"\"";
  STARTUPINFOW si{};
  si.cb = sizeof si;
  const long long start = NowNs();
  if (!::CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &si, &g_started)) {
    return -1;
  }
  for (int i = 0; i < 300 && !VisibleWindowOfClass(cls, g_started.dwProcessId); ++i) ::Sleep(100);
  return start;
}

// Closes the started program's window of the class as a user closes it and waits for it to end.
bool Finish(const wchar_t* cls) {
  if (!g_started.hProcess) return false;
  HWND window = nullptr;
  WaitUntil([&] { return (window = VisibleWindowOfClass(cls, g_started.dwProcessId)); }, 30000);
  if (window) ::PostMessageW(window, WM_CLOSE, 0, 0);
  if (::WaitForSingleObject(g_started.hProcess, 10000) != WAIT_OBJECT_0) {
    ::TerminateProcess(g_started.hProcess, 1);
  }
  ::CloseHandle(g_started.hThread);
  ::CloseHandle(g_started.hProcess);
  g_started = {};
  return window != nullptr;
}

// The whole screen into a 32-bpp DIB section: the floor of a snapshot.
double BitBltScreen(bool new_section) {
  static HBITMAP kept = nullptr;
  const int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = -h;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  HDC screen = ::GetDC(nullptr);
  HDC memory = ::CreateCompatibleDC(nullptr);
  void* bits = nullptr;
  const long long start = NowNs();
  HBITMAP target = new_section || !kept
                       ? ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0)
                       : kept;
  HGDIOBJ old = ::SelectObject(memory, target);
  ::BitBlt(memory, 0, 0, w, h, screen, 0, 0, SRCCOPY);
  ::GdiFlush();
  const double ms = MsSince(start);
  ::SelectObject(memory, old);
  if (new_section) ::DeleteObject(target);
  else kept = target;
  ::DeleteDC(memory);
  ::ReleaseDC(nullptr, screen);
  return ms;
}

// A message round trip: what the window was sent or posted before has been handled.
void Settle(HWND window) {
  DWORD_PTR ignored;
  ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &ignored);
}

// "Web Photo" from the click until the picture is stored (slot 1's save button shows), then the
// floor on the same screen; the slot is emptied again for the next run.
std::string Snapshot(HWND main, int runs) {
  HWND click = ControlOf(main, "CmdCapScreen", 0);
  if (!click) return "err no Web Photo button";
  BitBltScreen(false);
  std::string out = "ok";
  for (int run = 0; run < runs; ++run) {
    const long long start = NowNs();
    ::PostMessageW(click, BM_CLICK, 0, 0);
    if (!WaitUntil([&] { return HasVisibleStyle(ControlOf(main, "sav", 1)); }, 30000)) {
      return "err the snapshot was not stored";
    }
    const double ms = MsSince(start);
    WaitUntil([&] { return ::IsWindowVisible(main) != FALSE; }, 30000);
    Settle(main);
    const double blt = BitBltScreen(false);
    char line[96];
    std::snprintf(line, sizeof line, " %.2f %.2f %.2f", ms, blt, BitBltScreen(true));
    out += line;
    ::PostMessageW(ControlOf(main, "dpic", 1), BM_CLICK, 0, 0);
    WaitUntil([&] { return !HasVisibleStyle(ControlOf(main, "sav", 1)); }, 30000);
    Settle(main);
  }
  return out;
}

HGLOBAL Block(const void* data, std::size_t size) {
  HGLOBAL h = ::GlobalAlloc(GMEM_MOVEABLE, size);
  if (h) {
    std::memcpy(::GlobalLock(h), data, size);
    ::GlobalUnlock(h);
  }
  return h;
}

// Texts with their "HTML Format" and "Rich Text Format", written by a Windows program (this
// one); each waits until the program shows it on a row.
std::string PutRich(HWND main, HWND owner, int count, std::size_t chars, std::size_t html_bytes,
                    std::size_t rtf_bytes) {
  static const UINT html = ::RegisterClipboardFormatW(L"HTML Format");
  static const UINT rtf = ::RegisterClipboardFormatW(L"Rich Text Format");
  for (int k = 0; k < count; ++k) {
    char marker[16];
    std::snprintf(marker, sizeof marker, "R%07d", k);
    std::wstring text(chars + 1, L'r');
    std::copy(marker, marker + 8, text.begin());
    text.back() = L'\0';
    std::string h(html_bytes + 1, 'h'), r(rtf_bytes + 1, 'f');
    h.back() = r.back() = '\0';
    if (!WaitUntil([&] { return ::OpenClipboard(owner) != FALSE; }, 10000)) {
      return "err the clipboard stayed open";
    }
    ::EmptyClipboard();
    ::SetClipboardData(CF_UNICODETEXT, Block(text.data(), text.size() * sizeof(wchar_t)));
    ::SetClipboardData(html, Block(h.data(), h.size()));
    ::SetClipboardData(rtf, Block(r.data(), r.size()));
    ::CloseClipboard();
    const std::wstring shown = Widen(marker);
    if (!WaitUntil(
            [&] {
              for (int i = 0; i < pw::kTextSlots; ++i) {
                if (HWND row = ControlOf(main, "ClipShow", i); row && TextOf(row) == shown) {
                  return true;
                }
              }
              return false;
            },
            30000)) {
      return "err the program did not store " + std::string(marker);
    }
  }
  return "ok";
}

// The requests, one a line:
//   main TIMEOUT_MS [CLASS]            the program's (or the class's) visible window: "ok HWND"
//   hide HWND                          hides a window from outside
//   close HWND                         posts WM_CLOSE
//   watch MAIN VIEWER_TEXT TIMEOUT_MS MARKER...
//                                      "ok watching" at once, then "ok POLLS LONGEST_GAP_MS
//                                      MARKER VIEWER_NS PROGRAM_NS PAINTED_NS ..." (see Watch)
//   click MAIN FAMILY NUMBER           posts a click to the program's control
//   shown MAIN FAMILY NUMBER           "ok 1" when the control exists and is shown
//   settle MAIN                        once the program has handled what came before
//   clear                              empties the clipboard
//   launch EXE CLASS                   starts EXE; once a window of CLASS shows, "ok UNIX_NS" taken
//                                      just before CreateProcessW
//   finish CLASS                       closes the started program's window of CLASS, waits for it
//   snapshot MAIN RUNS                 "ok MS BITBLT_MS NEW_DIB_MS ..." per run
//   putrich MAIN COUNT CHARS HTML_BYTES RTF_BYTES
//   putdib WIDTH HEIGHT                "ok MS PUT_MS": one copy of a picture's pixels put (PutDib)
std::string PutDib(HWND owner, std::int32_t width, std::int32_t height);

std::string Serve(const std::string& line, HWND owner) {
  std::istringstream in(line);
  std::string verb;
  in >> verb;
  auto window = [&] {
    long long h = 0;
    in >> h;
    return reinterpret_cast<HWND>(static_cast<std::intptr_t>(h));
  };
  if (verb == "main") {
    DWORD timeout = 0;
    std::string cls = "PastewrightMain";
    in >> timeout >> cls;
    HWND main = nullptr;
    const std::wstring wide = Widen(cls);
    WaitUntil([&] { return (main = VisibleWindowOfClass(wide.c_str())); }, timeout);
    return main ? "ok " + std::to_string(reinterpret_cast<std::intptr_t>(main))
                : "err no visible window of " + cls;
  }
  if (verb == "hide") {
    ::ShowWindow(window(), SW_HIDE);
    return "ok";
  }
  if (verb == "close") {
    ::PostMessageW(window(), WM_CLOSE, 0, 0);
    return "ok";
  }
  if (verb == "watch") {
    HWND main = window(), text = window();
    DWORD timeout = 0;
    in >> timeout;
    std::vector<std::string> markers;
    for (std::string m; in >> m;) markers.push_back(m);
    Reply("ok watching");
    return Watch(main, text, timeout, markers);
  }
  if (verb == "click" || verb == "shown") {
    HWND main = window();
    std::string family;
    int number = 0;
    in >> family >> number;
    HWND control = ControlOf(main, family, number);
    if (verb == "shown") return HasVisibleStyle(control) ? "ok 1" : "ok 0";
    if (!control) return "err no " + family;
    ::PostMessageW(control, BM_CLICK, 0, 0);
    return "ok";
  }
  if (verb == "clear") {
    if (!WaitUntil([&] { return ::OpenClipboard(owner) != FALSE; }, 10000)) return "err busy";
    ::EmptyClipboard();
    ::CloseClipboard();
    return "ok";
  }
  if (verb == "settle") {
    Settle(window());
    return "ok";
  }
  if (verb == "launch") {
    std::string exe, cls;
    in >> exe >> cls;
    const long long start = Launch(Widen(exe), Widen(cls).c_str());
    return start < 0 ? "err cannot start " + exe : "ok " + std::to_string(start);
  }
  if (verb == "finish") {
    std::string cls;
    in >> cls;
    return Finish(Widen(cls).c_str()) ? "ok" : "err no visible window of " + cls;
  }
  if (verb == "snapshot") {
    HWND main = window();
    int runs = 1;
    in >> runs;
    return Snapshot(main, runs);
  }
  if (verb == "putdib") {
    std::int32_t width = 0, height = 0;
    in >> width >> height;
    return PutDib(owner, width, height);
  }
  if (verb == "putrich") {
    HWND main = window();
    int count = 0;
    std::size_t chars = 0, html = 0, rtf = 0;
    in >> count >> chars >> html >> rtf;
    return PutRich(main, owner, count, chars, html, rtf);
  }
  return "err unknown request " + verb;
}

// One copy of a picture's pixels onto the clipboard, as another Windows program puts it: its
// width x height 32-bit pixels, held in its own memory, copied into a new DIB (top-down, so one
// copy in a row) that goes onto the clipboard; timed from making the DIB until the clipboard is
// closed again. Also the part from opening the clipboard: under Wine, its own copy of the DIB.
std::string PutDib(HWND owner, std::int32_t width, std::int32_t height) {
  const std::size_t bits = std::size_t(width) * std::size_t(height) * 4;
  std::vector<std::uint32_t> pixels(bits / 4, 0xFF2878C8u);
  LARGE_INTEGER start, opened, end, frequency;
  ::QueryPerformanceFrequency(&frequency);
  ::QueryPerformanceCounter(&start);
  HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, sizeof(BITMAPINFOHEADER) + bits);
  if (!block) return "err out of memory";
  auto* header = static_cast<BITMAPINFOHEADER*>(::GlobalLock(block));
  *header = BITMAPINFOHEADER{};
  header->biSize = sizeof(BITMAPINFOHEADER);
  header->biWidth = width, header->biHeight = -height;
  header->biPlanes = 1, header->biBitCount = 32, header->biCompression = BI_RGB;
  std::memcpy(header + 1, pixels.data(), bits);
  ::GlobalUnlock(block);
  ::QueryPerformanceCounter(&opened);
  if (!WaitUntil([&] { return ::OpenClipboard(owner) != FALSE; }, 10000)) {
    ::GlobalFree(block);
    return "err busy";
  }
  ::EmptyClipboard();
  ::SetClipboardData(CF_DIB, block);
  ::CloseClipboard();
  ::QueryPerformanceCounter(&end);
  const auto ms = [&](LARGE_INTEGER a, LARGE_INTEGER b) {
    return (b.QuadPart - a.QuadPart) * 1000.0 / frequency.QuadPart;
  };
  char out[48];
  std::snprintf(out, sizeof out, "ok %.1f %.1f", ms(start, end), ms(opened, end));
  return out;
}

int RunAgent() {
  // Owns what it puts on the clipboard (under Wine an open for no window keeps no other out),
  // on a thread that answers what the next owner sends it.
  std::atomic<HWND> owner{nullptr};
  std::thread([&owner] {
    owner = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr,
                              nullptr);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) ::DispatchMessageW(&msg);
  }).detach();
  while (!owner) ::Sleep(1);
  for (std::string line; std::getline(std::cin, line);) {
    if (line == "quit") break;
    if (!line.empty()) Reply(Serve(line, owner));
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "viewer") return RunViewer();
  if (mode == "agent") return RunAgent();
  std::fprintf(stderr, "usage: pwbench viewer | agent\n");
  return 2;
}
