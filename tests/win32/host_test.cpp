// The host with its real windows, files and picture codecs.
#include "platform/win32/win32_host.h"

#include <gtest/gtest.h>

#include <span>

#include "platform/dib.h"
#include "platform/win32/files.h"
#include "platform/win32/layout.h"
#include "platform/win32/main_window.h"
#include "platform/win32/system_clipboard.h"
#include "platform/win32/wic.h"
#include "platform/win32/window_names.h"
#include "support.h"

namespace pw::win32 {
namespace {

using namespace testing;

struct Recorder final : Events {
  Host* host = nullptr;
  std::vector<ControlId> clicks;
  std::vector<std::pair<PointTwips, SizeTwips>> moves;
  std::vector<Picture> reads;  // the picture read on each clipboard change
  void ClipboardChanged() override { reads.push_back(host->ReadPicture().picture); }
  void Clicked(ControlId c) override { clicks.push_back(c); }
  void PointerMoved(ControlId, PointTwips at, SizeTwips size) override { moves.push_back({at, size}); }
  void PointerPressed(ControlId, PointTwips) override {}
  void TrayActivated() override {}
  void OverlayClosed() override {}
  void MainWindowClosing() override { closing = true; }
  bool closing = false;
};

class HostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    events.host = &host;
    ASSERT_TRUE(host.Attach(events));
    ASSERT_EQ(host.Screen().twips_per_pixel_x, 15.0f);  // Wine's 96 dpi
    WindowView view;
    view.rows[0] = {true, u"a&b && &"};
    host.ShowStore(view);
  }
  HWND Child(ControlId id) { return ::GetDlgItem(::FindWindowW(kMainClass, nullptr), NumericId(id)); }
  Recorder events;
  Win32Host host;
};

TEST_F(HostTest, ControlsShowCaptionsAsWrittenAndReportClicksAndPointerInTwips) {
  EXPECT_EQ(RowCaption(Child(Control(Role::Row, 0))), u"a&b && &");
  HWND box = Child(Control(Role::Thumbnail, 2));
  for (UINT msg : {WM_LBUTTONUP, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}) {
    ::PostMessageW(box, msg, 0, 0);
  }
  host.LetPendingEventsRun();  // a release without a press is no click; a double click is two
  EXPECT_EQ(events.clicks, std::vector<ControlId>(2, Control(Role::Thumbnail, 2)));
  ::SendMessageW(Child(Control(Role::Row, 0)), WM_MOUSEMOVE, 0, MAKELPARAM(-2, 30));
  ASSERT_EQ(events.moves.size(), 1u);
  EXPECT_EQ(events.moves[0].first, (PointTwips{-30, 450}));
  EXPECT_EQ(events.moves[0].second, (SizeTwips{1935, 330}));  // 21.7 pixels high: 22
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
      const std::u16string_view name = shifted && !n.after.empty() ? n.after : n.before;
      EXPECT_EQ(WindowText(Child(n.id)), name) << NumericId(n.id);
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

// The PNG on the clipboard as another program reads it; made then, if it was only offered.
Picture PngOnClipboard() {
  UniqueWindow reader = HiddenWindow();
  OpenClipboardScope open(reader.get());
  GlobalLockScope<const std::uint8_t> png(::GetClipboardData(::RegisterClipboardFormatW(L"PNG")));
  return png ? DecodePng(std::span(png.get(), png.size())) : Picture();
}

TEST_F(HostTest, OurPictureIsOurObjectOnItsNoticeAndAFreshReadersDecoding) {
  host.JoinClipboardChain();
  const Picture ours = Pattern(33, 21, true, 120.0);
  ASSERT_TRUE(host.PutPicture(ours));
  EXPECT_EQ(events.reads.back(), ours);
  EXPECT_EQ(host.ReadPicture().picture, ours);
  EXPECT_TRUE(::IsClipboardFormatAvailable(::RegisterClipboardFormatW(L"PNG")));
  const Picture decoded = SystemClipboard(nullptr).ReadPicture().picture;
  EXPECT_TRUE(SamePixels(decoded, ours) && !(decoded == ours) && decoded.bitmap().dpi_x() == 120.0);
  EXPECT_TRUE(SamePixels(PngOnClipboard(), ours));
  UniqueWindow other = HiddenWindow();
  events.reads.clear();
  ASSERT_TRUE(PutOnClipboard(other.get(), {{CF_DIB, EncodePackedDib(ours.bitmap())}}));
  EXPECT_TRUE(SamePixels(events.reads.back(), ours) && !(events.reads.back() == ours));
  EXPECT_EQ(ours.use_count(), 1);  // the host let it go with the clipboard
}

TEST_F(HostTest, ClosingTellsTheProgramThenEndsTheLoopAndLaterShowsFindNoWindow) {
  const Picture ours = Pattern(6, 5, true);
  ASSERT_TRUE(host.PutPicture(ours));
  ::SendMessageW(::FindWindowW(kMainClass, nullptr), WM_CLOSE, 0, 0);
  EXPECT_TRUE(SamePixels(PngOnClipboard(), ours));  // made as its owner went
  EXPECT_TRUE(events.closing);
  EXPECT_EQ(::FindWindowW(kMainClass, nullptr), nullptr);
  MSG quit{};
  EXPECT_TRUE(::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  host.ShowStore(WindowView{});  // as after a message box the close came under
}

TEST(Twips, RoundToTheNearestPixelAndBack) {
  const struct { std::int32_t twips; int dpi; std::int32_t pixels; } cases[] = {
      {15, 96, 1}, {7, 96, 0}, {8, 96, 1}, {-8, 96, -1}, {325, 96, 22}, {5, 144, 1}, {4, 144, 0},
      {-5, 144, -1}, {5205, 144, 521}};
  for (const auto& c : cases) EXPECT_EQ(TwipsToPixels(c.twips, c.dpi), c.pixels) << c.twips;
  EXPECT_EQ(PixelsToWholeTwips(521, 144), 5210);
  EXPECT_EQ(PixelsToWholeTwips(-3, 96), -45);
  EXPECT_EQ(PixelsToWholeTwips(1, 192), 8);  // 7.5
  EXPECT_EQ(PixelsToWholeTwips(-1, 192), -8);
}

// A file's bytes; the file goes with it, so that no test finds another's
// (nor a killed run's: the tests take their files before they start too).
std::string Take(const wchar_t* name) {
  std::string bytes(1 << 16, '\0');
  DWORD read = 0;
  UniqueFile file(::CreateFileW(name, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  bytes.resize(file && ::ReadFile(file.get(), bytes.data(), 1 << 16, &read, nullptr) ? read : 0);
  file.reset();
  ::DeleteFileW(name);
  return bytes;
}

TEST(Files, ANewFileIsWrittenWholeOrNotAtAllAndNeverReplacesOne) {
  const std::string bytes("\x00\xff\r\nend", 6);
  Take(L"pw-new.txt");
  EXPECT_EQ(WriteNewFile(u"pw-new.txt", bytes).status, FileResult::Written);
  EXPECT_EQ(WriteNewFile(u"pw-new.txt", "other").status, FileResult::Exists);
  EXPECT_EQ(Take(L"pw-new.txt"), bytes);
  const FileResult missing = WriteNewFile(u"pw-missing\\x.txt", "x");
  wchar_t words[256];
  const DWORD n = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, ERROR_PATH_NOT_FOUND, 0,
                                   words, 256, nullptr);
  EXPECT_EQ(missing.status, FileResult::Failed);
  EXPECT_EQ(std::u16string(reinterpret_cast<char16_t*>(words), n).find(missing.reason), 0u);
  EXPECT_NE(missing.reason.back(), u'\n');
  // Bytes running into memory nobody may read: the write fails midway.
  auto* memory = static_cast<char*>(::VirtualAlloc(nullptr, 8192, MEM_COMMIT, PAGE_READWRITE));
  DWORD old = 0;
  ::VirtualProtect(memory + 4096, 4096, PAGE_NOACCESS, &old);
  Take(L"pw-partial.txt");
  EXPECT_EQ(WriteNewFile(u"pw-partial.txt", std::string_view(memory, 8192)).status, FileResult::Failed);
  EXPECT_EQ(::GetFileAttributesW(L"pw-partial.txt"), INVALID_FILE_ATTRIBUTES);
  Take(L"pw-partial.txt");
  ::VirtualFree(memory, 0, MEM_RELEASE);
}

TEST(Ansi, DoubleByteCharactersAreNegativeInChineseCodePage) {
  if (::GetACP() != 936) GTEST_SKIP() << "ANSI code page is " << ::GetACP();
  EXPECT_EQ(AnsiCode(u'\u4e2d'), static_cast<std::int16_t>(0xD6D0));
  EXPECT_EQ(ToAnsi(u"\u4e2d\u6587"), std::string("\xd6\xd0\xce\xc4"));
}

}  // namespace
}  // namespace pw::win32
