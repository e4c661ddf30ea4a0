#pragma once

#include <cwctype>
#include <map>
#include <optional>
#include <string>
#include <utility>

#include "platform/PlatformError.h"
#include "platform/PolicyValues.h"

namespace rerevure::testing {

// The policy values Group Policy would have written, as the program reads
// them (expanded, numbers as digits), set and removed by the test. Names
// compare without regard to case, as the registry's do.
class FakePolicyValues final : public platform::PolicyValues {
 public:
  std::optional<std::wstring> Read(platform::PolicyScope scope, const std::wstring& key,
                                   const std::wstring& name) override {
    const auto where = std::make_pair(scope, Path(key, name));
    if (auto failure = failures_.find(where); failure != failures_.end()) throw failure->second;
    const auto value = values_.find(where);
    if (value == values_.end()) return std::nullopt;
    return value->second;
  }

  // Under the program's policy key.
  void Set(platform::PolicyScope scope, const std::wstring& name, std::wstring text) {
    values_[{scope, Path(kKey, name)}] = std::move(text);
  }
  void Remove(platform::PolicyScope scope, const std::wstring& name) {
    values_.erase({scope, Path(kKey, name)});
  }
  void FailRead(platform::PolicyScope scope, const std::wstring& name, std::int32_t number,
                std::wstring description) {
    failures_.insert_or_assign({scope, Path(kKey, name)},
                               platform::PlatformError(number, std::move(description)));
  }

 private:
  static constexpr const wchar_t* kKey = L"Software\\Policies\\Rerevure";
  static std::wstring Path(const std::wstring& key, const std::wstring& name) {
    std::wstring path = key + L'\\' + name;
    for (wchar_t& c : path) c = static_cast<wchar_t>(std::towlower(c));
    return path;
  }

  std::map<std::pair<platform::PolicyScope, std::wstring>, std::wstring> values_;
  std::map<std::pair<platform::PolicyScope, std::wstring>, platform::PlatformError> failures_;
};

}  // namespace rerevure::testing
