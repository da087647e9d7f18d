// The display resolution of a window and of the primary screen, and the few
// calls whose per-monitor forms do not exist before Windows 10; those are
// looked up at run time so the program still starts on older systems.
#pragma once

#include "platform/win32/handles.h"

namespace pw::win32 {

// Dots per inch of the primary screen (the system DPI).
int SystemDpi();
// Dots per inch the window is drawn at.
int WindowDpi(HWND hwnd);
// The outer size of a window whose client area is `width` x `height` pixels.
SIZE OuterSizeForClient(int width, int height, DWORD style, DWORD ex_style, int dpi);
// The system's message font at this resolution.
UniqueFont MessageFont(int dpi);

}  // namespace pw::win32
