// The user's default CUPS destination by name ("name" or "name/instance"),
// as the user's lpoptions and the server make it; empty when there is none
// or no server answers. The printer chooser opens on it.
#pragma once

#include <string>

namespace qv::posix {

std::string CupsDefaultDestination();

}  // namespace qv::posix
