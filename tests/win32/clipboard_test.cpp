// The real clipboard: texts, what other programs offer, content marked
// secret, a clipboard that another thread holds open, and the viewer chain
// with real windows (between windows of one thread, messages arrive at once).
#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "platform/dib.h"
#include "platform/win32/clipboard_chain.h"
#include "platform/win32/surface.h"
#include "platform/win32/system_clipboard.h"
#include "platform/win32/wic.h"
#include "support.h"

namespace pw::win32 {
namespace {

using namespace testing;

UINT Registered(const wchar_t* name) { return ::RegisterClipboardFormatW(name); }

class Clipboard : public ::testing::Test {
 protected:
  UniqueWindow owner = HiddenWindow();
  SystemClipboard clipboard{owner.get()};
};

TEST_F(Clipboard, TextRoundTripsWithItsFormattedVersionsAndAnotherProgramsEndsAtItsNul) {
  const RichText rich{"Version:0.9\r\n<b>h\xC3\xA9llo</b>", "{\\rtf1 h\\'e9llo}"};
  for (std::u16string text : {u"Hello, world", u"h\u00e9llo \u4e2d\u6587\r\nline", u""}) {
    for (const RichText& formatted : {RichText(), rich, RichText{"", rich.rtf}}) {
      ASSERT_TRUE(clipboard.PutText(text, formatted));
      const TextRead read = SystemClipboard(nullptr).ReadText();
      EXPECT_EQ(read.text, text);
      EXPECT_EQ(read.rich, text.empty() ? RichText() : formatted);
    }
  }
  ASSERT_TRUE(PutOnClipboard(owner.get(), {{CF_UNICODETEXT, Bytes(std::u16string(u"ab\0cd", 5))}}));
  EXPECT_EQ(clipboard.ReadText().text, u"ab");
}

TEST_F(Clipboard, PictureIsReadFromEachFormatOtherProgramsOffer) {
  const Picture opaque = Pattern(9, 7), translucent = Pattern(9, 7, true);
  const std::vector<std::uint8_t> png = *EncodePicture(translucent.bitmap(), ImageFile::Png);
  std::vector<std::uint8_t> short_dib = EncodePackedDib(opaque.bitmap());
  short_dib.pop_back();
  // A V5 header as browsers write it: top-down, masks with alpha, no colour table.
  BITMAPV5HEADER v5{};
  v5.bV5Size = sizeof v5, v5.bV5Width = 9, v5.bV5Height = -7, v5.bV5Planes = 1, v5.bV5BitCount = 32;
  v5.bV5Compression = BI_BITFIELDS, v5.bV5RedMask = 0xFF0000, v5.bV5GreenMask = 0xFF00;
  v5.bV5BlueMask = 0xFF, v5.bV5AlphaMask = 0xFF000000;
  std::vector<std::uint8_t> v5_dib(sizeof v5 + 9 * 7 * 4);
  std::memcpy(v5_dib.data(), &v5, sizeof v5);
  std::memcpy(v5_dib.data() + sizeof v5, translucent.bitmap().pixels().data(), 9 * 7 * 4);
  const struct {
    const char* name;
    Formats formats;
    Picture expected;  // none: a damaged DIB is no picture, whatever the system makes of it
  } cases[] = {
      {"DIB", {{CF_DIB, EncodePackedDib(translucent.bitmap())}}, translucent},
      {"DIBV5", {{CF_DIBV5, v5_dib}}, translucent},
      {"PNG alone, as from X11", {{Registered(L"PNG"), png}}, translucent},
      {"DIB and PNG", {{CF_DIB, EncodePackedDib(opaque.bitmap())}, {Registered(L"PNG"), png}}, opaque},
      {"a DIB one byte short", {{CF_DIB, short_dib}}, {}},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(PutOnClipboard(owner.get(), c.formats)) << c.name;
    const PictureRead read = clipboard.ReadPicture();
    EXPECT_EQ(read.status, ReadStatus::Ok) << c.name;
    EXPECT_TRUE(c.expected ? SamePixels(read.picture, c.expected) : read.picture.empty()) << c.name;
  }
  Dib32Header header = TopDown32(9, 7);
  UniqueBitmap bitmap(::CreateDIBitmap(WindowDc(nullptr).get(), &header.header, CBM_INIT,
                                       opaque.bitmap().pixels().data(), header.info(), DIB_RGB_COLORS));
  ASSERT_TRUE(::OpenClipboard(owner.get()) && ::EmptyClipboard());
  if (::SetClipboardData(CF_BITMAP, bitmap.get())) bitmap.release();
  ::CloseClipboard();
  EXPECT_TRUE(SamePixels(clipboard.ReadPicture().picture, opaque)) << "a bitmap handle";
}

TEST_F(Clipboard, SecretMarkersWithholdTextAndPicture) {
  const std::vector<std::uint8_t> no = {0, 0, 0, 0}, yes = {1, 0, 0, 0};
  const struct { const wchar_t* marker; std::vector<std::uint8_t> value; bool withheld; } cases[] = {
      {L"ExcludeClipboardContentFromMonitorProcessing", yes, true},
      {L"Clipboard Viewer Ignore", yes, true},
      {L"CanIncludeInClipboardHistory", no, true},
      {L"CanIncludeInClipboardHistory", yes, false}};
  for (const auto& c : cases) {
    ASSERT_TRUE(PutOnClipboard(owner.get(), {{CF_UNICODETEXT, Bytes(u"secret")},
                                             {CF_DIB, EncodePackedDib(Pattern(4, 4).bitmap())},
                                             {Registered(c.marker), c.value}}));
    const TextRead text = clipboard.ReadText();
    const PictureRead picture = clipboard.ReadPicture();
    const ReadStatus expected = c.withheld ? ReadStatus::Withheld : ReadStatus::Ok;
    EXPECT_TRUE(text.status == expected && picture.status == expected) << c.withheld;
    EXPECT_EQ(text.text.empty() && picture.picture.empty(), c.withheld);
  }
}

// Waits handling this thread's messages: Wine's clipboard manager, which
// looks at each new content, may need an answer from our windows meanwhile.
bool Wait(HANDLE event) {
  for (ULONGLONG end = ::GetTickCount64() + 10000; ::GetTickCount64() < end;) {
    if (::MsgWaitForMultipleObjects(1, &event, FALSE, 50, QS_ALLINPUT) == WAIT_OBJECT_0) return true;
    for (MSG msg; ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);) ::DispatchMessageW(&msg);
  }
  return false;
}

// Another program's thread, holding the clipboard open until told to let go.
struct Holder {
  UniqueHandle held{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  UniqueHandle release{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  UniqueHandle closed{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  std::thread thread{[this] {
    UniqueWindow window = HiddenWindow();
    for (int i = 0; i < 500 && !::OpenClipboard(window.get()); ++i) ::Sleep(10);
    ::SetEvent(held.get());
    ::WaitForSingleObject(release.get(), 30000);
    ::CloseClipboard();
    ::SetEvent(closed.get());
  }};
  bool Held() { return Wait(held.get()) && ::GetOpenClipboardWindow() != nullptr; }
  void LetGo() {
    ::SetEvent(release.get());
    Wait(closed.get());
  }
  ~Holder() {
    LetGo();
    thread.join();
  }
};

TEST_F(Clipboard, AHolderIsWaitedOutWithinTheRetriesAndPastThemNothingChanges) {
  ASSERT_TRUE(clipboard.PutText(u"kept", {}));
  {
    Holder holder;
    ASSERT_TRUE(holder.Held());
    EXPECT_EQ(clipboard.ReadText().status, ReadStatus::Locked);
    EXPECT_EQ(clipboard.ReadPicture().status, ReadStatus::Locked);
    EXPECT_FALSE(clipboard.PutText(u"new", {}) || clipboard.Clear() || clipboard.PutPicture(Pattern(3, 3)));
  }
  Holder holder;
  ASSERT_TRUE(holder.Held());
  int busy = 0;  // ten tries in a tenth of a second, and the holder lets go after the second
  SystemClipboard patient(owner.get(), {.on_busy = [&](int failed) {
                                          if ((busy = failed) == 2) holder.LetGo();
                                        }});
  EXPECT_EQ(patient.ReadText().text, u"kept");
  EXPECT_EQ(busy, 2);
}

// A hidden window in the chain: ours when it has a ClipboardChain, else an
// ordinary viewer that counts what it is told and keeps its own next viewer.
struct Viewer {
  explicit Viewer(ClipboardChain* ours = nullptr) : chain(ours) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &Procedure, wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"PastewrightTestViewer";
    ::RegisterClassW(&wc);
    hwnd.reset(::CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                 wc.hInstance, nullptr));
    ::SetWindowLongPtrW(hwnd.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~Viewer() { Leave(); }
  void Join() {
    if (chain) return chain->HookClipboard(hwnd.get());
    joining = joined = true;  // the notice a joining viewer gets is its own
    next = ::SetClipboardViewer(hwnd.get());
    joining = false;
    notices = 0;
  }
  void Leave() {
    if (chain) return chain->UnhookClipboard();
    if (std::exchange(joined, false)) ::ChangeClipboardChain(hwnd.get(), next);
  }
  static LRESULT CALLBACK Procedure(HWND h, UINT msg, WPARAM wparam, LPARAM lparam) {
    auto* self = reinterpret_cast<Viewer*>(::GetWindowLongPtrW(h, GWLP_USERDATA));
    if (self && self->chain && self->chain->Handle(msg, wparam, lparam)) return 0;
    if (self && !self->chain && msg == WM_DRAWCLIPBOARD) {
      ++self->notices;
      if (!self->joining && self->next) ::SendMessageW(self->next, msg, wparam, lparam);
    } else if (self && !self->chain && msg == WM_CHANGECBCHAIN) {
      ++self->chain_messages;
      if (reinterpret_cast<HWND>(wparam) == self->next) {
        self->next = reinterpret_cast<HWND>(lparam);
      } else if (self->next) {
        ::SendMessageW(self->next, msg, wparam, lparam);
      }
    }
    return ::DefWindowProcW(h, msg, wparam, lparam);
  }

  ClipboardChain* chain;
  UniqueWindow hwnd;
  HWND next = nullptr;
  bool joining = false, joined = false;
  int notices = 0, chain_messages = 0;
};

class Chain : public ::testing::Test {
 protected:
  void Copy(std::u16string_view text) {
    ASSERT_TRUE(PutOnClipboard(writer.get(), {{CF_UNICODETEXT, Bytes(text)}}));
  }
  UniqueWindow writer = HiddenWindow();
  int changes = 0;
  ClipboardChain chain{[this] { ++changes; }};
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
  ClipboardChain writing([&] {
    deepest = std::max(deepest, ++depth);
    if (++changes == 2) Copy(u"written while handling");  // its notice comes in the middle
    --depth;
  });
  Viewer viewer(&writing);
  viewer.Join();
  Copy(u"one");
  EXPECT_EQ(changes, 3);
  EXPECT_EQ(deepest, 1);
  ::SendMessageW(viewer.hwnd.get(), WM_DRAWCLIPBOARD, 0, 0);  // passed on late by another viewer
  EXPECT_EQ(changes, 3);
}

}  // namespace
}  // namespace pw::win32
