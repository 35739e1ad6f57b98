// One print job on the switch: lock the device for the whole job, claim the
// port, send the selection command of the job's printer (a cancel held back
// meanwhile, so the command is never cut in half), let the switch settle,
// write the job's data through the same descriptor, release and close.
// Answers the CUPS backend exit code.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <ostream>
#include <span>
#include <string>

#include "backend/device_uri.h"
#include "backend/side_channel_answer.h"
#include "platform/clock.h"
#include "platform/posix/ppdev_calls.h"

namespace qv::backend {

// CUPS's backend exit codes.
enum ExitCode : int {
  kExitOk = 0,
  kExitFailed = 1,
  kExitStop = 4,
  kExitRetry = 6,
};

// The job's data: standard input, or the spool file once per copy.
class JobInput {
 public:
  virtual ~JobInput() = default;
  // True when data (or its end) can be read at once. With `block` it waits
  // until then, or until a side-channel request or a signal ends the wait
  // (false); without, it only looks.
  virtual bool Wait(bool block) = 0;
  // Bytes read, 0 at the end, -errno on failure.
  virtual long Read(std::span<std::uint8_t> buffer) = 0;
  // Back to the start for the next copy; false when that cannot be done.
  virtual bool Rewind() = 0;
};

// The signals of the job: whether CUPS asked it to stop, and holding that
// request back while the command goes out.
class JobSignals {
 public:
  virtual ~JobSignals() = default;
  virtual bool Cancelled() = 0;
  virtual void HoldBack(bool hold) = 0;
};

// CUPS's side channel, where filters ask the backend while the job runs.
class SideChannel {
 public:
  virtual ~SideChannel() = default;
  // The next request waiting, read without blocking; CUPS_SC_CMD_NONE when
  // there is none (or no channel).
  virtual cups_sc_command_t Next() = 0;
  virtual void Answer(cups_sc_command_t command, const SideChannelAnswer& answer) = 0;
};

struct JobServices {
  posix::PpdevCalls& calls;
  Clock& clock;
  std::ostream& messages;  // CUPS reads INFO:, ERROR: and STATE: lines here
  JobInput& input;
  JobSignals& signals;
  SideChannel& sideChannel;
  std::function<void(std::chrono::milliseconds)> sleep;
  // How long a job waits for a port that another driver holds before it
  // leaves the job for a later retry.
  std::chrono::milliseconds claimBound{10000};
  // The user the job runs as, named when the device refuses it: CUPS runs
  // backends as lp unless its configuration names another user.
  std::string user{"lp"};
};

// Between tries of a lock that another job holds, and of data that did not move.
inline constexpr std::chrono::milliseconds kPollPause{100};

int RunJob(const DeviceUri& uri, int copies, JobServices& services);

}  // namespace qv::backend
