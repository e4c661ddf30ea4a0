#pragma once

// Looking at the desktop from outside a program: its windows, their texts,
// the tray, the registry and files, as any other process can see them.

#include <windows.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "WindowQueries.h"

namespace rerevure::e2e {

using namespace std::chrono_literals;

// Polls done() every 20 ms until it holds or the time is up; returns done().
// Meanwhile the calling thread's windows get their messages.
bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = 10s);

using testing::win32::ClassName;
using testing::win32::RectIn;
using testing::win32::WindowText;

// The top-level windows of a process, optionally of one class, visible ones only.
std::vector<HWND> TopLevelWindows(DWORD process_id, const wchar_t* class_name = nullptr);
// The first descendant of a window whose text is caption.
HWND FindDescendant(HWND parent, const std::wstring& caption);
std::vector<HWND> Descendants(HWND parent, const wchar_t* class_name);

// True when top-level window `upper` comes before `lower` in the z-order.
bool IsAbove(HWND upper, HWND lower);

// The notification area: the icon windows the shell shows, and the balloon
// tooltips it has up (visible tooltips with the balloon style), with their text.
std::vector<HWND> TrayIconWindows();
std::vector<std::wstring> VisibleBalloonTexts();

// The registry, under HKEY_CURRENT_USER unless a root is given.
std::optional<DWORD> ReadDword(const std::wstring& key, const std::wstring& value);
std::optional<std::wstring> ReadString(HKEY root, const std::wstring& key,
                                       const std::wstring& value);
std::optional<std::wstring> ReadString(const std::wstring& key, const std::wstring& value);
void WriteString(HKEY root, const std::wstring& key, const std::wstring& value,
                 const std::wstring& text);
void WriteString(const std::wstring& key, const std::wstring& value, const std::wstring& text);
void WriteDword(const std::wstring& key, const std::wstring& value, DWORD number);
void DeleteValue(const std::wstring& key, const std::wstring& value);
void DeleteTree(const std::wstring& key);
void DeleteTree(HKEY root, const std::wstring& key);

// Whether a process of this program file name (e.g. L"cmd.exe") is running.
bool ProcessRunning(const std::wstring& exe_name);

// Files.
std::optional<std::string> ReadFileBytes(const std::wstring& path);
void RemoveFile(const std::wstring& path);

}  // namespace rerevure::e2e
