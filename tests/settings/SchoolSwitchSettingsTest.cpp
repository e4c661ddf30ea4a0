// The settings window as the school profile's SettingsSource: what the script
// gets is what the fields hold, saved or not.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "settings/Form2Layout.h"
#include "settings/SchoolProxyPolicyReader.h"
#include "settings/SettingsWindow.h"
#include "support/FakeAutomationShell.h"
#include "support/FakeCommandInterpreter.h"
#include "support/FakeErrorReport.h"
#include "support/FakeFolderIdentity.h"
#include "support/FakeForm.h"
#include "support/FakeInternetOptions.h"
#include "support/FakeNotifier.h"
#include "support/FakePause.h"
#include "support/FakePolicyValues.h"
#include "support/FakeRandomSource.h"
#include "support/FakeTextCodec.h"
#include "support/FakeTextFiles.h"
#include "switching/DriveScript.h"
#include "switching/ProfileSwitch.h"

namespace rerevure::settings {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

const std::wstring kKey = L"HKEY_CURRENT_USER\\Software\\Rerevure\\";

class SchoolSwitchSettingsTest : public ::testing::Test {
 protected:
  SchoolSwitchSettingsTest() {
    shells.Set(kKey + L"UserArea", L"\\\\srv\\home\\ann");
    shells.Set(kKey + L"SchoolShare", L"\\\\srv\\students");
    shells.Set(kKey + L"StaffShare", L"\\\\srv\\staff");
    shells.Set(kKey + L"Extra1", L"\\\\srv\\one");
    shells.Set(kKey + L"Extra2", L"\\\\srv\\two");
    shells.Set(kKey + L"Username", L"ann");
    shells.Set(kKey + L"Password", L"secret");
  }

  std::string SwitchToSchool() {
    switching::EnterSchoolProfile(platform, switching::Feedback::MessageBox, notifier, window);
    std::string script = files.files.at(std::wstring(switching::kScriptPath));
    interpreter.End();  // ready for the next switch
    return script;
  }

  testing::FakeFormFactory forms;
  testing::FakeAutomationShell shells;
  testing::FakePolicyValues policies;
  testing::FakeErrorReport errors;
  testing::FakeInternetOptions internet;
  testing::FakeTextFiles files{L"C:\\Progra~1\\Rerevure"};
  testing::FakeTextCodec codec;
  testing::FakeNotifier notifier;
  testing::FakeFolderIdentity folders;
  testing::FakeCommandInterpreter interpreter;
  testing::FakePause pause;
  testing::FakeRandomSource random;
  switching::ScriptRun script_run{files, pause};
  SchoolProxyPolicyReader school_proxy{policies};
  switching::ProfilePlatform platform{internet,    shells, files,      codec,       folders,
                                      interpreter, random, script_run, school_proxy};
  SettingsWindow window{forms, shells, policies, errors};
};

TEST_F(SchoolSwitchSettingsTest, BeforeTheWindowWasEverOpenedTheSwitchLoadsItHidden) {
  const std::string script = SwitchToSchool();
  EXPECT_THAT(script, HasSubstr("net use i: \\\\srv\\students\r\n"));
  EXPECT_THAT(script, HasSubstr("net use l: \\\\srv\\two\r\n"));
  EXPECT_TRUE(window.IsLoaded());
  EXPECT_FALSE(window.IsVisible());
  EXPECT_EQ(shells.reads.size(), 7u);
}

TEST_F(SchoolSwitchSettingsTest, ClosedWithUnsavedEditsTheNextSwitchWritesTheEdits) {
  window.Show();
  testing::FakeForm& form = *forms.Find(kForm2Caption);
  form.Type(form2::Text2, L"\\\\srv\\edited");
  form.Click(form2::Command2);
  const std::string script = SwitchToSchool();
  EXPECT_THAT(script, HasSubstr("net use i: \\\\srv\\edited\r\n"));
  EXPECT_THAT(script, Not(HasSubstr("students")));
  EXPECT_EQ(shells.Get(kKey + L"SchoolShare")->text, L"\\\\srv\\students");
  EXPECT_EQ(shells.reads.size(), 7u);
}

TEST_F(SchoolSwitchSettingsTest, OnFirstUseWithNothingStoredTheSwitchStillWritesItsScript) {
  for (const DriveValue& value : kDriveValues) shells.Erase(ValuePath(value.name));
  const std::string script = SwitchToSchool();
  EXPECT_THAT(script, HasSubstr("net use"));
  EXPECT_TRUE(window.IsLoaded());
  EXPECT_TRUE(errors.reports.empty());
}

}  // namespace
}  // namespace rerevure::settings
