#include "support/FakeSettingsSource.h"

namespace rerevure::testing {

void FakeSettingsSource::Fail(const std::wstring& name, std::int32_t number,
                              std::wstring description) {
  failures_.insert_or_assign(name, platform::PlatformError(number, std::move(description)));
}

std::wstring FakeSettingsSource::Read(const wchar_t* name, const std::wstring& value) {
  reads.emplace_back(name);
  Record(journal, std::wstring(L"Read ") + name);
  if (auto failure = failures_.find(name); failure != failures_.end()) throw failure->second;
  return value;
}

}  // namespace rerevure::testing
