// Picture slots: removing, putting back, saving and previewing.
#include "app_fixture.h"
#include "capture/change_handler.h"
#include "images/picture_save.h"
#include "images/picture_slots.h"
#include "images/preview_window.h"

namespace pw::test {
namespace {

class ImagesTest : public AppTest {
 protected:
  // Fills `count` slots with distinct pictures and returns them, oldest first.
  std::vector<Picture> Fill(int count) {
    std::vector<Picture> pictures;
    for (int i = 0; i < count; ++i) {
      pictures.push_back(MakePicture(2 + i, 2, 0xFF000000u + static_cast<std::uint32_t>(i)));
      fake.CopyPicture(pictures.back());
    }
    return pictures;
  }
};

TEST_F(ImagesTest, RemovePictureSlotCompactsForEverySlotAndCount) {
  for (int n = 0; n <= 5; ++n) {
    for (int k = -1; k <= 6; ++k) {
      FakeHost host;
      for (int j = 1; j <= 5; ++j) SetPictureButtonsVisible(host, j, false);
      std::vector<Picture> held;
      for (int i = 1; i <= n; ++i) {
        held.push_back(MakePicture(1, 1, static_cast<std::uint32_t>(i)));
        StorePicture(host, held.back());
      }
      RemovePictureSlot(host, static_cast<std::int16_t>(k));
      std::vector<Picture> expected = held;
      if (k >= 1 && k <= n) expected.erase(expected.begin() + (k - 1));
      for (int j = 1; j <= 5; ++j) {
        const Picture want = j <= static_cast<int>(expected.size()) ? expected[j - 1] : Picture();
        EXPECT_TRUE(host.picture(simg(j)) == want) << "n=" << n << " k=" << k << " slot " << j;
        EXPECT_EQ(host.visible(sav(j)) && host.visible(dpic(j)) && host.visible(pv(j)),
                  !want.empty())
            << "n=" << n << " k=" << k << " slot " << j;
      }
    }
  }
}

TEST_F(ImagesTest, DeleteButtonRemovesWithoutAsking) {
  const std::vector<Picture> p = Fill(5);
  fake.Click(dpic(3));
  EXPECT_EQ(Slots(), (std::vector<Picture>{p[0], p[1], p[3], p[4]}));
  ExpectPictureButtonsMatchSlots();
  EXPECT_TRUE(fake.messages.empty());
  EXPECT_TRUE(fake.clip_picture == p[4]);  // the clipboard is untouched
}

TEST_F(ImagesTest, ThumbnailClickPutsTheSamePictureBackAsTheNewest) {
  const std::vector<Picture> p = Fill(3);
  const std::size_t mark = fake.log.size();
  fake.Click(simg(1));
  EXPECT_EQ(Slots(), (std::vector<Picture>{p[1], p[2], p[0]}));
  EXPECT_TRUE(fake.clip_picture == p[0]);
  EXPECT_TRUE(app.store().Picture2 == p[0]);
  const std::vector<std::string> log = LogSince(mark);
  const std::vector<std::string> tail(log.end() - 2, log.end());
  EXPECT_EQ(log.front(), "hide:sav3");  // removed before the clipboard is touched
  EXPECT_EQ(tail, (std::vector<std::string>{"show:pv3", "box:Content Ready Paste OK"}));
  EXPECT_NE(std::find(log.begin(), log.end(), "clip.clear"), log.end());
  ExpectPictureButtonsMatchSlots();

  // An empty thumbnail takes the click and does nothing.
  const std::size_t before = fake.log.size();
  fake.Click(simg(4));
  EXPECT_EQ(fake.log.size(), before);
  EXPECT_EQ(fake.messages.size(), 1u);
}

TEST_F(ImagesTest, ClipboardHeldByAnotherProgramDoesNotLoseThePicture) {
  const std::vector<Picture> p = Fill(2);
  fake.clipboard_locked = true;
  fake.Click(simg(1));
  fake.clipboard_locked = false;
  EXPECT_EQ(Slots(), (std::vector<Picture>{p[1], p[0]}));
  ASSERT_EQ(fake.messages.size(), 1u);
  EXPECT_EQ(fake.messages[0].kind, MessageKind::Error);
  ExpectPictureButtonsMatchSlots();
}

TEST(SaveNameTest, HasNoLeadingZeros) {
  EXPECT_EQ(SaveFileName({2026, 12, 5, 9, 7, 3}), u"Pastewright2026125973.bmp");
  EXPECT_EQ(SaveFileName({2026, 12, 31, 23, 59, 59}), u"Pastewright20261231235959.bmp");
  EXPECT_EQ(SaveFileName({2027, 1, 1, 0, 0, 0}), u"Pastewright202711000.bmp");
  EXPECT_EQ(SaveFileName({2026, 1, 12, 3, 4, 5}), SaveFileName({2026, 11, 2, 3, 4, 5}));
}

TEST_F(ImagesTest, SaveWritesTheWholePictureAndKeepsTheSlot) {
  const std::vector<Picture> p = Fill(2);
  fake.now = {2027, 1, 1, 0, 0, 0};
  fake.Click(sav(2));
  ASSERT_EQ(fake.saved_bitmaps.count(u"Pastewright202711000.bmp"), 1u);
  EXPECT_TRUE(fake.saved_bitmaps[u"Pastewright202711000.bmp"] == p[1]);
  ASSERT_EQ(fake.messages.size(), 1u);
  EXPECT_EQ(fake.messages[0].prompt, u"File saved Pastewright run catalog");
  EXPECT_EQ(Slots(), p);

  fake.fail_next_write = u"The disk is full.";
  fake.Click(sav(1));
  ASSERT_EQ(fake.messages.size(), 2u);
  EXPECT_EQ(fake.messages[1].kind, MessageKind::Error);
  EXPECT_EQ(fake.messages[1].prompt,
            u"The file \"Pastewright202711000.bmp\" could not be saved: The disk is full.");
  EXPECT_EQ(Slots(), p);
}

// 10000 HIMETRIC is 100 mm: 378 pixels at 96 dpi give 10001, 377 give 9975,
// and at 254 dpi one pixel is exactly 10 HIMETRIC.
TEST_F(ImagesTest, PreviewShowsSmallPicturesAtOwnSizeAndStretchesTheRest) {
  struct Case {
    int width, height;
    double dpi;
    bool stretched;
  };
  const Case cases[] = {
      {200, 150, 96, false},   {1024, 768, 96, true}, {400, 300, 96, true},
      {1024, 100, 96, true},   {100, 1024, 96, true}, {377, 377, 96, false},
      {378, 10, 96, true},     {999, 999, 254, false},  {1000, 10, 254, true},
      {10, 1000, 254, true},
  };
  for (const Case& c : cases) {
    const Picture picture = Picture::FromPixels(
        c.width, c.height, std::vector<std::uint32_t>(static_cast<std::size_t>(c.width) * c.height),
        c.dpi, c.dpi);
    fake.CopyPicture(picture);
    fake.Click(pv(static_cast<int>(Slots().size())));  // the newest
    EXPECT_EQ(fake.caption(picView),
              u"Pastewright Thrift Memory Preview [Don't effect photo quality]");
    EXPECT_TRUE(fake.picture(PreviewImage) == picture) << c.width << "x" << c.height;
    EXPECT_EQ(fake.state(PreviewImage).stretch, c.stretched) << c.width << "x" << c.height;
    fake.UserCloses(picView);
    EXPECT_TRUE(fake.picture(PreviewImage).empty());
    EXPECT_TRUE(fake.state(PreviewImage).stretch);
  }
  EXPECT_EQ(PictureSlot(fake, 5).HeightHimetric(), 10000);
}

TEST_F(ImagesTest, SecondPreviewClickBringsTheOpenWindowForward) {
  const std::vector<Picture> p = Fill(4);
  fake.Click(pv(2));
  fake.Click(pv(4));
  EXPECT_EQ(fake.bring_to_front, 1);
  EXPECT_EQ(app.store().PreviewSlot, 4);
  EXPECT_TRUE(fake.picture(PreviewImage) == p[1]);
  // The preview holds its own reference: deleting the slot does not change it.
  fake.Click(dpic(2));
  EXPECT_TRUE(fake.picture(PreviewImage) == p[1]);
  fake.UserCloses(picView);
  fake.Click(pv(2));
  EXPECT_TRUE(fake.picture(PreviewImage) == p[2]);
}

}  // namespace
}  // namespace pw::test
