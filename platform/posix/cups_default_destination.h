// The user's default CUPS destination by name ("name" or "name/instance"),
// as the user's lpoptions and the server make it; empty when there is none
// or no server answers within `limit`.
#pragma once

#include <chrono>
#include <string>

#include "platform/posix/bounded_call.h"

namespace qv::posix {

std::string CupsDefaultDestination(std::chrono::milliseconds limit = kPrintServerLimit);

}  // namespace qv::posix
