#include "chain_viewer.h"

#include <stdexcept>
#include <utility>

namespace pwhostile {
namespace {

constexpr wchar_t kClassName[] = L"PwHostileViewer";
// How long a removal notice may take to travel down the chain.
constexpr UINT kChainNoticeTimeoutMs = 5000;

}  // namespace

ChainViewer::ChainViewer(NoticeHandler on_notice) : on_notice_(std::move(on_notice)) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = &ChainViewer::Procedure;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = kClassName;
  ::RegisterClassW(&wc);  // fails harmlessly when already registered
  ::CreateWindowExW(0, kClassName, L"pwhostile", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                    wc.hInstance, this);
  if (!hwnd_) throw std::runtime_error("the viewer window could not be created");
}

ChainViewer::~ChainViewer() {
  Leave();
  ::DestroyWindow(hwnd_);
}

void ChainViewer::Join() {
  if (joined_) return;
  joining_ = true;
  next_ = ::SetClipboardViewer(hwnd_);
  joining_ = false;
  joined_ = true;
}

void ChainViewer::Leave() {
  if (!joined_) return;
  ::ChangeClipboardChain(hwnd_, next_);
  next_ = nullptr;
  joined_ = false;
}

bool ChainViewer::PassOn(WPARAM wparam, LPARAM lparam, UINT timeout_ms) const {
  if (!next_) return true;
  DWORD_PTR result = 0;
  return ::SendMessageTimeoutW(next_, WM_DRAWCLIPBOARD, wparam, lparam, SMTO_NORMAL, timeout_ms,
                               &result) != 0;
}

// The usual protocol: the faults are made with notices only.
void ChainViewer::OnChangeCbChain(WPARAM wparam, LPARAM lparam) {
  if (reinterpret_cast<HWND>(wparam) == next_) {
    next_ = reinterpret_cast<HWND>(lparam);
  } else if (next_) {
    DWORD_PTR result = 0;
    ::SendMessageTimeoutW(next_, WM_CHANGECBCHAIN, wparam, lparam, SMTO_NORMAL,
                          kChainNoticeTimeoutMs, &result);
  }
}

LRESULT CALLBACK ChainViewer::Procedure(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  if (msg == WM_NCCREATE) {
    const auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
    auto* self = static_cast<ChainViewer*>(create->lpCreateParams);
    self->hwnd_ = hwnd;
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<ChainViewer*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return ::DefWindowProcW(hwnd, msg, wparam, lparam);
  switch (msg) {
    case WM_DRAWCLIPBOARD:
      if (!self->joining_ && self->on_notice_) self->on_notice_(wparam, lparam);
      return 0;
    case WM_CHANGECBCHAIN:
      self->OnChangeCbChain(wparam, lparam);
      return 0;
    case WM_NCDESTROY:
      ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      self->hwnd_ = nullptr;
      return ::DefWindowProcW(hwnd, msg, wparam, lparam);
    default:
      return ::DefWindowProcW(hwnd, msg, wparam, lparam);
  }
}

}  // namespace pwhostile
