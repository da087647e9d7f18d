#include "images/picture_slots.h"

#include <utility>

namespace pw {

void RemovePictureSlot(ClipStore& store, std::int16_t k) {
  if (k < 1 || k > kPictureSlots) return;
  for (int j = k; j < kPictureSlots; ++j) store.pictures[j - 1] = std::move(store.pictures[j]);
  store.pictures[kPictureSlots - 1] = Picture();
}

void ThumbnailClick(Host& host, ClipStore& store, int n) {
  if (n < 1 || n > kPictureSlots || store.PictureSlot(n).empty()) return;
  store.Picture2 = store.PictureSlot(n);
  RemovePictureSlot(store, static_cast<std::int16_t>(n));
  host.ClearClipboard();
  const bool put = host.PutPicture(store.Picture2);
  // The notice of the put has stored it back by now, unless a viewer ahead of
  // us passes it on late (it then finds the picture held) or the system lost
  // it: what the clipboard now gives tells which.
  const bool back = put && host.ReadPicture().picture == store.Picture2;
  // Kept as the newest in any case: it left its slot.
  StorePicture(store, store.Picture2);
  // Only the click needs it; a huge picture must not stay in memory twice.
  store.Picture2 = Picture();
  if (!put) {
    host.MessageBox(
        u"The picture could not be put on the clipboard because another program is using it. "
        u"It is kept as the newest picture; please try again.",
        MessageKind::Error);
    return;
  }
  if (!back) {
    host.MessageBox(u"The picture did not come back from the clipboard. It is kept as the newest "
                    u"picture; please try again.",
                    MessageKind::Error);
    return;
  }
  host.MessageBox(MsgReadyPaste);
}

}  // namespace pw
