// The Windows side with its real windows, clipboard, files and picture codecs. Secret markers
// and a clipboard held open past our retries are shown end to end.
#include "platform/win32/win32_host.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <span>
#include <sstream>
#include <thread>

#include "platform/dib.h"
#include "platform/win32/files.h"
#include "platform/win32/layout.h"
#include "platform/win32/main_window.h"
#include "platform/win32/surface.h"
#include "platform/win32/system_clipboard.h"
#include "platform/win32/wic.h"
#include "platform/win32/window_names.h"

namespace pw::win32 {
namespace {

// Neighbouring pixels differ in every colour; with `alpha`, in alpha too.
Picture Pattern(int width, int height, bool alpha = false, double dpi = 96.0) {
  std::vector<std::uint32_t> pixels;
  for (std::uint32_t y = 0; y < static_cast<std::uint32_t>(height); ++y) {
    for (std::uint32_t x = 0; x < static_cast<std::uint32_t>(width); ++x) {
      pixels.push_back((alpha ? (x * 29 + y * 17) & 0xFF : 0xFF) << 24 | (x * 37 + y * 11) % 256 << 16 |
                       (x * 7 + y * 53) % 256 << 8 | (x * y + 3 * x + 200) % 256);
    }
  }
  return Picture::FromPixels(width, height, std::move(pixels), dpi, dpi);
}

bool SamePixels(const Picture& a, const Picture& b) {
  return !a.empty() && !b.empty() && a.bitmap().width() == b.bitmap().width() &&
         a.bitmap().pixels() == b.bitmap().pixels();
}

UINT PngFormat() { return ::RegisterClipboardFormatW(L"PNG"); }

UniqueWindow HiddenWindow() {
  return UniqueWindow(::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                        nullptr, nullptr));
}

using Formats = std::vector<std::pair<UINT, std::vector<std::uint8_t>>>;

// The clipboard holds exactly these afterwards, written as another program would.
bool PutOnClipboard(HWND owner, const Formats& formats) {
  if (!::OpenClipboard(owner)) return false;
  bool ok = ::EmptyClipboard() != FALSE;
  for (const auto& [format, bytes] : formats) {
    UniqueGlobal memory(::GlobalAlloc(GMEM_MOVEABLE, bytes.size()));
    if (GlobalLockScope<std::uint8_t> lock(memory.get()); lock && !bytes.empty()) {
      std::memcpy(lock.get(), bytes.data(), bytes.size());
    }
    ok = ok && memory && ::SetClipboardData(format, memory.get()) && memory.release();
  }
  return ::CloseClipboard() && ok;
}

// The PNG on the clipboard as another program reads it; made then, if it was only offered.
Picture PngOnClipboard() {
  UniqueWindow reader = HiddenWindow();
  OpenClipboardScope open(reader.get());
  GlobalLockScope<const std::uint8_t> png(::GetClipboardData(PngFormat()));
  return png ? DecodePng(std::span(png.get(), png.size())) : Picture();
}

// The host, telling the test what it tells the program.
class HostTest : public ::testing::Test, public Events {
 protected:
  void SetUp() override {
    ASSERT_TRUE(host.Attach(*this));
    ASSERT_EQ(host.Screen().twips_per_pixel_x, 15.0f);  // Wine's 96 dpi
    WindowView view;
    view.rows[0] = {true, u"a&b && &"};
    host.ShowStore(view);
  }
  HWND Child(ControlId id) { return ::GetDlgItem(::FindWindowW(kMainClass, nullptr), NumericId(id)); }
  void ClipboardChanged() override { reads.push_back(host.ReadPicture().picture); }
  void Clicked(ControlId c) override { clicks.push_back(c); }
  void PointerMoved(ControlId, PointTwips at, SizeTwips size) override { moves.push_back({at, size}); }
  void PointerPressed(ControlId, PointTwips) override {}
  void TrayActivated() override {}
  void OverlayClosed() override {}
  void MainWindowClosing() override { closing = true; }
  std::vector<Picture> reads;  // the picture read on each clipboard change
  std::vector<ControlId> clicks;
  std::vector<std::pair<PointTwips, SizeTwips>> moves;
  bool closing = false;
  Win32Host host;
  UniqueWindow other = HiddenWindow();  // another program's
};

TEST_F(HostTest, TextRoundTripsWithItsFormattedVersionsAndAnotherProgramsEndsAtItsNul) {
  const RichText rich{"Version:0.9\r\n<b>h\xC3\xA9llo</b>", "{\\rtf1 h\\'e9llo}"};
  for (std::u16string text : {u"Hello, world", u"h\u00e9llo \u4e2d\u6587\r\nline", u""}) {
    for (const RichText& formatted : {RichText(), rich, RichText{"", rich.rtf}}) {
      ASSERT_TRUE(host.PutText(text, formatted));
      const TextRead read = SystemClipboard(nullptr).ReadText();
      EXPECT_EQ(read.text, text);
      EXPECT_EQ(read.rich, text.empty() ? RichText() : formatted);
    }
  }
  ASSERT_TRUE(PutOnClipboard(other.get(), {{CF_UNICODETEXT, {'a', 0, 'b', 0, 0, 0, 'c', 0, 'd', 0}}}));
  EXPECT_EQ(host.ReadText().text, u"ab");
}

TEST_F(HostTest, PictureIsReadFromEachFormatOtherProgramsOffer) {
  const Picture opaque = Pattern(9, 7), translucent = Pattern(9, 7, true);
  const std::vector<std::uint8_t> png = *EncodePicture(translucent.bitmap(), ImageFile::Png),
                                  dib = EncodePackedDib(opaque.bitmap());
  // A V5 header as browsers write it: top-down, masks with alpha, no colour table.
  const BITMAPV5HEADER v5{sizeof v5, 9, -7, 1, 32, BI_BITFIELDS, 0, 0, 0, 0, 0, 0xFF0000, 0xFF00, 0xFF,
                          0xFF000000, 0, {}, 0, 0, 0, 0, 0, 0, 0};
  std::vector<std::uint8_t> v5_dib(sizeof v5 + 9 * 7 * 4);
  std::memcpy(v5_dib.data(), &v5, sizeof v5);
  std::memcpy(v5_dib.data() + sizeof v5, translucent.bitmap().pixels().data(), 9 * 7 * 4);
  // A header and, in place of the rows, a PNG file; JPEG's decoder alone reads one labelled JPEG.
  const BITMAPINFOHEADER carrier{sizeof carrier, 9, 7, 1, 0, BI_PNG, DWORD(png.size()), 0, 0, 0, 0};
  std::vector<std::uint8_t> png_dib(sizeof carrier), jpeg_label;
  std::memcpy(png_dib.data(), &carrier, sizeof carrier);
  png_dib.insert(png_dib.end(), png.begin(), png.end());
  (jpeg_label = png_dib)[16] = BI_JPEG;
  // Expecting none: a damaged DIB is no picture, whatever the system makes of it.
  const struct { const char* name; Formats formats; Picture expected; } cases[] = {
      {"DIBV5", {{CF_DIBV5, v5_dib}}, translucent},
      {"PNG alone, as from X11", {{PngFormat(), png}}, translucent},
      {"DIB and PNG", {{CF_DIB, dib}, {PngFormat(), png}}, opaque},
      {"a DIB one byte short", {{CF_DIB, {dib.begin(), dib.end() - 1}}}, {}},
      {"a DIB carrying a PNG file", {{CF_DIB, png_dib}}, translucent},
      {"a PNG file in a DIB that says JPEG", {{CF_DIB, jpeg_label}}, {}},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(PutOnClipboard(other.get(), c.formats)) << c.name;
    const PictureRead read = host.ReadPicture();
    EXPECT_EQ(read.status, ReadStatus::Ok) << c.name;
    EXPECT_TRUE(c.expected ? SamePixels(read.picture, c.expected) : read.picture.empty()) << c.name;
  }
  Dib32Header header = TopDown32(9, 7);
  HBITMAP bitmap = ::CreateDIBitmap(WindowDc(nullptr).get(), &header.header, CBM_INIT,
                                    opaque.bitmap().pixels().data(), header.info(), DIB_RGB_COLORS);
  ASSERT_TRUE(::OpenClipboard(other.get()) && ::EmptyClipboard());
  ::SetClipboardData(CF_BITMAP, bitmap);  // the clipboard's from now on
  ::CloseClipboard();
  EXPECT_TRUE(SamePixels(host.ReadPicture().picture, opaque)) << "a bitmap handle";
}

TEST_F(HostTest, ControlsShowCaptionsAsWrittenAndReportClicksAndPointerInTwips) {
  EXPECT_EQ(WindowText(Child(Control(Role::Row, 0))), u"a&&b &&&& &&");  // '&' shows as itself
  for (UINT msg : {WM_LBUTTONUP, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}) {
    ::PostMessageW(Child(Control(Role::Thumbnail, 2)), msg, 0, 0);
  }
  host.LetPendingEventsRun();  // a release without a press is no click; a double click is two
  EXPECT_EQ(clicks, std::vector<ControlId>(2, Control(Role::Thumbnail, 2)));
  ::SendMessageW(Child(Control(Role::Row, 0)), WM_MOUSEMOVE, 0, MAKELPARAM(-2, 30));
  EXPECT_EQ(moves, (decltype(moves){{{-30, 450}, {1935, 330}}}));  // 21.7 pixels high: 22
  host.ShowTextPreview(0, u"one\ntwo");  // the row holds the pointer, to hear when it leaves
  HWND text = ::GetDlgItem(Child(Control(Role::HoverPanel)), NumericId(Control(Role::HoverText)));
  EXPECT_EQ(::GetCapture(), Child(Control(Role::Row, 0)));
  EXPECT_EQ(WindowText(text), u"one\r\ntwo");
  host.HideTextPreview();
  EXPECT_EQ(::GetCapture(), nullptr);
  EXPECT_EQ(WindowText(text), u"");
}

TEST_F(HostTest, ScreenReadersReadEveryControlByANameThatFollowsItsSlot) {
  using R = Role;
  WindowView view;  // then the first text and the second picture go
  view.rows[0] = {true, u"a&b"}, view.rows[1] = {true, u""};
  view.pictures[0] = view.pictures[1] = Pattern(4, 3);
  const struct { ControlId id; std::u16string_view before, after = {}; } names[] = {
      {Control(R::Row, 0), u"a&&b", u"Text 1"}, {Control(R::Row, 1), u"Text 2"},
      {Control(R::RowTxt, 1), u"Save text 2 as .txt"}, {Control(R::About), u"About Me"},
      {Control(R::RowDoc, 0), u"Save text 1 as .doc"}, {Control(R::RowDelete, 1), u"Delete text 2"},
      {Control(R::Thumbnail, 2), u"Picture 2", u"Picture 2, empty"}, {Control(R::Hide), u"Hide"},
      {Control(R::PictureSave, 2), u"Save picture 2 as .bmp"}, {Control(R::Snapshot), u"Web Photo"},
      {Control(R::PictureDelete, 1), u"Delete picture 1"}, {Control(R::EmptyAll), u"Empty All"},
      {Control(R::PicturePreview, 2), u"Preview picture 2"}, {Control(R::CutScreen), u"Cut Scr"},
      {Control(R::Thumbnail, 1), u"Picture 1"}, {Control(R::AutoHide), u"AI Hide"}};
  for (bool shifted : {false, true}) {
    host.ShowStore(view);
    for (const auto& n : names) {
      EXPECT_EQ(WindowText(Child(n.id)), shifted && !n.after.empty() ? n.after : n.before);
    }
    view.rows[0] = view.rows[1], view.rows[1] = {}, view.pictures[1] = {};
  }
}

TEST_F(HostTest, ScreenCopyIsTheWholeScreenOpaque) {
  const Picture screen = host.CaptureScreen();
  ASSERT_FALSE(screen.empty());
  EXPECT_EQ(screen.bitmap().width(), ::GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(screen.bitmap().height(), ::GetSystemMetrics(SM_CYSCREEN));
  for (std::uint32_t p : screen.bitmap().pixels()) ASSERT_EQ(p >> 24, 0xFFu);
}

// Our picture is known without opening the clipboard, which another program may hold open for
// long: Wine's own manager does, handing a large picture to X11.
TEST_F(HostTest, OurPictureIsOurObjectUntilAnotherProgramWritesAndAFreshReaderDecodesIt) {
  host.JoinClipboardChain();
  const Picture ours = Pattern(33, 21, true, 120.0);
  ASSERT_TRUE(host.PutPicture(ours));
  EXPECT_EQ(reads.back(), ours);
  ASSERT_TRUE(::OpenClipboard(other.get()));
  std::pair<TextRead, bool> held;  // the text, and whether the picture is ours
  std::thread([&] { held = {host.ReadText(), host.ReadPicture().picture == ours}; }).join();
  ::CloseClipboard();
  EXPECT_TRUE(held.first.status == ReadStatus::Ok && held.first.text.empty() && held.second);
  const Picture decoded = SystemClipboard(nullptr).ReadPicture().picture;
  EXPECT_TRUE(SamePixels(decoded, ours) && !(decoded == ours) && decoded.bitmap().dpi_x() == 120.0);
  EXPECT_TRUE(SamePixels(PngOnClipboard(), ours));
  ASSERT_TRUE(PutOnClipboard(other.get(), {{CF_DIB, EncodePackedDib(ours.bitmap())}}));
  EXPECT_TRUE(SamePixels(reads.back(), ours) && !(reads.back() == ours));
  reads.clear();
  EXPECT_EQ(ours.use_count(), 1);  // the host let it go with the clipboard
}

TEST_F(HostTest, ClosingTellsTheProgramThenEndsTheLoopAndLaterShowsFindNoWindow) {
  const Picture ours = Pattern(6, 5, true);
  ASSERT_TRUE(host.PutPicture(ours));
  ::SendMessageW(::FindWindowW(kMainClass, nullptr), WM_CLOSE, 0, 0);
  EXPECT_TRUE(SamePixels(PngOnClipboard(), ours));  // made as its owner went
  EXPECT_TRUE(closing);
  EXPECT_EQ(::FindWindowW(kMainClass, nullptr), nullptr);
  MSG quit{};
  EXPECT_TRUE(::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  host.ShowStore(WindowView{});  // as after a message box the close came under
}

TEST(Twips, RoundToTheNearestPixelAndBackHalvesAwayFromZero) {
  const struct { std::int32_t twips; int dpi; std::int32_t pixels; bool back = false; } cases[] = {
      {7, 96, 0}, {8, 96, 1}, {-8, 96, -1}, {325, 96, 22}, {-45, 96, -3, true}, {5, 144, 1}, {4, 144, 0},
      {-5, 144, -1}, {5205, 144, 521}, {5210, 144, 521, true}, {8, 192, 1, true}, {-8, 192, -1, true}};
  for (const auto& c : cases) {
    EXPECT_EQ(TwipsToPixels(c.twips, c.dpi), c.pixels) << c.twips;
    EXPECT_TRUE(!c.back || PixelsToWholeTwips(c.pixels, c.dpi) == c.twips) << c.pixels;
  }
}

TEST(Files, ANewFileIsWrittenWholeOrNotAtAllAndNeverReplacesOne) {
  for (const char* name : {"pw-new.txt", "pw-partial.txt"}) std::remove(name);  // a killed run's
  const std::string bytes("\x00\xff\r\nend", 6);
  EXPECT_EQ(WriteNewFile(u"pw-new.txt", bytes).status, FileResult::Written);
  EXPECT_EQ(WriteNewFile(u"pw-new.txt", "other").status, FileResult::Exists);
  std::ostringstream written;
  written << std::ifstream("pw-new.txt", std::ios::binary).rdbuf();
  EXPECT_EQ(written.str(), bytes);
  std::remove("pw-new.txt");
  const FileResult missing = WriteNewFile(u"pw-missing\\x.txt", "x");
  wchar_t words[256];  // Windows' own, ending in a line break
  const DWORD n = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, ERROR_PATH_NOT_FOUND, 0,
                                   words, 256, nullptr);
  EXPECT_EQ(missing.status, FileResult::Failed);
  EXPECT_EQ(missing.reason + u"\r\n", std::u16string(reinterpret_cast<char16_t*>(words), n));
  // Bytes running into memory nobody may read: the write fails midway.
  auto* memory = static_cast<char*>(::VirtualAlloc(nullptr, 8192, MEM_COMMIT, PAGE_READWRITE));
  DWORD old = 0;
  ::VirtualProtect(memory + 4096, 4096, PAGE_NOACCESS, &old);
  EXPECT_EQ(WriteNewFile(u"pw-partial.txt", std::string_view(memory, 8192)).status, FileResult::Failed);
  EXPECT_EQ(::GetFileAttributesW(L"pw-partial.txt"), INVALID_FILE_ATTRIBUTES);
  ::VirtualFree(memory, 0, MEM_RELEASE);
}

TEST(Ansi, DoubleByteCharactersAreNegativeInChineseCodePage) {
  if (::GetACP() != 936) GTEST_SKIP() << "ANSI code page is " << ::GetACP();
  EXPECT_EQ(AnsiCode(u'\u4e2d'), static_cast<std::int16_t>(0xD6D0));
  EXPECT_EQ(ToAnsi(u"\u4e2d\u6587"), std::string("\xd6\xd0\xce\xc4"));
}

}  // namespace
}  // namespace pw::win32
