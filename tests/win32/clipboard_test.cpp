// The real clipboard, under Wine: reads, writes, other programs' formats,
// secret markers, and a clipboard that another thread holds open.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32/clipboard.h"
#include "platform/win32/dib.h"
#include "platform/win32/wic.h"
#include "test_pictures.h"
#include "win32_test_support.h"

namespace pw::win32 {
namespace {

using namespace std::chrono_literals;
using testing::DifferingPixels;
using testing::MessageWindow;
using testing::Pattern;
using testing::PutOnClipboard;
using testing::RawFormat;
using testing::RegisteredFormat;
using testing::Utf16Bytes;
using testing::WaitPumping;

class ClipboardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(owner_.get());
    clipboard_.set_owner(owner_.get());
  }
  MessageWindow owner_;
  Win32Clipboard clipboard_;
};

TEST_F(ClipboardTest, TextGoesOnAndComesBackExactly) {
  for (const std::u16string text : {u"Hello, world", u"h\u00e9llo \u4e2d\u6587", u"a\r\nb\tc", u""}) {
    ASSERT_TRUE(clipboard_.SetText(text));
    const TextRead read = Win32Clipboard().ReadText();
    EXPECT_EQ(read.status, ClipStatus::Ok);
    EXPECT_EQ(read.text, text);
  }
}

TEST_F(ClipboardTest, ClearedClipboardHoldsNeitherTextNorPicture) {
  ASSERT_TRUE(clipboard_.SetText(u"something"));
  ASSERT_TRUE(clipboard_.Clear());
  const TextRead text = clipboard_.ReadText();
  EXPECT_EQ(text.status, ClipStatus::Ok);
  EXPECT_EQ(text.text, u"");
  const PictureRead picture = clipboard_.ReadPicture();
  EXPECT_EQ(picture.status, ClipStatus::Ok);
  EXPECT_TRUE(picture.picture.empty());
}

TEST(ClipboardText, EndsAtFirstNulOrWithItsMemoryBlock) {
  std::vector<std::uint8_t> odd = Utf16Bytes(u"abc", false);
  odd.push_back('d');  // half a character at the end
  const struct {
    const char* name;
    std::vector<std::uint8_t> block;
    std::u16string expected;
  } cases[] = {
      {"terminated", Utf16Bytes(u"abc", true), u"abc"},
      {"no terminating NUL", Utf16Bytes(u"abc", false), u"abc"},
      {"NUL inside", Utf16Bytes(std::u16string(u"ab\0cd", 5), true), u"ab"},
      {"only a NUL", Utf16Bytes(u"", true), u""},
      {"empty block", {}, u""},
      {"odd byte count", odd, u"abc"},
      {"beyond the basic plane", Utf16Bytes(u"\U0001F600!", false), u"\U0001F600!"},
  };
  for (const auto& c : cases) EXPECT_EQ(TextFromBlock(c.block), c.expected) << c.name;
}

TEST_F(ClipboardTest, TextFromAnotherProgramEndsAtItsFirstNul) {
  ASSERT_TRUE(PutOnClipboard(
      owner_.get(), {{CF_UNICODETEXT, Utf16Bytes(std::u16string(u"ab\0cd", 5), true)}}));
  const TextRead read = clipboard_.ReadText();
  EXPECT_EQ(read.status, ClipStatus::Ok);
  EXPECT_EQ(read.text, u"ab");
}

TEST_F(ClipboardTest, SecretMarkersWithholdTextAndPicture) {
  const std::vector<std::uint8_t> dib = EncodePackedDib(Pattern(4, 4, false).bitmap());
  // A DWORD: 0 = keep out of histories, 1 = allowed. The other two markers
  // count by their presence alone.
  const std::vector<std::uint8_t> zero(4, 0), one = {1, 0, 0, 0};
  const struct {
    const char* name;
    const wchar_t* marker;
    std::vector<std::uint8_t> value;
    ClipStatus expected;
  } cases[] = {
      {"exclude", L"ExcludeClipboardContentFromMonitorProcessing", one, ClipStatus::Withheld},
      {"viewer ignore", L"Clipboard Viewer Ignore", one, ClipStatus::Withheld},
      {"no history", L"CanIncludeInClipboardHistory", zero, ClipStatus::Withheld},
      {"history allowed", L"CanIncludeInClipboardHistory", one, ClipStatus::Ok},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(PutOnClipboard(owner_.get(), {{CF_UNICODETEXT, Utf16Bytes(u"password", true)},
                                              {CF_DIB, dib},
                                              {RegisteredFormat(c.marker), c.value}}));
    const TextRead text = clipboard_.ReadText();
    EXPECT_EQ(text.status, c.expected) << c.name;
    EXPECT_EQ(text.text, c.expected == ClipStatus::Ok ? u"password" : u"") << c.name;
    const PictureRead picture = clipboard_.ReadPicture();
    EXPECT_EQ(picture.status, c.expected) << c.name;
    EXPECT_EQ(picture.picture.empty(), c.expected != ClipStatus::Ok) << c.name;
  }
}

TEST_F(ClipboardTest, PictureGoesOnAsDibAndPngAndComesBackWithItsPixels) {
  const Picture source = Pattern(33, 21, /*alpha=*/true, 120.0);
  ASSERT_TRUE(clipboard_.SetPicture(source));
  EXPECT_TRUE(::IsClipboardFormatAvailable(CF_DIB));
  EXPECT_TRUE(::IsClipboardFormatAvailable(RegisteredFormat(L"PNG")));

  // Another reader decodes what is really there.
  const PictureRead fresh = Win32Clipboard().ReadPicture();
  ASSERT_EQ(fresh.status, ClipStatus::Ok);
  ASSERT_FALSE(fresh.picture.empty());
  EXPECT_FALSE(fresh.picture == source);
  EXPECT_EQ(DifferingPixels(fresh.picture.bitmap(), source.bitmap()), 0u);
  EXPECT_EQ(fresh.picture.bitmap().dpi_x(), 120.0);

  // The writer gets its own object back while the clipboard is unchanged...
  EXPECT_TRUE(clipboard_.ReadPicture().picture == source);
  // ...and not after someone else wrote the same formats.
  ASSERT_TRUE(PutOnClipboard(owner_.get(), {{CF_DIB, EncodePackedDib(Pattern(5, 5, false).bitmap())}}));
  const PictureRead other = clipboard_.ReadPicture();
  ASSERT_FALSE(other.picture.empty());
  EXPECT_FALSE(other.picture == source);
  EXPECT_EQ(other.picture.bitmap().width(), 5);
}

TEST_F(ClipboardTest, ReadsPictureFromEachFormatOtherProgramsOffer) {
  const Picture opaque = Pattern(9, 7, false);
  const Picture translucent = Pattern(9, 7, true);
  const auto png = EncodePicture(translucent.bitmap(), ImageFile::Png);
  ASSERT_TRUE(png.has_value());

  struct Case {
    const char* name;
    std::vector<RawFormat> formats;
    const Picture* expected;
  };
  const Case cases[] = {
      {"DIB", {{CF_DIB, EncodePackedDib(translucent.bitmap())}}, &translucent},
      {"PNG only, as from X11", {{RegisteredFormat(L"PNG"), *png}}, &translucent},
      {"DIB before PNG", {{CF_DIB, EncodePackedDib(opaque.bitmap())}, {RegisteredFormat(L"PNG"), *png}},
       &opaque},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(PutOnClipboard(owner_.get(), c.formats)) << c.name;
    const PictureRead read = Win32Clipboard().ReadPicture();
    EXPECT_EQ(read.status, ClipStatus::Ok) << c.name;
    ASSERT_FALSE(read.picture.empty()) << c.name;
    EXPECT_EQ(DifferingPixels(read.picture.bitmap(), c.expected->bitmap()), 0u) << c.name;
  }
}

TEST_F(ClipboardTest, ReadsPictureFromABitmapHandle) {
  const Picture source = Pattern(13, 6, false);
  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = 13;
  header.biHeight = -6;
  header.biPlanes = 1;
  header.biBitCount = 32;
  header.biCompression = BI_RGB;
  WindowDc screen(nullptr);
  UniqueBitmap bitmap(::CreateDIBitmap(screen.get(), &header, CBM_INIT,
                                       source.bitmap().pixels().data(),
                                       reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS));
  ASSERT_TRUE(bitmap);
  ASSERT_TRUE(::OpenClipboard(owner_.get()));
  ::EmptyClipboard();
  if (::SetClipboardData(CF_BITMAP, bitmap.get())) bitmap.release();
  ::CloseClipboard();
  ASSERT_FALSE(bitmap) << "the clipboard did not take the bitmap";

  const PictureRead read = clipboard_.ReadPicture();
  EXPECT_EQ(read.status, ClipStatus::Ok);
  ASSERT_FALSE(read.picture.empty());
  EXPECT_EQ(DifferingPixels(read.picture.bitmap(), source.bitmap()), 0u);
}

TEST_F(ClipboardTest, MalformedDibIsNoPicture) {
  std::vector<std::uint8_t> dib = EncodePackedDib(Pattern(64, 64, false).bitmap());
  dib.resize(dib.size() / 2);  // rows cut off
  ASSERT_TRUE(PutOnClipboard(owner_.get(), {{CF_DIB, dib}}));
  const PictureRead read = clipboard_.ReadPicture();
  EXPECT_EQ(read.status, ClipStatus::Ok);
  EXPECT_TRUE(read.picture.empty());
}

// A top-level window in the viewer chain that reads the clipboard the way the
// program does: with the same Win32Clipboard, from WM_DRAWCLIPBOARD.
class Viewer {
 public:
  explicit Viewer(Win32Clipboard& clipboard) : clipboard_(clipboard) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &Viewer::Proc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"PastewrightTestViewer";
    ::RegisterClassW(&wc);
    hwnd_ = ::CreateWindowExW(0, wc.lpszClassName, L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                              nullptr, wc.hInstance, this);
    next_ = ::SetClipboardViewer(hwnd_);
    Pump(std::chrono::steady_clock::now());  // the notice a new viewer gets at once
    reads_.clear();
  }
  ~Viewer() {
    ::ChangeClipboardChain(hwnd_, next_);
    ::DestroyWindow(hwnd_);
  }
  HWND hwnd() const { return hwnd_; }

  // Handles messages until a notification read gave `picture`, for at most
  // 5 s; the reads made so far.
  const std::vector<PictureRead>& WaitForRead(const Picture& picture) {
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (!Seen(picture) && std::chrono::steady_clock::now() < deadline) Pump(deadline);
    return reads_;
  }
  bool Seen(const Picture& picture) const {
    for (const PictureRead& r : reads_) {
      if (r.status == ClipStatus::Ok && r.picture == picture) return true;
    }
    return false;
  }

 private:
  void Pump(std::chrono::steady_clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE,
                                static_cast<DWORD>(left.count() > 0 ? left.count() : 0),
                                QS_ALLINPUT);
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
  }

  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
    if (msg == WM_NCCREATE) {
      ::SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(
                              reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams));
    }
    auto* self = reinterpret_cast<Viewer*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self && msg == WM_DRAWCLIPBOARD) {
      self->reads_.push_back(self->clipboard_.ReadPicture());
      if (self->next_) ::SendMessageW(self->next_, msg, wparam, lparam);
      return 0;
    }
    if (self && msg == WM_CHANGECBCHAIN) {
      if (reinterpret_cast<HWND>(wparam) == self->next_) {
        self->next_ = reinterpret_cast<HWND>(lparam);
      } else if (self->next_) {
        ::SendMessageW(self->next_, msg, wparam, lparam);
      }
      return 0;
    }
    return ::DefWindowProcW(hwnd, msg, wparam, lparam);
  }

  Win32Clipboard& clipboard_;
  HWND hwnd_ = nullptr;
  HWND next_ = nullptr;
  std::vector<PictureRead> reads_;
};

TEST(ClipboardViewer, OwnPictureReadOnItsNotificationIsTheSameObject) {
  Win32Clipboard clipboard;
  Viewer viewer(clipboard);
  ASSERT_TRUE(viewer.hwnd());
  clipboard.set_owner(viewer.hwnd());

  const Picture picture = Pattern(40, 30, false);
  ASSERT_TRUE(clipboard.SetPicture(picture));
  const std::vector<PictureRead>& reads = viewer.WaitForRead(picture);
  EXPECT_TRUE(viewer.Seen(picture)) << reads.size() << " notifications, none gave the picture";
}

// Holds the clipboard open from another thread, as another program would,
// until told to let go. This thread keeps handling its messages while it
// waits for the holder: Wine's clipboard manager may need an answer from it
// before the holder's open or close completes.
class ClipboardHolder {
 public:
  ClipboardHolder() : thread_([this] { Run(); }) {
    held_ = WaitPumping(opened_.get(), 10000) && open_succeeded_;
  }
  ~ClipboardHolder() {
    Release();
    thread_.join();
  }
  bool held() const { return held_; }
  // Lets go and waits (bounded) until the clipboard is closed again.
  void Release() {
    ::SetEvent(release_.get());
    WaitPumping(closed_.get(), 10000);
  }

 private:
  void Run() {
    {
      // Opened for a window of this thread, so that no other thread's open
      // can pass for the same owner's.
      MessageWindow window;
      OpenClipboardScope scope(window.get(), ClipboardRetry{.tries = 1});
      open_succeeded_ = scope.opened();
      ::SetEvent(opened_.get());
      ::WaitForSingleObject(release_.get(), 30000);
    }
    ::SetEvent(closed_.get());
  }

  UniqueHandle opened_{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  UniqueHandle release_{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  UniqueHandle closed_{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  bool open_succeeded_ = false;
  bool held_ = false;
  std::thread thread_;  // last: starts once everything above exists
};

TEST_F(ClipboardTest, ReadWaitsOutAHolderThatLetsGoWithinTheRetries) {
  ASSERT_TRUE(clipboard_.SetText(u"before"));
  ClipboardHolder holder;
  ASSERT_TRUE(holder.held());
  int busy = 0;
  // A generous budget: the test is about the tries, not about the clock.
  clipboard_.set_retry({.tries = 10, .pause_ms = 10, .budget_ms = 60000, .on_busy = [&](int) {
                          if (++busy == 2) holder.Release();
                        }});
  const TextRead read = clipboard_.ReadText();
  EXPECT_EQ(read.status, ClipStatus::Ok);
  EXPECT_EQ(read.text, u"before");
  EXPECT_EQ(busy, 2);
}

TEST_F(ClipboardTest, HolderPastTheRetriesGivesLockedAndWritesChangeNothing) {
  ASSERT_TRUE(clipboard_.SetText(u"kept"));
  {
    ClipboardHolder holder;
    ASSERT_TRUE(holder.held());
    int busy = 0;
    clipboard_.set_retry({.on_busy = [&](int) { ++busy; }});
    EXPECT_EQ(clipboard_.ReadText().status, ClipStatus::Locked);
    EXPECT_GE(busy, 1);
    EXPECT_EQ(clipboard_.ReadPicture().status, ClipStatus::Locked);
    EXPECT_FALSE(clipboard_.SetText(u"replaced"));
    EXPECT_FALSE(clipboard_.SetPicture(Pattern(3, 3, false)));
    EXPECT_FALSE(clipboard_.Clear());
  }
  const TextRead after = clipboard_.ReadText();
  EXPECT_EQ(after.status, ClipStatus::Ok);
  EXPECT_EQ(after.text, u"kept");
}

}  // namespace
}  // namespace pw::win32
