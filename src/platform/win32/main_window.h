// The main window: the rows of texts, the picture slots, the control panel
// and the row preview; also the window the clipboard chain and the tray icon
// report to. It tells the program what happens through Events.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>

#include "platform/win32/clipboard_chain.h"
#include "platform/win32/form_window.h"
#include "platform/win32/tray_icon.h"

namespace pw::win32 {

class MainWindow final : public FormWindow {
 public:
  // `close_others` takes every other window of the program down; it runs
  // when the main window closes, after Events::MainWindowClosing.
  MainWindow(ResourceCache& resources, Events& events, std::function<void()> close_others);

  bool Create();
  // Applies the view by difference: only what changed is touched.
  void ShowStore(const WindowView& view);
  // The row preview, and the pointer held for the row so that every move,
  // also off it, is reported.
  void ShowTextPreview(int slot, std::u16string_view text);
  void HideTextPreview();

  // Shows it again, active, the focus on its first control.
  void Restore();
  // An arrow key on one of its controls: moves the focus along a row and
  // between rows, or about the picture column. True when it was one.
  bool ArrowKey(const MSG& msg);

  SizeTwips OuterSize() const;
  // At these screen twips, above ordinary windows.
  void PlaceOnTop(std::int32_t left, std::int32_t top);

  ClipboardChain& chain() { return chain_; }
  TrayIcon& tray() { return tray_; }
  // Takes the messages the window gets as the clipboard's owner (rendering
  // what it offered, losing the clipboard); true when it handled one.
  void SetClipboardOwnerHandler(std::function<bool(UINT, WPARAM)> handler) {
    owner_messages_ = std::move(handler);
  }

 protected:
  bool MadeAtStart(ControlId id) const override;
  void ControlMade(ControlId id, HWND control) override;
  void Clicked(ControlId id) override;
  LRESULT OnMessage(UINT msg, WPARAM wparam, LPARAM lparam) override;

 private:
  static LRESULT CALLBACK RowButtonProc(HWND button, UINT msg, WPARAM wparam, LPARAM lparam,
                                        UINT_PTR subclass, DWORD_PTR self);
  void ShowRow(int slot, const RowView& row);
  void SetRowCaption(int slot, HWND button, std::u16string_view caption);
  void ShowSlot(int n, const Picture& picture);
  void ShowControl(ControlId id, bool shown);
  bool Shown(ControlId id) const;
  // Before the focused control hides or is disabled: the focus goes back to
  // the control before it, or on to the next one.
  void PassFocusOn(HWND control, bool back);
  void RowPointerMoved(HWND button, POINT at);
  void Close();

  Events& events_;
  std::function<void()> close_others_;
  ClipboardChain chain_;
  TrayIcon tray_;
  std::function<bool(UINT, WPARAM)> owner_messages_;
  bool closing_ = false;
  // What each row button shows, as the store gave it: compared here rather
  // than read back from ten buttons every time the store shifts.
  std::array<std::u16string, kTextSlots> row_captions_;
};

}  // namespace pw::win32
