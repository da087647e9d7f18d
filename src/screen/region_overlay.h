// "Cut Scr": the screen is frozen into an overlay; the user clicks one corner,
// moves (an outline follows) and clicks the other; that rectangle of the
// frozen image becomes the newest picture.
#pragma once

#include "platform/events.h"
#include "platform/host.h"

namespace pw {

// The pixels of `picture` in the rectangle with corners (x1, y1) and (x2, y2),
// both corners included, in any order, clipped to the picture.
Picture CropPicture(const Picture& picture, std::int32_t x1, std::int32_t y1, std::int32_t x2,
                    std::int32_t y2);

class RegionCapture {
 public:
  explicit RegionCapture(Host host) : host_(host) {}

  void cmd_jp_Click();
  void Form_MouseDown(const MouseArgs& args);
  void Form_MouseMove(const MouseArgs& args);
  // The overlay went away (a cut, or the window was closed some other way):
  // the screen context is given back and the next cut starts afresh.
  void Form_Unload();

  float RegionStartX = 0, RegionStartY = 0;
  float RegionAnchorX = 0, RegionAnchorY = 0;
  bool RegionArmed = false;
  bool RegionDragged = false;
  DeviceContext ScreenDC = 0;

 private:
  void Confirm(float x, float y);

  Host host_;
  Picture frozen_;
};

}  // namespace pw
