// The main window's place in the clipboard viewer chain.
//
// The window's own procedure hands the chain's two messages to Handle. A
// notice is passed on down the chain before the change handler runs, with a
// time limit, so that a hung or dead viewer further down cannot hang us.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/win32/system_headers.h"

namespace pw::win32 {

class ClipboardChain {
 public:
  explicit ClipboardChain(std::function<void()> on_change) : on_change_(std::move(on_change)) {}

  // Joins the chain at its head. The system notifies a joining window at
  // once, so the handler has run for the clipboard as it is on return.
  void HookClipboard(HWND hwnd);
  // Leaves the chain, linking the viewers before and after us; no notice
  // runs the handler after it.
  void UnhookClipboard();
  bool hooked() const { return hwnd_ != nullptr; }

  // WM_DRAWCLIPBOARD and WM_CHANGECBCHAIN; false for any other message.
  bool Handle(UINT msg, WPARAM wparam, LPARAM lparam);

  // The viewer after us, which our notices go on to.
  HWND NextViewer = nullptr;

 private:
  void OnDrawClipboard(WPARAM wparam, LPARAM lparam);
  void OnChangeCbChain(HWND leaving, HWND next);
  void PassOn(UINT msg, WPARAM wparam, LPARAM lparam) const;
  void RunChangeHandler();

  std::function<void()> on_change_;
  HWND hwnd_ = nullptr;
  bool handling_ = false;
  bool pending_ = false;
  // The clipboard's sequence number when the handler last looked at it.
  DWORD examined_ = 0;
};

}  // namespace pw::win32
