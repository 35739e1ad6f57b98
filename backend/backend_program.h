// The backend program over a set of ppdev calls: the real devices in the
// installed backend (main.cpp), a recording stand-in in the tests' build of
// it. Reads argv and DEVICE_URI as CUPS hands them over, lists the devices
// or runs the job, and answers the exit code.
#pragma once

#include "platform/posix/ppdev_calls.h"

namespace qv::backend {

int RunBackend(int argc, char** argv, posix::PpdevCalls& calls);

}  // namespace qv::backend
