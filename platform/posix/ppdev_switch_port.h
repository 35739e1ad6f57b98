// The switch port of the linux setting program: LPT port N is the ppdev
// device /dev/parport{N-1}. Open takes the device's lock (the one the print
// backend holds for a whole job) and claims the port, together within a
// bound, calling the program's PortWait meanwhile so that its dialog keeps
// repainting; a port still held past the bound is kBusy.
#pragma once

#include <chrono>
#include <iosfwd>
#include <memory>

#include "platform/posix/ppdev_calls.h"
#include "platform/posix/ppdev_claim.h"
#include "platform/switch_port.h"

namespace qv::posix {

class PpdevSwitchPort final : public SwitchPort {
 public:
  static constexpr std::chrono::milliseconds kBound{2000};

  // The real devices; complaints go to standard error.
  explicit PpdevSwitchPort(PortWait wait = {});
  // `calls` and `complaints` must outlive the port and its sessions.
  PpdevSwitchPort(PpdevCalls& calls, std::ostream& complaints, PortWait wait = {},
                  std::chrono::milliseconds bound = kBound);
  ~PpdevSwitchPort() override;

  // A device that refuses the user (kNotPermitted) is also explained in one
  // line on `complaints`, naming the device and the group that owns it,
  // since joining that group is the fix.
  PortOpening Open(std::uint32_t lpt) override;

 private:
  std::unique_ptr<PpdevCalls> ownCalls_;
  PpdevCalls& calls_;
  std::ostream& complaints_;
  PortWait wait_;
  std::chrono::milliseconds bound_;
};

}  // namespace qv::posix
