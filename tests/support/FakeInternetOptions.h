#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/InternetOptions.h"
#include "support/CallJournal.h"

namespace rerevure::testing {

// Keeps the default connection's proxy settings the way the library would
// after an accepted list, and records every call.
class FakeInternetOptions final : public platform::InternetOptions {
 public:
  bool SetPerConnectionOptions(const platform::PerConnectionOptionList& list) override;
  void Notify(std::uint32_t option) override;
  std::optional<platform::ConnectionProxySetting> QueryDefaultConnectionProxy() override;

  // Whether the next lists are accepted, and whether queries are answered.
  bool accept = true;
  bool answer_queries = true;
  // Runs inside the next query only, as a call to Windows can let something else run.
  std::function<void()> during_query;

  // What the library keeps (changed only by accepted lists).
  std::uint32_t flags = platform::kProxyTypeDirect;
  std::string proxy_server;  // ANSI bytes, NUL included
  std::string proxy_bypass;
  std::string auto_config_url;
  bool ProxyEnabled() const { return (flags & platform::kProxyTypeProxy) != 0; }

  std::vector<platform::PerConnectionOptionList> lists;  // every list sent
  std::vector<std::uint32_t> notifications;              // every Notify option
  int queries = 0;                                       // every QueryDefaultConnectionProxy
  CallJournal* journal = nullptr;                        // "SetPerConnectionOptions", "Notify 39"
};

}  // namespace rerevure::testing
