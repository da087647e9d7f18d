// The screen captures, start-up, the tray and closing.
#include "app_test.h"

namespace pw::test {
namespace {

// A screen whose every pixel says where it is.
Picture NumberedScreen(int width, int height) {
  std::vector<std::uint32_t> pixels;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) pixels.push_back(0xFF000000u | (y << 12) | x);
  }
  return Picture::FromPixels(width, height, std::move(pixels));
}

TEST_F(AppTest, SnapshotTakesTheScreenWithoutTheWindowAfterPendingCopies) {
  const Picture copied_meanwhile = MakePicture(2, 2, 0xFF00FF00);
  for (int i = 0; i < 4; ++i) fake.CopyPicture(MakePicture(2, 2, 0xFF000000u + i));
  fake.screen_pixels = NumberedScreen(8, 6);
  fake.on_pending = [&] { fake.CopyPicture(copied_meanwhile); };
  const std::size_t mark = fake.log.size();
  app.Clicked(Control(Role::Snapshot));
  EXPECT_EQ(std::vector<std::string>(fake.log.begin() + mark, fake.log.end()),
            (std::vector<std::string>{"preview-text-off", "tray-on", "hide", "pending", "capture",
                                      "restore"}));
  const std::vector<Picture> slots = Slots();
  ASSERT_EQ(slots.size(), 5u);
  EXPECT_TRUE(slots[3] == copied_meanwhile);
  EXPECT_TRUE(slots[4] == fake.screen_pixels);
  EXPECT_FALSE(fake.clip_picture == fake.screen_pixels);
  EXPECT_TRUE(fake.tray_tip.has_value());
}

TEST_F(AppTest, CutScreenCutsTheMarkedRectangleOfTheFrozenScreenDraggedAnyWay) {
  // 15 twips a pixel: (1500, 1500)-(4500, 3000) is pixels (100, 100)-(300, 200).
  const PointTwips corners[][2] = {{{1500, 1500}, {4500, 3000}},
                                   {{4500, 3000}, {1500, 1500}},
                                   {{4500, 1500}, {1500, 3000}},
                                   {{1500, 3000}, {4500, 1500}}};
  const ControlId overlay = Control(Role::CutOverlay);
  for (const auto& [first, second] : corners) {
    SCOPED_TRACE(testing::Message() << first.x << "," << first.y << " to " << second.x << ","
                                    << second.y);
    fake.screen_pixels = NumberedScreen(1280, 800);
    app.Clicked(Control(Role::CutScreen));
    ASSERT_TRUE(fake.overlay.has_value());
    fake.screen_pixels = MakePicture();  // the live screen changes; the cut must not see it
    app.Clicked(Control(Role::CutScreen));  // one overlay at a time
    app.PointerMoved(overlay, {10, 10}, {});
    EXPECT_FALSE(fake.outline.has_value());
    app.PointerPressed(overlay, {7, 7});  // a press, no move, a press: only the corner moves
    app.PointerPressed(overlay, first);
    EXPECT_TRUE(fake.overlay.has_value());
    app.PointerMoved(overlay, second, {});
    ASSERT_TRUE(fake.outline.has_value());
    EXPECT_EQ(fake.outline->first, first);
    app.PointerPressed(overlay, second);
    EXPECT_FALSE(fake.overlay.has_value());
    const Picture cut = Slots().back();
    ASSERT_EQ(cut.bitmap().width(), 201);
    ASSERT_EQ(cut.bitmap().height(), 101);
    EXPECT_EQ(cut.bitmap().at(0, 0), 0xFF000000u | (100 << 12) | 100);
    EXPECT_EQ(cut.bitmap().at(200, 100), 0xFF000000u | (200 << 12) | 300);
    app.OverlayClosed();
  }
  // An overlay closed some other way leaves nothing armed for the next cut.
  app.Clicked(Control(Role::CutScreen));
  app.PointerPressed(overlay, {0, 0});
  app.PointerMoved(overlay, {30, 30}, {});
  fake.CloseOverlay();
  app.OverlayClosed();
  EXPECT_FALSE(app.region().armed() || app.region().dragged());
  EXPECT_EQ(Slots().size(), 4u);
}

TEST_F(AppTest, StartUpPlacesTheWindowThenJoinsTheChainAndClosingLeavesIt) {
  // Bottom-right corner, a 450-twip band left free along the bottom.
  EXPECT_EQ(fake.left + fake.main_size.width, fake.screen.width_twips);
  EXPECT_EQ(fake.top + fake.main_size.height, fake.screen.height_twips - 450);
  EXPECT_TRUE(fake.on_top);
  EXPECT_EQ(fake.log, (std::vector<std::string>{"place", "join"}));
  EXPECT_TRUE(Captions().empty());
  EXPECT_TRUE(Slots().empty());

  app.Clicked(Control(Role::Hide));
  EXPECT_FALSE(fake.main_visible);
  fake.CopyText(u"while hidden");
  app.TrayActivated();
  EXPECT_TRUE(fake.main_visible);
  EXPECT_TRUE(fake.tray_tip.has_value());  // restoring keeps the icon
  EXPECT_EQ(Captions(), std::vector<std::u16string>{u"while hi"});

  app.MainWindowClosing();
  EXPECT_EQ(std::vector<std::string>(fake.log.end() - 2, fake.log.end()),
            (std::vector<std::string>{"tray-off", "leave"}));
  fake.CopyText(u"after exit");
  EXPECT_EQ(Captions().size(), 1u);
}

}  // namespace
}  // namespace pw::test
