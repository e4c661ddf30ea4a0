#include <gtest/gtest.h>
#include <windows.h>

#include <utility>

#include "platform/win32/Win32OwnedHandle.h"
#include "platform/win32/Win32Owners.h"

namespace rerevure::platform {
namespace {

bool IsOpen(HANDLE handle) {
  DWORD flags = 0;
  return GetHandleInformation(handle, &flags) != FALSE;
}

TEST(OwnedHandleTest, NullAndInvalidHandleValueAreBothNone) {
  for (const HANDLE none : {HANDLE{nullptr}, INVALID_HANDLE_VALUE}) {
    OwnedHandle owner(none);
    EXPECT_FALSE(owner);
    EXPECT_EQ(owner.Get(), nullptr);
    EXPECT_FALSE(owner.Close());
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  }
}

TEST(OwnedHandleTest, OneOwnerAtATimeAndTheLastClosesTheHandle) {
  const HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  ASSERT_NE(event, nullptr);
  OwnedHandle first(event);
  OwnedHandle second(std::move(first));
  EXPECT_FALSE(first);
  EXPECT_EQ(second.Get(), event);

  OwnedHandle third;
  third = std::move(second);
  EXPECT_FALSE(second);
  EXPECT_TRUE(IsOpen(event));
  third.Reset();
  EXPECT_FALSE(IsOpen(event));
}

// A free of the wrong kind (an icon given to DeleteObject) fails silently and
// leaks, so each owner is checked against its kind's own test of being gone.
TEST(OwnersTest, EachKindIsFreedByItsOwner) {
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_QUERY_VALUE, &key), ERROR_SUCCESS);
  OwnedRegistryKey(key).reset();
  EXPECT_EQ(RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                             nullptr, nullptr, nullptr, nullptr),
            ERROR_INVALID_HANDLE);

  LOGFONTW wanted{};
  wanted.lfHeight = -12;
  const HFONT font = CreateFontIndirectW(&wanted);
  ASSERT_NE(font, nullptr);
  OwnedFont(font).reset();
  EXPECT_EQ(GetObjectType(font), 0u);

  const HICON icon = CopyIcon(LoadIconW(nullptr, IDI_APPLICATION));
  ASSERT_NE(icon, nullptr);
  OwnedIcon(icon).reset();
  ICONINFO info{};
  EXPECT_FALSE(GetIconInfo(icon, &info));

  const HMENU menu = CreatePopupMenu();
  ASSERT_NE(menu, nullptr);
  OwnedMenu(menu).reset();
  EXPECT_FALSE(IsMenu(menu));

  const HWND window = CreateWindowExW(0, L"STATIC", nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                      GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  OwnedWindow(window).reset();
  EXPECT_FALSE(IsWindow(window));

  const OwnedHandle mapping(
      CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096, nullptr));
  void* const view = MapViewOfFile(mapping.Get(), FILE_MAP_WRITE, 0, 0, 4096);
  ASSERT_NE(view, nullptr);
  OwnedView(view).reset();
  MEMORY_BASIC_INFORMATION memory{};
  ASSERT_NE(VirtualQuery(view, &memory, sizeof(memory)), 0u);
  EXPECT_EQ(memory.State, static_cast<DWORD>(MEM_FREE));
}

}  // namespace
}  // namespace rerevure::platform
