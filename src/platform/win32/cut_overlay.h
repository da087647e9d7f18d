// "Cut Scr": the frozen screen over the whole screen under a cross-hair,
// with the outline of the rectangle being marked. Pointer moves and presses
// go to the program in screen twips; so does its going away, however it goes.
#pragma once

#include <optional>

#include "platform/win32/surface.h"
#include "platform/win32/window.h"

namespace pw::win32 {

class CutOverlay final : public Window {
 public:
  explicit CutOverlay(Events& events) : events_(events) {}

  bool open() const { return hwnd() != nullptr; }
  void Open(const Picture& frozen);
  // Corners in screen twips, in any order, both inside the outline.
  void ShowOutline(PointTwips corner, PointTwips opposite);
  void HideOutline();
  void Close();

 protected:
  LRESULT OnMessage(UINT msg, WPARAM wparam, LPARAM lparam) override;

 private:
  PointTwips Twips(LPARAM at) const;
  void OnPaint();
  void InvalidateOutline();

  Events& events_;
  int dpi_ = USER_DEFAULT_SCREEN_DPI;
  Surface frozen_;
  std::optional<RECT> outline_;  // right and bottom exclusive
};

}  // namespace pw::win32
