// Waiting in a test for what another process or thread leaves behind.
#pragma once

#include <chrono>
#include <thread>

namespace qv::testing {

// True once `done()` holds; a program that never gets there fails the test
// after about 30 s instead of hanging it. No timing is asserted.
template <class Done>
bool PollUntil(Done done) {
  for (int round = 0; round < 3000; ++round) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return done();
}

}  // namespace qv::testing
