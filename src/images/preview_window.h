// The picture preview window.
#pragma once

#include "capture/clip_store.h"

namespace pw {

// Pictures under 100 mm both ways (10000 HIMETRIC) are shown at their own
// size, the rest stretched to the window's picture area.
inline constexpr std::int32_t kOwnSizeLimit = 10000;

// The picture's size in HIMETRIC as the screen shows it: its pixels at the
// screen's resolution, whatever resolution its file stated.
std::int32_t ScreenHimetric(std::int32_t pixels, float twips_per_pixel);

// Opens the preview of slot n, or brings an open preview to the front
// (which keeps showing the picture it was opened with).
void PreviewClick(Host& host, ClipStore& store, int n);

}  // namespace pw
