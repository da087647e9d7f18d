// The design of the program's windows: where every control goes, in twips,
// what it is and the text it is drawn with, and the one conversion of twips
// to pixels. Nothing here touches the system.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/controls.h"
#include "platform/host.h"

namespace pw::win32 {

enum class ControlKind : std::uint8_t {
  Button,
  CheckBox,
  Frame,     // a group box
  IconButton,     // a button drawn as one of our small icons
  PictureButton,  // a button drawn as a Picture
  ImageBox,       // a box showing a Picture
  Panel,          // a picture box that holds other controls
  TextBox,   // read-only, multi-line, wrapping
  Label,     // wrapping static text
};

enum class IconArt : std::uint8_t { None, TextFile, Document, Delete, Save, Preview };

struct TwipRect {
  std::int32_t left = 0, top = 0, width = 0, height = 0;
};

struct PixelRect {
  std::int32_t left = 0, top = 0, width = 0, height = 0;
};

struct ControlLayout {
  ControlId id;
  ControlKind kind;
  TwipRect rect;
  // Drawn on it, or for a button drawn as an icon or picture, only its name
  // for screen readers.
  std::u16string caption = {};
  // `rect` is relative to this control's top-left corner instead of the
  // window's. Frame members are placed from the frame but stay children of
  // the window, so their clicks reach it; a nested control is a child
  // window of its anchor.
  std::optional<Role> anchor = std::nullopt;
  bool nested = false;
  IconArt icon = IconArt::None;
  std::u16string_view tip = {};
};

struct FormLayout {
  std::u16string caption;
  SizeTwips client;
  // Overlapping controls are listed top first.
  std::span<const ControlLayout> controls;
};

const FormLayout& MainLayout();
// What a screen reader calls a row while its caption is empty, and a
// thumbnail, full or empty (slots as in controls.h).
std::u16string RowName(int slot);
std::u16string ThumbnailName(int n, bool empty);
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
// Whole twips, rounded, for sizes the logic reads as integers.
constexpr std::int32_t PixelsToWholeTwips(std::int32_t pixels, int dpi) {
  const std::int64_t n = static_cast<std::int64_t>(pixels) * 1440;
  return static_cast<std::int32_t>(n >= 0 ? (n + dpi / 2) / dpi : -((-n + dpi / 2) / dpi));
}

// The control's rectangle in pixels of the window it is created in. Both
// edges are converted, not the width, so neighbours that touch in twips
// touch in pixels and never overlap by rounding.
PixelRect PlacedPixels(const FormLayout& form, const ControlLayout& control, int dpi);

}  // namespace pw::win32
