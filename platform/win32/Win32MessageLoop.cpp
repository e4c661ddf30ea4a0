#include "platform/win32/Win32MessageLoop.h"

#include <algorithm>

#include "platform/win32/Win32Form.h"

namespace rerevure::platform {

void Win32MessageLoop::Dispatch(MSG& message) {
  if (message.hwnd != nullptr) {
    const HWND root = GetAncestor(message.hwnd, GA_ROOT);
    if (root != nullptr && Win32Form::IsFormWindow(root) && IsDialogMessageW(root, &message)) {
      return;
    }
  }
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

int Win32MessageLoop::Run() {
  MSG message{};
  for (;;) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(message.wParam);
    // -1 only for an invalid window filter, which a null one never is.
    if (got == -1) continue;
    Dispatch(message);
  }
}

namespace {

// Handles what is queued; false when WM_QUIT was met (and posted again).
bool PumpQueued() {
  MSG message{};
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return false;
    }
    Win32MessageLoop::Dispatch(message);
  }
  return true;
}

}  // namespace

void Win32MessageLoop::PumpPending() { PumpQueued(); }

bool Win32MessageLoop::PumpUntil(const std::function<bool()>& done,
                                 std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    if (!PumpQueued()) return done();
    if (done()) return true;
    const auto now = std::chrono::steady_clock::now();
    if (now >= deadline) return false;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now);
    // Wake for new input or after a short while, for conditions that change
    // without a message (another thread, another process).
    const DWORD wait = static_cast<DWORD>(std::min<long long>(left.count(), 20));
    MsgWaitForMultipleObjectsEx(0, nullptr, wait, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  }
}

}  // namespace rerevure::platform
