// A fake host that records what the logic does to it, and a started program on it.
//
// Its clipboard is a value that tests change "from another program", lock or
// mark as withheld; every change notifies the logic synchronously while it is
// in the chain, as the system does during CloseClipboard. Effects whose order
// matters go to `log` ("box:...", "clear", "put:...").
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/pastewright.h"
#include "platform/text.h"

namespace pw::test {

using Strings = std::vector<std::u16string>;

// A new picture; pictures are told apart by identity, not by their pixels.
inline Picture MakePicture(int width = 4, int height = 3) {
  return Picture::FromPixels(width, height, std::vector<std::uint32_t>(width * height));
}

class FakeHost final : public Host {
 public:
  // Another program changes the clipboard.
  void Copy(std::optional<std::u16string> text, Picture picture = {}, RichText rich = {}) {
    clip_text = std::move(text);
    clip_picture = std::move(picture);
    clip_rich = std::move(rich);
    if (late_notices) return void(++waiting_notices);
    if (joined) events->ClipboardChanged();
  }
  void CopyText(std::u16string text) { Copy(std::move(text)); }
  void CopyPicture(Picture picture) { Copy(std::nullopt, std::move(picture)); }
  void PassLateNotices() {
    for (late_notices = false; waiting_notices > 0; --waiting_notices) events->ClipboardChanged();
  }

  Events* events = nullptr;
  std::optional<std::u16string> clip_text;  // nullopt: no text format
  Picture clip_picture;
  RichText clip_rich;
  bool locked = false;    // reads say Locked (the content comes along all the same), writes fail
  bool withheld = false;  // the content carries a do-not-record marker
  bool loses_pictures = false;  // a picture put "succeeds" and leaves the clipboard empty
  bool late_notices = false;    // notices wait, as behind a viewer ahead, for PassLateNotices
  int waiting_notices = 0;

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
  Picture screen_pixels = MakePicture(1280, 800);
  SizeTwips main_size{4740, 5595};
  std::int32_t left = 0, top = 0;
  bool main_visible = true, joined = false;
  std::optional<std::u16string> text_preview;
  std::optional<Picture> preview;  // the open preview window's picture
  bool preview_own_size = false;
  std::optional<Picture> overlay;  // the open overlay's frozen screen
  std::optional<std::pair<PointTwips, PointTwips>> outline;

  void ShowStore(const WindowView& v) override { view = v; }
  SizeTwips MainWindowSize() const override { return main_size; }
  void PlaceMainWindowOnTop(std::int32_t l, std::int32_t t) override {
    left = l, top = t, log.push_back("place");
  }
  void HideMainWindow() override { main_visible = false, log.push_back("hide"); }
  void RestoreMainWindow() override { main_visible = true, log.push_back("restore"); }
  void ShowTextPreview(int, std::u16string_view text) override { text_preview = text; }
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
  void LetPendingEventsRun() override {
    log.push_back("pending");
    if (on_pending) on_pending();
  }
  void ShowTrayIcon(std::u16string_view) override { log.push_back("tray-on"); }
  void RemoveTrayIcon() override { log.push_back("tray-off"); }
  void JoinClipboardChain() override { joined = true, log.push_back("join"); }
  void LeaveClipboardChain() override { joined = false, log.push_back("leave"); }
  TextRead ReadText() override { return {Status(), clip_text.value_or(u""), clip_rich}; }
  PictureRead ReadPicture() override { return {Status(), clip_picture}; }
  bool ClearClipboard() override { return Write("clear", std::nullopt); }
  bool PutText(std::u16string_view text, const RichText& rich) override {
    return Write("put:" + ToUtf8(text), std::u16string(text), {}, rich);
  }
  bool PutPicture(const Picture& p) override {
    return Write("put-picture", std::nullopt, loses_pictures ? Picture() : p);
  }
  ScreenMetrics Screen() const override { return screen; }
  Picture CaptureScreen() override {
    log.push_back(main_visible ? "capture-with-window" : "capture");
    return screen_pixels;
  }
  void MessageBox(std::u16string_view prompt, MessageKind kind) override {
    boxes.emplace_back(prompt);
    log.push_back((kind == MessageKind::Error ? "error:" : "box:") + ToUtf8(prompt));
    if (on_box) on_box(prompt);
  }
  FileResult WriteNewFile(std::u16string_view name, std::string_view bytes) override {
    return WriteNew(name, [&] { files[std::u16string(name)] = bytes; });
  }
  FileResult SaveNewBitmap(std::u16string_view name, const Picture& picture) override {
    return WriteNew(name, [&] { bitmaps[std::u16string(name)] = picture; });
  }
  // The fake ANSI page: ASCII in one byte, 中 and 文 in two, the rest lost.
  int AnsiCode(char16_t c) const override {
    if (c == u'中' || c == u'文') return -20000 - c % 1000;
    return c < 0x80 ? c : '?';
  }
  std::optional<std::string> ToAnsi(std::u16string_view text) const override {
    if (std::ranges::any_of(text, [](char16_t c) { return c >= 0x80; })) return std::nullopt;
    return std::string(text.begin(), text.end());
  }
  LocalTime Now() const override { return now; }

 private:
  ReadStatus Status() const {
    return locked ? ReadStatus::Locked : withheld ? ReadStatus::Withheld : ReadStatus::Ok;
  }
  bool Write(std::string what, std::optional<std::u16string> text, Picture picture = {},
             RichText rich = {}) {
    if (locked) return false;
    log.push_back(std::move(what));
    withheld = false;
    Copy(std::move(text), std::move(picture), std::move(rich));
    return true;
  }
  FileResult WriteNew(std::u16string_view name, const std::function<void()>& write) {
    if (fail_writes) return {FileResult::Failed, *fail_writes};
    const std::u16string key(name);
    if (files.contains(key) || bitmaps.contains(key)) return {FileResult::Exists, {}};
    write();
    return {};
  }
};

class AppTest : public ::testing::Test {
 protected:
  AppTest() : app(fake) {
    fake.events = &app;
    app.Start();
  }

  // The captions of the rows shown, top to bottom, which must have no gaps.
  Strings Captions() const {
    const auto& rows = fake.view.rows;
    EXPECT_TRUE(std::ranges::is_partitioned(rows, &RowView::shown)) << "a row after a gap";
    Strings out;
    for (const RowView& row : rows) {
      if (row.shown) out.push_back(row.caption);
    }
    EXPECT_EQ(fake.view.can_empty_all, !out.empty());
    return out;
  }

  // The pictures shown, slot 1 first, which must have no gaps.
  std::vector<Picture> Slots() const {
    const auto& slots = fake.view.pictures;
    const auto held = [](const Picture& p) { return !p.empty(); };
    EXPECT_TRUE(std::ranges::is_partitioned(slots, held)) << "a picture after a gap";
    return {slots.begin(), std::ranges::find(slots, Picture())};
  }

  // The texts held, oldest first.
  Strings Texts() const {
    Strings out;
    for (int i = 0; i < app.store().ClipCount; ++i) out.push_back(app.store().ClipText[i].text);
    return out;
  }

  void CopyAll(const Strings& texts) {
    for (const auto& text : texts) fake.CopyText(text);
  }

  FakeHost fake;
  Pastewright app;
};

}  // namespace pw::test
