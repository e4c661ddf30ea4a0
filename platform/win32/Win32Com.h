#pragma once

#include <ole2.h>
#include <windows.h>
// The one owner of a COM reference in the program: Microsoft::WRL::ComPtr.
#include <wrl/client.h>

#include <string>
#include <string_view>

#include "platform/PlatformError.h"
#include "platform/win32/Win32Owners.h"

namespace rerevure::platform {

// COM on the calling thread, apartment-threaded as a window's thread needs,
// for the life of the object. The program's main and every test that creates
// COM objects hold one.
class ComInitializer {
 public:
  ComInitializer();  // throws PlatformError when COM cannot be started
  ~ComInitializer();
  ComInitializer(const ComInitializer&) = delete;
  ComInitializer& operator=(const ComInitializer&) = delete;

 private:
  bool must_uninitialize_ = false;
};

// A failed COM call as the error the program reports.
PlatformError ComError(HRESULT hr);
std::wstring ComErrorDescription(HRESULT hr);

// Owns a VARIANT and whatever it holds.
class Variant {
 public:
  Variant() { VariantInit(&value_); }
  explicit Variant(std::wstring_view text);  // a VT_BSTR copy of the text
  ~Variant() { VariantClear(&value_); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;

  VARIANT* Get() { return &value_; }
  const VARIANT& Ref() const { return value_; }

 private:
  VARIANT value_;
};

// The text of a BSTR, which may be null for "".
std::wstring BstrText(BSTR text);

// Owns the strings an EXCEPINFO may hold after a failed Invoke.
struct ExcepInfo : EXCEPINFO {
  ExcepInfo() : EXCEPINFO{} {}
  ~ExcepInfo() {
    // Each string the failed call left goes with its owner.
    const OwnedBstr source(bstrSource), description(bstrDescription), help_file(bstrHelpFile);
  }
  ExcepInfo(const ExcepInfo&) = delete;
  ExcepInfo& operator=(const ExcepInfo&) = delete;
};

}  // namespace rerevure::platform
