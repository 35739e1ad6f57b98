// Runs a call that may wait on another process without a bound (a print
// server that accepts the connection and never answers) on a worker thread
// of its own, and waits for it at most a given time. Past that the caller
// goes on without the result; the worker finishes, or waits on, by itself
// and drops what it got. The work must therefore own everything it touches
// and hand back plain values only.
#pragma once

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

namespace qv::posix {

// How long one call to the print server may take before the program behaves
// as if there were no server.
inline constexpr std::chrono::milliseconds kPrintServerLimit{3000};

template <class Work>
auto RunBounded(Work work, std::chrono::milliseconds limit) -> std::optional<decltype(work())> {
  using Result = decltype(work());
  struct Shared {
    std::mutex mutex;
    std::condition_variable done;
    std::optional<Result> result;
  };
  auto shared = std::make_shared<Shared>();
  // A fresh thread also reads the environment afresh: libcups takes its
  // server and user settings once per thread.
  std::thread([shared, work = std::move(work)]() mutable {
    Result result = work();
    std::lock_guard lock(shared->mutex);
    shared->result.emplace(std::move(result));
    shared->done.notify_all();
  }).detach();
  std::unique_lock lock(shared->mutex);
  shared->done.wait_for(lock, limit, [&] { return shared->result.has_value(); });
  return std::move(shared->result);
}

}  // namespace qv::posix
