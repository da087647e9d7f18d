// Hiding the main window into the notification area and bringing it back.
#pragma once

#include <string>

#include "platform/host.h"

namespace pw {

// The tip: the title and the program's version, as "Pastewright(版本 2.6.1)".
std::u16string TrayTip();

// "Hide": the row preview goes, the icon is shown, the window is hidden.
// Clips keep being taken while it is hidden.
void HideClick(Host& host);

}  // namespace pw
