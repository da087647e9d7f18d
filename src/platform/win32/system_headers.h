// The system's headers, for every file of the host.
//
// The seam comes first: Host has a member called MessageBox, and <windows.h>
// defines MessageBox as a macro for its A/W functions. Declared before the
// macro exists, the member keeps its name in every file of the host alike.
// Host code includes <windows.h> only through this header.
#pragma once

#include "platform/host.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
