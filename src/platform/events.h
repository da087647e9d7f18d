// Events the host delivers to the logic, on the user-interface thread, one at
// a time (except where a modal message box or DoEvents lets others run).
#pragma once

#include <cstdint>

#include "platform/ids.h"

namespace pw {

struct MouseArgs {
  std::int16_t button = 0;  // 1 left, 2 right, 4 middle; 0 none
  std::int16_t shift = 0;
  float x = 0;  // twips, from the control's (or window's) top-left corner
  float y = 0;
};

class FormEvents {
 public:
  virtual ~FormEvents() = default;

  // A window is being loaded, before it is first shown.
  virtual void Load(ControlId form) = 0;
  // A window is about to close, whatever the reason; the close is never cancelled.
  virtual void QueryUnload(ControlId form) = 0;
  virtual void Unload(ControlId form) = 0;

  virtual void Click(ControlId control) = 0;
  virtual void MouseMove(ControlId control, const MouseArgs& args) = 0;
  virtual void MouseDown(ControlId control, const MouseArgs& args) = 0;

  // A mouse action on the tray icon (a wm:: mouse message number).
  virtual void TrayNotify(std::uint32_t mouse_message) = 0;
  // The shell was restarted and has forgotten every tray icon.
  virtual void TaskbarCreated() = 0;
};

}  // namespace pw
