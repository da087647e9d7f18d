// Owners for the few Win32 resources pwhostile uses, and the clipboard as a
// scope. Each releases what it holds in its destructor and never copies.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstddef>
#include <utility>

namespace pwhostile {

class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(HANDLE h) : h_(h) {}
  ~UniqueHandle() {
    if (h_) ::CloseHandle(h_);
  }
  UniqueHandle(UniqueHandle&& o) noexcept : h_(std::exchange(o.h_, nullptr)) {}
  UniqueHandle& operator=(UniqueHandle&& o) noexcept {
    std::swap(h_, o.h_);
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  HANDLE get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }

 private:
  HANDLE h_ = nullptr;
};

// Moveable global memory until it is handed to the clipboard.
class UniqueGlobal {
 public:
  explicit UniqueGlobal(std::size_t size) : h_(::GlobalAlloc(GMEM_MOVEABLE, size)) {}
  ~UniqueGlobal() {
    if (h_) ::GlobalFree(h_);
  }
  UniqueGlobal(const UniqueGlobal&) = delete;
  UniqueGlobal& operator=(const UniqueGlobal&) = delete;

  HGLOBAL get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }
  HGLOBAL release() { return std::exchange(h_, nullptr); }

 private:
  HGLOBAL h_;
};

class GlobalLockScope {
 public:
  explicit GlobalLockScope(HGLOBAL h) : h_(h), p_(h ? ::GlobalLock(h) : nullptr) {}
  ~GlobalLockScope() {
    if (p_) ::GlobalUnlock(h_);
  }
  GlobalLockScope(const GlobalLockScope&) = delete;
  GlobalLockScope& operator=(const GlobalLockScope&) = delete;

  void* get() const { return p_; }

 private:
  HGLOBAL h_;
  void* p_;
};

// The clipboard, open for the scope. Opening is retried for a bounded time,
// because other programs (the program under test among them) open it briefly.
class ClipboardScope {
 public:
  ClipboardScope(HWND owner, DWORD patience_ms) {
    const ULONGLONG deadline = ::GetTickCount64() + patience_ms;
    while (!(opened_ = ::OpenClipboard(owner) != FALSE) && ::GetTickCount64() < deadline) {
      ::Sleep(kRetryMs);
    }
  }
  ~ClipboardScope() {
    if (opened_) ::CloseClipboard();
  }
  ClipboardScope(const ClipboardScope&) = delete;
  ClipboardScope& operator=(const ClipboardScope&) = delete;

  bool opened() const { return opened_; }
  // Closes now rather than at the end of the scope; returns what
  // CloseClipboard returned.
  bool Close() {
    if (!opened_) return false;
    opened_ = false;
    return ::CloseClipboard() != FALSE;
  }

 private:
  static constexpr DWORD kRetryMs = 5;
  bool opened_ = false;
};

}  // namespace pwhostile
