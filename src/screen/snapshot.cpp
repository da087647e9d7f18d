#include "screen/snapshot.h"

#include "app/tray.h"

namespace pw {

void SnapshotClick(Host& host, ClipStore& store) {
  HideClick(host);
  // Lets the window actually leave the screen before the copy.
  host.LetPendingEventsRun();
  StorePicture(store, host.CaptureScreen());
  host.RestoreMainWindow();
}

}  // namespace pw
