#include "screen/snapshot.h"

#include <cmath>

#include "capture/change_handler.h"

namespace pw {

// Rounded rather than truncated: at a twips-per-pixel that is not a whole
// number, truncating both operands first would cut columns off the screen.
PixelSize ScreenPixels(const ScreenMetrics& screen) {
  return {static_cast<std::int32_t>(std::lround(screen.width_twips / screen.twips_per_pixel_x)),
          static_cast<std::int32_t>(std::lround(screen.height_twips / screen.twips_per_pixel_y))};
}

void CmdCapScreen_Click(Host& host, TrayIcon& tray) {
  tray.MainhWndHide_Click();
  host.forms.DoEvents();
  const DeviceContext screen_dc = host.api.GetScreenDC();
  const PixelSize size = ScreenPixels(host.app.Screen());
  StorePicture(host.forms, host.api.CopyScreen(screen_dc, 0, 0, size.width, size.height));
  host.api.ReleaseScreenDC(screen_dc);
  host.api.ShowRestore(host.forms.Handle(MainForm));
}

}  // namespace pw
