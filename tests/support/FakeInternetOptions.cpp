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
  // The library hands the server back without the NUL it was given with.
  std::string server = proxy_server;
  if (!server.empty() && server.back() == '\0') server.pop_back();
  return platform::ConnectionProxySetting{flags, server};
}

}  // namespace rerevure::testing
