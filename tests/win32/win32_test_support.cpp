#include "win32_test_support.h"

#include <cstring>
#include <string>

namespace pw::win32::testing {

MessageWindow::MessageWindow()
    : hwnd_(::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              ::GetModuleHandleW(nullptr), nullptr)) {}

MessageWindow::~MessageWindow() {
  if (hwnd_) ::DestroyWindow(hwnd_);
}

bool PutOnClipboard(HWND owner, const std::vector<RawFormat>& formats) {
  if (!::OpenClipboard(owner)) return false;
  bool ok = ::EmptyClipboard() != FALSE;
  for (const RawFormat& f : formats) {
    if (!ok) break;
    UniqueGlobal memory(::GlobalAlloc(GMEM_MOVEABLE, f.bytes.size()));
    if (!memory) {
      ok = false;
      break;
    }
    {
      GlobalLockScope<std::uint8_t> lock(memory.get());
      if (!lock) {
        ok = false;
        break;
      }
      if (!f.bytes.empty()) std::memcpy(lock.get(), f.bytes.data(), f.bytes.size());
    }
    if (::SetClipboardData(f.format, memory.get())) {
      memory.release();
    } else {
      ok = false;
    }
  }
  ::CloseClipboard();
  return ok;
}

UINT RegisteredFormat(const wchar_t* name) { return ::RegisterClipboardFormatW(name); }

bool WaitPumping(HANDLE event, DWORD timeout_ms) {
  const ULONGLONG deadline = ::GetTickCount64() + timeout_ms;
  for (;;) {
    const ULONGLONG now = ::GetTickCount64();
    const DWORD left = now < deadline ? static_cast<DWORD>(deadline - now) : 0;
    const DWORD woke = ::MsgWaitForMultipleObjects(1, &event, FALSE, left, QS_ALLINPUT);
    if (woke == WAIT_OBJECT_0) return true;
    if (woke != WAIT_OBJECT_0 + 1) return false;
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
  }
}

std::vector<std::uint8_t> Utf16Bytes(std::u16string_view text, bool with_nul) {
  std::vector<std::uint8_t> bytes;
  for (char16_t c : text) {
    bytes.push_back(static_cast<std::uint8_t>(c));
    bytes.push_back(static_cast<std::uint8_t>(c >> 8));
  }
  if (with_nul) bytes.insert(bytes.end(), {0, 0});
  return bytes;
}

namespace {
std::wstring CurrentDirectory() {
  std::wstring dir(MAX_PATH, L'\0');
  const DWORD n = ::GetCurrentDirectoryW(static_cast<DWORD>(dir.size()), dir.data());
  dir.resize(n < dir.size() ? n : 0);
  return dir;
}

struct FindTraits {
  static HANDLE invalid() { return INVALID_HANDLE_VALUE; }
  static void close(HANDLE h) { ::FindClose(h); }
};
using UniqueFind = Owned<HANDLE, FindTraits>;

void RemoveTree(const std::wstring& dir) {
  WIN32_FIND_DATAW found;
  {
    UniqueFind search(::FindFirstFileW((dir + L"\\*").c_str(), &found));
    if (!search) return;
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring path = dir + L"\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path);
      } else {
        ::DeleteFileW(path.c_str());
      }
    } while (::FindNextFileW(search.get(), &found));
  }
  ::RemoveDirectoryW(dir.c_str());
}
}  // namespace

ScratchDirectory::ScratchDirectory() : previous_(CurrentDirectory()) {
  wchar_t temp[MAX_PATH];
  const DWORD n = ::GetTempPathW(MAX_PATH, temp);
  const std::wstring base(temp, n);
  for (unsigned i = 0; i < 1000 && path_.empty(); ++i) {
    std::wstring candidate = base + L"pw-test-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                             std::to_wstring(i);
    if (::CreateDirectoryW(candidate.c_str(), nullptr)) path_ = std::move(candidate);
  }
  if (!path_.empty()) ::SetCurrentDirectoryW(path_.c_str());
}

ScratchDirectory::~ScratchDirectory() {
  ::SetCurrentDirectoryW(previous_.c_str());
  if (!path_.empty()) RemoveTree(path_);
}

bool ReadWholeFile(const wchar_t* name, std::vector<std::uint8_t>& bytes) {
  UniqueFile file(::CreateFileW(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file.get(), &size) || size.QuadPart > (1 << 30)) return false;
  bytes.assign(static_cast<std::size_t>(size.QuadPart), 0);
  DWORD read = 0;
  return bytes.empty() || (::ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()),
                                      &read, nullptr) &&
                           read == bytes.size());
}

bool IsDirectory(const wchar_t* name) {
  const DWORD attributes = ::GetFileAttributesW(name);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace pw::win32::testing
