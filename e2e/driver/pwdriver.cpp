// pwdriver: the end-to-end sessions' hands on the Windows side, and the Windows programs around
// ours. One request line on stdin, one answer line: "ok" or "err", then fields separated by
// spaces. Texts (UTF-16) and bytes travel as hex ("-" when empty): no field needs escaping. It
// leaves the viewer chain and ends at the end of its input.
#include <windows.h>

#include <atomic>
#include <functional>
#include <iostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "platform/controls.h"
#include "platform/win32/window_names.h"

namespace {

using Fields = std::vector<std::string>;

// Long enough for a loaded machine; past it a hung program fails the session.
constexpr UINT kPatienceMs = 10000;
constexpr UINT kRun = WM_APP + 1;

std::string Hex(std::wstring_view text) {  // as UTF-16LE bytes
  std::string out;
  for (wchar_t c : text) {
    for (int shift : {4, 0, 12, 8}) out += "0123456789abcdef"[(c >> shift) & 15];
  }
  return out.empty() ? "-" : out;
}

std::string Unhex(const std::string& hex) {
  std::string out;
  for (std::size_t i = 0; hex != "-" && i + 1 < hex.size(); i += 2) {
    out += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  }
  return out;
}

std::wstring Utf16(const std::string& hex) {
  const std::string bytes = Unhex(hex);
  return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2);
}

std::string Num(long long n) { return std::to_string(n); }
std::string Num(HWND h) { return Num(reinterpret_cast<std::intptr_t>(h)); }
long long Arg(const Fields& f, std::size_t i) { return std::stoll(f.at(i), nullptr, 0); }
HWND Window(const Fields& f, std::size_t i) { return reinterpret_cast<HWND>(Arg(f, i)); }

// By WM_GETTEXT, since GetWindowText reads no other process's edit control.
std::wstring CaptionOf(HWND h) {
  wchar_t text[4096];
  DWORD_PTR length = 0;
  ::SendMessageTimeoutW(h, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, kPatienceMs, &length);
  return std::wstring(text, length);
}

// Others open the clipboard for a moment (the program, Wine's own manager).
bool OpenClipboardSoon(HWND owner) {
  for (int i = 0; i < 250; ++i, ::Sleep(20)) {
    if (::OpenClipboard(owner)) return true;
  }
  return false;
}

// The driver's window, on a thread of its own that pumps messages since others send to it. It
// owns what the driver puts on the clipboard and, once joined, is a viewer in the chain that
// passes each notice on; asked to, it has the clipboard held open while it passes the next one
// on, as a neighbour may, or passes the next notice of a DIB on only once another program has
// the clipboard open (late: 1 asked, 2 holding the notice).
struct Agent {
  std::atomic<HWND> hwnd{nullptr};
  HWND next = nullptr;
  bool joining = false;
  std::atomic<bool> passed_while_held{false};
  std::atomic<DWORD> hold_ms{0};
  std::atomic<int> late{0};
} agent;

void OnDrawClipboard(WPARAM wp, LPARAM lp) {
  if (agent.joining) return;  // that notice reports no change: the next would store it again
  if (agent.late == 1 && ::IsClipboardFormatAvailable(CF_DIB)) {
    agent.late = 2;
    for (int i = 0; i < 500 && !::GetOpenClipboardWindow(); ++i) ::Sleep(10);
    agent.late = 0;
  }
  std::atomic<int> held{0};  // 1 open, 2 closed again
  std::thread locker;
  if (const DWORD ms = agent.hold_ms) {
    // Opened for a window: under Wine an open for none keeps out no other.
    locker = std::thread([ms, &held] {
      HWND w = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, 0, 0, 0);
      held = OpenClipboardSoon(w) ? 1 : 2;
      if (held == 1) ::Sleep(ms), held = 2, ::CloseClipboard();
      ::DestroyWindow(w);
    });
    while (held == 0) ::Sleep(1);
  }
  // With no next viewer it fails at once.
  ::SendMessageTimeoutW(agent.next, WM_DRAWCLIPBOARD, wp, lp, SMTO_NORMAL, kPatienceMs, nullptr);
  agent.passed_while_held = held == 1;
  if (locker.joinable()) locker.join();
  agent.hold_ms = 0;
}

LRESULT CALLBACK AgentProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case kRun: (*reinterpret_cast<std::function<void()>*>(lp))(); return 0;
    case WM_DRAWCLIPBOARD: OnDrawClipboard(wp, lp); return 0;
    case WM_CHANGECBCHAIN:
      if (reinterpret_cast<HWND>(wp) == agent.next) {
        agent.next = reinterpret_cast<HWND>(lp);
      } else if (agent.next) {
        ::SendMessageTimeoutW(agent.next, msg, wp, lp, SMTO_NORMAL, kPatienceMs, nullptr);
      }
      return 0;
    case WM_CLOSE:
      ::ChangeClipboardChain(h, agent.next);
      ::DestroyWindow(h);
      return 0;
    case WM_DESTROY: ::PostQuitMessage(0); return 0;
  }
  return ::DefWindowProcW(h, msg, wp, lp);
}

// Runs `work` on the agent's thread, with the clipboard open for the agent's window unless
// told not to.
void Run(const std::function<void()>& work, bool open = true) {
  bool opened = !open;
  std::function<void()> call = [&] {
    if (open && !(opened = OpenClipboardSoon(agent.hwnd))) return;
    work();
    if (open) ::CloseClipboard();  // our own notice comes in here, if we lead the chain
  };
  ::SendMessageW(agent.hwnd, kRun, 0, reinterpret_cast<LPARAM>(&call));
  if (!opened) throw std::runtime_error("the clipboard stays open");
}

// HOLD_MS [FORMAT BYTES]...: one clipboard change (a number names a standard format, any other
// name is registered). When the agent leads the chain its own notice comes in the close, so the
// viewers have all handled the change when this returns. With a hold: whether the next viewer
// had, before the clipboard was free again.
Fields Put(const Fields& f) {
  agent.hold_ms = static_cast<DWORD>(Arg(f, 1)), agent.passed_while_held = false;
  Run([&] {
    ::EmptyClipboard();
    for (std::size_t i = 2; i + 1 < f.size(); i += 2) {
      const std::wstring name = Utf16(f[i]);
      const std::string bytes = Unhex(f[i + 1]);
      HGLOBAL data = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes.size() + 2);
      std::copy(bytes.begin(), bytes.end(), static_cast<char*>(::GlobalLock(data)));
      ::GlobalUnlock(data);
      const bool standard = name.find_first_not_of(L"0123456789") == std::wstring::npos;
      ::SetClipboardData(standard ? std::stoul(name) : ::RegisterClipboardFormatW(name.c_str()), data);
    }
  });
  return {Num(agent.passed_while_held)};
}

// Top-level windows (parent 0), message-only ones (-1) or a window's descendants.
std::vector<HWND> Windows(long long parent) {
  std::vector<HWND> all;
  const WNDENUMPROC collect = [](HWND h, LPARAM lp) -> BOOL {
    return reinterpret_cast<std::vector<HWND>*>(lp)->push_back(h), TRUE;
  };
  const auto into = reinterpret_cast<LPARAM>(&all);
  if (parent == 0) ::EnumWindows(collect, into);
  if (parent > 0) ::EnumChildWindows(reinterpret_cast<HWND>(parent), collect, into);
  for (HWND h = nullptr; parent == -1 && (h = ::FindWindowExW(HWND_MESSAGE, h, 0, 0));) all.push_back(h);
  return all;
}

// PARENT CLASS: the windows of a class. PARENT FAMILY NUMBER: a control by the
// program's own name for it ("ClipShow" 0).
Fields Find(const Fields& f) {
  const auto control = f.size() > 3 ? pw::ControlNamed(f[2], static_cast<int>(Arg(f, 3))) : std::nullopt;
  if (f.size() > 3 && !control) throw std::runtime_error("the program has no control " + f[2] + f[3]);
  const std::wstring cls = control ? L"" : Utf16(f.at(2));
  Fields found;
  for (HWND h : Windows(Arg(f, 1))) {
    wchar_t name[256] = {};
    if (control ? ::GetDlgCtrlID(h) == pw::NumericId(*control)
                : cls == std::wstring(name, ::GetClassNameW(h, name, 256))) {
      found.push_back(Num(h));
    }
  }
  return found;
}

// Whether it exists, is visible on screen, has its own visible flag, is
// enabled, is top-most; its outer rectangle and caption.
Fields Info(HWND h) {
  if (!::IsWindow(h)) return {"0"};
  RECT r{};
  ::GetWindowRect(h, &r);
  return {"1", Num(::IsWindowVisible(h)), Num((::GetWindowLongPtrW(h, GWL_STYLE) & WS_VISIBLE) != 0),
          Num(::IsWindowEnabled(h)), Num((::GetWindowLongPtrW(h, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0),
          Num(r.left), Num(r.top), Num(r.right), Num(r.bottom), Hex(CaptionOf(h))};
}

Fields Serve(const Fields& f) {
  const std::string& c = f.at(0);
  if (c == "find") return Find(f);
  if (c == "info") return Info(Window(f, 1));
  if (c == "send") {  // HWND MSG WPARAM LPARAM TIMEOUT_MS: its answer; with no time to wait, posted
    DWORD_PTR result = 0;
    if (Arg(f, 5) == 0) return {Num(::PostMessageW(Window(f, 1), Arg(f, 2), Arg(f, 3), Arg(f, 4)))};
    if (!::SendMessageTimeoutW(Window(f, 1), Arg(f, 2), Arg(f, 3), Arg(f, 4), SMTO_NORMAL, Arg(f, 5), &result)) {
      throw std::runtime_error("the window did not answer");
    }
    return {Num(result)};
  }
  if (c == "put") return Put(f);
  if (c == "focus") {  // the name of the window with the keyboard focus in the thread of this one
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    ::GetGUIThreadInfo(::GetWindowThreadProcessId(Window(f, 1), nullptr), &info);
    return {Hex(CaptionOf(info.hwndFocus))};
  }
  if (c == "host") {  // the screen, and the names the program's windows go by
    using namespace pw::win32;
    HDC screen = ::GetDC(nullptr);
    Fields out{Num(::GetSystemMetrics(SM_CXSCREEN)), Num(::GetSystemMetrics(SM_CYSCREEN)),
               Num(::GetDeviceCaps(screen, LOGPIXELSY)), Num(kTrayMessage)};
    ::ReleaseDC(nullptr, screen);
    for (auto* name : {kMainClass, kPreviewClass, kAboutClass, kOverlayClass}) out.push_back(Hex(name));
    return out;
  }
  if (c == "join") {
    Run([] {
      agent.joining = true;
      agent.next = ::SetClipboardViewer(agent.hwnd);
      agent.joining = false;
    }, false);
    return {Num(agent.hwnd)};
  }
  if (c == "late") {  // [1]: the late state (see Agent), or asks for it
    if (f.size() > 1) agent.late = static_cast<int>(Arg(f, 1));
    return {Num(agent.late)};
  }
  throw std::runtime_error("unknown command");
}

}  // namespace

int main() {
  std::thread pump([] {
    const WNDCLASSW wc{0, &AgentProc, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, L"PwDriver"};
    ::RegisterClassW(&wc);
    agent.hwnd = ::CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, 0, 0, 0, 0);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) ::DispatchMessageW(&msg);
  });
  while (!agent.hwnd) ::Sleep(1);
  for (std::string line; std::getline(std::cin, line);) {
    std::istringstream words(line);
    Fields f;
    for (std::string word; words >> word;) f.push_back(word);
    std::string reply = "ok";
    try {
      for (const std::string& field : Serve(f)) reply += " " + field;
    } catch (const std::exception& e) {
      reply = "err " + line.substr(0, line.find(' ')) + ": " + e.what();
    }
    std::cout << reply << std::endl;
  }
  ::PostMessageW(agent.hwnd, WM_CLOSE, 0, 0);
  pump.join();
}
