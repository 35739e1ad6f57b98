#include "platform/posix/ppdev_claim.h"

#include <pthread.h>
#include <signal.h>

#include <cerrno>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace qv::posix {
namespace {

// A signal of the claim's own, with a handler that does nothing: its only
// work is to end the kernel's sleep. Installed without SA_RESTART.
int InterruptSignal() {
  static const int signal = [] {
    const int number = SIGRTMIN + 2;
    struct sigaction action {};
    action.sa_handler = [](int) {};
    sigemptyset(&action.sa_mask);
    sigaction(number, &action, nullptr);
    return number;
  }();
  return signal;
}

struct ClaimState {
  std::mutex mutex;
  std::condition_variable changed;
  bool done = false;
  int result = 0;
};

}  // namespace

int ClaimWithin(PpdevCalls& calls, int fd, std::chrono::milliseconds bound, const PortWait& wait) {
  const int signal = InterruptSignal();
  ClaimState state;
  std::thread worker([&] {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, signal);
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
    const int result = calls.Claim(fd);
    std::lock_guard lock(state.mutex);
    state.result = result;
    state.done = true;
    state.changed.notify_all();
  });
  const auto deadline = std::chrono::steady_clock::now() + bound;
  std::unique_lock lock(state.mutex);
  while (!state.done && std::chrono::steady_clock::now() < deadline) {
    if (state.changed.wait_for(lock, std::chrono::milliseconds(10), [&] { return state.done; })) break;
    lock.unlock();
    const bool goOn = !wait || wait();
    lock.lock();
    if (!goOn) break;
  }
  bool interrupted = false;
  // A signal that comes before the worker is inside the kernel's sleep
  // would be lost: send it again until the claim has returned.
  while (!state.done) {
    interrupted = true;
    pthread_kill(worker.native_handle(), signal);
    state.changed.wait_for(lock, std::chrono::milliseconds(5), [&] { return state.done; });
  }
  const int result = state.result;
  lock.unlock();
  worker.join();
  if (interrupted && result == EINTR) return ETIMEDOUT;
  // A claim that got the port just as the bound passed is as good as any.
  return result;
}

}  // namespace qv::posix
