// A 32-bit top-down DIB section selected into a memory DC: the place screen
// pixels are copied to, and the frozen image of the region overlay.
#pragma once

#include <cstdint>

#include "platform/picture.h"
#include "platform/win32/handles.h"

namespace pw::win32 {

class Surface {
 public:
  Surface() = default;
  ~Surface();
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;

  bool Create(int width, int height);
  // A surface holding the picture's pixels.
  bool CreateFrom(const Picture& picture);
  void Reset();

  HDC dc() const { return dc_.get(); }
  int width() const { return width_; }
  int height() const { return height_; }
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
