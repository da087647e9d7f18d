// The system clipboard for the logic.
#pragma once

#include "platform/host.h"
#include "platform/win32/handles.h"

namespace pw::win32 {

class Win32Clipboard final : public Clipboard {
 public:
  // `owner` is the window that opens the clipboard for writes (the main window).
  void set_owner(HWND owner) { owner_ = owner; }

  TextRead ReadText() override;
  PictureRead ReadPicture() override;
  bool Clear() override;
  bool SetText(std::u16string_view text) override;
  bool SetPicture(const Picture& picture) override;

 private:
  HWND owner_ = nullptr;
};

}  // namespace pw::win32
