// What the user does with a text row: put it back, preview it, delete it,
// and empty the whole list.
#pragma once

#include <string>

#include "capture/clip_store.h"

namespace pw {

// The row's preview: its first 80 characters without their leading spaces,
// then "... ...".
std::u16string PreviewText(std::u16string_view text);

// Puts the text of slot `slot` back on the clipboard, where the change
// handler takes it again as the newest row.
void RowClick(Host& host, ClipStore& store, int slot);
// Shows the preview while the pointer is on the row (edges included) and
// hides it at the first move off.
void RowPointerMoved(Host& host, const ClipStore& store, int slot, PointTwips at, SizeTwips size);
void EmptyAllClick(Host& host, ClipStore& store);

}  // namespace pw
