#include "platform/win32/Win32Com.h"

#include <cwchar>
#include <new>

#include "platform/win32/Win32LastError.h"

namespace rerevure::platform {

ComInitializer::ComInitializer() {
  const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  // S_FALSE: already started on this thread; it still counts one more use.
  // RPC_E_CHANGED_MODE: someone started it multithreaded, which the shell
  // object works in as well; that use is theirs to end.
  if (hr == RPC_E_CHANGED_MODE) return;
  if (FAILED(hr)) throw ComError(hr);
  must_uninitialize_ = true;
}

ComInitializer::~ComInitializer() {
  if (must_uninitialize_) CoUninitialize();
}

std::wstring ComErrorDescription(HRESULT hr) {
  // A Win32 error wrapped in an HRESULT has the Win32 error's text.
  if (HRESULT_FACILITY(hr) == FACILITY_WIN32)
    return SystemErrorDescription(static_cast<std::uint32_t>(HRESULT_CODE(hr)));

  std::wstring text = SystemMessage(static_cast<std::uint32_t>(hr));
  // Not every system has a text for every COM error; the number still says
  // which one it was, in the form COM errors are looked up by.
  if (text.empty()) {
    wchar_t hex[16];
    swprintf(hex, 16, L"0x%08lX", static_cast<unsigned long>(hr));
    text = std::wstring(L"Automation error ") + hex;
  }
  return text;
}

PlatformError ComError(HRESULT hr) {
  return PlatformError(static_cast<std::int32_t>(hr), ComErrorDescription(hr));
}

Variant::Variant(std::wstring_view text) {
  VariantInit(&value_);
  BSTR copy = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  if (copy == nullptr) throw std::bad_alloc();
  V_VT(&value_) = VT_BSTR;
  V_BSTR(&value_) = copy;
}

std::wstring BstrText(BSTR text) {
  return text ? std::wstring(text, SysStringLen(text)) : std::wstring();
}

}  // namespace rerevure::platform
