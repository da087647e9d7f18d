#include "app/pastewright.h"

#include <cmath>

#include "app/about.h"
#include "capture/change_handler.h"
#include "cliplist/clip_list.h"
#include "cliplist/row_actions.h"
#include "cliplist/text_export.h"
#include "images/picture_save.h"
#include "images/picture_slots.h"
#include "images/preview_window.h"
#include "screen/snapshot.h"

namespace pw {

Pastewright::Pastewright(Host host)
    : host_(host),
      hook_(host.api, [this] { OnClipboardChange(host_, store_); }),
      tray_(host),
      region_(host) {}

void Pastewright::Load(ControlId form) {
  switch (form.family) {
    case Family::MainForm: MainForm_Load(); break;
    case Family::picView: PreviewLoad(host_.forms, store_); break;
    case Family::AboutForm: AboutLoad(host_.forms); break;
    default: break;
  }
}

void Pastewright::MainForm_Load() {
  Forms& f = host_.forms;

  const SizeTwips outer = f.Size(MainForm);
  const SizeTwips client = f.ClientSize(MainForm);
  store_.BorderInset =
      static_cast<std::int16_t>(std::nearbyint((outer.width - client.width) / 2.0));

  store_.CtrlPanelTitle = u"Ctrl Panel";
  store_.MsgReadyPaste = u"Content Ready Paste OK";
  store_.MsgFileSaved = u"File saved Pastewright run catalog";

  f.SetCaption(CmdCapScreen, u"Web Photo");
  f.SetCaption(cmd_jp, u"Cut Scr");
  f.SetCaption(cmd_about, u"About Me");
  for (int n = 1; n <= kPictureSlots; ++n) f.SetToolTip(simg(n), u"Click Ready Paste");

  for (int n = 1; n <= kPictureSlots; ++n) f.SetVisible(sav(n), false);
  for (int n = 1; n <= kPictureSlots; ++n) f.SetVisible(dpic(n), false);
  for (int n = 1; n <= kPictureSlots; ++n) f.SetVisible(pv(n), false);

  for (int i = 0; i < kTextSlots; ++i) f.SetCaption(ClipShow(i), u"");
  for (auto& text : store_.ClipText) text.clear();
  store_.ClipCount = 0;

  f.SetCaption(MainForm, u"Pastewright V2.6.1");
  f.SetCaption(CtrlFrame, u"Control Panel");
  f.SetCaption(CheckAutoHide, u"AI Hide");
  f.SetCaption(EmptyAll, u"Empty All");
  f.SetCaption(MainhWndHide, u"Hide");

  f.SetVisible(pView, false);
  f.SetVisible(vpic, false);

  f.SetEnabled(EmptyAll, false);

  for (int i = 0; i < kTextSlots; ++i) {
    f.SetVisible(ClipShow(i), false);
    f.SetVisible(t(i + 1), false);
    f.SetVisible(w(i + 1), false);
    f.SetVisible(d(i), false);
  }

  f.SetChecked(CheckAutoHide, false);

  const WindowHandle main = f.Handle(MainForm);
  host_.api.SetTopMost(main);

  // Bottom-right corner, leaving a band along the bottom of the screen free.
  const ScreenMetrics screen = host_.app.Screen();
  f.Move(MainForm, screen.width_twips - outer.width, screen.height_twips - outer.height - 450);

  hook_.HookClipboard(main);
}

// Whatever closes the main window comes here first, and the close goes on.
void Pastewright::QueryUnload(ControlId form) {
  if (form != MainForm) return;
  tray_.Delete();
  hook_.UnhookClipboard(host_.forms.Handle(MainForm));
}

void Pastewright::Unload(ControlId form) {
  if (form == MainForm) host_.forms.EndProgram();
  if (form == picView) PreviewUnload(host_.forms);
  if (form == Form2) region_.Form_Unload();
}

void Pastewright::Click(ControlId c) {
  const int i = c.index;
  switch (c.family) {
    case Family::ClipShow: RowClick(host_, store_, i); break;
    case Family::d: RowDelete(host_.forms, store_, i); break;
    case Family::t: ExportTextSlot(host_, store_, i - 1, u".txt"); break;
    case Family::w: ExportTextSlot(host_, store_, i - 1, u".doc"); break;
    case Family::EmptyAll: EmptyAllClick(host_, store_); break;
    case Family::simg: ThumbnailClick(host_, store_, i); break;
    case Family::sav: SavePictureSlot(host_, store_, i); break;
    case Family::dpic: RemovePictureSlot(host_.forms, static_cast<std::int16_t>(i)); break;
    case Family::pv: PreviewClick(host_.forms, store_, i); break;
    case Family::MainhWndHide: tray_.MainhWndHide_Click(); break;
    case Family::CmdCapScreen: CmdCapScreen_Click(host_, tray_); break;
    case Family::cmd_jp: region_.cmd_jp_Click(); break;
    case Family::cmd_about: host_.forms.Show(AboutForm); break;
    default: break;
  }
}

void Pastewright::MouseMove(ControlId c, const MouseArgs& args) {
  if (c.family == Family::ClipShow && c.index >= 0 && c.index < kTextSlots) {
    RowMouseMove(host_, store_, c.index, args);
  } else if (c == Form2) {
    region_.Form_MouseMove(args);
  }
}

void Pastewright::MouseDown(ControlId c, const MouseArgs& args) {
  if (c == Form2) region_.Form_MouseDown(args);
}

void Pastewright::TrayNotify(std::uint32_t mouse_message) { tray_.Notify(mouse_message); }

void Pastewright::TaskbarCreated() { tray_.ShellRestarted(); }

}  // namespace pw
