#include "app/pastewright.h"

#include "app/tray.h"
#include "capture/change_handler.h"
#include "cliplist/clip_list.h"
#include "cliplist/row_actions.h"
#include "cliplist/text_export.h"
#include "images/picture_save.h"
#include "images/picture_slots.h"
#include "images/preview_window.h"
#include "screen/snapshot.h"

namespace pw {

// The band left free along the bottom of the screen, in twips.
constexpr std::int32_t kBottomBand = 450;

void Pastewright::Start() {
  ShowStore();
  const ScreenMetrics screen = host_.Screen();
  const SizeTwips outer = host_.MainWindowSize();
  host_.PlaceMainWindowOnTop(screen.width_twips - outer.width,
                             screen.height_twips - outer.height - kBottomBand);
  host_.JoinClipboardChain();
}

void Pastewright::ShowStore() { host_.ShowStore(ViewOf(store_)); }

void Pastewright::ClipboardChanged() {
  OnClipboardChange(host_, store_);
  ShowStore();
}

void Pastewright::Clicked(ControlId c) {
  const int i = c.slot;
  switch (c.role) {
    case Role::Row: RowClick(host_, store_, i); break;
    case Role::RowTxt: ExportTextSlot(host_, store_, i, u".txt"); break;
    case Role::RowDoc: ExportTextSlot(host_, store_, i, u".doc"); break;
    case Role::RowDelete: RefreshClipList(store_, static_cast<std::int16_t>(i + 1)); break;
    case Role::EmptyAll: EmptyAllClick(host_, store_); break;
    case Role::Thumbnail: ThumbnailClick(host_, store_, i); break;
    case Role::PictureSave: SavePictureSlot(host_, store_, i); break;
    case Role::PictureDelete: RemovePictureSlot(store_, static_cast<std::int16_t>(i)); break;
    case Role::PicturePreview: PreviewClick(host_, store_, i); break;
    case Role::Hide: HideClick(host_); break;
    case Role::Snapshot: SnapshotClick(host_, store_); break;
    case Role::CutScreen: region_.CutScreenClick(host_); break;
    case Role::About: host_.ShowAbout(); break;
    default: return;  // nothing else takes clicks
  }
  ShowStore();
}

void Pastewright::PointerMoved(ControlId c, PointTwips at, SizeTwips size) {
  if (c.role == Role::Row) RowPointerMoved(host_, store_, c.slot, at, size);
  if (c.role == Role::CutOverlay) region_.PointerMoved(host_, at);
}

void Pastewright::PointerPressed(ControlId c, PointTwips at) {
  if (c.role != Role::CutOverlay) return;
  region_.PointerPressed(host_, store_, at);
  ShowStore();
}

void Pastewright::TrayActivated() { host_.RestoreMainWindow(); }

void Pastewright::OverlayClosed() { region_.OverlayClosed(); }

void Pastewright::MainWindowClosing() {
  host_.RemoveTrayIcon();
  host_.LeaveClipboardChain();
}

}  // namespace pw
