#include "images/picture_slots.h"

#include <algorithm>

#include "capture/change_handler.h"

namespace pw {

void RemovePictureSlot(Forms& forms, std::int16_t k) {
  if (k < 1 || k > kPictureSlots) return;
  int n = 0;
  for (int j = kPictureSlots; j >= 1 && n == 0; --j) {
    if (PictureSlotOccupied(forms, j)) n = j;
  }
  for (int j = k; j < n; ++j) forms.SetPicture(simg(j), PictureSlot(forms, j + 1));
  const int first_emptied = std::max<int>(n, k);
  for (int j = first_emptied; j <= kPictureSlots; ++j) forms.SetPicture(simg(j), Picture());
  for (int j = first_emptied; j <= kPictureSlots; ++j) SetPictureButtonsVisible(forms, j, false);
}

void ThumbnailClick(Host& host, ClipStore& store, int n) {
  if (n < 1 || n > kPictureSlots || !PictureSlotOccupied(host.forms, n)) return;
  store.Picture2 = PictureSlot(host.forms, n);
  RemovePictureSlot(host.forms, static_cast<std::int16_t>(n));
  host.clipboard.Clear();
  if (!host.clipboard.SetPicture(store.Picture2)) {
    // The picture left its slot but never reached the clipboard: keep it.
    StorePicture(host.forms, store.Picture2);
    host.dialogs.MessageBox(
        u"The picture could not be put on the clipboard because another program is using it. "
        u"It is kept as the newest picture; please try again.",
        MessageKind::Error);
    return;
  }
  host.dialogs.MessageBox(store.MsgReadyPaste);
}

}  // namespace pw
