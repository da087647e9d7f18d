// The program: the main window's start-up and every event the host delivers,
// bound to the routines of the subsystems.
#pragma once

#include "app/tray.h"
#include "capture/clip_store.h"
#include "capture/viewer_hook.h"
#include "platform/events.h"
#include "platform/host.h"
#include "screen/region_overlay.h"

namespace pw {

class Pastewright final : public FormEvents {
 public:
  explicit Pastewright(Host host);

  void Load(ControlId form) override;
  void QueryUnload(ControlId form) override;
  void Unload(ControlId form) override;
  void Click(ControlId control) override;
  void MouseMove(ControlId control, const MouseArgs& args) override;
  void MouseDown(ControlId control, const MouseArgs& args) override;
  void TrayNotify(std::uint32_t mouse_message) override;
  void TaskbarCreated() override;

  const ClipStore& store() const { return store_; }
  ClipStore& store() { return store_; }
  const ClipboardHook& hook() const { return hook_; }
  const TrayIcon& tray() const { return tray_; }
  const RegionCapture& region() const { return region_; }

 private:
  void MainForm_Load();

  Host host_;
  ClipStore store_;
  ClipboardHook hook_;
  TrayIcon tray_;
  RegionCapture region_;
};

}  // namespace pw
