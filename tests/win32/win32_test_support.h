// Helpers for the Windows-side tests: windows to own the clipboard, raw
// clipboard contents, waiting without blocking the thread's messages, and a
// scratch working directory.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win32/handles.h"

namespace pw::win32::testing {

// A hidden message-only window, destroyed with the object (on its thread).
class MessageWindow {
 public:
  MessageWindow();
  ~MessageWindow();
  MessageWindow(const MessageWindow&) = delete;
  MessageWindow& operator=(const MessageWindow&) = delete;
  HWND get() const { return hwnd_; }

 private:
  HWND hwnd_;
};

// One format's bytes as another program would put them on the clipboard.
struct RawFormat {
  UINT format = 0;
  std::vector<std::uint8_t> bytes;
};

// Replaces the clipboard's contents with exactly these formats (by the
// plain system calls, not by the code under test). false when it failed.
bool PutOnClipboard(HWND owner, const std::vector<RawFormat>& formats);

UINT RegisteredFormat(const wchar_t* name);

// Waits for the event while handling this thread's messages; false when it
// was not set within the time.
bool WaitPumping(HANDLE event, DWORD timeout_ms);

std::vector<std::uint8_t> Utf16Bytes(std::u16string_view text, bool with_nul);

// A fresh, empty directory that is the current directory for the object's
// life; the previous current directory comes back afterwards and the
// directory is removed with what is left in it.
class ScratchDirectory {
 public:
  ScratchDirectory();
  ~ScratchDirectory();
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;

 private:
  std::wstring previous_;
  std::wstring path_;
};

// The whole file, or nothing when it cannot be read.
bool ReadWholeFile(const wchar_t* name, std::vector<std::uint8_t>& bytes);
bool IsDirectory(const wchar_t* name);

}  // namespace pw::win32::testing
