#include "platform/win32/Win32AutomationShell.h"

#include <array>
#include <cstddef>
#include <utility>

#include "platform/win32/Win32Com.h"

namespace rerevure::platform {
namespace {

using Microsoft::WRL::ComPtr;

PlatformError InvokeError(HRESULT hr, ExcepInfo& excep) {
  if (hr != DISP_E_EXCEPTION) return ComError(hr);
  if (excep.pfnDeferredFillIn) excep.pfnDeferredFillIn(&excep);
  const std::int32_t number = excep.scode != 0   ? static_cast<std::int32_t>(excep.scode)
                              : excep.wCode != 0 ? static_cast<std::int32_t>(excep.wCode)
                                                 : static_cast<std::int32_t>(hr);
  std::wstring description = BstrText(excep.bstrDescription);
  if (description.empty()) description = ComErrorDescription(static_cast<HRESULT>(number));
  return PlatformError(number, std::move(description));
}

std::wstring ToText(const VARIANT& value);

std::wstring ArrayText(const VARIANT& value) {
  SAFEARRAY* array = (V_VT(&value) & VT_BYREF) ? *V_ARRAYREF(&value) : V_ARRAY(&value);
  if (array == nullptr || SafeArrayGetDim(array) != 1) return {};
  LONG lower = 0, upper = -1;
  SafeArrayGetLBound(array, 1, &lower);
  SafeArrayGetUBound(array, 1, &upper);
  VARTYPE element_type = VT_EMPTY;
  if (HRESULT hr = SafeArrayGetVartype(array, &element_type); FAILED(hr)) throw ComError(hr);

  std::wstring text;
  for (LONG i = lower; i <= upper; ++i) {
    Variant element;
    HRESULT hr = S_OK;
    if (element_type == VT_VARIANT) {
      hr = SafeArrayGetElement(array, &i, element.Get());
    } else {
      // Read the raw element into a variant of the array's own type.
      V_VT(element.Get()) = element_type;
      hr = SafeArrayGetElement(array, &i, &V_UI1(element.Get()));
    }
    if (FAILED(hr)) throw ComError(hr);
    if (i != lower) text += L' ';
    text += ToText(element.Ref());
  }
  return text;
}

std::wstring ToText(const VARIANT& value) {
  if (V_VT(&value) & VT_ARRAY) return ArrayText(value);
  if (V_VT(&value) == VT_BSTR) return BstrText(V_BSTR(&value));
  if (V_VT(&value) == VT_EMPTY || V_VT(&value) == VT_NULL) return {};
  Variant text;
  // The invariant locale: digits without grouping, whatever the user's settings.
  if (HRESULT hr = VariantChangeTypeEx(text.Get(), const_cast<VARIANT*>(&value), LOCALE_INVARIANT,
                                       0, VT_BSTR);
      FAILED(hr))
    throw ComError(hr);
  return BstrText(V_BSTR(text.Get()));
}

class Win32AutomationShell final : public AutomationShell {
 public:
  explicit Win32AutomationShell(ComPtr<IDispatch> object) : object_(std::move(object)) {}

  std::wstring RegRead(const std::wstring& path) override {
    Variant result;
    std::array<Variant, 1> arguments{Variant(path)};
    Call(L"RegRead", arguments.data(), arguments.size(), result.Get());
    return ToText(result.Ref());
  }

  void RegWrite(const std::wstring& path, const std::wstring& value,
                const std::wstring& type) override {
    std::array<Variant, 3> arguments{Variant(path), Variant(value), Variant(type)};
    Call(L"RegWrite", arguments.data(), arguments.size(), nullptr);
  }

  void Run(const std::wstring& command) override {
    // Only the command: the method's defaults, a normal window and no wait.
    Variant result;
    std::array<Variant, 1> arguments{Variant(command)};
    Call(L"Run", arguments.data(), arguments.size(), result.Get());
  }

 private:
  // arguments in the order the method declares them.
  void Call(const wchar_t* name, Variant* arguments, std::size_t count, VARIANT* result) {
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    if (HRESULT hr = object_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
        FAILED(hr))
      throw ComError(hr);

    // IDispatch takes the arguments last first.
    std::array<VARIANT, 3> reversed{};
    for (std::size_t i = 0; i < count; ++i) reversed[count - 1 - i] = arguments[i].Ref();
    DISPPARAMS parameters{reversed.data(), nullptr, static_cast<UINT>(count), 0};

    ExcepInfo excep;
    UINT bad_argument = 0;
    const HRESULT hr = object_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                                       &parameters, result, &excep, &bad_argument);
    if (FAILED(hr)) throw InvokeError(hr, excep);
  }

  ComPtr<IDispatch> object_;
};

}  // namespace

std::unique_ptr<AutomationShell> Win32AutomationShellFactory::Create(const std::wstring& prog_id) {
  CLSID clsid{};
  if (HRESULT hr = CLSIDFromProgID(prog_id.c_str(), &clsid); FAILED(hr)) throw ComError(hr);
  ComPtr<IDispatch> object;
  if (HRESULT hr =
          CoCreateInstance(clsid, nullptr, CLSCTX_SERVER, IID_PPV_ARGS(object.GetAddressOf()));
      FAILED(hr))
    throw ComError(hr);
  return std::make_unique<Win32AutomationShell>(std::move(object));
}

}  // namespace rerevure::platform
