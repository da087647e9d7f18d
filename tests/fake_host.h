// An in-memory host that records what the logic does to it.
//
// The clipboard is a value that tests change "from another program", lock or
// mark as withheld; every change notifies the logic synchronously while it is
// in the chain, as the system does during CloseClipboard. Effects whose order
// matters go to `log` ("box:...", "clear", "put:...").
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/host.h"
#include "platform/text.h"

namespace pw::test {

inline std::string Utf8(std::u16string_view s) { return ToUtf8(s); }

// A small solid picture; `tag` makes its pixels distinct.
Picture MakePicture(int width = 4, int height = 3, std::uint32_t tag = 0xFF102030);

class FakeHost final : public Host {
 public:
  void Attach(Events& events) { events_ = &events; }
  // Another program changes the clipboard.
  void Copy(std::optional<std::u16string> text, Picture picture = {}, RichText rich = {});
  void CopyText(std::u16string text) { Copy(std::move(text)); }
  void CopyPicture(Picture picture) { Copy(std::nullopt, std::move(picture)); }

  std::optional<std::u16string> clip_text;  // nullopt: no text format
  Picture clip_picture;
  RichText clip_rich;
  bool locked = false;    // reads say Locked, writes fail
  bool withheld = false;  // the content carries a do-not-record marker
  bool loses_pictures = false;  // a picture put "succeeds" and leaves the clipboard empty
  bool late_notices = false;    // notices wait, as behind a viewer ahead, for PassLateNotices
  void PassLateNotices();

  WindowView view;
  std::vector<std::string> log;
  std::vector<std::u16string> boxes;
  // Run while a message box is open, and inside LetPendingEventsRun.
  std::function<void(std::u16string_view prompt)> on_box;
  std::function<void()> on_pending;
  std::map<std::u16string, std::string> files;
  std::map<std::u16string, Picture> bitmaps;
  std::optional<std::u16string> fail_writes;  // every write fails with this reason
  LocalTime now{2026, 12, 5, 9, 7, 3};
  ScreenMetrics screen{19200, 12000, 15.0f, 15.0f};  // 1280 x 800 pixels
  Picture screen_pixels;
  SizeTwips main_size{4740, 5595};
  std::int32_t left = 0, top = 0;
  bool main_visible = true, on_top = false, joined = false;
  std::optional<std::u16string> tray_tip;
  std::optional<std::pair<int, std::u16string>> text_preview;
  std::optional<Picture> preview;  // the open preview window's picture
  bool preview_own_size = false;
  std::optional<Picture> overlay;  // the open overlay's frozen screen
  std::optional<std::pair<PointTwips, PointTwips>> outline;

  void ShowStore(const WindowView& v) override { view = v; }
  SizeTwips MainWindowSize() const override { return main_size; }
  void PlaceMainWindowOnTop(std::int32_t l, std::int32_t t) override {
    left = l, top = t, on_top = true;
    log.push_back("place");
  }
  void HideMainWindow() override { main_visible = false, log.push_back("hide"); }
  void RestoreMainWindow() override { main_visible = true, log.push_back("restore"); }
  void ShowTextPreview(int slot, std::u16string_view text) override { text_preview.emplace(slot, text); }
  void HideTextPreview() override { text_preview.reset(), log.push_back("preview-text-off"); }
  bool PreviewOpen() const override { return preview.has_value(); }
  void OpenPreview(const Picture& p, bool own_size) override { preview = p, preview_own_size = own_size; }
  void BringPreviewToFront() override { log.push_back("preview-front"); }
  void ShowAbout() override { log.push_back("about"); }
  bool OverlayOpen() const override { return overlay.has_value(); }
  void OpenOverlay(const Picture& frozen) override { overlay = frozen; }
  void ShowOutline(PointTwips a, PointTwips b) override { outline = {a, b}; }
  void HideOutline() override { outline.reset(); }
  void CloseOverlay() override { overlay.reset(), outline.reset(); }
  void LetPendingEventsRun() override;
  void ShowTrayIcon(std::u16string_view tip) override { tray_tip = tip, log.push_back("tray-on"); }
  void RemoveTrayIcon() override { tray_tip.reset(), log.push_back("tray-off"); }
  void JoinClipboardChain() override { joined = true, log.push_back("join"); }
  void LeaveClipboardChain() override { joined = false, log.push_back("leave"); }
  TextRead ReadText() override;
  PictureRead ReadPicture() override;
  bool ClearClipboard() override { return Write("clear", std::nullopt, {}, {}); }
  bool PutText(std::u16string_view text, const RichText& rich) override {
    return Write("put:" + Utf8(text), std::u16string(text), {}, rich);
  }
  bool PutPicture(const Picture& p) override {
    return Write("put-picture", std::nullopt, loses_pictures ? Picture() : p, {});
  }
  ScreenMetrics Screen() const override { return screen; }
  Picture CaptureScreen() override;
  void MessageBox(std::u16string_view prompt, MessageKind kind) override;
  FileResult WriteNewFile(std::u16string_view name, std::string_view bytes) override;
  FileResult SaveNewBitmap(std::u16string_view name, const Picture& picture) override;
  // The fake ANSI page: ASCII in one byte, 中 and 文 in two, the rest lost.
  int AnsiCode(char16_t c) const override;
  std::optional<std::string> ToAnsi(std::u16string_view text) const override;
  LocalTime Now() const override { return now; }

 private:
  bool Write(std::string what, std::optional<std::u16string> text, Picture picture, RichText rich);
  FileResult TakeName(std::u16string_view name) const;

  Events* events_ = nullptr;
  int waiting_notices_ = 0;
};

}  // namespace pw::test
