#include "platform/win32/system_clipboard.h"

#include <chrono>
#include <cstring>
#include <limits>
#include <new>
#include <vector>

#include "platform/dib.h"
#include "platform/win32/surface.h"
#include "platform/win32/wic.h"

namespace pw::win32 {

OpenClipboardScope::OpenClipboardScope(HWND owner, const ClipboardRetry& retry) {
  const auto start = std::chrono::steady_clock::now();
  const auto budget = std::chrono::milliseconds(retry.budget_ms);
  const auto pause = std::chrono::milliseconds(retry.pause_ms);
  for (int attempt = 1; attempt <= retry.tries; ++attempt) {
    if (::OpenClipboard(owner)) {
      opened_ = true;
      return;
    }
    if (attempt == retry.tries || std::chrono::steady_clock::now() + pause - start > budget) return;
    if (retry.on_busy) retry.on_busy(attempt);
    ::Sleep(retry.pause_ms);
  }
}

OpenClipboardScope::~OpenClipboardScope() {
  if (opened_) ::CloseClipboard();
}

namespace {

UINT Registered(const wchar_t* name) { return ::RegisterClipboardFormatW(name); }

// Formats by which owners ask clipboard monitors to leave their content
// alone (passwords and the like).
bool ContentWithheld() {
  static const UINT exclude = Registered(L"ExcludeClipboardContentFromMonitorProcessing");
  static const UINT ignore = Registered(L"Clipboard Viewer Ignore");
  static const UINT history = Registered(L"CanIncludeInClipboardHistory");
  if ((exclude && ::IsClipboardFormatAvailable(exclude)) ||
      (ignore && ::IsClipboardFormatAvailable(ignore))) {
    return true;
  }
  if (history && ::IsClipboardFormatAvailable(history)) {
    GlobalLockScope<const std::uint8_t> lock(::GetClipboardData(history));
    DWORD allowed = 1;
    if (lock && lock.size() >= sizeof allowed) {
      std::memcpy(&allowed, lock.get(), sizeof allowed);
      return allowed == 0;
    }
  }
  return false;
}

// A read that found the clipboard held, or its content withheld.
template <typename Read>
Read Refusal(ReadStatus status) {
  Read read;
  read.status = status;
  return read;
}

UINT PngFormat() {
  static const UINT format = Registered(L"PNG");
  return format;
}

// A memory block on the open clipboard, decoded while it stays open.
template <typename Decode>
Picture DecodeFormat(UINT format, Decode&& decode) {
  GlobalLockScope<const std::uint8_t> lock(::GetClipboardData(format));
  if (!lock) return {};
  return decode(std::span<const std::uint8_t>(lock.get(), lock.size()));
}

// A DIB's rows, run-length encoded ones too, or the JPEG or PNG file it
// carries instead, read by that format's decoder alone.
Picture DecodeDib(std::span<const std::uint8_t> block) {
  const EmbeddedFile file = EmbeddedImage(block);
  if (file.kind == EmbeddedFile::Png) return DecodePng(file.bytes);
  if (file.kind == EmbeddedFile::Jpeg) return DecodeJpeg(file.bytes);
  return DecodePackedDib(block);
}

// The picture in the first of the formats the owner offered itself: the
// system lists those first, then the ones it makes up from them (the other
// DIB variant, a bitmap handle). From a damaged DIB it makes up damaged
// pictures, so those are not asked for when the owner's own one fails.
Picture ReadOpenClipboardPicture() {
  UINT own = 0;
  for (UINT format = ::EnumClipboardFormats(0); format && !own;
       format = ::EnumClipboardFormats(format)) {
    if (format == CF_DIB || format == CF_DIBV5 || format == CF_BITMAP) own = format;
  }
  if (own == CF_BITMAP) {
    if (Picture picture = PictureOfBitmap(static_cast<HBITMAP>(::GetClipboardData(CF_BITMAP)))) {
      return picture;
    }
  } else if (own) {
    if (Picture picture = DecodeFormat(own, DecodeDib)) return picture;
  }
  // Pictures from X11 and from browsers often come as PNG alone.
  if (PngFormat() && ::IsClipboardFormatAvailable(PngFormat())) {
    return DecodeFormat(PngFormat(), DecodePng);
  }
  return {};
}

UINT HtmlFormat() {
  static const UINT format = Registered(L"HTML Format");
  return format;
}

UINT RtfFormat() {
  static const UINT format = Registered(L"Rich Text Format");
  return format;
}

// A text format's bytes up to its first NUL, as its owner wrote them.
std::string BytesOfBlock(const GlobalLockScope<const std::uint8_t>& lock) {
  if (!lock) return {};
  const auto* begin = reinterpret_cast<const char*>(lock.get());
  return std::string(begin, ::strnlen(begin, lock.size()));
}

// The formatted versions of the text on the open clipboard, unless they are
// too large to keep: then they are not even copied.
RichText ReadOpenClipboardRichText() {
  const UINT html = HtmlFormat(), rtf = RtfFormat();
  GlobalLockScope<const std::uint8_t> html_lock(
      html && ::IsClipboardFormatAvailable(html) ? ::GetClipboardData(html) : nullptr);
  GlobalLockScope<const std::uint8_t> rtf_lock(
      rtf && ::IsClipboardFormatAvailable(rtf) ? ::GetClipboardData(rtf) : nullptr);
  if (html_lock.size() + rtf_lock.size() > kMaxRichTextBytes + 2) return {};
  return {BytesOfBlock(html_lock), BytesOfBlock(rtf_lock)};
}

// The characters before the first NUL, or all of them. Four at a time: one at a time took
// longer over a 10 MiB text than the system took to hand it over.
std::size_t TextLength(std::span<const std::uint8_t> block) {
  const std::size_t chars = block.size() / 2;
  std::size_t at = 0;
  for (; at + 4 <= chars; at += 4) {
    std::uint64_t four;
    std::memcpy(&four, block.data() + 2 * at, sizeof four);
    // Not zero exactly when one of the four is zero.
    if ((four - 0x0001000100010001u) & ~four & 0x8000800080008000u) break;
  }
  while (at < chars && (block[2 * at] | block[2 * at + 1]) != 0) ++at;
  return at;
}

// Measured first, then copied in one go: grown a character at a time, a 10 MiB text took
// longer to copy than the system took to hand it over.
std::u16string TextOfBlock(std::span<const std::uint8_t> block) {
  return std::u16string(reinterpret_cast<const char16_t*>(block.data()), TextLength(block));
}

// Moveable memory holding these bytes, ready to hand to the clipboard.
UniqueGlobal GlobalCopy(const void* data, std::size_t size, std::size_t zero_tail = 0) {
  UniqueGlobal memory(::GlobalAlloc(GMEM_MOVEABLE, size + zero_tail));
  if (!memory) return memory;
  GlobalLockScope<std::uint8_t> lock(memory.get());
  if (!lock) return UniqueGlobal();
  if (size) std::memcpy(lock.get(), data, size);
  if (zero_tail) std::memset(lock.get() + size, 0, zero_tail);
  return memory;
}

}  // namespace

bool SystemClipboard::HoldsOurPicture() const {
  return written_ && (closing_ || (written_sequence_ != 0 &&
                                   ::GetClipboardSequenceNumber() == written_sequence_));
}

TextRead SystemClipboard::ReadText() {
  if (HoldsOurPicture()) return {};  // no text, and no need to open a clipboard others may hold
  OpenClipboardScope scope(owner_, retry_);
  if (!scope.opened()) return Refusal<TextRead>(ReadStatus::Locked);
  if (ContentWithheld()) return Refusal<TextRead>(ReadStatus::Withheld);
  GlobalLockScope<const std::uint8_t> lock(::GetClipboardData(CF_UNICODETEXT));
  if (!lock) return {};
  std::u16string text = TextOfBlock(std::span(lock.get(), lock.size()));
  RichText rich = text.size() >= 2 ? ReadOpenClipboardRichText() : RichText();
  return {ReadStatus::Ok, std::move(text), std::move(rich)};
}

PictureRead SystemClipboard::ReadPicture() {
  // Our own picture, still untouched: the same object, without decoding it.
  if (HoldsOurPicture()) return {ReadStatus::Ok, written_};
  PictureRead read;
  {
    OpenClipboardScope scope(owner_, retry_);
    if (!scope.opened()) return Refusal<PictureRead>(ReadStatus::Locked);
    if (ContentWithheld()) return Refusal<PictureRead>(ReadStatus::Withheld);
    WaitCursorScope busy;
    read.picture = ReadOpenClipboardPicture();
  }
  // Wine keeps a copy of each block this process read until it next opens
  // the clipboard: for a large picture, as much memory again as its pixels.
  OpenClipboardScope let_go(owner_, {.tries = 1});
  return read;
}

bool SystemClipboard::Clear() {
  OpenClipboardScope scope(owner_, retry_);
  if (!scope.opened() || !::EmptyClipboard()) return false;
  written_ = {};
  return true;
}

bool SystemClipboard::PutText(std::u16string_view text, const RichText& rich) {
  if (text.size() >= std::numeric_limits<std::size_t>::max() / sizeof(char16_t)) return false;
  UniqueGlobal memory = GlobalCopy(text.data(), text.size() * sizeof(char16_t), sizeof(char16_t));
  if (!memory) return false;
  // The formatted versions go in the same write, each ending in its NUL.
  const std::pair<UINT, const std::string*> formatted[] = {{HtmlFormat(), &rich.html},
                                                           {RtfFormat(), &rich.rtf}};
  UniqueGlobal blocks[2];
  for (int i = 0; i < 2; ++i) {
    const std::string& bytes = *formatted[i].second;
    if (!bytes.empty() && !(blocks[i] = GlobalCopy(bytes.data(), bytes.size(), 1))) return false;
  }
  OpenClipboardScope scope(owner_, retry_);
  if (!scope.opened() || !::EmptyClipboard()) return false;
  written_ = {};
  if (!::SetClipboardData(CF_UNICODETEXT, memory.get())) return false;
  memory.release();  // the clipboard owns it now
  for (int i = 0; i < 2; ++i) {
    if (blocks[i] && ::SetClipboardData(formatted[i].first, blocks[i].get())) blocks[i].release();
  }
  return true;
}

bool SystemClipboard::PutPicture(const Picture& picture) {
  if (picture.empty()) return Clear();
  // The DIB is made before the clipboard is opened, so that a failure leaves
  // it as it was; it is the one copy of the pixels a put makes.
  UniqueGlobal dib;
  {
    WaitCursorScope busy;
    dib.reset(::GlobalAlloc(GMEM_MOVEABLE, PackedDibSize(picture.bitmap())));
    GlobalLockScope<std::uint8_t> lock(dib.get());
    if (!lock) return false;
    EncodePackedDib(picture.bitmap(), std::span(lock.get(), PackedDibSize(picture.bitmap())));
  }
  {
    OpenClipboardScope scope(owner_, retry_);
    if (!scope.opened() || !::EmptyClipboard()) return false;
    written_ = {};
    if (!::SetClipboardData(CF_DIB, dib.get())) return false;
    dib.release();
    // Encoding a large picture as PNG takes seconds: it is made only for a
    // program that asks for it (Render). The offer returns no handle either way.
    if (PngFormat()) ::SetClipboardData(PngFormat(), nullptr);
    png_pending_ = PngFormat() && ::IsClipboardFormatAvailable(PngFormat());
    // Closing the clipboard notifies the viewers, our own window among
    // them, which reads the clipboard before the close has returned.
    written_ = picture;
    closing_ = true;
  }
  closing_ = false;
  // The number the clipboard has now that it is closed (the close itself
  // may have counted).
  written_sequence_ = ::GetClipboardSequenceNumber();
  return true;
}

bool SystemClipboard::HandleOwnerMessage(UINT msg, WPARAM wparam) {
  switch (msg) {
    case WM_RENDERFORMAT:  // another program reads the clipboard, open for it
      if (wparam == PngFormat()) Render();
      return true;
    case WM_RENDERALLFORMATS: {  // our window goes: the PNG must not go with it
      if (!png_pending_) return true;
      OpenClipboardScope scope(owner_, retry_);
      if (scope.opened() && ::GetClipboardOwner() == owner_) Render();
      return true;
    }
    case WM_DESTROYCLIPBOARD:  // another content replaces ours: nothing is left to render
      written_ = {};
      written_sequence_ = 0;
      return true;
    default:
      return false;
  }
}

void SystemClipboard::Render() {
  if (!written_ || !png_pending_) return;
  WaitCursorScope busy;
  EncodedFile png = EncodeFile(written_.bitmap(), ImageFile::Png);
  if (png.memory && ::SetClipboardData(PngFormat(), png.memory.get())) {
    png.memory.release();
    png_pending_ = false;
  }
}

}  // namespace pw::win32
