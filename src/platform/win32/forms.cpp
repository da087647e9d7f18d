#include "platform/win32/forms.h"

#include <algorithm>

#include "platform/win32/dpi.h"
#include "platform/win32/host.h"
#include "platform/win32/resource.h"

#include <commctrl.h>
#include <windowsx.h>

namespace pw::win32 {
namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);

}  // namespace

std::wstring TextBoxText(std::u16string_view text) {
  std::wstring out;
  out.reserve(text.size() + text.size() / 8);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c == u'\n' && (i == 0 || text[i - 1] != u'\r')) out += L'\r';
    out += static_cast<wchar_t>(c);
  }
  return out;
}

namespace {

// The button state of a mouse message, from the keyboard state.
WPARAM CurrentMouseKeys() {
  WPARAM keys = 0;
  if (::GetKeyState(VK_LBUTTON) < 0) keys |= MK_LBUTTON;
  if (::GetKeyState(VK_RBUTTON) < 0) keys |= MK_RBUTTON;
  if (::GetKeyState(VK_MBUTTON) < 0) keys |= MK_MBUTTON;
  if (::GetKeyState(VK_SHIFT) < 0) keys |= MK_SHIFT;
  if (::GetKeyState(VK_CONTROL) < 0) keys |= MK_CONTROL;
  return keys;
}

// The row buttons report every mouse move, also while captured. When the
// pointer leaves for a place whose moves reach no window of ours (possible
// where capture does not span the whole desktop), the leave notice is turned
// into the move to where the pointer now is, so the hover preview still goes.
LRESULT CALLBACK RowButtonProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam,
                               UINT_PTR subclass_id, DWORD_PTR form) {
  if (msg == WM_NCDESTROY) ::RemoveWindowSubclass(hwnd, &RowButtonProc, subclass_id);
  const LRESULT result = ::DefSubclassProc(hwnd, msg, wparam, lparam);
  auto* owner = reinterpret_cast<FormWindow*>(form);
  if (msg == WM_MOUSEMOVE) {
    TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, hwnd, 0};
    ::TrackMouseEvent(&track);
    owner->OnRowMouseMove(hwnd, wparam, lparam);
  } else if (msg == WM_MOUSELEAVE) {
    POINT at{};
    RECT client{};
    ::GetCursorPos(&at);
    ::ScreenToClient(hwnd, &at);
    ::GetClientRect(hwnd, &client);
    if (!::PtInRect(&client, at)) {
      owner->OnRowMouseMove(hwnd, CurrentMouseKeys(),
                            MAKELPARAM(static_cast<WORD>(at.x), static_cast<WORD>(at.y)));
    }
  }
  return result;
}

int IconPixels(int dpi) { return ::MulDiv(16, dpi, USER_DEFAULT_SCREEN_DPI); }

}  // namespace

MouseArgs MouseArgsFrom(WPARAM wparam, LPARAM lparam, int dpi) {
  MouseArgs args;
  if (wparam & MK_LBUTTON) args.button |= 1;
  if (wparam & MK_RBUTTON) args.button |= 2;
  if (wparam & MK_MBUTTON) args.button |= 4;
  if (wparam & MK_SHIFT) args.shift |= 1;
  if (wparam & MK_CONTROL) args.shift |= 2;
  if (::GetKeyState(VK_MENU) < 0) args.shift |= 4;
  args.x = PixelsToTwips(GET_X_LPARAM(lparam), dpi);
  args.y = PixelsToTwips(GET_Y_LPARAM(lparam), dpi);
  return args;
}

FormWindow::FormWindow(Win32Host& host, ControlId id, const FormLayout* layout, FormStyle style)
    : host_(host), id_(id), layout_(layout), style_(style) {}

bool FormWindow::Create() {
  if (hwnd()) return true;
  HINSTANCE instance = host_.instance();
  HBRUSH background = style_.white ? static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH))
                                   : reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  Register(instance, WindowClass{style_.class_name, ::LoadCursorW(nullptr, style_.cursor), background,
                                 host_.AppIcon(true), host_.AppIcon(false)});
  HWND owner = style_.on_taskbar ? nullptr : host_.HiddenOwner();
  if (!CreateAs(instance, style_.class_name, style_.ex_style, style_.style, CW_USEDEFAULT,
                CW_USEDEFAULT, 0, 0, owner, nullptr)) {
    return false;
  }
  dpi_ = WindowDpi(hwnd());
  FitWindow();
  ::SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(host_.AppIcon(true)));
  ::SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(host_.AppIcon(false)));
  CreateControls();
  return true;
}

void FormWindow::FitWindow() {
  if (!layout_) return;
  const SIZE outer = OuterSizeForClient(TwipsToPixels(layout_->client.width, dpi_),
                                        TwipsToPixels(layout_->client.height, dpi_), style_.style,
                                        style_.ex_style, dpi_);
  ::SetWindowPos(hwnd(), nullptr, 0, 0, outer.cx, outer.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormWindow::Destroy() {
  if (hwnd()) ::DestroyWindow(hwnd());
  tooltip_.release();  // a window owned by the form goes with it
  for (auto& [id, control] : controls_) {
    control.hwnd = nullptr;
    control.has_tool = false;
  }
}

Control* FormWindow::Find(ControlId id) {
  auto it = controls_.find(id);
  return it == controls_.end() || !it->second.hwnd ? nullptr : &it->second;
}

void FormWindow::CreateControls() {
  // The boxes of an earlier opening are dropped only now, long after their
  // windows went, so no message of theirs can still be running.
  controls_.clear();
  if (!layout_) return;
  font_ = MessageFont(dpi_);
  for (const ControlLayout& layout : layout_->controls) {
    Control& control = controls_[layout.id];
    control.layout = &layout;
    HWND parent = hwnd();
    if (layout.nested) {
      if (Control* outer = Find(layout.relative_to)) parent = outer->hwnd;
    }
    control.hwnd = CreateControl(layout, control, parent);
    if (!control.hwnd) continue;
    ::SendMessageW(control.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    ApplyDesign(control);
  }
  // The table lists overlapping controls top first; stack them that way.
  for (const ControlLayout& layout : layout_->controls) {
    if (Control* c = Find(layout.id)) {
      ::SetWindowPos(c->hwnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
  }
}

namespace {
// The per-slot controls and the hover preview start hidden: creating them so
// spares start-up from hiding each one again.
bool VisibleAtStart(ControlId id) {
  switch (id.family) {
    case Family::ClipShow:
    case Family::t:
    case Family::w:
    case Family::d:
    case Family::sav:
    case Family::dpic:
    case Family::pv:
    case Family::vpic:
    case Family::pView: return false;
    default: return true;
  }
}
}  // namespace

HWND FormWindow::CreateControl(const ControlLayout& layout, Control& control, HWND parent) {
  const PixelRect r = ToPixels(PlacedRect(*layout_, layout), dpi_);
  const int numeric = NumericId(layout.id);
  const bool visible = VisibleAtStart(layout.id);
  auto make = [&](const wchar_t* cls, DWORD style) {
    return ::CreateWindowExW(0, cls, L"",
                             WS_CHILD | (visible ? WS_VISIBLE : 0) | WS_CLIPSIBLINGS | style, r.left,
                             r.top, r.width, r.height, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(numeric)),
                             host_.instance(), nullptr);
  };
  switch (layout.kind) {
    case ControlKind::Button: {
      HWND button = make(WC_BUTTONW, WS_TABSTOP | BS_PUSHBUTTON);
      if (button && layout.id.family == Family::ClipShow) {
        ::SetWindowSubclass(button, &RowButtonProc, 1, reinterpret_cast<DWORD_PTR>(this));
      }
      return button;
    }
    case ControlKind::CheckBox:
      return make(WC_BUTTONW, WS_TABSTOP | BS_AUTOCHECKBOX);
    case ControlKind::Frame:
      return make(WC_BUTTONW, BS_GROUPBOX);
    case ControlKind::TextBox:
      return make(WC_EDITW, ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL);
    case ControlKind::Label:
      return make(WC_STATICW, SS_LEFT | SS_NOPREFIX);
    case ControlKind::IconBox:
    case ControlKind::ImageBox:
    case ControlKind::Panel: {
      control.box = std::make_unique<PictureBox>();
      PictureBox::RegisterClass(host_.instance());
      if (!control.box->Create(host_.instance(), parent, numeric, r, visible)) return nullptr;
      return control.box->hwnd();
    }
  }
  return nullptr;
}

// The pictures and colours a control has before the logic touches it.
void FormWindow::ApplyDesign(Control& control) {
  if (!control.box) return;
  PictureBox& box = *control.box;
  if (style_.white) box.SetBackground(kWhite);
  if (control.layout->icon != IconArt::None) {
    box.SetIcon(host_.Icon(control.layout->icon, IconPixels(dpi_)));
  }
  if (control.layout->id == vpic) box.SetPicture(host_.ResourcePicture(IDB_PANEL));
  if (control.layout->id == mylogo) box.SetPicture(host_.ResourcePicture(IDB_LOGO));
}

void FormWindow::PlaceControls() {
  if (!layout_) return;
  font_ = MessageFont(dpi_);
  for (auto& [id, control] : controls_) {
    if (!control.hwnd) continue;
    const PixelRect r = ToPixels(PlacedRect(*layout_, *control.layout), dpi_);
    ::SetWindowPos(control.hwnd, nullptr, r.left, r.top, r.width, r.height,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    ::SendMessageW(control.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
    if (control.box && control.layout->icon != IconArt::None) {
      control.box->SetIcon(host_.Icon(control.layout->icon, IconPixels(dpi_)));
    }
  }
}

void FormWindow::SetToolTip(Control& control, std::u16string_view tip) {
  control.tooltip = tip;
  // The tool tip window makes itself top-most, and a top-most window owned
  // by a form keeps the system from making that form top-most: start-up
  // makes the main window top-most while it is still hidden, so the tool
  // tip window is made when the form is first shown.
  if (::IsWindowVisible(hwnd())) AttachToolTip(control);
}

void FormWindow::AttachToolTips() {
  for (auto& [id, control] : controls_) {
    if (!control.tooltip.empty()) AttachToolTip(control);
  }
}

void FormWindow::AttachToolTip(Control& control) {
  if (!tooltip_) {
    tooltip_.reset(::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                     WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                     CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd(), nullptr,
                                     host_.instance(), nullptr));
    if (!tooltip_) return;
  }
  std::wstring text = Wide(control.tooltip);
  TTTOOLINFOW info{};
  info.cbSize = sizeof(info);
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = hwnd();
  info.uId = reinterpret_cast<UINT_PTR>(control.hwnd);
  info.lpszText = text.data();
  if (control.has_tool) {
    ::SendMessageW(tooltip_.get(), TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
  } else {
    control.has_tool =
        ::SendMessageW(tooltip_.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info)) != 0;
  }
}

void FormWindow::OnRowMouseMove(HWND button, WPARAM wparam, LPARAM lparam) {
  if (auto id = ControlFromNumericId(::GetDlgCtrlID(button))) {
    host_.MouseMoved(*id, MouseArgsFrom(wparam, lparam, dpi_));
  }
}

LRESULT FormWindow::OnMessage(UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case WM_COMMAND:
      OnCommand(wparam, lparam);
      return 0;
    case WM_CLOSE:
      host_.UserClosed(id_);
      return 0;
    case WM_CTLCOLORSTATIC:
      return OnStaticColour(reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam));
    case WM_DPICHANGED:
      OnDpiChanged(wparam, *reinterpret_cast<const RECT*>(lparam));
      return 0;
    default:
      return Default(msg, wparam, lparam);
  }
}

void FormWindow::OnCommand(WPARAM wparam, LPARAM lparam) {
  // Only clicks of our own controls; menus and accelerators have no lParam.
  if (lparam == 0 || HIWORD(wparam) != BN_CLICKED) return;
  if (auto id = ControlFromNumericId(LOWORD(wparam))) host_.Clicked(*id);
}

LRESULT FormWindow::OnStaticColour(HDC dc, HWND control) {
  if (!style_.white) return Default(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                    reinterpret_cast<LPARAM>(control));
  ::SetBkColor(dc, kWhite);
  ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
  return reinterpret_cast<LRESULT>(::GetStockObject(WHITE_BRUSH));
}

void FormWindow::OnDpiChanged(WPARAM wparam, const RECT& suggested) {
  dpi_ = HIWORD(wparam);
  ::SetWindowPos(hwnd(), nullptr, suggested.left, suggested.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  FitWindow();
  PlaceControls();
}

// --- MainForm ----------------------------------------------------------------

MainWindow::MainWindow(Win32Host& host)
    : FormWindow(host, MainForm, &MainFormLayout(),
                 FormStyle{kMainClass, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, 0}),
      taskbar_created_(::RegisterWindowMessageW(L"TaskbarCreated")) {}

LRESULT MainWindow::OnMessage(UINT msg, WPARAM wparam, LPARAM lparam) {
  if (msg == kTrayMessage) {
    host_.TrayNotified(LOWORD(lparam));
    return 0;
  }
  if (msg == taskbar_created_ && taskbar_created_ != 0) {
    host_.TaskbarCreated();
    return 0;
  }
  switch (msg) {
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      if (wparam) host_.UserClosed(MainForm);
      return 0;
    case WM_DESTROY:
      // Whatever takes the main window down ends the program.
      ::PostQuitMessage(0);
      return 0;
    default:
      return FormWindow::OnMessage(msg, wparam, lparam);
  }
}

// --- Form2 ---------------------------------------------------------------------

OverlayWindow::OverlayWindow(Win32Host& host)
    : FormWindow(host, Form2, nullptr,
                 FormStyle{kOverlayClass, WS_POPUP, WS_EX_TOOLWINDOW, false, true, IDC_CROSS}) {}

void OverlayWindow::FitWindow() {
  ::SetWindowPos(hwnd(), nullptr, 0, 0, ::GetSystemMetrics(SM_CXSCREEN),
                 ::GetSystemMetrics(SM_CYSCREEN), SWP_NOZORDER | SWP_NOACTIVATE);
}

void OverlayWindow::SetFrozen(const Picture& frozen) {
  frozen_.CreateFrom(frozen);
  outline_.reset();
  if (hwnd()) ::InvalidateRect(hwnd(), nullptr, FALSE);
}

void OverlayWindow::DrawOutline(POINT a, POINT b) {
  InvalidateOutline();
  outline_ = RECT{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x) + 1,
                  std::max(a.y, b.y) + 1};
  InvalidateOutline();
  // On screen now: the region's copy is taken from the live screen, outline
  // included, as soon as the next press comes.
  if (hwnd()) ::UpdateWindow(hwnd());
}

void OverlayWindow::ClearOutline() {
  InvalidateOutline();
  outline_.reset();
}

void OverlayWindow::InvalidateOutline() {
  if (!outline_ || !hwnd()) return;
  // Only the four edges change.
  const RECT& r = *outline_;
  const RECT edges[] = {{r.left, r.top, r.right, r.top + 1},
                        {r.left, r.bottom - 1, r.right, r.bottom},
                        {r.left, r.top, r.left + 1, r.bottom},
                        {r.right - 1, r.top, r.right, r.bottom}};
  for (const RECT& e : edges) ::InvalidateRect(hwnd(), &e, FALSE);
}

LRESULT OverlayWindow::OnMessage(UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_MOUSEMOVE:
      host_.MouseMoved(Form2, MouseArgsFrom(wparam, lparam, dpi()));
      return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
      MouseArgs args = MouseArgsFrom(wparam, lparam, dpi());
      // The button that went down, not every button held.
      args.button = msg == WM_LBUTTONDOWN ? 1 : msg == WM_RBUTTONDOWN ? 2 : 4;
      host_.MouseDown(Form2, args);
      return 0;
    }
    default:
      return FormWindow::OnMessage(msg, wparam, lparam);
  }
}

void OverlayWindow::OnPaint() {
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
