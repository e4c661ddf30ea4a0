#pragma once

#include <netlistmgr.h>
#include <windows.h>
#include <wrl/client.h>

namespace rerevure::platform {

// The object the Network List Manager calls with its network events. Each
// event only posts `message` to `target`, so whichever thread Windows calls
// from, the program hears of it on its own thread, from the message loop.
Microsoft::WRL::ComPtr<INetworkEvents> MakeNetworkEventsSink(HWND target, UINT message);

}  // namespace rerevure::platform
