// What the program's logic needs of its host, and what the host tells it.
//
// The logic never includes a system header. It shows the store on the main
// window, reads and writes the clipboard, copies the screen, keeps a tray
// icon, asks the user and writes files only through Host; the host calls
// back through Events. platform/win32 is the real host; the tests use an
// in-memory fake.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/controls.h"
#include "platform/picture.h"

namespace pw {

struct SizeTwips {
  std::int32_t width = 0;
  std::int32_t height = 0;
  friend bool operator==(const SizeTwips&, const SizeTwips&) = default;
};

struct PointTwips {
  float x = 0;
  float y = 0;
  friend bool operator==(const PointTwips&, const PointTwips&) = default;
};

// Everything the main window shows of the store. One routine derives it
// from the store (ViewOf, capture/clip_store.h); the host only draws it.
struct RowView {
  bool shown = false;  // the button and its three icons
  std::u16string caption;
  friend bool operator==(const RowView&, const RowView&) = default;
};

struct WindowView {
  std::array<RowView, kTextSlots> rows;
  // pictures[n - 1] is slot n; a slot's three buttons show while it holds one.
  std::array<Picture, kPictureSlots> pictures;
  bool can_empty_all = false;
  std::u16string panel_caption;
  friend bool operator==(const WindowView&, const WindowView&) = default;
};

enum class ReadStatus : std::uint8_t {
  Ok,        // read; the value may still be empty (no text, no picture)
  Locked,    // another program held the clipboard open past our retries
  Withheld,  // the owner asked clipboard monitors not to record this content
};

// The formatted versions of a text that its owner offered with it, as the
// bytes the owner gave: "HTML Format" and "Rich Text Format".
struct RichText {
  std::string html;
  std::string rtf;
  std::size_t size() const { return html.size() + rtf.size(); }
  friend bool operator==(const RichText&, const RichText&) = default;
};

// Formatted versions larger than this together are not kept (the text is).
inline constexpr std::size_t kMaxRichTextBytes = std::size_t{64} << 20;

struct TextRead {
  ReadStatus status = ReadStatus::Ok;
  std::u16string text;
  RichText rich;  // read in the same opening of the clipboard as the text
};

struct PictureRead {
  ReadStatus status = ReadStatus::Ok;
  Picture picture;
};

struct ScreenMetrics {
  std::int32_t width_twips = 0;
  std::int32_t height_twips = 0;
  float twips_per_pixel_x = 15.0f;
  float twips_per_pixel_y = 15.0f;
};

enum class MessageKind : std::uint8_t {
  Plain,  // no icon
  Error,  // a failure the user must know of
};

struct FileResult {
  enum Status : std::uint8_t { Written, Exists, Failed } status = Written;
  std::u16string reason;  // why it failed, in the system's words
};

struct LocalTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

class Host {
 public:
  virtual ~Host() = default;

  // --- The main window -------------------------------------------------------
  virtual void ShowStore(const WindowView& view) = 0;
  virtual SizeTwips MainWindowSize() const = 0;  // outer size
  // Moves it (screen twips) and keeps it above ordinary windows.
  virtual void PlaceMainWindowOnTop(std::int32_t left, std::int32_t top) = 0;
  virtual void HideMainWindow() = 0;
  virtual void RestoreMainWindow() = 0;
  // The larger view of a row's text. While it shows, the row reports every
  // pointer move, also off the row, so that the first move off can hide it.
  virtual void ShowTextPreview(int slot, std::u16string_view text) = 0;
  virtual void HideTextPreview() = 0;

  // --- The other windows -----------------------------------------------------
  virtual bool PreviewOpen() const = 0;
  // Opens the preview window on the picture: at its own size from the
  // top-left corner, or stretched to the whole picture area.
  virtual void OpenPreview(const Picture& picture, bool own_size) = 0;
  virtual void BringPreviewToFront() = 0;
  // The one About window: opened, or brought to the front.
  virtual void ShowAbout() = 0;
  // "Cut Scr": the frozen screen over the whole screen, and on it the
  // outline of a rectangle between two corners (screen twips, any order).
  virtual bool OverlayOpen() const = 0;
  virtual void OpenOverlay(const Picture& frozen) = 0;
  virtual void ShowOutline(PointTwips corner, PointTwips opposite) = 0;
  virtual void HideOutline() = 0;
  virtual void CloseOverlay() = 0;
  // Lets every pending window message run once.
  virtual void LetPendingEventsRun() = 0;

  // --- The tray --------------------------------------------------------------
  // Adding it again keeps one icon.
  virtual void ShowTrayIcon(std::u16string_view tip) = 0;
  virtual void RemoveTrayIcon() = 0;

  // --- The clipboard ---------------------------------------------------------
  // From joining until leaving, Events::ClipboardChanged comes once for each
  // new content, never while an earlier call is still running.
  virtual void JoinClipboardChain() = 0;
  virtual void LeaveClipboardChain() = 0;
  virtual TextRead ReadText() = 0;
  virtual PictureRead ReadPicture() = 0;
  // Each write notifies the clipboard's viewers, us among them. false: the
  // clipboard could not be opened or written, and nothing changed.
  virtual bool ClearClipboard() = 0;
  // The text and its formatted versions, in one write.
  virtual bool PutText(std::u16string_view text, const RichText& rich) = 0;
  virtual bool PutPicture(const Picture& picture) = 0;

  // --- The screen ------------------------------------------------------------
  virtual ScreenMetrics Screen() const = 0;
  // The whole primary screen, at its own size.
  virtual Picture CaptureScreen() = 0;

  // --- The user, files and the clock -------------------------------------------
  // Modal, OK only, the program's title; clipboard changes keep arriving.
  virtual void MessageBox(std::u16string_view prompt, MessageKind kind = MessageKind::Plain) = 0;
  // Writes a new file in the current folder; an existing file of the name is
  // left alone (Exists).
  virtual FileResult WriteNewFile(std::u16string_view name, std::string_view bytes) = 0;
  // The picture whole, at its own size, as a new Windows bitmap file.
  virtual FileResult SaveNewBitmap(std::u16string_view name, const Picture& picture) = 0;
  // The character's code in the system's ANSI code page: 0-255 for a single
  // byte ("?" when the page lacks it), its two bytes as a signed 16-bit
  // number for a double-byte character.
  virtual int AnsiCode(char16_t c) const = 0;
  // The text in the ANSI code page, or nothing when a character would not
  // survive the round trip.
  virtual std::optional<std::string> ToAnsi(std::u16string_view text) const = 0;
  virtual LocalTime Now() const = 0;
};

// What happens to the program, one event at a time on the user-interface
// thread; a modal message box or LetPendingEventsRun lets others in.
class Events {
 public:
  virtual ~Events() = default;
  virtual void ClipboardChanged() = 0;
  virtual void Clicked(ControlId control) = 0;
  // On a row (relative to it, with its size) or on the cut overlay (screen).
  virtual void PointerMoved(ControlId control, PointTwips at, SizeTwips size) = 0;
  virtual void PointerPressed(ControlId control, PointTwips at) = 0;
  // The user chose the tray icon (a left click, or Enter from the keyboard).
  virtual void TrayActivated() = 0;
  // The overlay went away, by a cut or any other way.
  virtual void OverlayClosed() = 0;
  // The main window is closing, for whatever reason; the program ends after.
  virtual void MainWindowClosing() = 0;
};

}  // namespace pw
