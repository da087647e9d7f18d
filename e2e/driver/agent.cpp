#include "agent.h"

#include <exception>
#include <stdexcept>

namespace pwdriver {
namespace {

constexpr UINT kRunMessage = WM_APP + 1;
constexpr wchar_t kClassName[] = L"PwDriverAgent";
// A viewer that does not answer within this time is skipped, so a hung
// program never hangs the driver with it.
constexpr UINT kPassOnTimeoutMs = 5000;

}  // namespace

Agent::Agent() {
  HANDLE ready = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (!ready) throw std::runtime_error("CreateEvent failed");
  thread_ = std::thread([this, ready] { ThreadMain(ready); });
  ::WaitForSingleObject(ready, INFINITE);
  ::CloseHandle(ready);
  if (!hwnd_) {
    thread_.join();
    throw std::runtime_error("the driver window could not be created");
  }
}

Agent::~Agent() {
  if (joined_) Run([this] { LeaveChain(); });
  ::PostMessageW(hwnd_, WM_CLOSE, 0, 0);
  thread_.join();
}

void Agent::ThreadMain(HANDLE ready) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = &Agent::Proc;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = kClassName;
  ::RegisterClassW(&wc);
  hwnd_ = ::CreateWindowExW(0, kClassName, L"pwdriver", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                            nullptr, wc.hInstance, this);
  ::SetEvent(ready);
  if (!hwnd_) return;
  MSG msg;
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

void Agent::Run(const std::function<void()>& work) {
  // An exception must not cross the window procedure: carry it back instead.
  std::exception_ptr error;
  const std::function<void()> guarded = [&] {
    try {
      work();
    } catch (...) {
      error = std::current_exception();
    }
  };
  ::SendMessageW(hwnd_, kRunMessage, 0, reinterpret_cast<LPARAM>(&guarded));
  if (error) std::rethrow_exception(error);
}

void Agent::JoinChain() {
  if (joined_) return;
  joining_ = true;
  next_ = ::SetClipboardViewer(hwnd_);
  joining_ = false;
  joined_ = true;
}

void Agent::LeaveChain() {
  if (!joined_) return;
  ::ChangeClipboardChain(hwnd_, next_.load());
  next_ = nullptr;
  joined_ = false;
}

LRESULT Agent::OnDrawClipboard(WPARAM wp, LPARAM lp) {
  if (joining_) {
    ++joining_notices_;
    return 0;
  }
  if (HWND next = next_.load()) {
    DWORD_PTR result = 0;
    ::SendMessageTimeoutW(next, WM_DRAWCLIPBOARD, wp, lp, SMTO_NORMAL, kPassOnTimeoutMs, &result);
  }
  ++notices_;
  return 0;
}

LRESULT Agent::OnChangeCbChain(WPARAM wp, LPARAM lp) {
  HWND leaving = reinterpret_cast<HWND>(wp);
  if (leaving == next_.load()) {
    next_ = reinterpret_cast<HWND>(lp);
  } else if (HWND next = next_.load()) {
    DWORD_PTR result = 0;
    ::SendMessageTimeoutW(next, WM_CHANGECBCHAIN, wp, lp, SMTO_NORMAL, kPassOnTimeoutMs, &result);
  }
  return 0;
}

LRESULT CALLBACK Agent::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
  }
  auto* self = reinterpret_cast<Agent*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  switch (msg) {
    case kRunMessage:
      (*reinterpret_cast<const std::function<void()>*>(lp))();
      return 0;
    case WM_DRAWCLIPBOARD:
      return self ? self->OnDrawClipboard(wp, lp) : 0;
    case WM_CHANGECBCHAIN:
      return self ? self->OnChangeCbChain(wp, lp) : 0;
    case WM_CLOSE:
      ::DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
    default:
      return ::DefWindowProcW(hwnd, msg, wp, lp);
  }
}

}  // namespace pwdriver
