// Device-independent bitmaps in the "packed" form the clipboard carries
// (CF_DIB, CF_DIBV5): an info header, optional colour masks, a colour table,
// then the pixel rows.
//
// Written without the system headers, byte by byte in little-endian order, so
// that the parser runs (and is tested) on any platform. Everything here comes
// from other programs and is treated as hostile: a header is checked against
// the block's real size before anything is allocated for it.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/picture.h"

namespace pw {

// Largest picture accepted from outside, in pixels (1 GiB as 32-bit pixels).
inline constexpr std::uint64_t kMaxPicturePixels = std::uint64_t{1} << 28;

namespace dib {
// Header sizes: BITMAPINFOHEADER, the V2 and V3 extensions with masks,
// BITMAPV4HEADER, BITMAPV5HEADER.
inline constexpr std::uint32_t kInfoHeader = 40;
inline constexpr std::uint32_t kV2Header = 52;
inline constexpr std::uint32_t kV3Header = 56;
inline constexpr std::uint32_t kV4Header = 108;
inline constexpr std::uint32_t kV5Header = 124;

// biCompression values.
inline constexpr std::uint32_t kRgb = 0;
inline constexpr std::uint32_t kRle8 = 1;
inline constexpr std::uint32_t kRle4 = 2;
inline constexpr std::uint32_t kBitfields = 3;
inline constexpr std::uint32_t kJpeg = 4;
inline constexpr std::uint32_t kPng = 5;
inline constexpr std::uint32_t kAlphaBitfields = 6;
}  // namespace dib

// The picture in a packed DIB, or an empty Picture when the block is
// truncated, inconsistent, too large or damaged, or wraps a JPEG or PNG
// file (see EmbeddedImage). Run-length encoded blocks are decoded. Rows come
// out top-down as 0xAARRGGBB.
// Sources without an alpha channel, and those whose alpha is zero
// everywhere (the usual "reserved" byte of 32-bit BI_RGB), come out opaque.
// The resolution is the header's own (96 dpi when it gives none).
Picture DecodePackedDib(std::span<const std::uint8_t> block);

// The JPEG or PNG file a DIB carries in place of its rows (BI_JPEG, BI_PNG),
// for an image codec to decode; nothing for any other block.
struct EmbeddedFile {
  enum Kind : std::uint8_t { None, Jpeg, Png } kind = None;
  std::span<const std::uint8_t> bytes;
};
EmbeddedFile EmbeddedImage(std::span<const std::uint8_t> block);

// The picture as a packed DIB: BITMAPINFOHEADER, 32 bits per pixel, BI_RGB,
// bottom-up rows, the alpha in each pixel's fourth byte, and the resolution
// in pixels per metre.
std::vector<std::uint8_t> EncodePackedDib(const Bitmap& bitmap);
// The same into memory of PackedDibSize bytes, for a huge picture to be
// copied once, straight into the block the clipboard takes.
std::size_t PackedDibSize(const Bitmap& bitmap);
void EncodePackedDib(const Bitmap& bitmap, std::span<std::uint8_t> out);

// Resolution conversions between dots per inch and a header's pixels per
// metre (whole dots per inch, 96 when the header gives none).
double DpiFromPelsPerMeter(std::int32_t pels_per_meter);
std::int32_t PelsPerMeterFromDpi(double dpi);

}  // namespace pw
