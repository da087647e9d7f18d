// The real clipboard: texts and what other programs offer, and the viewer
// chain with real windows (between windows of one thread, messages arrive at
// once). Secret markers and a clipboard held open are shown end to end.
#include <algorithm>
#include <functional>

#include "platform/win32/clipboard_chain.h"
#include "platform/win32/surface.h"
#include "support.h"

namespace pw::win32 {
namespace {

// The bytes of `count` objects from `data` on.
template <typename T>
std::vector<std::uint8_t> Bytes(const T* data, std::size_t count = 1) {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(data);
  return {bytes, bytes + sizeof(T) * count};
}

std::vector<std::uint8_t> Joined(std::vector<std::uint8_t> a, const std::vector<std::uint8_t>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

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
  ASSERT_TRUE(PutOnClipboard(owner.get(), {{CF_UNICODETEXT, Bytes(u"ab\0cd", 6)}}));
  EXPECT_EQ(clipboard.ReadText().text, u"ab");
}

TEST_F(Clipboard, PictureIsReadFromEachFormatOtherProgramsOffer) {
  const Picture opaque = Pattern(9, 7), translucent = Pattern(9, 7, true);
  const std::vector<std::uint8_t> png = *EncodePicture(translucent.bitmap(), ImageFile::Png),
                                  dib = EncodePackedDib(opaque.bitmap());
  // A V5 header as browsers write it: top-down, masks with alpha, no colour table.
  const BITMAPV5HEADER v5{sizeof v5, 9, -7, 1, 32, BI_BITFIELDS, 0, 0, 0, 0, 0, 0xFF0000, 0xFF00, 0xFF,
                          0xFF000000, 0, {}, 0, 0, 0, 0, 0, 0, 0};
  // A header and, in place of the rows, a PNG file; JPEG's decoder alone reads one labelled JPEG.
  const BITMAPINFOHEADER carrier{sizeof carrier, 9, 7, 1, 0, BI_PNG, DWORD(png.size()), 0, 0, 0, 0};
  std::vector<std::uint8_t> png_dib = Joined(Bytes(&carrier), png), jpeg_label = png_dib;
  jpeg_label[16] = BI_JPEG;
  // Expecting none: a damaged DIB is no picture, whatever the system makes of it.
  const struct { const char* name; Formats formats; Picture expected; } cases[] = {
      {"DIBV5", {{CF_DIBV5, Joined(Bytes(&v5), Bytes(translucent.bitmap().pixels().data(), 63))}},
       translucent},
      {"PNG alone, as from X11", {{PngFormat(), png}}, translucent},
      {"DIB and PNG", {{CF_DIB, dib}, {PngFormat(), png}}, opaque},
      {"a DIB one byte short", {{CF_DIB, {dib.begin(), dib.end() - 1}}}, {}},
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
  HBITMAP bitmap = ::CreateDIBitmap(WindowDc(nullptr).get(), &header.header, CBM_INIT,
                                    opaque.bitmap().pixels().data(), header.info(), DIB_RGB_COLORS);
  ASSERT_TRUE(::OpenClipboard(owner.get()) && ::EmptyClipboard());
  ::SetClipboardData(CF_BITMAP, bitmap);  // the clipboard's from now on
  ::CloseClipboard();
  EXPECT_TRUE(SamePixels(clipboard.ReadPicture().picture, opaque)) << "a bitmap handle";
}

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
    next = ::SetClipboardViewer(hwnd.get());  // the notice it gets meanwhile is its own
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
  UniqueWindow hwnd = HiddenWindow();
  HWND next = nullptr;
  bool joined = false;
  int notices = 0, chain_messages = 0;
};

class Chain : public ::testing::Test {
 protected:
  void Copy(const std::u16string& text) {
    ASSERT_TRUE(PutOnClipboard(writer.get(), {{CF_UNICODETEXT, Bytes(text.c_str(), text.size() + 1)}}));
  }
  UniqueWindow writer = HiddenWindow();
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
