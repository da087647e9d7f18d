// Windows-side benchmarks of pastewright.exe; bench/report.sh runs them under
// Wine and puts the FIGURE lines they print into docs/BENCHMARKS.md.
//
//   pwbench startup  RUNS LABEL EXE TITLE [LABEL EXE TITLE]...
//   pwbench memory   LABEL EXE TITLE
//   pwbench idle     LABEL EXE TITLE SECONDS [--hide-button] [--sync FOLDER]
//   pwbench snapshot EXE TITLE RUNS
//   pwbench picture4k RUNS
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

#include "bench_support.h"
#include "measures.h"

namespace {

std::string Narrow(const wchar_t* text) {
  std::string out;
  for (; *text; ++text) out.push_back(*text < 128 ? static_cast<char>(*text) : '?');
  return out;
}

int Usage() {
  std::fprintf(stderr,
               "usage: pwbench startup RUNS LABEL EXE TITLE [LABEL EXE TITLE]...\n"
               "       pwbench memory LABEL EXE TITLE\n"
               "       pwbench idle LABEL EXE TITLE SECONDS [--hide-button] [--sync FOLDER]\n"
               "       pwbench snapshot EXE TITLE RUNS\n"
               "       pwbench picture4k RUNS\n");
  return 2;
}

int Positive(const wchar_t* text) {
  const int n = static_cast<int>(std::wcstol(text, nullptr, 10));
  return n > 0 ? n : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return Usage();
  const std::wstring command = argv[1];
  if (command == L"startup" && argc >= 6 && (argc - 3) % 3 == 0) {
    std::vector<pwbench::Program> programs;
    for (int i = 3; i + 2 < argc; i += 3) {
      programs.push_back({Narrow(argv[i]), argv[i + 1], argv[i + 2]});
    }
    return pwbench::MeasureStartup(programs, Positive(argv[2]));
  }
  if (command == L"memory" && argc == 5) {
    return pwbench::MeasureMemory(Narrow(argv[2]), argv[3], argv[4]);
  }
  if (command == L"idle" && argc >= 6) {
    bool hide_button = false;
    std::wstring sync_folder;
    for (int i = 6; i < argc; ++i) {
      const std::wstring option = argv[i];
      if (option == L"--hide-button") {
        hide_button = true;
      } else if (option == L"--sync" && i + 1 < argc) {
        sync_folder = argv[++i];
      } else {
        return Usage();
      }
    }
    return pwbench::MeasureIdle(Narrow(argv[2]), argv[3], argv[4], Positive(argv[5]),
                                hide_button, sync_folder);
  }
  if (command == L"snapshot" && argc == 5) {
    return pwbench::MeasureSnapshot(argv[2], argv[3], Positive(argv[4]));
  }
  if (command == L"picture4k" && argc == 3) {
    return pwbench::MeasurePicture4k(Positive(argv[2]));
  }
  return Usage();
}
