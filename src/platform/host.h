// What the program's logic needs of its host.
//
// The logic never includes a system header: it reaches windows, controls, the
// clipboard, the screen, dialogs, files and the clock only through these
// interfaces. The real host lives in platform/win32; tests use an in-memory
// fake that records what the logic did.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/ids.h"
#include "platform/picture.h"

namespace pw {

using WindowHandle = std::uintptr_t;  // 0 = none
using DeviceContext = std::uintptr_t; // 0 = none
using WndProcRef = std::uintptr_t;    // a window procedure as the system knows it

struct SizeTwips {
  std::int32_t width = 0;
  std::int32_t height = 0;
  friend bool operator==(const SizeTwips&, const SizeTwips&) = default;
};

// ---------------------------------------------------------------------------
// Windows and controls.
class Forms {
 public:
  virtual ~Forms() = default;

  // Caption of a window, button, frame, check box or label.
  virtual void SetCaption(ControlId id, std::u16string_view caption) = 0;
  virtual std::u16string Caption(ControlId id) const = 0;
  // Text of a text box.
  virtual void SetText(ControlId id, std::u16string_view text) = 0;
  virtual void SetToolTip(ControlId id, std::u16string_view tip) = 0;
  virtual void SetVisible(ControlId id, bool visible) = 0;
  virtual bool Visible(ControlId id) const = 0;
  virtual void SetEnabled(ControlId id, bool enabled) = 0;
  virtual void SetChecked(ControlId id, bool checked) = 0;

  // Picture of an image box or picture box; the same object is kept.
  virtual void SetPicture(ControlId id, Picture picture) = 0;
  virtual Picture GetPicture(ControlId id) const = 0;
  // Image box stretch mode: on = scale the picture to the box, off = own size
  // from the top-left corner.
  virtual void SetStretch(ControlId id, bool stretch) = 0;

  // Outer size of a control or window, and a window's client size, in twips.
  virtual SizeTwips Size(ControlId id) const = 0;
  virtual SizeTwips ClientSize(ControlId form) const = 0;
  // Moves a window; left and top in twips, relative to the screen.
  virtual void Move(ControlId form, std::int32_t left, std::int32_t top) = 0;
  virtual WindowHandle Handle(ControlId id) const = 0;

  // Loads the window when it is not loaded (its Load event runs first), then
  // shows it modeless and brings it to the front.
  virtual void Show(ControlId form) = 0;
  virtual void Unload(ControlId form) = 0;
  virtual bool Loaded(ControlId form) const = 0;

  // Region overlay (Form2): shows `frozen` over the whole screen, maximised,
  // borderless, with a cross-hair pointer. DrawOutline draws a rectangle
  // outline over it (corners in twips, any order); ClearOutline removes it.
  virtual void ShowOverlay(ControlId form, Picture frozen) = 0;
  virtual void DrawOutline(ControlId form, float x1, float y1, float x2, float y2) = 0;
  virtual void ClearOutline(ControlId form) = 0;

  // Lets pending window messages run once.
  virtual void DoEvents() = 0;
  // Ends the program after the current event; every window goes with it.
  virtual void EndProgram() = 0;
};

// ---------------------------------------------------------------------------
// The system clipboard.
enum class ClipStatus : std::uint8_t {
  Ok,        // read; the value may still be empty (no text / no picture)
  Locked,    // another program held the clipboard open past our retries
  Withheld,  // the owner asked monitors not to record this content
};

struct TextRead {
  ClipStatus status = ClipStatus::Ok;
  std::u16string text;
};

struct PictureRead {
  ClipStatus status = ClipStatus::Ok;
  Picture picture;
};

class Clipboard {
 public:
  virtual ~Clipboard() = default;
  virtual TextRead ReadText() = 0;
  virtual PictureRead ReadPicture() = 0;
  // Each write notifies the clipboard viewers. false = the clipboard could
  // not be opened (or written) and nothing changed.
  virtual bool Clear() = 0;
  virtual bool SetText(std::u16string_view text) = 0;
  virtual bool SetPicture(const Picture& picture) = 0;
};

// ---------------------------------------------------------------------------
// Screen metrics.
struct ScreenMetrics {
  std::int32_t width_twips = 0;
  std::int32_t height_twips = 0;
  float twips_per_pixel_x = 15.0f;
  float twips_per_pixel_y = 15.0f;
};

// ---------------------------------------------------------------------------
// Message boxes: OK button only, the application title as title.
enum class MessageKind : std::uint8_t {
  Plain,  // no icon
  Error,  // a failure the user must know of
};

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // Modal; clipboard notifications keep arriving while it is open.
  virtual void MessageBox(std::u16string_view prompt, MessageKind kind = MessageKind::Plain) = 0;
};

// ---------------------------------------------------------------------------
// Files in the current directory (relative names) and the ANSI code page.
struct FileResult {
  bool ok = true;
  std::u16string reason;  // why it failed, in words for the user
};

class Files {
 public:
  virtual ~Files() = default;
  // Creates or replaces the file with exactly these bytes and makes sure all
  // of them were written.
  virtual FileResult WriteBytes(std::u16string_view name, std::string_view bytes) = 0;
  // Writes the picture whole, at its own size, as a Windows bitmap file.
  virtual FileResult SaveBitmap(std::u16string_view name, const Picture& picture) = 0;

  // The character's code in the system's ANSI code page: 0..255 for a single
  // byte (63, "?", when the code page cannot represent it), and its two bytes
  // as a signed 16-bit number for a double-byte character.
  virtual int AnsiCode(char16_t c) const = 0;
  // The text in the ANSI code page, or nothing when a character would not
  // survive the round trip.
  virtual std::optional<std::string> ToAnsi(std::u16string_view text) const = 0;
};

// ---------------------------------------------------------------------------
struct LocalTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual LocalTime Now() const = 0;
};

struct Version {
  int major = 0, minor = 0, revision = 0;
};

class AppInfo {
 public:
  virtual ~AppInfo() = default;
  virtual std::u16string Title() const = 0;
  virtual Version ProgramVersion() const = 0;
  virtual ScreenMetrics Screen() const = 0;
};

// ---------------------------------------------------------------------------
// The few system calls the logic makes directly.

// A window procedure written in portable code.
class WindowProcedure {
 public:
  virtual ~WindowProcedure() = default;
  virtual std::intptr_t Call(WindowHandle hwnd, std::uint32_t msg, std::uintptr_t wparam,
                             std::intptr_t lparam) = 0;
};

// Window message numbers the logic deals in (the system's values).
namespace wm {
inline constexpr std::uint32_t kDrawClipboard = 0x0308;
inline constexpr std::uint32_t kChangeCbChain = 0x030D;
inline constexpr std::uint32_t kMouseMove = 0x0200;
inline constexpr std::uint32_t kLButtonDown = 0x0201;
inline constexpr std::uint32_t kLButtonUp = 0x0202;
inline constexpr std::uint32_t kLButtonDblClk = 0x0203;
inline constexpr std::uint32_t kRButtonDown = 0x0204;
inline constexpr std::uint32_t kRButtonUp = 0x0205;
inline constexpr std::uint32_t kRButtonDblClk = 0x0206;
}  // namespace wm

enum class NotifyIconMessage : std::uint8_t { Add, Delete };

// The tray icon record. The host fills in the platform's own record size and
// its private callback message, which comes back as FormEvents::TrayNotify.
struct TrayIconData {
  WindowHandle hwnd = 0;
  std::uint32_t id = 0;
  std::uint32_t flags = 0;  // 1 callback message, 2 icon, 4 tip
  std::uintptr_t icon = 0;
  std::u16string tip;
  friend bool operator==(const TrayIconData&, const TrayIconData&) = default;
};

class WinApi {
 public:
  virtual ~WinApi() = default;

  // Subclassing: installs a portable procedure and returns the previous one.
  virtual WndProcRef SetWindowProc(WindowHandle hwnd, WindowProcedure& proc) = 0;
  // Puts a previous procedure back.
  virtual WndProcRef RestoreWindowProc(WindowHandle hwnd, WndProcRef old_proc) = 0;
  virtual std::intptr_t CallWindowProc(WndProcRef proc, WindowHandle hwnd, std::uint32_t msg,
                                       std::uintptr_t wparam, std::intptr_t lparam) = 0;

  // The clipboard viewer chain.
  virtual WindowHandle SetClipboardViewer(WindowHandle hwnd) = 0;
  virtual bool ChangeClipboardChain(WindowHandle hwnd, WindowHandle next) = 0;
  virtual std::intptr_t SendMessage(WindowHandle to, std::uint32_t msg, std::uintptr_t wparam,
                                    std::intptr_t lparam) = 0;
  // The clipboard's change count, which every change of its contents moves
  // on; 0 where the platform keeps none.
  virtual std::uint32_t ClipboardSequenceNumber() const { return 0; }

  virtual void SetTopMost(WindowHandle hwnd) = 0;
  virtual void ShowRestore(WindowHandle hwnd) = 0;
  virtual void SetCapture(WindowHandle hwnd) = 0;
  virtual void ReleaseCapture() = 0;

  // Screen device context and copying the screen's pixels (in pixels).
  virtual DeviceContext GetScreenDC() = 0;
  virtual void ReleaseScreenDC(DeviceContext dc) = 0;
  virtual Picture CopyScreen(DeviceContext dc, std::int32_t x, std::int32_t y,
                             std::int32_t width, std::int32_t height) = 0;

  virtual bool ShellNotifyIcon(NotifyIconMessage message, const TrayIconData& data) = 0;
  virtual std::uintptr_t WindowIcon(WindowHandle hwnd) const = 0;
};

// Everything together, as the logic receives it.
struct Host {
  Forms& forms;
  Clipboard& clipboard;
  Dialogs& dialogs;
  Files& files;
  Clock& clock;
  AppInfo& app;
  WinApi& api;
};

}  // namespace pw
