// Writing a new file into the current folder without replacing any, and
// telling the user where it went.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "platform/host.h"

namespace pw {

// The file's name: base + extension, or, when that is taken, the first free
// base(2) + extension, base(3) + extension, ...
std::u16string NumberedName(std::u16string_view base, int number, std::u16string_view extension);

// Writes the file under the first free name by `write` (which must not
// replace a file) and says so: "File saved ..." alone under the plain name,
// with the name on a second line under a numbered one, or why it failed.
void SaveUnderFreeName(Host& host, std::u16string_view base, std::u16string_view extension,
                       const std::function<FileResult(std::u16string_view name)>& write);

}  // namespace pw
