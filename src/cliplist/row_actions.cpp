#include "cliplist/row_actions.h"

#include "cliplist/clip_list.h"

namespace pw {

std::u16string PreviewText(std::u16string_view text) {
  return HeadWithoutLeadingSpaces(text, 80) + u"... ...";
}

void RowClick(Host& host, ClipStore& store, int slot) {
  if (slot < 0 || slot >= store.ClipCount) return;
  store.PasteText = store.ClipText[slot].text;
  store.PasteRich = store.ClipText[slot].rich;
  const std::uint32_t clicked = store.ClipText[slot].serial;
  host.HideTextPreview();
  host.MessageBox(MsgReadyPaste);

  // Clips copied while the box was open may have moved the rows, or dropped
  // the clicked one: remove the clicked clip wherever it is now, if anywhere.
  std::int16_t row = 0;
  for (int i = 0; i < store.ClipCount; ++i) {
    if (store.ClipText[i].serial == clicked) row = static_cast<std::int16_t>(i + 1);
  }
  RefreshClipList(store, row);

  host.ClearClipboard();
  if (!host.PutText(store.PasteText, store.PasteRich)) {
    // The text left its row but never reached the clipboard: keep it.
    StoreText(store, store.PasteText, store.PasteRich);
    host.MessageBox(
        u"The text could not be put on the clipboard because another program is using it. "
        u"It is kept as the newest row; please try again.",
        MessageKind::Error);
  }
  // Only the click needs the copy; a huge text must not stay in memory twice.
  Release(store.PasteText);
  store.PasteRich = RichText();
}

void RowPointerMoved(Host& host, const ClipStore& store, int slot, PointTwips at, SizeTwips size) {
  if (slot < 0 || slot >= store.ClipCount) return;
  const bool inside = at.x >= 0 && at.x <= static_cast<float>(size.width) && at.y >= 0 &&
                      at.y <= static_cast<float>(size.height);
  if (inside) {
    host.ShowTextPreview(slot, PreviewText(store.ClipText[slot].text));
  } else {
    host.HideTextPreview();
  }
}

void EmptyAllClick(Host& host, ClipStore& store) {
  RefreshClipList(store, kAllRows);
  host.ClearClipboard();
}

}  // namespace pw
