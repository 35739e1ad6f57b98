// The print server that the native setting tests share: one per test
// program, as starting cupsd is the slowest part of a test.
#pragma once

#include "tests/support/throwaway_print_server.h"

namespace qv::testing {

ThrowawayPrintServer& SettingPrintServer();

}  // namespace qv::testing
