// Keeps the main window in the clipboard viewer chain.
//
// The hook replaces the main window's procedure: it answers the two chain
// messages and hands every other message to the previous procedure.
#pragma once

#include <functional>

#include "platform/host.h"

namespace pw {

class ClipboardHook final : public WindowProcedure {
 public:
  ClipboardHook(WinApi& api, std::function<void()> on_change)
      : api_(api), on_change_(std::move(on_change)) {}

  // Installs the procedure first, then joins the chain, so that a notice sent
  // the moment the window joins is already handled.
  void HookClipboard(WindowHandle hwnd);
  // Puts the previous procedure back and leaves the chain.
  void UnhookClipboard(WindowHandle hwnd);
  bool hooked() const { return hooked_; }

  // ClipboardWndProc.
  std::intptr_t Call(WindowHandle hwnd, std::uint32_t msg, std::uintptr_t wparam,
                     std::intptr_t lparam) override;

  WndProcRef OldWndProc = 0;
  WindowHandle NextViewer = 0;

 private:
  void RunChangeHandler();

  WinApi& api_;
  std::function<void()> on_change_;
  bool hooked_ = false;
  bool handling_ = false;
  bool pending_ = false;
  // The clipboard's sequence number when the handler last ran.
  std::uint32_t examined_ = 0;
};

}  // namespace pw
