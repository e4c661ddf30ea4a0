#pragma once

#include <netlistmgr.h>
#include <windows.h>

#include "platform/NetworkList.h"

namespace rerevure::platform {

// What the program needs to know of one network the Network List Manager
// lists. Parts Windows cannot give are left as for a network it does not
// know: no name, no id, not on a domain; a network without the class in its
// property bag (Wine gives no bag) counts as identified.
ConnectedNetwork ReadConnectedNetwork(INetwork& network);

// How far Windows has got with the network, from the NA_NetworkClass of the
// property bag the network object gives through QueryInterface.
Identification ReadIdentification(IUnknown& network);

}  // namespace rerevure::platform
