// The real clipboard: texts and what other programs offer, and the viewer
// chain with real windows (between windows of one thread, messages arrive at
// once). Secret markers and a clipboard held open are shown end to end.
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
  // A header and, in place of the rows, a PNG file; JPEG's decoder alone reads one labelled JPEG.
  const BITMAPINFOHEADER carrier{sizeof carrier, 9, 7, 1, 0, BI_PNG, DWORD(png.size()), 0, 0, 0, 0};
  std::vector<std::uint8_t> png_dib(sizeof carrier), jpeg_label;
  std::memcpy(png_dib.data(), &carrier, sizeof carrier);
  png_dib.insert(png_dib.end(), png.begin(), png.end());
  (jpeg_label = png_dib)[16] = BI_JPEG;
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
      {"a DIB carrying a PNG file", {{CF_DIB, png_dib}}, translucent},
      {"a PNG file in a DIB that says JPEG", {{CF_DIB, jpeg_label}}, {}},
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

// A notice that comes while another program holds the clipboard open (Wine's own manager does,
// handing a large picture to X11) still finds our own picture: it needs no opening.
TEST_F(Clipboard, OurPictureIsKnownWhileAnotherProgramHoldsTheClipboardOpen) {
  const Picture ours = Pattern(5, 4);
  UniqueWindow other = HiddenWindow();
  ASSERT_TRUE(clipboard.PutPicture(ours) && ::OpenClipboard(other.get()));
  std::pair<TextRead, PictureRead> read;
  std::thread([&] { read = {clipboard.ReadText(), clipboard.ReadPicture()}; }).join();
  ::CloseClipboard();
  EXPECT_TRUE(read.first.status == ReadStatus::Ok && read.first.text.empty());
  EXPECT_EQ(read.second.picture, ours);
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
