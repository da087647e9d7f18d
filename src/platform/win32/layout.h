// Where every window and control goes, in twips, and the one conversion to
// pixels. Nothing here touches the system, so the tables can be checked
// anywhere.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "platform/host.h"
#include "platform/ids.h"

namespace pw::win32 {

enum class ControlKind : std::uint8_t {
  Button,
  CheckBox,
  Frame,     // a group box
  IconBox,   // a clickable box showing one of our small icons
  ImageBox,  // a clickable box showing a Picture
  Panel,     // a picture box that holds other controls
  TextBox,   // read-only, multi-line, wrapping
  Label,     // wrapping static text
};

enum class IconArt : std::uint8_t { None, TextFile, Document, Delete, Save, Preview };

struct TwipRect {
  std::int32_t left = 0, top = 0, width = 0, height = 0;
};

struct PixelRect {
  std::int32_t left = 0, top = 0, width = 0, height = 0;
  std::int32_t right() const { return left + width; }
  std::int32_t bottom() const { return top + height; }
};

struct ControlLayout {
  ControlId id;
  ControlKind kind;
  TwipRect rect;
  // `rect` is relative to this control's top-left corner (the form itself
  // when it is the form). Frame members are placed relative to the frame but
  // stay children of the form, so their commands reach it; a nested control
  // is a child window of `relative_to`.
  ControlId relative_to;
  bool nested = false;
  IconArt icon = IconArt::None;
};

struct FormLayout {
  ControlId form;
  SizeTwips client;
  std::span<const ControlLayout> controls;
};

const FormLayout& MainFormLayout();
const FormLayout& PreviewLayout();
const FormLayout& AboutLayout();

// Rounds half away from zero, so a rectangle and its mirror image agree.
constexpr std::int32_t TwipsToPixels(std::int32_t twips, int dpi) {
  const std::int64_t n = static_cast<std::int64_t>(twips) * dpi;
  return static_cast<std::int32_t>(n >= 0 ? (n + 720) / 1440 : -((-n + 720) / 1440));
}
constexpr float TwipsPerPixel(int dpi) { return 1440.0f / static_cast<float>(dpi); }
constexpr float PixelsToTwips(std::int32_t pixels, int dpi) {
  return static_cast<float>(pixels) * TwipsPerPixel(dpi);
}
// Whole twips, for sizes the logic reads as integers.
constexpr std::int32_t PixelsToWholeTwips(std::int32_t pixels, int dpi) {
  const std::int64_t n = static_cast<std::int64_t>(pixels) * 1440;
  return static_cast<std::int32_t>(n >= 0 ? (n + dpi / 2) / dpi : -((-n + dpi / 2) / dpi));
}

// Both edges are converted, not the width, so neighbours that touch in twips
// touch in pixels and never overlap by rounding.
PixelRect ToPixels(const TwipRect& r, int dpi);

// The control's rectangle relative to the window it is created in.
TwipRect PlacedRect(const FormLayout& form, const ControlLayout& control);
const ControlLayout* FindLayout(const FormLayout& form, ControlId id);

// The control behind a numeric control id, if it names one.
std::optional<ControlId> ControlFromNumericId(int numeric);

}  // namespace pw::win32
