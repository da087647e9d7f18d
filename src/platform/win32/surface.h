// Pixels between pictures and GDI: the one 32-bit DIB header, a DIB section
// to copy the screen into or paint a frozen screen from, and drawing a
// picture onto a device context.
#pragma once

#include <cstdint>

#include "platform/picture.h"
#include "platform/win32/handles.h"

namespace pw::win32 {

// The header of a 32 bits-per-pixel, top-down, uncompressed DIB: the layout
// of a Bitmap's pixels. Room follows it for the colour masks that some
// drivers write back from GetDIBits.
struct Dib32Header {
  BITMAPINFOHEADER header;
  DWORD masks[3];
  BITMAPINFO* info() { return reinterpret_cast<BITMAPINFO*>(this); }
};
Dib32Header TopDown32(std::int32_t width, std::int32_t height);

// A GDI bitmap, device-dependent ones too, as a picture: opaque unless its
// pixels carry alpha. Empty when it cannot be read.
Picture PictureOfBitmap(HBITMAP bitmap);

// The whole primary screen as it is now, fully opaque.
Picture CopyScreen();

// Draws the picture into `dest`, scaled to fill it (HALFTONE) or at its own
// size from dest's top-left corner.
void DrawPicture(HDC dc, const Picture& picture, const RECT& dest, bool stretch);

// A 32-bit top-down DIB section selected into a memory DC.
class Surface {
 public:
  Surface() = default;
  ~Surface() { Reset(); }
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;

  bool Create(int width, int height);
  // A surface holding the picture's pixels.
  bool CreateFrom(const Picture& picture);
  void Reset();

  HDC dc() const { return dc_.get(); }
  explicit operator bool() const { return bits_ != nullptr; }
  // The pixels as a new picture, fully opaque (screen pixels carry no alpha).
  Picture ToPicture(double dpi) const;

 private:
  UniqueMemoryDc dc_;
  UniqueBitmap bitmap_;
  HGDIOBJ previous_ = nullptr;
  std::uint32_t* bits_ = nullptr;
  int width_ = 0;
  int height_ = 0;
};

}  // namespace pw::win32
