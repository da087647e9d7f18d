// "Web Photo": the whole primary screen, without our window, as the newest picture.
#pragma once

#include "capture/clip_store.h"

namespace pw {

void SnapshotClick(Host& host, ClipStore& store);

}  // namespace pw
