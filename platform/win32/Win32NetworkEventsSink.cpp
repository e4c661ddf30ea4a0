#include "platform/win32/Win32NetworkEventsSink.h"

#include <atomic>
#include <new>

namespace rerevure::platform {
namespace {

class NetworkEventsSink final : public INetworkEvents {
 public:
  NetworkEventsSink(HWND target, UINT message) : target_(target), message_(message) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_INetworkEvents)) {
      *object = static_cast<INetworkEvents*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

  HRESULT STDMETHODCALLTYPE NetworkAdded(GUID) override { return Changed(); }
  HRESULT STDMETHODCALLTYPE NetworkDeleted(GUID) override { return Changed(); }
  HRESULT STDMETHODCALLTYPE NetworkConnectivityChanged(GUID, NLM_CONNECTIVITY) override {
    return Changed();
  }
  HRESULT STDMETHODCALLTYPE NetworkPropertyChanged(GUID, NLM_NETWORK_PROPERTY_CHANGE) override {
    return Changed();
  }

 private:
  HRESULT Changed() {
    // Fails only when the window is already gone, as the program ends; the
    // event then has nobody left to tell.
    PostMessageW(target_, message_, 0, 0);
    return S_OK;
  }

  std::atomic<ULONG> references_{1};
  HWND target_;
  UINT message_;
};

}  // namespace

Microsoft::WRL::ComPtr<INetworkEvents> MakeNetworkEventsSink(HWND target, UINT message) {
  Microsoft::WRL::ComPtr<INetworkEvents> sink;
  sink.Attach(new NetworkEventsSink(target, message));
  return sink;
}

}  // namespace rerevure::platform
