#include "platform/win32/late_calls.h"

namespace pw::win32 {
namespace {

// Through a plain function pointer type, which every compiler accepts as a
// cast target for a FARPROC without warning.
template <typename Fn>
void Find(HMODULE module, const char* name, Fn& slot) {
  if (!module) return;
  auto any = reinterpret_cast<void (*)()>(::GetProcAddress(module, name));
  slot = reinterpret_cast<Fn>(any);
}

LateCalls& Table() {
  static LateCalls calls = [] {
    LateCalls c;
    HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    Find(user32, "GetDpiForWindow", c.GetDpiForWindow);
    Find(user32, "GetDpiForSystem", c.GetDpiForSystem);
    Find(user32, "AdjustWindowRectExForDpi", c.AdjustWindowRectExForDpi);
    Find(user32, "SystemParametersInfoForDpi", c.SystemParametersInfoForDpi);
    return c;
  }();
  return calls;
}

}  // namespace

const LateCalls& User32() { return Table(); }

const LateCalls& Shell() {
  // Loaded once and never freed: the icon lives on its code.
  static const LateCalls& calls = []() -> const LateCalls& {
    LateCalls& c = Table();
    Find(::LoadLibraryW(L"shell32.dll"), "Shell_NotifyIconW", c.Shell_NotifyIconW);
    return c;
  }();
  return calls;
}

}  // namespace pw::win32
