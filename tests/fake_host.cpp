#include "fake_host.h"

#include <algorithm>
#include <cstdio>

#include "platform/text.h"

namespace pw::test {

std::string Utf8(std::u16string_view s) { return ToUtf8(s); }

namespace {
std::string Name(ControlId id) {
  return std::string(FamilyName(id.family)) + (id.index ? std::to_string(id.index) : "");
}
}  // namespace

FakeHost::FakeHost() { loaded.insert(MainForm); }

void FakeHost::Start() {
  loaded.erase(MainForm);
  Show(MainForm);
}

void FakeHost::UserCloses(ControlId form) {
  events_->QueryUnload(form);
  events_->Unload(form);
  loaded.erase(form);
}

// --- other programs' clipboard writes --------------------------------------

void FakeHost::CopyText(std::u16string text) {
  clip_text = std::move(text);
  clip_picture = Picture();
  clipboard_withheld = false;
  NotifyViewers();
}

void FakeHost::CopyPicture(Picture picture) {
  clip_text.reset();
  clip_picture = std::move(picture);
  clipboard_withheld = false;
  NotifyViewers();
}

void FakeHost::CopyTextAndPicture(std::u16string text, Picture picture) {
  clip_text = std::move(text);
  clip_picture = std::move(picture);
  clipboard_withheld = false;
  NotifyViewers();
}

void FakeHost::CopyNothingReadable() {
  clip_text.reset();
  clip_picture = Picture();
  clipboard_withheld = false;
  NotifyViewers();
}

void FakeHost::NotifyViewers() {
  ++sequence;
  if (in_chain) Deliver(wm::kDrawClipboard);
}

std::intptr_t FakeHost::Deliver(std::uint32_t msg, std::uintptr_t wparam, std::intptr_t lparam) {
  if (installed_proc != nullptr) return installed_proc->Call(Handle(MainForm), msg, wparam, lparam);
  return CallWindowProc(current_proc, Handle(MainForm), msg, wparam, lparam);
}

// --- Forms -----------------------------------------------------------------

void FakeHost::SetCaption(ControlId id, std::u16string_view caption) {
  controls_[id].caption = caption;
}

std::u16string FakeHost::Caption(ControlId id) const {
  auto it = controls_.find(id);
  return it == controls_.end() ? std::u16string() : it->second.caption;
}

void FakeHost::SetText(ControlId id, std::u16string_view text) { controls_[id].text = text; }

void FakeHost::SetToolTip(ControlId id, std::u16string_view tip) { controls_[id].tooltip = tip; }

void FakeHost::SetVisible(ControlId id, bool visible) {
  controls_[id].visible = visible;
  log.push_back((visible ? "show:" : "hide:") + Name(id));
}

void FakeHost::SetEnabled(ControlId id, bool enabled) { controls_[id].enabled = enabled; }

void FakeHost::SetChecked(ControlId id, bool checked) { controls_[id].checked = checked; }

void FakeHost::SetPicture(ControlId id, Picture picture) {
  controls_[id].picture = std::move(picture);
}

Picture FakeHost::GetPicture(ControlId id) const {
  auto it = controls_.find(id);
  return it == controls_.end() ? Picture() : it->second.picture;
}

void FakeHost::SetStretch(ControlId id, bool stretch) { controls_[id].stretch = stretch; }

SizeTwips FakeHost::Size(ControlId id) const {
  switch (id.family) {
    case Family::MainForm: return main_outer;
    case Family::ClipShow: return {1935, 325};
    case Family::simg: return {975, 855};
    default: return {255, 255};
  }
}

SizeTwips FakeHost::ClientSize(ControlId form) const {
  return form == MainForm ? main_client : Size(form);
}

void FakeHost::Move(ControlId form, std::int32_t left, std::int32_t top) {
  if (form == MainForm) {
    main_left = left;
    main_top = top;
  }
}

WindowHandle FakeHost::Handle(ControlId id) const {
  return static_cast<WindowHandle>(NumericId(id));
}

void FakeHost::Show(ControlId form) {
  if (!Loaded(form)) {
    loaded.insert(form);
    events_->Load(form);
  } else {
    ++bring_to_front;
  }
  controls_[form].visible = true;
  log.push_back("show:" + Name(form));
}

void FakeHost::Unload(ControlId form) {
  if (!Loaded(form)) return;
  events_->Unload(form);
  loaded.erase(form);
  controls_.erase(form);
  log.push_back("unload:" + Name(form));
}

void FakeHost::ShowOverlay(ControlId form, Picture frozen) {
  loaded.insert(form);
  overlay_picture = std::move(frozen);
  outlines.clear();
  outline_shown = false;
  log.push_back("overlay:" + Name(form));
}

void FakeHost::DrawOutline(ControlId, float x1, float y1, float x2, float y2) {
  outlines.push_back({x1, y1, x2, y2});
  outline_shown = true;
}

void FakeHost::ClearOutline(ControlId) { outline_shown = false; }

void FakeHost::DoEvents() {
  log.push_back("doevents");
  if (on_do_events) on_do_events();
}

void FakeHost::EndProgram() {
  ended = true;
  log.push_back("end");
}

// --- Clipboard -------------------------------------------------------------

TextRead FakeHost::ReadText() {
  if (clipboard_locked) return {ClipStatus::Locked, {}};
  if (clipboard_withheld) return {ClipStatus::Withheld, {}};
  return {ClipStatus::Ok, clip_text.value_or(u"")};
}

PictureRead FakeHost::ReadPicture() {
  if (clipboard_locked) return {ClipStatus::Locked, {}};
  if (clipboard_withheld) return {ClipStatus::Withheld, {}};
  return {ClipStatus::Ok, clip_picture};
}

bool FakeHost::Clear() {
  log.push_back("clip.clear");
  if (clipboard_locked) return false;
  clip_text.reset();
  clip_picture = Picture();
  clipboard_withheld = false;
  ++clipboard_writes;
  NotifyViewers();
  return true;
}

bool FakeHost::SetText(std::u16string_view text) {
  log.push_back("clip.text:" + Utf8(text));
  if (clipboard_locked) return false;
  clip_text = std::u16string(text);
  clip_picture = Picture();
  ++clipboard_writes;
  NotifyViewers();
  return true;
}

bool FakeHost::SetPicture(const Picture& picture) {
  log.push_back("clip.picture");
  if (clipboard_locked) return false;
  clip_text.reset();
  clip_picture = picture;
  ++clipboard_writes;
  NotifyViewers();
  return true;
}

// --- Dialogs, Files ----------------------------------------------------------

void FakeHost::MessageBox(std::u16string_view prompt, MessageKind kind) {
  log.push_back("box:" + Utf8(prompt));
  messages.push_back({std::u16string(prompt), kind});
  if (on_message_box) on_message_box(prompt);
}

FileResult FakeHost::WriteBytes(std::u16string_view name, std::string_view bytes) {
  log.push_back("write:" + Utf8(name));
  if (fail_next_write) {
    FileResult failed{false, *fail_next_write};
    fail_next_write.reset();
    return failed;
  }
  files[std::u16string(name)] = std::string(bytes);
  return {};
}

FileResult FakeHost::SaveBitmap(std::u16string_view name, const Picture& picture) {
  log.push_back("save:" + Utf8(name));
  if (fail_next_write) {
    FileResult failed{false, *fail_next_write};
    fail_next_write.reset();
    return failed;
  }
  saved_bitmaps[std::u16string(name)] = picture;
  return {};
}

int FakeHost::AnsiCode(char16_t c) const {
  if (c < 0x80) return c;
  if (double_byte_chars.count(c)) return -static_cast<int>(0x4000 + (c & 0x3FFF));
  return '?';
}

std::optional<std::string> FakeHost::ToAnsi(std::u16string_view text) const {
  std::string out;
  for (char16_t c : text) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (double_byte_chars.count(c)) {
      out += static_cast<char>(0x80 | ((c >> 8) & 0x7F));
      out += static_cast<char>(c & 0xFF);
    } else {
      return std::nullopt;
    }
  }
  return out;
}

// --- WinApi ----------------------------------------------------------------

WndProcRef FakeHost::SetWindowProc(WindowHandle, WindowProcedure& proc) {
  installed_proc = &proc;
  WndProcRef old = current_proc;
  current_proc = 0xBEEF;
  return old;
}

WndProcRef FakeHost::RestoreWindowProc(WindowHandle, WndProcRef old_proc) {
  installed_proc = nullptr;
  WndProcRef previous = current_proc;
  current_proc = old_proc;
  log.push_back("restore-proc");
  return previous;
}

std::intptr_t FakeHost::CallWindowProc(WndProcRef proc, WindowHandle, std::uint32_t msg,
                                       std::uintptr_t, std::intptr_t) {
  if (proc == kOriginalProc) default_proc_messages.push_back(msg);
  return 0;
}

WindowHandle FakeHost::SetClipboardViewer(WindowHandle) {
  in_chain = true;
  log.push_back("join-chain");
  // The system tells a joining viewer at once what the clipboard holds.
  Deliver(wm::kDrawClipboard);
  return next_viewer;
}

bool FakeHost::ChangeClipboardChain(WindowHandle, WindowHandle next) {
  in_chain = false;
  log.push_back("leave-chain:" + std::to_string(next));
  return true;
}

std::intptr_t FakeHost::SendMessage(WindowHandle to, std::uint32_t msg, std::uintptr_t wparam,
                                    std::intptr_t lparam) {
  sent.push_back(std::to_string(to) + ":" + std::to_string(msg) + ":" + std::to_string(wparam) +
                 ":" + std::to_string(lparam));
  return 0;
}

void FakeHost::SetTopMost(WindowHandle) { topmost = true; }

void FakeHost::ShowRestore(WindowHandle) {
  controls_[MainForm].visible = true;
  log.push_back("restore");
}

void FakeHost::SetCapture(WindowHandle hwnd) { captured = hwnd; }

void FakeHost::ReleaseCapture() { captured = 0; }

DeviceContext FakeHost::GetScreenDC() {
  DeviceContext dc = static_cast<DeviceContext>(0x500 + ++dcs_taken);
  held_dcs.insert(dc);
  log.push_back("getdc");
  return dc;
}

void FakeHost::ReleaseScreenDC(DeviceContext dc) {
  held_dcs.erase(dc);
  log.push_back("releasedc");
}

Picture FakeHost::CopyScreen(DeviceContext dc, std::int32_t x, std::int32_t y, std::int32_t width,
                             std::int32_t height) {
  log.push_back("copyscreen");
  if (!held_dcs.count(dc) || width < 1 || height < 1) return Picture();
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height, 0xFF808080);
  if (!screen_pixels.empty()) {
    const Bitmap& src = screen_pixels.bitmap();
    for (int row = 0; row < height; ++row) {
      for (int col = 0; col < width; ++col) {
        const int sx = x + col, sy = y + row;
        if (sx >= 0 && sy >= 0 && sx < src.width() && sy < src.height()) {
          pixels[static_cast<std::size_t>(row) * width + col] = src.at(sx, sy);
        }
      }
    }
  }
  return Picture::FromPixels(width, height, std::move(pixels));
}

bool FakeHost::ShellNotifyIcon(NotifyIconMessage message, const TrayIconData& data) {
  tray_calls.emplace_back(message, data);
  auto same = [&](const TrayIconData& icon) { return icon.hwnd == data.hwnd && icon.id == data.id; };
  auto it = std::find_if(tray_icons.begin(), tray_icons.end(), same);
  if (message == NotifyIconMessage::Add) {
    if (it != tray_icons.end()) return false;  // the shell refuses a duplicate
    tray_icons.push_back(data);
    return true;
  }
  if (it == tray_icons.end()) return false;
  tray_icons.erase(it);
  return true;
}

std::uintptr_t FakeHost::WindowIcon(WindowHandle) const { return 0x1C0; }

Picture MakePicture(int width, int height, std::uint32_t tag) {
  return Picture::FromPixels(width, height,
                             std::vector<std::uint32_t>(static_cast<std::size_t>(width) * height, tag));
}

}  // namespace pw::test
