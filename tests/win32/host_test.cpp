// The real host's geometry and window plumbing: twips and pixels, the layout
// tables, and the main window, picture boxes, loading and closing as the logic
// sees them through the host interfaces.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/events.h"
#include "platform/win32/forms.h"
#include "platform/win32/host.h"
#include "platform/win32/layout.h"

namespace pw::win32 {
namespace {

// --- twips and pixels ------------------------------------------------------------

TEST(TwipConversion, RoundsToTheNearestPixelAt96And144Dpi) {
  struct Case {
    std::int32_t twips;
    int dpi;
    std::int32_t pixels;
  };
  const Case cases[] = {
      {1440, 96, 96},  {15, 96, 1},     {7, 96, 0},     {8, 96, 1},     {-8, 96, -1},
      {4650, 96, 310}, {5205, 96, 347}, {450, 96, 30},  {1440, 144, 144}, {4650, 144, 465},
      {5205, 144, 521}, {325, 144, 33}, {5, 144, 1},    {4, 144, 0},    {-5, 144, -1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TwipsToPixels(c.twips, c.dpi), c.pixels) << c.twips << " twips at " << c.dpi;
  }
  EXPECT_FLOAT_EQ(TwipsPerPixel(96), 15.0f);
  EXPECT_FLOAT_EQ(TwipsPerPixel(144), 10.0f);
  EXPECT_FLOAT_EQ(PixelsToTwips(-3, 96), -45.0f);
  EXPECT_EQ(PixelsToWholeTwips(310, 96), 4650);
  EXPECT_EQ(PixelsToWholeTwips(521, 144), 5210);
  EXPECT_EQ(PixelsToWholeTwips(1, 120), 12);
}

TEST(TwipConversion, NeighboursThatTouchInTwipsTouchInPixels) {
  // Edges convert independently: a control ending where the next begins
  // never overlaps it, at any resolution.
  for (int dpi : {96, 120, 144, 168, 192}) {
    const PixelRect a = ToPixels({120, 120, 1935, 325}, dpi);
    const PixelRect b = ToPixels({2055, 120, 100, 325}, dpi);
    EXPECT_EQ(a.right(), b.left) << dpi;
    EXPECT_EQ(a.top, b.top) << dpi;
  }
}

// --- layout tables --------------------------------------------------------------

bool Overlap(const PixelRect& a, const PixelRect& b) {
  return a.left < b.right() && b.left < a.right() && a.top < b.bottom() && b.top < a.bottom();
}

PixelRect PixelsOf(const FormLayout& form, ControlId id, int dpi) {
  const ControlLayout* c = FindLayout(form, id);
  EXPECT_NE(c, nullptr) << FamilyName(id.family) << id.index;
  return c ? ToPixels(PlacedRect(form, *c), dpi) : PixelRect{};
}

TEST(Layout, EveryControlLiesInsideItsParentAtEveryResolution) {
  for (const FormLayout* form : {&MainFormLayout(), &PreviewLayout(), &AboutLayout()}) {
    for (int dpi : {96, 144, 192}) {
      const PixelRect client = ToPixels({0, 0, form->client.width, form->client.height}, dpi);
      for (const ControlLayout& c : form->controls) {
        const PixelRect r = ToPixels(PlacedRect(*form, c), dpi);
        PixelRect parent = client;
        if (c.nested) {
          const PixelRect outer = PixelsOf(*form, c.relative_to, dpi);
          parent = {0, 0, outer.width, outer.height};
        }
        SCOPED_TRACE(std::string(FamilyName(c.id.family)) + std::to_string(c.id.index) + " at " +
                     std::to_string(dpi));
        EXPECT_GT(r.width, 0);
        EXPECT_GT(r.height, 0);
        EXPECT_GE(r.left, parent.left);
        EXPECT_GE(r.top, parent.top);
        EXPECT_LE(r.right(), parent.right());
        EXPECT_LE(r.bottom(), parent.bottom());
      }
    }
  }
}

TEST(Layout, RowsAndPictureSlotsNeverOverlap) {
  const FormLayout& main = MainFormLayout();
  for (int dpi : {96, 144}) {
    SCOPED_TRACE(dpi);
    for (int i = 0; i < kTextSlots; ++i) {
      const PixelRect row[] = {PixelsOf(main, ClipShow(i), dpi), PixelsOf(main, t(i + 1), dpi),
                               PixelsOf(main, w(i + 1), dpi), PixelsOf(main, d(i), dpi)};
      for (int a = 0; a < 4; ++a) {
        for (int b = a + 1; b < 4; ++b) EXPECT_FALSE(Overlap(row[a], row[b])) << i << a << b;
      }
      if (i + 1 < kTextSlots) {
        EXPECT_LT(row[0].bottom(), PixelsOf(main, ClipShow(i + 1), dpi).top) << i;
        EXPECT_LE(row[3].bottom(), PixelsOf(main, d(i + 1), dpi).top) << i;
      }
    }
    for (int n = 1; n <= kPictureSlots; ++n) {
      const PixelRect slot[] = {PixelsOf(main, simg(n), dpi), PixelsOf(main, sav(n), dpi),
                                PixelsOf(main, dpic(n), dpi), PixelsOf(main, pv(n), dpi)};
      for (int a = 0; a < 4; ++a) {
        for (int b = a + 1; b < 4; ++b) EXPECT_FALSE(Overlap(slot[a], slot[b])) << n << a << b;
      }
      if (n < kPictureSlots) {
        EXPECT_LT(slot[0].bottom(), PixelsOf(main, simg(n + 1), dpi).top);
      }
      // The rows and the thumbnails are separate columns.
      EXPECT_GT(slot[0].left, PixelsOf(main, d(0), dpi).right());
    }
  }
}

TEST(Layout, FrameMembersArePlacedFromTheFrameAndTheCommandsLieOnIt) {
  const FormLayout& main = MainFormLayout();
  const ControlLayout* jp = FindLayout(main, cmd_jp);
  ASSERT_NE(jp, nullptr);
  EXPECT_FALSE(jp->nested);  // a sibling, so its clicks reach the main window
  const TwipRect placed = PlacedRect(main, *jp);
  EXPECT_EQ(placed.left, 240);
  EXPECT_EQ(placed.top, 4320);
  const TwipRect check = PlacedRect(main, *FindLayout(main, CheckAutoHide));
  EXPECT_EQ(check.left, 600);
  EXPECT_EQ(check.top, 4920);

  const PixelRect frame = PixelsOf(main, CtrlFrame, 96);
  for (ControlId id : {EmptyAll, MainhWndHide, cmd_jp, CmdCapScreen, cmd_about, CheckAutoHide}) {
    const PixelRect r = PixelsOf(main, id, 96);
    EXPECT_TRUE(r.left >= frame.left && r.right() <= frame.right() && r.top >= frame.top &&
                r.bottom() <= frame.bottom())
        << FamilyName(id.family);
  }
  // The hover text lives inside the panel, which covers the control panel.
  EXPECT_TRUE(FindLayout(main, pView)->nested);
  EXPECT_EQ(FindLayout(main, pView)->relative_to, vpic);
}

TEST(Layout, EveryControlIsListedOnceAndItsNumericIdLeadsBack) {
  std::vector<ControlId> seen;
  for (const FormLayout* form : {&MainFormLayout(), &PreviewLayout(), &AboutLayout()}) {
    for (const ControlLayout& c : form->controls) {
      for (ControlId other : seen) EXPECT_NE(other, c.id);
      seen.push_back(c.id);
      const auto back = ControlFromNumericId(NumericId(c.id));
      ASSERT_TRUE(back.has_value());
      EXPECT_EQ(*back, c.id);
    }
  }
  // Rows and slots of four, nine single controls of the main window, the
  // preview's image, and the About window's four.
  EXPECT_EQ(seen.size(), 4u * kTextSlots + 4u * kPictureSlots + 9u + 1u + 4u);
  EXPECT_FALSE(ControlFromNumericId(0).has_value());
  EXPECT_FALSE(ControlFromNumericId(IDOK).has_value());
  EXPECT_FALSE(ControlFromNumericId(999).has_value());
  EXPECT_FALSE(ControlFromNumericId(NumericId(mylogo) + 100).has_value());
}

TEST(TextBox, LoneLineFeedsBecomeLineBreaks) {
  EXPECT_EQ(TextBoxText(u"a\nb"), L"a\r\nb");
  EXPECT_EQ(TextBoxText(u"a\r\nb"), L"a\r\nb");
  EXPECT_EQ(TextBoxText(u"\n\n"), L"\r\n\r\n");
  EXPECT_EQ(TextBoxText(u"\r\n\n"), L"\r\n\r\n");
  EXPECT_EQ(TextBoxText(u"tab\there"), L"tab\there");
}

// --- the host with real windows --------------------------------------------------

std::string Name(ControlId id) {
  return std::string(FamilyName(id.family)) + (id.index ? std::to_string(id.index) : "");
}

class Recorder final : public FormEvents {
 public:
  std::vector<std::string> log;
  // What the logic does when a window loads or unloads, if anything.
  std::function<void(ControlId)> on_load;
  std::function<void(ControlId)> on_unload;

  void Load(ControlId f) override {
    log.push_back("load:" + Name(f));
    if (on_load) on_load(f);
  }
  void QueryUnload(ControlId f) override { log.push_back("query:" + Name(f)); }
  void Unload(ControlId f) override {
    log.push_back("unload:" + Name(f));
    if (on_unload) on_unload(f);
  }
  void Click(ControlId c) override { log.push_back("click:" + Name(c)); }
  void MouseMove(ControlId c, const MouseArgs& a) override {
    log.push_back("move:" + Name(c) + ":" + std::to_string(static_cast<int>(a.x)) + "," +
                  std::to_string(static_cast<int>(a.y)));
  }
  void MouseDown(ControlId c, const MouseArgs&) override { log.push_back("down:" + Name(c)); }
  void TrayNotify(std::uint32_t m) override { log.push_back("tray:" + std::to_string(m)); }
  void TaskbarCreated() override { log.push_back("taskbar"); }
};

class HostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host_ = std::make_unique<Win32Host>(::GetModuleHandleW(nullptr));
    host_->Attach(events_);
    ASSERT_TRUE(host_->CreateMainWindow());
  }
  void TearDown() override {
    host_.reset();
    // Destroying the main window posts the quit the message loop would end on.
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
  }
  HWND Hwnd(ControlId id) { return reinterpret_cast<HWND>(host_->Handle(id)); }

  Recorder events_;
  std::unique_ptr<Win32Host> host_;
};

TEST_F(HostTest, MainWindowHasItsDesignedClientAreaAndControls) {
  HWND main = Hwnd(MainForm);
  ASSERT_NE(main, nullptr);
  EXPECT_FALSE(::IsWindowVisible(main));  // shown only after its Load
  const int dpi = 96;  // Wine's default; the screen metrics below agree
  ASSERT_FLOAT_EQ(host_->Screen().twips_per_pixel_x, TwipsPerPixel(dpi));
  EXPECT_EQ(host_->ClientSize(MainForm), (SizeTwips{4650, 5205}));
  const SizeTwips outer = host_->Size(MainForm);
  EXPECT_GT(outer.width, 4650);
  EXPECT_GT(outer.height, 5205);
  EXPECT_EQ(host_->Size(ClipShow(4)), (SizeTwips{1935, 330}));  // 21.67 px rounds to 22
  EXPECT_EQ(host_->Size(simg(5)), (SizeTwips{975, 855}));

  // Every control carries its numeric id, and frame members are the main
  // window's own children.
  for (ControlId id : {ClipShow(0), ClipShow(9), t(10), w(1), d(9), simg(3), pv(5), cmd_jp,
                       CheckAutoHide, EmptyAll, vpic}) {
    HWND c = Hwnd(id);
    ASSERT_NE(c, nullptr) << Name(id);
    EXPECT_EQ(::GetDlgCtrlID(c), NumericId(id)) << Name(id);
    EXPECT_EQ(::GetParent(c), main) << Name(id);
  }
  EXPECT_EQ(::GetParent(Hwnd(pView)), Hwnd(vpic));
  RECT jp{};
  ::GetWindowRect(Hwnd(cmd_jp), &jp);
  ::MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&jp), 2);
  EXPECT_EQ(jp.left, TwipsToPixels(240, dpi));
  EXPECT_EQ(jp.top, TwipsToPixels(4320, dpi));
}

TEST_F(HostTest, PropertiesReadBackAsTheLogicSetThem) {
  host_->SetCaption(CtrlFrame, u"Control Panel");
  EXPECT_EQ(host_->Caption(CtrlFrame), u"Control Panel");
  host_->SetCaption(ClipShow(2), u"héllo 中文");
  EXPECT_EQ(host_->Caption(ClipShow(2)), u"héllo 中文");
  // A row shows copied text: "&" is itself there, not a keyboard shortcut.
  host_->SetCaption(ClipShow(3), u"a&b && &");
  EXPECT_EQ(host_->Caption(ClipShow(3)), u"a&b && &");
  wchar_t shown[32]{};
  ::GetWindowTextW(host_->main_window() ? ::GetDlgItem(host_->main_window(), NumericId(ClipShow(3)))
                                        : nullptr,
                   shown, 32);
  EXPECT_STREQ(shown, L"a&&b &&&& &&");

  host_->SetVisible(d(3), false);
  EXPECT_FALSE(host_->Visible(d(3)));
  host_->SetVisible(d(3), true);
  // The control's own flag counts, though its window is still hidden.
  EXPECT_TRUE(host_->Visible(d(3)));

  host_->SetEnabled(EmptyAll, false);
  EXPECT_FALSE(::IsWindowEnabled(Hwnd(EmptyAll)));
  host_->SetChecked(CheckAutoHide, true);
  EXPECT_EQ(::SendMessageW(Hwnd(CheckAutoHide), BM_GETCHECK, 0, 0), BST_CHECKED);

  host_->SetText(pView, u"one\ntwo");
  wchar_t text[32] = {};
  ::SendMessageW(Hwnd(pView), WM_GETTEXT, 32, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, L"one\r\ntwo");

  const Picture p = Picture::FromPixels(2, 2, {0xFF0000FF, 0xFF00FF00, 0xFFFF0000, 0xFFFFFFFF});
  host_->SetPicture(simg(2), p);
  EXPECT_EQ(host_->GetPicture(simg(2)), p);  // the same object, not a copy
  EXPECT_TRUE(host_->GetPicture(simg(1)).empty());
  host_->SetPicture(simg(2), Picture());
  EXPECT_EQ(p.use_count(), 1);
}

TEST_F(HostTest, ClicksOfButtonsAndPictureBoxesReachTheLogic) {
  ::SendMessageW(Hwnd(cmd_about), BM_CLICK, 0, 0);
  ::SendMessageW(Hwnd(simg(4)), BM_CLICK, 0, 0);
  // A press and release over a box, as the mouse delivers them.
  ::PostMessageW(Hwnd(d(7)), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  ::PostMessageW(Hwnd(d(7)), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  // A release without a press is no click.
  ::PostMessageW(Hwnd(t(1)), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  host_->DoEvents();
  EXPECT_EQ(events_.log, (std::vector<std::string>{"click:cmd_about", "click:simg4", "click:d7"}));
}

TEST_F(HostTest, RowButtonsReportMouseMovesInTwipsEvenOutsideThemselves) {
  ::SendMessageW(Hwnd(ClipShow(1)), WM_MOUSEMOVE, 0, MAKELPARAM(10, 4));
  ::SendMessageW(Hwnd(ClipShow(1)), WM_MOUSEMOVE, MK_LBUTTON,
                 MAKELPARAM(static_cast<WORD>(-2), 30));
  EXPECT_EQ(events_.log, (std::vector<std::string>{"move:ClipShow1:150,60", "move:ClipShow1:-30,450"}));

  // A leave notice is a move to where the pointer now is, when that is off
  // the button; on the button it says nothing new.
  events_.log.clear();
  RECT r{};
  ::GetWindowRect(Hwnd(ClipShow(1)), &r);
  ASSERT_TRUE(::SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2));
  ::SendMessageW(Hwnd(ClipShow(1)), WM_MOUSELEAVE, 0, 0);
  EXPECT_TRUE(events_.log.empty());
  ASSERT_TRUE(::SetCursorPos(r.right + 10, r.bottom + 20));
  ::SendMessageW(Hwnd(ClipShow(1)), WM_MOUSELEAVE, 0, 0);
  const int w_px = r.right - r.left, h_px = r.bottom - r.top;
  EXPECT_EQ(events_.log, (std::vector<std::string>{
                             "move:ClipShow1:" + std::to_string((w_px + 10) * 15) + "," +
                             std::to_string((h_px + 20) * 15)}));
}

TEST_F(HostTest, ShowLoadsOnceAndClosingRunsQueryUnloadThenUnload) {
  events_.on_load = [this](ControlId f) {
    // The logic fills the window in during Load, before it is visible.
    EXPECT_FALSE(::IsWindowVisible(Hwnd(f)));
    host_->SetCaption(f, u"About Pastewright");
  };
  host_->Show(AboutForm);
  host_->Show(AboutForm);
  HWND about = Hwnd(AboutForm);
  ASSERT_NE(about, nullptr);
  EXPECT_TRUE(::IsWindowVisible(about));
  EXPECT_TRUE(host_->Loaded(AboutForm));
  EXPECT_EQ(host_->Caption(AboutForm), u"About Pastewright");
  EXPECT_EQ(host_->ClientSize(AboutForm), (SizeTwips{4680, 5400}));
  EXPECT_NE(::GetDlgCtrlID(Hwnd(mylogo)), 0);

  ::SendMessageW(about, WM_CLOSE, 0, 0);
  EXPECT_FALSE(::IsWindow(about));
  EXPECT_FALSE(host_->Loaded(AboutForm));
  EXPECT_EQ(events_.log, (std::vector<std::string>{"load:AboutForm", "query:AboutForm",
                                                   "unload:AboutForm"}));

  // Unloading from code skips the question; the next Show loads afresh.
  events_.log.clear();
  events_.on_unload = [this](ControlId f) {
    // Its controls are still there for the logic to clear.
    EXPECT_NE(Hwnd(PreviewImage), nullptr);
    EXPECT_EQ(f, picView);
  };
  host_->Show(picView);
  EXPECT_EQ(host_->ClientSize(picView), (SizeTwips{8985, 7080}));
  host_->Unload(picView);
  host_->Unload(picView);
  EXPECT_EQ(Hwnd(picView), nullptr);
  EXPECT_EQ(events_.log, (std::vector<std::string>{"load:picView", "unload:picView"}));
}

TEST_F(HostTest, ClosingTheMainWindowEndsTheMessageLoop) {
  host_->Show(MainForm);
  ::PostMessageW(Hwnd(MainForm), WM_CLOSE, 0, 0);
  MSG msg;
  bool quit = false;
  // Bounded: the close is one posted message away.
  for (int n = 0; n < 1000 && ::GetMessageW(&msg, nullptr, 0, 0) > 0; ++n) ::DispatchMessageW(&msg);
  quit = msg.message == WM_QUIT;
  EXPECT_TRUE(quit);
  EXPECT_EQ(events_.log, (std::vector<std::string>{"load:MainForm", "query:MainForm",
                                                   "unload:MainForm"}));
  EXPECT_EQ(Hwnd(MainForm), nullptr);
}

class Counter final : public WindowProcedure {
 public:
  WinApi* api = nullptr;
  WndProcRef old = 0;
  int chain_messages = 0;
  std::intptr_t Call(WindowHandle hwnd, std::uint32_t msg, std::uintptr_t wparam,
                     std::intptr_t lparam) override {
    if (msg == wm::kChangeCbChain) {
      ++chain_messages;
      return 0;
    }
    return api->CallWindowProc(old, hwnd, msg, wparam, lparam);
  }
};

TEST_F(HostTest, PortableWindowProcedureSeesMessagesUntilRestored) {
  Counter proc;
  proc.api = host_.get();
  const WindowHandle main = host_->Handle(MainForm);
  proc.old = host_->SetWindowProc(main, proc);
  ASSERT_NE(proc.old, 0u);
  ::SendMessageW(Hwnd(MainForm), WM_CHANGECBCHAIN, 0, 0);
  // Everything else still reaches the window's own procedure.
  ::SendMessageW(Hwnd(MainForm), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"through"));
  EXPECT_EQ(host_->Caption(MainForm), u"through");
  EXPECT_EQ(proc.chain_messages, 1);

  const WndProcRef trampoline = host_->RestoreWindowProc(main, proc.old);
  EXPECT_NE(trampoline, proc.old);
  EXPECT_EQ(static_cast<WndProcRef>(::GetWindowLongPtrW(Hwnd(MainForm), GWLP_WNDPROC)), proc.old);
  ::SendMessageW(Hwnd(MainForm), WM_CHANGECBCHAIN, 0, 0);
  EXPECT_EQ(proc.chain_messages, 1);
}

TEST_F(HostTest, ScreenCopyHasTheAskedSizeAndIsOpaque) {
  const DeviceContext dc = host_->GetScreenDC();
  ASSERT_NE(dc, 0u);
  const Picture p = host_->CopyScreen(dc, 3, 4, 17, 9);
  host_->ReleaseScreenDC(dc);
  ASSERT_FALSE(p.empty());
  EXPECT_EQ(p.bitmap().width(), 17);
  EXPECT_EQ(p.bitmap().height(), 9);
  for (std::uint32_t px : p.bitmap().pixels()) ASSERT_EQ(px >> 24, 0xFFu);
  EXPECT_TRUE(host_->CopyScreen(dc, 0, 0, 0, 5).empty());
}

TEST_F(HostTest, OverlayCoversTheScreenAndTurnsClicksIntoTwips) {
  const Picture frozen = Picture::FromPixels(1, 1, {0xFF123456});
  host_->ShowOverlay(Form2, frozen);
  HWND overlay = Hwnd(Form2);
  ASSERT_NE(overlay, nullptr);
  RECT r{};
  ::GetWindowRect(overlay, &r);
  EXPECT_EQ(r.right - r.left, ::GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(r.bottom - r.top, ::GetSystemMetrics(SM_CYSCREEN));
  EXPECT_EQ(::GetWindowLongPtrW(overlay, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
  ::SendMessageW(overlay, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(100, 20));
  ::SendMessageW(overlay, WM_MOUSEMOVE, 0, MAKELPARAM(200, 100));
  host_->DrawOutline(Form2, 1500, 300, 3000, 1500);
  host_->ClearOutline(Form2);
  host_->Unload(Form2);
  EXPECT_FALSE(::IsWindow(overlay));
  EXPECT_EQ(events_.log, (std::vector<std::string>{"down:Form2", "move:Form2:3000,1500",
                                                   "unload:Form2"}));
}

TEST_F(HostTest, ProgramInformation) {
  EXPECT_EQ(host_->Title(), u"Pastewright");
  const ScreenMetrics s = host_->Screen();
  EXPECT_EQ(s.width_twips, PixelsToWholeTwips(::GetSystemMetrics(SM_CXSCREEN), 96));
  EXPECT_EQ(s.height_twips, PixelsToWholeTwips(::GetSystemMetrics(SM_CYSCREEN), 96));
  // The same icon every time, for the tray's identity.
  EXPECT_EQ(host_->WindowIcon(host_->Handle(MainForm)), host_->WindowIcon(host_->Handle(MainForm)));
}

}  // namespace
}  // namespace pw::win32
