// The packed-DIB reader and writer. Portable: runs natively and under Wine.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "platform/win32/dib.h"
#include "test_pictures.h"

namespace pw::win32 {
namespace {

using testing::DifferingPixels;
using testing::Pattern;

constexpr std::uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF;
constexpr std::uint32_t kWhite = 0xFFFFFFFF, kBlack = 0xFF000000;

// A packed DIB as another program might write it. Rows are given as raw
// bytes in file order (padding included), so each case states its layout.
struct Dib {
  std::uint32_t header = dib::kInfoHeader;
  std::int32_t width = 2;
  std::int32_t height = 2;
  std::uint16_t planes = 1;
  std::uint16_t bpp = 24;
  std::uint32_t compression = dib::kRgb;
  std::int32_t ppm = 0;
  std::uint32_t colours_used = 0;
  std::vector<std::uint32_t> header_masks = {};  // inside a V2+ header: R, G, B[, A]
  std::vector<std::uint32_t> after_header = {};  // masks following the header
  std::vector<std::uint32_t> palette = {};       // 0x00RRGGBB
  std::vector<std::uint8_t> rows = {};

  std::vector<std::uint8_t> Bytes() const {
    // At least a full info header, so that even a bogus size field has its fields.
    std::vector<std::uint8_t> out(header < dib::kInfoHeader ? dib::kInfoHeader : header, 0);
    auto put = [&](std::size_t at, std::uint64_t v, int n) {
      for (int i = 0; i < n; ++i) out[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    put(0, header, 4);
    put(4, static_cast<std::uint32_t>(width), 4);
    put(8, static_cast<std::uint32_t>(height), 4);
    put(12, planes, 2);
    put(14, bpp, 2);
    put(16, compression, 4);
    put(24, static_cast<std::uint32_t>(ppm), 4);
    put(28, static_cast<std::uint32_t>(ppm), 4);
    put(32, colours_used, 4);
    for (std::size_t i = 0; i < header_masks.size(); ++i) put(40 + 4 * i, header_masks[i], 4);
    auto append = [&](std::uint32_t v) {
      for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    };
    for (std::uint32_t m : after_header) append(m);
    for (std::uint32_t c : palette) append(c);
    out.insert(out.end(), rows.begin(), rows.end());
    return out;
  }
};

struct GoodCase {
  std::string name;
  Dib dib;
  std::vector<std::uint32_t> pixels;  // expected, top-down
  double dpi = 96.0;
};

Dib With(Dib d, auto&& change) {
  change(d);
  return d;
}

const GoodCase kGood[] = {
    // 24-bit rows are 6 bytes padded to 8; the bottom row comes first.
    {"Rgb24BottomUp",
     {.rows = {0, 0, 255, 0, 255, 0, 0, 0, /**/ 255, 0, 0, 255, 255, 255, 0, 0}},
     {kBlue, kWhite, kRed, kGreen}},
    {"Rgb24TopDown",
     {.height = -2, .rows = {0, 0, 255, 0, 255, 0, 0, 0, /**/ 255, 0, 0, 255, 255, 255, 0, 0}},
     {kRed, kGreen, kBlue, kWhite}},
    {"Rgb24KeepsItsResolution",
     {.width = 1, .height = 1, .ppm = 2835, .rows = {1, 2, 3, 0}},
     {0xFF030201},
     72.0},
    // The fourth byte of 32-bit BI_RGB is alpha only when some pixel uses it.
    {"Rgb32AllZeroAlphaIsOpaque",
     {.width = 2, .height = 1, .bpp = 32, .rows = {1, 2, 3, 0, 4, 5, 6, 0}},
     {0xFF030201, 0xFF060504}},
    {"Rgb32KeepsUsedAlpha",
     {.width = 2, .height = 1, .bpp = 32, .rows = {1, 2, 3, 0, 4, 5, 6, 0x80}},
     {0x00030201, 0x80060504}},
    {"Palette8WithShortTable",
     {.height = -2,
      .bpp = 8,
      .colours_used = 3,
      .palette = {0xFF0000, 0x00FF00, 0x0000FF},
      .rows = {0, 1, 0, 0, /**/ 2, 7, 0, 0}},  // 7 is past the table: black
     {kRed, kGreen, kBlue, kBlack}},
    {"Palette1AcrossAByte",
     {.width = 9, .height = 1, .bpp = 1, .palette = {0x000000, 0xFFFFFF},
      .rows = {0b10100000, 0b10000000, 0, 0}},
     {kWhite, kBlack, kWhite, kBlack, kBlack, kBlack, kBlack, kBlack, kWhite}},
    {"Palette4",
     {.width = 3, .height = 1, .bpp = 4, .colours_used = 3,
      .palette = {0xFF0000, 0x00FF00, 0x0000FF}, .rows = {0x21, 0x00, 0, 0}},
     {kBlue, kGreen, kRed}},
    {"Rgb16Is555",
     {.width = 2, .height = 1, .bpp = 16, .rows = {0xFF, 0x7F, 0x00, 0x7C}},
     {kWhite, kRed}},
    {"Bitfields16As565AfterHeader",
     {.width = 2, .height = 1, .bpp = 16, .compression = dib::kBitfields,
      .after_header = {0xF800, 0x07E0, 0x001F}, .rows = {0xE0, 0x07, 0x1F, 0x00}},
     {kGreen, kBlue}},
    {"Bitfields32SwappedChannels",
     {.width = 1, .height = 1, .bpp = 32, .compression = dib::kBitfields,
      .after_header = {0x000000FF, 0x0000FF00, 0x00FF0000}, .rows = {0x11, 0x22, 0x33, 0x00}},
     {0xFF112233}},
    {"V5WithAlphaMask",
     {.header = dib::kV5Header, .width = 2, .height = 1, .bpp = 32,
      .compression = dib::kBitfields,
      .header_masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000},
      .rows = {1, 2, 3, 0x40, 4, 5, 6, 0xFF}},
     {0x40030201, 0xFF060504}},
    // Some writers repeat a V5 header's masks after it.
    {"V5WithRepeatedMasks",
     {.header = dib::kV5Header, .width = 1, .height = 1, .bpp = 32,
      .compression = dib::kBitfields,
      .header_masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0},
      .after_header = {0x00FF0000, 0x0000FF00, 0x000000FF}, .rows = {1, 2, 3, 0}},
     {0xFF030201}},
    {"Rgb24SkipsOptionalTable",
     {.width = 1, .height = 1, .colours_used = 2, .palette = {0x123456, 0x654321},
      .rows = {1, 2, 3, 0}},
     {0xFF030201}},
};

TEST(DibDecode, GivesTopDownPixelsOpaqueUnlessAlphaIsUsed) {
  for (const GoodCase& c : kGood) {
    SCOPED_TRACE(c.name);
    const Picture picture = DecodePackedDib(c.dib.Bytes());
    ASSERT_FALSE(picture.empty());
    const Bitmap& b = picture.bitmap();
    EXPECT_EQ(b.width(), c.dib.width);
    EXPECT_EQ(b.height(), c.dib.height < 0 ? -c.dib.height : c.dib.height);
    EXPECT_EQ(b.pixels(), c.pixels);
    EXPECT_EQ(b.dpi_x(), c.dpi);
    EXPECT_EQ(b.dpi_y(), c.dpi);
  }
}

struct BadCase {
  std::string name;
  std::vector<std::uint8_t> bytes;
};

// A valid 2 x 2, 24-bit DIB to break one field at a time.
const Dib kValid{.rows = std::vector<std::uint8_t>(16, 0x55)};

std::vector<std::uint8_t> Broken(auto&& change) { return With(kValid, change).Bytes(); }

std::vector<std::uint8_t> Truncated(std::vector<std::uint8_t> bytes, std::size_t by) {
  bytes.resize(bytes.size() - by);
  return bytes;
}

const BadCase kBad[] = {
    {"Empty", {}},
    {"ShortHeader", Truncated(kValid.Bytes(), 16 + 1)},
    {"UnknownHeaderSize", Broken([](Dib& d) { d.header = 64; })},
    {"CoreHeader", Broken([](Dib& d) { d.header = 12; })},
    {"V5HeaderPastTheBlock", Truncated(With(kValid, [](Dib& d) { d.header = dib::kV5Header; d.rows.clear(); }).Bytes(), 1)},
    {"ZeroWidth", Broken([](Dib& d) { d.width = 0; })},
    {"NegativeWidth", Broken([](Dib& d) { d.width = -2; })},
    {"ZeroHeight", Broken([](Dib& d) { d.height = 0; })},
    {"LowestHeight", Broken([](Dib& d) { d.height = std::numeric_limits<std::int32_t>::min(); })},
    {"NoPlanes", Broken([](Dib& d) { d.planes = 0; })},
    {"ZeroBits", Broken([](Dib& d) { d.bpp = 0; })},
    {"TwoBits", Broken([](Dib& d) { d.bpp = 2; })},
    {"SixtyFourBits", Broken([](Dib& d) { d.bpp = 64; })},
    {"RunLength8", Broken([](Dib& d) { d.bpp = 8; d.compression = dib::kRle8; })},
    {"RunLength4", Broken([](Dib& d) { d.bpp = 4; d.compression = dib::kRle4; })},
    {"EmbeddedJpeg", Broken([](Dib& d) { d.compression = dib::kJpeg; })},
    {"EmbeddedPng", Broken([](Dib& d) { d.compression = dib::kPng; })},
    {"UnknownCompression", Broken([](Dib& d) { d.compression = 9; })},
    {"BitfieldsAt24Bits", Broken([](Dib& d) {
       d.compression = dib::kBitfields;
       d.after_header = {0xFF0000, 0xFF00, 0xFF};
     })},
    {"BitfieldsMasksMissing",
     Dib{.width = 1, .height = 1, .bpp = 32, .compression = dib::kBitfields, .rows = {1, 2, 3, 4}}
         .Bytes()},
    {"BitfieldsZeroGreen", Broken([](Dib& d) {
       d.bpp = 32;
       d.compression = dib::kBitfields;
       d.after_header = {0xFF0000, 0, 0xFF};
     })},
    {"BitfieldsOverlap", Broken([](Dib& d) {
       d.bpp = 32;
       d.compression = dib::kBitfields;
       d.after_header = {0xFF0000, 0x1FF00, 0xFF};
     })},
    {"BitfieldsGaps", Broken([](Dib& d) {
       d.bpp = 32;
       d.compression = dib::kBitfields;
       d.after_header = {0xFF00FF00, 0x00FF0000, 0xFF};
     })},
    {"BitfieldsWiderThanPixel", Broken([](Dib& d) {
       d.bpp = 16;
       d.compression = dib::kBitfields;
       d.after_header = {0x1F0000, 0x07E0, 0x1F};
     })},
    {"PaletteLongerThanDepthAllows", Broken([](Dib& d) {
       d.bpp = 8;
       d.colours_used = 257;
       d.palette.assign(257, 0);
     })},
    {"PalettePastTheBlock", Broken([](Dib& d) {
       d.bpp = 8;
       d.colours_used = 200;
       d.palette.assign(10, 0);
       d.rows.resize(8);
     })},
    {"OptionalTableTooLong", Broken([](Dib& d) { d.colours_used = 300; })},
    {"RowsOneByteShort", Truncated(kValid.Bytes(), 1)},
    {"RowsMissing", Broken([](Dib& d) { d.rows.clear(); })},
    // Sizes that must be refused from the header alone, before any allocation.
    {"MorePixelsThanAccepted", Broken([](Dib& d) { d.width = 1 << 15; d.height = (1 << 13) + 1; })},
    {"HugeAndTruncated", Broken([](Dib& d) { d.width = 1 << 14; d.height = 1 << 14; d.bpp = 32; })},
    {"HugeTopDownAndTruncated", Broken([](Dib& d) {
       d.width = std::numeric_limits<std::int32_t>::max();
       d.height = -std::numeric_limits<std::int32_t>::max();
     })},
};

TEST(DibDecode, GivesNoPictureForEveryMalformedBlock) {
  for (const BadCase& c : kBad) EXPECT_TRUE(DecodePackedDib(c.bytes).empty()) << c.name;
}

TEST(DibEncode, WritesABottomUp32BitInfoHeaderThatReadsBackUnchanged) {
  const Picture source = Pattern(7, 5, /*alpha=*/true, 120.0);
  const std::vector<std::uint8_t> block = EncodePackedDib(source.bitmap());
  ASSERT_EQ(block.size(), 40u + 7 * 5 * 4);
  EXPECT_EQ(block[0], 40);      // BITMAPINFOHEADER
  EXPECT_EQ(block[8], 5);       // positive height: bottom-up
  EXPECT_EQ(block[14], 32);     // bits per pixel
  EXPECT_EQ(block[16], 0);      // BI_RGB
  // The first row in the block is the picture's bottom row.
  const std::uint32_t bottom_left = source.bitmap().at(0, 4);
  EXPECT_EQ(block[40], bottom_left & 0xFF);
  EXPECT_EQ(block[43], bottom_left >> 24);

  const Picture back = DecodePackedDib(block);
  ASSERT_FALSE(back.empty());
  EXPECT_EQ(DifferingPixels(back.bitmap(), source.bitmap()), 0u);
  EXPECT_EQ(back.bitmap().dpi_x(), 120.0);
  EXPECT_EQ(back.WidthHimetric(), source.WidthHimetric());
}

TEST(DibResolution, ConvertsPelsPerMeterToWholeDotsPerInch) {
  const struct {
    std::int32_t ppm;
    double dpi;
  } cases[] = {{0, 96}, {-3780, 96}, {1, 96}, {3780, 96}, {2835, 72}, {3937, 100}, {11811, 300}};
  for (const auto& c : cases) EXPECT_EQ(DpiFromPelsPerMeter(c.ppm), c.dpi) << c.ppm;
  for (const double dpi : {72.0, 96.0, 120.0, 300.0}) {
    EXPECT_EQ(DpiFromPelsPerMeter(PelsPerMeterFromDpi(dpi)), dpi);
  }
}

}  // namespace
}  // namespace pw::win32
