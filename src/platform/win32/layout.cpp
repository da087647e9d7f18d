#include "platform/win32/layout.h"

#include <string>
#include <vector>

#include "pw_version.h"

namespace pw::win32 {
namespace {

using K = ControlKind;

// Rows of text clips: a button and three icons, one row every 360 twips.
constexpr std::int32_t kRowTop = 120;
constexpr std::int32_t kRowPitch = 360;
// Picture slots: a thumbnail and three icons, one slot every 960 twips.
constexpr std::int32_t kSlotTop = 120;
constexpr std::int32_t kSlotPitch = 960;

std::u16string Numbered(std::u16string_view before, int n, std::u16string_view after = {}) {
  const std::string digits = std::to_string(n);
  return std::u16string(before) + std::u16string(digits.begin(), digits.end()) +
         std::u16string(after);
}

std::vector<ControlLayout> MainControls() {
  std::vector<ControlLayout> c;
  for (int i = 0; i < kTextSlots; ++i) {
    const std::int32_t top = kRowTop + kRowPitch * i;
    c.push_back({Control(Role::Row, i), K::Button, {120, top, 1935, 325}});
    c.push_back({Control(Role::RowTxt, i), K::IconButton, {2160, top, 255, 255},
                 Numbered(u"Save text ", i + 1, u" as .txt"), {}, false, IconArt::TextFile});
    c.push_back({Control(Role::RowDoc, i), K::IconButton, {2520, top, 255, 255},
                 Numbered(u"Save text ", i + 1, u" as .doc"), {}, false, IconArt::Document});
    c.push_back({Control(Role::RowDelete, i), K::IconButton, {2880, top, 255, 255},
                 Numbered(u"Delete text ", i + 1), {}, false, IconArt::Delete});
  }
  for (int n = 1; n <= kPictureSlots; ++n) {
    const std::int32_t top = kSlotTop + kSlotPitch * (n - 1);
    c.push_back({Control(Role::Thumbnail, n), K::PictureButton, {3240, top, 975, 855},
                 ThumbnailName(n, true), {}, false, IconArt::None, u"Click Ready Paste"});
    c.push_back({Control(Role::PictureSave, n), K::IconButton, {4320, top + 120, 240, 240},
                 Numbered(u"Save picture ", n, u" as .bmp"), {}, false, IconArt::Save});
    c.push_back({Control(Role::PictureDelete, n), K::IconButton, {4320, top + 360, 240, 240},
                 Numbered(u"Delete picture ", n), {}, false, IconArt::Delete});
    c.push_back({Control(Role::PicturePreview, n), K::IconButton, {4320, top + 600, 240, 240},
                 Numbered(u"Preview picture ", n), {}, false, IconArt::Preview});
  }
  // The row preview lies over the control panel, so it comes first (on top).
  c.push_back({Control(Role::HoverPanel), K::Panel, {50, 3720, 3135, 1455}});
  c.push_back({Control(Role::HoverText), K::TextBox, {240, 240, 2655, 1095}, {}, Role::HoverPanel,
               true});
  c.push_back({Control(Role::EmptyAll), K::Button, {240, 3960, 1215, 300}, u"Empty All"});
  c.push_back({Control(Role::Hide), K::Button, {1560, 3960, 1400, 300}, u"Hide"});
  c.push_back({Control(Role::CutScreen), K::Button, {120, 600, 1215, 300}, u"Cut Scr", Role::Panel});
  c.push_back({Control(Role::Snapshot), K::Button, {1440, 600, 1400, 300}, u"Web Photo",
               Role::Panel});
  c.push_back({Control(Role::About), K::Button, {120, 960, 1215, 300}, u"About Me", Role::Panel});
  c.push_back({Control(Role::AutoHide), K::CheckBox, {480, 1200, 1095, 255}, u"AI Hide",
               Role::Panel});
  // The frame is drawn beneath everything that lies on it, so it comes last.
  c.push_back({Control(Role::Panel), K::Frame, {120, 3720, 3015, 1455}});
  return c;
}

const ControlLayout kPreviewControls[] = {
    {Control(Role::PreviewImage), K::ImageBox, {120, 120, 8775, 6855}},
};

const ControlLayout kAboutControls[] = {
    {Control(Role::AboutText1), K::Label, {120, 240, 4455, 1095},
     u"   Pastewright is tallowmere program. It is not only support more function of word and "
     u"photo but has a green and strong code."},
    {Control(Role::AboutText2), K::Label, {120, 1440, 4455, 855},
     u"  Pastewright is green software.If you have any good ideal,you can email to "
     u"pastewright@example.org"},
    {Control(Role::AboutText3), K::Label, {120, 2400, 4455, 735},
     u"Pastewright Power By pastewright.example.org"},
    {Control(Role::AboutLogo), K::ImageBox, {1560, 3960, 2970, 1245}},
};

const ControlLayout* Find(const FormLayout& form, Role role) {
  for (const ControlLayout& c : form.controls) {
    if (c.id.role == role) return &c;
  }
  return nullptr;
}

}  // namespace

const FormLayout& MainLayout() {
  static const std::vector<ControlLayout> controls = MainControls();
  static const FormLayout layout{std::u16string(u"Pastewright V") + kVersionText, {4650, 5205},
                                 controls};
  return layout;
}

const FormLayout& PreviewLayout() {
  static const FormLayout layout{u"Pastewright Thrift Memory Preview [Don't effect photo quality]",
                                 {8985, 7080}, kPreviewControls};
  return layout;
}

const FormLayout& AboutLayout() {
  static const FormLayout layout{u"About Pastewright", {4680, 5400}, kAboutControls};
  return layout;
}

std::u16string RowName(int slot) { return Numbered(u"Text ", slot + 1); }

std::u16string ThumbnailName(int n, bool empty) {
  return Numbered(u"Picture ", n, empty ? u", empty" : u"");
}

PixelRect PlacedPixels(const FormLayout& form, const ControlLayout& control, int dpi) {
  TwipRect r = control.rect;
  if (control.anchor && !control.nested) {
    if (const ControlLayout* anchor = Find(form, *control.anchor)) {
      r.left += anchor->rect.left;
      r.top += anchor->rect.top;
    }
  }
  const std::int32_t left = TwipsToPixels(r.left, dpi);
  const std::int32_t top = TwipsToPixels(r.top, dpi);
  return {left, top, TwipsToPixels(r.left + r.width, dpi) - left,
          TwipsToPixels(r.top + r.height, dpi) - top};
}

}  // namespace pw::win32
