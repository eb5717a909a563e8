#pragma once

#include <string>

namespace sw {

// Hands an address to the desktop's registered program, only when IsOpenableAddress accepts it.
// True when the desktop took it.
bool OpenAddress(const std::string& address);

}  // namespace sw
