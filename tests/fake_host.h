// An in-memory host that records what the logic does to it.
//
// Controls keep their state in a map; the clipboard is a value that tests can
// change "from another program", lock, or mark as withheld; every write to it
// notifies the installed window procedure synchronously, as the system does
// during CloseClipboard. Effects that tests care about the order of go to
// `log` as short strings ("box:Content Ready Paste OK", "clip.clear", ...).
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/events.h"
#include "platform/host.h"

namespace pw::test {

std::string Utf8(std::u16string_view s);

struct ControlState {
  std::u16string caption;
  std::u16string text;
  std::u16string tooltip;
  bool visible = true;
  bool enabled = true;
  bool checked = false;
  bool stretch = true;
  Picture picture;
};

struct ShownMessage {
  std::u16string prompt;
  MessageKind kind;
};

struct Outline {
  float x1, y1, x2, y2;
};

class FakeHost final : public Forms,
                       public Clipboard,
                       public Dialogs,
                       public Files,
                       public Clock,
                       public AppInfo,
                       public WinApi {
 public:
  FakeHost();

  Host host() { return Host{*this, *this, *this, *this, *this, *this, *this}; }
  void Attach(FormEvents& events) { events_ = &events; }

  // --- driving the program like a user and like other programs -----------
  void Start();  // loads and shows MainForm
  void Click(ControlId id) { events_->Click(id); }
  void MouseMove(ControlId id, float x, float y, std::int16_t button = 0) {
    events_->MouseMove(id, MouseArgs{button, 0, x, y});
  }
  void MouseDown(ControlId id, float x, float y, std::int16_t button = 1) {
    events_->MouseDown(id, MouseArgs{button, 0, x, y});
  }
  void UserCloses(ControlId form);  // close box: QueryUnload, Unload
  void TrayNotify(std::uint32_t mouse_message) { events_->TrayNotify(mouse_message); }

  // Another program changes the clipboard; the viewers are notified.
  void CopyText(std::u16string text);
  void CopyPicture(Picture picture);
  void CopyTextAndPicture(std::u16string text, Picture picture);
  void CopyNothingReadable();  // only formats the program does not read
  // Locked: reads report Locked and writes fail until unlocked.
  bool clipboard_locked = false;
  // Withheld: the current content carries a "do not record" marker.
  bool clipboard_withheld = false;
  // Sends a message to the main window through whatever procedure it has.
  std::intptr_t Deliver(std::uint32_t msg, std::uintptr_t wparam = 0, std::intptr_t lparam = 0);

  // --- what the logic did ------------------------------------------------
  ControlState& state(ControlId id) { return controls_[id]; }
  bool visible(ControlId id) const { return controls_.count(id) ? controls_.at(id).visible : true; }
  bool enabled(ControlId id) const { return controls_.count(id) ? controls_.at(id).enabled : true; }
  std::u16string caption(ControlId id) const { return Caption(id); }
  std::u16string text(ControlId id) const { return controls_.count(id) ? controls_.at(id).text : u""; }
  Picture picture(ControlId id) const { return GetPicture(id); }

  std::optional<std::u16string> clip_text;  // nullopt: no text format
  // When on, every clipboard change moves the sequence number on, as the
  // system does; when off the fake reports none (0).
  bool count_changes = false;
  std::uint32_t sequence = 1;
  Picture clip_picture;
  int clipboard_writes = 0;

  std::vector<std::string> log;
  std::vector<ShownMessage> messages;
  // Runs while a message box is open (notifications keep arriving then).
  std::function<void(std::u16string_view prompt)> on_message_box;
  // Runs inside DoEvents (the pending messages).
  std::function<void()> on_do_events;

  std::map<std::u16string, std::string> files;
  std::map<std::u16string, Picture> saved_bitmaps;
  // The next file write fails with this reason.
  std::optional<std::u16string> fail_next_write;
  // The fake ANSI code page: ASCII is one byte; these are two bytes.
  std::set<char16_t> double_byte_chars{u'中', u'文', u'版', u'本', u'你', u'好'};

  LocalTime now{2026, 12, 5, 9, 7, 3};
  ScreenMetrics screen{19200, 12000, 15.0f, 15.0f};  // 1280 x 800 pixels
  Picture screen_pixels;  // what CopyScreen copies from; gray when empty

  std::set<ControlId> loaded;
  bool ended = false;
  int bring_to_front = 0;
  SizeTwips main_outer{4740, 5595};
  SizeTwips main_client{4650, 5205};
  std::int32_t main_left = 0, main_top = 0;
  bool topmost = false;
  Picture overlay_picture;
  std::vector<Outline> outlines;  // the outline currently drawn is the last one
  bool outline_shown = false;

  // Viewer chain as the fake system sees it.
  WindowHandle next_viewer = 0;   // what SetClipboardViewer returns
  WindowProcedure* installed_proc = nullptr;
  WndProcRef current_proc = kOriginalProc;
  bool in_chain = false;
  static constexpr WndProcRef kOriginalProc = 0xC0DE;
  std::vector<std::string> sent;  // "to:msg:w:l"
  std::vector<std::uint32_t> default_proc_messages;

  WindowHandle captured = 0;
  std::set<DeviceContext> held_dcs;
  int dcs_taken = 0;
  std::vector<TrayIconData> tray_icons;
  std::vector<std::pair<NotifyIconMessage, TrayIconData>> tray_calls;

  // --- Forms ---------------------------------------------------------------
  void SetCaption(ControlId id, std::u16string_view caption) override;
  std::u16string Caption(ControlId id) const override;
  void SetText(ControlId id, std::u16string_view text) override;
  void SetToolTip(ControlId id, std::u16string_view tip) override;
  void SetVisible(ControlId id, bool visible) override;
  bool Visible(ControlId id) const override { return visible(id); }
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
  bool Loaded(ControlId form) const override { return loaded.count(form) != 0; }
  void ShowOverlay(ControlId form, Picture frozen) override;
  void DrawOutline(ControlId form, float x1, float y1, float x2, float y2) override;
  void ClearOutline(ControlId form) override;
  void DoEvents() override;
  void EndProgram() override;

  // --- Clipboard -------------------------------------------------------------
  TextRead ReadText() override;
  PictureRead ReadPicture() override;
  bool Clear() override;
  bool SetText(std::u16string_view text) override;
  bool SetPicture(const Picture& picture) override;

  // --- Dialogs, Files, Clock, AppInfo ------------------------------------------
  void MessageBox(std::u16string_view prompt, MessageKind kind) override;
  FileResult WriteBytes(std::u16string_view name, std::string_view bytes) override;
  FileResult SaveBitmap(std::u16string_view name, const Picture& picture) override;
  int AnsiCode(char16_t c) const override;
  std::optional<std::string> ToAnsi(std::u16string_view text) const override;
  LocalTime Now() const override { return now; }
  std::u16string Title() const override { return u"Pastewright"; }
  Version ProgramVersion() const override { return {2, 6, 1}; }
  ScreenMetrics Screen() const override { return screen; }

  // --- WinApi ------------------------------------------------------------------
  WndProcRef SetWindowProc(WindowHandle hwnd, WindowProcedure& proc) override;
  WndProcRef RestoreWindowProc(WindowHandle hwnd, WndProcRef old_proc) override;
  std::intptr_t CallWindowProc(WndProcRef proc, WindowHandle hwnd, std::uint32_t msg,
                               std::uintptr_t wparam, std::intptr_t lparam) override;
  WindowHandle SetClipboardViewer(WindowHandle hwnd) override;
  bool ChangeClipboardChain(WindowHandle hwnd, WindowHandle next) override;
  std::intptr_t SendMessage(WindowHandle to, std::uint32_t msg, std::uintptr_t wparam,
                            std::intptr_t lparam) override;
  std::uint32_t ClipboardSequenceNumber() const override { return count_changes ? sequence : 0; }
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

 private:
  void NotifyViewers();

  FormEvents* events_ = nullptr;
  std::map<ControlId, ControlState> controls_;
};

// A small solid picture; `tag` makes its pixels distinct.
Picture MakePicture(int width = 4, int height = 3, std::uint32_t tag = 0xFF102030);

}  // namespace pw::test
