#include "cliplist/clip_list.h"

#include <utility>

namespace pw {

void RefreshClipList(ClipStore& store, std::int16_t k) {
  const int n = store.ClipCount;
  if (k >= 1 && k <= n) {
    // Swapped, not moved, up: the removed text travels to the last held slot
    // with its memory, and is released there.
    for (int slot = k - 1; slot < n - 1; ++slot) {
      std::swap(store.ClipText[slot], store.ClipText[slot + 1]);
    }
    Release(store.ClipText[n - 1]);
    store.ClipCount = static_cast<std::int16_t>(n - 1);
  } else if (k == kAllRows) {
    for (TextClip& clip : store.ClipText) Release(clip);
    store.ClipCount = 0;
  }
  store.panel_caption = CtrlPanelTitle;
}

}  // namespace pw
