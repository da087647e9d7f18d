// "Cut Scr": the screen is frozen into an overlay; the user clicks one corner,
// moves (an outline follows) and clicks the other; that rectangle of the
// frozen image becomes the newest picture.
#pragma once

#include "capture/clip_store.h"

namespace pw {

// The pixels of `picture` in the rectangle with corners (x1, y1) and (x2, y2),
// both corners included, in any order, clipped to the picture.
Picture CropPicture(const Picture& picture, std::int32_t x1, std::int32_t y1, std::int32_t x2,
                    std::int32_t y2);

class RegionCapture {
 public:
  void CutScreenClick(Host& host);
  void PointerPressed(Host& host, ClipStore& store, PointTwips at);
  void PointerMoved(Host& host, PointTwips at);
  // The overlay went away: the next cut starts afresh.
  void OverlayClosed();

  bool armed() const { return RegionArmed; }
  bool dragged() const { return RegionDragged; }

 private:
  PointTwips RegionStart;   // the last press
  PointTwips RegionAnchor;  // the first corner, once the pointer has moved
  bool RegionArmed = false;
  bool RegionDragged = false;
  Picture frozen_;
};

}  // namespace pw
