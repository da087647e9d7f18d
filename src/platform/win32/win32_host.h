// The real host: pw::Host on Windows, delegating each operation to the piece
// that does it (the windows, the clipboard, files, the screen).
//
// This header stays free of <windows.h>, whose MessageBox macro would rename
// the seam's member of that name: include it before any system header.
#pragma once

#ifdef MessageBox
#error "include platform/win32/win32_host.h before <windows.h>"
#endif

#include <memory>

#include "platform/host.h"

namespace pw::win32 {

class Win32Host final : public Host {
 public:
  Win32Host();
  ~Win32Host() override;
  Win32Host(const Win32Host&) = delete;
  Win32Host& operator=(const Win32Host&) = delete;

  // Makes the main window, hidden, telling these events; false when it
  // could not be made. Before anything else.
  bool Attach(Events& events);
  // Shows the main window and runs the message loop until the program
  // ends; every window is gone on return. The program's exit code.
  int Run();

  void ShowStore(const WindowView& view) override;
  SizeTwips MainWindowSize() const override;
  void PlaceMainWindowOnTop(std::int32_t left, std::int32_t top) override;
  void HideMainWindow() override;
  void RestoreMainWindow() override;
  void ShowTextPreview(int slot, std::u16string_view text) override;
  void HideTextPreview() override;

  bool PreviewOpen() const override;
  void OpenPreview(const Picture& picture, bool own_size) override;
  void BringPreviewToFront() override;
  void ShowAbout() override;
  bool OverlayOpen() const override;
  void OpenOverlay(const Picture& frozen) override;
  void ShowOutline(PointTwips corner, PointTwips opposite) override;
  void HideOutline() override;
  void CloseOverlay() override;
  void LetPendingEventsRun() override;

  void ShowTrayIcon(std::u16string_view tip) override;
  void RemoveTrayIcon() override;

  void JoinClipboardChain() override;
  void LeaveClipboardChain() override;
  TextRead ReadText() override;
  PictureRead ReadPicture() override;
  bool ClearClipboard() override;
  bool PutText(std::u16string_view text, const RichText& rich) override;
  bool PutPicture(const Picture& picture) override;

  ScreenMetrics Screen() const override;
  Picture CaptureScreen() override;

  // Defined here, where no system header has renamed it yet.
  void MessageBox(std::u16string_view prompt, MessageKind kind) override { Tell(prompt, kind); }
  FileResult WriteNewFile(std::u16string_view name, std::string_view bytes) override;
  FileResult SaveNewBitmap(std::u16string_view name, const Picture& picture) override;
  int AnsiCode(char16_t c) const override;
  std::optional<std::string> ToAnsi(std::u16string_view text) const override;
  LocalTime Now() const override;

 private:
  struct Windows;

  void Tell(std::u16string_view prompt, MessageKind kind);
  // Every window but the main one.
  void CloseOtherWindows();

  std::unique_ptr<Windows> windows_;
};

}  // namespace pw::win32
