#include "platform/win32/dpi.h"

#include "platform/win32/late_calls.h"

namespace pw::win32 {

int SystemDpi() {
  static const int dpi = [] {
    if (auto fn = User32().GetDpiForSystem) {
      if (UINT v = fn()) return static_cast<int>(v);
    }
    WindowDc screen(nullptr);
    const int v = screen ? ::GetDeviceCaps(screen.get(), LOGPIXELSX) : 0;
    return v > 0 ? v : USER_DEFAULT_SCREEN_DPI;
  }();
  return dpi;
}

int WindowDpi(HWND hwnd) {
  if (auto fn = User32().GetDpiForWindow; fn && hwnd) {
    if (UINT v = fn(hwnd)) return static_cast<int>(v);
  }
  return SystemDpi();
}

SIZE OuterSizeForClient(int width, int height, DWORD style, DWORD ex_style, int dpi) {
  RECT r{0, 0, width, height};
  auto fn = User32().AdjustWindowRectExForDpi;
  if (!fn || !fn(&r, style, FALSE, ex_style, static_cast<UINT>(dpi))) {
    ::AdjustWindowRectEx(&r, style, FALSE, ex_style);
  }
  return SIZE{r.right - r.left, r.bottom - r.top};
}

UniqueFont MessageFont(int dpi) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  auto fn = User32().SystemParametersInfoForDpi;
  const bool scaled =
      fn && fn(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, static_cast<UINT>(dpi));
  if (!scaled) {
    metrics.cbSize = sizeof(metrics);
    if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
      return UniqueFont();
    }
    metrics.lfMessageFont.lfHeight = ::MulDiv(metrics.lfMessageFont.lfHeight, dpi, SystemDpi());
  }
  return UniqueFont(::CreateFontIndirectW(&metrics.lfMessageFont));
}

}  // namespace pw::win32
