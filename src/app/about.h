// The About window's texts.
#pragma once

#include "platform/host.h"

namespace pw {

void AboutLoad(Forms& forms);

}  // namespace pw
