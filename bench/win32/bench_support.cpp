#include "bench_support.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace pwbench {

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0.0;
  std::sort(values.begin(), values.end());
  const std::size_t mid = values.size() / 2;
  return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2.0;
}

bool WaitUntil(const std::function<bool()>& done, DWORD timeout_ms) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
  while (!done()) {
    if (Clock::now() >= deadline) return false;
    ::Sleep(1);
  }
  return true;
}

Child Child::Start(const std::wstring& exe, Clock::time_point* start) {
  Child child;
  std::wstring folder = exe;
  const std::size_t slash = folder.find_last_of(L"\\/");
  folder.resize(slash == std::wstring::npos ? 0 : slash);
  std::wstring command = L"\"" + exe + L"\"";

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (start) *start = Clock::now();
  if (!::CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &info)) {
    std::fprintf(stderr, "pwbench: cannot start %ls (error %lu)\n", exe.c_str(),
                 ::GetLastError());
    return child;
  }
  pw::win32::UniqueHandle thread(info.hThread);
  child.process_.reset(info.hProcess);
  child.pid_ = info.dwProcessId;
  return child;
}

Child::~Child() { Stop(); }

Child& Child::operator=(Child&& other) noexcept {
  if (this != &other) {
    Stop();
    process_ = std::move(other.process_);
    pid_ = std::exchange(other.pid_, 0);
  }
  return *this;
}

namespace {

struct WindowSearch {
  DWORD pid = 0;
  const std::wstring* title = nullptr;  // nullptr: every window of the process
  std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM lp) {
  auto* search = reinterpret_cast<WindowSearch*>(lp);
  DWORD pid = 0;
  ::GetWindowThreadProcessId(hwnd, &pid);
  if (pid != search->pid) return TRUE;
  if (search->title) {
    wchar_t text[256] = {};
    const int n = ::GetWindowTextW(hwnd, text, 256);
    if (std::wstring(text, n > 0 ? static_cast<std::size_t>(n) : 0) != *search->title) return TRUE;
  }
  search->found.push_back(hwnd);
  return TRUE;
}

}  // namespace

bool Child::HasTopLevelWindow() const {
  WindowSearch search{pid_, nullptr, {}};
  ::EnumWindows(&CollectWindow, reinterpret_cast<LPARAM>(&search));
  return !search.found.empty();
}

HWND Child::FindWindowTitled(const std::wstring& title) const {
  // FindWindowW first: one call, cheap enough to poll every millisecond.
  HWND hwnd = ::FindWindowW(nullptr, title.c_str());
  DWORD pid = 0;
  if (hwnd) ::GetWindowThreadProcessId(hwnd, &pid);
  if (hwnd && pid == pid_) return hwnd;
  WindowSearch search{pid_, &title, {}};
  ::EnumWindows(&CollectWindow, reinterpret_cast<LPARAM>(&search));
  return search.found.empty() ? nullptr : search.found.front();
}

HWND Child::WaitForVisibleWindow(const std::wstring& title, DWORD timeout_ms) const {
  HWND hwnd = nullptr;
  WaitUntil(
      [&] {
        hwnd = FindWindowTitled(title);
        return hwnd && ::IsWindowVisible(hwnd);
      },
      timeout_ms);
  return hwnd && ::IsWindowVisible(hwnd) ? hwnd : nullptr;
}

void Child::Stop() {
  if (!process_) return;
  if (::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
    WindowSearch search{pid_, nullptr, {}};
    ::EnumWindows(&CollectWindow, reinterpret_cast<LPARAM>(&search));
    for (HWND hwnd : search.found) ::PostMessageW(hwnd, WM_CLOSE, 0, 0);
    if (::WaitForSingleObject(process_.get(), 10000) == WAIT_TIMEOUT) {
      std::fprintf(stderr, "pwbench: pid %lu did not close within 10 s; ending it\n", pid_);
      ::TerminateProcess(process_.get(), 1);
      ::WaitForSingleObject(process_.get(), 5000);
    }
  }
  process_.reset();
  pid_ = 0;
}

HWND FindControl(HWND parent, int id) {
  struct Search {
    int id;
    HWND found;
  } search{id, nullptr};
  ::EnumChildWindows(
      parent,
      [](HWND hwnd, LPARAM lp) -> BOOL {
        auto* s = reinterpret_cast<Search*>(lp);
        if (::GetDlgCtrlID(hwnd) != s->id) return TRUE;
        s->found = hwnd;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

bool HasVisibleStyle(HWND hwnd) {
  return hwnd && (::GetWindowLongW(hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
}

void Figure(const char* key, double value) {
  std::printf("FIGURE %s %.6g\n", key, value);
  std::fflush(stdout);
}

std::wstring Widen(const char* text) {
  const int n = ::MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
  std::wstring wide(n > 0 ? static_cast<std::size_t>(n) : 1, L'\0');
  if (n > 0) ::MultiByteToWideChar(CP_UTF8, 0, text, -1, wide.data(), n);
  wide.resize(wide.size() - 1);
  return wide;
}

}  // namespace pwbench
