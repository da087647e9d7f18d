#include "capture/viewer_hook.h"

namespace pw {

void ClipboardHook::HookClipboard(WindowHandle hwnd) {
  hooked_ = true;
  OldWndProc = api_.SetWindowProc(hwnd, *this);
  NextViewer = api_.SetClipboardViewer(hwnd);
}

void ClipboardHook::UnhookClipboard(WindowHandle hwnd) {
  if (!hooked_) return;
  api_.RestoreWindowProc(hwnd, OldWndProc);
  api_.ChangeClipboardChain(hwnd, NextViewer);
  hooked_ = false;
}

std::intptr_t ClipboardHook::Call(WindowHandle hwnd, std::uint32_t msg, std::uintptr_t wparam,
                                  std::intptr_t lparam) {
  switch (msg) {
    case wm::kDrawClipboard:
      if (NextViewer != 0) api_.SendMessage(NextViewer, wm::kDrawClipboard, 0, 0);
      RunChangeHandler();
      return 0;
    case wm::kChangeCbChain:
      if (static_cast<WindowHandle>(wparam) == NextViewer) {
        NextViewer = static_cast<WindowHandle>(lparam);
      } else if (NextViewer != 0) {
        api_.SendMessage(NextViewer, msg, wparam, lparam);
      }
      return 0;
    default:
      return api_.CallWindowProc(OldWndProc, hwnd, msg, wparam, lparam);
  }
}

// Reading the clipboard can wait on its owner, and while a thread waits the
// system may hand it another notice. That notice must not start a second
// change handler on top of the first; it is taken when the first is done.
//
// A notice can also arrive after later changes have happened: a viewer ahead
// of us in the chain passes on the notices of our own clear-then-write (a row
// or thumbnail click) only once both are done, and both would then read the
// written item and store it twice. Each state of the clipboard is examined
// once: a notice that finds the state already examined is dropped.
void ClipboardHook::RunChangeHandler() {
  if (handling_) {
    pending_ = true;
    return;
  }
  handling_ = true;
  do {
    pending_ = false;
    const std::uint32_t state = api_.ClipboardSequenceNumber();
    if (state == 0 || state != examined_) {
      examined_ = state;
      on_change_();
    }
  } while (pending_);
  handling_ = false;
}

}  // namespace pw
