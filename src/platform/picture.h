// A picture: a shared, immutable bitmap, or nothing.
//
// Slots, boxes and the clipboard hand pictures around by reference: copying a
// Picture copies a pointer, never pixels, and two Pictures are the same
// picture exactly when they share the bitmap.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace pw {

// 32-bit pixels, 0xAARRGGBB (bytes B, G, R, A in memory), rows top-down.
// The resolution is the one its file or clipboard format stated; it goes
// back into the files written from it and means nothing on screen.
class Bitmap {
 public:
  Bitmap(std::int32_t width, std::int32_t height, std::vector<std::uint32_t> pixels,
         double dpi_x = 96.0, double dpi_y = 96.0);

  std::int32_t width() const { return width_; }
  std::int32_t height() const { return height_; }
  double dpi_x() const { return dpi_x_; }
  double dpi_y() const { return dpi_y_; }
  const std::vector<std::uint32_t>& pixels() const { return pixels_; }
  std::uint32_t at(std::int32_t x, std::int32_t y) const {
    return pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                   static_cast<std::size_t>(x)];
  }

 private:
  std::int32_t width_;
  std::int32_t height_;
  double dpi_x_;
  double dpi_y_;
  std::vector<std::uint32_t> pixels_;
};

class Picture {
 public:
  Picture() = default;
  explicit Picture(std::shared_ptr<const Bitmap> bitmap) : bitmap_(std::move(bitmap)) {}

  // A new picture that owns these pixels.
  static Picture FromPixels(std::int32_t width, std::int32_t height,
                            std::vector<std::uint32_t> pixels, double dpi_x = 96.0,
                            double dpi_y = 96.0);

  bool empty() const { return bitmap_ == nullptr; }
  explicit operator bool() const { return !empty(); }

  // Only valid when not empty.
  const Bitmap& bitmap() const { return *bitmap_; }

  // The same picture object, not merely equal pixels.
  friend bool operator==(const Picture& a, const Picture& b) { return a.bitmap_ == b.bitmap_; }

  // How many holders share this picture (slots, boxes, clipboard, the caller).
  long use_count() const { return bitmap_.use_count(); }

 private:
  std::shared_ptr<const Bitmap> bitmap_;
};

}  // namespace pw
