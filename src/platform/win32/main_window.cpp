#include "platform/win32/main_window.h"

#include <algorithm>
#include <cassert>
#include <iterator>

#include "platform/win32/dpi.h"
#include "platform/win32/window_names.h"

#include <commctrl.h>
#include <windowsx.h>

namespace pw::win32 {
namespace {

constexpr Role kRowRoles[] = {Role::Row, Role::RowTxt, Role::RowDoc, Role::RowDelete};
constexpr Role kSlotButtons[] = {Role::PictureSave, Role::PictureDelete, Role::PicturePreview};

// A text box shows a lone line feed as a line break only when it is CR LF.
std::u16string TextBoxText(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size() + text.size() / 8);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\n' && (i == 0 || text[i - 1] != u'\r')) out += u'\r';
    out += text[i];
  }
  return out;
}

std::optional<ControlId> ControlOf(HWND control) {
  return ControlOfNumericId(::GetDlgCtrlID(control));
}

// Where an arrow key leads from a control, if anywhere: along a row and up
// or down its column; up or down the thumbnails, or the icons stacked beside
// them; across between a thumbnail and the first of its icons.
std::optional<ControlId> Neighbour(ControlId from, int across, int down) {
  auto index = [](const auto& roles, Role role) {
    return static_cast<int>(std::ranges::find(roles, role) - std::begin(roles));
  };
  std::optional<ControlId> to;
  if (PerRow(from.role)) {
    const int column = index(kRowRoles, from.role) + across;
    if (column >= 0 && column < static_cast<int>(std::size(kRowRoles))) {
      to = Control(kRowRoles[column], from.slot + down);
    }
  } else if (from.role == Role::Thumbnail) {
    if (across > 0) to = Control(Role::PictureSave, from.slot);
    if (across == 0) to = Control(Role::Thumbnail, from.slot + down);
  } else if (PerPicture(from.role)) {
    const int icons = static_cast<int>(std::size(kSlotButtons));
    const int at = (from.slot - 1) * icons + index(kSlotButtons, from.role) + down;
    if (across < 0) to = Control(Role::Thumbnail, from.slot);
    if (across == 0 && at >= 0) to = Control(kSlotButtons[at % icons], at / icons + 1);
  }
  return to && Exists(*to) ? to : std::nullopt;
}

}  // namespace

MainWindow::MainWindow(ResourceCache& resources, Events& events,
                       std::function<void()> close_others)
    : FormWindow(resources, MainLayout(),
                 FormStyle{kMainClass, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU}),
      events_(events),
      close_others_(std::move(close_others)),
      chain_([this] { events_.ClipboardChanged(); }),
      tray_([this] { events_.TrayActivated(); }) {}

bool MainWindow::Create() {
  closing_ = false;
  if (!FormWindow::Create()) return false;
  tray_.Attach(hwnd(), resources_.AppIcon(false));
  return true;
}

// The per-row controls, the picture slots' buttons and the row preview are
// hidden until the store first needs them: start-up does not make them only
// to hide them again.
bool MainWindow::MadeAtStart(ControlId id) const {
  switch (id.role) {
    case Role::Row:
    case Role::RowTxt:
    case Role::RowDoc:
    case Role::RowDelete:
    case Role::PictureSave:
    case Role::PictureDelete:
    case Role::PicturePreview:
    case Role::HoverPanel:
    case Role::HoverText: return false;
    default: return true;
  }
}

void MainWindow::ControlMade(ControlId id, HWND control) {
  if (id.role == Role::Row) {
    ::SetWindowSubclass(control, &RowButtonProc, 1, reinterpret_cast<DWORD_PTR>(this));
    SetRowCaption(id.slot, control, u"");
  }
}

// --- the store ---------------------------------------------------------------

void MainWindow::ShowStore(const WindowView& view) {
  // The window can close under a message box the program has open, which
  // then goes on to show its store: there is nothing to show it on.
  if (!open()) return;
  for (int i = 0; i < kTextSlots; ++i) ShowRow(i, view.rows[static_cast<std::size_t>(i)]);
  for (int n = 1; n <= kPictureSlots; ++n) {
    ShowSlot(n, view.pictures[static_cast<std::size_t>(n - 1)]);
  }
  HWND empty_all = ControlWindow(Control(Role::EmptyAll));
  if ((::IsWindowEnabled(empty_all) != FALSE) != view.can_empty_all) {
    if (!view.can_empty_all) PassFocusOn(empty_all, false);
    ::EnableWindow(empty_all, view.can_empty_all ? TRUE : FALSE);
  }
  HWND panel = ControlWindow(Control(Role::Panel));
  if (WindowText(panel) != view.panel_caption) {
    ::SetWindowTextW(panel, Wide(view.panel_caption).c_str());
  }
}

void MainWindow::ShowRow(int slot, const RowView& row) {
  const ControlId id = Control(Role::Row, slot);
  HWND button = row.shown ? MakeControl(id) : ControlWindow(id);
  if (!button) return;  // never shown: nothing to take away
  if (row_captions_[static_cast<std::size_t>(slot)] != row.caption) {
    SetRowCaption(slot, button, row.caption);
  }
  if (Shown(id) == row.shown) return;
  for (Role role : kRowRoles) ShowControl(Control(role, slot), row.shown);
}

void MainWindow::ShowSlot(int n, const Picture& picture) {
  PictureBox* thumbnail = Box(Control(Role::Thumbnail, n));
  const bool held = !picture.empty();
  if (thumbnail->picture().empty() == held) {
    ::SetWindowTextW(thumbnail->hwnd(), Wide(ThumbnailName(n, !held)).c_str());
  }
  if (!(thumbnail->picture() == picture)) thumbnail->SetPicture(picture);
  for (Role role : kSlotButtons) {
    if (Shown(Control(role, n)) != held) ShowControl(Control(role, n), held);
  }
}

void MainWindow::ShowControl(ControlId id, bool shown) {
  HWND control = shown ? MakeControl(id) : ControlWindow(id);
  if (!control) return;
  if (!shown) PassFocusOn(control, true);
  ::ShowWindow(control, shown ? SW_SHOWNA : SW_HIDE);
}

void MainWindow::PassFocusOn(HWND control, bool back) {
  if (::GetFocus() != control) return;
  HWND to = ::GetNextDlgTabItem(hwnd(), control, back ? TRUE : FALSE);
  // Back from the first control would wrap round to the last: on instead.
  HWND later = to;
  while (back && later && later != control) later = ::GetWindow(later, GW_HWNDNEXT);
  if (back && !later) to = ::GetNextDlgTabItem(hwnd(), control, FALSE);
  ::SetFocus(to);
}

// The control's own flag: a row stays shown while the window is in the tray.
bool MainWindow::Shown(ControlId id) const {
  HWND control = ControlWindow(id);
  return control && (::GetWindowLongPtrW(control, GWL_STYLE) & WS_VISIBLE) != 0;
}

void MainWindow::SetRowCaption(int slot, HWND button, std::u16string_view caption) {
  // An image button whose image draws nothing shows no text, but its text
  // is still its name.
  const bool named_only = caption.empty();
  const LONG_PTR style = ::GetWindowLongPtrW(button, GWL_STYLE);
  const LONG_PTR wanted = named_only ? style | BS_ICON : style & ~LONG_PTR{BS_ICON};
  if (wanted != style) {
    ::SetWindowLongPtrW(button, GWL_STYLE, wanted);
    ::SendMessageW(button, BM_SETIMAGE, IMAGE_ICON,
                   reinterpret_cast<LPARAM>(named_only ? resources_.BlankIcon() : nullptr));
  }
  std::wstring shown;
  for (char16_t c : caption) {
    shown += static_cast<wchar_t>(c);
    if (c == u'&') shown += L'&';
  }
  if (named_only) shown = Wide(RowName(slot));
  // A shown button paints itself at once when its text changes: when the store shifts, ten of
  // them did so one after the other (each also flushing the window to the screen once the
  // program had been busy a while) before the change handler could return. RowButtonProc
  // sets the text without painting (holding the redraw around it cost two more calls to the
  // window server a row); marked for the window's next paint, the rows are painted together
  // once the handler is done.
  ::SetWindowTextW(button, shown.c_str());
  if (::IsWindowVisible(button)) ::InvalidateRect(button, nullptr, TRUE);
  row_captions_[static_cast<std::size_t>(slot)] = caption;
}

// --- the row preview -----------------------------------------------------------

void MainWindow::ShowTextPreview(int slot, std::u16string_view text) {
  HWND button = ControlWindow(Control(Role::Row, slot));
  HWND box = MakeControl(Control(Role::HoverText));
  const std::u16string shown = TextBoxText(text);
  if (WindowText(box) != shown) ::SetWindowTextW(box, Wide(shown).c_str());
  ShowControl(Control(Role::HoverPanel), true);
  ShowControl(Control(Role::HoverText), true);
  // Holding the pointer lets the first move off the button hide the preview.
  if (button && ::GetCapture() != button) ::SetCapture(button);
}

void MainWindow::HideTextPreview() {
  ShowControl(Control(Role::HoverPanel), false);
  ShowControl(Control(Role::HoverText), false);
  if (HWND box = ControlWindow(Control(Role::HoverText))) ::SetWindowTextW(box, L"");
  HWND captured = ::GetCapture();
  if (captured && ::GetParent(captured) == hwnd()) {
    const std::optional<ControlId> holder = ControlOf(captured);
    if (holder && holder->role == Role::Row) ::ReleaseCapture();
  }
}

// The row buttons report every pointer move, also while they hold the
// pointer. When the pointer leaves for a place whose moves reach no window
// of ours (possible where capture does not span the whole desktop), the
// leave notice is turned into the move to where the pointer now is, so the
// preview still goes.
LRESULT CALLBACK MainWindow::RowButtonProc(HWND button, UINT msg, WPARAM wparam, LPARAM lparam,
                                           UINT_PTR subclass, DWORD_PTR self) {
  if (msg == WM_NCDESTROY) ::RemoveWindowSubclass(button, &RowButtonProc, subclass);
  if (msg == WM_SETTEXT) return ::DefWindowProcW(button, msg, wparam, lparam);  // see SetRowCaption
  const LRESULT result = ::DefSubclassProc(button, msg, wparam, lparam);
  auto* window = reinterpret_cast<MainWindow*>(self);
  if (msg == WM_MOUSEMOVE) {
    TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, button, 0};
    ::TrackMouseEvent(&track);
    window->RowPointerMoved(button, POINT{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)});
  } else if (msg == WM_MOUSELEAVE) {
    POINT at{};
    RECT client{};
    ::GetCursorPos(&at);
    ::ScreenToClient(button, &at);
    ::GetClientRect(button, &client);
    if (!::PtInRect(&client, at)) window->RowPointerMoved(button, at);
  }
  return result;
}

void MainWindow::RowPointerMoved(HWND button, POINT at) {
  const std::optional<ControlId> row = ControlOf(button);
  assert(row && "a row button without a row's id");
  if (!row) return;
  RECT r{};
  ::GetWindowRect(button, &r);
  const int dots = dpi();
  events_.PointerMoved(*row, PointTwips{PixelsToTwips(at.x, dots), PixelsToTwips(at.y, dots)},
                       SizeTwips{PixelsToWholeTwips(r.right - r.left, dots),
                                 PixelsToWholeTwips(r.bottom - r.top, dots)});
}

// --- the keyboard ----------------------------------------------------------------

void MainWindow::Restore() {
  ::ShowWindow(hwnd(), SW_RESTORE);
  // From the tray by the keyboard too, where nothing else brings it up.
  ::SetForegroundWindow(hwnd());
}

bool MainWindow::ArrowKey(const MSG& msg) {
  if (msg.message != WM_KEYDOWN || !::IsChild(hwnd(), msg.hwnd)) return false;
  int across = 0, down = 0;
  switch (msg.wParam) {
    case VK_LEFT: across = -1; break;
    case VK_RIGHT: across = 1; break;
    case VK_UP: down = -1; break;
    case VK_DOWN: down = 1; break;
    default: return false;
  }
  // Elsewhere the arrows do nothing: the system's own arrow navigation would
  // wander through every control, the frame included.
  const std::optional<ControlId> from = ControlOf(msg.hwnd);
  const std::optional<ControlId> to = from ? Neighbour(*from, across, down) : std::nullopt;
  HWND target = to && Shown(*to) ? ControlWindow(*to) : nullptr;
  if (target && ::IsWindowEnabled(target)) {
    ::SendMessageW(hwnd(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    ::SetFocus(target);
  }
  return true;
}

// --- the window ----------------------------------------------------------------

SizeTwips MainWindow::OuterSize() const {
  RECT r{};
  ::GetWindowRect(hwnd(), &r);
  return {PixelsToWholeTwips(r.right - r.left, dpi()), PixelsToWholeTwips(r.bottom - r.top, dpi())};
}

void MainWindow::PlaceOnTop(std::int32_t left, std::int32_t top) {
  // Screen coordinates count in the primary screen's resolution.
  const int screen_dpi = SystemDpi();
  ::SetWindowPos(hwnd(), HWND_TOPMOST, TwipsToPixels(left, screen_dpi),
                 TwipsToPixels(top, screen_dpi), 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
}

void MainWindow::Clicked(ControlId id) { events_.Clicked(id); }

void MainWindow::Close() {
  if (closing_) return;
  closing_ = true;
  events_.MainWindowClosing();
  close_others_();
  Destroy();
}

LRESULT MainWindow::OnMessage(UINT msg, WPARAM wparam, LPARAM lparam) {
  if (chain_.Handle(msg, wparam, lparam) || tray_.Handle(msg, wparam, lparam) ||
      (owner_messages_ && owner_messages_(msg, wparam))) {
    return 0;
  }
  switch (msg) {
    case WM_CLOSE:  // the close box, Alt+F4, the system menu
      Close();
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      if (wparam) Close();
      return 0;
    case WM_DESTROY:
      // Whatever takes the main window down ends the program, and the
      // viewers before and after it stay linked.
      chain_.UnhookClipboard();
      if (tray_.shown()) tray_.Remove();
      ::PostQuitMessage(0);
      return 0;
    default:
      return FormWindow::OnMessage(msg, wparam, lparam);
  }
}

}  // namespace pw::win32
