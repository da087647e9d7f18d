// Test pictures, for the Windows-side tests and the portable DIB tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/picture.h"

namespace pw::win32::testing {

// A picture in which neighbouring pixels differ in every colour. With
// `alpha` the pixels carry a spread of alpha values, otherwise they are opaque.
inline Picture Pattern(std::int32_t width, std::int32_t height, bool alpha, double dpi = 96.0) {
  std::vector<std::uint32_t> pixels;
  pixels.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  for (std::int32_t y = 0; y < height; ++y) {
    for (std::int32_t x = 0; x < width; ++x) {
      const std::uint32_t r = static_cast<std::uint32_t>(x * 37 + y * 11) & 0xFF;
      const std::uint32_t g = static_cast<std::uint32_t>(x * 7 + y * 53 + 90) & 0xFF;
      const std::uint32_t b = static_cast<std::uint32_t>(x * y + 3 * x + 200) & 0xFF;
      const std::uint32_t a = alpha ? (static_cast<std::uint32_t>(x * 29 + y * 17) & 0xFF) : 0xFF;
      pixels.push_back((a << 24) | (r << 16) | (g << 8) | b);
    }
  }
  return Picture::FromPixels(width, height, std::move(pixels), dpi, dpi);
}

// The same picture with every pixel made opaque.
inline Picture Opaque(const Picture& picture) {
  std::vector<std::uint32_t> pixels = picture.bitmap().pixels();
  for (std::uint32_t& p : pixels) p |= 0xFF000000u;
  const Bitmap& b = picture.bitmap();
  return Picture::FromPixels(b.width(), b.height(), std::move(pixels), b.dpi_x(), b.dpi_y());
}

// How many pixels differ; every pixel counts when the sizes differ.
inline std::size_t DifferingPixels(const Bitmap& a, const Bitmap& b) {
  if (a.width() != b.width() || a.height() != b.height()) {
    return static_cast<std::size_t>(a.width()) * static_cast<std::size_t>(a.height());
  }
  std::size_t differing = 0;
  for (std::size_t i = 0; i < a.pixels().size(); ++i) differing += a.pixels()[i] != b.pixels()[i];
  return differing;
}

}  // namespace pw::win32::testing
