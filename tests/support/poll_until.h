// Waiting in a test for what another process or thread leaves behind.
#pragma once

#include <chrono>
#include <thread>

namespace qv::testing {

// True once `done()` holds, asked every `step`; a program that never gets
// there fails the test once about `timeout` has been slept away, instead of
// hanging it. No timing is asserted.
template <class Done>
bool PollUntil(Done done, std::chrono::milliseconds timeout = std::chrono::seconds(30),
               std::chrono::milliseconds step = std::chrono::milliseconds(10)) {
  for (std::chrono::milliseconds slept{0}; slept < timeout; slept += step) {
    if (done()) return true;
    std::this_thread::sleep_for(step);
  }
  return done();
}

}  // namespace qv::testing
