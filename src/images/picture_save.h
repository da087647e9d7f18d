// Saving a picture slot as a .bmp file named after the moment of saving.
#pragma once

#include <string>

#include "capture/clip_store.h"

namespace pw {

// "Pastewright" + year, month, day, hour, minute, second (no leading zeros) + ".bmp".
std::u16string SaveFileName(const LocalTime& now);

// Writes slot n's picture, whole and at its own size, into the current directory.
void SavePictureSlot(Host& host, const ClipStore& store, int n);

}  // namespace pw
