#include "Win32TestSupport.h"

#include "platform/win32/Win32MessageLoop.h"

namespace rerevure::testing::win32 {

bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  return platform::Win32MessageLoop::PumpUntil(done, timeout);
}

void PumpFor(std::chrono::milliseconds time) {
  platform::Win32MessageLoop::PumpUntil([] { return false; }, time);
}

void PressKey(UINT key, bool alt, bool shift) {
  // Real keyboard input: it reaches the focused window through the thread's
  // queue, the message loop and the dialog manager, as a user's would.
  std::vector<INPUT> inputs;
  auto add = [&](WORD vk, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    inputs.push_back(input);
  };
  if (alt) add(VK_MENU, false);
  if (shift) add(VK_SHIFT, false);
  add(static_cast<WORD>(key), false);
  add(static_cast<WORD>(key), true);
  if (shift) add(VK_SHIFT, true);
  if (alt) add(VK_MENU, true);
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  PumpFor(std::chrono::milliseconds(100));
}

MessageBoxCloser::MessageBoxCloser() : thread_([this] { Watch(); }) {}

MessageBoxCloser::~MessageBoxCloser() {
  stop_ = true;
  thread_.join();
}

std::vector<MessageBoxCloser::Box> MessageBoxCloser::Boxes() const {
  std::lock_guard lock(mutex_);
  return boxes_;
}

size_t MessageBoxCloser::Count() const {
  std::lock_guard lock(mutex_);
  return boxes_.size();
}

void MessageBoxCloser::Watch() {
  const DWORD process = GetCurrentProcessId();
  while (!stop_) {
    HWND box = nullptr;
    while ((box = FindWindowExW(nullptr, box, L"#32770", nullptr)) != nullptr) {
      DWORD owner_process = 0;
      GetWindowThreadProcessId(box, &owner_process);
      if (owner_process != process || !IsWindowVisible(box)) continue;
      // Wine keeps a message box's text in the static control 0xFFFF.
      const HWND text = GetDlgItem(box, 0xFFFF);
      Box seen{WindowText(box), text != nullptr ? WindowText(text) : std::wstring()};
      {
        std::lock_guard lock(mutex_);
        boxes_.push_back(seen);
      }
      HWND button = FindWindowExW(box, nullptr, L"Button", nullptr);
      if (button != nullptr) {
        PostMessageW(button, BM_CLICK, 0, 0);
      } else {
        PostMessageW(box, WM_COMMAND, IDOK, 0);
      }
      // Wait for it to go before looking again.
      for (int i = 0; i < 200 && IsWindow(box) && IsWindowVisible(box); ++i) Sleep(10);
    }
    Sleep(20);
  }
}

}  // namespace rerevure::testing::win32
