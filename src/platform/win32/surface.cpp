#include "platform/win32/surface.h"

#include <algorithm>
#include <vector>

namespace pw::win32 {

Surface::~Surface() { Reset(); }

void Surface::Reset() {
  if (dc_ && previous_) ::SelectObject(dc_.get(), previous_);
  previous_ = nullptr;
  bitmap_.reset();
  dc_.reset();
  bits_ = nullptr;
  width_ = height_ = 0;
}

bool Surface::Create(int width, int height) {
  Reset();
  if (width < 1 || height < 1) return false;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down, like Bitmap
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  UniqueBitmap bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
  if (!bitmap || !dc || !bits) return false;
  previous_ = ::SelectObject(dc.get(), bitmap.get());
  bitmap_ = std::move(bitmap);
  dc_ = std::move(dc);
  bits_ = static_cast<std::uint32_t*>(bits);
  width_ = width;
  height_ = height;
  return true;
}

bool Surface::CreateFrom(const Picture& picture) {
  if (picture.empty()) {
    Reset();
    return false;
  }
  const Bitmap& bmp = picture.bitmap();
  if (!Create(bmp.width(), bmp.height())) return false;
  ::GdiFlush();
  std::copy(bmp.pixels().begin(), bmp.pixels().end(), bits_);
  return true;
}

Picture Surface::ToPicture(double dpi) const {
  if (!bits_) return Picture();
  ::GdiFlush();  // the DIB section's memory is current only after pending drawing
  const std::size_t count = static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_);
  std::vector<std::uint32_t> pixels(bits_, bits_ + count);
  for (std::uint32_t& p : pixels) p |= 0xFF000000u;
  return Picture::FromPixels(width_, height_, std::move(pixels), dpi, dpi);
}

}  // namespace pw::win32
