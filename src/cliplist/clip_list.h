// Taking texts out of the list of rows.
#pragma once

#include <cstdint>

#include "capture/clip_store.h"

namespace pw {

inline constexpr std::int16_t kAllRows = 100;

// Removes row k (1-10, the text in slot k-1) and moves the later rows up, or
// every row for k = 100. Any other k removes nothing. In every case the
// control panel gets its short title and the rows past the texts are hidden.
void RefreshClipList(Forms& forms, ClipStore& store, std::int16_t k);

// Hides all four controls of every row from slot `count` on; count = 0 also
// disables "Empty All". Counts outside 0-9 hide nothing.
void HideUnusedRows(Forms& forms, std::int16_t count);

}  // namespace pw
