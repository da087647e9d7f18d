#include "platform/win32/picture_box.h"

#include <optional>

#include "platform/win32/surface.h"

#include <commctrl.h>

namespace pw::win32 {

namespace {
constexpr const wchar_t* kClassName = L"PastewrightPictureBox";
}  // namespace

bool PictureBox::Create(HWND parent, int control_id, const PixelRect& r, bool visible) {
  Register(WindowClass{kClassName});
  return CreateAs(kClassName, 0,
                  WS_CHILD | (visible ? WS_VISIBLE : 0) | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                  r.left, r.top, r.width, r.height, parent,
                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(control_id)));
}

bool PictureBox::CreateButton(HWND parent, int control_id, const PixelRect& r, bool visible,
                              std::u16string_view name) {
  button_ = true;
  return Wrap(::CreateWindowExW(
      0, WC_BUTTONW, Wide(name).c_str(),
      WS_CHILD | (visible ? WS_VISIBLE : 0) | WS_CLIPSIBLINGS | WS_TABSTOP | BS_OWNERDRAW, r.left,
      r.top, r.width, r.height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(control_id)),
      ThisModule(), nullptr));
}

void PictureBox::SetIcon(HICON icon) {
  icon_ = icon;
  icon_size_ = 16;
  ICONINFO info{};
  if (icon && ::GetIconInfo(icon, &info)) {
    // The call hands out copies of the icon's bitmaps.
    const UniqueBitmap colour(info.hbmColor), mask(info.hbmMask);
    BITMAP bm{};
    if (::GetObjectW(colour ? colour.get() : mask.get(), sizeof(bm), &bm)) icon_size_ = bm.bmWidth;
  }
  if (hwnd()) ::InvalidateRect(hwnd(), nullptr, TRUE);
}

void PictureBox::SetPicture(Picture picture) {
  picture_ = std::move(picture);
  if (hwnd()) ::InvalidateRect(hwnd(), nullptr, TRUE);
}

void PictureBox::SetStretch(bool stretch) {
  if (stretch_ == stretch) return;
  stretch_ = stretch;
  if (hwnd()) ::InvalidateRect(hwnd(), nullptr, TRUE);
}

void PictureBox::SetBackground(COLORREF colour) {
  background_ = colour;
  if (hwnd()) ::InvalidateRect(hwnd(), nullptr, TRUE);
}

LRESULT PictureBox::OnMessage(UINT msg, WPARAM wparam, LPARAM lparam) {
  if (button_) {
    switch (msg) {
      case WM_ERASEBKGND:
        return 1;  // drawn whole in WM_DRAWITEM
      case WM_LBUTTONDBLCLK:
        // A quick second click is one more click, as the first was, not
        // the button's double-click notice.
        return Default(WM_LBUTTONDOWN, wparam, lparam);
      default:
        return Default(msg, wparam, lparam);
    }
  }
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;  // painted whole in WM_PAINT
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
      return OnChildColour(reinterpret_cast<HDC>(wparam));
    default:
      return Default(msg, wparam, lparam);
  }
}

void PictureBox::OnPaint() {
  PAINTSTRUCT ps;
  HDC dc = ::BeginPaint(hwnd(), &ps);
  RECT client{};
  ::GetClientRect(hwnd(), &client);
  Draw(dc, client);
  ::EndPaint(hwnd(), &ps);
}

void PictureBox::Draw(HDC dc, const RECT& client) const {
  // Draws onto a buffer first, so a thumbnail repainted on every clip does
  // not flicker.
  const int width = client.right - client.left;
  const int height = client.bottom - client.top;
  if (width <= 0 || height <= 0) return;
  UniqueMemoryDc buffer(::CreateCompatibleDC(dc));
  UniqueBitmap surface(::CreateCompatibleBitmap(dc, width, height));
  HDC target = dc;
  std::optional<SelectScope> selected;
  if (buffer && surface) {
    selected.emplace(buffer.get(), surface.get());
    target = buffer.get();
  }
  UniqueBrush fill(::CreateSolidBrush(background_));
  ::FillRect(target, &client, fill.get());
  if (!picture_.empty()) {
    DrawPicture(target, picture_, client, stretch_);
  } else if (icon_) {
    ::DrawIconEx(target, (width - icon_size_) / 2, (height - icon_size_) / 2, icon_, icon_size_,
                 icon_size_, 0, nullptr, DI_NORMAL);
  }
  if (target != dc) ::BitBlt(dc, 0, 0, width, height, target, 0, 0, SRCCOPY);
}

void PictureBox::DrawItem(const DRAWITEMSTRUCT& item) const {
  Draw(item.hDC, item.rcItem);
  const bool cues_hidden = (item.itemState & ODS_NOFOCUSRECT) != 0 ||
                           (::SendMessageW(item.hwndItem, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS);
  if ((item.itemState & ODS_FOCUS) && !cues_hidden) ::DrawFocusRect(item.hDC, &item.rcItem);
}

LRESULT PictureBox::OnChildColour(HDC dc) {
  if (!child_brush_) child_brush_.reset(::CreateSolidBrush(RGB(255, 255, 255)));
  ::SetBkColor(dc, RGB(255, 255, 255));
  ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
  return reinterpret_cast<LRESULT>(child_brush_.get());
}

}  // namespace pw::win32
