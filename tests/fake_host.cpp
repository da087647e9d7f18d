#include "fake_host.h"

namespace pw::test {

Picture MakePicture(int width, int height, std::uint32_t tag) {
  return Picture::FromPixels(width, height,
                             std::vector<std::uint32_t>(static_cast<std::size_t>(width * height), tag));
}

void FakeHost::Copy(std::optional<std::u16string> text, Picture picture, RichText rich) {
  clip_text = std::move(text);
  clip_picture = std::move(picture);
  clip_rich = std::move(rich);
  if (late_notices) return void(++waiting_notices_);
  if (joined && events_) events_->ClipboardChanged();
}

void FakeHost::PassLateNotices() {
  for (late_notices = false; waiting_notices_ > 0; --waiting_notices_) events_->ClipboardChanged();
}

bool FakeHost::Write(std::string what, std::optional<std::u16string> text, Picture picture,
                     RichText rich) {
  if (locked) return false;
  log.push_back(std::move(what));
  withheld = false;
  Copy(std::move(text), std::move(picture), std::move(rich));
  return true;
}

void FakeHost::LetPendingEventsRun() {
  log.push_back("pending");
  if (on_pending) on_pending();
}

TextRead FakeHost::ReadText() {
  if (locked || withheld) return {locked ? ReadStatus::Locked : ReadStatus::Withheld, {}, {}};
  return {ReadStatus::Ok, clip_text.value_or(u""), clip_rich};
}

PictureRead FakeHost::ReadPicture() {
  if (locked || withheld) return {locked ? ReadStatus::Locked : ReadStatus::Withheld, {}};
  return {ReadStatus::Ok, clip_picture};
}

Picture FakeHost::CaptureScreen() {
  log.push_back(main_visible ? "capture-with-window" : "capture");
  return screen_pixels ? screen_pixels : MakePicture(1280, 800, 0xFF808080);
}

void FakeHost::MessageBox(std::u16string_view prompt, MessageKind kind) {
  boxes.emplace_back(prompt);
  log.push_back(std::string(kind == MessageKind::Error ? "error:" : "box:") + Utf8(prompt));
  if (on_box) on_box(prompt);
}

FileResult FakeHost::TakeName(std::u16string_view name) const {
  if (fail_writes) return {FileResult::Failed, *fail_writes};
  const std::u16string key(name);
  return {files.count(key) || bitmaps.count(key) ? FileResult::Exists : FileResult::Written, {}};
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
  if (c == u'中' || c == u'文') return -20000 - c % 1000;
  return c < 0x80 ? c : '?';
}

std::optional<std::string> FakeHost::ToAnsi(std::u16string_view text) const {
  std::string out;
  for (char16_t c : text) {
    if (c >= 0x80) return std::nullopt;
    out += static_cast<char>(c);
  }
  return out;
}

}  // namespace pw::test
