// What the Windows-side measurements share: a clock, medians, a program
// started and stopped again, and waiting on a window's state with a bound.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "platform/win32/handles.h"

namespace pwbench {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start);
double Median(std::vector<double> values);

// Polls `done` every millisecond until it holds or `timeout_ms` has passed;
// true when it held.
bool WaitUntil(const std::function<bool()>& done, DWORD timeout_ms);

// A program this bench started. The destructor closes its windows and waits
// for it to end, and ends it by force when it does not, so that no run leaves
// a process behind.
class Child {
 public:
  // Starts `exe` (with its own folder as the working directory).
  // `start` receives the moment just before CreateProcessW.
  static Child Start(const std::wstring& exe, Clock::time_point* start = nullptr);
  Child() = default;
  ~Child();
  Child(Child&&) = default;
  // Stops the program held so far before taking the other one.
  Child& operator=(Child&& other) noexcept;
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  explicit operator bool() const { return static_cast<bool>(process_); }
  HANDLE process() const { return process_.get(); }
  DWORD pid() const { return pid_; }

  // Whether the program has any top-level window yet, shown or not.
  bool HasTopLevelWindow() const;
  // The program's top-level window with this title, or nullptr.
  HWND FindWindowTitled(const std::wstring& title) const;
  // Waits until that window exists and is visible; nullptr after the timeout.
  HWND WaitForVisibleWindow(const std::wstring& title, DWORD timeout_ms) const;
  // Ends the program: WM_CLOSE to its windows, then by force after a bound.
  void Stop();

 private:
  pw::win32::UniqueHandle process_;
  DWORD pid_ = 0;
};

// A control of a window by its numeric id (pw::NumericId), or nullptr.
HWND FindControl(HWND parent, int id);
// The control's own WS_VISIBLE bit: true even while its parent is hidden.
bool HasVisibleStyle(HWND hwnd);

// One figure for the report: "FIGURE <key> <value>" on its own line.
void Figure(const char* key, double value);

std::wstring Widen(const char* text);

}  // namespace pwbench
