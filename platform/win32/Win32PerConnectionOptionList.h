#pragma once

#include <windows.h>
#include <wininet.h>

#include <string>
#include <vector>

#include "platform/InternetOptions.h"

namespace rerevure::platform {

// The records InternetSetOptionA takes for option 75: the list, the contiguous
// array of its elements and the NUL-terminated ANSI buffers they point to.
// The object owns all of them, so they stay alive as long as it does; it is
// neither copied nor moved because the records point into it.
class NativePerConnectionOptionList {
 public:
  explicit NativePerConnectionOptionList(const PerConnectionOptionList& list);
  NativePerConnectionOptionList(const NativePerConnectionOptionList&) = delete;
  NativePerConnectionOptionList& operator=(const NativePerConnectionOptionList&) = delete;

  // What the library is handed: the list's address and its length in bytes.
  INTERNET_PER_CONN_OPTION_LISTA* Get() { return &list_; }
  static constexpr DWORD Size() { return sizeof(INTERNET_PER_CONN_OPTION_LISTA); }

  const INTERNET_PER_CONN_OPTION_LISTA& List() const { return list_; }

 private:
  std::vector<char> connection_;
  std::vector<std::vector<char>> texts_;
  std::vector<INTERNET_PER_CONN_OPTIONA> options_;
  INTERNET_PER_CONN_OPTION_LISTA list_{};
};

// The published 32-bit layout that the i686 program hands over.
#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(INTERNET_PER_CONN_OPTION_LISTA) == 20, "option list must be 20 bytes");
static_assert(sizeof(INTERNET_PER_CONN_OPTIONA) == 12, "option element must be 12 bytes");
#endif

}  // namespace rerevure::platform
