#include "app/pastewright.h"

#include <cmath>

#include "capture/change_handler.h"

namespace pw {

Pastewright::Pastewright(Host host)
    : host_(host), hook_(host.api, [this] { OnClipboardChange(host_, store_); }) {}

void Pastewright::Load(ControlId form) {
  if (form == MainForm) MainForm_Load();
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

void Pastewright::QueryUnload(ControlId form) {
  if (form == MainForm) hook_.UnhookClipboard(host_.forms.Handle(MainForm));
}

void Pastewright::Unload(ControlId form) {
  if (form == MainForm) host_.forms.EndProgram();
}

void Pastewright::Click(ControlId) {}

void Pastewright::MouseMove(ControlId, const MouseArgs&) {}

void Pastewright::MouseDown(ControlId, const MouseArgs&) {}

void Pastewright::TrayNotify(std::uint32_t) {}

void Pastewright::TaskbarCreated() {}

}  // namespace pw
