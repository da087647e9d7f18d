// The system clipboard for the logic.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "platform/host.h"
#include "platform/win32/handles.h"

namespace pw::win32 {

// How long to wait for a clipboard that another program holds open: about
// ten tries within a tenth of a second, short enough not to stall the user
// interface, long enough to ride out another program's brief read.
struct ClipboardRetry {
  int tries = 10;
  DWORD pause_ms = 10;
  DWORD budget_ms = 100;
  // Runs after each failed try that will be followed by another; tests use it
  // to act at a known point instead of racing the pauses.
  std::function<void(int failed_tries)> on_busy = {};
};

// The clipboard, open for the scope. Callers test opened(); the destructor
// closes it, and that is when a program's own write notifies the viewers.
class OpenClipboardScope {
 public:
  explicit OpenClipboardScope(HWND owner, const ClipboardRetry& retry = {});
  ~OpenClipboardScope();
  OpenClipboardScope(const OpenClipboardScope&) = delete;
  OpenClipboardScope& operator=(const OpenClipboardScope&) = delete;
  bool opened() const { return opened_; }

 private:
  bool opened_ = false;
};

// The text in a CF_UNICODETEXT block: up to its first NUL, or the whole
// block when the owner left the NUL out (a trailing odd byte is ignored).
std::u16string TextFromBlock(std::span<const std::uint8_t> block);

class Win32Clipboard final : public Clipboard {
 public:
  // `owner` is the window that opens the clipboard for writes (the main
  // window). Without one the system refuses to take data.
  void set_owner(HWND owner) { owner_ = owner; }
  void set_retry(ClipboardRetry retry) { retry_ = std::move(retry); }

  TextRead ReadText() override;
  PictureRead ReadPicture() override;
  bool Clear() override;
  bool SetText(std::u16string_view text) override;
  // Offers the picture as CF_DIB (32 bits per pixel, alpha kept in the fourth
  // byte) and as "PNG". Reading the clipboard back before anyone else has
  // changed it gives this same Picture object.
  bool SetPicture(const Picture& picture) override;

 private:
  HWND owner_ = nullptr;
  ClipboardRetry retry_;
  // The last picture this object put on the clipboard, the clipboard's
  // sequence number once it was closed after that, and whether it is being
  // closed right now.
  Picture written_;
  DWORD written_sequence_ = 0;
  bool closing_ = false;
};

}  // namespace pw::win32
