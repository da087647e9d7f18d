// Files every clipboard change into the clip store.
#pragma once

#include <string>

#include "capture/clip_store.h"
#include "platform/host.h"

namespace pw {

// Reads what the clipboard now holds and stores it: a text of two characters
// or more in the next text slot, otherwise (no text at all) its picture in the
// next picture slot. A full store drops its oldest item. A clipboard that
// could not be read, or whose owner withholds it from monitors, stores nothing.
void OnClipboardChange(Host& host, ClipStore& store);

// The text path: `text` (two characters or more) becomes the newest text.
void StoreText(Forms& forms, ClipStore& store, std::u16string text);

// The placement rule for pictures, shared with the screen captures: the
// picture goes into the lowest empty slot and its buttons are shown; with all
// five slots held, slot 1 is dropped and the others move down one slot.
void StorePicture(Forms& forms, Picture picture);

}  // namespace pw
