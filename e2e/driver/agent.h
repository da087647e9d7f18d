// The driver's own window, on a thread of its own that pumps messages.
//
// Other programs send messages to it synchronously (the clipboard viewer
// chain, clipboard ownership notices), so it must never wait on the command
// reader. Clipboard work runs on its thread through Run(), with the window as
// the clipboard's owner. As a member of the viewer chain it counts the change
// notices it receives and passes each on; the notice the system sends while
// the window joins is neither counted nor passed on, because it reports no
// change (and the next viewer would otherwise take the current contents again).
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <atomic>
#include <functional>
#include <thread>

namespace pwdriver {

class Agent {
 public:
  Agent();
  ~Agent();
  Agent(const Agent&) = delete;
  Agent& operator=(const Agent&) = delete;

  HWND hwnd() const { return hwnd_; }

  // Runs `work` on the agent's thread and waits for it.
  void Run(const std::function<void()>& work);

  // The clipboard viewer chain; both run on the agent's thread.
  void JoinChain();
  void LeaveChain();
  bool joined() const { return joined_.load(); }
  HWND next_viewer() const { return next_.load(); }
  long notices() const { return notices_.load(); }
  long joining_notices() const { return joining_notices_.load(); }

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  LRESULT OnDrawClipboard(WPARAM wp, LPARAM lp);
  LRESULT OnChangeCbChain(WPARAM wp, LPARAM lp);
  void ThreadMain(HANDLE ready);

  std::thread thread_;
  HWND hwnd_ = nullptr;
  std::atomic<HWND> next_{nullptr};
  std::atomic<bool> joined_{false};
  std::atomic<bool> joining_{false};
  std::atomic<long> notices_{0};
  std::atomic<long> joining_notices_{0};
};

}  // namespace pwdriver
