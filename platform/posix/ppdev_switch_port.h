// The switch port of the linux build: LPT port N is the ppdev device
// /dev/parport{N-1}. A session opens and claims the port at its first write
// and releases and closes it when the command is over, so every register
// write of one command, with its pauses, happens inside one claim.
#pragma once

#include <iosfwd>
#include <memory>

#include "platform/posix/ppdev_calls.h"
#include "platform/switch_port.h"

namespace qv::posix {

class PpdevSwitchPort final : public SwitchPort {
 public:
  // The real devices; complaints go to standard error.
  PpdevSwitchPort();
  // `calls` and `complaints` must outlive the port and its sessions.
  PpdevSwitchPort(PpdevCalls& calls, std::ostream& complaints);
  ~PpdevSwitchPort() override;

  // Never nullptr: whether the device is there is only known once a write
  // names the port. A device that is missing, cannot be opened or claimed, or
  // fails a write drops the rest of the command silently; a device that
  // refuses the user (EACCES) says so in one line on `complaints`, naming the
  // device and the group that owns it, since joining that group is the fix.
  PortOpening Open(std::uint32_t lpt) override;

 private:
  std::unique_ptr<PpdevCalls> ownCalls_;
  PpdevCalls& calls_;
  std::ostream& complaints_;
};

}  // namespace qv::posix
