#include "screen/region_overlay.h"

#include <algorithm>
#include <cmath>

#include "capture/change_handler.h"
#include "screen/snapshot.h"

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

void RegionCapture::cmd_jp_Click() {
  // One overlay at a time: while one is up it keeps its frozen screen and
  // its screen context, and the user finishes the cut there.
  if (host_.forms.Loaded(Form2)) return;
  ScreenDC = host_.api.GetScreenDC();
  const PixelSize size = ScreenPixels(host_.app.Screen());
  frozen_ = host_.api.CopyScreen(ScreenDC, 0, 0, size.width, size.height);
  host_.forms.ShowOverlay(Form2, frozen_);
}

void RegionCapture::Form_MouseMove(const MouseArgs& args) {
  host_.forms.ClearOutline(Form2);
  if (!RegionArmed) return;
  host_.forms.DrawOutline(Form2, RegionStartX, RegionStartY, args.x, args.y);
  RegionAnchorX = RegionStartX;
  RegionAnchorY = RegionStartY;
  RegionDragged = true;
}

void RegionCapture::Form_MouseDown(const MouseArgs& args) {
  RegionStartX = args.x;
  RegionStartY = args.y;
  RegionArmed = true;
  if (!RegionDragged) return;
  Confirm(args.x, args.y);
}

// The cut comes from the frozen image the user marked on, so it holds neither
// the outline nor whatever changed on the live screen since.
void RegionCapture::Confirm(float x, float y) {
  const ScreenMetrics screen = host_.app.Screen();
  auto px = [](float twips, float per_pixel) {
    return static_cast<std::int32_t>(std::lround(twips / per_pixel));
  };
  StorePicture(host_.forms,
               CropPicture(frozen_, px(RegionAnchorX, screen.twips_per_pixel_x),
                           px(RegionAnchorY, screen.twips_per_pixel_y),
                           px(x, screen.twips_per_pixel_x), px(y, screen.twips_per_pixel_y)));
  host_.forms.Unload(Form2);
}

void RegionCapture::Form_Unload() {
  RegionArmed = false;
  RegionDragged = false;
  if (ScreenDC != 0) host_.api.ReleaseScreenDC(ScreenDC);
  ScreenDC = 0;
  frozen_ = Picture();
}

}  // namespace pw
