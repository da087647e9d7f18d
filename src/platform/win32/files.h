// Files in the current directory, the ANSI code page, and the local time.
#pragma once

#include "platform/host.h"

namespace pw::win32 {

class Win32Files final : public Files {
 public:
  FileResult WriteBytes(std::u16string_view name, std::string_view bytes) override;
  FileResult SaveBitmap(std::u16string_view name, const Picture& picture) override;
  int AnsiCode(char16_t c) const override;
  std::optional<std::string> ToAnsi(std::u16string_view text) const override;
};

class Win32Clock final : public Clock {
 public:
  LocalTime Now() const override;
};

}  // namespace pw::win32
