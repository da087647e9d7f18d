// Start-up, memory, idle processor time and the full-screen snapshot of a
// running program, measured from outside as a user's tools would see them.
#include "bench_support.h"

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "measures.h"
#include "platform/ids.h"

namespace pwbench {
namespace {

constexpr DWORD kWindowTimeoutMs = 30000;
constexpr DWORD kInputIdleTimeoutMs = 10000;

struct Memory {
  double working_set_kib = 0;
  double private_kib = 0;
};

Memory MemoryOf(HANDLE process) {
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof counters;
  Memory m;
  if (::GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                             sizeof counters)) {
    m.working_set_kib = static_cast<double>(counters.WorkingSetSize) / 1024.0;
    // The commit charge: private memory. Wine leaves PrivateUsage at 0 and
    // fills PagefileUsage (from the process's resident anonymous memory).
    m.private_kib = static_cast<double>(counters.PagefileUsage) / 1024.0;
  }
  return m;
}

// User plus kernel time of the process so far, in milliseconds.
double CpuMilliseconds(HANDLE process) {
  FILETIME created{}, exited{}, kernel{}, user{};
  if (!::GetProcessTimes(process, &created, &exited, &kernel, &user)) return -1.0;
  auto ticks = [](const FILETIME& t) {
    return static_cast<double>((static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime);
  };
  return (ticks(kernel) + ticks(user)) / 10000.0;  // 100 ns units
}

std::string Key(const std::string& label, const char* name) { return label + "." + name; }

// Marks a moment for bench/report.sh, which samples the process from the
// Linux side (its wake-ups) at the same moments: "PHASE <label> <name>".
// With a sync folder, waits until the sampler has created a file of that
// name there, so that nothing this bench does next falls into its sample.
void Phase(const std::string& label, const char* name, const std::wstring& sync_folder) {
  std::printf("PHASE %s %s\n", label.c_str(), name);
  std::fflush(stdout);
  if (sync_folder.empty()) return;
  const std::wstring done = sync_folder + L"\\" + Widen(name);
  if (!WaitUntil([&] { return ::GetFileAttributesW(done.c_str()) != INVALID_FILE_ATTRIBUTES; },
                 kWindowTimeoutMs)) {
    std::fprintf(stderr, "pwbench: no sample taken at %s\n", name);
  }
}

// Started, its window visible and the program waiting for input.
bool StartAndSettle(Child& child, HWND& window, const std::wstring& exe,
                    const std::wstring& title) {
  child = Child::Start(exe);
  if (!child) return false;
  window = child.WaitForVisibleWindow(title, kWindowTimeoutMs);
  if (!window) {
    std::fprintf(stderr, "pwbench: no visible window \"%ls\" within %lu ms\n", title.c_str(),
                 kWindowTimeoutMs);
    return false;
  }
  ::WaitForInputIdle(child.process(), kInputIdleTimeoutMs);
  return true;
}

struct StartupRun {
  double visible_ms = -1;       // CreateProcessW until the window is visible
  double first_window_ms = -1;  // until its first top-level window exists
};

// One start of the program, timed until its window is visible. With
// `first_window`, also until any top-level window of it exists; that polls
// the window list, a heavier query that itself slows the start a little.
bool StartOnce(const Program& program, bool first_window, StartupRun& result) {
  Clock::time_point start;
  Child child = Child::Start(program.exe, &start);
  if (!child) return false;
  HWND window = nullptr;
  WaitUntil(
      [&] {
        if (first_window && result.first_window_ms < 0 && child.HasTopLevelWindow()) {
          result.first_window_ms = MillisecondsSince(start);
        }
        window = child.FindWindowTitled(program.title);
        return window && ::IsWindowVisible(window);
      },
      kWindowTimeoutMs);
  result.visible_ms = MillisecondsSince(start);
  if (!window || !::IsWindowVisible(window)) {
    std::fprintf(stderr, "pwbench: no visible window \"%ls\" within %lu ms\n",
                 program.title.c_str(), kWindowTimeoutMs);
    return false;
  }
  if (first_window && result.first_window_ms < 0) result.first_window_ms = result.visible_ms;
  child.Stop();
  return true;
}

}  // namespace

int MeasureStartup(const std::vector<Program>& programs, int runs) {
  std::vector<std::vector<double>> times(programs.size());
  std::vector<std::vector<double>> split_first(programs.size());
  std::vector<std::vector<double>> split_visible(programs.size());
  // Round by round, one start of each program, so that both see the same
  // machine load; round 0 is a warm-up and is not counted. Each round also
  // starts each program once more to split its time at its first window.
  for (int run = 0; run <= runs; ++run) {
    for (std::size_t p = 0; p < programs.size(); ++p) {
      StartupRun plain;
      StartupRun split;
      if (!StartOnce(programs[p], false, plain) || !StartOnce(programs[p], true, split)) return 1;
      std::printf("%s start-up run %d: %.1f ms; split run: first window %.1f ms, "
                  "visible %.1f ms%s\n",
                  programs[p].label.c_str(), run, plain.visible_ms, split.first_window_ms,
                  split.visible_ms, run == 0 ? " (warm-up, not counted)" : "");
      if (run > 0) {
        times[p].push_back(plain.visible_ms);
        split_first[p].push_back(split.first_window_ms);
        split_visible[p].push_back(split.visible_ms);
      }
    }
  }
  for (std::size_t p = 0; p < programs.size(); ++p) {
    const std::string& label = programs[p].label;
    const std::vector<double>& t = times[p];
    Figure(Key(label, "startup_median_ms").c_str(), Median(t));
    Figure(Key(label, "startup_min_ms").c_str(), *std::min_element(t.begin(), t.end()));
    Figure(Key(label, "startup_max_ms").c_str(), *std::max_element(t.begin(), t.end()));
    Figure(Key(label, "split_first_window_median_ms").c_str(), Median(split_first[p]));
    Figure(Key(label, "split_visible_median_ms").c_str(), Median(split_visible[p]));
  }
  return 0;
}

int MeasureMemory(const std::string& label, const std::wstring& exe, const std::wstring& title) {
  Child child;
  HWND window = nullptr;
  if (!StartAndSettle(child, window, exe, title)) return 1;
  const Memory m = MemoryOf(child.process());
  int child_windows = 0;
  ::EnumChildWindows(
      window,
      [](HWND, LPARAM lp) -> BOOL {
        ++*reinterpret_cast<int*>(lp);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&child_windows));
  std::printf("%s memory: working set %.0f KiB, private %.0f KiB; %d child windows\n",
              label.c_str(), m.working_set_kib, m.private_kib, child_windows);
  Figure(Key(label, "child_windows").c_str(), child_windows);
  Figure(Key(label, "working_set_kib").c_str(), m.working_set_kib);
  Figure(Key(label, "private_kib").c_str(), m.private_kib);
  return 0;
}

int MeasureIdle(const std::string& label, const std::wstring& exe, const std::wstring& title,
                int seconds, bool hide_button, const std::wstring& sync_folder) {
  Child child;
  HWND window = nullptr;
  if (!StartAndSettle(child, window, exe, title)) return 1;
  const double startup_cpu = CpuMilliseconds(child.process());
  std::printf("%s processor time up to the first idle moment: %.1f ms\n", label.c_str(),
              startup_cpu);
  // Wine reports no processor time for other processes on some versions: a
  // program that has just started has used some, so zero here means the
  // figures below would be meaningless.
  Figure(Key(label, "cpu_times_valid").c_str(), startup_cpu > 0 ? 1 : 0);

  const DWORD window_ms = static_cast<DWORD>(seconds) * 1000;
  Phase(label, "shown-start", sync_folder);
  const double shown_before = CpuMilliseconds(child.process());
  ::Sleep(window_ms);  // the measurement window itself, not a wait for anything
  const double shown = CpuMilliseconds(child.process()) - shown_before;
  Phase(label, "shown-end", sync_folder);
  const Memory after_shown = MemoryOf(child.process());
  std::printf("%s shown for %d s: %.1f ms processor time\n", label.c_str(), seconds, shown);

  if (hide_button) {
    HWND hide = FindControl(window, pw::NumericId(pw::MainhWndHide));
    if (!hide) {
      std::fprintf(stderr, "pwbench: no Hide button\n");
      return 1;
    }
    ::PostMessageW(hide, BM_CLICK, 0, 0);
  } else {
    ::ShowWindowAsync(window, SW_HIDE);
  }
  if (!WaitUntil([&] { return !::IsWindowVisible(window); }, kWindowTimeoutMs)) {
    std::fprintf(stderr, "pwbench: the window did not hide\n");
    return 1;
  }
  ::WaitForInputIdle(child.process(), kInputIdleTimeoutMs);
  Phase(label, "hidden-start", sync_folder);
  const double hidden_before = CpuMilliseconds(child.process());
  ::Sleep(window_ms);  // the measurement window
  const double hidden = CpuMilliseconds(child.process()) - hidden_before;
  Phase(label, "hidden-end", sync_folder);
  std::printf("%s hidden for %d s: %.1f ms processor time\n", label.c_str(), seconds, hidden);

  Figure(Key(label, "idle_seconds").c_str(), seconds);
  Figure(Key(label, "idle_shown_cpu_ms").c_str(), shown);
  Figure(Key(label, "idle_hidden_cpu_ms").c_str(), hidden);
  Figure(Key(label, "working_set_after_idle_kib").c_str(), after_shown.working_set_kib);
  Figure(Key(label, "private_after_idle_kib").c_str(), after_shown.private_kib);
  return 0;
}

namespace {

// One raw copy of the whole screen into a DIB section, as the floor of the
// snapshot: the least any full-screen capture has to do.
class ScreenCopier {
 public:
  ScreenCopier()
      : width_(::GetSystemMetrics(SM_CXSCREEN)), height_(::GetSystemMetrics(SM_CYSCREEN)) {
    dib_.reset(NewDib());
    memory_.reset(::CreateCompatibleDC(nullptr));
  }
  int width() const { return width_; }
  int height() const { return height_; }
  bool ok() const { return dib_ && memory_; }

  // Into the same DIB section every time: its pages are already there.
  double CopyMilliseconds() {
    pw::win32::WindowDc screen(nullptr);
    pw::win32::SelectScope select(memory_.get(), dib_.get());
    const auto start = Clock::now();
    ::BitBlt(memory_.get(), 0, 0, width_, height_, screen.get(), 0, 0, SRCCOPY);
    ::GdiFlush();
    return MillisecondsSince(start);
  }

  // Into a DIB section made for this copy, as a capture that keeps every
  // picture must do: creating it and the first touch of its pages count.
  double CopyFreshMilliseconds() {
    pw::win32::WindowDc screen(nullptr);
    const auto start = Clock::now();
    pw::win32::UniqueBitmap fresh(NewDib());
    pw::win32::SelectScope select(memory_.get(), fresh.get());
    ::BitBlt(memory_.get(), 0, 0, width_, height_, screen.get(), 0, 0, SRCCOPY);
    ::GdiFlush();
    return MillisecondsSince(start);
  }

 private:
  // A top-down 32-bpp DIB section of the screen's size.
  HBITMAP NewDib() const {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width_;
    info.bmiHeader.biHeight = -height_;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    return ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  }

  int width_;
  int height_;
  pw::win32::UniqueBitmap dib_;
  pw::win32::UniqueMemoryDc memory_;
};

}  // namespace

int MeasureSnapshot(const std::wstring& exe, const std::wstring& title, int runs) {
  ScreenCopier copier;
  if (!copier.ok()) {
    std::fprintf(stderr, "pwbench: no DIB section for the screen\n");
    return 1;
  }
  std::printf("screen %d x %d\n", copier.width(), copier.height());
  copier.CopyMilliseconds();  // warm-up

  std::vector<double> snapshots;
  std::vector<double> copies;
  std::vector<double> fresh_copies;
  // Each start of the program has five free picture slots: one snapshot each.
  while (static_cast<int>(snapshots.size()) < runs) {
    Child child;
    HWND window = nullptr;
    if (!StartAndSettle(child, window, exe, title)) return 1;
    HWND capture = FindControl(window, pw::NumericId(pw::CmdCapScreen));
    if (!capture) {
      std::fprintf(stderr, "pwbench: no Web Photo button\n");
      return 1;
    }
    for (int slot = 1; slot <= pw::kPictureSlots && static_cast<int>(snapshots.size()) < runs;
         ++slot) {
      HWND save = FindControl(window, pw::NumericId(pw::sav(slot)));
      if (!save || HasVisibleStyle(save)) {
        std::fprintf(stderr, "pwbench: picture slot %d is not free\n", slot);
        return 1;
      }
      const auto start = Clock::now();
      ::PostMessageW(capture, BM_CLICK, 0, 0);
      const bool stored = WaitUntil([&] { return HasVisibleStyle(save); }, kWindowTimeoutMs);
      const double ms = MillisecondsSince(start);
      if (!stored) {
        std::fprintf(stderr, "pwbench: the snapshot did not reach slot %d\n", slot);
        return 1;
      }
      // The window comes back after the picture is stored; the floor is
      // measured on the same screen, once the program is idle again.
      if (!WaitUntil([&] { return ::IsWindowVisible(window) != FALSE; }, kWindowTimeoutMs)) {
        std::fprintf(stderr, "pwbench: the main window did not come back\n");
        return 1;
      }
      // A message round trip: the click's handler has returned.
      DWORD_PTR ignored = 0;
      ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, kWindowTimeoutMs, &ignored);
      ::WaitForInputIdle(child.process(), kInputIdleTimeoutMs);
      const double copy = copier.CopyMilliseconds();
      const double fresh = copier.CopyFreshMilliseconds();
      std::printf("snapshot into slot %d: %.1f ms; raw BitBlt %.1f ms; "
                  "into a new DIB section %.1f ms\n",
                  slot, ms, copy, fresh);
      snapshots.push_back(ms);
      copies.push_back(copy);
      fresh_copies.push_back(fresh);
    }
  }
  const double snapshot = Median(snapshots);
  const double copy = Median(copies);
  Figure("snapshot.screen_width", copier.width());
  Figure("snapshot.screen_height", copier.height());
  Figure("snapshot.median_ms", snapshot);
  Figure("snapshot.bitblt_median_ms", copy);
  Figure("snapshot.bitblt_new_dib_median_ms", Median(fresh_copies));
  Figure("snapshot.ratio", copy > 0 ? snapshot / copy : 0);
  return 0;
}

}  // namespace pwbench
