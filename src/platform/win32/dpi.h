// The display resolution of a window and of the primary screen, and the
// system's measures at a resolution.
#pragma once

#include "platform/win32/handles.h"

namespace pw::win32 {

// Dots per inch of the primary screen (the system DPI): the one that
// screen coordinates are counted in.
int SystemDpi();
// Dots per inch the window is drawn at.
int WindowDpi(HWND hwnd);
// The outer size of a window whose client area is `width` x `height` pixels.
SIZE OuterSizeForClient(int width, int height, DWORD style, DWORD ex_style, int dpi);
// The system's message font at this resolution.
UniqueFont MessageFont(int dpi);

}  // namespace pw::win32
