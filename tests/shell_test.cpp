// Hiding to the tray, restoring, closing, and the About window.
#include "app_fixture.h"

namespace pw::test {
namespace {

using ShellTest = AppTest;

TEST_F(ShellTest, TrayTipIsTitleAndVersion) {
  EXPECT_EQ(TrayTip(fake), u"Pastewright(版本 2.6.1)");
}

TEST_F(ShellTest, HideHidesThePreviewAddsTheIconThenHidesTheWindow) {
  fake.MouseMove(ClipShow(0), 5, 5);  // nothing held, but the preview panel shows
  const std::size_t mark = fake.log.size();
  fake.Click(MainhWndHide);
  EXPECT_EQ(LogSince(mark),
            (std::vector<std::string>{"hide:pView", "hide:vpic", "hide:MainForm"}));
  ASSERT_EQ(fake.tray_icons.size(), 1u);
  const TrayIconData& icon = fake.tray_icons[0];
  EXPECT_EQ(icon.hwnd, fake.Handle(MainForm));
  EXPECT_EQ(icon.flags, 7u);
  EXPECT_EQ(icon.icon, fake.WindowIcon(icon.hwnd));
  EXPECT_EQ(icon.tip, u"Pastewright(版本 2.6.1)");
  EXPECT_FALSE(fake.visible(MainForm));

  // Clips keep coming while hidden.
  fake.CopyText(u"while hidden");
  EXPECT_EQ(Rows(), std::vector<std::u16string>{u"while hidden"});
}

TEST_F(ShellTest, OnlyTheLeftButtonReleasedOverTheIconRestores) {
  fake.Click(MainhWndHide);
  for (std::uint32_t m : {wm::kMouseMove, wm::kLButtonDown, wm::kLButtonDblClk, wm::kRButtonDown,
                          wm::kRButtonUp, wm::kRButtonDblClk}) {
    fake.TrayNotify(m);
    EXPECT_FALSE(fake.visible(MainForm)) << m;
  }
  fake.TrayNotify(wm::kLButtonUp);
  EXPECT_TRUE(fake.visible(MainForm));
  // The icon stays; hiding again still leaves exactly one, with the same tip.
  fake.Click(MainhWndHide);
  fake.TrayNotify(wm::kLButtonUp);
  fake.Click(MainhWndHide);
  ASSERT_EQ(fake.tray_icons.size(), 1u);
  EXPECT_EQ(fake.tray_icons[0].tip, u"Pastewright(版本 2.6.1)");
}

TEST_F(ShellTest, ARestartedShellGetsTheIconBackOnlyIfItWasAdded) {
  app.TaskbarCreated();
  EXPECT_TRUE(fake.tray_icons.empty());
  fake.Click(MainhWndHide);
  fake.tray_icons.clear();  // the shell restarted and forgot it
  app.TaskbarCreated();
  ASSERT_EQ(fake.tray_icons.size(), 1u);
  EXPECT_EQ(fake.tray_icons[0].tip, u"Pastewright(版本 2.6.1)");
}

TEST_F(ShellTest, ClosingDeletesTheIconUnhooksAndEnds) {
  fake.UserCloses(MainForm);  // never hidden: the delete goes out with an empty record
  ASSERT_EQ(fake.tray_calls.size(), 1u);
  EXPECT_EQ(fake.tray_calls[0].first, NotifyIconMessage::Delete);
  EXPECT_EQ(fake.tray_calls[0].second, TrayIconData{});
  EXPECT_FALSE(app.hook().hooked());
  EXPECT_TRUE(fake.ended);

  FakeHost other;
  Pastewright second(other.host());
  other.Attach(second);
  other.Start();
  other.Click(MainhWndHide);
  other.UserCloses(MainForm);
  EXPECT_TRUE(other.tray_icons.empty());
  EXPECT_FALSE(other.in_chain);
  EXPECT_TRUE(other.ended);
}

TEST_F(ShellTest, AboutOpensOnceAndShowsItsTextsAgainAfterReopening) {
  auto expect_texts = [&] {
    EXPECT_EQ(fake.caption(AboutForm), u"About Pastewright");
    EXPECT_EQ(fake.caption(myjs),
              u"   Pastewright is tallowmere program. It is not only support more function of "
              u"word and photo but has a green and strong code.");
    EXPECT_TRUE(fake.caption(myjs2).starts_with(
        u"  Pastewright is green software.If you have any good ideal,you can email to "));
    EXPECT_TRUE(fake.caption(myjs2).ends_with(u"@example.org"));
    EXPECT_TRUE(fake.caption(myjs3).starts_with(u"Pastewright Power By "));
  };
  fake.Click(cmd_about);
  fake.Click(cmd_about);
  EXPECT_EQ(fake.bring_to_front, 1);
  expect_texts();
  fake.UserCloses(AboutForm);
  fake.SetCaption(myjs, u"");
  fake.Click(cmd_about);
  expect_texts();
}

}  // namespace
}  // namespace pw::test
