#include "capture/change_handler.h"

#include <utility>

namespace pw {

void StoreText(Forms& forms, ClipStore& store, std::u16string text) {
  if (store.ClipCount >= kTextSlots) {
    // Drop the oldest; every other text moves one slot down with its caption.
    // Swapping carries the oldest up to the last slot and from there into
    // `text`, which gives its memory back on return (a move could leave it
    // behind as the capacity of a slot).
    for (int i = 0; i < kTextSlots - 1; ++i) {
      store.ClipText[i].swap(store.ClipText[i + 1]);
      store.ClipSerial[i] = store.ClipSerial[i + 1];
      forms.SetCaption(ClipShow(i), forms.Caption(ClipShow(i + 1)));
    }
    forms.SetCaption(ClipShow(kTextSlots - 1), RowPreview(text));
    store.ClipText[kTextSlots - 1].swap(text);
    store.ClipSerial[kTextSlots - 1] = store.NextSerial++;
    store.ClipCount = kTextSlots;
    return;
  }
  const int k = store.ClipCount;
  forms.SetCaption(ClipShow(k), RowPreview(text));
  store.ClipText[k] = std::move(text);
  store.ClipSerial[k] = store.NextSerial++;
  store.ClipCount = static_cast<std::int16_t>(k + 1);
  forms.SetVisible(ClipShow(k), true);
  forms.SetVisible(t(k + 1), true);
  forms.SetVisible(w(k + 1), true);
  forms.SetVisible(d(k), true);
  if (k == 0) forms.SetEnabled(EmptyAll, true);
}

void StorePicture(Forms& forms, Picture picture) {
  if (picture.empty()) return;
  bool all_occupied = true;
  for (int n = 1; n <= kPictureSlots && all_occupied; ++n) {
    all_occupied = PictureSlotOccupied(forms, n);
  }
  if (all_occupied) {
    for (int n = 1; n < kPictureSlots; ++n) forms.SetPicture(simg(n), PictureSlot(forms, n + 1));
    forms.SetPicture(simg(kPictureSlots), std::move(picture));
    return;
  }
  // The slots have no gaps, so the first empty slot follows the last occupied one.
  int slot = 1;
  for (int j = kPictureSlots; j >= 2; --j) {
    if (PictureSlotOccupied(forms, j - 1) && !PictureSlotOccupied(forms, j)) {
      slot = j;
      break;
    }
  }
  forms.SetPicture(simg(slot), std::move(picture));
  SetPictureButtonsVisible(forms, slot, true);
}

void OnClipboardChange(Host& host, ClipStore& store) {
  TextRead text = host.clipboard.ReadText();
  if (text.status != ClipStatus::Ok) return;
  if (text.text.size() >= 2) {
    StoreText(host.forms, store, std::move(text.text));
    return;
  }
  if (!text.text.empty()) return;  // a single character is never stored

  PictureRead picture = host.clipboard.ReadPicture();
  if (picture.status != ClipStatus::Ok) return;
  StorePicture(host.forms, std::move(picture.picture));
}

}  // namespace pw
