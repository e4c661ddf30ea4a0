// The settings window's behaviour against a fake window and a fake registry.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "settings/Form2Layout.h"
#include "settings/SettingsWindow.h"
#include "support/CallJournal.h"
#include "support/FakeAutomationShell.h"
#include "support/FakeErrorReport.h"
#include "support/FakeForm.h"
#include "support/FakePolicyValues.h"

namespace rerevure::settings {
namespace {

using testing::CallJournal;
using ::testing::ElementsAre;
using testing::FakeAutomationShell;
using testing::FakeErrorReport;
using testing::FakeForm;
using testing::FakeFormFactory;
using ::testing::IsEmpty;

const std::wstring kKey = L"HKEY_CURRENT_USER\\Software\\Rerevure\\";
constexpr std::int32_t kAccessDenied = static_cast<std::int32_t>(0x80070005u);

class SettingsWindowTest : public ::testing::Test {
 protected:
  SettingsWindowTest() {
    forms.journal = &journal;
    shells.journal = &journal;
    errors.journal = &journal;
  }

  void StoreAll() {
    shells.Set(kKey + L"UserArea", L"\\\\srv\\home\\ann");
    shells.Set(kKey + L"SchoolShare", L"\\\\srv\\students");
    shells.Set(kKey + L"StaffShare", L"\\\\srv\\staff");
    shells.Set(kKey + L"Extra1", L"\\\\srv\\extra one");
    shells.Set(kKey + L"Extra2", L"\\\\srv\\extra2");
    shells.Set(kKey + L"Username", L"ann");
    shells.Set(kKey + L"Password", L"p%w&d");
  }

  // What the school sequence reads, in its order.
  std::vector<std::wstring> ReadAll() {
    return {window.UserArea(), window.SchoolShare(), window.StaffShare(), window.Extra1(),
            window.Extra2(),   window.Username(),    window.Password()};
  }

  FakeForm& Form() {
    FakeForm* form = forms.Find(kForm2Caption);
    EXPECT_NE(form, nullptr);
    return *form;
  }

  CallJournal journal;
  FakeFormFactory forms;
  FakeAutomationShell shells;
  testing::FakePolicyValues policies;
  FakeErrorReport errors;
  SettingsWindow window{forms, shells, policies, errors};
};

TEST_F(SettingsWindowTest, IsNotLoadedUntilFirstUse) {
  EXPECT_FALSE(window.IsLoaded());
  EXPECT_EQ(forms.created, 0);
  EXPECT_THAT(shells.prog_ids, IsEmpty());
}

TEST_F(SettingsWindowTest, LoadMakesTheWindowTopmostThenReadsTheSevenValuesInOrder) {
  StoreAll();
  window.Show();
  const std::wstring form = L" Rerevure Map Drive Settings";
  EXPECT_THAT(
      journal.entries,
      ElementsAre(L"Create Rerevure Map Drive Settings", L"MakeTopmost Rerevure Map Drive Settings",
                  L"Create WScript.Shell", L"RegRead " + kKey + L"UserArea",
                  L"RegRead " + kKey + L"SchoolShare", L"RegRead " + kKey + L"StaffShare",
                  L"RegRead " + kKey + L"Extra1", L"RegRead " + kKey + L"Extra2",
                  L"RegRead " + kKey + L"Username", L"RegRead " + kKey + L"Password", L"Release",
                  L"SetText" + form + L" 31 = \\\\srv\\home\\ann",
                  L"SetText" + form + L" 32 = \\\\srv\\students",
                  L"SetText" + form + L" 33 = \\\\srv\\staff",
                  L"SetText" + form + L" 34 = \\\\srv\\extra one",
                  L"SetText" + form + L" 35 = \\\\srv\\extra2", L"SetText" + form + L" 36 = ann",
                  L"SetText" + form + L" 37 = p%w&d", L"Show Rerevure Map Drive Settings"));
  EXPECT_TRUE(window.IsVisible());
  EXPECT_EQ(shells.Alive(), 0);
}

TEST_F(SettingsWindowTest, ValuesMissingBeforeTheFirstSaveLoadAsEmptyFields) {
  shells.Set(kKey + L"StaffShare", L"\\\\srv\\staff");  // only one exists
  window.Show();
  EXPECT_EQ(shells.reads.size(), 7u);
  EXPECT_TRUE(window.IsLoaded());
  EXPECT_TRUE(window.IsVisible());
  EXPECT_THAT(ReadAll(), ElementsAre(L"", L"", L"\\\\srv\\staff", L"", L"", L"", L""));
  EXPECT_THAT(errors.reports, IsEmpty());
  EXPECT_EQ(shells.reads.size(), 7u);  // the reads above came from the fields
}

TEST_F(SettingsWindowTest, AValueOfAnotherTypeLoadsAsItsText) {
  StoreAll();
  shells.Set(kKey + L"Extra1", L"42", L"REG_DWORD");
  EXPECT_EQ(window.Extra1(), L"42");
}

TEST_F(SettingsWindowTest, AnUnreadableValueLeavesItsFieldEmptyReadsTheRestAndIsTold) {
  StoreAll();
  shells.FailRead(kKey + L"SchoolShare", kAccessDenied, L"Access is denied.");
  window.Show();
  EXPECT_EQ(shells.reads.size(), 7u);
  EXPECT_TRUE(window.IsVisible());
  EXPECT_THAT(ReadAll(), ElementsAre(L"\\\\srv\\home\\ann", L"", L"\\\\srv\\staff",
                                     L"\\\\srv\\extra one", L"\\\\srv\\extra2", L"ann", L"p%w&d"));
  EXPECT_THAT(errors.reports,
              ElementsAre(FakeErrorReport::Entry{kAccessDenied, L"Access is denied."}));
  // Told after the whole load, not in the middle of it.
  EXPECT_EQ(journal.entries[journal.entries.size() - 2], L"Error -2147024891: Access is denied.");
}

TEST_F(SettingsWindowTest, AShellObjectThatCannotBeMadeLeavesEveryFieldEmptyAndIsTold) {
  StoreAll();
  shells.FailCreate(-2147221005, L"Invalid class string");
  window.Show();
  EXPECT_TRUE(window.IsLoaded());
  EXPECT_THAT(ReadAll(), ElementsAre(L"", L"", L"", L"", L"", L"", L""));
  EXPECT_THAT(errors.reports,
              ElementsAre(FakeErrorReport::Entry{-2147221005, L"Invalid class string"}));
  // Loaded: later reads do not try again.
  EXPECT_EQ(shells.prog_ids.size(), 1u);
}

TEST_F(SettingsWindowTest, SaveWritesTheFieldsAsTypedInOrderThenSaysSo) {
  StoreAll();
  window.Show();
  FakeForm& form = Form();
  form.Type(form2::Text2, L"\\\\srv\\new students");
  form.Type(form2::Text6, L"Jürgen");
  form.Type(form2::Text7, L"");
  journal.entries.clear();
  form.Click(form2::Command1);
  EXPECT_THAT(
      shells.writes,
      ElementsAre(
          FakeAutomationShell::Write{kKey + L"UserArea", L"\\\\srv\\home\\ann", L"REG_SZ"},
          FakeAutomationShell::Write{kKey + L"SchoolShare", L"\\\\srv\\new students", L"REG_SZ"},
          FakeAutomationShell::Write{kKey + L"StaffShare", L"\\\\srv\\staff", L"REG_SZ"},
          FakeAutomationShell::Write{kKey + L"Extra1", L"\\\\srv\\extra one", L"REG_SZ"},
          FakeAutomationShell::Write{kKey + L"Extra2", L"\\\\srv\\extra2", L"REG_SZ"},
          FakeAutomationShell::Write{kKey + L"Username", L"Jürgen", L"REG_SZ"},
          FakeAutomationShell::Write{kKey + L"Password", L"", L"REG_SZ"}));
  EXPECT_EQ(journal.entries.front(), L"Create WScript.Shell");
  EXPECT_EQ(journal.entries.back(), L"Message Rerevure: Settings Saved!");
  EXPECT_THAT(form.messages, ElementsAre(FakeForm::Message{L"Settings Saved!", L"Rerevure", 64}));
  EXPECT_EQ(shells.Alive(), 0);
  EXPECT_TRUE(window.IsVisible());
}

TEST_F(SettingsWindowTest, SavingEmptyFieldsStoresEmptyStringsThatLoadWithoutFailure) {
  window.Show();
  Form().Click(form2::Command1);
  EXPECT_EQ(shells.writes.size(), 7u);
  Form().CloseByPlatform();
  EXPECT_THAT(ReadAll(), ElementsAre(L"", L"", L"", L"", L"", L"", L""));
  EXPECT_EQ(shells.reads.size(), 14u);
  EXPECT_THAT(errors.reports, IsEmpty());
}

TEST_F(SettingsWindowTest, AFailedWriteIsReportedAndKeepsTheWindowAndEveryEdit) {
  StoreAll();
  window.Show();
  FakeForm& form = Form();
  form.Type(form2::Text1, L"\\\\srv\\home\\bob");
  form.Type(form2::Text5, L"\\\\srv\\edited");
  shells.FailWrite(kKey + L"StaffShare", kAccessDenied, L"Access is denied.");
  form.Click(form2::Command1);
  EXPECT_THAT(errors.reports,
              ElementsAre(FakeErrorReport::Entry{kAccessDenied, L"Access is denied."}));
  EXPECT_THAT(form.messages, IsEmpty());
  // Stopped at the failure: the values before it are written, none after.
  ASSERT_EQ(shells.writes.size(), 2u);
  EXPECT_EQ(shells.Get(kKey + L"Extra2")->text, L"\\\\srv\\extra2");
  EXPECT_TRUE(window.IsVisible());
  EXPECT_EQ(window.UserArea(), L"\\\\srv\\home\\bob");
  EXPECT_EQ(window.Extra2(), L"\\\\srv\\edited");
  EXPECT_EQ(shells.Alive(), 0);

  // Once the cause is gone, the same edits save.
  shells.ClearFailures();
  form.Click(form2::Command1);
  EXPECT_EQ(shells.Get(kKey + L"Extra2")->text, L"\\\\srv\\edited");
  EXPECT_THAT(form.messages, ElementsAre(FakeForm::Message{L"Settings Saved!", L"Rerevure", 64}));
}

TEST_F(SettingsWindowTest, AShellObjectThatCannotBeMadeForSaveIsReported) {
  window.Show();
  shells.FailCreate(-2147221005, L"Invalid class string");
  Form().Click(form2::Command1);
  EXPECT_THAT(errors.reports,
              ElementsAre(FakeErrorReport::Entry{-2147221005, L"Invalid class string"}));
  EXPECT_THAT(Form().messages, IsEmpty());
}

TEST_F(SettingsWindowTest, CloseHidesAndTheSchoolSequenceThenReadsTheUnsavedEdits) {
  StoreAll();
  window.Show();
  Form().Type(form2::Text3, L"\\\\srv\\staff edited");
  Form().Click(form2::Command2);
  EXPECT_TRUE(window.IsLoaded());
  EXPECT_FALSE(window.IsVisible());
  EXPECT_EQ(window.StaffShare(), L"\\\\srv\\staff edited");
  EXPECT_EQ(shells.Get(kKey + L"StaffShare")->text, L"\\\\srv\\staff");  // not saved
  EXPECT_EQ(shells.reads.size(), 7u);
  EXPECT_THAT(shells.writes, IsEmpty());
  EXPECT_FALSE(window.IsVisible());  // reading does not show it
}

TEST_F(SettingsWindowTest, ASchoolSwitchBeforeTheWindowWasOpenedLoadsItHidden) {
  StoreAll();
  EXPECT_EQ(window.UserArea(), L"\\\\srv\\home\\ann");
  EXPECT_TRUE(window.IsLoaded());
  EXPECT_FALSE(window.IsVisible());
  EXPECT_EQ(Form().show_calls, 0);
  EXPECT_EQ(Form().topmost_calls, 1);
  EXPECT_EQ(shells.reads.size(), 7u);
  ReadAll();
  EXPECT_EQ(shells.reads.size(), 7u);

  // "Shared Drives" afterwards shows the same fields without reading again.
  shells.Set(kKey + L"UserArea", L"\\\\changed\\meanwhile");
  window.Show();
  EXPECT_TRUE(window.IsVisible());
  EXPECT_EQ(forms.created, 1);
  EXPECT_EQ(shells.reads.size(), 7u);
  EXPECT_EQ(Form().Text(form2::Text1), L"\\\\srv\\home\\ann");
}

TEST_F(SettingsWindowTest, SharedDrivesOnAShownWindowKeepsItsEdits) {
  StoreAll();
  window.Show();
  Form().Type(form2::Text4, L"typed");
  window.Show();
  EXPECT_EQ(window.Extra1(), L"typed");
  EXPECT_EQ(forms.created, 1);
  EXPECT_EQ(shells.reads.size(), 7u);
}

TEST_F(SettingsWindowTest, ATitleBarCloseUnloadsAndTheNextUseReadsTheRegistryAfresh) {
  StoreAll();
  window.Show();
  Form().Type(form2::Text1, L"lost edit");
  Form().CloseByPlatform();
  EXPECT_FALSE(window.IsLoaded());
  EXPECT_FALSE(window.IsVisible());
  EXPECT_EQ(window.Window(), nullptr);

  shells.Set(kKey + L"UserArea", L"\\\\srv\\home\\new");
  EXPECT_EQ(window.UserArea(), L"\\\\srv\\home\\new");
  EXPECT_EQ(forms.created, 2);
  EXPECT_EQ(forms.released, 1);
  EXPECT_EQ(shells.reads.size(), 14u);
  EXPECT_FALSE(window.IsVisible());
  EXPECT_EQ(Form().topmost_calls, 1);
}

TEST_F(SettingsWindowTest, APolicyTakesTheUsersValuesPlaceInAReadOnlyField) {
  using platform::PolicyScope;
  using std::nullopt;
  struct Row {
    const wchar_t* name;
    int field;
    std::optional<std::wstring> machine, user;
    const wchar_t* shown;
    bool read_only;
  };
  const Row rows[] = {
      {L"UserArea", form2::Text1, nullopt, nullopt, L"\\\\srv\\home\\ann", false},
      {L"SchoolShare", form2::Text2, nullopt, L"\\\\user\\policy", L"\\\\user\\policy", true},
      {L"StaffShare", form2::Text3, L"\\\\pc\\policy", L"\\\\user\\policy", L"\\\\pc\\policy",
       true},
      {L"Extra1", form2::Text4, L"", nullopt, L"", true},  // enforced empty: no drive k:
      {L"Password", form2::Text7, L"leaked", L"leaked", L"p%w&d", false},
  };
  StoreAll();
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    if (row.machine) policies.Set(PolicyScope::Machine, row.name, *row.machine);
    if (row.user) policies.Set(PolicyScope::User, row.name, *row.user);
    SettingsWindow loaded{forms, shells, policies, errors};
    loaded.Show();
    EXPECT_EQ(Form().Text(row.field), row.shown);
    EXPECT_EQ(Form().read_only.contains(row.field), row.read_only);
  }
  EXPECT_THAT(errors.reports, IsEmpty());
}

TEST_F(SettingsWindowTest, AFieldSetByPolicyIsNeverSavedAndTheUsersValueIsBackWithoutIt) {
  StoreAll();
  policies.Set(platform::PolicyScope::User, L"SchoolShare", L"\\\\policy\\students");
  window.Show();
  Form().Type(form2::Text2, L"typed over");  // read-only: nothing changes
  Form().Type(form2::Text3, L"\\\\srv\\staff edited");
  Form().Click(form2::Command1);
  EXPECT_EQ(shells.writes.size(), 6u);
  EXPECT_EQ(shells.Get(kKey + L"SchoolShare")->text, L"\\\\srv\\students");
  EXPECT_EQ(shells.Get(kKey + L"StaffShare")->text, L"\\\\srv\\staff edited");
  EXPECT_EQ(window.SchoolShare(), L"\\\\policy\\students");

  policies.Remove(platform::PolicyScope::User, L"SchoolShare");
  Form().CloseByPlatform();
  EXPECT_EQ(window.SchoolShare(), L"\\\\srv\\students");
  EXPECT_THAT(Form().read_only, IsEmpty());
}

TEST_F(SettingsWindowTest, APolicyThatCannotBeReadIsSkippedForTheNextPlaceAndIsTold) {
  using platform::PolicyScope;
  StoreAll();
  for (const wchar_t* name : {L"UserArea", L"SchoolShare"})
    policies.FailRead(PolicyScope::Machine, name, kAccessDenied, L"Access is denied.");
  policies.Set(PolicyScope::User, L"SchoolShare", L"\\\\user\\policy");
  EXPECT_EQ(window.UserArea(), L"\\\\srv\\home\\ann");
  EXPECT_EQ(window.SchoolShare(), L"\\\\user\\policy");
  EXPECT_THAT(Form().read_only, ElementsAre(form2::Text2));
  EXPECT_THAT(errors.reports,
              ElementsAre(FakeErrorReport::Entry{kAccessDenied, L"Access is denied."}));
}

TEST_F(SettingsWindowTest, HelpShowsTheExplanationWithItsOwnTitle) {
  window.Show();
  Form().Click(form2::Command3);
  ASSERT_EQ(Form().messages.size(), 1u);
  const FakeForm::Message& help = Form().messages[0];
  EXPECT_EQ(help.text,
            L"When filling in a text box, enter the path to your shared folder\r\n"
            L"For example \"\\\\172.27.106.2\\MyShare\".\r\n\r\n"
            L"You only need to specify a username and password\r\n"
            L"if your not on the domain.");
  EXPECT_EQ(help.title, L"Rerevure v1.6");
  EXPECT_EQ(help.flags, 64u);
  EXPECT_THAT(shells.writes, IsEmpty());
  EXPECT_TRUE(window.IsVisible());
}

TEST_F(SettingsWindowTest, OtherCommandsDoNothing) {
  window.Show();
  Form().Click(form2::Text1);
  Form().Click(1);
  Form().Click(2);
  EXPECT_THAT(Form().messages, IsEmpty());
  EXPECT_TRUE(window.IsVisible());
  EXPECT_THAT(shells.writes, IsEmpty());
}

}  // namespace
}  // namespace rerevure::settings
