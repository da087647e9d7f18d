#include "platform/win32/files.h"

namespace pw::win32 {

// Placeholders until the real file layer lands.
FileResult Win32Files::WriteBytes(std::u16string_view, std::string_view) {
  return {false, u"not written yet"};
}
FileResult Win32Files::SaveBitmap(std::u16string_view, const Picture&) {
  return {false, u"not written yet"};
}
int Win32Files::AnsiCode(char16_t c) const { return c < 0x80 ? c : '?'; }
std::optional<std::string> Win32Files::ToAnsi(std::u16string_view) const { return std::nullopt; }
LocalTime Win32Clock::Now() const { return {}; }

}  // namespace pw::win32
