// A thin window wrapper: one window procedure for every class of ours, which
// finds the C++ object of the window and hands it the message. A window of a
// system class (a button) can be wrapped too: its messages come first to the
// object, and what the object leaves goes to the class's own procedure.
#pragma once

#include <string>
#include <string_view>

#include "platform/win32/handles.h"

namespace pw::win32 {

struct WindowClass {
  const wchar_t* name;
  HCURSOR cursor = nullptr;     // the arrow when null
  HBRUSH background = nullptr;  // not owned: a system colour brush or stock object
  HICON icon = nullptr;
  HICON small_icon = nullptr;
};

class Window {
 public:
  Window() = default;
  virtual ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  HWND hwnd() const { return hwnd_; }

 protected:
  // Registers the class (once per name) with our window procedure.
  static void Register(const WindowClass& cls);
  bool CreateAs(const wchar_t* class_name, DWORD ex_style, DWORD style, int x, int y, int width,
                int height, HWND parent, HMENU menu_or_id, const wchar_t* caption = L"");
  // Takes a window of a system class made by the caller; false for none.
  bool Wrap(HWND hwnd);
  // Messages a subclass does not handle go to DefWindowProcW.
  virtual LRESULT OnMessage(UINT msg, WPARAM wparam, LPARAM lparam);
  LRESULT Default(UINT msg, WPARAM wparam, LPARAM lparam);

 private:
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
  static LRESULT CALLBACK Wrapped(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam,
                                  UINT_PTR id, DWORD_PTR self);

  HWND hwnd_ = nullptr;
  bool wrapped_ = false;
};

HINSTANCE ThisModule();

// Our text type to the system's, which is UTF-16 too on Windows.
std::wstring Wide(std::u16string_view text);
std::u16string WindowText(HWND hwnd);

}  // namespace pw::win32
