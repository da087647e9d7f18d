#include "capture/clip_store.h"

namespace pw {

std::u16string HeadWithoutLeadingSpaces(std::u16string_view text, std::size_t count) {
  std::u16string_view head = text.substr(0, count);
  const std::size_t first = head.find_first_not_of(u' ');
  return first == std::u16string_view::npos ? std::u16string() : std::u16string(head.substr(first));
}

std::u16string RowPreview(std::u16string_view text) { return HeadWithoutLeadingSpaces(text, 8); }

void ReportFileSaved(Dialogs& dialogs, const ClipStore& store, std::u16string_view name,
                     const FileResult& result) {
  if (result.ok) {
    dialogs.MessageBox(store.MsgFileSaved);
  } else {
    dialogs.MessageBox(u"The file \"" + std::u16string(name) + u"\" could not be saved: " +
                           result.reason,
                       MessageKind::Error);
  }
}

void SetPictureButtonsVisible(Forms& forms, int n, bool visible) {
  forms.SetVisible(sav(n), visible);
  forms.SetVisible(dpic(n), visible);
  forms.SetVisible(pv(n), visible);
}

}  // namespace pw
