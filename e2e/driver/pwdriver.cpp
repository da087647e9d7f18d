// pwdriver: the end-to-end sessions' hands on the Windows side, and the other
// Windows programs around ours. It reads one request line on stdin and answers
// one line: "ok" or "err", then fields separated by spaces. Texts (UTF-16) and
// bytes travel as hex ("-" when empty), so no field ever needs escaping.
#include <windows.h>

#include <atomic>
#include <cstdio>
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
using Blocks = std::vector<std::pair<UINT, HGLOBAL>>;

// Long enough for a loaded machine; past it a hung program fails the session.
constexpr UINT kPatienceMs = 10000;

std::string Hex(std::string_view bytes) {
  std::string out;
  for (unsigned char c : bytes) out += {"0123456789abcdef"[c >> 4], "0123456789abcdef"[c & 15]};
  return out.empty() ? "-" : out;
}

std::string Unhex(const std::string& hex) {
  std::string out;
  for (std::size_t i = 0; hex != "-" && i + 1 < hex.size(); i += 2) {
    out += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  }
  return out;
}

std::wstring Wide(const std::string& hex) {
  const std::string bytes = Unhex(hex);
  return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2);
}

std::string Hex(std::wstring_view text) { return Hex({reinterpret_cast<const char*>(text.data()), text.size() * 2}); }

std::string Num(long long n) { return std::to_string(n); }
std::string Num(HWND h) { return Num(reinterpret_cast<std::intptr_t>(h)); }
long long Arg(const Fields& f, std::size_t i) { return std::stoll(f.at(i), nullptr, 0); }
HWND Window(const Fields& f, std::size_t i) { return reinterpret_cast<HWND>(Arg(f, i)); }

std::wstring ClassOf(HWND h) {
  wchar_t name[256] = {};
  return std::wstring(name, ::GetClassNameW(h, name, 256));
}

std::wstring CaptionOf(HWND h) {
  std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(h)) + 1, L'\0');
  text.resize(::GetWindowTextW(h, text.data(), static_cast<int>(text.size())));
  return text;
}

// A number names a standard format; any other name is registered.
UINT FormatNamed(const std::wstring& name) {
  if (name.find_first_not_of(L"0123456789") == std::wstring::npos) return std::stoul(name);
  return ::RegisterClipboardFormatW(name.c_str());
}

// Bytes given as hex, or as "HEX*N": those repeated N times.
HGLOBAL GlobalOf(const std::string& field) {
  const std::string unit = Unhex(field.substr(0, field.find('*')));
  const std::size_t times = field.find('*') == std::string::npos ? 1 : std::stoull(field.substr(field.find('*') + 1));
  HGLOBAL h = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, unit.size() * times + 2);
  if (!h) throw std::runtime_error("out of memory");
  auto* at = static_cast<char*>(::GlobalLock(h));
  for (std::size_t i = 0; i < times; ++i) at = std::copy(unit.begin(), unit.end(), at);
  ::GlobalUnlock(h);
  return h;
}

// Others open the clipboard for a moment (the program, Wine's own manager).
void OpenClipboardSoon(HWND owner) {
  for (int i = 0; !::OpenClipboard(owner); ++i, ::Sleep(20)) {
    if (i == 250) throw std::runtime_error("the clipboard stays open");
  }
}

// The driver's window, on a thread of its own that pumps messages, since
// other programs send to it synchronously. It owns what the driver puts on
// the clipboard and, once joined, is a viewer in the chain that counts the
// change notices and passes each on. Asked to, it misbehaves as a neighbour
// may: it hangs on the next notice, or has the clipboard held open while it
// passes the next notice on.
class Agent {
 public:
  Agent() : release_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)), thread_([this] { Pump(); }) {
    while (!hwnd_) ::Sleep(1);
  }
  ~Agent() {
    ::SetEvent(release_);
    ::PostMessageW(hwnd_, WM_CLOSE, 0, 0);
    thread_.join();
  }

  // Runs `work` on the agent's thread, as the clipboard's owner.
  void Run(const std::function<void()>& work) {
    std::string error;
    std::function<void()> guarded = [&] {
      try {
        work();
      } catch (const std::exception& e) {
        error = e.what();
      }
    };
    ::SendMessageW(hwnd_, kRun, 0, reinterpret_cast<LPARAM>(&guarded));
    if (!error.empty()) throw std::runtime_error(error);
  }

  // One clipboard change; with a hold armed, true when the next viewer had
  // handled it before the clipboard was free again.
  bool Put(const Blocks& blocks, DWORD hold_ms = 0) {
    hold_ms_ = hold_ms;
    Run([&] {
      OpenClipboardSoon(hwnd_);
      ::EmptyClipboard();
      for (auto [format, data] : blocks) ::SetClipboardData(format, data);
      ::CloseClipboard();  // our own notice comes in here, if we lead the chain
    });
    return passed_while_held_;
  }

  // The notice the system sends while a window joins reports no change: it
  // is not passed on, or the next viewer would store the clipboard again.
  void Join() {
    Run([this] {
      joining_ = true;
      next_ = ::SetClipboardViewer(hwnd_);
      joining_ = false, joined_ = true;
    });
  }

  HWND hwnd() const { return hwnd_; }
  long notices() const { return notices_; }
  void Hang() { hang_ = true; }
  void Release() { hang_ = false, ::SetEvent(release_); }

 private:
  static constexpr UINT kRun = WM_APP + 1;

  void Pump() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &Agent::Proc;
    wc.lpszClassName = L"PwDriver";
    ::RegisterClassW(&wc);
    ::CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, this);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) ::DispatchMessageW(&msg);
  }

  void OnDrawClipboard(WPARAM wp, LPARAM lp) {
    if (joining_) return;
    if (hang_) ::WaitForSingleObject(release_, INFINITE);
    std::atomic<int> held{0};  // 1 open, 2 closed again
    std::thread locker;
    if (const DWORD ms = hold_ms_) {
      // Opened for a window: under Wine an open for none keeps out no other.
      locker = std::thread([ms, &held] {
        HWND w = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        OpenClipboardSoon(w);
        held = 1, ::Sleep(ms), held = 2;
        ::CloseClipboard();
        ::DestroyWindow(w);
      });
      while (held == 0) ::Sleep(1);
    }
    DWORD_PTR result = 0;
    if (next_) ::SendMessageTimeoutW(next_, WM_DRAWCLIPBOARD, wp, lp, SMTO_NORMAL, kPatienceMs, &result);
    passed_while_held_ = held == 1;
    if (locker.joinable()) locker.join();
    hold_ms_ = 0;
    ++notices_;
  }

  void OnChangeCbChain(WPARAM wp, LPARAM lp) {
    DWORD_PTR result = 0;
    if (reinterpret_cast<HWND>(wp) == next_) {
      next_ = reinterpret_cast<HWND>(lp);
    } else if (next_) {
      ::SendMessageTimeoutW(next_, WM_CHANGECBCHAIN, wp, lp, SMTO_NORMAL, kPatienceMs, &result);
    }
  }

  static LRESULT CALLBACK Proc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
      auto* self = static_cast<Agent*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
      ::SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
      self->hwnd_ = h;
    }
    auto* self = reinterpret_cast<Agent*>(::GetWindowLongPtrW(h, GWLP_USERDATA));
    switch (msg) {
      case kRun: (*reinterpret_cast<std::function<void()>*>(lp))(); return 0;
      case WM_DRAWCLIPBOARD: self->OnDrawClipboard(wp, lp); return 0;
      case WM_CHANGECBCHAIN: self->OnChangeCbChain(wp, lp); return 0;
      case WM_CLOSE:
        if (self->joined_) ::ChangeClipboardChain(h, self->next_);
        ::DestroyWindow(h);
        return 0;
      case WM_DESTROY: ::PostQuitMessage(0); return 0;
    }
    return ::DefWindowProcW(h, msg, wp, lp);
  }

  HANDLE release_;
  std::atomic<HWND> hwnd_{nullptr};
  HWND next_ = nullptr;
  bool joining_ = false, joined_ = false;
  std::atomic<bool> hang_{false}, passed_while_held_{false};
  std::atomic<DWORD> hold_ms_{0};
  std::atomic<long> notices_{0};
  std::thread thread_;  // last: it starts working at once
};

// Windows of a class and a title ("-": any) and a process (0: any): top-level
// ones (parent 0), message-only ones (-1) or a window's descendants.
Fields Find(const Fields& f) {
  struct Query {
    std::wstring cls, title;
    DWORD pid;
    Fields found;
  } q{Wide(f.at(2)), Wide(f.at(3)), static_cast<DWORD>(Arg(f, 4)), {}};
  WNDENUMPROC match = [](HWND h, LPARAM lp) -> BOOL {
    auto& q = *reinterpret_cast<Query*>(lp);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(h, &pid);
    if ((q.cls.empty() || ClassOf(h) == q.cls) && (q.title.empty() || CaptionOf(h) == q.title) &&
        (!q.pid || q.pid == pid)) {
      q.found.push_back(Num(h));
    }
    return TRUE;
  };
  const auto query = reinterpret_cast<LPARAM>(&q);
  if (Arg(f, 1) == 0) {
    ::EnumWindows(match, query);
  } else if (Arg(f, 1) == -1) {
    for (HWND h = nullptr; (h = ::FindWindowExW(HWND_MESSAGE, h, nullptr, nullptr));) match(h, query);
  } else {
    ::EnumChildWindows(Window(f, 1), match, query);
  }
  return q.found;
}

// A control by the program's own name for it ("ClipShow" 0), or by its id
// when the name is "-" (a message box's text and button).
Fields Child(const Fields& f) {
  std::pair<int, HWND> q{static_cast<int>(Arg(f, 3)), nullptr};
  if (f[2] != "-") {
    const auto control = pw::ControlNamed(f[2], q.first);
    if (!control) throw std::runtime_error("the program has no control " + f[2] + f[3]);
    q.first = pw::NumericId(*control);
  }
  ::EnumChildWindows(Window(f, 1), [](HWND h, LPARAM lp) -> BOOL {
    auto& q = *reinterpret_cast<std::pair<int, HWND>*>(lp);
    if (::GetDlgCtrlID(h) == q.first) q.second = h;
    return !q.second;
  }, reinterpret_cast<LPARAM>(&q));
  return {Num(q.second)};
}

// Whether it exists, is visible on screen, has its own visible flag, is
// enabled, is top-most; its process, outer rectangle and caption.
Fields Info(HWND h) {
  if (!::IsWindow(h)) return {"0"};
  RECT r{};
  ::GetWindowRect(h, &r);
  DWORD pid = 0;
  ::GetWindowThreadProcessId(h, &pid);
  return {"1", Num(::IsWindowVisible(h)), Num((::GetWindowLongPtrW(h, GWL_STYLE) & WS_VISIBLE) != 0),
          Num(::IsWindowEnabled(h)), Num((::GetWindowLongPtrW(h, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0),
          Num(pid), Num(r.left), Num(r.top), Num(r.right), Num(r.bottom), Hex(CaptionOf(h))};
}

LRESULT Send(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT timeout_ms = 5000) {
  DWORD_PTR result = 0;
  if (!::SendMessageTimeoutW(h, msg, wp, lp, SMTO_NORMAL, timeout_ms, &result)) {
    throw std::runtime_error("the window did not answer");
  }
  return static_cast<LRESULT>(result);
}

Fields Serve(Agent& agent, const Fields& f) {
  const std::string& c = f.at(0);
  if (c == "find") return Find(f);
  if (c == "child") return Child(f);
  if (c == "info") return Info(Window(f, 1));
  if (c == "send") return {Num(Send(Window(f, 1), Arg(f, 2), Arg(f, 3), Arg(f, 4), Arg(f, 5)))};
  if (c == "post") return {Num(::PostMessageW(Window(f, 1), Arg(f, 2), Arg(f, 3), Arg(f, 4)))};
  if (c == "text") {  // WM_GETTEXT, which also reads another process's edit control
    std::wstring text(static_cast<std::size_t>(Send(Window(f, 1), WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
    text.resize(Send(Window(f, 1), WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data())));
    return {Hex(text)};
  }
  if (c == "host") {  // the screen, and the names the program's windows go by
    namespace names = pw::win32;
    HDC screen = ::GetDC(nullptr);
    Fields out{Num(::GetSystemMetrics(SM_CXSCREEN)), Num(::GetSystemMetrics(SM_CYSCREEN)),
               Num(::GetDeviceCaps(screen, LOGPIXELSY)), Num(names::kTrayMessage)};
    ::ReleaseDC(nullptr, screen);
    for (auto* name : {names::kMainClass, names::kPreviewClass, names::kAboutClass, names::kOverlayClass}) {
      out.push_back(Hex(name));
    }
    return out;
  }
  if (c == "join") return agent.Join(), Fields{Num(agent.hwnd())};
  if (c == "notices") return {Num(agent.notices())};
  if (c == "hang") return agent.Hang(), Fields{};
  if (c == "release") return agent.Release(), Fields{};
  if (c == "put") {  // HOLD_MS [FORMAT BYTES]...: one change (see Agent::Put)
    Blocks blocks;
    for (std::size_t i = 2; i + 1 < f.size(); i += 2) blocks.emplace_back(FormatNamed(Wide(f[i])), GlobalOf(f[i + 1]));
    return {Num(agent.Put(blocks, static_cast<DWORD>(Arg(f, 1))))};
  }
  if (c == "get") {  // FORMAT: its bytes ("-": none) | no format: every format there
    Fields out;
    agent.Run([&] {
      OpenClipboardSoon(agent.hwnd());
      if (f.size() == 1) {
        for (UINT fmt = ::EnumClipboardFormats(0); fmt; fmt = ::EnumClipboardFormats(fmt)) out.push_back(Num(fmt));
      } else if (HANDLE h = ::GetClipboardData(FormatNamed(Wide(f[1])))) {
        out.push_back(Hex(std::string_view(static_cast<const char*>(::GlobalLock(h)), ::GlobalSize(h))));
        ::GlobalUnlock(h);
      } else {
        out.push_back("-");
      }
      ::CloseClipboard();
    });
    return out;
  }
  throw std::runtime_error("unknown command");
}

}  // namespace

int main() {
  Agent agent;
  for (std::string line; std::getline(std::cin, line) && line.rfind("quit", 0) != 0;) {
    std::istringstream words(line);
    Fields f;
    for (std::string w; words >> w;) f.push_back(w);
    std::string reply = "ok";
    try {
      for (const std::string& field : Serve(agent, f)) reply += " " + field;
    } catch (const std::exception& e) {
      reply = "err " + line.substr(0, line.find(' ')) + ": " + e.what();
    }
    std::printf("%s\n", reply.c_str());
    std::fflush(stdout);
  }
  std::printf("ok\n");
}
