#include "capture/change_handler.h"

#include <utility>

namespace pw {

void OnClipboardChange(Host& host, ClipStore& store) {
  TextRead text = host.ReadText();
  if (text.status != ReadStatus::Ok) return;
  if (text.text.size() >= 2) {
    StoreText(store, std::move(text.text), std::move(text.rich));
    return;
  }
  if (!text.text.empty()) return;  // a single character is never stored

  PictureRead picture = host.ReadPicture();
  if (picture.status != ReadStatus::Ok) return;
  StorePicture(store, std::move(picture.picture));
}

}  // namespace pw
