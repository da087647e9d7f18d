#include "platform/controls.h"

#include <array>

namespace pw {
namespace {

struct Entry {
  Role role;
  std::string_view family;  // the description's name
  int code;                 // the numeric id's hundreds
  int first_number;         // the description's number of slot 0 (or 1)
};

// Row icons t and w count from 1 where the row buttons and d count from 0.
constexpr std::array<Entry, 23> kTable{{
    {Role::Row, "ClipShow", 4, 0},
    {Role::RowTxt, "t", 5, 1},
    {Role::RowDoc, "w", 6, 1},
    {Role::RowDelete, "d", 7, 0},
    {Role::Thumbnail, "simg", 8, 1},
    {Role::PictureSave, "sav", 9, 1},
    {Role::PictureDelete, "dpic", 10, 1},
    {Role::PicturePreview, "pv", 11, 1},
    {Role::Panel, "CtrlFrame", 12, 0},
    {Role::EmptyAll, "EmptyAll", 13, 0},
    {Role::Hide, "MainhWndHide", 14, 0},
    {Role::Snapshot, "CmdCapScreen", 15, 0},
    {Role::CutScreen, "cmd_jp", 16, 0},
    {Role::About, "cmd_about", 17, 0},
    {Role::AutoHide, "CheckAutoHide", 18, 0},
    {Role::HoverPanel, "vpic", 19, 0},
    {Role::HoverText, "pView", 20, 0},
    {Role::PreviewImage, "PreviewImage", 21, 0},
    {Role::AboutText1, "myjs", 22, 0},
    {Role::AboutText2, "myjs2", 23, 0},
    {Role::AboutText3, "myjs3", 24, 0},
    {Role::AboutLogo, "mylogo", 25, 0},
    {Role::CutOverlay, "Form2", 1, 0},
}};

const Entry& EntryOf(Role role) {
  for (const Entry& e : kTable) {
    if (e.role == role) return e;
  }
  return kTable[0];  // every role is listed; see Exists
}

}  // namespace

bool PerRow(Role role) { return role <= Role::RowDelete; }

bool PerPicture(Role role) { return role >= Role::Thumbnail && role <= Role::PicturePreview; }

bool Exists(ControlId id) {
  if (PerRow(id.role)) return id.slot >= 0 && id.slot < kTextSlots;
  if (PerPicture(id.role)) return id.slot >= 1 && id.slot <= kPictureSlots;
  return id.slot == 0 && id.role <= Role::CutOverlay;
}

DescriptionName NameOf(ControlId id) {
  const Entry& e = EntryOf(id.role);
  const int base = PerPicture(id.role) ? 1 : 0;
  return {e.family, e.first_number + id.slot - base};
}

std::optional<ControlId> ControlNamed(std::string_view family, int number) {
  for (const Entry& e : kTable) {
    if (e.family != family) continue;
    const int base = PerPicture(e.role) ? 1 : 0;
    const ControlId id = Control(e.role, number - e.first_number + base);
    if (Exists(id)) return id;
  }
  return std::nullopt;
}

int NumericId(ControlId id) { return 1000 + 100 * EntryOf(id.role).code + NameOf(id).number; }

std::optional<ControlId> ControlOfNumericId(int numeric) {
  for (const Entry& e : kTable) {
    if (numeric / 100 - 10 != e.code) continue;
    return ControlNamed(e.family, numeric % 100);
  }
  return std::nullopt;
}

}  // namespace pw
