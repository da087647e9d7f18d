// A box that shows one of our small icons or a Picture: the icon buttons and
// thumbnails, the preview's image, the logo and the hover panel.
//
// Those the user presses are owner-drawn push buttons of the system's own
// class, so they take the focus, answer Space and Enter and read to a screen
// reader as buttons named by their window text; a click reaches the parent
// as a button's WM_COMMAND. The parent hands its WM_DRAWITEM to DrawItem.
#pragma once

#include <string_view>

#include "platform/picture.h"
#include "platform/win32/layout.h"
#include "platform/win32/window.h"

namespace pw::win32 {

class PictureBox final : public Window {
 public:
  // A box that only shows.
  bool Create(HWND parent, int control_id, const PixelRect& r, bool visible);
  // A push button named `name` for screen readers; the name is not drawn.
  bool CreateButton(HWND parent, int control_id, const PixelRect& r, bool visible,
                    std::u16string_view name);

  void SetIcon(HICON icon);  // not owned
  void SetPicture(Picture picture);
  const Picture& picture() const { return picture_; }
  // On: the picture fills the box; off: its own pixels from the top-left.
  void SetStretch(bool stretch);
  void SetBackground(COLORREF colour);
  // A button's drawing: what a box shows, and the focus rectangle while it
  // has the focus and keyboard cues show.
  void DrawItem(const DRAWITEMSTRUCT& item) const;

 protected:
  LRESULT OnMessage(UINT msg, WPARAM wparam, LPARAM lparam) override;

 private:
  void OnPaint();
  void Draw(HDC dc, const RECT& client) const;
  LRESULT OnChildColour(HDC dc);

  HICON icon_ = nullptr;
  int icon_size_ = 16;  // pixels, read from the icon itself
  Picture picture_;
  bool stretch_ = true;
  bool button_ = false;
  COLORREF background_ = ::GetSysColor(COLOR_BTNFACE);
  UniqueBrush child_brush_;  // white, behind the panel's text box
};

}  // namespace pw::win32
