// Pastewright's entry point: the main window with its controls, the host,
// the logic, then the message loop until the main window closes.
#include "app/pastewright.h"
#include "platform/win32/clipboard.h"
#include "platform/win32/files.h"
#include "platform/win32/host.h"

#include <commctrl.h>
#include <objbase.h>

namespace {

// COM for the picture codecs, for the life of the program.
class ComScope {
 public:
  ComScope() : ok_(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ~ComScope() {
    if (ok_) ::CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

 private:
  bool ok_;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  ComScope com;
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&controls);

  pw::win32::Win32Host host(instance);
  if (!host.CreateMainWindow()) return 1;

  pw::win32::Win32Clipboard clipboard;
  clipboard.set_owner(host.main_window());
  pw::win32::Win32Files files;
  pw::win32::Win32Clock clock;
  pw::Pastewright app(pw::Host{host, clipboard, host, files, clock, host, host});
  host.Attach(app);
  return host.Run();
}
