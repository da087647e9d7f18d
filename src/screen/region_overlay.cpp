#include "screen/region_overlay.h"

#include <algorithm>
#include <cmath>

namespace pw {

Picture CropPicture(const Picture& picture, std::int32_t x1, std::int32_t y1, std::int32_t x2,
                    std::int32_t y2) {
  if (picture.empty()) return Picture();
  const Bitmap& src = picture.bitmap();
  const std::int32_t left = std::max(0, std::min(x1, x2));
  const std::int32_t top = std::max(0, std::min(y1, y2));
  const std::int32_t right = std::min(src.width() - 1, std::max(x1, x2));
  const std::int32_t bottom = std::min(src.height() - 1, std::max(y1, y2));
  if (left > right || top > bottom) return Picture();
  const std::int32_t width = right - left + 1;
  const std::int32_t height = bottom - top + 1;
  std::vector<std::uint32_t> pixels;
  pixels.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  for (std::int32_t y = top; y <= bottom; ++y) {
    const auto row = src.pixels().begin() + static_cast<std::ptrdiff_t>(y) * src.width();
    pixels.insert(pixels.end(), row + left, row + right + 1);
  }
  return Picture::FromPixels(width, height, std::move(pixels), src.dpi_x(), src.dpi_y());
}

void RegionCapture::CutScreenClick(Host& host) {
  // One overlay at a time: the user finishes the cut on the open one.
  if (host.OverlayOpen()) return;
  OverlayClosed();
  frozen_ = host.CaptureScreen();
  host.OpenOverlay(frozen_);
}

void RegionCapture::PointerMoved(Host& host, PointTwips at) {
  if (!RegionArmed) {
    host.HideOutline();
    return;
  }
  host.ShowOutline(RegionStart, at);
  RegionAnchor = RegionStart;
  RegionDragged = true;
}

// The cut comes from the frozen image the user marked on, so it holds neither
// the outline nor whatever changed on the live screen since, and it is the
// marked rectangle whichever way it was dragged.
void RegionCapture::PointerPressed(Host& host, ClipStore& store, PointTwips at) {
  RegionStart = at;
  RegionArmed = true;
  if (!RegionDragged) return;
  const ScreenMetrics screen = host.Screen();
  auto px = [](float twips, float per_pixel) {
    return static_cast<std::int32_t>(std::lround(twips / per_pixel));
  };
  StorePicture(store, CropPicture(frozen_, px(RegionAnchor.x, screen.twips_per_pixel_x),
                                  px(RegionAnchor.y, screen.twips_per_pixel_y),
                                  px(at.x, screen.twips_per_pixel_x),
                                  px(at.y, screen.twips_per_pixel_y)));
  host.CloseOverlay();
  OverlayClosed();
}

void RegionCapture::OverlayClosed() {
  RegionArmed = false;
  RegionDragged = false;
  frozen_ = Picture();
}

}  // namespace pw
