// Test pictures, and the clipboard and windows as other programs use them.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/dib.h"
#include "platform/picture.h"
#include "platform/win32/handles.h"
#include "platform/win32/system_clipboard.h"
#include "platform/win32/wic.h"

namespace pw::win32 {

// Neighbouring pixels differ in every colour; with `alpha`, in alpha too.
inline Picture Pattern(int width, int height, bool alpha = false, double dpi = 96.0) {
  std::vector<std::uint32_t> pixels;
  for (std::uint32_t y = 0; y < static_cast<std::uint32_t>(height); ++y) {
    for (std::uint32_t x = 0; x < static_cast<std::uint32_t>(width); ++x) {
      pixels.push_back((alpha ? (x * 29 + y * 17) & 0xFF : 0xFF) << 24 | (x * 37 + y * 11) % 256 << 16 |
                       (x * 7 + y * 53) % 256 << 8 | (x * y + 3 * x + 200) % 256);
    }
  }
  return Picture::FromPixels(width, height, std::move(pixels), dpi, dpi);
}

inline bool SamePixels(const Picture& a, const Picture& b) {
  return !a.empty() && !b.empty() && a.bitmap().width() == b.bitmap().width() &&
         a.bitmap().pixels() == b.bitmap().pixels();
}

inline UINT PngFormat() { return ::RegisterClipboardFormatW(L"PNG"); }

inline UniqueWindow HiddenWindow() {
  return UniqueWindow(::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                        nullptr, nullptr));
}

using Formats = std::vector<std::pair<UINT, std::vector<std::uint8_t>>>;

// The clipboard holds exactly these afterwards, written as another program would.
inline bool PutOnClipboard(HWND owner, const Formats& formats) {
  if (!::OpenClipboard(owner)) return false;
  bool ok = ::EmptyClipboard() != FALSE;
  for (const auto& [format, bytes] : formats) {
    UniqueGlobal memory(::GlobalAlloc(GMEM_MOVEABLE, bytes.size()));
    if (GlobalLockScope<std::uint8_t> lock(memory.get()); lock && !bytes.empty()) {
      std::memcpy(lock.get(), bytes.data(), bytes.size());
    }
    ok = ok && memory && ::SetClipboardData(format, memory.get()) && memory.release();
  }
  return ::CloseClipboard() && ok;
}

}  // namespace pw::win32
