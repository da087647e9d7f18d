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
  Add();
  shown_ = true;
}

void TrayIcon::Remove() {
  Notify(NIM_DELETE);
  shown_ = false;
}

bool TrayIcon::Handle(UINT msg, WPARAM, LPARAM lparam) {
  if (msg == kTrayMessage) {
    // A left click chooses it, and so does the shell's selection by the
    // mouse or the keyboard (Enter or Space on the focused icon); presses,
    // moves and other buttons do not.
    const UINT what = LOWORD(lparam);
    if (what == WM_LBUTTONUP || what == NIN_SELECT || what == NIN_KEYSELECT) on_activated_();
    return true;
  }
  if (taskbar_created_ != 0 && msg == taskbar_created_) {
    if (shown_) Add();
    return true;
  }
  return false;
}

void TrayIcon::Add() const {
  Notify(NIM_ADD);
  // The shell tells the keyboard's choice of the icon only to icons of this
  // version or later.
  Notify(NIM_SETVERSION);
}

void TrayIcon::Notify(DWORD verb) const {
  NOTIFYICONDATAW record{};
  record.cbSize = sizeof(record);
  record.hWnd = window_;
  record.uID = kIconId;
  record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  record.uCallbackMessage = kTrayMessage;
  record.uVersion = NOTIFYICON_VERSION;
  record.hIcon = icon_;
  const std::size_t length = std::min(tip_.size(), std::size(record.szTip) - 1);
  std::copy_n(tip_.begin(), length, record.szTip);
  if (auto notify = Shell().Shell_NotifyIconW) notify(verb, &record);
}

}  // namespace pw::win32
