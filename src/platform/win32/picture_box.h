// A clickable box that shows one of our small icons or a Picture: the icon
// boxes, thumbnails, the preview's image, the logo and the hover panel.
//
// A click (the left button pressed and released over the box, or BM_CLICK)
// is sent to the parent as WM_COMMAND with the box's control id, as a
// button would.
#pragma once

#include "platform/picture.h"
#include "platform/win32/layout.h"
#include "platform/win32/window.h"

namespace pw::win32 {

class PictureBox final : public Window {
 public:
  bool Create(HWND parent, int control_id, const PixelRect& r, bool visible);

  void SetIcon(HICON icon);  // not owned
  void SetPicture(Picture picture);
  const Picture& picture() const { return picture_; }
  // On: the picture fills the box; off: its own pixels from the top-left.
  void SetStretch(bool stretch);
  void SetBackground(COLORREF colour);

 protected:
  LRESULT OnMessage(UINT msg, WPARAM wparam, LPARAM lparam) override;

 private:
  void OnPaint();
  void Draw(HDC dc, const RECT& client) const;
  void OnButtonUp(LPARAM lparam);
  void NotifyClick();
  LRESULT OnChildColour(HDC dc);

  HICON icon_ = nullptr;
  int icon_size_ = 16;  // pixels, read from the icon itself
  Picture picture_;
  bool stretch_ = true;
  bool pressed_ = false;
  COLORREF background_ = ::GetSysColor(COLOR_BTNFACE);
  UniqueBrush child_brush_;  // white, behind the panel's text box
};

}  // namespace pw::win32
