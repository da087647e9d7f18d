#include "platform/win32/cut_overlay.h"

#include <algorithm>
#include <cmath>

#include "platform/win32/dpi.h"
#include "platform/win32/layout.h"
#include "platform/win32/window_names.h"

#include <windowsx.h>

namespace pw::win32 {

void CutOverlay::Open(const Picture& frozen) {
  Register(WindowClass{kOverlayClass, ::LoadCursorW(nullptr, IDC_CROSS),
                       static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH))});
  if (!CreateAs(kOverlayClass, WS_EX_TOOLWINDOW, WS_POPUP, 0, 0, ::GetSystemMetrics(SM_CXSCREEN),
                ::GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr)) {
    return;
  }
  dpi_ = WindowDpi(hwnd());
  frozen_.CreateFrom(frozen);
  outline_.reset();
  ::ShowWindow(hwnd(), SW_SHOW);
  ::SetForegroundWindow(hwnd());
  ::UpdateWindow(hwnd());
}

void CutOverlay::ShowOutline(PointTwips corner, PointTwips opposite) {
  if (!open()) return;
  const float per_pixel = TwipsPerPixel(dpi_);
  auto px = [per_pixel](float twips) { return static_cast<LONG>(std::lround(twips / per_pixel)); };
  const POINT a{px(corner.x), px(corner.y)};
  const POINT b{px(opposite.x), px(opposite.y)};
  InvalidateOutline();
  outline_ = RECT{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x) + 1,
                  std::max(a.y, b.y) + 1};
  InvalidateOutline();
  // On screen now: a cut is marked on what the user sees.
  ::UpdateWindow(hwnd());
}

void CutOverlay::HideOutline() {
  InvalidateOutline();
  outline_.reset();
}

void CutOverlay::Close() {
  if (open()) ::DestroyWindow(hwnd());
}

void CutOverlay::InvalidateOutline() {
  if (!outline_ || !open()) return;
  // Only the four edges change.
  const RECT& r = *outline_;
  const RECT edges[] = {{r.left, r.top, r.right, r.top + 1},
                        {r.left, r.bottom - 1, r.right, r.bottom},
                        {r.left, r.top, r.left + 1, r.bottom},
                        {r.right - 1, r.top, r.right, r.bottom}};
  for (const RECT& e : edges) ::InvalidateRect(hwnd(), &e, FALSE);
}

PointTwips CutOverlay::Twips(LPARAM at) const {
  return {PixelsToTwips(GET_X_LPARAM(at), dpi_), PixelsToTwips(GET_Y_LPARAM(at), dpi_)};
}

LRESULT CutOverlay::OnMessage(UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_MOUSEMOVE: {
      RECT client{};
      ::GetClientRect(hwnd(), &client);
      events_.PointerMoved(Control(Role::CutOverlay), Twips(lparam),
                           SizeTwips{PixelsToWholeTwips(client.right, dpi_),
                                     PixelsToWholeTwips(client.bottom, dpi_)});
      return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      // The program may close the overlay right here: nothing after this.
      events_.PointerPressed(Control(Role::CutOverlay), Twips(lparam));
      return 0;
    case WM_DESTROY:
      frozen_.Reset();
      outline_.reset();
      events_.OverlayClosed();
      return 0;
    default:
      return Default(msg, wparam, lparam);
  }
}

void CutOverlay::OnPaint() {
  PAINTSTRUCT ps;
  HDC dc = ::BeginPaint(hwnd(), &ps);
  const RECT& r = ps.rcPaint;
  ::FillRect(dc, &r, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
  if (frozen_) {
    ::BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, frozen_.dc(), r.left, r.top,
             SRCCOPY);
  }
  if (outline_) ::FrameRect(dc, &*outline_, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
  ::EndPaint(hwnd(), &ps);
}

}  // namespace pw::win32
