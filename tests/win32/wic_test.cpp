// Picture files through WIC: PNG both ways, and the bitmap files saves write.
#include <gtest/gtest.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/win32/dib.h"
#include "platform/win32/wic.h"
#include "test_pictures.h"

namespace pw::win32 {
namespace {

using testing::DifferingPixels;
using testing::Opaque;
using testing::Pattern;

TEST(Png, RoundTripKeepsPixelsStraightAlphaAndResolution) {
  const Picture source = Pattern(31, 17, /*alpha=*/true, 144.0);
  const auto file = EncodePicture(source.bitmap(), ImageFile::Png);
  ASSERT_TRUE(file.has_value());
  ASSERT_GT(file->size(), 8u);
  EXPECT_EQ(std::string(file->begin() + 1, file->begin() + 4), "PNG");

  const Picture back = DecodePng(*file);
  ASSERT_FALSE(back.empty());
  EXPECT_EQ(DifferingPixels(back.bitmap(), source.bitmap()), 0u);
  EXPECT_EQ(back.bitmap().dpi_x(), 144.0);
  EXPECT_EQ(back.bitmap().dpi_y(), 144.0);
}

TEST(Png, DamagedOrForeignBytesGiveNoPicture) {
  const auto png = EncodePicture(Pattern(20, 20, false).bitmap(), ImageFile::Png);
  const auto bmp = EncodePicture(Pattern(20, 20, false).bitmap(), ImageFile::Bmp);
  ASSERT_TRUE(png && bmp);
  const std::vector<std::uint8_t> noise(300, 0xA5);
  const struct {
    const char* name;
    std::span<const std::uint8_t> bytes;
  } cases[] = {
      {"nothing", {}},
      {"noise", noise},
      {"a bitmap file", *bmp},  // only the PNG decoder may run on these bytes
      {"signature only", std::span(*png).first(8)},
      {"first half", std::span(*png).first(png->size() / 2)},
  };
  for (const auto& c : cases) EXPECT_TRUE(DecodePng(c.bytes).empty()) << c.name;
}

TEST(Bmp, IsA24BitFileOfTheWholePictureWithoutAlpha) {
  // An odd width, so that rows need padding.
  const Picture source = Pattern(37, 23, /*alpha=*/true, 120.0);
  const auto file = EncodePicture(source.bitmap(), ImageFile::Bmp);
  ASSERT_TRUE(file.has_value());
  ASSERT_GT(file->size(), 14u + 40u);
  EXPECT_EQ((*file)[0], 'B');
  EXPECT_EQ((*file)[1], 'M');
  EXPECT_EQ((*file)[14 + 14], 24);  // bits per pixel

  // Past the 14-byte file header the file is a packed DIB.
  const Picture back = DecodePackedDib(std::span(*file).subspan(14));
  ASSERT_FALSE(back.empty());
  EXPECT_EQ(DifferingPixels(back.bitmap(), Opaque(source).bitmap()), 0u);
  EXPECT_EQ(back.bitmap().dpi_x(), 120.0);
}

}  // namespace
}  // namespace pw::win32
