// The Windows-side measurements. Each prints its runs for people and its
// results as FIGURE lines for bench/report.sh; each returns 0 on success.
#pragma once

#include <string>
#include <vector>

namespace pwbench {

struct Program {
  std::string label;   // names its figures
  std::wstring exe;
  std::wstring title;  // of its main window
};

// Time from CreateProcessW until the program's window is visible, `runs`
// times each, the programs taking turns, after one round that is not counted.
// Figures <label>.startup_median_ms (and _min_ms, _max_ms). Separate runs
// split the start at the program's first top-level window:
// <label>.split_first_window_median_ms and <label>.split_visible_median_ms.
int MeasureStartup(const std::vector<Program>& programs, int runs);

// Working set and private bytes once the window is up and the program waits
// for input. Figures <label>.working_set_kib, <label>.private_kib.
int MeasureMemory(const std::string& label, const std::wstring& exe, const std::wstring& title);

// Processor time the program uses over `seconds` with its window shown, then
// over `seconds` hidden: by the "Hide" button when `hide_button` is set,
// otherwise by ShowWindow(SW_HIDE) from outside. Prints a PHASE line at the
// start and end of each window; with `sync_folder`, waits at each for a file
// of the phase's name to appear there (an outside sampler's reply).
// Figures <label>.idle_shown_cpu_ms, <label>.idle_hidden_cpu_ms.
int MeasureIdle(const std::string& label, const std::wstring& exe, const std::wstring& title,
                int seconds, bool hide_button, const std::wstring& sync_folder);

// "Web Photo" from the click until the picture is stored, against one raw
// BitBlt of the whole screen into a DIB section here. Figures
// snapshot.median_ms, snapshot.bitblt_median_ms, snapshot.ratio, and
// snapshot.bitblt_new_dib_median_ms for a BitBlt into a DIB section made for it.
int MeasureSnapshot(const std::wstring& exe, const std::wstring& title, int runs);

// A 3840x2160 32-bpp CF_DIB: one Win32Clipboard::ReadPicture() against the
// change handler storing it. Figures picture4k.read_median_ms,
// picture4k.store_median_ms, picture4k.ratio.
int MeasurePicture4k(int runs);

}  // namespace pwbench
