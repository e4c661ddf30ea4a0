#include "Keyboard.h"

#include <functional>
#include <optional>
#include <vector>

#include "Desktop.h"

namespace rerevure::e2e {

namespace {

// How long the keyboard focus must stay put before a key is pressed: a
// foreground change settles in a few messages between the processes.
constexpr auto kSettle = 150ms;

HWND ThreadFocus(DWORD thread) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  if (!GetGUIThreadInfo(thread, &info)) return nullptr;
  return info.hwndFocus;
}

// Waits until the foreground thread's focus meets `wanted` for kSettle on end.
bool KeyboardSettles(const std::function<bool(HWND)>& wanted, std::chrono::milliseconds timeout) {
  std::optional<std::chrono::steady_clock::time_point> since;
  return WaitUntil(
      [&] {
        if (!wanted(ThreadFocus(0))) {
          since.reset();
          return false;
        }
        const auto now = std::chrono::steady_clock::now();
        if (!since) since = now;
        return now - *since >= kSettle;
      },
      timeout);
}

}  // namespace

bool BringToForeground(HWND window) {
  const bool foreground = WaitUntil(
      [&] {
        if (GetForegroundWindow() == window) return true;
        SetForegroundWindow(window);
        return false;
      },
      5s);
  return foreground && KeyboardSettles(
                           [&](HWND focus) {
                             return focus != nullptr &&
                                    (focus == window || IsChild(window, focus)) &&
                                    GetForegroundWindow() == window;
                           },
                           5s);
}

HWND FocusOf(HWND window) { return ThreadFocus(GetWindowThreadProcessId(window, nullptr)); }

bool KeyboardAt(HWND control, std::chrono::milliseconds timeout) {
  return KeyboardSettles([&](HWND focus) { return focus == control; }, timeout);
}

namespace {

INPUT Key(WORD vk, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = vk;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return input;
}

void Send(std::vector<INPUT>& inputs) {
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

}  // namespace

void PressKey(WORD key, bool alt, bool shift) {
  std::vector<INPUT> inputs;
  if (alt) inputs.push_back(Key(VK_MENU, false));
  if (shift) inputs.push_back(Key(VK_SHIFT, false));
  inputs.push_back(Key(key, false));
  inputs.push_back(Key(key, true));
  if (shift) inputs.push_back(Key(VK_SHIFT, true));
  if (alt) inputs.push_back(Key(VK_MENU, true));
  Send(inputs);
}

void TypeText(const std::wstring& text) {
  std::vector<INPUT> inputs;
  for (wchar_t c : text) {
    for (bool up : {false, true}) {
      INPUT input{};
      input.type = INPUT_KEYBOARD;
      input.ki.wScan = c;
      input.ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0);
      inputs.push_back(input);
    }
  }
  Send(inputs);
}

}  // namespace rerevure::e2e
