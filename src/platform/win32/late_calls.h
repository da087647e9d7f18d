// The system calls looked up at run time: the per-monitor DPI calls appeared
// in Windows 10, so the program still starts without them, and the shell's
// library is loaded only when the tray is first used (most runs never reach
// it, and it costs memory for the whole run). Null where missing.
#pragma once

#include "platform/win32/system_headers.h"

#include <shellapi.h>

namespace pw::win32 {

struct LateCalls {
  // user32, always loaded: looked up once.
  UINT(WINAPI* GetDpiForWindow)(HWND) = nullptr;
  UINT(WINAPI* GetDpiForSystem)() = nullptr;
  BOOL(WINAPI* AdjustWindowRectExForDpi)(RECT*, DWORD, BOOL, DWORD, UINT) = nullptr;
  BOOL(WINAPI* SystemParametersInfoForDpi)(UINT, UINT, void*, UINT, UINT) = nullptr;
  // shell32, loaded by Shell().
  BOOL(WINAPI* Shell_NotifyIconW)(DWORD, PNOTIFYICONDATAW) = nullptr;
};

// The user32 calls.
const LateCalls& User32();
// The user32 calls and the shell's, loading shell32 the first time.
const LateCalls& Shell();

}  // namespace pw::win32
