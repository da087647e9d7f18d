// The full-screen snapshot and the region overlay.
#include <cmath>

#include "app_fixture.h"
#include "screen/region_overlay.h"
#include "screen/snapshot.h"

namespace pw::test {
namespace {

// Every pixel tells where it was: 0xFF, then x in 12 bits, then y in 12 bits.
Picture PatternScreen(int width, int height) {
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      pixels[static_cast<std::size_t>(y) * width + x] =
          0xFF000000u | (static_cast<std::uint32_t>(x) << 12) | static_cast<std::uint32_t>(y);
    }
  }
  return Picture::FromPixels(width, height, std::move(pixels));
}

class ScreenTest : public AppTest {
 protected:
  ScreenTest() { fake.screen_pixels = PatternScreen(1280, 800); }

  // The picture holds exactly the screen's pixels from (x, y), w x h.
  void ExpectScreenArea(const Picture& p, int x, int y, int w, int h) {
    ASSERT_FALSE(p.empty());
    ASSERT_EQ(p.bitmap().width(), w);
    ASSERT_EQ(p.bitmap().height(), h);
    for (int row = 0; row < h; ++row) {
      for (int col = 0; col < w; ++col) {
        ASSERT_EQ(p.bitmap().at(col, row), fake.screen_pixels.bitmap().at(x + col, y + row))
            << col << "," << row;
      }
    }
  }

  void Press(float x, float y) { fake.MouseDown(Form2, x, y); }
  void Move(float x, float y) { fake.MouseMove(Form2, x, y); }
};

TEST_F(ScreenTest, SnapshotStoresTheWholeScreenWhileTheWindowIsAway) {
  fake.CopyText(u"left alone");
  const std::size_t mark = fake.log.size();
  fake.Click(CmdCapScreen);
  const std::vector<std::string> expected{"hide:pView", "hide:vpic",  "hide:MainForm",
                                          "doevents",   "getdc",      "copyscreen",
                                          "show:sav1",  "show:dpic1", "show:pv1",
                                          "releasedc",  "restore"};
  EXPECT_EQ(LogSince(mark), expected);
  ExpectScreenArea(fake.picture(simg(1)), 0, 0, 1280, 800);
  EXPECT_TRUE(fake.visible(MainForm));
  EXPECT_EQ(fake.tray_icons.size(), 1u);
  EXPECT_TRUE(fake.held_dcs.empty());
  EXPECT_EQ(fake.clip_text, u"left alone");
  EXPECT_TRUE(fake.messages.empty());
}

TEST_F(ScreenTest, SnapshotLandsAfterAPictureCopiedMeanwhileAndDropsTheOldest) {
  std::vector<Picture> held;
  for (int i = 0; i < 4; ++i) {
    held.push_back(MakePicture(1, 1, static_cast<std::uint32_t>(i)));
    fake.CopyPicture(held.back());
  }
  const Picture meanwhile = MakePicture(2, 2, 0xFF00FF00);
  fake.on_do_events = [&] { fake.CopyPicture(meanwhile); };
  fake.Click(CmdCapScreen);
  const std::vector<Picture> slots = Slots();
  ASSERT_EQ(slots.size(), 5u);
  EXPECT_TRUE(slots[0] == held[1]);
  EXPECT_TRUE(slots[3] == meanwhile);
  EXPECT_EQ(slots[4].bitmap().width(), 1280);
}

TEST(ScreenPixelsTest, FullSizeAtEveryResolution) {
  EXPECT_EQ(ScreenPixels({19200, 12000, 15.0f, 15.0f}).width, 1280);
  // 168 dpi: 8.571 twips per pixel; truncating that to 8 or 9 would lose or
  // invent columns.
  const float tpp = 1440.0f / 168.0f;
  const PixelSize size = ScreenPixels({static_cast<std::int32_t>(std::lround(2560 * tpp)),
                                       static_cast<std::int32_t>(std::lround(1440 * tpp)), tpp,
                                       tpp});
  EXPECT_EQ(size.width, 2560);
  EXPECT_EQ(size.height, 1440);
}

TEST_F(ScreenTest, OverlayStateMachineClickMoveClick) {
  fake.Click(cmd_jp);
  ASSERT_TRUE(fake.Loaded(Form2));
  ExpectScreenArea(fake.overlay_picture, 0, 0, 1280, 800);
  const RegionCapture& region = app.region();

  Move(300, 300);  // frozen, idle: a move only erases
  EXPECT_TRUE(fake.outlines.empty());
  EXPECT_FALSE(region.RegionArmed || region.RegionDragged);

  Press(150, 150);  // armed
  Press(1500, 1500);  // a press without a move only moves the first corner
  EXPECT_TRUE(region.RegionArmed);
  EXPECT_FALSE(region.RegionDragged);
  EXPECT_TRUE(fake.Loaded(Form2));

  Move(3000, 2000);  // no button held: the outline follows all the same
  Move(4500, 3000);
  ASSERT_EQ(fake.outlines.size(), 2u);
  EXPECT_EQ(fake.outlines[1].x1, 1500);
  EXPECT_EQ(fake.outlines[1].x2, 4500);
  EXPECT_TRUE(fake.outline_shown);
  EXPECT_TRUE(region.RegionDragged);

  // Someone changes the screen meanwhile: the cut still comes from what the
  // user marked on.
  const Picture frozen = fake.screen_pixels;
  fake.screen_pixels = MakePicture(1280, 800, 0xFFFF0000);
  Press(4500, 3000);
  fake.screen_pixels = frozen;
  // Pixels (100, 100) to (300, 200), both corners included.
  ExpectScreenArea(fake.picture(simg(1)), 100, 100, 201, 101);
  EXPECT_TRUE(fake.visible(sav(1)) && fake.visible(dpic(1)) && fake.visible(pv(1)));
  EXPECT_FALSE(region.RegionArmed || region.RegionDragged);
  EXPECT_FALSE(fake.Loaded(Form2));
  EXPECT_TRUE(fake.held_dcs.empty());
  EXPECT_FALSE(fake.clip_text.has_value() || !fake.clip_picture.empty());
}

TEST_F(ScreenTest, EveryDragDirectionCutsTheSameRectangle) {
  const std::pair<std::pair<float, float>, std::pair<float, float>> drags[] = {
      {{1500, 1500}, {4500, 3000}}, {{4500, 3000}, {1500, 1500}},
      {{4500, 1500}, {1500, 3000}}, {{1500, 3000}, {4500, 1500}}};
  for (const auto& [from, to] : drags) {
    fake.Click(cmd_jp);
    Press(from.first, from.second);
    Move(to.first, to.second);
    Press(to.first, to.second);
  }
  for (int n = 1; n <= 4; ++n) ExpectScreenArea(fake.picture(simg(n)), 100, 100, 201, 101);

  // A confirming press on the first corner itself gives that one pixel.
  fake.Click(cmd_jp);
  Press(150, 300);
  Move(600, 600);
  Press(150, 300);
  ExpectScreenArea(fake.picture(simg(5)), 10, 20, 1, 1);
}

TEST_F(ScreenTest, OneOverlayAtATimeAndOneScreenContext) {
  fake.Click(cmd_jp);
  fake.Click(cmd_jp);
  EXPECT_EQ(fake.dcs_taken, 1);
  EXPECT_EQ(fake.held_dcs.size(), 1u);
  Press(0, 0);
  Move(15, 15);
  Press(15, 15);
  EXPECT_TRUE(fake.held_dcs.empty());
  fake.Click(cmd_jp);
  EXPECT_EQ(fake.dcs_taken, 2);

  // Closed without a cut: the context goes back and the next cut starts afresh.
  Press(30, 30);
  Move(60, 60);
  fake.UserCloses(Form2);
  EXPECT_TRUE(fake.held_dcs.empty());
  EXPECT_FALSE(app.region().RegionArmed || app.region().RegionDragged);
  EXPECT_TRUE(Slots().size() == 1u);
}

TEST_F(ScreenTest, PicturesCopiedWhileTheOverlayIsUpComeFirstAndFiveAreKept) {
  for (int i = 0; i < 4; ++i) fake.CopyPicture(MakePicture(1, 1, static_cast<std::uint32_t>(i)));
  const Picture second = fake.picture(simg(2));
  fake.Click(cmd_jp);
  const Picture meanwhile = MakePicture(3, 3, 7);
  fake.CopyPicture(meanwhile);
  Press(0, 0);
  Move(30, 30);
  Press(30, 30);
  EXPECT_TRUE(fake.picture(simg(1)) == second);
  EXPECT_TRUE(fake.picture(simg(4)) == meanwhile);
  ExpectScreenArea(fake.picture(simg(5)), 0, 0, 3, 3);
}

}  // namespace
}  // namespace pw::test
