#include "platform/win32/form_window.h"

#include <cassert>

#include "platform/win32/dpi.h"
#include "platform/win32/resource.h"

#include <commctrl.h>

namespace pw::win32 {
namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);

int IconPixels(int dpi) { return ::MulDiv(16, dpi, USER_DEFAULT_SCREEN_DPI); }

// Enter presses a focused push button through DM_GETDEFID, as it does an
// owner-drawn one. Not offered as a push button that can become the default,
// it is never restyled as one by the dialog keys: that frame would stay
// behind when the focus leaves by an arrow or a click.
LRESULT CALLBACK NeverDefault(HWND button, UINT msg, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                              DWORD_PTR) {
  if (msg == WM_NCDESTROY) ::RemoveWindowSubclass(button, &NeverDefault, id);
  const LRESULT result = ::DefSubclassProc(button, msg, wparam, lparam);
  return msg == WM_GETDLGCODE ? result & ~LRESULT{DLGC_UNDEFPUSHBUTTON} : result;
}

}  // namespace

FormWindow::FormWindow(ResourceCache& resources, const FormLayout& layout, FormStyle style)
    : resources_(resources), layout_(layout), style_(style) {}

bool FormWindow::Create(HWND owner) {
  if (hwnd()) return true;
  HBRUSH background = style_.white ? static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH))
                                   : reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  Register(WindowClass{style_.class_name, nullptr, background, resources_.AppIcon(true),
                       resources_.AppIcon(false)});
  // Made at its size for the primary screen's resolution, where the system
  // puts a new window; fitted again only where it landed elsewhere. The class
  // gives the window its icons.
  const int expected_dpi = SystemDpi();
  const SIZE outer = OuterSize(expected_dpi);
  if (!CreateAs(style_.class_name, style_.ex_style, style_.style, CW_USEDEFAULT, CW_USEDEFAULT,
                outer.cx, outer.cy, owner, nullptr, Wide(layout_.caption).c_str())) {
    return false;
  }
  dpi_ = WindowDpi(hwnd());
  if (dpi_ != expected_dpi) FitWindow();
  font_ = MessageFont(dpi_);
  controls_.resize(layout_.controls.size());
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    if (MadeAtStart(layout_.controls[i].id)) Make(i);
  }
  // As a dialog starts: focus rectangles show only when the user's setting
  // says so or the keyboard is in use.
  ::SendMessageW(hwnd(), WM_CHANGEUISTATE,
                 MAKEWPARAM(UIS_INITIALIZE, UISF_HIDEFOCUS | UISF_HIDEACCEL), 0);
  return true;
}

void FormWindow::Destroy() {
  if (hwnd()) ::DestroyWindow(hwnd());
}

void FormWindow::Show() {
  ::ShowWindow(hwnd(), SW_SHOW);
  AttachToolTips();
  ::SetForegroundWindow(hwnd());
}

std::size_t FormWindow::IndexOf(ControlId id) const {
  std::size_t i = 0;
  while (i < layout_.controls.size() && layout_.controls[i].id != id) ++i;
  assert(i < layout_.controls.size() && "a control this window does not have");
  return i;
}

HWND FormWindow::ControlWindow(ControlId id) const {
  const std::size_t i = IndexOf(id);
  return i < controls_.size() ? controls_[i].hwnd : nullptr;
}

PictureBox* FormWindow::Box(ControlId id) const {
  const std::size_t i = IndexOf(id);
  return i < controls_.size() && controls_[i].hwnd ? controls_[i].box.get() : nullptr;
}

HWND FormWindow::MakeControl(ControlId id) {
  const std::size_t i = IndexOf(id);
  if (i >= controls_.size()) return nullptr;
  return controls_[i].hwnd ? controls_[i].hwnd : Make(i);
}

HWND FormWindow::Make(std::size_t index) {
  const ControlLayout& layout = layout_.controls[index];
  Child& control = controls_[index];
  HWND parent = layout.nested ? MakeControl(Control(*layout.anchor)) : hwnd();
  if (!parent) return nullptr;
  const PixelRect r = PlacedPixels(layout_, layout, dpi_);
  const int numeric = NumericId(layout.id);
  // Those made at the start show from the start; one made later is shown by
  // whoever made it, once it is filled in.
  const DWORD visible = MadeAtStart(layout.id) ? WS_VISIBLE : 0;
  auto make = [&](const wchar_t* cls, DWORD style) {
    return ::CreateWindowExW(0, cls, Wide(layout.caption).c_str(),
                             WS_CHILD | visible | WS_CLIPSIBLINGS | style, r.left, r.top, r.width,
                             r.height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(numeric)),
                             ThisModule(), nullptr);
  };
  switch (layout.kind) {
    case ControlKind::Button:
      control.hwnd = make(WC_BUTTONW, WS_TABSTOP | BS_PUSHBUTTON);
      if (control.hwnd) ::SetWindowSubclass(control.hwnd, &NeverDefault, 0, 0);
      break;
    case ControlKind::CheckBox: control.hwnd = make(WC_BUTTONW, WS_TABSTOP | BS_AUTOCHECKBOX); break;
    case ControlKind::Frame: control.hwnd = make(WC_BUTTONW, BS_GROUPBOX); break;
    case ControlKind::TextBox:
      control.hwnd = make(WC_EDITW, ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL);
      break;
    case ControlKind::Label: control.hwnd = make(WC_STATICW, SS_LEFT | SS_NOPREFIX); break;
    case ControlKind::IconButton:
    case ControlKind::PictureButton:
      control.box = std::make_unique<PictureBox>();
      if (control.box->CreateButton(parent, numeric, r, visible != 0, layout.caption)) {
        control.hwnd = control.box->hwnd();
      }
      break;
    case ControlKind::ImageBox:
    case ControlKind::Panel:
      control.box = std::make_unique<PictureBox>();
      if (control.box->Create(parent, numeric, r, visible != 0)) control.hwnd = control.box->hwnd();
      break;
  }
  if (!control.hwnd) return nullptr;
  // Overlapping controls are listed top first: below the one listed before.
  HWND above = HWND_TOP;
  for (std::size_t i = index; i-- > 0;) {
    if (controls_[i].hwnd && ::GetParent(controls_[i].hwnd) == parent) {
      above = controls_[i].hwnd;
      break;
    }
  }
  ::SetWindowPos(control.hwnd, above, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  ::SendMessageW(control.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  ApplyDesign(layout, control);
  ControlMade(layout.id, control.hwnd);
  return control.hwnd;
}

// The pictures and colours a box is drawn with.
void FormWindow::ApplyDesign(const ControlLayout& layout, Child& control) {
  if (!control.box) return;
  PictureBox& box = *control.box;
  if (style_.white) box.SetBackground(kWhite);
  if (layout.icon != IconArt::None) box.SetIcon(resources_.Icon(layout.icon, IconPixels(dpi_)));
  if (layout.id.role == Role::HoverPanel) box.SetPicture(resources_.Bitmap(IDB_PANEL));
  if (layout.id.role == Role::AboutLogo) box.SetPicture(resources_.Bitmap(IDB_LOGO));
}

SIZE FormWindow::OuterSize(int dpi) const {
  return OuterSizeForClient(TwipsToPixels(layout_.client.width, dpi),
                            TwipsToPixels(layout_.client.height, dpi), style_.style,
                            style_.ex_style, dpi);
}

void FormWindow::FitWindow() {
  const SIZE outer = OuterSize(dpi_);
  ::SetWindowPos(hwnd(), nullptr, 0, 0, outer.cx, outer.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormWindow::PlaceControls() {
  font_ = MessageFont(dpi_);
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    Child& control = controls_[i];
    if (!control.hwnd) continue;
    const ControlLayout& layout = layout_.controls[i];
    const PixelRect r = PlacedPixels(layout_, layout, dpi_);
    ::SetWindowPos(control.hwnd, nullptr, r.left, r.top, r.width, r.height,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    ::SendMessageW(control.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
    if (control.box && layout.icon != IconArt::None) {
      control.box->SetIcon(resources_.Icon(layout.icon, IconPixels(dpi_)));
    }
  }
}

// The tool tip window makes itself top-most, and a top-most window owned by
// a form keeps the system from making that form top-most: start-up makes the
// main window top-most while it is still hidden, so the tool tip window is
// made when the form is first shown.
void FormWindow::AttachToolTips() {
  if (tooltip_) return;
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    const ControlLayout& layout = layout_.controls[i];
    if (layout.tip.empty() || !controls_[i].hwnd) continue;
    if (!tooltip_) {
      tooltip_.reset(::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                       WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                       CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd(), nullptr,
                                       ThisModule(), nullptr));
      if (!tooltip_) return;
    }
    std::wstring text = Wide(layout.tip);
    TTTOOLINFOW info{};
    info.cbSize = sizeof(info);
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = hwnd();
    info.uId = reinterpret_cast<UINT_PTR>(controls_[i].hwnd);
    info.lpszText = text.data();
    ::SendMessageW(tooltip_.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
  }
}

LRESULT FormWindow::OnMessage(UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case WM_COMMAND:
      OnCommand(wparam, lparam);
      return 0;
    case WM_DRAWITEM:
      return OnDrawItem(wparam, lparam);
    case DM_GETDEFID:
      return DefaultButton();
    case WM_SHOWWINDOW:
      if (wparam) focus_ = nullptr;  // shown again: from the first control
      return Default(msg, wparam, lparam);
    case WM_ACTIVATE:
      if (LOWORD(wparam) == WA_INACTIVE) {
        HWND focus = ::GetFocus();
        if (focus && ::IsChild(hwnd(), focus)) focus_ = focus;
      }
      return Default(msg, wparam, lparam);  // which focuses the window: see WM_SETFOCUS
    case WM_SETFOCUS:
      FocusControl();
      return 0;
    case WM_CLOSE: {
      HWND back = return_focus_;
      Destroy();
      if (back && ::IsWindowVisible(back)) ::SetForegroundWindow(back);
      return 0;
    }
    case WM_CTLCOLORSTATIC:
      return OnStaticColour(wparam, lparam);
    case WM_DPICHANGED:
      OnDpiChanged(wparam, *reinterpret_cast<const RECT*>(lparam));
      return 0;
    case WM_NCDESTROY:
      // The controls' windows went before this one; their boxes, and the
      // pictures they showed, go now. The tool tip window was ours.
      controls_.clear();
      tooltip_.release();
      return Default(msg, wparam, lparam);
    default:
      return Default(msg, wparam, lparam);
  }
}

void FormWindow::OnCommand(WPARAM wparam, LPARAM lparam) {
  // Esc, by way of the dialog keys.
  if (LOWORD(wparam) == IDCANCEL) {
    if (style_.closes_on_escape) ::PostMessageW(hwnd(), WM_CLOSE, 0, 0);
    return;
  }
  // Only clicks of our own controls: menus and accelerators have no lParam,
  // and Enter with no button to press is IDOK.
  if (lparam == 0 || HIWORD(wparam) != BN_CLICKED || LOWORD(wparam) == IDOK) return;
  const std::optional<ControlId> id = ControlOfNumericId(LOWORD(wparam));
  assert(id && "a click from a control without an id of ours");
  if (id) Clicked(*id);
}

LRESULT FormWindow::OnDrawItem(WPARAM wparam, LPARAM lparam) {
  const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
  for (const Child& control : controls_) {
    if (control.hwnd == item.hwndItem && control.box) {
      control.box->DrawItem(item);
      return TRUE;
    }
  }
  return Default(WM_DRAWITEM, wparam, lparam);
}

// Enter presses the focused push button, as in a dialog where the default
// button follows the focus; a check box has none to press.
LRESULT FormWindow::DefaultButton() const {
  HWND focus = ::GetFocus();
  if (!focus || !::IsChild(hwnd(), focus)) return 0;
  if (!(::SendMessageW(focus, WM_GETDLGCODE, 0, 0) & DLGC_BUTTON)) return 0;
  const LONG_PTR type = ::GetWindowLongPtrW(focus, GWL_STYLE) & BS_TYPEMASK;
  if (type != BS_PUSHBUTTON && type != BS_DEFPUSHBUTTON && type != BS_OWNERDRAW) return 0;
  return MAKELRESULT(::GetDlgCtrlID(focus), DC_HASDEFID);
}

// The window itself has the focus only while no control of it can take it.
void FormWindow::FocusControl() {
  HWND target = focus_;
  if (!target || !::IsWindow(target) || !::IsWindowVisible(target) || !::IsWindowEnabled(target)) {
    target = ::GetNextDlgTabItem(hwnd(), nullptr, FALSE);
  }
  if (target) ::SetFocus(target);
}

LRESULT FormWindow::OnStaticColour(WPARAM wparam, LPARAM lparam) {
  if (!style_.white) return Default(WM_CTLCOLORSTATIC, wparam, lparam);
  HDC dc = reinterpret_cast<HDC>(wparam);
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

}  // namespace pw::win32
