#include "platform/Win32MessageLoop.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/Win32Form.h"

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

namespace {

struct Watched {
  HANDLE handle;
  std::function<void()> signalled;
};

std::vector<Watched>& WatchList() {
  static std::vector<Watched> list;
  return list;
}

}  // namespace

void Win32MessageLoop::Watch(HANDLE handle, std::function<void()> signalled) {
  WatchList().push_back({handle, std::move(signalled)});
}

void Win32MessageLoop::Unwatch(HANDLE handle) {
  auto& list = WatchList();
  list.erase(std::remove_if(list.begin(), list.end(),
                            [&](const Watched& watched) { return watched.handle == handle; }),
             list.end());
}

int Win32MessageLoop::Run() {
  MSG message{};
  for (;;) {
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) return static_cast<int>(message.wParam);
      Dispatch(message);
    }
    auto& list = WatchList();
    // One wait can take at most MAXIMUM_WAIT_OBJECTS - 1 handles besides the
    // queue; the program watches one process at a time.
    std::vector<HANDLE> handles;
    for (const Watched& watched : list) {
      if (handles.size() + 1 >= MAXIMUM_WAIT_OBJECTS) break;
      handles.push_back(watched.handle);
    }
    const auto count = static_cast<DWORD>(handles.size());
    const DWORD woken = MsgWaitForMultipleObjectsEx(count, handles.data(), INFINITE, QS_ALLINPUT,
                                                    MWMO_INPUTAVAILABLE);
    if (woken < WAIT_OBJECT_0 + count) {
      const HANDLE handle = handles[woken - WAIT_OBJECT_0];
      const auto found = std::find_if(list.begin(), list.end(), [&](const Watched& watched) {
        return watched.handle == handle;
      });
      // Taken off the list first: the call may unwatch or watch handles.
      std::function<void()> signalled = std::move(found->signalled);
      list.erase(found);
      signalled();
    } else if (woken == WAIT_FAILED) {
      // Only a handle closed behind the loop's back does this. Forgetting the
      // watches keeps the loop from spinning; their ends go unnoticed (a
      // script then stays until the next start removes it).
      list.clear();
      WaitMessage();
    }
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
