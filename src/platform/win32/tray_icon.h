// The program's icon in the notification area, while the main window is
// hidden there.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "platform/win32/system_headers.h"

namespace pw::win32 {

class TrayIcon {
 public:
  // `on_activated` runs when the user chooses the icon.
  explicit TrayIcon(std::function<void()> on_activated);

  // The window the icon reports to, and the icon it shows.
  void Attach(HWND window, HICON icon);
  // Adds the icon; the shell refuses a second add of the same icon, so there
  // is still one.
  void Show(std::u16string_view tip);
  void Remove();
  bool shown() const { return shown_; }

  // The icon's callback message and the shell's restart; false for any
  // other message.
  bool Handle(UINT msg, WPARAM wparam, LPARAM lparam);

 private:
  void Add() const;
  void Notify(DWORD verb) const;

  std::function<void()> on_activated_;
  HWND window_ = nullptr;
  HICON icon_ = nullptr;
  // Sent to every top-level window when the shell (re)starts: it has
  // forgotten every icon then.
  UINT taskbar_created_;
  std::wstring tip_;
  bool shown_ = false;
};

}  // namespace pw::win32
