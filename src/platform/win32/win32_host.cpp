#include "platform/win32/win32_host.h"

#include <cassert>
#include <optional>

#include "platform/win32/cut_overlay.h"
#include "platform/win32/dpi.h"
#include "platform/win32/files.h"
#include "platform/win32/form_window.h"
#include "platform/win32/main_window.h"
#include "platform/win32/surface.h"
#include "platform/win32/system_clipboard.h"
#include "platform/win32/window_names.h"

namespace pw::win32 {
namespace {

constexpr wchar_t kTitle[] = L"Pastewright";
constexpr DWORD kFixedSingle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;

}  // namespace

struct Win32Host::Windows {
  ResourceCache resources;
  FormWindow preview{resources, PreviewLayout(),
                     FormStyle{kPreviewClass, kFixedSingle, 0, false, true}};
  // Off the taskbar: owned by an invisible window of its own.
  FormWindow about{resources, AboutLayout(),
                   FormStyle{kAboutClass, kFixedSingle, WS_EX_DLGMODALFRAME, true, true}};
  UniqueWindow about_owner;
  // From Attach on.
  std::unique_ptr<MainWindow> main;
  std::unique_ptr<CutOverlay> overlay;
  std::optional<SystemClipboard> clipboard;

  // The keys that move about the windows and press their buttons, as in a
  // dialog, and the main window's arrows; true when the message was one.
  bool Navigate(MSG& msg) {
    if (main->ArrowKey(msg)) return true;
    for (HWND window : {main->hwnd(), preview.hwnd(), about.hwnd()}) {
      if (window && ::IsDialogMessageW(window, &msg)) return true;
    }
    return false;
  }
};

Win32Host::Win32Host() : windows_(std::make_unique<Windows>()) {}

Win32Host::~Win32Host() {
  CloseOtherWindows();
  if (windows_->main) windows_->main->Destroy();
}

bool Win32Host::Attach(Events& events) {
  Windows& w = *windows_;
  w.main = std::make_unique<MainWindow>(w.resources, events, [this] { CloseOtherWindows(); });
  w.overlay = std::make_unique<CutOverlay>(events);
  if (!w.main->Create()) return false;
  w.clipboard.emplace(w.main->hwnd());
  w.main->SetClipboardOwnerHandler([&clipboard = *w.clipboard](UINT msg, WPARAM wparam) {
    return clipboard.HandleOwnerMessage(msg, wparam);
  });
  w.preview.ReturnFocusTo(w.main->hwnd());
  w.about.ReturnFocusTo(w.main->hwnd());
  return true;
}

int Win32Host::Run() {
  windows_->main->Show();
  MSG msg{};
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (windows_->Navigate(msg)) continue;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  // Whatever ended the loop, no window may outlive the program it calls.
  CloseOtherWindows();
  windows_->main->Destroy();
  return static_cast<int>(msg.wParam);
}

void Win32Host::CloseOtherWindows() {
  Windows& w = *windows_;
  if (w.overlay) w.overlay->Close();
  w.preview.Destroy();
  w.about.Destroy();
  w.about_owner.reset();
}

// --- the main window -----------------------------------------------------------

void Win32Host::ShowStore(const WindowView& view) { windows_->main->ShowStore(view); }

SizeTwips Win32Host::MainWindowSize() const { return windows_->main->OuterSize(); }

void Win32Host::PlaceMainWindowOnTop(std::int32_t left, std::int32_t top) {
  windows_->main->PlaceOnTop(left, top);
}

void Win32Host::HideMainWindow() { ::ShowWindow(windows_->main->hwnd(), SW_HIDE); }

void Win32Host::RestoreMainWindow() { windows_->main->Restore(); }

void Win32Host::ShowTextPreview(int slot, std::u16string_view text) {
  assert(Exists(Control(Role::Row, slot)));
  windows_->main->ShowTextPreview(slot, text);
}

void Win32Host::HideTextPreview() { windows_->main->HideTextPreview(); }

// --- the other windows -----------------------------------------------------------

bool Win32Host::PreviewOpen() const { return windows_->preview.open(); }

void Win32Host::OpenPreview(const Picture& picture, bool own_size) {
  FormWindow& preview = windows_->preview;
  if (!preview.Create()) return;
  PictureBox* image = preview.Box(Control(Role::PreviewImage));
  image->SetStretch(!own_size);
  image->SetPicture(picture);
  preview.Show();
}

void Win32Host::BringPreviewToFront() {
  if (windows_->preview.open()) windows_->preview.Show();
}

void Win32Host::ShowAbout() {
  Windows& w = *windows_;
  if (!w.about_owner) {
    ::WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &::DefWindowProcW;
    wc.hInstance = ThisModule();
    wc.lpszClassName = kOwnerClass;
    ::RegisterClassExW(&wc);
    w.about_owner.reset(::CreateWindowExW(0, kOwnerClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                                          nullptr, ThisModule(), nullptr));
  }
  if (w.about.Create(w.about_owner.get())) w.about.Show();
}

bool Win32Host::OverlayOpen() const { return windows_->overlay->open(); }

void Win32Host::OpenOverlay(const Picture& frozen) { windows_->overlay->Open(frozen); }

void Win32Host::ShowOutline(PointTwips corner, PointTwips opposite) {
  windows_->overlay->ShowOutline(corner, opposite);
}

void Win32Host::HideOutline() { windows_->overlay->HideOutline(); }

void Win32Host::CloseOverlay() { windows_->overlay->Close(); }

void Win32Host::LetPendingEventsRun() {
  // Bounded, so a window that keeps posting to itself cannot hold us here.
  MSG msg;
  for (int n = 0; n < 10000 && ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++n) {
    if (msg.message == WM_QUIT) {
      // The message loop must still see it.
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    if (windows_->Navigate(msg)) continue;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

// --- the tray and the clipboard ------------------------------------------------------

void Win32Host::ShowTrayIcon(std::u16string_view tip) { windows_->main->tray().Show(tip); }

void Win32Host::RemoveTrayIcon() { windows_->main->tray().Remove(); }

void Win32Host::JoinClipboardChain() {
  windows_->main->chain().HookClipboard(windows_->main->hwnd());
}

void Win32Host::LeaveClipboardChain() { windows_->main->chain().UnhookClipboard(); }

TextRead Win32Host::ReadText() { return windows_->clipboard->ReadText(); }

PictureRead Win32Host::ReadPicture() { return windows_->clipboard->ReadPicture(); }

bool Win32Host::ClearClipboard() { return windows_->clipboard->Clear(); }

bool Win32Host::PutText(std::u16string_view text, const RichText& rich) {
  return windows_->clipboard->PutText(text, rich);
}

bool Win32Host::PutPicture(const Picture& picture) {
  return windows_->clipboard->PutPicture(picture);
}

// --- the screen, the user, files and the clock ---------------------------------------

ScreenMetrics Win32Host::Screen() const {
  const int dpi = SystemDpi();
  return {PixelsToWholeTwips(::GetSystemMetrics(SM_CXSCREEN), dpi),
          PixelsToWholeTwips(::GetSystemMetrics(SM_CYSCREEN), dpi), TwipsPerPixel(dpi),
          TwipsPerPixel(dpi)};
}

Picture Win32Host::CaptureScreen() { return CopyScreen(); }

void Win32Host::Tell(std::u16string_view prompt, MessageKind kind) {
  // Owned by the top-most main window the box stays above it; with the window
  // in the tray it has no owner and comes to the front itself.
  HWND main = windows_->main->hwnd();
  HWND owner = main && ::IsWindowVisible(main) ? main : nullptr;
  UINT type = MB_OK | (kind == MessageKind::Error ? MB_ICONERROR : 0u);
  if (!owner) type |= MB_SETFOREGROUND;
  ::MessageBoxW(owner, Wide(prompt).c_str(), kTitle, type);
}

FileResult Win32Host::WriteNewFile(std::u16string_view name, std::string_view bytes) {
  return win32::WriteNewFile(name, bytes);
}

FileResult Win32Host::SaveNewBitmap(std::u16string_view name, const Picture& picture) {
  return win32::SaveNewBitmap(name, picture);
}

int Win32Host::AnsiCode(char16_t c) const { return win32::AnsiCode(c); }

std::optional<std::string> Win32Host::ToAnsi(std::u16string_view text) const {
  return win32::ToAnsi(text);
}

LocalTime Win32Host::Now() const { return win32::Now(); }

}  // namespace pw::win32
