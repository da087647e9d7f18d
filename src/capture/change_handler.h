// Files every clipboard change into the clip store.
#pragma once

#include "capture/clip_store.h"

namespace pw {

// Reads what the clipboard now holds and stores it: a text of two characters
// or more as the newest text, otherwise (no text at all) its picture as the
// newest picture. A clipboard that could not be read, or whose owner
// withholds it from monitors, stores nothing.
void OnClipboardChange(Host& host, ClipStore& store);

}  // namespace pw
