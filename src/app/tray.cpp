#include "app/tray.h"


#include "platform/text.h"

namespace pw {

std::u16string TrayTip(const AppInfo& app) {
  const Version v = app.ProgramVersion();
  return app.Title() + u"(版本 " + Decimal(v.major) + u"." + Decimal(v.minor) + u"." +
         Decimal(v.revision) + u")";
}

void TrayIcon::MainhWndHide_Click() {
  host_.forms.SetVisible(pView, false);
  host_.forms.SetVisible(vpic, false);

  const WindowHandle main = host_.forms.Handle(MainForm);
  const std::uintptr_t icon = host_.api.WindowIcon(main);
  data_.hwnd = main;
  data_.id = static_cast<std::uint32_t>(icon);
  data_.flags = 7;  // callback message, icon, tip
  data_.icon = icon;
  data_.tip = TrayTip(host_.app);
  // A second "Hide" asks again; the shell refuses the duplicate, so there is
  // still exactly one icon.
  host_.api.ShellNotifyIcon(NotifyIconMessage::Add, data_);
  added_ = true;

  host_.forms.SetVisible(MainForm, false);
}

void TrayIcon::Notify(std::uint32_t mouse_message) {
  if (mouse_message == wm::kLButtonUp) host_.api.ShowRestore(host_.forms.Handle(MainForm));
}

void TrayIcon::ShellRestarted() {
  if (added_) host_.api.ShellNotifyIcon(NotifyIconMessage::Add, data_);
}

void TrayIcon::Delete() { host_.api.ShellNotifyIcon(NotifyIconMessage::Delete, data_); }

}  // namespace pw
