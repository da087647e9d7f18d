#include "platform/win32/tray_icon.h"

#include <algorithm>
#include <iterator>

#include "platform/win32/late_calls.h"
#include "platform/win32/window_names.h"

namespace pw::win32 {
namespace {
constexpr UINT kIconId = 1;  // our one icon
}  // namespace

TrayIcon::TrayIcon(std::function<void()> on_activated)
    : on_activated_(std::move(on_activated)),
      taskbar_created_(::RegisterWindowMessageW(L"TaskbarCreated")) {}

void TrayIcon::Attach(HWND window, HICON icon) {
  window_ = window;
  icon_ = icon;
}

void TrayIcon::Show(std::u16string_view tip) {
  tip_.assign(tip.begin(), tip.end());
  Notify(NIM_ADD);
  shown_ = true;
}

void TrayIcon::Remove() {
  Notify(NIM_DELETE);
  shown_ = false;
}

bool TrayIcon::Handle(UINT msg, WPARAM, LPARAM lparam) {
  if (msg == kTrayMessage) {
    // Only a left click chooses it; presses, moves and other buttons do not.
    if (LOWORD(lparam) == WM_LBUTTONUP) on_activated_();
    return true;
  }
  if (taskbar_created_ != 0 && msg == taskbar_created_) {
    if (shown_) Notify(NIM_ADD);
    return true;
  }
  return false;
}

void TrayIcon::Notify(DWORD verb) const {
  NOTIFYICONDATAW record{};
  record.cbSize = sizeof(record);
  record.hWnd = window_;
  record.uID = kIconId;
  record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  record.uCallbackMessage = kTrayMessage;
  record.hIcon = icon_;
  const std::size_t length = std::min(tip_.size(), std::size(record.szTip) - 1);
  std::copy_n(tip_.begin(), length, record.szTip);
  if (auto notify = Shell().Shell_NotifyIconW) notify(verb, &record);
}

}  // namespace pw::win32
