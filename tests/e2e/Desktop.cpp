#include "Desktop.h"

#include <commctrl.h>
#include <tlhelp32.h>

namespace rerevure::e2e {

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    // A window of the test's own (another program for the tested one to
    // lose the focus to) answers what the system and the program send it
    // while the test waits, so neither blocks on it.
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  return true;
}

std::vector<HWND> TopLevelWindows(DWORD process_id, const wchar_t* class_name) {
  struct Search {
    DWORD process_id;
    const wchar_t* class_name;
    std::vector<HWND> found;
  } search{process_id, class_name, {}};
  EnumWindows(
      [](HWND hwnd, LPARAM param) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(param);
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        if (owner != s.process_id || !IsWindowVisible(hwnd)) return TRUE;
        if (s.class_name && ClassName(hwnd) != s.class_name) return TRUE;
        s.found.push_back(hwnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

namespace {

std::vector<HWND> AllDescendants(HWND parent) {
  std::vector<HWND> all;
  EnumChildWindows(
      parent,
      [](HWND hwnd, LPARAM param) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(param)->push_back(hwnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&all));
  return all;
}

}  // namespace

HWND FindDescendant(HWND parent, const std::wstring& caption) {
  for (HWND hwnd : AllDescendants(parent)) {
    if (WindowText(hwnd) == caption) return hwnd;
  }
  return nullptr;
}

std::vector<HWND> Descendants(HWND parent, const wchar_t* class_name) {
  std::vector<HWND> found;
  for (HWND hwnd : AllDescendants(parent)) {
    if (ClassName(hwnd) == class_name) found.push_back(hwnd);
  }
  return found;
}

bool IsAbove(HWND upper, HWND lower) {
  for (HWND below = GetWindow(upper, GW_HWNDNEXT); below != nullptr;
       below = GetWindow(below, GW_HWNDNEXT)) {
    if (below == lower) return true;
  }
  return false;
}

namespace {

// Wine's shell keeps one window per tray icon: with no tray of the desktop's
// own to dock into (a virtual display), a child of its stand-alone "Wine
// System Tray" window. The class name differs between Wine's versions.
bool IsTrayIconClass(const std::wstring& name) {
  return name == L"__winex11_tray_icon" || name == L"__wine_tray_icon";
}

}  // namespace

std::vector<HWND> TrayIconWindows() {
  std::vector<HWND> icons;
  EnumWindows(
      [](HWND hwnd, LPARAM param) -> BOOL {
        auto& found = *reinterpret_cast<std::vector<HWND>*>(param);
        if (IsTrayIconClass(ClassName(hwnd))) found.push_back(hwnd);
        for (HWND child : AllDescendants(hwnd)) {
          if (IsTrayIconClass(ClassName(child))) found.push_back(child);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&icons));
  return icons;
}

std::vector<std::wstring> VisibleBalloonTexts() {
  std::vector<std::wstring> texts;
  EnumWindows(
      [](HWND hwnd, LPARAM param) -> BOOL {
        if (ClassName(hwnd) == TOOLTIPS_CLASSW && IsWindowVisible(hwnd) &&
            (GetWindowLongW(hwnd, GWL_STYLE) & TTS_BALLOON)) {
          reinterpret_cast<std::vector<std::wstring>*>(param)->push_back(WindowText(hwnd));
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&texts));
  return texts;
}

std::optional<DWORD> ReadDword(const std::wstring& key, const std::wstring& value) {
  DWORD data = 0;
  DWORD size = sizeof(data);
  if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), value.c_str(), RRF_RT_REG_DWORD, nullptr, &data,
                   &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return data;
}

std::optional<std::wstring> ReadString(const std::wstring& key, const std::wstring& value) {
  return ReadString(HKEY_CURRENT_USER, key, value);
}

std::optional<std::wstring> ReadString(HKEY root, const std::wstring& key,
                                       const std::wstring& value) {
  wchar_t data[2048] = {};
  DWORD size = sizeof(data);
  if (RegGetValueW(root, key.c_str(), value.c_str(), RRF_RT_REG_SZ, nullptr, data, &size) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  return std::wstring(data);
}

void WriteString(const std::wstring& key, const std::wstring& value, const std::wstring& text) {
  WriteString(HKEY_CURRENT_USER, key, value, text);
}

void WriteString(HKEY root, const std::wstring& key, const std::wstring& value,
                 const std::wstring& text) {
  RegSetKeyValueW(root, key.c_str(), value.c_str(), REG_SZ, text.c_str(),
                  static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

void WriteDword(const std::wstring& key, const std::wstring& value, DWORD number) {
  RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), value.c_str(), REG_DWORD, &number,
                  sizeof(number));
}

void DeleteValue(const std::wstring& key, const std::wstring& value) {
  RegDeleteKeyValueW(HKEY_CURRENT_USER, key.c_str(), value.c_str());
}

void DeleteTree(const std::wstring& key) { DeleteTree(HKEY_CURRENT_USER, key); }

void DeleteTree(HKEY root, const std::wstring& key) { RegDeleteTreeW(root, key.c_str()); }

bool ProcessRunning(const std::wstring& exe_name) {
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return false;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  bool found = false;
  for (BOOL more = Process32FirstW(snapshot, &entry); more && !found;
       more = Process32NextW(snapshot, &entry)) {
    found = _wcsicmp(entry.szExeFile, exe_name.c_str()) == 0;
  }
  CloseHandle(snapshot);
  return found;
}

std::optional<std::string> ReadFileBytes(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string bytes;
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0) {
    bytes.append(buffer, read);
  }
  CloseHandle(file);
  return bytes;
}

void RemoveFile(const std::wstring& path) { DeleteFileW(path.c_str()); }

}  // namespace rerevure::e2e
