// A hidden window of pwhostile's that can join the clipboard viewer chain.
//
// It lives on the thread that creates it, and that thread must pump messages
// (or be inside a clipboard call) for notices to arrive. The notice the
// system sends while the window joins reports no change: it is swallowed, so
// the next viewer does not take the current contents again. Every later
// notice goes to the handler given at construction, which decides whether,
// when and how the notice is passed on: that is where the faults are made.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <functional>

namespace pwhostile {

class ChainViewer {
 public:
  using NoticeHandler = std::function<void(WPARAM wparam, LPARAM lparam)>;

  explicit ChainViewer(NoticeHandler on_notice);
  ~ChainViewer();
  ChainViewer(const ChainViewer&) = delete;
  ChainViewer& operator=(const ChainViewer&) = delete;

  HWND hwnd() const { return hwnd_; }
  HWND next() const { return next_; }
  bool joined() const { return joined_; }

  void Join();
  void Leave();
  // Sends a notice on to the next viewer and waits up to `timeout_ms` for it
  // to be handled; true when it was (or when there is nobody to tell).
  bool PassOn(WPARAM wparam, LPARAM lparam, UINT timeout_ms) const;

 private:
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
  void OnChangeCbChain(WPARAM wparam, LPARAM lparam);

  NoticeHandler on_notice_;
  HWND hwnd_ = nullptr;
  HWND next_ = nullptr;
  bool joining_ = false;
  bool joined_ = false;
};

}  // namespace pwhostile
