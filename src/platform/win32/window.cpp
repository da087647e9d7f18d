#include "platform/win32/window.h"

#include <vector>

#include <commctrl.h>

namespace pw::win32 {

Window::~Window() {
  // A window outliving its object would call into freed memory.
  if (hwnd_) {
    if (wrapped_) {
      ::RemoveWindowSubclass(hwnd_, &Window::Wrapped, 0);
    } else {
      ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    }
    ::DestroyWindow(hwnd_);
  }
}

void Window::Register(const WindowClass& cls) {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof(existing);
  if (::GetClassInfoExW(ThisModule(), cls.name, &existing)) return;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = &Window::Procedure;
  wc.hInstance = ThisModule();
  wc.hCursor = cls.cursor ? cls.cursor : ::LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = cls.background;
  wc.hIcon = cls.icon;
  wc.hIconSm = cls.small_icon;
  wc.lpszClassName = cls.name;
  ::RegisterClassExW(&wc);
}

bool Window::CreateAs(const wchar_t* class_name, DWORD ex_style, DWORD style, int x, int y,
                      int width, int height, HWND parent, HMENU menu_or_id,
                      const wchar_t* caption) {
  if (hwnd_) return true;
  ::CreateWindowExW(ex_style, class_name, caption, style, x, y, width, height, parent, menu_or_id,
                    ThisModule(), this);
  return hwnd_ != nullptr;
}

bool Window::Wrap(HWND hwnd) {
  if (!hwnd || hwnd_) return false;
  hwnd_ = hwnd;
  wrapped_ = true;
  ::SetWindowSubclass(hwnd, &Window::Wrapped, 0, reinterpret_cast<DWORD_PTR>(this));
  return true;
}

LRESULT Window::OnMessage(UINT msg, WPARAM wparam, LPARAM lparam) {
  return Default(msg, wparam, lparam);
}

LRESULT Window::Default(UINT msg, WPARAM wparam, LPARAM lparam) {
  return wrapped_ ? ::DefSubclassProc(hwnd_, msg, wparam, lparam)
                  : ::DefWindowProcW(hwnd_, msg, wparam, lparam);
}

LRESULT CALLBACK Window::Wrapped(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                                 DWORD_PTR self) {
  auto* window = reinterpret_cast<Window*>(self);
  if (msg != WM_NCDESTROY) return window->OnMessage(msg, wparam, lparam);
  const LRESULT result = window->OnMessage(msg, wparam, lparam);
  ::RemoveWindowSubclass(hwnd, &Window::Wrapped, id);
  window->hwnd_ = nullptr;
  window->wrapped_ = false;
  return result;
}

LRESULT CALLBACK Window::Procedure(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  if (msg == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
    auto* self = static_cast<Window*>(create->lpCreateParams);
    self->hwnd_ = hwnd;
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<Window*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return ::DefWindowProcW(hwnd, msg, wparam, lparam);
  if (msg == WM_NCDESTROY) {
    const LRESULT result = self->OnMessage(msg, wparam, lparam);
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    return result;
  }
  return self->OnMessage(msg, wparam, lparam);
}

HINSTANCE ThisModule() { return ::GetModuleHandleW(nullptr); }

std::wstring Wide(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }

std::u16string WindowText(HWND hwnd) {
  std::vector<wchar_t> text(static_cast<std::size_t>(::GetWindowTextLengthW(hwnd)) + 1);
  const int n = ::GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()));
  return std::u16string(text.data(), text.data() + (n > 0 ? n : 0));
}

}  // namespace pw::win32
