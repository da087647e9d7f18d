// Pastewright's entry point: the host and the program, the main window, then
// the message loop until the main window closes.
#include "platform/win32/win32_host.h"

#include "app/pastewright.h"
#include "platform/win32/com.h"

#include <commctrl.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // For the picture codecs, for the life of the program.
  pw::win32::ComScope com;
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&controls);

  pw::win32::Win32Host host;
  pw::Pastewright app(host);
  if (!host.Attach(app)) return 1;
  app.Start();
  return host.Run();
}
