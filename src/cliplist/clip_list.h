// Taking texts out of the list of rows.
#pragma once

#include <cstdint>

#include "capture/clip_store.h"

namespace pw {

inline constexpr std::int16_t kAllRows = 100;

// Removes row k (1-10, the text in slot k-1) and moves the later rows up, or
// every row for k = 100. A k that names no held text removes nothing. In
// every case the control panel takes its short title from then on.
void RefreshClipList(ClipStore& store, std::int16_t k);

}  // namespace pw
