#include "capture/clip_store.h"

#include <algorithm>
#include <utility>

namespace pw {

int ClipStore::PictureCount() const {
  int n = 0;
  while (n < kPictureSlots && !pictures[static_cast<std::size_t>(n)].empty()) ++n;
  return n;
}

std::u16string HeadWithoutLeadingSpaces(std::u16string_view text, std::size_t count) {
  std::u16string_view head = text.substr(0, count);
  const std::size_t first = head.find_first_not_of(u' ');
  return first == std::u16string_view::npos ? std::u16string() : std::u16string(head.substr(first));
}

std::u16string RowPreview(std::u16string_view text) { return HeadWithoutLeadingSpaces(text, 8); }

WindowView ViewOf(const ClipStore& store) {
  WindowView view;
  for (int i = 0; i < store.ClipCount; ++i) {
    view.rows[i] = {true, RowPreview(store.ClipText[i].text)};
  }
  view.pictures = store.pictures;
  view.can_empty_all = store.ClipCount > 0;
  view.panel_caption = store.panel_caption;
  return view;
}

void Release(std::u16string& text) { std::u16string().swap(text); }

void Release(TextClip& clip) {
  TextClip gone;
  std::swap(clip, gone);
}

void StoreText(ClipStore& store, std::u16string text, RichText rich) {
  if (store.ClipCount >= kTextSlots) {
    // Swapped, not moved, down: the oldest travels up to the last slot and
    // from there into `text`, which gives its memory back on return.
    for (int i = 0; i < kTextSlots - 1; ++i) std::swap(store.ClipText[i], store.ClipText[i + 1]);
    store.ClipCount = kTextSlots - 1;
  }
  TextClip& slot = store.ClipText[store.ClipCount++];
  slot.text.swap(text);
  slot.rich = rich.size() <= kMaxRichTextBytes ? std::move(rich) : RichText();
  slot.serial = store.next_serial++;
}

void StorePicture(ClipStore& store, Picture picture) {
  if (picture.empty() || std::ranges::find(store.pictures, picture) != store.pictures.end()) return;
  const int held = store.PictureCount();
  if (held == kPictureSlots) {
    for (int n = 1; n < kPictureSlots; ++n) store.pictures[n - 1] = std::move(store.pictures[n]);
    store.pictures[kPictureSlots - 1] = std::move(picture);
    return;
  }
  store.pictures[static_cast<std::size_t>(held)] = std::move(picture);
}

}  // namespace pw
