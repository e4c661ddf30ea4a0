#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace rerevure::platform {

// WinINet option numbers and flags the proxy switch uses.
inline constexpr std::uint32_t kOptionRefresh = 37;
inline constexpr std::uint32_t kOptionSettingsChanged = 39;
inline constexpr std::uint32_t kOptionPerConnectionOption = 75;

inline constexpr std::uint32_t kPerConnFlags = 1;
inline constexpr std::uint32_t kPerConnProxyServer = 2;
inline constexpr std::uint32_t kPerConnProxyBypass = 3;
inline constexpr std::uint32_t kPerConnAutoConfigUrl = 4;

inline constexpr std::uint32_t kProxyTypeDirect = 1;
inline constexpr std::uint32_t kProxyTypeProxy = 2;
inline constexpr std::uint32_t kProxyTypeAutoProxyUrl = 4;

// One element of a per-connection option list. A text value holds the exact
// bytes handed to the library, its terminating NUL included.
struct PerConnectionOption {
  std::uint32_t option = 0;
  std::variant<std::uint32_t, std::string> value;

  friend bool operator==(const PerConnectionOption&, const PerConnectionOption&) = default;
};

// The option list in the program's terms; the adapter lays it out as the
// library's INTERNET_PER_CONN_OPTION_LISTA and its contiguous element array.
struct PerConnectionOptionList {
  std::string connection;  // ANSI bytes with the terminating NUL
  std::vector<PerConnectionOption> options;

  friend bool operator==(const PerConnectionOptionList&, const PerConnectionOptionList&) = default;
};

// How the default connection reaches the web, as the library reports it.
struct ConnectionProxySetting {
  std::uint32_t flags = 0;      // kProxyTypeDirect, kProxyTypeProxy...
  std::string proxy_server;     // ANSI bytes without a NUL; empty when none is set
  std::string auto_config_url;  // likewise

  friend bool operator==(const ConnectionProxySetting&, const ConnectionProxySetting&) = default;
};

// WinINet's process-wide options (no internet handle), as the program uses them.
class InternetOptions {
 public:
  virtual ~InternetOptions() = default;
  // Option 75 with the list; true when the library accepted it.
  virtual bool SetPerConnectionOptions(const PerConnectionOptionList& list) = 0;
  // An option that takes no buffer (settings-changed, refresh); the result is
  // of no use to the program, so none is returned.
  virtual void Notify(std::uint32_t option) = 0;
  // InternetQueryOptionA, option 75, for the default connection's flags,
  // proxy server and automatic configuration address; nothing when the
  // library cannot tell.
  virtual std::optional<ConnectionProxySetting> QueryDefaultConnectionProxy() = 0;
};

}  // namespace rerevure::platform
