#include "app/tray.h"

#include "pw_version.h"

namespace pw {

std::u16string TrayTip() { return std::u16string(u"Pastewright(版本 ") + kVersionText + u")"; }

void HideClick(Host& host) {
  host.HideTextPreview();
  host.ShowTrayIcon(TrayTip());
  host.HideMainWindow();
}

}  // namespace pw
