// The MSI's own custom actions (RerevureActions.dll, in the package's Binary
// table). Windows Installer runs them from its own copy of the DLL, in its
// service, so nothing here is loaded from a folder users can write. Both are
// deferred and not impersonated: they run as SYSTEM, read their one argument
// from CustomActionData and write what they did into the installation log
// (msiexec /l*v).
//
//   MoveProgramAside  CustomActionData: the program folder, "...\bin\".
//       Runs before the files are removed or installed, on every install,
//       upgrade and uninstall. Removes the files earlier runs moved aside
//       (Rerevure-N.old) that nothing uses any more; then, when Rerevure.exe
//       is in use (running in a session), renames it to the first free
//       Rerevure-N.old in the same folder and has that removed at the next
//       restart. Windows lets a running program's file be renamed within its
//       volume, but not deleted or overwritten; a package running as SYSTEM
//       cannot close the copies in other users' sessions (Restart Manager
//       does not cross sessions for it), so without this Windows Installer
//       would replace the file only at the next restart and return 3010. The
//       copies run on from the renamed file until their users sign in again.
//   CheckScriptPath  CustomActionData: "<script folder>|<the program's path to it>".
//       Creates a file of a name nobody can know in advance in the script
//       folder (which users may write) and looks for it through the
//       program's fixed path C:\Progra~1\Rerevure. When it is not there,
//       warns in the Application event log (source Rerevure) and the
//       installation log. Never fails the installation.
#include <windows.h>
// clang-format off
#include <msi.h>
#include <msiquery.h>
#include <objbase.h>
// clang-format on

#include <memory>
#include <string>

#include "platform/win32/Win32OwnedHandle.h"
#include "platform/win32/Win32Owners.h"

namespace {

using rerevure::platform::OwnedHandle;

constexpr wchar_t kProgram[] = L"Rerevure.exe";
constexpr wchar_t kAsidePrefix[] = L"Rerevure-";
constexpr wchar_t kAsideSuffix[] = L".old";
constexpr wchar_t kEventSource[] = L"Rerevure";
constexpr DWORD kScriptPathEvent = 1;
// More moved-aside copies than any laptop keeps between two restarts.
constexpr int kMostAside = 1000;

class MsiRecord {
 public:
  explicit MsiRecord(MSIHANDLE record) : record_(record) {}
  MsiRecord(const MsiRecord&) = delete;
  MsiRecord& operator=(const MsiRecord&) = delete;
  // A failed close leaves nothing behind that matters: the record is freed
  // with the installation's other handles.
  ~MsiRecord() {
    if (record_) MsiCloseHandle(record_);
  }
  MSIHANDLE Get() const { return record_; }

 private:
  MSIHANDLE record_;
};

std::wstring ActionData(MSIHANDLE install) {
  wchar_t none[1] = L"";
  DWORD size = 0;
  if (MsiGetPropertyW(install, L"CustomActionData", none, &size) != ERROR_MORE_DATA) return {};
  std::wstring value(size, L'\0');
  ++size;
  if (MsiGetPropertyW(install, L"CustomActionData", value.data(), &size) != ERROR_SUCCESS) {
    return {};
  }
  value.resize(size);
  return value;
}

// A line of the installation log. The text goes in as a field, never as the
// record's template, where a "[" in a path would be read as a property.
void Log(MSIHANDLE install, const std::wstring& text) {
  const MsiRecord record(MsiCreateRecord(1));
  if (!record.Get()) return;  // out of memory: the line is only for the log
  MsiRecordSetStringW(record.Get(), 0, L"Rerevure: [1]");
  MsiRecordSetStringW(record.Get(), 1, text.c_str());
  MsiProcessMessage(install, INSTALLMESSAGE_INFO, record.Get());
}

std::wstring ErrorText(DWORD error) { return L" (error " + std::to_wstring(error) + L")"; }

// In use: open in a process, so that no one may write it. Windows refuses
// writing to a running program's file with a sharing violation.
bool InUse(const std::wstring& path) {
  const OwnedHandle file(CreateFileW(path.c_str(), GENERIC_WRITE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return !file && GetLastError() == ERROR_SHARING_VIOLATION;
}

void RemoveEarlierAside(MSIHANDLE install, const std::wstring& folder) {
  WIN32_FIND_DATAW found{};
  const std::wstring pattern = folder + kAsidePrefix + L"*" + kAsideSuffix;
  const HANDLE first = FindFirstFileW(pattern.c_str(), &found);
  if (first == INVALID_HANDLE_VALUE) return;  // none (or no folder yet)
  const rerevure::platform::OwnedFind search(first);
  do {
    const std::wstring path = folder + found.cFileName;
    // One still in use stays: it was put on the restart's list when it was
    // moved aside.
    if (DeleteFileW(path.c_str())) Log(install, L"removed " + path);
  } while (FindNextFileW(search.get(), &found));
}

}  // namespace

extern "C" __declspec(dllexport) UINT __stdcall MoveProgramAside(MSIHANDLE install) {
  std::wstring folder = ActionData(install);
  if (folder.empty()) return ERROR_SUCCESS;
  if (folder.back() != L'\\') folder += L'\\';
  RemoveEarlierAside(install, folder);
  const std::wstring program = folder + kProgram;
  if (!InUse(program)) return ERROR_SUCCESS;
  for (int n = 1; n <= kMostAside; ++n) {
    const std::wstring aside = folder + kAsidePrefix + std::to_wstring(n) + kAsideSuffix;
    // Without MOVEFILE_REPLACE_EXISTING: a name taken is skipped, never overwritten.
    if (MoveFileExW(program.c_str(), aside.c_str(), 0)) {
      if (!MoveFileExW(aside.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) {
        Log(install, L"could not have " + aside + L" removed at the next restart" +
                         ErrorText(GetLastError()));
      }
      Log(install, program + L" is in use (Rerevure is still running in a session): moved to " +
                       aside + L", removed at the next restart.");
      return ERROR_SUCCESS;
    }
    const DWORD error = GetLastError();
    if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS) {
      // Windows Installer then replaces the file at the next restart itself.
      Log(install, L"could not move " + program + L" aside" + ErrorText(error));
      return ERROR_SUCCESS;
    }
  }
  Log(install, L"no free name to move " + program + L" aside");
  return ERROR_SUCCESS;
}

extern "C" __declspec(dllexport) UINT __stdcall CheckScriptPath(MSIHANDLE install) {
  const std::wstring data = ActionData(install);
  const size_t bar = data.find(L'|');
  if (bar == std::wstring::npos) return ERROR_SUCCESS;
  const std::wstring folder = data.substr(0, bar);
  const std::wstring path = data.substr(bar + 1);

  // A random name, created only if nothing has it: a user cannot have put a
  // file or link of that name there for SYSTEM to write through.
  GUID guid{};
  wchar_t guid_text[40] = L"";
  if (FAILED(CoCreateGuid(&guid)) || !StringFromGUID2(guid, guid_text, 40)) {
    Log(install, L"could not check the script path: no random name");
    return ERROR_SUCCESS;
  }
  const std::wstring name = std::wstring(L"\\path-check-") + guid_text + L".tmp";
  const OwnedHandle probe(
      CreateFileW((folder + name).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                  FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  if (!probe) {
    Log(install, L"could not check that " + path + L" is " + folder + ErrorText(GetLastError()));
    return ERROR_SUCCESS;
  }
  if (GetFileAttributesW((path + name).c_str()) != INVALID_FILE_ATTRIBUTES) return ERROR_SUCCESS;

  const std::wstring warning =
      path + L" does not lead to " + folder +
      L" on this computer: drive C: has no 8.3 short name for that folder. Rerevure is "
      L"installed, but its school switch cannot map network drives.";
  Log(install, warning);
  const rerevure::platform::OwnedEventSource log(RegisterEventSourceW(nullptr, kEventSource));
  const wchar_t* strings[] = {warning.c_str()};
  // The installation log has the warning already should either fail.
  if (log) {
    ReportEventW(log.get(), EVENTLOG_WARNING_TYPE, 0, kScriptPathEvent, nullptr, 1, 0, strings,
                 nullptr);
  }
  return ERROR_SUCCESS;
}
