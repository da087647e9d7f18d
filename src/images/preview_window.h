// The picture preview window.
#pragma once

#include "capture/clip_store.h"

namespace pw {

// Pictures under this size (HIMETRIC, both ways) are shown at their own size.
inline constexpr std::int32_t kOwnSizeLimit = 10000;

// Opens the preview of slot n, or brings an open preview to the front
// (which keeps showing the picture it was opened with).
void PreviewClick(Forms& forms, ClipStore& store, int n);
void PreviewLoad(Forms& forms, const ClipStore& store);
void PreviewUnload(Forms& forms);

}  // namespace pw
