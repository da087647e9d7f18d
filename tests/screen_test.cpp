// The screen captures, start-up, the tray and closing.
#include "app_test.h"

namespace pw::test {
namespace {

TEST_F(AppTest, CutScreenCutsTheMarkedRectangleOfTheFrozenScreenDraggedAnyWay) {
  std::vector<std::uint32_t> numbered(1280 * 800);  // each pixel says where it is
  for (std::uint32_t i = 0; i < numbered.size(); ++i) numbered[i] = (i / 1280) << 12 | i % 1280;
  const Picture screen = Picture::FromPixels(1280, 800, numbered);
  // 15 twips a pixel: (1500, 1500)-(4500, 3000) is pixels (100, 100)-(300, 200).
  const PointTwips corners[][2] = {{{1500, 1500}, {4500, 3000}}, {{4500, 3000}, {1500, 1500}},
                                   {{4500, 1500}, {1500, 3000}}, {{1500, 3000}, {4500, 1500}}};
  const ControlId overlay = Control(Role::CutOverlay);
  std::size_t cuts = 0;
  for (const auto& [first, second] : corners) {
    SCOPED_TRACE(testing::Message() << "from " << first.x << ", " << first.y);
    fake.screen_pixels = screen;
    app.Clicked(Control(Role::CutScreen));
    fake.screen_pixels = MakePicture();  // the live screen changes; the cut must not see it
    app.Clicked(Control(Role::CutScreen));  // one overlay at a time
    app.PointerMoved(overlay, {10, 10}, {});
    EXPECT_FALSE(fake.outline.has_value());
    app.PointerPressed(overlay, {7, 7});  // a press, no move, a press: only the corner moves
    app.PointerPressed(overlay, first);
    EXPECT_TRUE(fake.overlay.has_value());
    app.PointerMoved(overlay, second, {});
    EXPECT_EQ(fake.outline, std::pair(first, second));
    app.PointerPressed(overlay, second);
    EXPECT_FALSE(fake.overlay.has_value());
    ASSERT_EQ(Slots().size(), ++cuts);
    const Bitmap& cut = Slots().back().bitmap();
    ASSERT_EQ(std::pair(cut.width(), cut.height()), std::pair(201, 101));
    EXPECT_EQ(cut.at(0, 0), (100u << 12) | 100);
    EXPECT_EQ(cut.at(200, 100), (200u << 12) | 300);
    app.OverlayClosed();
  }
  // An overlay closed some other way leaves nothing armed for the next cut.
  app.Clicked(Control(Role::CutScreen));
  app.PointerPressed(overlay, {0, 0});
  app.PointerMoved(overlay, {30, 30}, {});
  fake.CloseOverlay();
  app.OverlayClosed();
  EXPECT_FALSE(app.region().armed() || app.region().dragged());
  EXPECT_EQ(Slots().size(), cuts);
}

// The window's life: placed, hidden for a snapshot or to the tray, and the chain left.
TEST_F(AppTest, StartUpSnapshotTrayAndClosingTouchTheWindowAndTheChainInOrder) {
  // Bottom-right corner, a 450-twip band left free along the bottom.
  EXPECT_EQ(fake.left + fake.main_size.width, fake.screen.width_twips);
  EXPECT_EQ(fake.top + fake.main_size.height, fake.screen.height_twips - 450);
  EXPECT_EQ(fake.view.panel_caption, u"Control Panel");

  const Picture copied_meanwhile = MakePicture();
  fake.on_pending = [&] { fake.CopyPicture(copied_meanwhile); };
  app.Clicked(Control(Role::Snapshot));
  EXPECT_EQ(Slots(), (std::vector<Picture>{copied_meanwhile, fake.screen_pixels}));
  EXPECT_FALSE(fake.clip_picture == fake.screen_pixels);

  app.Clicked(Control(Role::Hide));
  fake.CopyText(u"while hidden");
  app.TrayActivated();
  EXPECT_EQ(Captions(), Strings{u"while hi"});
  app.MainWindowClosing();
  EXPECT_EQ(fake.log, (std::vector<std::string>{
      "place", "join",                                                         // start-up
      "preview-text-off", "tray-on", "hide", "pending", "capture", "restore",  // the snapshot
      "preview-text-off", "tray-on", "hide", "restore",                        // tray and back
      "tray-off", "leave"}));                                                  // closing
}

}  // namespace
}  // namespace pw::test
