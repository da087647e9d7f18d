// Finding windows and controls, reading their state, and pressing them.
#include <string>
#include <vector>

#include "commands.h"
#include "protocol.h"

namespace pwdriver {
namespace {

constexpr UINT kGetTextTimeoutMs = 5000;  // also for sent messages
constexpr DWORD kPollMs = 20;

std::wstring ClassOf(HWND hwnd) {
  wchar_t name[256] = {};
  int n = ::GetClassNameW(hwnd, name, 256);
  return std::wstring(name, n > 0 ? static_cast<std::size_t>(n) : 0);
}

std::wstring CaptionOf(HWND hwnd) {
  int length = ::GetWindowTextLengthW(hwnd);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  int n = ::GetWindowTextW(hwnd, text.data(), length + 1);
  text.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
  return text;
}

DWORD ProcessOf(HWND hwnd) {
  DWORD pid = 0;
  ::GetWindowThreadProcessId(hwnd, &pid);
  return pid;
}

// Top-level windows, hidden ones included, matching every filter that is set.
struct TopLevelFilter {
  std::wstring title;
  std::wstring cls;
  DWORD pid = 0;
  bool any_title = true;
  bool any_class = true;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectTopLevel(HWND hwnd, LPARAM lp) {
  auto* f = reinterpret_cast<TopLevelFilter*>(lp);
  if (!f->any_title && CaptionOf(hwnd) != f->title) return TRUE;
  if (!f->any_class && ClassOf(hwnd) != f->cls) return TRUE;
  if (f->pid && ProcessOf(hwnd) != f->pid) return TRUE;
  f->found.push_back(hwnd);
  return TRUE;
}

// Arguments: title, class, pid; "*" (or a missing field) for the title or
// class and 0 for the pid match anything.
TopLevelFilter FilterFrom(const Args& args) {
  TopLevelFilter f;
  std::string title = ArgOr(args, 0, "*");
  std::string cls = ArgOr(args, 1, "*");
  f.any_title = title == "*";
  f.any_class = cls == "*";
  f.title = Widen(title);
  f.cls = Widen(cls);
  f.pid = static_cast<DWORD>(ArgIntOr(args, 2, 0));
  return f;
}

std::vector<HWND> TopLevel(TopLevelFilter f) {
  ::EnumWindows(&CollectTopLevel, reinterpret_cast<LPARAM>(&f));
  return f.found;
}

struct ChildSearch {
  int id = 0;
  HWND found = nullptr;
};

BOOL CALLBACK FindChildById(HWND hwnd, LPARAM lp) {
  auto* s = reinterpret_cast<ChildSearch*>(lp);
  if (::GetDlgCtrlID(hwnd) == s->id) {
    s->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK CollectChild(HWND hwnd, LPARAM lp) {
  reinterpret_cast<std::vector<HWND>*>(lp)->push_back(hwnd);
  return TRUE;
}

Reply RectReply(const RECT& r) {
  return {Num(r.left), Num(r.top), Num(r.right), Num(r.bottom)};
}

LPARAM PointParam(long long x, long long y) {
  return MAKELPARAM(static_cast<WORD>(static_cast<short>(x)), static_cast<WORD>(static_cast<short>(y)));
}

void Post(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (!::PostMessageW(hwnd, msg, wp, lp)) throw CommandError("PostMessage failed");
}

}  // namespace

void AddWindowCommands(CommandTable& t) {
  // find TITLE [CLASS] [PID] [TIMEOUT_MS]: the first matching top-level window,
  // waiting up to the timeout; "0" when there is none.
  t["find"] = [](const Args& a) {
    const DWORD timeout = static_cast<DWORD>(ArgIntOr(a, 3, 0));
    const DWORD start = ::GetTickCount();
    for (;;) {
      std::vector<HWND> found = TopLevel(FilterFrom(a));
      if (!found.empty()) return Reply{WindowNum(found.front())};
      if (::GetTickCount() - start >= timeout) return Reply{"0"};
      ::Sleep(kPollMs);
    }
  };
  // find_all TITLE [CLASS] [PID]: every matching top-level window.
  t["find_all"] = [](const Args& a) {
    Reply r;
    for (HWND hwnd : TopLevel(FilterFrom(a))) r.push_back(WindowNum(hwnd));
    return r;
  };
  // child PARENT ID: the descendant with that control id, "0" when none.
  t["child"] = [](const Args& a) {
    ChildSearch s{static_cast<int>(ArgInt(a, 1))};
    ::EnumChildWindows(ArgWindow(a, 0), &FindChildById, reinterpret_cast<LPARAM>(&s));
    return Reply{WindowNum(s.found)};
  };
  // children PARENT: every descendant as "hwnd id class".
  t["children"] = [](const Args& a) {
    std::vector<HWND> all;
    ::EnumChildWindows(ArgWindow(a, 0), &CollectChild, reinterpret_cast<LPARAM>(&all));
    Reply r;
    for (HWND hwnd : all) {
      r.push_back(WindowNum(hwnd) + " " + Num(::GetDlgCtrlID(hwnd)) + " " + Narrow(ClassOf(hwnd)));
    }
    return r;
  };
  // describe HWND: class, caption, visible, enabled, pid, parent.
  t["describe"] = [](const Args& a) {
    HWND hwnd = ArgWindow(a, 0);
    return Reply{Narrow(ClassOf(hwnd)), Narrow(CaptionOf(hwnd)), ::IsWindowVisible(hwnd) ? "1" : "0",
                 ::IsWindowEnabled(hwnd) ? "1" : "0", Num(ProcessOf(hwnd)),
                 WindowNum(::GetParent(hwnd))};
  };
  // message_windows [CLASS]: message-only windows, as "hwnd class".
  t["message_windows"] = [](const Args& a) {
    const std::wstring cls = Widen(ArgOr(a, 0, ""));
    Reply r;
    for (HWND hwnd = nullptr;
         (hwnd = ::FindWindowExW(HWND_MESSAGE, hwnd, cls.empty() ? nullptr : cls.c_str(), nullptr));) {
      r.push_back(WindowNum(hwnd) + " " + Narrow(ClassOf(hwnd)));
    }
    return r;
  };
  t["exists"] = [](const Args& a) {
    HWND hwnd = reinterpret_cast<HWND>(static_cast<std::intptr_t>(ArgInt(a, 0)));
    return Reply{::IsWindow(hwnd) ? "1" : "0"};
  };
  // Caption by GetWindowTextW: buttons, statics, windows.
  t["caption"] = [](const Args& a) { return Reply{Narrow(CaptionOf(ArgWindow(a, 0)))}; };
  // Text by WM_GETTEXT, which also reads an edit control of another process.
  t["gettext"] = [](const Args& a) {
    HWND hwnd = ArgWindow(a, 0);
    DWORD_PTR length = 0;
    if (!::SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, kGetTextTimeoutMs, &length)) {
      throw CommandError("the window did not answer WM_GETTEXTLENGTH");
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!::SendMessageTimeoutW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                               SMTO_NORMAL, kGetTextTimeoutMs, &copied)) {
      throw CommandError("the window did not answer WM_GETTEXT");
    }
    text.resize(copied);
    return Reply{Narrow(text)};
  };
  // visible HWND: on screen, it and its parents; "0" also for a window that is gone.
  t["visible"] = [](const Args& a) {
    HWND hwnd = reinterpret_cast<HWND>(static_cast<std::intptr_t>(ArgInt(a, 0)));
    return Reply{::IsWindowVisible(hwnd) ? "1" : "0"};
  };
  // shown HWND: the window's own visible flag, also while its parent is hidden.
  t["shown"] = [](const Args& a) {
    return Reply{(::GetWindowLongPtrW(ArgWindow(a, 0), GWL_STYLE) & WS_VISIBLE) ? "1" : "0"};
  };
  t["enabled"] = [](const Args& a) { return Reply{::IsWindowEnabled(ArgWindow(a, 0)) ? "1" : "0"}; };
  // Outer rectangle in screen pixels: left top right bottom.
  t["rect"] = [](const Args& a) {
    RECT r{};
    ::GetWindowRect(ArgWindow(a, 0), &r);
    return RectReply(r);
  };
  // Client area in screen pixels: left top right bottom.
  t["client"] = [](const Args& a) {
    HWND hwnd = ArgWindow(a, 0);
    RECT r{};
    ::GetClientRect(hwnd, &r);
    ::MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return RectReply(r);
  };
  t["topmost"] = [](const Args& a) {
    LONG_PTR ex = ::GetWindowLongPtrW(ArgWindow(a, 0), GWL_EXSTYLE);
    return Reply{(ex & WS_EX_TOPMOST) ? "1" : "0"};
  };
  t["style"] = [](const Args& a) {
    HWND hwnd = ArgWindow(a, 0);
    return Reply{Num(::GetWindowLongPtrW(hwnd, GWL_STYLE) & 0xffffffff),
                 Num(::GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & 0xffffffff)};
  };
  t["pid"] = [](const Args& a) { return Reply{Num(ProcessOf(ArgWindow(a, 0)))}; };
  // press BUTTON: posted, so a modal box the click opens never blocks us.
  t["press"] = [](const Args& a) {
    Post(ArgWindow(a, 0), BM_CLICK, 0, 0);
    return Reply{};
  };
  // lclick HWND [X Y]: left button down and up at a client point (default:
  // the centre), posted to the window itself.
  t["lclick"] = [](const Args& a) {
    HWND hwnd = ArgWindow(a, 0);
    RECT r{};
    ::GetClientRect(hwnd, &r);
    LPARAM at = PointParam(ArgIntOr(a, 1, r.right / 2), ArgIntOr(a, 2, r.bottom / 2));
    Post(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
    Post(hwnd, WM_LBUTTONUP, 0, at);
    return Reply{};
  };
  // command PARENT CONTROL: WM_COMMAND/BN_CLICKED from a control to its parent.
  t["command"] = [](const Args& a) {
    HWND control = ArgWindow(a, 0);
    int id = ::GetDlgCtrlID(control);
    Post(::GetParent(control), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(control));
    return Reply{};
  };
  // post HWND MSG WPARAM LPARAM
  t["post"] = [](const Args& a) {
    Post(ArgWindow(a, 0), static_cast<UINT>(ArgInt(a, 1)), static_cast<WPARAM>(ArgInt(a, 2)),
         static_cast<LPARAM>(ArgInt(a, 3)));
    return Reply{};
  };
  // send HWND MSG WPARAM LPARAM [TIMEOUT_MS]: sent, so the reply comes once it
  // is handled.
  t["send"] = [](const Args& a) {
    DWORD_PTR result = 0;
    const UINT timeout = static_cast<UINT>(ArgIntOr(a, 4, kGetTextTimeoutMs));
    if (!::SendMessageTimeoutW(ArgWindow(a, 0), static_cast<UINT>(ArgInt(a, 1)),
                               static_cast<WPARAM>(ArgInt(a, 2)), static_cast<LPARAM>(ArgInt(a, 3)),
                               SMTO_NORMAL, timeout, &result)) {
      throw CommandError("the window did not answer");
    }
    return Reply{Num(static_cast<long long>(result))};
  };
  t["close"] = [](const Args& a) {
    Post(ArgWindow(a, 0), WM_CLOSE, 0, 0);
    return Reply{};
  };
}

}  // namespace pwdriver
