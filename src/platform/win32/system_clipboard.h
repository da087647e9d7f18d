// The system clipboard: reading what other programs offer, guarded against
// holders and hostile contents, and writing our texts and pictures.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "platform/win32/handles.h"

namespace pw::win32 {

// How long to wait for a clipboard that another program holds open: about
// ten tries within a tenth of a second, short enough not to stall the user
// interface, long enough to ride out another program's brief read.
struct ClipboardRetry {
  int tries = 10;
  DWORD pause_ms = 10;
  DWORD budget_ms = 100;
  // Runs after each failed try that another will follow; tests act at a
  // known try through it instead of racing the pauses.
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

class SystemClipboard {
 public:
  // The window that opens the clipboard: without one the system refuses to
  // take data, and an open for no window does not keep out another
  // program's open for no window, whose close would end our read midway.
  explicit SystemClipboard(HWND owner, ClipboardRetry retry = {})
      : owner_(owner), retry_(std::move(retry)) {}

  // CF_UNICODETEXT up to its first NUL (or its block's end), with the
  // "HTML Format" and "Rich Text Format" offered beside it.
  TextRead ReadText();
  // The owner's own DIB (CF_DIB or CF_DIBV5, whichever it offered first),
  // else a bitmap handle, else a registered "PNG". Reading back our own
  // picture before anyone else changed the clipboard gives the same object.
  // Both reads know our own picture without opening the clipboard, which
  // another program may hold open for long: Wine's clipboard manager does
  // while it hands a large picture to an X11 program.
  PictureRead ReadPicture();
  bool Clear();
  bool PutText(std::u16string_view text, const RichText& rich);
  // As CF_DIB (32 bits per pixel, alpha in the fourth byte) and as "PNG",
  // the PNG made when first asked for. The owner window hands its messages
  // as the clipboard's owner to HandleOwnerMessage.
  bool PutPicture(const Picture& picture);

  // WM_RENDERFORMAT, WM_RENDERALLFORMATS and WM_DESTROYCLIPBOARD; false for
  // any other message. Once the clipboard holds another content the picture
  // is let go.
  bool HandleOwnerMessage(UINT msg, WPARAM wparam);

 private:
  // The clipboard still holds the picture we last put there, untouched.
  bool HoldsOurPicture() const;
  // The PNG of our picture, onto the clipboard open for it.
  void Render();

  HWND owner_;
  ClipboardRetry retry_;
  // The last picture put on the clipboard, the clipboard's sequence number
  // once it was closed after that, and whether it is being closed now.
  Picture written_;
  DWORD written_sequence_ = 0;
  bool closing_ = false;
  bool png_pending_ = false;  // offered, not yet made
};

}  // namespace pw::win32
