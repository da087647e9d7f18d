#include "platform/win32/layout.h"

#include <vector>

namespace pw::win32 {
namespace {

using K = ControlKind;

// Rows of text clips: a button and three icons, one row every 360 twips.
constexpr std::int32_t kRowTop = 120;
constexpr std::int32_t kRowPitch = 360;
// Picture slots: a thumbnail and three icons, one slot every 960 twips.
constexpr std::int32_t kSlotTop = 120;
constexpr std::int32_t kSlotPitch = 960;

std::vector<ControlLayout> BuildMainForm() {
  std::vector<ControlLayout> c;
  auto add = [&c](ControlId id, K kind, TwipRect r, IconArt icon = IconArt::None,
                  ControlId relative_to = MainForm, bool nested = false) {
    c.push_back(ControlLayout{id, kind, r, relative_to, nested, icon});
  };

  for (int i = 0; i < kTextSlots; ++i) {
    const std::int32_t top = kRowTop + kRowPitch * i;
    add(ClipShow(i), K::Button, {120, top, 1935, 325});
    add(t(i + 1), K::IconBox, {2160, top, 255, 255}, IconArt::TextFile);
    add(w(i + 1), K::IconBox, {2520, top, 255, 255}, IconArt::Document);
    add(d(i), K::IconBox, {2880, top, 255, 255}, IconArt::Delete);
  }
  for (int n = 1; n <= kPictureSlots; ++n) {
    const std::int32_t top = kSlotTop + kSlotPitch * (n - 1);
    add(simg(n), K::ImageBox, {3240, top, 975, 855});
    add(sav(n), K::IconBox, {4320, top + 120, 240, 240}, IconArt::Save);
    add(dpic(n), K::IconBox, {4320, top + 360, 240, 240}, IconArt::Delete);
    add(pv(n), K::IconBox, {4320, top + 600, 240, 240}, IconArt::Preview);
  }

  // The hover preview lies over the control panel, so it comes first (on top).
  add(vpic, K::Panel, {50, 3720, 3135, 1455});
  add(pView, K::TextBox, {240, 240, 2655, 1095}, IconArt::None, vpic, true);

  add(EmptyAll, K::Button, {240, 3960, 1215, 300});
  add(MainhWndHide, K::Button, {1560, 3960, 1400, 300});
  add(cmd_jp, K::Button, {120, 600, 1215, 300}, IconArt::None, CtrlFrame);
  add(CmdCapScreen, K::Button, {1440, 600, 1400, 300}, IconArt::None, CtrlFrame);
  add(cmd_about, K::Button, {120, 960, 1215, 300}, IconArt::None, CtrlFrame);
  add(CheckAutoHide, K::CheckBox, {480, 1200, 1095, 255}, IconArt::None, CtrlFrame);
  // The frame is drawn beneath everything that lies on it, so it comes last.
  add(CtrlFrame, K::Frame, {120, 3720, 3015, 1455});
  return c;
}

const std::vector<ControlLayout> kMainControls = BuildMainForm();

const ControlLayout kPreviewControls[] = {
    {PreviewImage, K::ImageBox, {120, 120, 8775, 6855}, picView},
};

const ControlLayout kAboutControls[] = {
    {myjs, K::Label, {120, 240, 4455, 1095}, AboutForm},
    {myjs2, K::Label, {120, 1440, 4455, 855}, AboutForm},
    {myjs3, K::Label, {120, 2400, 4455, 735}, AboutForm},
    {mylogo, K::ImageBox, {1560, 3960, 2970, 1245}, AboutForm},
};

}  // namespace

const FormLayout& MainFormLayout() {
  static const FormLayout layout{MainForm, {4650, 5205}, kMainControls};
  return layout;
}

const FormLayout& PreviewLayout() {
  static const FormLayout layout{picView, {8985, 7080}, kPreviewControls};
  return layout;
}

const FormLayout& AboutLayout() {
  static const FormLayout layout{AboutForm, {4680, 5400}, kAboutControls};
  return layout;
}

PixelRect ToPixels(const TwipRect& r, int dpi) {
  const std::int32_t left = TwipsToPixels(r.left, dpi);
  const std::int32_t top = TwipsToPixels(r.top, dpi);
  return {left, top, TwipsToPixels(r.left + r.width, dpi) - left,
          TwipsToPixels(r.top + r.height, dpi) - top};
}

const ControlLayout* FindLayout(const FormLayout& form, ControlId id) {
  for (const ControlLayout& c : form.controls) {
    if (c.id == id) return &c;
  }
  return nullptr;
}

TwipRect PlacedRect(const FormLayout& form, const ControlLayout& control) {
  TwipRect r = control.rect;
  if (control.nested || control.relative_to == form.form) return r;
  if (const ControlLayout* anchor = FindLayout(form, control.relative_to)) {
    const TwipRect a = PlacedRect(form, *anchor);
    r.left += a.left;
    r.top += a.top;
  }
  return r;
}

std::optional<ControlId> ControlFromNumericId(int numeric) {
  const int offset = numeric - NumericId(ControlId{Family::MainForm});
  if (offset < 0) return std::nullopt;
  const int family = offset / 100;
  const int index = offset % 100;
  if (family > static_cast<int>(Family::mylogo)) return std::nullopt;
  const ControlId id{static_cast<Family>(family), static_cast<std::int16_t>(index)};
  if (NumericId(id) != numeric) return std::nullopt;
  return id;
}

}  // namespace pw::win32
