// The program's top-level windows: each is a persistent object whose window
// is created when it is loaded and destroyed when it is unloaded, with its
// controls built from its layout table.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>

#include "platform/events.h"
#include "platform/win32/layout.h"
#include "platform/win32/picture_box.h"
#include "platform/win32/surface.h"
#include "platform/win32/window.h"

namespace pw::win32 {

class Win32Host;

struct Control {
  const ControlLayout* layout = nullptr;
  HWND hwnd = nullptr;
  std::unique_ptr<PictureBox> box;  // icon boxes, image boxes, the panel
  std::u16string tooltip;
  bool has_tool = false;
};

struct FormStyle {
  const wchar_t* class_name;
  DWORD style;
  DWORD ex_style;
  bool white = false;       // white background, as the About window has
  bool on_taskbar = true;   // off the taskbar = owned by a hidden window
  LPCWSTR cursor = IDC_ARROW;
};

// A text box shows a lone line feed as a line break only when it is CR LF.
std::wstring TextBoxText(std::u16string_view text);

// Mouse position and button state of a mouse message, x and y in twips.
MouseArgs MouseArgsFrom(WPARAM wparam, LPARAM lparam, int dpi);

class FormWindow : public Window {
 public:
  FormWindow(Win32Host& host, ControlId id, const FormLayout* layout, FormStyle style);

  ControlId id() const { return id_; }
  // Loaded as the logic sees it: from before its Load event to its Unload.
  bool loaded() const { return loaded_; }
  void set_loaded(bool loaded) { loaded_ = loaded; }
  // Set while the window's Unload events run, so they cannot start again.
  bool closing = false;

  // Creates the window hidden, with every control, at the system's default
  // place. Does nothing when it exists.
  bool Create();
  void Destroy();

  int dpi() const { return dpi_; }
  Control* Find(ControlId id);
  void SetToolTip(Control& control, std::u16string_view tip);
  // Gives the tips set while the form was hidden to the tool tip window.
  void AttachToolTips();

  // A row button's mouse move, from its subclass procedure.
  void OnRowMouseMove(HWND button, WPARAM wparam, LPARAM lparam);

 protected:
  LRESULT OnMessage(UINT msg, WPARAM wparam, LPARAM lparam) override;
  // Sizes the new window; the default gives it the layout's client size.
  virtual void FitWindow();

  Win32Host& host_;

 private:
  void CreateControls();
  HWND CreateControl(const ControlLayout& layout, Control& control, HWND parent);
  void ApplyDesign(Control& control);
  void PlaceControls();
  void OnCommand(WPARAM wparam, LPARAM lparam);
  void OnDpiChanged(WPARAM wparam, const RECT& suggested);
  LRESULT OnStaticColour(HDC dc, HWND control);

  ControlId id_;
  const FormLayout* layout_;
  FormStyle style_;
  bool loaded_ = false;
  int dpi_ = 96;
  std::map<ControlId, Control> controls_;
  UniqueFont font_;
  void AttachToolTip(Control& control);

  UniqueWindow tooltip_;
};

// MainForm: also the tray's callback, the shell's restart and the session's end.
class MainWindow final : public FormWindow {
 public:
  explicit MainWindow(Win32Host& host);

 protected:
  LRESULT OnMessage(UINT msg, WPARAM wparam, LPARAM lparam) override;

 private:
  UINT taskbar_created_;
};

// Form2: the frozen screen under a cross-hair, with an optional outline.
class OverlayWindow final : public FormWindow {
 public:
  explicit OverlayWindow(Win32Host& host);

  void SetFrozen(const Picture& frozen);
  // Corners in pixels of the overlay, in any order, both inclusive.
  void DrawOutline(POINT a, POINT b);
  void ClearOutline();

 protected:
  LRESULT OnMessage(UINT msg, WPARAM wparam, LPARAM lparam) override;
  void FitWindow() override;

 private:
  void OnPaint();
  void InvalidateOutline();

  Surface frozen_;
  std::optional<RECT> outline_;  // right and bottom exclusive
};

}  // namespace pw::win32
