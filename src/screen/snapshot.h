// "Web Photo": the whole primary screen, without our window, as the newest picture.
#pragma once

#include "app/tray.h"
#include "platform/host.h"

namespace pw {

// The primary screen's size in pixels.
struct PixelSize {
  std::int32_t width = 0;
  std::int32_t height = 0;
};
PixelSize ScreenPixels(const ScreenMetrics& screen);

void CmdCapScreen_Click(Host& host, TrayIcon& tray);

}  // namespace pw
