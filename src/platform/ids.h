// Names of the program's windows and controls.
//
// Every window and control is addressed by its family and, for the per-slot
// families, its slot number, using the numbering the controls carry on screen:
// ClipShow and d count 0-9, t and w count 1-10, the picture families 1-5.
// Single controls and windows use index 0. The logic, the real host, the fake
// host and the end-to-end driver all use these ids, so a control's identity is
// declared exactly once.
#pragma once

#include <compare>
#include <cstdint>
#include <string_view>

namespace pw {

enum class Family : std::uint8_t {
  // windows
  MainForm,
  Form2,      // region capture overlay
  picView,    // picture preview window
  AboutForm,
  // per-slot families of the main window
  ClipShow,   // row button, 0-9
  t,          // save row as .txt, 1-10
  w,          // save row as .doc, 1-10
  d,          // delete row, 0-9
  simg,       // picture thumbnail, 1-5
  sav,        // save picture, 1-5
  dpic,       // delete picture, 1-5
  pv,         // preview picture, 1-5
  // single controls of the main window
  CtrlFrame,
  EmptyAll,
  MainhWndHide,
  CmdCapScreen,
  cmd_jp,
  cmd_about,
  CheckAutoHide,
  vpic,       // hover preview panel
  pView,      // hover preview text, inside vpic
  // controls of the other windows
  PreviewImage,  // the picture box of picView
  myjs,
  myjs2,
  myjs3,
  mylogo,
};

struct ControlId {
  Family family;
  std::int16_t index = 0;

  friend constexpr bool operator==(ControlId, ControlId) = default;
  friend constexpr auto operator<=>(ControlId, ControlId) = default;
};

// Windows.
inline constexpr ControlId MainForm{Family::MainForm};
inline constexpr ControlId Form2{Family::Form2};
inline constexpr ControlId picView{Family::picView};
inline constexpr ControlId AboutForm{Family::AboutForm};

// Per-slot controls.
constexpr ControlId ClipShow(int i) { return {Family::ClipShow, static_cast<std::int16_t>(i)}; }
constexpr ControlId t(int n) { return {Family::t, static_cast<std::int16_t>(n)}; }
constexpr ControlId w(int n) { return {Family::w, static_cast<std::int16_t>(n)}; }
constexpr ControlId d(int i) { return {Family::d, static_cast<std::int16_t>(i)}; }
constexpr ControlId simg(int n) { return {Family::simg, static_cast<std::int16_t>(n)}; }
constexpr ControlId sav(int n) { return {Family::sav, static_cast<std::int16_t>(n)}; }
constexpr ControlId dpic(int n) { return {Family::dpic, static_cast<std::int16_t>(n)}; }
constexpr ControlId pv(int n) { return {Family::pv, static_cast<std::int16_t>(n)}; }

// Single controls.
inline constexpr ControlId CtrlFrame{Family::CtrlFrame};
inline constexpr ControlId EmptyAll{Family::EmptyAll};
inline constexpr ControlId MainhWndHide{Family::MainhWndHide};
inline constexpr ControlId CmdCapScreen{Family::CmdCapScreen};
inline constexpr ControlId cmd_jp{Family::cmd_jp};
inline constexpr ControlId cmd_about{Family::cmd_about};
inline constexpr ControlId CheckAutoHide{Family::CheckAutoHide};
inline constexpr ControlId vpic{Family::vpic};
inline constexpr ControlId pView{Family::pView};
inline constexpr ControlId PreviewImage{Family::PreviewImage};
inline constexpr ControlId myjs{Family::myjs};
inline constexpr ControlId myjs2{Family::myjs2};
inline constexpr ControlId myjs3{Family::myjs3};
inline constexpr ControlId mylogo{Family::mylogo};

inline constexpr int kTextSlots = 10;     // ClipText slots 0-9
inline constexpr int kPictureSlots = 5;   // picture slots 1-5

// The family's name as the controls are called ("ClipShow", "simg", ...).
std::string_view FamilyName(Family f);

// A stable numeric control id for the real host and the end-to-end driver:
// family * 100 + index + 1000. Never 0, never IDOK/IDCANCEL.
constexpr int NumericId(ControlId id) {
  return 1000 + static_cast<int>(id.family) * 100 + id.index;
}

}  // namespace pw
