#include "cliplist/row_actions.h"

#include "capture/change_handler.h"
#include "cliplist/clip_list.h"

namespace pw {

std::u16string PreviewText(std::u16string_view text) {
  return HeadWithoutLeadingSpaces(text, 80) + u"... ...";
}

namespace {
void HidePreview(Forms& forms) {
  forms.SetVisible(pView, false);
  forms.SetVisible(vpic, false);
}
}  // namespace

void RowClick(Host& host, ClipStore& store, int slot) {
  if (slot < 0 || slot >= store.ClipCount) return;
  store.PasteText = std::u16string(store.ClipText[slot]);
  const std::uint32_t clicked = store.ClipSerial[slot];
  HidePreview(host.forms);
  host.dialogs.MessageBox(store.MsgReadyPaste);

  // Clips copied while the box was open may have moved the rows, or dropped
  // the clicked one: remove the clicked clip wherever it is now, if anywhere.
  std::int16_t row = 0;
  for (int i = 0; i < store.ClipCount; ++i) {
    if (store.ClipSerial[i] == clicked) row = static_cast<std::int16_t>(i + 1);
  }
  RefreshClipList(host.forms, store, row);

  host.clipboard.Clear();
  if (!host.clipboard.SetText(store.PasteText)) {
    // The text left its row but never reached the clipboard: keep it.
    StoreText(host.forms, store, store.PasteText);
    host.dialogs.MessageBox(
        u"The text could not be put on the clipboard because another program is using it. "
        u"It is kept as the newest row; please try again.",
        MessageKind::Error);
  }
  // Only the click needs the copy; a huge text must not stay in memory twice.
  std::u16string().swap(store.PasteText);
}

void RowMouseMove(Host& host, const ClipStore& store, int slot, const MouseArgs& args) {
  Forms& forms = host.forms;
  const SizeTwips size = forms.Size(ClipShow(slot));
  const bool inside = args.x >= 0 && args.x <= static_cast<float>(size.width) && args.y >= 0 &&
                      args.y <= static_cast<float>(size.height);
  if (inside) {
    forms.SetVisible(vpic, true);
    forms.SetVisible(pView, true);
    forms.SetText(pView, PreviewText(store.ClipText[slot]));
    // Holding the mouse lets the first move off the button hide the preview.
    host.api.SetCapture(forms.Handle(ClipShow(slot)));
  } else {
    forms.SetVisible(vpic, false);
    forms.SetVisible(pView, false);
    forms.SetText(pView, u"");
    host.api.ReleaseCapture();
  }
}

void RowDelete(Forms& forms, ClipStore& store, int slot) {
  RefreshClipList(forms, store, static_cast<std::int16_t>(slot + 1));
}

void EmptyAllClick(Host& host, ClipStore& store) {
  RefreshClipList(host.forms, store, kAllRows);
  host.forms.SetEnabled(EmptyAll, false);
  host.clipboard.Clear();
}

}  // namespace pw
