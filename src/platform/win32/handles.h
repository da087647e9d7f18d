// Small owners for Win32 handles: each releases its handle in its destructor,
// moves but never copies, and hands the raw handle out only for calls.
#pragma once

#include <utility>

#include "platform/win32/system_headers.h"

namespace pw::win32 {

template <typename H, typename Traits>
class Owned {
 public:
  Owned() = default;
  explicit Owned(H h) : h_(h) {}
  ~Owned() { reset(); }
  Owned(Owned&& o) noexcept : h_(std::exchange(o.h_, Traits::invalid())) {}
  Owned& operator=(Owned&& o) noexcept {
    if (this != &o) {
      reset();
      h_ = std::exchange(o.h_, Traits::invalid());
    }
    return *this;
  }
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;

  H get() const { return h_; }
  explicit operator bool() const { return h_ != Traits::invalid(); }
  H release() { return std::exchange(h_, Traits::invalid()); }
  void reset(H h = Traits::invalid()) {
    if (h_ != Traits::invalid()) Traits::close(h_);
    h_ = h;
  }

 private:
  H h_ = Traits::invalid();
};

struct KernelHandleTraits {
  static HANDLE invalid() { return nullptr; }
  static void close(HANDLE h) { ::CloseHandle(h); }
};
struct FileHandleTraits {
  static HANDLE invalid() { return INVALID_HANDLE_VALUE; }
  static void close(HANDLE h) { ::CloseHandle(h); }
};
template <typename T>
struct GdiObjectTraits {
  static T invalid() { return nullptr; }
  static void close(T h) { ::DeleteObject(h); }
};
struct MemoryDcTraits {
  static HDC invalid() { return nullptr; }
  static void close(HDC h) { ::DeleteDC(h); }
};
struct IconTraits {
  static HICON invalid() { return nullptr; }
  static void close(HICON h) { ::DestroyIcon(h); }
};
struct GlobalTraits {
  static HGLOBAL invalid() { return nullptr; }
  static void close(HGLOBAL h) { ::GlobalFree(h); }
};
struct WindowTraits {
  static HWND invalid() { return nullptr; }
  static void close(HWND h) { ::DestroyWindow(h); }
};

using UniqueHandle = Owned<HANDLE, KernelHandleTraits>;
using UniqueFile = Owned<HANDLE, FileHandleTraits>;
using UniqueBitmap = Owned<HBITMAP, GdiObjectTraits<HBITMAP>>;
using UniqueBrush = Owned<HBRUSH, GdiObjectTraits<HBRUSH>>;
using UniqueFont = Owned<HFONT, GdiObjectTraits<HFONT>>;
using UniqueMemoryDc = Owned<HDC, MemoryDcTraits>;
using UniqueIcon = Owned<HICON, IconTraits>;
// Global memory not (or no longer) handed to the clipboard.
using UniqueGlobal = Owned<HGLOBAL, GlobalTraits>;
// A window without a C++ object behind it (tool tips, the hidden owner).
using UniqueWindow = Owned<HWND, WindowTraits>;

// A window's device context from GetDC (the screen's for no window),
// released with ReleaseDC.
class WindowDc {
 public:
  explicit WindowDc(HWND hwnd) : hwnd_(hwnd), dc_(::GetDC(hwnd)) {}
  ~WindowDc() {
    if (dc_) ::ReleaseDC(hwnd_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HWND hwnd_;
  HDC dc_;
};

// Selects an object into a DC for the scope and puts the previous one back.
class SelectScope {
 public:
  SelectScope(HDC dc, HGDIOBJ obj) : dc_(dc), old_(::SelectObject(dc, obj)) {}
  ~SelectScope() {
    if (old_ && old_ != HGDI_ERROR) ::SelectObject(dc_, old_);
  }
  SelectScope(const SelectScope&) = delete;
  SelectScope& operator=(const SelectScope&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// The wait cursor for the scope: long picture work runs on the thread that
// would otherwise answer the pointer.
class WaitCursorScope {
 public:
  WaitCursorScope() : previous_(::SetCursor(::LoadCursorW(nullptr, IDC_WAIT))) {}
  ~WaitCursorScope() { ::SetCursor(previous_); }
  WaitCursorScope(const WaitCursorScope&) = delete;
  WaitCursorScope& operator=(const WaitCursorScope&) = delete;

 private:
  HCURSOR previous_;
};

// GlobalLock for the scope.
template <typename T>
class GlobalLockScope {
 public:
  explicit GlobalLockScope(HGLOBAL h) : h_(h), p_(h ? static_cast<T*>(::GlobalLock(h)) : nullptr) {}
  ~GlobalLockScope() {
    if (p_) ::GlobalUnlock(h_);
  }
  GlobalLockScope(const GlobalLockScope&) = delete;
  GlobalLockScope& operator=(const GlobalLockScope&) = delete;
  T* get() const { return p_; }
  SIZE_T size() const { return h_ ? ::GlobalSize(h_) : 0; }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  HGLOBAL h_;
  T* p_;
};

}  // namespace pw::win32
