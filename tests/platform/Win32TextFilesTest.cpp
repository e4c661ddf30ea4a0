#include <gtest/gtest.h>
#include <windows.h>

#include "ScratchFolder.h"
#include "platform/PlatformError.h"
#include "platform/win32/Win32TextFiles.h"

namespace rerevure::platform {
namespace {

class Win32TextFilesTest : public ::testing::Test {
 protected:
  ScratchFolder folder{L"files"};
  Win32TextFiles files;
};

TEST_F(Win32TextFilesTest, LinesAreWrittenAsBytesEachEndedByCrLf) {
  const std::wstring path = folder / L"lines.bat";
  auto file = files.Create(path);
  file->WriteLine("net use h: J\x81rgen");
  file->WriteLine("");
  file->WriteLine("cls");
  file->Close();
  EXPECT_EQ(ReadFileBytes(path), "net use h: J\x81rgen\r\n\r\ncls\r\n");
}

TEST_F(Win32TextFilesTest, CreatingNeverWritesIntoAFileThatAlreadyStands) {
  const std::wstring path = folder / L"old.bat";
  auto first = files.Create(path);
  first->WriteLine("someone else's script");
  first->Close();
  EXPECT_NE(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);

  try {
    files.Create(path);
    ADD_FAILURE() << "an existing file was opened for writing";
  } catch (const PlatformError& e) {
    EXPECT_EQ(e.Number(), ERROR_FILE_EXISTS);
    EXPECT_FALSE(e.Description().empty());
  }
  EXPECT_EQ(ReadFileBytes(path), "someone else's script\r\n");

  files.Remove(path);
  EXPECT_EQ(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);
  auto second = files.Create(path);
  second->WriteLine("new");
  second->Close();
  EXPECT_EQ(ReadFileBytes(path), "new\r\n");
}

TEST_F(Win32TextFilesTest, AFileIsClosedWhenDroppedWithoutClose) {
  const std::wstring path = folder / L"dropped.bat";
  files.Create(path)->WriteLine("x");
  // Deleting fails while a handle without delete sharing is open.
  EXPECT_TRUE(DeleteFileW(path.c_str()));
}

TEST_F(Win32TextFilesTest, TheFolderIsNotCreated) {
  try {
    files.Create(folder / L"missing\\MapDrives.bat");
    ADD_FAILURE() << "created a file in a missing folder";
  } catch (const PlatformError& e) {
    EXPECT_EQ(e.Number(), ERROR_PATH_NOT_FOUND);
    EXPECT_FALSE(e.Description().empty());
    EXPECT_EQ(e.Description().find(L"System error"), std::wstring::npos);
  }
  EXPECT_EQ(GetFileAttributesW((folder / L"missing").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(Win32TextFilesTest, WritingAfterCloseFails) {
  auto file = files.Create(folder / L"closed.bat");
  file->Close();
  EXPECT_THROW(file->WriteLine("late"), PlatformError);
}

TEST_F(Win32TextFilesTest, RemoveDeletesAndAnAbsentFileIsNoError) {
  const std::wstring path = folder / L"gone.bat";
  files.Create(path)->Close();
  files.Remove(path);
  EXPECT_EQ(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);

  EXPECT_NO_THROW(files.Remove(path));
  EXPECT_NO_THROW(files.Remove(folder / L"missing\\gone.bat"));
}

TEST_F(Win32TextFilesTest, AFileThatCannotBeRemovedFailsWithTheReason) {
  const std::wstring path = folder / L"kept.bat";
  files.Create(path)->Close();
  ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
  try {
    files.Remove(path);
    ADD_FAILURE() << "removed a read-only file";
  } catch (const PlatformError& e) {
    EXPECT_EQ(e.Number(), ERROR_ACCESS_DENIED);
    EXPECT_FALSE(e.Description().empty());
  }
  EXPECT_NE(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
}  // namespace rerevure::platform
