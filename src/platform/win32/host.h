// The real host: windows and controls, message boxes, program information and
// the few system calls the logic makes, on Win32.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <utility>

#include "platform/events.h"
#include "platform/host.h"
#include "platform/win32/forms.h"
#include "platform/win32/handles.h"
#include "platform/win32/layout.h"

namespace pw::win32 {

// Class names, for finding the windows from outside.
inline constexpr const wchar_t* kMainClass = L"PastewrightMain";
inline constexpr const wchar_t* kPreviewClass = L"PastewrightPreview";
inline constexpr const wchar_t* kAboutClass = L"PastewrightAbout";
inline constexpr const wchar_t* kOverlayClass = L"PastewrightOverlay";
inline constexpr const wchar_t* kOwnerClass = L"PastewrightOwner";

// The tray icon's callback message to the main window; the low word of
// lParam is the mouse message.
inline constexpr UINT kTrayMessage = WM_APP + 1;

class Win32Host final : public Forms, public Dialogs, public AppInfo, public WinApi {
 public:
  explicit Win32Host(HINSTANCE instance);
  ~Win32Host() override;
  Win32Host(const Win32Host&) = delete;
  Win32Host& operator=(const Win32Host&) = delete;

  // The main window, hidden, with all its controls; before anything else.
  bool CreateMainWindow();
  HWND main_window() const;
  void Attach(FormEvents& events) { events_ = &events; }
  // Loads and shows the main window, then runs the message loop to the end.
  int Run();

  // --- Forms -----------------------------------------------------------------
  void SetCaption(ControlId id, std::u16string_view caption) override;
  std::u16string Caption(ControlId id) const override;
  void SetText(ControlId id, std::u16string_view text) override;
  void SetToolTip(ControlId id, std::u16string_view tip) override;
  void SetVisible(ControlId id, bool visible) override;
  bool Visible(ControlId id) const override;
  void SetEnabled(ControlId id, bool enabled) override;
  void SetChecked(ControlId id, bool checked) override;
  void SetPicture(ControlId id, Picture picture) override;
  Picture GetPicture(ControlId id) const override;
  void SetStretch(ControlId id, bool stretch) override;
  SizeTwips Size(ControlId id) const override;
  SizeTwips ClientSize(ControlId form) const override;
  void Move(ControlId form, std::int32_t left, std::int32_t top) override;
  WindowHandle Handle(ControlId id) const override;
  void Show(ControlId form) override;
  void Unload(ControlId form) override;
  bool Loaded(ControlId form) const override;
  void ShowOverlay(ControlId form, Picture frozen) override;
  void DrawOutline(ControlId form, float x1, float y1, float x2, float y2) override;
  void ClearOutline(ControlId form) override;
  void DoEvents() override;
  void EndProgram() override;

  // --- Dialogs, AppInfo ------------------------------------------------------
  void MessageBox(std::u16string_view prompt, MessageKind kind) override;
  std::u16string Title() const override;
  Version ProgramVersion() const override;
  ScreenMetrics Screen() const override;

  // --- WinApi ----------------------------------------------------------------
  WndProcRef SetWindowProc(WindowHandle hwnd, WindowProcedure& proc) override;
  WndProcRef RestoreWindowProc(WindowHandle hwnd, WndProcRef old_proc) override;
  std::intptr_t CallWindowProc(WndProcRef proc, WindowHandle hwnd, std::uint32_t msg,
                               std::uintptr_t wparam, std::intptr_t lparam) override;
  WindowHandle SetClipboardViewer(WindowHandle hwnd) override;
  bool ChangeClipboardChain(WindowHandle hwnd, WindowHandle next) override;
  std::intptr_t SendMessage(WindowHandle to, std::uint32_t msg, std::uintptr_t wparam,
                            std::intptr_t lparam) override;
  std::uint32_t ClipboardSequenceNumber() const override;
  void SetTopMost(WindowHandle hwnd) override;
  void ShowRestore(WindowHandle hwnd) override;
  void SetCapture(WindowHandle hwnd) override;
  void ReleaseCapture() override;
  DeviceContext GetScreenDC() override;
  void ReleaseScreenDC(DeviceContext dc) override;
  Picture CopyScreen(DeviceContext dc, std::int32_t x, std::int32_t y, std::int32_t width,
                     std::int32_t height) override;
  bool ShellNotifyIcon(NotifyIconMessage message, const TrayIconData& data) override;
  std::uintptr_t WindowIcon(WindowHandle hwnd) const override;

  // --- for the windows of this host ----------------------------------------
  HINSTANCE instance() const { return instance_; }
  // The user closes a window (close box, Alt+F4, system menu, session end).
  void UserClosed(ControlId form);
  void Clicked(ControlId control);
  void MouseMoved(ControlId control, const MouseArgs& args);
  void MouseDown(ControlId control, const MouseArgs& args);
  void TrayNotified(UINT mouse_message);
  void TaskbarCreated();
  // Our small icon in a given pixel size; owned by the host.
  HICON Icon(IconArt art, int size);
  HICON AppIcon(bool big) const { return big ? app_big_.get() : app_small_.get(); }
  // A bitmap resource as a picture, loaded once.
  Picture ResourcePicture(int id);
  // An invisible top-level window that owns windows kept off the taskbar.
  HWND HiddenOwner();

 private:
  FormWindow* Form(ControlId form) const;
  // The control and the window it lives in; nulls when it does not exist now.
  std::pair<FormWindow*, Control*> Locate(ControlId id) const;
  HWND Hwnd(ControlId id) const;
  int DpiOf(ControlId id) const;
  void Close(FormWindow& form, bool ask_first);
  // Every window of the program, without events.
  void DestroyWindows();
  void ReleaseAllScreenDCs();

  HINSTANCE instance_;
  FormEvents* events_ = nullptr;
  UniqueIcon app_big_;
  UniqueIcon app_small_;
  std::unique_ptr<MainWindow> main_;
  std::unique_ptr<FormWindow> preview_;
  std::unique_ptr<FormWindow> about_;
  std::unique_ptr<OverlayWindow> overlay_;
  UniqueWindow owner_;
  std::map<std::pair<IconArt, int>, UniqueIcon> icons_;
  std::map<int, Picture> resource_pictures_;
  std::set<HDC> screen_dcs_;
};

}  // namespace pw::win32
