// The system calls the logic makes directly: subclassing, the clipboard
// viewer chain, window placement, mouse capture, the screen and the tray.
#include <algorithm>

#include "platform/win32/dpi.h"
#include "platform/win32/host.h"
#include "platform/win32/surface.h"

#include <shellapi.h>

namespace pw::win32 {
namespace {

HWND AsHwnd(WindowHandle h) { return reinterpret_cast<HWND>(h); }

// The portable procedure and the one it replaced, kept with the window.
constexpr const wchar_t* kProcedureProp = L"Pastewright.Procedure";
constexpr const wchar_t* kPreviousProp = L"Pastewright.PreviousProcedure";

LRESULT CALLBACK Trampoline(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  auto* proc = static_cast<WindowProcedure*>(::GetPropW(hwnd, kProcedureProp));
  auto previous = reinterpret_cast<WNDPROC>(::GetPropW(hwnd, kPreviousProp));
  LRESULT result = 0;
  if (proc) {
    result = proc->Call(reinterpret_cast<WindowHandle>(hwnd), msg, wparam, lparam);
  } else if (previous) {
    result = ::CallWindowProcW(previous, hwnd, msg, wparam, lparam);
  } else {
    result = ::DefWindowProcW(hwnd, msg, wparam, lparam);
  }
  if (msg == WM_NCDESTROY) {
    ::RemovePropW(hwnd, kProcedureProp);
    ::RemovePropW(hwnd, kPreviousProp);
  }
  return result;
}

// A hung viewer further down the chain must not hang us; a window that is
// gone answers at once.
constexpr UINT kSendTimeoutMs = 2000;

}  // namespace

WndProcRef Win32Host::SetWindowProc(WindowHandle hwnd, WindowProcedure& proc) {
  HWND window = AsHwnd(hwnd);
  ::SetPropW(window, kProcedureProp, &proc);
  const LONG_PTR previous =
      ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Trampoline));
  ::SetPropW(window, kPreviousProp, reinterpret_cast<HANDLE>(previous));
  return static_cast<WndProcRef>(previous);
}

WndProcRef Win32Host::RestoreWindowProc(WindowHandle hwnd, WndProcRef old_proc) {
  HWND window = AsHwnd(hwnd);
  const LONG_PTR previous =
      ::SetWindowLongPtrW(window, GWLP_WNDPROC, static_cast<LONG_PTR>(old_proc));
  ::RemovePropW(window, kProcedureProp);
  ::RemovePropW(window, kPreviousProp);
  return static_cast<WndProcRef>(previous);
}

std::intptr_t Win32Host::CallWindowProc(WndProcRef proc, WindowHandle hwnd, std::uint32_t msg,
                                        std::uintptr_t wparam, std::intptr_t lparam) {
  auto procedure = reinterpret_cast<WNDPROC>(proc);
  if (!procedure) return ::DefWindowProcW(AsHwnd(hwnd), msg, wparam, lparam);
  return ::CallWindowProcW(procedure, AsHwnd(hwnd), msg, wparam, lparam);
}

WindowHandle Win32Host::SetClipboardViewer(WindowHandle hwnd) {
  return reinterpret_cast<WindowHandle>(::SetClipboardViewer(AsHwnd(hwnd)));
}

bool Win32Host::ChangeClipboardChain(WindowHandle hwnd, WindowHandle next) {
  return ::ChangeClipboardChain(AsHwnd(hwnd), AsHwnd(next)) != FALSE;
}

std::intptr_t Win32Host::SendMessage(WindowHandle to, std::uint32_t msg, std::uintptr_t wparam,
                                     std::intptr_t lparam) {
  DWORD_PTR result = 0;
  ::SendMessageTimeoutW(AsHwnd(to), msg, wparam, lparam, SMTO_ABORTIFHUNG | SMTO_NORMAL,
                        kSendTimeoutMs, &result);
  return static_cast<std::intptr_t>(result);
}

std::uint32_t Win32Host::ClipboardSequenceNumber() const {
  return ::GetClipboardSequenceNumber();
}

void Win32Host::SetTopMost(WindowHandle hwnd) {
  ::SetWindowPos(AsHwnd(hwnd), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

void Win32Host::ShowRestore(WindowHandle hwnd) { ::ShowWindow(AsHwnd(hwnd), SW_RESTORE); }

void Win32Host::SetCapture(WindowHandle hwnd) { ::SetCapture(AsHwnd(hwnd)); }

void Win32Host::ReleaseCapture() { ::ReleaseCapture(); }

DeviceContext Win32Host::GetScreenDC() {
  HDC dc = ::GetDC(nullptr);
  if (dc) screen_dcs_.insert(dc);
  return reinterpret_cast<DeviceContext>(dc);
}

void Win32Host::ReleaseScreenDC(DeviceContext dc) {
  HDC handle = reinterpret_cast<HDC>(dc);
  if (screen_dcs_.erase(handle)) ::ReleaseDC(nullptr, handle);
}

void Win32Host::ReleaseAllScreenDCs() {
  for (HDC dc : screen_dcs_) ::ReleaseDC(nullptr, dc);
  screen_dcs_.clear();
}

Picture Win32Host::CopyScreen(DeviceContext dc, std::int32_t x, std::int32_t y,
                              std::int32_t width, std::int32_t height) {
  HDC source = reinterpret_cast<HDC>(dc);
  Surface surface;
  if (!source || !surface.Create(width, height)) return Picture();
  ::BitBlt(surface.dc(), 0, 0, width, height, source, x, y, SRCCOPY | CAPTUREBLT);
  return surface.ToPicture(SystemDpi());
}

bool Win32Host::ShellNotifyIcon(NotifyIconMessage message, const TrayIconData& data) {
  NOTIFYICONDATAW record{};
  record.cbSize = sizeof(record);
  record.hWnd = AsHwnd(data.hwnd);
  record.uID = data.id;
  record.uFlags = data.flags;
  // Our own callback message, whatever the logic asked for: mouse moves over
  // the window must not be mistaken for tray clicks.
  record.uCallbackMessage = kTrayMessage;
  record.hIcon = reinterpret_cast<HICON>(data.icon);
  const std::size_t room = std::size(record.szTip) - 1;
  const std::size_t length = std::min(data.tip.size(), room);
  std::copy_n(data.tip.begin(), length, record.szTip);
  record.szTip[length] = L'\0';
  const DWORD verb = message == NotifyIconMessage::Add ? NIM_ADD : NIM_DELETE;
  // The shell's libraries cost memory the whole run, and most runs never
  // reach the tray: load them the first time the icon is asked for.
  using NotifyIconFn = BOOL(WINAPI*)(DWORD, PNOTIFYICONDATAW);
  static const NotifyIconFn notify_icon = [] {
    HMODULE shell = ::LoadLibraryW(L"shell32.dll");
    return shell ? reinterpret_cast<NotifyIconFn>(
                       reinterpret_cast<void*>(::GetProcAddress(shell, "Shell_NotifyIconW")))
                 : nullptr;
  }();
  return notify_icon && notify_icon(verb, &record) != FALSE;
}

std::uintptr_t Win32Host::WindowIcon(WindowHandle) const {
  return reinterpret_cast<std::uintptr_t>(AppIcon(false));
}

}  // namespace pw::win32
