#include "images/picture_save.h"

#include "app/saved_file.h"
#include "platform/text.h"

namespace pw {

std::u16string SaveBaseName(const LocalTime& now) {
  return u"Pastewright" + Decimal(now.year) + Decimal(now.month) + Decimal(now.day) +
         Decimal(now.hour) + Decimal(now.minute) + Decimal(now.second);
}

void SavePictureSlot(Host& host, const ClipStore& store, int n) {
  if (n < 1 || n > kPictureSlots || store.PictureSlot(n).empty()) return;
  const Picture picture = store.PictureSlot(n);
  SaveUnderFreeName(host, SaveBaseName(host.Now()), u".bmp", [&](std::u16string_view name) {
    return host.SaveNewBitmap(name, picture);
  });
}

}  // namespace pw
