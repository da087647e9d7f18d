// Files in the current folder, the ANSI code page, and the local time.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/host.h"

namespace pw::win32 {

// A new file of exactly these bytes. A file of the name that exists already
// is left alone (Exists); a file that could not be written whole is
// deleted again (Failed, with the system's words for why).
FileResult WriteNewFile(std::u16string_view name, std::string_view bytes);
// The whole picture at its own size as a new 24-bit Windows bitmap file.
FileResult SaveNewBitmap(std::u16string_view name, const Picture& picture);

int AnsiCode(char16_t c);
std::optional<std::string> ToAnsi(std::u16string_view text);
LocalTime Now();

}  // namespace pw::win32
