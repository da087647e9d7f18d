// The program's controls, by role and slot.
//
// Text rows count 0-9 (the row's text slot), picture slots 1-5, as the user
// sees them in the picture column. Single controls use slot 0. The table in
// controls.cpp is the one place that knows the controls' names in the
// program's description (ClipShow0, t1, simg1 ...) and the numeric Win32 ids
// that the host gives them and the end-to-end driver finds them by.
#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string_view>

namespace pw {

inline constexpr int kTextSlots = 10;    // text slots 0-9
inline constexpr int kPictureSlots = 5;  // picture slots 1-5

enum class Role : std::uint8_t {
  // per text row, slot 0-9
  Row,            // the row button: put the text back
  RowTxt,         // save as .txt
  RowDoc,         // save as .doc
  RowDelete,
  // per picture slot, slot 1-5
  Thumbnail,      // put the picture back
  PictureSave,    // save as .bmp
  PictureDelete,
  PicturePreview,
  // the control panel
  EmptyAll,
  Hide,
  CutScreen,
  Snapshot,
  About,
  AutoHide,       // a check box nothing reads
  // shown by the host alone; named for the driver
  Panel,          // the frame around the commands
  HoverPanel,     // the row preview's background
  HoverText,      // the row preview's text
  PreviewImage,   // the picture of the preview window
  AboutText1,
  AboutText2,
  AboutText3,
  AboutLogo,
  CutOverlay,     // the frozen screen of "Cut Scr"
};

struct ControlId {
  Role role;
  std::int16_t slot = 0;

  friend constexpr bool operator==(ControlId, ControlId) = default;
  friend constexpr auto operator<=>(ControlId, ControlId) = default;
};

constexpr ControlId Control(Role role, int slot = 0) {
  return {role, static_cast<std::int16_t>(slot)};
}

// Whether the role has one control per text row or per picture slot, and
// whether `id` names a control that exists.
bool PerRow(Role role);
bool PerPicture(Role role);
bool Exists(ControlId id);

// The control's name in the description ("ClipShow", 0 for row 0's button;
// "t", 1 for its .txt icon) and back.
struct DescriptionName {
  std::string_view family;
  int number = 0;
};
DescriptionName NameOf(ControlId id);
std::optional<ControlId> ControlNamed(std::string_view family, int number);

// The Win32 control id: never 0, IDOK or IDCANCEL, unique per control.
int NumericId(ControlId id);
std::optional<ControlId> ControlOfNumericId(int numeric);

}  // namespace pw
