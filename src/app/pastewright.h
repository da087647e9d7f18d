// The program: start-up, and every event the host delivers bound to the
// routines of the subsystems. After each event the main window shows the
// store as it then is.
#pragma once

#include "capture/clip_store.h"
#include "platform/host.h"
#include "screen/region_overlay.h"

namespace pw {

class Pastewright final : public Events {
 public:
  explicit Pastewright(Host& host) : host_(host) {}

  // The empty store on the window, the window in the bottom-right corner on
  // top of the others, and last the clipboard chain joined. The host shows
  // the window after it.
  void Start();

  void ClipboardChanged() override;
  void Clicked(ControlId control) override;
  void PointerMoved(ControlId control, PointTwips at, SizeTwips size) override;
  void PointerPressed(ControlId control, PointTwips at) override;
  void TrayActivated() override;
  void OverlayClosed() override;
  void MainWindowClosing() override;

  const ClipStore& store() const { return store_; }
  const RegionCapture& region() const { return region_; }

 private:
  // Shows the store once the event that may have changed it is done.
  void ShowStore();

  Host& host_;
  ClipStore store_;
  RegionCapture region_;
};

}  // namespace pw
