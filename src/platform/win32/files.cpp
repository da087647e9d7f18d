#include "platform/win32/files.h"

#include <cstdint>
#include <iterator>
#include <limits>
#include <vector>

#include "platform/win32/handles.h"
#include "platform/win32/wic.h"

namespace pw::win32 {
namespace {

// Windows' own words for an error code, without the trailing line break.
std::u16string DescribeError(DWORD error) {
  wchar_t buffer[512];
  DWORD length = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, error, 0, buffer, static_cast<DWORD>(std::size(buffer)),
                                  nullptr);
  while (length > 0 && (buffer[length - 1] == L'\r' || buffer[length - 1] == L'\n' ||
                        buffer[length - 1] == L' ')) {
    --length;
  }
  if (length == 0) {
    const std::string code = "Windows error " + std::to_string(error) + ".";
    return std::u16string(code.begin(), code.end());
  }
  return std::u16string(reinterpret_cast<const char16_t*>(buffer), length);
}

FileResult Failure(DWORD error) { return {FileResult::Failed, DescribeError(error)}; }

// The conversion settings for the system's ANSI code page. When that page is
// UTF-8 the calls take neither the best-fit flag nor a default-character
// report; a character that cannot be written makes them fail instead.
struct AnsiConversion {
  bool utf8 = ::GetACP() == CP_UTF8;
  UINT page = utf8 ? CP_UTF8 : CP_ACP;
  DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
  BOOL used_default = FALSE;
  BOOL* report() { return utf8 ? nullptr : &used_default; }
};

}  // namespace

FileResult WriteNewFile(std::u16string_view name, std::string_view bytes) {
  const std::wstring path(name.begin(), name.end());
  UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    const DWORD error = ::GetLastError();
    if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) {
      return {FileResult::Exists, DescribeError(error)};
    }
    return Failure(error);
  }
  // From here on the file is ours and incomplete until every step succeeded:
  // a partial file would look like a good one, so it goes.
  auto give_up = [&](DWORD error) {
    file.reset();
    ::DeleteFileW(path.c_str());
    return Failure(error);
  };
  const char* data = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    constexpr std::size_t kMostPerCall = std::numeric_limits<DWORD>::max() / 2;
    const auto chunk = static_cast<DWORD>(left < kMostPerCall ? left : kMostPerCall);
    DWORD written = 0;
    if (!::WriteFile(file.get(), data, chunk, &written, nullptr)) return give_up(::GetLastError());
    if (written == 0) return give_up(ERROR_WRITE_FAULT);
    data += written;
    left -= written;
  }
  if (!::FlushFileBuffers(file.get())) return give_up(::GetLastError());
  if (!::CloseHandle(file.release())) {
    const DWORD error = ::GetLastError();
    ::DeleteFileW(path.c_str());
    return Failure(error);
  }
  return {};
}

FileResult SaveNewBitmap(std::u16string_view name, const Picture& picture) {
  if (picture.empty()) return {FileResult::Failed, u"There is no picture to save."};
  WaitCursorScope busy;
  const EncodedFile file = EncodeFile(picture.bitmap(), ImageFile::Bmp);
  GlobalLockScope<const char> bytes(file.memory.get());
  if (!bytes || bytes.size() < file.size) {
    return {FileResult::Failed, u"The picture could not be converted to a bitmap file."};
  }
  return WriteNewFile(name, std::string_view(bytes.get(), file.size));
}

int AnsiCode(char16_t c) {
  const wchar_t wide = static_cast<wchar_t>(c);
  char bytes[4] = {};
  AnsiConversion ansi;
  const int n = ::WideCharToMultiByte(ansi.page, ansi.flags, &wide, 1, bytes,
                                      static_cast<int>(sizeof bytes), nullptr, ansi.report());
  // A lone surrogate or a character the code page lacks counts as "?".
  if (n <= 0 || ansi.used_default) return '?';
  const auto byte = [&](int i) { return static_cast<unsigned char>(bytes[i]); };
  if (n == 1) return byte(0);
  // Two bytes, lead byte high, as one signed 16-bit number.
  if (n == 2) return static_cast<std::int16_t>(static_cast<std::uint16_t>((byte(0) << 8) | byte(1)));
  return '?';  // three-byte UTF-8: neither a single- nor a double-byte code
}

std::optional<std::string> ToAnsi(std::u16string_view text) {
  if (text.empty()) return std::string();
  if (text.size() > static_cast<std::size_t>(std::numeric_limits<int>::max() / 4)) {
    return std::nullopt;
  }
  const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
  const int length = static_cast<int>(text.size());
  AnsiConversion ansi;
  const int size =
      ::WideCharToMultiByte(ansi.page, ansi.flags, wide, length, nullptr, 0, nullptr, ansi.report());
  if (size <= 0 || ansi.used_default) return std::nullopt;
  std::string out(static_cast<std::size_t>(size), '\0');
  if (::WideCharToMultiByte(ansi.page, ansi.flags, wide, length, out.data(), size, nullptr,
                            ansi.report()) != size ||
      ansi.used_default) {
    return std::nullopt;
  }
  return out;
}

LocalTime Now() {
  SYSTEMTIME t{};
  ::GetLocalTime(&t);
  return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

}  // namespace pw::win32
