// A window message's name for test and log output: "WM_SIZE", "WM_USER+2", or "0x1234".
#pragma once

#include "platform/Types.h"

#include <string>

namespace platform {

std::string MessageName(UINT message);

} // namespace platform
