#include "platform/win32/clipboard.h"

namespace pw::win32 {

// Placeholder until the real clipboard lands.
TextRead Win32Clipboard::ReadText() { return {ClipStatus::Locked, {}}; }
PictureRead Win32Clipboard::ReadPicture() { return {ClipStatus::Locked, {}}; }
bool Win32Clipboard::Clear() { return false; }
bool Win32Clipboard::SetText(std::u16string_view) { return false; }
bool Win32Clipboard::SetPicture(const Picture&) { return false; }

}  // namespace pw::win32
