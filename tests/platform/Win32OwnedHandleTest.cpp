#include <gtest/gtest.h>
#include <windows.h>

#include <utility>

#include "platform/win32/Win32OwnedHandle.h"

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

}  // namespace
}  // namespace rerevure::platform
