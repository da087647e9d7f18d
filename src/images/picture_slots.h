// Taking pictures out of their slots: back to the clipboard, or away.
#pragma once

#include <cstdint>

#include "capture/clip_store.h"

namespace pw {

// Removes picture slot k (1-5) and moves the later pictures down one slot;
// other values of k change nothing.
void RemovePictureSlot(ClipStore& store, std::int16_t k);

// Puts the picture of slot n back on the clipboard, where the change handler
// takes it again as the newest picture; the newest it is even when it does
// not come back. An empty slot does nothing.
void ThumbnailClick(Host& host, ClipStore& store, int n);

}  // namespace pw
