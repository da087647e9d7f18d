// Writing a text row to a .txt or .doc file named after its caption.
#pragma once

#include <string>
#include <string_view>

#include "capture/clip_store.h"

namespace pw {

// The file's base name: the caption's ASCII letters and digits and the
// characters the ANSI code page writes in two bytes, in order. A name that
// Windows reserves for a device gets a "_" so that it names a file.
std::u16string ExportBaseName(const Host& host, std::u16string_view caption);

// The file's bytes: the text and one CRLF, in the ANSI code page when every
// character survives it, otherwise UTF-8 with a byte-order mark.
std::string ExportFileBytes(const Host& host, std::u16string_view text);

// Writes slot `slot` (0-9) to a new file named from its caption and
// `extension` in the current folder, and says where it went.
void ExportTextSlot(Host& host, const ClipStore& store, int slot, std::u16string_view extension);

}  // namespace pw
