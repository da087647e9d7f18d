#include "images/preview_window.h"

namespace pw {

void PreviewClick(Forms& forms, ClipStore& store, int n) {
  store.PreviewSlot = static_cast<std::int16_t>(n);
  forms.Show(picView);
}

void PreviewLoad(Forms& forms, const ClipStore& store) {
  forms.SetCaption(picView, u"Pastewright Thrift Memory Preview [Don't effect photo quality]");
  const int k = store.PreviewSlot;
  if (k < 1 || k > kPictureSlots) return;
  Picture picture = PictureSlot(forms, k);
  if (picture.HeightHimetric() < kOwnSizeLimit && picture.WidthHimetric() < kOwnSizeLimit) {
    forms.SetStretch(PreviewImage, false);
  }
  if (!picture.empty()) forms.SetPicture(PreviewImage, std::move(picture));
}

void PreviewUnload(Forms& forms) {
  forms.SetPicture(PreviewImage, Picture());
  forms.SetStretch(PreviewImage, true);
}

}  // namespace pw
