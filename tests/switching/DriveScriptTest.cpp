#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "OrdinaryDriveScript.h"
#include "support/CallJournal.h"
#include "support/FakeSettingsSource.h"
#include "support/FakeTextCodec.h"
#include "support/FakeTextFiles.h"
#include "switching/DriveScript.h"

namespace rerevure::switching {
namespace {

using testing::CallJournal;
using testing::FakeSettingsSource;
using testing::FakeTextCodec;
using testing::FakeTextFiles;

const std::wstring kFolder = L"C:\\Scripts";
const std::wstring kPath = L"C:\\Scripts\\MapDrives.bat";

const std::string kHeader =
    "title Proxy VOZ v1.6 by ZUV Orarevirado\r\n"
    "color A\r\n"
    "@echo off\r\n"
    "net use * /d /y\r\n"
    "cls\r\n";

class DriveScriptTest : public ::testing::Test {
 protected:
  DriveScriptTest() : files{kFolder} {}

  DriveScriptOutcome Write() { return WriteDriveScript(files, codec, kPath, settings); }
  std::string Script() const { return files.files.at(kPath); }

  FakeTextFiles files;
  FakeTextCodec codec;
  FakeSettingsSource settings{OrdinaryDriveValues()};
};

TEST_F(DriveScriptTest, OrdinaryValuesGiveTheElevenLinesByteForByte) {
  const auto outcome = Write();

  EXPECT_FALSE(outcome.failure);
  EXPECT_EQ(Script(), kHeader +
                          "net use h: \\\\srv01\\home$\\jsmith /USER:jsmith Secret1\r\n"
                          "net use i: \\\\srv01\\school\r\n"
                          "net use j: \\\\srv01\\staff\r\n"
                          "net use k: \\\\srv02\\media\r\n"
                          "net use l: \\\\srv02\\exams\r\n"
                          "cls\r\n");
  EXPECT_FALSE(files.IsOpen(kPath));
}

TEST_F(DriveScriptTest, AllEmptyValuesLeaveThePrefixesWithTheirTrailingBlanks) {
  settings.values = DriveSettings{};
  Write();
  EXPECT_EQ(Script(), kHeader +
                          "net use h: \r\n"
                          "net use i: \r\n"
                          "net use j: \r\n"
                          "net use k: \r\n"
                          "net use l: \r\n"
                          "cls\r\n");
}

TEST_F(DriveScriptTest, CredentialsAppearOnlyWhenGiven) {
  settings.values.Username = L"";
  Write();
  EXPECT_NE(Script().find("\r\nnet use h: \\\\srv01\\home$\\jsmith Secret1\r\n"),
            std::string::npos);

  settings.values.Username = L"jsmith";
  settings.values.Password = L"";
  Write();
  EXPECT_NE(Script().find("\r\nnet use h: \\\\srv01\\home$\\jsmith /USER:jsmith\r\n"),
            std::string::npos);
}

TEST_F(DriveScriptTest, ValuesNeedingEscapingReachTheirLineAsOneArgumentInTheOemCodePage) {
  settings.values.UserArea = L"\\\\srv01\\home dir\\";
  settings.values.Username = L"J\u00FCrgen M\u00FCller";
  settings.values.Password = L"50%&x^y|z>w<v!(1)";
  settings.values.SchoolShare = L"%PATH%";
  settings.values.StaffShare = L"\\\\srv01\\staff & exit";
  settings.values.Extra1 = L"say \"hi\"";   // cannot be passed: left out
  settings.values.Extra2 = L"J\u00FCrgen";  // outside ASCII: quoted
  Write();
  EXPECT_EQ(Script(), kHeader +
                          "net use h: \"\\\\srv01\\home dir\\\\\" /USER:\"J\x81rgen M\x81ller\" "
                          "\"50%%&x^y|z>w<v!(1)\"\r\n"
                          "net use i: %%PATH%%\r\n"
                          "net use j: \"\\\\srv01\\staff & exit\"\r\n"
                          "net use k: \r\n"
                          "net use l: \"J\x81rgen\"\r\n"
                          "cls\r\n");
}

TEST_F(DriveScriptTest, AValueThatWouldMakeItsLineTooLongForTheInterpreterIsLeftOut) {
  // Compared with EXPECT_TRUE: a failure would print lines of 8,000 characters.
  // "net use i: " is 11 characters; the interpreter reads 8,191 a line.
  const std::wstring fits(8191 - 11, L'x');
  EXPECT_EQ(ShareDriveLine(L"i:", fits).size(), 8191u);
  EXPECT_TRUE(ShareDriveLine(L"i:", fits + L"x") == L"net use i: ");
  // Doubled percent signs count as written.
  EXPECT_TRUE(ShareDriveLine(L"i:", std::wstring(8191 - 12, L'x') + L"%") == L"net use i: ");

  // On the h: line each value gets what the ones before it left.
  const std::wstring area(8191 - 11 - 9, L'a');  // room for " /USER:jo" only
  EXPECT_TRUE(HomeDriveLine(area, L"jo", L"pw") == L"net use h: " + area + L" /USER:jo");
  EXPECT_TRUE(HomeDriveLine(area + L"a", L"jo", L"pw") == L"net use h: " + area + L"a /USER: ");
}

TEST_F(DriveScriptTest, AUserNameThatCannotBePassedLeavesNetToComplainAboutTheEmptyUser) {
  settings.values.Username = L"j\"smith";
  settings.values.Password = L"a\nb";
  Write();
  EXPECT_NE(Script().find("\r\nnet use h: \\\\srv01\\home$\\jsmith /USER: \r\n"),
            std::string::npos);
}

TEST_F(DriveScriptTest, EachValueIsReadJustBeforeItsLineIsWritten) {
  CallJournal journal;
  files.journal = &journal;
  settings.journal = &journal;
  Write();

  EXPECT_EQ(journal.entries, OrdinaryDriveScriptJournal(kPath));
}

TEST_F(DriveScriptTest, AFailedReadLeavesOutOnlyItsOwnLine) {
  settings.Fail(L"Username", 13, L"Type mismatch");
  settings.Fail(L"Extra1", 13, L"Type mismatch");
  const auto outcome = Write();

  EXPECT_EQ(Script(), kHeader +
                          "net use i: \\\\srv01\\school\r\n"
                          "net use j: \\\\srv01\\staff\r\n"
                          "net use l: \\\\srv02\\exams\r\n"
                          "cls\r\n");
  // The h: line stops at the failed read; the later lines read their own values.
  EXPECT_EQ(settings.reads, (std::vector<std::wstring>{L"UserArea", L"Username", L"SchoolShare",
                                                       L"StaffShare", L"Extra1", L"Extra2"}));
  // The script itself was written whole: nothing for the user to hear about.
  EXPECT_FALSE(outcome.failure);
}

TEST_F(DriveScriptTest, AnUnopenableFileStillReadsEveryValueAndReportsWhy) {
  const std::wstring elsewhere = L"C:\\Missing\\MapDrives.bat";
  const auto outcome = WriteDriveScript(files, codec, elsewhere, settings);

  ASSERT_TRUE(outcome.failure);
  EXPECT_EQ(outcome.failure->Number(), FakeTextFiles::kPathNotFound);
  EXPECT_EQ(outcome.failure->Description(), L"The system cannot find the path specified.");
  EXPECT_FALSE(outcome.removal_failed);
  EXPECT_FALSE(files.Exists(elsewhere));
  EXPECT_EQ(settings.reads.size(), 7u);
}

TEST_F(DriveScriptTest, TheOldScriptIsRemovedAndAFreshOneCreated) {
  files.files[kPath] = "someone else's lines\r\n";
  Write();
  EXPECT_EQ(files.removals, 1);
  EXPECT_EQ(Script().rfind(kHeader, 0), 0u);
  EXPECT_EQ(Script().find("someone else"), std::string::npos);
}

TEST_F(DriveScriptTest, AnOldScriptThatCannotBeRemovedIsNeitherOverwrittenNorRun) {
  files.files[kPath] = "someone else's lines\r\n";
  files.FailRemove(kPath, 5, L"Access is denied.");
  const auto outcome = Write();

  ASSERT_TRUE(outcome.failure);
  EXPECT_EQ(outcome.failure->Number(), 5);
  EXPECT_EQ(outcome.failure->Description(), L"Access is denied.");
  EXPECT_TRUE(outcome.removal_failed);
  EXPECT_EQ(files.creations, 0);
  EXPECT_EQ(Script(), "someone else's lines\r\n");
  EXPECT_EQ(settings.reads.size(), 7u);
}

TEST_F(DriveScriptTest, FailedWritesAreSkippedAndTheFirstOneIsReported) {
  files.FailWrite(kPath, 112, L"There is not enough space on the disk.");
  CallJournal journal;
  files.journal = &journal;
  const auto outcome = Write();

  ASSERT_TRUE(outcome.failure);
  EXPECT_EQ(outcome.failure->Number(), 112);
  EXPECT_EQ(std::count_if(journal.entries.begin(), journal.entries.end(),
                          [](const std::wstring& e) { return e.rfind(L"WriteLine ", 0) == 0; }),
            11);
  EXPECT_EQ(journal.entries.back(), L"Close " + kPath);
}

TEST_F(DriveScriptTest, AFailedCloseIsReported) {
  files.FailClose(kPath, 1784, L"The supplied user buffer is not valid.");
  const auto outcome = Write();
  ASSERT_TRUE(outcome.failure);
  EXPECT_EQ(outcome.failure->Number(), 1784);
}

}  // namespace
}  // namespace rerevure::switching
