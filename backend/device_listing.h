// What the backend says when CUPS runs it without arguments: the three
// choices (printer A, printer B, both) of every parallel port present, one
// line each, for printer setup tools to offer.
#pragma once

#include <ostream>

#include "platform/posix/ppdev_calls.h"

namespace qv::backend {

void ListDevices(posix::PpdevCalls& calls, std::ostream& out);

}  // namespace qv::backend
