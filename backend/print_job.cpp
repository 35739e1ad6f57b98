#include "backend/print_job.h"

#include <cerrno>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "platform/posix/ppdev_session.h"
#include "setting/switch_command.h"

namespace qv::backend {
namespace {

// The status register's paper-out bit.
constexpr std::uint8_t kStatusPaperOut = 0x20;

// Answers the filters' requests as they come, but a drain only once the
// output is drained: every byte read from the job is out of the port and
// nothing the filter wrote before asking is left to read.
class SideChannelServer {
 public:
  explicit SideChannelServer(SideChannel& channel) : channel_(channel) {}

  // `drained` is asked only while a drain waits, after the requests were
  // read, so that data written before a drain is never missed.
  void Serve(const std::function<bool()>& drained = {}) {
    for (cups_sc_command_t command; (command = channel_.Next()) != CUPS_SC_CMD_NONE;) {
      if (command == CUPS_SC_CMD_DRAIN_OUTPUT)
        ++drains_;
      else
        channel_.Answer(command, AnswerOf(command));
    }
    if (drains_ == 0 || !drained || !drained()) return;
    for (; drains_ > 0; --drains_) channel_.Answer(CUPS_SC_CMD_DRAIN_OUTPUT, AnswerOf(CUPS_SC_CMD_DRAIN_OUTPUT));
  }

 private:
  SideChannel& channel_;
  int drains_ = 0;
};

class DataWriter {
 public:
  DataWriter(posix::PpdevSession& session, JobServices& services, SideChannelServer& side)
      : session_(session), s_(services), side_(side) {}
  ~DataWriter() { ShowState(nullptr); }

  // Writes all of `bytes`; kExitOk also when the job was cancelled meanwhile.
  std::optional<int> WriteAll(std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
      if (s_.signals.Cancelled()) return kExitOk;
      side_.Serve();
      const long written = session_.WriteJob(bytes);
      if (written > 0) {
        ShowState(nullptr);
        bytes = bytes.subspan(static_cast<std::size_t>(written));
      } else if (written == 0) {
        // Nothing went out within the port's time-out, or a signal came first.
        if (s_.signals.Cancelled()) return kExitOk;
        Stalled();
      } else if (written == -EINTR || written == -EAGAIN) {
        continue;
      } else {
        s_.messages << "ERROR: Writing to " << device_ << " failed: " << std::strerror(static_cast<int>(-written))
                    << std::endl;
        return kExitFailed;
      }
    }
    return std::nullopt;
  }

  std::string device_;

 private:
  void Stalled() {
    const auto status = session_.ReadStatus();
    // Out of paper says so; off line, a fault or a printer that stays busy
    // all mean that it does not take data.
    ShowState(status && (*status & kStatusPaperOut) ? "media-empty-warning" : "offline-report");
    s_.sleep(kPollPause);
  }

  // One state reason at a time; nullptr clears it once data moves again.
  void ShowState(const char* reason) {
    if (shown_ == reason || (shown_ && reason && std::strcmp(shown_, reason) == 0)) return;
    if (shown_) s_.messages << "STATE: -" << shown_ << std::endl;
    if (reason) s_.messages << "STATE: +" << reason << std::endl;
    shown_ = reason;
  }

  posix::PpdevSession& session_;
  JobServices& s_;
  SideChannelServer& side_;
  const char* shown_ = nullptr;
};

int OpenFailure(const DeviceUri& uri, int error, JobServices& s) {
  switch (error) {
    case EACCES:
    case EPERM: {
      const std::string group = s.calls.GroupOf(uri.device);
      s.messages << "ERROR: The " << s.user << " user may not open " << uri.device;
      if (!group.empty())
        s.messages << "; it belongs to the group \"" << group << "\", which " << s.user << " is not in";
      s.messages << std::endl;
      return kExitStop;
    }
    case ENOENT:
    case ENODEV:
    case ENXIO:
      s.messages << "ERROR: There is no parallel port " << uri.device << " (is the ppdev module loaded?)"
                 << std::endl;
      return kExitRetry;
    case EBUSY:
      s.messages << "ERROR: " << uri.device << " is in use by another driver" << std::endl;
      return kExitRetry;
    default:
      s.messages << "ERROR: Cannot open " << uri.device << ": " << std::strerror(error) << std::endl;
      return kExitFailed;
  }
}

}  // namespace

int RunJob(const DeviceUri& uri, int copies, JobServices& s) {
  int error = 0;
  auto session = posix::PpdevSession::Open(s.calls, uri.device, error);
  if (!session) return OpenFailure(uri, error, s);
  SideChannelServer side(s.sideChannel);

  // 1. The lock, for the whole job: another job on the same port (printer A
  // while B prints, or the setting program's Set) waits here.
  error = session->TryLock();
  if (error == EWOULDBLOCK) {
    s.messages << "INFO: Waiting for the switch" << std::endl;
    while (error == EWOULDBLOCK) {
      if (s.signals.Cancelled()) return kExitOk;
      side.Serve();
      s.sleep(kPollPause);
      error = session->TryLock();
    }
    if (error == 0) s.messages << "INFO: The switch is free; printing" << std::endl;
  }
  if (error != 0) {
    s.messages << "ERROR: Cannot lock " << uri.device << ": " << std::strerror(error) << std::endl;
    return kExitFailed;
  }
  if (s.signals.Cancelled()) return kExitOk;

  // 2. The claim, bounded: another driver may hold the port.
  error = session->Claim(s.claimBound, [&] {
    side.Serve();
    return !s.signals.Cancelled();
  });
  if (s.signals.Cancelled()) return kExitOk;
  if (error == ETIMEDOUT) {
    s.messages << "ERROR: " << uri.device << " is held by another driver; the job will be tried again later"
               << std::endl;
    return kExitRetry;
  }
  if (error != 0) {
    s.messages << "ERROR: Cannot claim " << uri.device << ": " << std::strerror(error) << std::endl;
    return kExitFailed;
  }

  // 3. The command, whole: a cancel is held back until it is out.
  s.signals.HoldBack(true);
  const bool sent = WriteCommand(*session, s.clock, CommandOf(uri.printer));
  s.signals.HoldBack(false);
  if (!sent) {
    s.messages << "ERROR: The switch command could not be written to " << uri.device << std::endl;
    return kExitFailed;
  }
  if (s.signals.Cancelled()) return kExitOk;

  // 4. The switch needs a moment before the data.
  if (uri.settle.count() > 0) s.sleep(uri.settle);

  // 5. The data, once per copy.
  DataWriter writer(*session, s, side);
  writer.device_ = uri.device;
  std::vector<std::uint8_t> buffer(64 * 1024);
  for (int copy = 0; copy < copies; ++copy) {
    if (copy > 0 && !s.input.Rewind()) {
      s.messages << "ERROR: Cannot read the job again for its next copy" << std::endl;
      return kExitFailed;
    }
    for (;;) {
      if (s.signals.Cancelled()) return kExitOk;
      // A filter may ask before it writes more, so the wait for its data is
      // also a wait for its requests.
      side.Serve([&s] { return !s.input.Wait(false); });
      if (!s.input.Wait(true)) continue;
      const long got = s.input.Read(buffer);
      if (got == -EINTR) continue;
      if (got < 0) {
        s.messages << "ERROR: Cannot read the job: " << std::strerror(static_cast<int>(-got)) << std::endl;
        return kExitFailed;
      }
      if (got == 0) break;
      if (auto end = writer.WriteAll(std::span<const std::uint8_t>(buffer).first(static_cast<std::size_t>(got))))
        return *end;
    }
  }
  side.Serve([] { return true; });  // every byte is out
  // 6. The session's end releases the port and closes the device.
  return kExitOk;
}

}  // namespace qv::backend
