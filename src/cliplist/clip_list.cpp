#include "cliplist/clip_list.h"

#include <utility>

namespace pw {
namespace {

// Empties a slot and gives its memory back: clear() would keep it as
// capacity, and a huge text would stay in memory after it was removed.
void Release(std::u16string& text) { std::u16string().swap(text); }

}  // namespace

void RefreshClipList(Forms& forms, ClipStore& store, std::int16_t k) {
  if (k >= 1 && k <= kTextSlots) {
    const int n = store.ClipCount;
    // Rows past the last text hold nothing to remove; leave the store as it is.
    if (k <= n) {
      // Swapped, not moved, down: the removed text travels to the last slot
      // with its memory, and is released there.
      for (int slot = k - 1; slot < n - 1; ++slot) {
        store.ClipText[slot].swap(store.ClipText[slot + 1]);
        store.ClipSerial[slot] = store.ClipSerial[slot + 1];
        forms.SetCaption(ClipShow(slot), forms.Caption(ClipShow(slot + 1)));
      }
      Release(store.ClipText[n - 1]);
      store.ClipSerial[n - 1] = 0;
      forms.SetCaption(ClipShow(n - 1), u"");
      if (k == 1 && n == 1) forms.SetEnabled(EmptyAll, false);
      store.ClipCount = static_cast<std::int16_t>(n - 1);
    }
  } else if (k == kAllRows) {
    for (auto& text : store.ClipText) Release(text);
    store.ClipSerial.fill(0);
    for (int i = 0; i < kTextSlots; ++i) forms.SetCaption(ClipShow(i), u"");
    store.ClipCount = 0;
  }
  forms.SetCaption(CtrlFrame, store.CtrlPanelTitle);
  HideUnusedRows(forms, store.ClipCount);
}

void HideUnusedRows(Forms& forms, std::int16_t count) {
  if (count < 0 || count >= kTextSlots) return;
  for (int i = count; i < kTextSlots; ++i) forms.SetVisible(ClipShow(i), false);
  for (int i = count; i < kTextSlots; ++i) forms.SetVisible(d(i), false);
  for (int n = count + 1; n <= kTextSlots; ++n) forms.SetVisible(t(n), false);
  for (int n = count + 1; n <= kTextSlots; ++n) forms.SetVisible(w(n), false);
  if (count == 0) forms.SetEnabled(EmptyAll, false);
}

}  // namespace pw
