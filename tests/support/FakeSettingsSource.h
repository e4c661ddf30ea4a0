#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/PlatformError.h"
#include "support/CallJournal.h"
#include "switching/DriveSettings.h"
#include "switching/SettingsSource.h"

namespace rerevure::testing {

// Hands out fixed drive values and records which were read, in order. A read
// of a value named in Fail() throws.
class FakeSettingsSource final : public switching::SettingsSource {
 public:
  FakeSettingsSource() = default;
  explicit FakeSettingsSource(switching::DriveSettings values) : values(std::move(values)) {}

  std::wstring UserArea() override { return Read(L"UserArea", values.UserArea); }
  std::wstring SchoolShare() override { return Read(L"SchoolShare", values.SchoolShare); }
  std::wstring StaffShare() override { return Read(L"StaffShare", values.StaffShare); }
  std::wstring Extra1() override { return Read(L"Extra1", values.Extra1); }
  std::wstring Extra2() override { return Read(L"Extra2", values.Extra2); }
  std::wstring Username() override { return Read(L"Username", values.Username); }
  std::wstring Password() override { return Read(L"Password", values.Password); }

  // name is the value's name, e.g. L"Username".
  void Fail(const std::wstring& name, std::int32_t number, std::wstring description);

  switching::DriveSettings values;
  std::vector<std::wstring> reads;  // value names, failed reads included
  CallJournal* journal = nullptr;   // "Read <name>"

 private:
  std::wstring Read(const wchar_t* name, const std::wstring& value);

  std::map<std::wstring, platform::PlatformError> failures_;
};

}  // namespace rerevure::testing
