// The switch port in the program's own terms: open LPT n (which may fail,
// and says why), write the control and the data register, close. How a
// write reaches the port (a Windows driver request, a ppdev call) is the
// business of each implementation.
#pragma once

#include <cstdint>
#include <memory>

namespace qv {

// Why a port could not be opened or driven.
enum class PortFailure {
  kAbsent,        // no such port, or no driver for it
  kNotPermitted,  // the port is there but this user may not open it
  kBusy,          // held by someone else (a print job, another driver) beyond the wait
  kWriteFailed,   // opened, but a register write failed: the command is cut short
};

// One open session with the port; destroying it releases and closes the port.
class PortSession {
 public:
  virtual ~PortSession() = default;
  // One register write each; false when the write did not happen.
  virtual bool WriteControl(std::uint8_t value) = 0;
  virtual bool WriteData(std::uint8_t value) = 0;
};

// A session, or the reason there is none.
struct PortOpening {
  std::unique_ptr<PortSession> session;
  PortFailure failure = PortFailure::kAbsent;  // meaningful only without a session
};

class SwitchPort {
 public:
  virtual ~SwitchPort() = default;
  // Opens LPT `lpt` (1-3) for one command.
  virtual PortOpening Open(std::uint32_t lpt) = 0;
};

}  // namespace qv
