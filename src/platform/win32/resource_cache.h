// The program's icons and pictures from its resources, each loaded once.
#pragma once

#include <map>
#include <utility>

#include "platform/picture.h"
#include "platform/win32/handles.h"
#include "platform/win32/layout.h"

namespace pw::win32 {

class ResourceCache {
 public:
  ResourceCache();

  // The program's icon at the system's large or small icon size.
  HICON AppIcon(bool big) const { return big ? app_big_.get() : app_small_.get(); }
  // One of the control icons, `size` pixels square.
  HICON Icon(IconArt art, int size);
  // An icon that draws nothing: an image button's image that shows no text.
  HICON BlankIcon();
  // A bitmap resource (IDB_...) as a picture.
  Picture Bitmap(int id);

 private:
  UniqueIcon app_big_;
  UniqueIcon app_small_;
  std::map<std::pair<IconArt, int>, UniqueIcon> icons_;
  UniqueIcon blank_;
  std::map<int, Picture> bitmaps_;
};

}  // namespace pw::win32
