// The portable packed-DIB codec: what other programs put on the clipboard,
// malformed blocks included, and what we put there.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

#include "platform/dib.h"

namespace pw {
namespace {

constexpr std::uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF,
                        kWhite = 0xFFFFFFFF, kBlack = 0xFF000000;
constexpr std::int32_t kMost = std::numeric_limits<std::int32_t>::max();
constexpr std::uint32_t kBits = dib::kBitfields, kV5 = dib::kV5Header;

// A packed DIB as another program might write it; rows are raw bytes in block
// order, padding included. As it stands, a valid 2 x 2 24-bit picture.
struct Dib {
  const char* name;
  std::uint32_t header = dib::kInfoHeader;
  std::int32_t width = 2, height = 2;
  std::uint16_t planes = 1, bpp = 24;
  std::uint32_t compression = dib::kRgb;
  std::uint32_t used = 0;
  std::vector<std::uint32_t> masks = {};  // inside a V2+ header: R, G, B[, A]
  std::vector<std::uint32_t> extra = {};  // after the header: masks, or colours as 0x00RRGGBB
  std::vector<std::uint8_t> rows = std::vector<std::uint8_t>(16, 0x55);
  std::size_t cut = 0;  // bytes missing from the end

  std::vector<std::uint8_t> Bytes() const {
    std::vector<std::uint8_t> out;
    auto add = [&](std::uint32_t v) {
      for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    };
    const std::uint32_t w = width, h = height, planes_bits = planes | bpp << 16;
    for (std::uint32_t v : {header, w, h, planes_bits, compression, 0u, 0u, 0u, used, 0u}) add(v);
    for (std::uint32_t v : masks) add(v);
    out.resize(std::max<std::size_t>(header, out.size()));
    for (std::uint32_t v : extra) add(v);
    out.insert(out.end(), rows.begin(), rows.end());
    out.resize(out.size() - std::min(cut, out.size()));
    return out;
  }
};

TEST(DibDecode, EachDepthMaskAndPaletteGivesTopDownPixels) {
  const std::vector<std::uint8_t> four = {0, 0, 255, 0, 255, 0, 0, 0,  // blue, white
                                          255, 0, 0, 255, 255, 255, 0, 0};
  const std::vector<std::uint32_t> rgb = {0xFF0000, 0x00FF00, 0x0000FF};
  const struct { Dib dib; std::vector<std::uint32_t> pixels; } cases[] = {
      // 24-bit rows of 6 bytes are padded to 8; the bottom row comes first.
      {{.name = "Rgb24BottomUp", .rows = four}, {kBlue, kWhite, kRed, kGreen}},
      {{.name = "Rgb24TopDown", .height = -2, .rows = four}, {kRed, kGreen, kBlue, kWhite}},
      // The fourth byte of 32-bit BI_RGB is alpha only when some pixel uses it.
      {{.name = "Rgb32NoAlpha", .height = 1, .bpp = 32, .rows = {1, 2, 3, 0, 4, 5, 6, 0}},
       {0xFF030201, 0xFF060504}},
      {{.name = "Rgb32Alpha", .height = 1, .bpp = 32, .rows = {1, 2, 3, 0, 4, 5, 6, 0x80}},
       {0x00030201, 0x80060504}},
      {{.name = "Palette8Short", .height = -2, .bpp = 8, .used = 3, .extra = rgb,
        .rows = {0, 1, 0, 0, 2, 7, 0, 0}},  // 7 is past the table: black
       {kRed, kGreen, kBlue, kBlack}},
      {{.name = "Palette1", .width = 9, .height = 1, .bpp = 1, .extra = {0, 0xFFFFFF},
        .rows = {0b10100000, 0b10000000, 0, 0}},
       {kWhite, kBlack, kWhite, kBlack, kBlack, kBlack, kBlack, kBlack, kWhite}},
      {{.name = "Palette4", .width = 3, .height = 1, .bpp = 4, .used = 3, .extra = rgb,
        .rows = {0x21, 0x00, 0, 0}}, {kBlue, kGreen, kRed}},
      {{.name = "Rgb16Is555", .height = 1, .bpp = 16, .rows = {0xFF, 0x7F, 0x00, 0x7C}},
       {kWhite, kRed}},
      {{.name = "Masks565", .height = 1, .bpp = 16, .compression = kBits,
        .extra = {0xF800, 0x07E0, 0x001F}, .rows = {0xE0, 0x07, 0x1F, 0x00}}, {kGreen, kBlue}},
      {{.name = "Masks32Swapped", .width = 1, .height = 1, .bpp = 32, .compression = kBits,
        .extra = {0xFF, 0xFF00, 0xFF0000}, .rows = {0x11, 0x22, 0x33, 0x00}}, {0xFF112233}},
      {{.name = "V5AlphaMask", .header = kV5, .height = 1, .bpp = 32, .compression = kBits,
        .masks = {0xFF0000, 0xFF00, 0xFF, 0xFF000000}, .rows = {1, 2, 3, 0x40, 4, 5, 6, 0xFF}},
       {0x40030201, 0xFF060504}},
      {{.name = "V5MasksRepeated", .header = kV5, .width = 1, .height = 1, .bpp = 32,
        .compression = kBits, .masks = {0xFF0000, 0xFF00, 0xFF, 0},
        .extra = {0xFF0000, 0xFF00, 0xFF}, .rows = {1, 2, 3, 0}}, {0xFF030201}},
      {{.name = "Rgb24OptionalTable", .width = 1, .height = 1, .used = 2,
        .extra = {0x123456, 0x654321}, .rows = {1, 2, 3, 0}}, {0xFF030201}},
      // Bottom row first: runs, a literal (padded), a skip that leaves black, the end mark.
      {{.name = "Rle8", .width = 5, .height = 3, .bpp = 8, .compression = dib::kRle8, .used = 3,
        .extra = rgb, .rows = {3, 1, 2, 2, 0, 0, 0, 3, 0, 1, 2, 0, 2, 0, 0, 0, 0, 2, 2, 0, 3, 1, 0, 1}},
       {kBlack, kBlack, kGreen, kGreen, kGreen, kRed, kGreen, kBlue, kRed, kRed,
        kGreen, kGreen, kGreen, kBlue, kBlue}},
      {{.name = "Rle4", .width = 5, .height = 2, .bpp = 4, .compression = dib::kRle4, .used = 3,
        .extra = rgb, .rows = {5, 0x12, 0, 0, 0, 5, 0x01, 0x20, 0x10, 0, 0, 1}},
       {kRed, kGreen, kBlue, kRed, kGreen, kGreen, kBlue, kGreen, kBlue, kGreen}},
      // A skip two rows up: the rows it passes stay black.
      {{.name = "Rle8SkipUp", .width = 2, .height = 3, .bpp = 8, .compression = dib::kRle8, .used = 3,
        .extra = rgb, .rows = {1, 1, 0, 2, 0, 2, 1, 2, 0, 1}},
       {kBlack, kBlue, kBlack, kBlack, kGreen, kBlack}},
  };
  for (const auto& c : cases) {
    const Picture picture = DecodePackedDib(c.dib.Bytes());
    ASSERT_FALSE(picture.empty()) << c.dib.name;
    EXPECT_EQ(picture.bitmap().width(), c.dib.width) << c.dib.name;
    EXPECT_EQ(picture.bitmap().pixels(), c.pixels) << c.dib.name;
  }
}

TEST(DibDecode, AMalformedBlockIsNoPicture) {
  const Dib cases[] = {
      {.name = "Empty", .cut = 1000}, {.name = "ShortHeader", .cut = 17},
      {.name = "UnknownHeaderSize", .header = 64}, {.name = "CoreHeader", .header = 12},
      {.name = "V5PastTheBlock", .header = kV5, .rows = {}, .cut = 1},
      {.name = "ZeroWidth", .width = 0}, {.name = "NegativeWidth", .width = -2},
      {.name = "ZeroHeight", .height = 0}, {.name = "LowestHeight", .height = -kMost - 1},
      {.name = "NoPlanes", .planes = 0}, {.name = "TwoBits", .bpp = 2}, {.name = "Bits64", .bpp = 64},
      {.name = "UnknownCompression", .compression = 9}, {.name = "Rle8", .compression = dib::kRle8},
      {.name = "EmbeddedPng", .compression = dib::kPng},
      {.name = "MasksAt24Bits", .compression = kBits, .extra = {0xFF0000, 0xFF00, 0xFF}},
      {.name = "MasksMissing", .height = 1, .bpp = 32, .compression = kBits, .rows = {1, 2, 3, 4}},
      {.name = "ZeroGreen", .bpp = 32, .compression = kBits, .extra = {0xFF0000, 0, 0xFF}},
      {.name = "ZeroBlue", .bpp = 32, .compression = kBits, .extra = {0xFF0000, 0xFF00, 0}},
      {.name = "Overlap", .bpp = 32, .compression = kBits, .extra = {0xFF0000, 0x1FF00, 0xFF}},
      {.name = "Gaps", .bpp = 32, .compression = kBits, .extra = {0xFF00FF00, 0xFF0000, 0xFF}},
      {.name = "PastAPixel", .bpp = 16, .compression = kBits, .extra = {0x1F0000, 0x7E0, 0x1F}},
      {.name = "PaletteTooLong", .bpp = 8, .used = 257, .extra = std::vector<std::uint32_t>(257)},
      {.name = "PalettePastTheBlock", .bpp = 8, .used = 200, .extra = {0, 0}, .rows = {0, 0}},
      {.name = "RowsOneByteShort", .cut = 1}, {.name = "RowsMissing", .rows = {}},
      // Run-length blocks with one colour whose runs do not fit the picture.
      {.name = "Rle8RunPastItsRow", .bpp = 8, .compression = dib::kRle8, .used = 1, .extra = {0},
       .rows = {3, 0, 0, 1}},
      {.name = "Rle8RowsOpenAtTheEnd", .bpp = 8, .compression = dib::kRle8, .used = 1, .extra = {0},
       .rows = {2, 0, 0, 0}},
      {.name = "Rle4LiteralPastTheData", .width = 4, .height = 1, .bpp = 4,
       .compression = dib::kRle4, .used = 1, .extra = {0}, .rows = {0, 4, 0}},
      {.name = "Rle8TopDown", .height = -2, .bpp = 8, .compression = dib::kRle8, .used = 1,
       .extra = {0}, .rows = {2, 0, 0, 0, 2, 0, 0, 1}},
      // Refused from the header alone, before anything is allocated for it.
      {.name = "MorePixelsThanAccepted", .width = 1 << 15, .height = (1 << 13) + 1},
      {.name = "HugeTopDownTruncated", .width = kMost, .height = -kMost},
  };
  for (const Dib& c : cases) EXPECT_TRUE(DecodePackedDib(c.Bytes()).empty()) << c.name;
}

TEST(DibEncode, ABottomUp32BitBlockThatDecodesToThePictureAndItsResolution) {
  std::vector<std::uint32_t> pixels;
  for (std::uint32_t i = 0; i < 35; ++i) pixels.push_back(i * 0x07050301u);  // alpha varies too
  const Picture picture = Picture::FromPixels(7, 5, pixels, 120.0, 120.0);
  const std::vector<std::uint8_t> block = EncodePackedDib(picture.bitmap());
  ASSERT_EQ(block.size(), 40u + 7 * 5 * 4);
  std::vector<std::uint8_t> reused(block.size(), 0xAA);  // memory as an allocator hands it out
  EncodePackedDib(picture.bitmap(), reused);
  EXPECT_EQ(reused, block);
  EXPECT_EQ(std::vector<std::uint8_t>(block.begin(), block.begin() + 17),
            (std::vector<std::uint8_t>{40, 0, 0, 0, 7, 0, 0, 0, 5, 0, 0, 0, 1, 0, 32, 0, 0}));
  EXPECT_EQ(block[40 + 3], picture.bitmap().at(0, 4) >> 24);  // the bottom row first, alpha kept
  const Picture back = DecodePackedDib(block);
  ASSERT_FALSE(back.empty());
  EXPECT_EQ(back.bitmap().pixels(), pixels);
  EXPECT_EQ(back.bitmap().dpi_x(), 120.0);
}

TEST(DibResolution, PelsPerMeterBecomeWholeDotsPerInch) {
  const struct { std::int32_t ppm; double dpi; } cases[] = {
      {0, 96}, {-3780, 96}, {1, 96}, {3780, 96}, {2835, 72}, {3937, 100}, {11811, 300}};
  for (const auto& c : cases) EXPECT_EQ(DpiFromPelsPerMeter(c.ppm), c.dpi) << c.ppm;
  for (double dpi : {72.0, 96.0, 120.0, 300.0}) {
    EXPECT_EQ(DpiFromPelsPerMeter(PelsPerMeterFromDpi(dpi)), dpi);
  }
}

}  // namespace
}  // namespace pw
