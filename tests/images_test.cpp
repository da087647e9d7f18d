// Picture slots: removal, the thumbnail click, saving, the preview.
#include "app_test.h"
#include "images/picture_save.h"

namespace pw::test {
namespace {

using Pictures = std::vector<Picture>;

TEST_F(AppTest, ThumbnailClickPutsTheSamePictureBackAsTheNewestThenTellsTheUser) {
  const Pictures p{MakePicture(), MakePicture(), MakePicture()};
  for (const Picture& picture : p) fake.CopyPicture(picture);
  Pictures during_box;
  fake.on_box = [&](std::u16string_view) { during_box = Slots(); };
  app.Clicked(Control(Role::Thumbnail, 1));
  EXPECT_EQ(Slots(), (Pictures{p[1], p[2], p[0]}));
  EXPECT_EQ(during_box, Slots());  // the box comes last
  EXPECT_TRUE(fake.clip_picture == p[0]);
  EXPECT_EQ(fake.boxes, Strings{std::u16string(MsgReadyPaste)});
  EXPECT_TRUE(app.store().Picture2.empty());  // released once the click is done

  // An empty thumbnail does nothing at all.
  const std::size_t mark = fake.log.size();
  app.Clicked(Control(Role::Thumbnail, 5));
  EXPECT_EQ(fake.log.size(), mark);

  // A clipboard held by another program keeps the picture, as the newest.
  fake.locked = true;
  app.Clicked(Control(Role::Thumbnail, 1));
  EXPECT_EQ(Slots(), (Pictures{p[2], p[0], p[1]}));
  EXPECT_TRUE(fake.log.back().starts_with("error:The picture could not be put"));

  // So does a clipboard that loses it after the put.
  fake.locked = false;
  fake.loses_pictures = true;
  app.Clicked(Control(Role::Thumbnail, 1));
  EXPECT_EQ(Slots(), (Pictures{p[0], p[1], p[2]}));
  EXPECT_TRUE(fake.log.back().starts_with("error:The picture did not come back"));

  // The notices of the click passed on late, by a viewer ahead: back once, as the newest.
  fake.loses_pictures = false;
  fake.late_notices = true;
  app.Clicked(Control(Role::Thumbnail, 1));
  fake.PassLateNotices();
  EXPECT_EQ(Slots(), (Pictures{p[1], p[2], p[0]}));
  EXPECT_EQ(fake.boxes.back(), MsgReadyPaste);
}

TEST_F(AppTest, SaveWritesTheWholePictureToANewFileNamedForTheMoment) {
  const std::pair<LocalTime, std::u16string> names[] = {
      {{2027, 1, 1, 0, 0, 0}, u"Pastewright202711000"},
      {{2026, 12, 31, 23, 59, 59}, u"Pastewright20261231235959"},
      {{2026, 12, 5, 9, 7, 3}, u"Pastewright2026125973"},
  };
  for (const auto& [when, name] : names) EXPECT_EQ(SaveBaseName(when), name);

  const Pictures p{MakePicture(), MakePicture()};
  for (const Picture& picture : p) fake.CopyPicture(picture);
  fake.now = {2027, 1, 1, 0, 0, 0};
  app.Clicked(Control(Role::PictureSave, 1));
  app.Clicked(Control(Role::PictureSave, 2));  // the same second
  EXPECT_TRUE(fake.bitmaps[u"Pastewright202711000.bmp"] == p[0]);
  EXPECT_TRUE(fake.bitmaps[u"Pastewright202711000(2).bmp"] == p[1]);
  EXPECT_EQ(fake.boxes.back(), std::u16string(MsgFileSaved) + u"\nPastewright202711000(2).bmp");
}

TEST_F(AppTest, PreviewShowsPicturesUnder100mmOnScreenAtOwnSizeWhateverTheirFileSays) {
  const struct {
    int width, height;
    double file_dpi, twips_per_pixel;
    bool own_size;
  } cases[] = {
      {1024, 768, 96, 15, false},  {1024, 768, 300, 15, false}, {1024, 768, 0, 15, false},
      {300, 250, 72, 15, true},    {300, 250, 300, 15, true},   {377, 377, 96, 15, true},
      {378, 10, 96, 15, false},    {10, 378, 96, 15, false},    {1024, 100, 96, 15, false},
      {755, 755, 96, 7.5f, true},  {756, 10, 96, 7.5f, false},  {200, 150, 600, 15, true},
      // At 254 dpi 1000 pixels are exactly 100 mm: no longer under it.
      {999, 999, 96, 1440.0 / 254, true},  {1000, 10, 96, 1440.0 / 254, false},
      {10, 1000, 96, 1440.0 / 254, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << ", " << c.file_dpi << " dpi");
    fake.screen.twips_per_pixel_x = fake.screen.twips_per_pixel_y = c.twips_per_pixel;
    const Picture picture = Picture::FromPixels(
        c.width, c.height, std::vector<std::uint32_t>(c.width * c.height), c.file_dpi, c.file_dpi);
    fake.CopyPicture(picture);
    fake.preview.reset();
    app.Clicked(Control(Role::PicturePreview, app.store().PictureCount()));
    EXPECT_TRUE(fake.preview == picture);
    EXPECT_EQ(fake.preview_own_size, c.own_size);
  }
  // While it is open another slot's button brings it forward unchanged.
  const std::optional<Picture> shown = fake.preview;
  app.Clicked(Control(Role::PicturePreview, 1));
  EXPECT_TRUE(fake.preview == shown);
  EXPECT_EQ(fake.log.back(), "preview-front");
}

}  // namespace
}  // namespace pw::test
