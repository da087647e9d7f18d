// Names by which the program's windows are found from outside (the
// end-to-end driver, screen readers' scripts, the benchmarks).
#pragma once

namespace pw::win32 {

inline constexpr const wchar_t* kMainClass = L"PastewrightMain";
inline constexpr const wchar_t* kPreviewClass = L"PastewrightPreview";
inline constexpr const wchar_t* kAboutClass = L"PastewrightAbout";
inline constexpr const wchar_t* kOverlayClass = L"PastewrightOverlay";
inline constexpr const wchar_t* kOwnerClass = L"PastewrightOwner";

// The tray icon's callback message to the main window (WM_APP + 1); the low
// word of lParam is the mouse or keyboard notification.
inline constexpr unsigned kTrayMessage = 0x8000 + 1;

}  // namespace pw::win32
