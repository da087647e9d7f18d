// Saving a picture slot as a .bmp file named after the moment of saving.
#pragma once

#include <string>

#include "capture/clip_store.h"

namespace pw {

// "Pastewright" + year, month, day, hour, minute, second (no leading zeros).
std::u16string SaveBaseName(const LocalTime& now);

// Writes slot n's picture, whole and at its own size, to a new file in the
// current folder, and says where it went.
void SavePictureSlot(Host& host, const ClipStore& store, int n);

}  // namespace pw
