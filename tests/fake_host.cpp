#include "fake_host.h"

#include "platform/text.h"

namespace pw::test {

std::string Utf8(std::u16string_view s) { return ToUtf8(s); }

Picture MakePicture(int width, int height, std::uint32_t tag) {
  return Picture::FromPixels(width, height,
                             std::vector<std::uint32_t>(static_cast<std::size_t>(width * height), tag));
}

void FakeHost::Changed() {
  if (late_notices) return void(++waiting_notices_);
  if (joined && events_) events_->ClipboardChanged();
}

void FakeHost::PassLateNotices() {
  for (late_notices = false; waiting_notices_ > 0; --waiting_notices_) Changed();
}

void FakeHost::Copy(std::optional<std::u16string> text, Picture picture, RichText rich) {
  clip_text = std::move(text);
  clip_picture = std::move(picture);
  clip_rich = std::move(rich);
  Changed();
}

void FakeHost::PlaceMainWindowOnTop(std::int32_t l, std::int32_t t) {
  left = l;
  top = t;
  on_top = true;
  log.push_back("place");
}

void FakeHost::HideMainWindow() {
  main_visible = false;
  log.push_back("hide");
}

void FakeHost::RestoreMainWindow() {
  main_visible = true;
  log.push_back("restore");
}

void FakeHost::ShowTextPreview(int slot, std::u16string_view text) {
  text_preview.emplace(slot, std::u16string(text));
}

void FakeHost::HideTextPreview() {
  text_preview.reset();
  log.push_back("preview-text-off");
}

void FakeHost::OpenPreview(const Picture& picture, bool own_size) {
  preview = picture;
  preview_own_size = own_size;
}

void FakeHost::CloseOverlay() {
  overlay.reset();
  outline.reset();
  log.push_back("overlay-closed");
}

void FakeHost::LetPendingEventsRun() {
  log.push_back("pending");
  if (on_pending) on_pending();
}

void FakeHost::ShowTrayIcon(std::u16string_view tip) {
  tray_tip = tip;
  log.push_back("tray-on");
}

void FakeHost::RemoveTrayIcon() {
  tray_tip.reset();
  log.push_back("tray-off");
}

void FakeHost::JoinClipboardChain() {
  joined = true;
  log.push_back("join");
}

void FakeHost::LeaveClipboardChain() {
  joined = false;
  log.push_back("leave");
}

TextRead FakeHost::ReadText() {
  if (locked) return {ReadStatus::Locked, {}};
  if (withheld) return {ReadStatus::Withheld, {}};
  return {ReadStatus::Ok, clip_text.value_or(u""), clip_rich};
}

PictureRead FakeHost::ReadPicture() {
  if (locked) return {ReadStatus::Locked, {}};
  if (withheld) return {ReadStatus::Withheld, {}};
  return {ReadStatus::Ok, clip_picture};
}

bool FakeHost::ClearClipboard() {
  if (locked) return false;
  log.push_back("clear");
  withheld = false;
  Copy(std::nullopt);
  return true;
}

bool FakeHost::PutText(std::u16string_view text, const RichText& rich) {
  if (locked) return false;
  log.push_back("put:" + Utf8(text));
  withheld = false;
  Copy(std::u16string(text), {}, rich);
  return true;
}

bool FakeHost::PutPicture(const Picture& picture) {
  if (locked) return false;
  log.push_back("put-picture");
  withheld = false;
  Copy(std::nullopt, loses_pictures ? Picture() : picture);
  return true;
}

Picture FakeHost::CaptureScreen() {
  log.push_back(main_visible ? "capture-with-window" : "capture");
  if (!screen_pixels.empty()) return screen_pixels;
  return MakePicture(static_cast<int>(screen.width_twips / screen.twips_per_pixel_x),
                     static_cast<int>(screen.height_twips / screen.twips_per_pixel_y), 0xFF808080);
}

void FakeHost::MessageBox(std::u16string_view prompt, MessageKind kind) {
  boxes.emplace_back(prompt);
  log.push_back(std::string(kind == MessageKind::Error ? "error:" : "box:") + Utf8(prompt));
  if (on_box) on_box(prompt);
}

FileResult FakeHost::TakeName(std::u16string_view name) {
  if (fail_writes) return {FileResult::Failed, *fail_writes};
  const std::u16string key(name);
  if (files.count(key) || bitmaps.count(key)) return {FileResult::Exists, {}};
  return {};
}

FileResult FakeHost::WriteNewFile(std::u16string_view name, std::string_view bytes) {
  FileResult result = TakeName(name);
  if (result.status == FileResult::Written) files[std::u16string(name)] = bytes;
  return result;
}

FileResult FakeHost::SaveNewBitmap(std::u16string_view name, const Picture& picture) {
  FileResult result = TakeName(name);
  if (result.status == FileResult::Written) bitmaps[std::u16string(name)] = picture;
  return result;
}

int FakeHost::AnsiCode(char16_t c) const {
  if (double_byte.count(c)) return -20000 - static_cast<int>(c % 1000);
  return c < 0x80 ? c : '?';
}

std::optional<std::string> FakeHost::ToAnsi(std::u16string_view text) const {
  std::string out;
  for (char16_t c : text) {
    if (c >= 0x80) return std::nullopt;  // the fake page is ASCII alone
    out += static_cast<char>(c);
  }
  return out;
}

}  // namespace pw::test
