#include "platform/win32/surface.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "platform/dib.h"
#include "platform/win32/dpi.h"

namespace pw::win32 {

Dib32Header TopDown32(std::int32_t width, std::int32_t height) {
  Dib32Header h{};
  h.header.biSize = sizeof h.header;
  h.header.biWidth = width;
  h.header.biHeight = -height;
  h.header.biPlanes = 1;
  h.header.biBitCount = 32;
  h.header.biCompression = BI_RGB;
  return h;
}

Picture PictureOfBitmap(HBITMAP bitmap) {
  BITMAP object{};
  if (!bitmap || ::GetObjectW(bitmap, sizeof object, &object) != sizeof object) return {};
  const std::int32_t width = object.bmWidth;
  const std::int32_t height = object.bmHeight < 0 ? -object.bmHeight : object.bmHeight;
  if (width <= 0 || height <= 0 ||
      static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) > kMaxPicturePixels) {
    return {};
  }
  // Read back as a packed DIB and decoded like any other, so that the same
  // rules decide whether the fourth byte is alpha.
  Dib32Header asked = TopDown32(width, height);
  std::vector<std::uint8_t> packed;
  try {
    packed.resize(sizeof asked.header +
                  static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
  } catch (const std::bad_alloc&) {
    return {};
  }
  Dib32Header filled = asked;
  WindowDc screen(nullptr);
  if (!screen || ::GetDIBits(screen.get(), bitmap, 0, static_cast<UINT>(height),
                             packed.data() + sizeof asked.header, filled.info(),
                             DIB_RGB_COLORS) != height) {
    return {};
  }
  // The call may fill in fields of its own; the rows are the ones we asked for.
  std::memcpy(packed.data(), &asked.header, sizeof asked.header);
  return DecodePackedDib(packed);
}

Picture CopyScreen() {
  Surface surface;
  const int width = ::GetSystemMetrics(SM_CXSCREEN);
  const int height = ::GetSystemMetrics(SM_CYSCREEN);
  {
    WindowDc screen(nullptr);
    if (!screen || !surface.Create(width, height) ||
        !::BitBlt(surface.dc(), 0, 0, width, height, screen.get(), 0, 0, SRCCOPY | CAPTUREBLT)) {
      return {};
    }
  }
  return surface.ToPicture(SystemDpi());
}

void DrawPicture(HDC dc, const Picture& picture, const RECT& dest, bool stretch) {
  if (picture.empty()) return;
  const Bitmap& bmp = picture.bitmap();
  Dib32Header header = TopDown32(bmp.width(), bmp.height());
  const void* bits = bmp.pixels().data();
  if (stretch) {
    const int old_mode = ::SetStretchBltMode(dc, HALFTONE);
    POINT old_origin{};
    ::SetBrushOrgEx(dc, 0, 0, &old_origin);
    ::StretchDIBits(dc, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top, 0, 0,
                    bmp.width(), bmp.height(), bits, header.info(), DIB_RGB_COLORS, SRCCOPY);
    ::SetBrushOrgEx(dc, old_origin.x, old_origin.y, nullptr);
    ::SetStretchBltMode(dc, old_mode);
  } else {
    ::SetDIBitsToDevice(dc, dest.left, dest.top, static_cast<DWORD>(bmp.width()),
                        static_cast<DWORD>(bmp.height()), 0, 0, 0, static_cast<UINT>(bmp.height()),
                        bits, header.info(), DIB_RGB_COLORS);
  }
}

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
  Dib32Header header = TopDown32(width, height);
  void* bits = nullptr;
  UniqueBitmap bitmap(::CreateDIBSection(nullptr, header.info(), DIB_RGB_COLORS, &bits, nullptr, 0));
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
