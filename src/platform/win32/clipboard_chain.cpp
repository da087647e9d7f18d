#include "platform/win32/clipboard_chain.h"

#include <utility>

namespace pw::win32 {
namespace {
// Long enough for any viewer that is merely busy; a hung one is given up on
// at once, and a window that is gone answers at once.
constexpr UINT kPassOnTimeoutMs = 2000;
}  // namespace

void ClipboardChain::HookClipboard(HWND hwnd) {
  if (hooked()) return;
  hwnd_ = hwnd;
  NextViewer = ::SetClipboardViewer(hwnd);
}

void ClipboardChain::UnhookClipboard() {
  if (!hooked()) return;
  ::ChangeClipboardChain(std::exchange(hwnd_, nullptr), NextViewer);
  NextViewer = nullptr;
}

bool ClipboardChain::Handle(UINT msg, WPARAM wparam, LPARAM lparam) {
  if (msg == WM_DRAWCLIPBOARD) {
    OnDrawClipboard(wparam, lparam);
  } else if (msg == WM_CHANGECBCHAIN) {
    OnChangeCbChain(reinterpret_cast<HWND>(wparam), reinterpret_cast<HWND>(lparam));
  } else {
    return false;
  }
  return true;
}

void ClipboardChain::OnDrawClipboard(WPARAM wparam, LPARAM lparam) {
  // A notice still on its way when we left belongs to nobody now.
  if (!hooked()) return;
  PassOn(WM_DRAWCLIPBOARD, wparam, lparam);
  RunChangeHandler();
}

void ClipboardChain::OnChangeCbChain(HWND leaving, HWND next) {
  if (!hooked()) return;
  if (leaving == NextViewer) {
    NextViewer = next;
  } else {
    PassOn(WM_CHANGECBCHAIN, reinterpret_cast<WPARAM>(leaving), reinterpret_cast<LPARAM>(next));
  }
}

void ClipboardChain::PassOn(UINT msg, WPARAM wparam, LPARAM lparam) const {
  if (!NextViewer) return;
  DWORD_PTR ignored = 0;
  ::SendMessageTimeoutW(NextViewer, msg, wparam, lparam, SMTO_ABORTIFHUNG | SMTO_NORMAL,
                        kPassOnTimeoutMs, &ignored);
}

// Reading the clipboard can wait on its owner, and while a thread waits the
// system may hand it another notice. That notice must not start a second
// handler on top of the first; it is taken when the first is done.
//
// A notice can also arrive after later changes have happened: a viewer ahead
// of us passes on the notices of our own clear-then-write (a row or
// thumbnail click) only once both are done, and both would then read the
// written item and store it twice. Each state of the clipboard is examined
// once: a notice that finds the state already examined is dropped.
void ClipboardChain::RunChangeHandler() {
  if (handling_) {
    pending_ = true;
    return;
  }
  handling_ = true;
  do {
    pending_ = false;
    const DWORD state = ::GetClipboardSequenceNumber();
    if (state == 0 || state != examined_) {
      examined_ = state;
      on_change_();
    }
  } while (pending_ && hooked());
  handling_ = false;
}

}  // namespace pw::win32
