// pwhostile: a Windows program that misbehaves on purpose, for the hardening
// tests. One command per run; it reports on stdout, one line per event, and
// ends with "ok ..." (exit code 0) or "err ..." (exit code 1).
//
//   bigtext MIB PREFIX   puts a text of MIB MiB (PREFIX, then filler) on the clipboard
//   hold MS TEXT         joins the viewer chain, copies TEXT, and when the notice comes
//                        round has a second thread re-open the clipboard and hold it for
//                        MS milliseconds while the notice goes on down the chain
//   viewer               joins the viewer chain and passes every notice on, until its
//                        stdin is closed
//   hang-viewer          joins the viewer chain and hangs on the first notice, until
//                        its stdin is closed
//   kill PID             ends a process without letting it clean up (TerminateProcess)
//   memory PID           a process's private bytes and working set
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <exception>
#include <future>
#include <stdexcept>
#include <string>
#include <thread>

#include "chain_viewer.h"
#include "handles.h"

#include <psapi.h>

namespace pwhostile {
namespace {

// How long to wait for the clipboard when others use it briefly.
constexpr DWORD kClipboardPatienceMs = 5000;
// How long the next viewer may take over a notice before it counts as hung.
constexpr UINT kPassOnTimeoutMs = 10000;
constexpr DWORD kProcessEndTimeoutMs = 10000;

struct Failure : std::runtime_error {
  using std::runtime_error::runtime_error;
};

void Say(const std::string& line) {
  std::fputs(line.c_str(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

std::string Num(unsigned long long value) { return std::to_string(value); }
std::string WindowNum(HWND hwnd) { return Num(reinterpret_cast<std::uintptr_t>(hwnd)); }

unsigned long ArgNumber(const wchar_t* text) {
  wchar_t* end = nullptr;
  const unsigned long value = std::wcstoul(text, &end, 10);
  if (!*text || *end) throw Failure("not a number");
  return value;
}

// Puts text on the open clipboard as CF_UNICODETEXT, with its NUL.
void SetText(const std::wstring& text) {
  UniqueGlobal memory((text.size() + 1) * sizeof(wchar_t));
  if (!memory) throw Failure("GlobalAlloc failed");
  {
    GlobalLockScope lock(memory.get());
    if (!lock.get()) throw Failure("GlobalLock failed");
    std::memcpy(lock.get(), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
  }
  if (!::SetClipboardData(CF_UNICODETEXT, memory.get())) throw Failure("SetClipboardData failed");
  memory.release();  // the clipboard owns it now
}

// --- bigtext ---------------------------------------------------------------

int BigText(unsigned long mib, const std::wstring& prefix) {
  const std::size_t chars = static_cast<std::size_t>(mib) * 1024 * 1024 / sizeof(wchar_t);
  if (chars <= prefix.size()) throw Failure("the size leaves no room for the prefix");
  UniqueGlobal memory(chars * sizeof(wchar_t));
  if (!memory) throw Failure("GlobalAlloc failed");
  {
    GlobalLockScope lock(memory.get());
    if (!lock.get()) throw Failure("GlobalLock failed");
    auto* text = static_cast<wchar_t*>(lock.get());
    std::wmemcpy(text, prefix.data(), prefix.size());
    static constexpr wchar_t kFiller[] = L"0123456789abcdef";
    for (std::size_t i = prefix.size(); i + 1 < chars; ++i) text[i] = kFiller[i % 16];
    text[chars - 1] = L'\0';
  }
  ChainViewer owner(nullptr);  // not joined: only the clipboard's owner
  ClipboardScope clipboard(owner.hwnd(), kClipboardPatienceMs);
  if (!clipboard.opened() || !::EmptyClipboard()) {
    throw Failure("the clipboard could not be opened");
  }
  if (!::SetClipboardData(CF_UNICODETEXT, memory.get())) throw Failure("SetClipboardData failed");
  memory.release();
  clipboard.Close();
  Say("ok " + Num(chars * sizeof(wchar_t)));
  return 0;
}

// --- hold ------------------------------------------------------------------

// A second thread that opens the clipboard when told, holds it for a while
// and closes it again.
class Locker {
 public:
  explicit Locker(DWORD hold_ms) : hold_ms_(hold_ms) {}
  ~Locker() { Wait(); }
  Locker(const Locker&) = delete;
  Locker& operator=(const Locker&) = delete;

  // Returns once the clipboard is open on the locker's thread (true) or
  // could not be opened (false).
  bool Lock() {
    std::promise<bool> opened;
    std::future<bool> result = opened.get_future();
    thread_ = std::thread([this, &opened] {
      // Opened for a window, as programs do: an open without one does not
      // keep out other opens without one under Wine.
      ChainViewer window(nullptr);
      ClipboardScope clipboard(window.hwnd(), kClipboardPatienceMs);
      opened.set_value(clipboard.opened());
      // The fault itself: the clipboard stays open this long.
      if (clipboard.opened()) ::Sleep(hold_ms_);
    });
    return result.get();
  }

  // Returns once the clipboard is closed again.
  void Wait() {
    if (thread_.joinable()) thread_.join();
  }

 private:
  DWORD hold_ms_;
  std::thread thread_;
};

int Hold(DWORD hold_ms, const std::wstring& text) {
  Locker locker(hold_ms);
  bool armed = false;
  std::string failure;
  ChainViewer* self = nullptr;
  ChainViewer viewer([&](WPARAM wparam, LPARAM lparam) {
    if (!armed) {
      self->PassOn(wparam, lparam, kPassOnTimeoutMs);
      return;
    }
    armed = false;
    if (!locker.Lock()) {
      failure = "the clipboard could not be re-opened";
      self->PassOn(wparam, lparam, kPassOnTimeoutMs);
      return;
    }
    Say("locked");
    if (!self->PassOn(wparam, lparam, kPassOnTimeoutMs)) {
      failure = "the next viewer did not answer the notice";
      return;
    }
    // The viewers after us have handled the change; it reached them while
    // the clipboard was held.
    Say("passed");
  });
  self = &viewer;
  viewer.Join();
  if (!viewer.next()) throw Failure("no viewer follows in the chain");
  {
    ClipboardScope clipboard(viewer.hwnd(), kClipboardPatienceMs);
    if (!clipboard.opened() || !::EmptyClipboard()) {
      throw Failure("the clipboard could not be opened");
    }
    SetText(text);
    armed = true;
    // The notice comes to our window (the head of the chain) in here.
    clipboard.Close();
  }
  if (armed) throw Failure("no change notice came round");
  locker.Wait();
  viewer.Leave();
  if (!failure.empty()) throw Failure(failure);
  Say("ok released");
  return 0;
}

// --- viewer, hang-viewer ---------------------------------------------------

// Pumps messages until the test closes our stdin; `released` is set then.
void PumpUntilStdinCloses(HANDLE released) {
  const DWORD main_thread = ::GetCurrentThreadId();
  std::thread watch([released, main_thread] {
    while (std::fgetc(stdin) != EOF) {
    }
    ::SetEvent(released);
    ::PostThreadMessageW(main_thread, WM_QUIT, 0, 0);
  });
  MSG msg;
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  watch.join();
}

// A well-behaved viewer, for a test to kill.
int Viewer() {
  UniqueHandle released(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!released) throw Failure("CreateEvent failed");
  ChainViewer* self = nullptr;
  ChainViewer viewer([&](WPARAM wparam, LPARAM lparam) {
    self->PassOn(wparam, lparam, kPassOnTimeoutMs);
  });
  self = &viewer;
  viewer.Join();
  Say("joined " + WindowNum(viewer.hwnd()) + " " + WindowNum(viewer.next()));
  PumpUntilStdinCloses(released.get());
  viewer.Leave();
  Say("ok left");
  return 0;
}

int HangViewer() {
  UniqueHandle released(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!released) throw Failure("CreateEvent failed");
  ChainViewer viewer([&](WPARAM, LPARAM) {
    Say("hung");
    ::WaitForSingleObject(released.get(), INFINITE);
  });
  viewer.Join();
  Say("joined " + WindowNum(viewer.hwnd()) + " " + WindowNum(viewer.next()));
  // The test ends the hang by closing our stdin.
  PumpUntilStdinCloses(released.get());
  viewer.Leave();
  Say("ok left");
  return 0;
}

// --- processes -------------------------------------------------------------

int Kill(DWORD pid) {
  UniqueHandle process(::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid));
  if (!process) throw Failure("no such process");
  if (!::TerminateProcess(process.get(), 9)) throw Failure("TerminateProcess failed");
  if (::WaitForSingleObject(process.get(), kProcessEndTimeoutMs) != WAIT_OBJECT_0) {
    throw Failure("the process did not end");
  }
  Say("ok killed");
  return 0;
}

int Memory(DWORD pid) {
  UniqueHandle process(::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid));
  if (!process) throw Failure("no such process");
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof counters;
  if (!::GetProcessMemoryInfo(process.get(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                              sizeof counters)) {
    throw Failure("GetProcessMemoryInfo failed");
  }
  Say("ok " + Num(counters.PrivateUsage) + " " + Num(counters.WorkingSetSize));
  return 0;
}

int Run(int argc, wchar_t** argv) {
  if (argc < 2) throw Failure("no command");
  const std::wstring command = argv[1];
  auto need = [argc](int n) {
    if (argc < n + 2) throw Failure("missing arguments");
  };
  if (command == L"bigtext") {
    need(2);
    return BigText(ArgNumber(argv[2]), argv[3]);
  }
  if (command == L"hold") {
    need(2);
    return Hold(ArgNumber(argv[2]), argv[3]);
  }
  if (command == L"viewer") return Viewer();
  if (command == L"hang-viewer") return HangViewer();
  if (command == L"kill") {
    need(1);
    return Kill(ArgNumber(argv[2]));
  }
  if (command == L"memory") {
    need(1);
    return Memory(ArgNumber(argv[2]));
  }
  throw Failure("unknown command");
}

}  // namespace
}  // namespace pwhostile

int wmain(int argc, wchar_t** argv) {
  try {
    return pwhostile::Run(argc, argv);
  } catch (const std::exception& e) {
    std::printf("err %s\n", e.what());
    std::fflush(stdout);
    return 1;
  }
}
