// A top-level window built from its layout table: its caption, its size,
// and its controls placed in twips and converted at the window's DPI, again
// whenever that changes. With the message loop's IsDialogMessage it works
// from the keyboard as a dialog does: Tab goes through its controls in the
// table's order, Enter presses the focused button, and the focus comes back
// to the control that had it when the window is active again.
#pragma once

#include <memory>
#include <vector>

#include "platform/win32/handles.h"
#include "platform/win32/layout.h"
#include "platform/win32/picture_box.h"
#include "platform/win32/resource_cache.h"
#include "platform/win32/window.h"

namespace pw::win32 {

struct FormStyle {
  const wchar_t* class_name;
  DWORD style;
  DWORD ex_style = 0;
  bool white = false;  // white background, labels and boxes included
  bool closes_on_escape = false;
};

class FormWindow : public Window {
 public:
  FormWindow(ResourceCache& resources, const FormLayout& layout, FormStyle style);

  // Creates the window hidden at the system's default place, with the
  // controls that exist from the start. Does nothing when it exists.
  bool Create(HWND owner = nullptr);
  void Destroy();
  bool open() const { return hwnd() != nullptr; }
  // Shows it and brings it to the front, the focus on its first control.
  void Show();
  // The window that is made active again when this one closes, if it shows.
  void ReturnFocusTo(HWND window) { return_focus_ = window; }

  int dpi() const { return dpi_; }
  // The control's window; null while it does not exist.
  HWND ControlWindow(ControlId id) const;
  // A picture box control; null while it does not exist.
  PictureBox* Box(ControlId id) const;

 protected:
  // Controls for which this is false are made by MakeControl, when they
  // are first shown.
  virtual bool MadeAtStart(ControlId) const { return true; }
  virtual void ControlMade(ControlId, HWND) {}
  virtual void Clicked(ControlId) {}
  HWND MakeControl(ControlId id);

  LRESULT OnMessage(UINT msg, WPARAM wparam, LPARAM lparam) override;

  ResourceCache& resources_;

 private:
  struct Child {
    HWND hwnd = nullptr;
    std::unique_ptr<PictureBox> box;
  };

  std::size_t IndexOf(ControlId id) const;
  HWND Make(std::size_t index);
  void ApplyDesign(const ControlLayout& layout, Child& control);
  void FitWindow();
  // The window's outer size, in pixels, that gives the layout's client area at DPI.
  SIZE OuterSize(int dpi) const;
  void PlaceControls();
  void AttachToolTips();
  void OnCommand(WPARAM wparam, LPARAM lparam);
  LRESULT OnDrawItem(WPARAM wparam, LPARAM lparam);
  LRESULT DefaultButton() const;
  void FocusControl();
  void OnDpiChanged(WPARAM wparam, const RECT& suggested);
  LRESULT OnStaticColour(WPARAM wparam, LPARAM lparam);

  const FormLayout& layout_;
  FormStyle style_;
  int dpi_ = USER_DEFAULT_SCREEN_DPI;
  std::vector<Child> controls_;  // as layout_.controls, while the window exists
  UniqueFont font_;
  UniqueWindow tooltip_;
  HWND focus_ = nullptr;  // the control that had the focus when the window went inactive
  HWND return_focus_ = nullptr;
};

}  // namespace pw::win32
