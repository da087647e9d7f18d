#include "images/preview_window.h"

#include <cmath>

namespace pw {

std::int32_t ScreenHimetric(std::int32_t pixels, float twips_per_pixel) {
  // A twip is 1/1440 inch, a HIMETRIC unit 1/2540 inch.
  return static_cast<std::int32_t>(std::lround(pixels * double{twips_per_pixel} * 2540.0 / 1440.0));
}

void PreviewClick(Host& host, ClipStore& store, int n) {
  store.PreviewSlot = static_cast<std::int16_t>(n);
  if (host.PreviewOpen()) {
    host.BringPreviewToFront();
    return;
  }
  const int k = store.PreviewSlot;
  const Picture picture = k >= 1 && k <= kPictureSlots ? store.PictureSlot(k) : Picture();
  bool own_size = true;
  if (!picture.empty()) {
    const ScreenMetrics screen = host.Screen();
    own_size = ScreenHimetric(picture.bitmap().width(), screen.twips_per_pixel_x) < kOwnSizeLimit &&
               ScreenHimetric(picture.bitmap().height(), screen.twips_per_pixel_y) < kOwnSizeLimit;
  }
  host.OpenPreview(picture, own_size);
}

}  // namespace pw
