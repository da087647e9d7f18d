// Hiding the main window into the notification area and bringing it back.
#pragma once

#include "platform/host.h"

namespace pw {

// The tip: the title and the program's version, as "Pastewright(版本 2.6.1)".
std::u16string TrayTip(const AppInfo& app);

class TrayIcon {
 public:
  explicit TrayIcon(Host host) : host_(host) {}

  // "Hide": the hover preview goes, the icon is added, the window is hidden.
  // Clips keep being taken while it is hidden.
  void MainhWndHide_Click();
  // Only the left button released over the icon restores the window.
  void Notify(std::uint32_t mouse_message);
  // A restarted shell has forgotten the icon.
  void ShellRestarted();
  // At exit, whether or not the icon was ever added.
  void Delete();

  const TrayIconData& data() const { return data_; }
  bool added() const { return added_; }

 private:
  Host host_;
  TrayIconData data_;
  bool added_ = false;
};

}  // namespace pw
