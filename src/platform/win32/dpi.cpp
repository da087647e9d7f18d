#include "platform/win32/dpi.h"

namespace pw::win32 {
namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using GetDpiForSystemFn = UINT(WINAPI*)();
using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
using SystemParametersInfoForDpiFn = BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT);

template <typename Fn>
Fn User32Function(const char* name) {
  HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
  if (!user32) return nullptr;
  // Through a plain function pointer type, which every compiler accepts as a
  // cast target for a FARPROC without warning.
  auto any = reinterpret_cast<void (*)()>(::GetProcAddress(user32, name));
  return reinterpret_cast<Fn>(any);
}

}  // namespace

int SystemDpi() {
  static const int dpi = [] {
    if (auto fn = User32Function<GetDpiForSystemFn>("GetDpiForSystem")) {
      if (UINT v = fn()) return static_cast<int>(v);
    }
    WindowDc screen(nullptr);
    const int v = screen ? ::GetDeviceCaps(screen.get(), LOGPIXELSX) : 0;
    return v > 0 ? v : USER_DEFAULT_SCREEN_DPI;
  }();
  return dpi;
}

int WindowDpi(HWND hwnd) {
  static const auto fn = User32Function<GetDpiForWindowFn>("GetDpiForWindow");
  if (fn && hwnd) {
    if (UINT v = fn(hwnd)) return static_cast<int>(v);
  }
  return SystemDpi();
}

SIZE OuterSizeForClient(int width, int height, DWORD style, DWORD ex_style, int dpi) {
  static const auto fn = User32Function<AdjustWindowRectExForDpiFn>("AdjustWindowRectExForDpi");
  RECT r{0, 0, width, height};
  if (!fn || !fn(&r, style, FALSE, ex_style, static_cast<UINT>(dpi))) {
    ::AdjustWindowRectEx(&r, style, FALSE, ex_style);
  }
  return SIZE{r.right - r.left, r.bottom - r.top};
}

UniqueFont MessageFont(int dpi) {
  static const auto fn = User32Function<SystemParametersInfoForDpiFn>("SystemParametersInfoForDpi");
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  bool scaled = fn && fn(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0,
                         static_cast<UINT>(dpi));
  if (!scaled) {
    metrics.cbSize = sizeof(metrics);
    if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
      return UniqueFont(static_cast<HFONT>(nullptr));
    }
    metrics.lfMessageFont.lfHeight = ::MulDiv(metrics.lfMessageFont.lfHeight, dpi, SystemDpi());
  }
  return UniqueFont(::CreateFontIndirectW(&metrics.lfMessageFont));
}

}  // namespace pw::win32
