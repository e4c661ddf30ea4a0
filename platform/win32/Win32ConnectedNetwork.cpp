#include "platform/win32/Win32ConnectedNetwork.h"

#include <ocidl.h>
#include <wrl/client.h>

#include <iterator>

#include "platform/win32/Win32Com.h"

namespace rerevure::platform {
namespace {

// The property of an INetwork's bag that tells how far identification has
// got, as a VT_UINT of NLM_NETWORK_CLASS.
constexpr wchar_t kNetworkClassProperty[] = L"NA_NetworkClass";

std::wstring NameOf(INetwork& network) {
  BSTR name = nullptr;
  if (FAILED(network.GetName(&name))) return {};
  const OwnedBstr owned(name);
  return BstrText(owned.get());
}

bool DomainAuthenticated(INetwork& network) {
  NLM_DOMAIN_TYPE type = NLM_DOMAIN_TYPE_NON_DOMAIN_NETWORK;
  return SUCCEEDED(network.GetDomainType(&type)) && type == NLM_DOMAIN_TYPE_DOMAIN_AUTHENTICATED;
}

std::wstring IdOf(INetwork& network) {
  GUID id{};
  if (FAILED(network.GetNetworkId(&id))) return {};
  wchar_t text[39] = {};  // "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}" and its end
  if (StringFromGUID2(id, text, static_cast<int>(std::size(text))) == 0) return {};
  return text;
}

}  // namespace

Identification ReadIdentification(IUnknown& network) {
  Microsoft::WRL::ComPtr<IPropertyBag> bag;
  // No bag at all is not Windows (Wine has none): it says nothing against the
  // network, which then counts as it always did.
  if (FAILED(network.QueryInterface(IID_PPV_ARGS(bag.GetAddressOf())))) {
    return Identification::Identified;
  }
  Variant value;
  // Windows' own bag that cannot say is no evidence of where the laptop is.
  if (FAILED(bag->Read(kNetworkClassProperty, value.Get(), nullptr)) ||
      FAILED(VariantChangeType(value.Get(), value.Get(), 0, VT_UINT))) {
    return Identification::Unidentified;
  }
  switch (value.Ref().uintVal) {
    case NLM_NETWORK_IDENTIFYING:
      return Identification::Identifying;
    case NLM_NETWORK_IDENTIFIED:
      return Identification::Identified;
    default:
      return Identification::Unidentified;
  }
}

ConnectedNetwork ReadConnectedNetwork(INetwork& network) {
  return {NameOf(network), DomainAuthenticated(network), ReadIdentification(network),
          IdOf(network)};
}

}  // namespace rerevure::platform
