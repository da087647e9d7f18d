// The viewer chain with real windows; between windows of one thread, messages arrive at once.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "platform/win32/clipboard_chain.h"
#include "platform/win32/system_clipboard.h"

namespace pw::win32 {
namespace {

// A hidden window in the chain: ours when it has a ClipboardChain, else an
// ordinary viewer that counts what it is told and keeps its own next viewer.
struct Viewer {
  explicit Viewer(ClipboardChain* ours = nullptr) : chain(ours) {
    ::SetWindowLongPtrW(hwnd.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    ::SetWindowLongPtrW(hwnd.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Procedure));
  }
  ~Viewer() { Leave(); }
  void Join() {
    if (chain) return chain->HookClipboard(hwnd.get());
    next = ::SetClipboardViewer(hwnd.get());  // its own notice, meanwhile, is not passed on
    joined = true, notices = 0;
  }
  void Leave() {
    if (chain) return chain->UnhookClipboard();
    if (std::exchange(joined, false)) ::ChangeClipboardChain(hwnd.get(), next);
  }
  static LRESULT CALLBACK Procedure(HWND h, UINT msg, WPARAM wparam, LPARAM lparam) {
    auto& self = *reinterpret_cast<Viewer*>(::GetWindowLongPtrW(h, GWLP_USERDATA));
    if (self.chain && self.chain->Handle(msg, wparam, lparam)) return 0;
    if (self.chain || (msg != WM_DRAWCLIPBOARD && msg != WM_CHANGECBCHAIN)) {
      return ::DefWindowProcW(h, msg, wparam, lparam);
    }
    ++(msg == WM_DRAWCLIPBOARD ? self.notices : self.chain_messages);
    if (msg == WM_CHANGECBCHAIN && reinterpret_cast<HWND>(wparam) == self.next) {
      self.next = reinterpret_cast<HWND>(lparam);  // its next leaves: the one after is next
    } else if (self.next) {
      ::SendMessageW(self.next, msg, wparam, lparam);
    }
    return 0;
  }

  ClipboardChain* chain;
  UniqueWindow hwnd{::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                      nullptr, nullptr)};
  HWND next = nullptr;
  bool joined = false;
  int notices = 0, chain_messages = 0;
};

class Chain : public ::testing::Test {
 protected:
  void Copy(std::u16string_view text) { ASSERT_TRUE(writer.PutText(text, {})); }
  Viewer other;  // another program's window, outside the chain
  SystemClipboard writer{other.hwnd.get()};
  int changes = 0;
  std::function<void()> on_change = [this] { ++changes; };
  ClipboardChain chain{[this] { on_change(); }};
  Viewer ours{&chain};
};

TEST_F(Chain, PassesNoticesOnAndKeepsTheViewersLinkedAsTheyLeave) {
  Viewer c, b, a, before;  // the chain: before, ours, a, b, c
  for (Viewer* v : {&c, &b, &a, &ours, &before}) v->Join();
  ASSERT_EQ(chain.NextViewer, a.hwnd.get());
  changes = 0;
  Copy(u"one");
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(a.notices + b.notices + c.notices, 3);
  const HWND after_c = c.next;
  c.Leave();  // told to `before`, and passed on down to the viewer it concerns
  EXPECT_EQ(b.next, after_c);
  a.Leave();  // concerns us: not passed on
  EXPECT_EQ(chain.NextViewer, b.hwnd.get());
  EXPECT_EQ(a.chain_messages, 1);
  ours.Leave();
  EXPECT_EQ(before.next, b.hwnd.get());
  Copy(u"two");
  ::SendMessageW(ours.hwnd.get(), WM_DRAWCLIPBOARD, 0, 0);  // a notice still on its way
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(b.notices, 2);
}

TEST_F(Chain, EachStateIsExaminedOnceAndNeverInsideAnEarlierRun) {
  int depth = 0, deepest = 0;
  on_change = [&] {
    deepest = std::max(deepest, ++depth);
    if (++changes == 2) Copy(u"written while handling");  // its notice comes in the middle
    --depth;
  };
  ours.Join();
  Copy(u"one");
  EXPECT_EQ(changes, 3);
  EXPECT_EQ(deepest, 1);
  ::SendMessageW(ours.hwnd.get(), WM_DRAWCLIPBOARD, 0, 0);  // passed on late by another viewer
  EXPECT_EQ(changes, 3);
}

}  // namespace
}  // namespace pw::win32
