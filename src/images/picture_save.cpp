#include "images/picture_save.h"

#include "platform/text.h"

namespace pw {

std::u16string SaveFileName(const LocalTime& now) {
  return u"Pastewright" + Decimal(now.year) + Decimal(now.month) + Decimal(now.day) +
         Decimal(now.hour) + Decimal(now.minute) + Decimal(now.second) + u".bmp";
}

void SavePictureSlot(Host& host, const ClipStore& store, int n) {
  if (n < 1 || n > kPictureSlots) return;
  const Picture picture = PictureSlot(host.forms, n);
  if (picture.empty()) return;
  const std::u16string name = SaveFileName(host.clock.Now());
  const FileResult result = host.files.SaveBitmap(name, picture);
  ReportFileSaved(host.dialogs, store, name, result);
}

}  // namespace pw
