#include "support/FakeInternetOptions.h"

#include <utility>
#include <variant>

namespace rerevure::testing {

bool FakeInternetOptions::SetPerConnectionOptions(const platform::PerConnectionOptionList& list) {
  lists.push_back(list);
  Record(journal, L"SetPerConnectionOptions");
  if (!accept) return false;
  for (const auto& option : list.options) {
    if (option.option == platform::kPerConnFlags)
      flags = std::get<std::uint32_t>(option.value);
    else if (option.option == platform::kPerConnProxyServer)
      proxy_server = std::get<std::string>(option.value);
    else if (option.option == platform::kPerConnProxyBypass)
      proxy_bypass = std::get<std::string>(option.value);
    else if (option.option == platform::kPerConnAutoConfigUrl)
      auto_config_url = std::get<std::string>(option.value);
  }
  return true;
}

void FakeInternetOptions::Notify(std::uint32_t option) {
  notifications.push_back(option);
  Record(journal, L"Notify " + std::to_wstring(option));
}

std::optional<platform::ConnectionProxySetting> FakeInternetOptions::QueryDefaultConnectionProxy() {
  ++queries;
  if (during_query) std::exchange(during_query, nullptr)();
  if (!answer_queries) return {};
  // The library hands the texts back without the NUL they were given with.
  const auto answered = [](std::string text) {
    if (!text.empty() && text.back() == '\0') text.pop_back();
    return text;
  };
  return platform::ConnectionProxySetting{flags, answered(proxy_server), answered(auto_config_url)};
}

}  // namespace rerevure::testing
