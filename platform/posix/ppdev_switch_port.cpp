#include "platform/posix/ppdev_switch_port.h"

#include <cerrno>
#include <iostream>
#include <string>

namespace qv::posix {
namespace {

class PpdevSession final : public PortSession {
 public:
  PpdevSession(PpdevCalls& calls, std::ostream& complaints) : calls_(calls), complaints_(complaints) {}
  ~PpdevSession() override { Finish(); }

  void Write(const PortIoRequest& request) override {
    if (request.port != port_) {
      Finish();
      port_ = request.port;
      Start();
    }
    if (fd_ < 0) return;
    int error = 0;
    if (request.registerOffset == kControlRegister)
      error = calls_.WriteControl(fd_, request.value);
    else if (request.registerOffset == kDataRegister)
      error = calls_.WriteData(fd_, request.value);
    // A half-sent command means nothing to the switch: stop at the first
    // failed write instead of sending the rest out of context.
    if (error != 0) Finish();
  }

 private:
  void Start() {
    // Port 0 has no device; LPT numbers beyond what the kernel lists simply
    // find none.
    if (port_ == 0) return;
    const std::string path = "/dev/parport" + std::to_string(port_ - 1);
    int fd = -1;
    const int error = calls_.Open(path, fd);
    if (error != 0) {
      if (error == EACCES) Complain(path);
      return;
    }
    if (calls_.Claim(fd) != 0) {
      calls_.Close(fd);
      return;
    }
    fd_ = fd;
  }

  void Complain(const std::string& path) {
    const std::string group = calls_.GroupOf(path);
    complaints_ << "QV27-518: no permission to open " << path;
    if (!group.empty()) complaints_ << "; add your user to the group \"" << group << "\" and log in again";
    complaints_ << std::endl;
  }

  void Finish() {
    if (fd_ < 0) return;
    calls_.Release(fd_);
    calls_.Close(fd_);
    fd_ = -1;
  }

  PpdevCalls& calls_;
  std::ostream& complaints_;
  std::uint32_t port_ = 0;  // the port of the current claim; 0 before the first write
  int fd_ = -1;
};

}  // namespace

PpdevSwitchPort::PpdevSwitchPort()
    : ownCalls_(std::make_unique<SystemPpdevCalls>()), calls_(*ownCalls_), complaints_(std::cerr) {}

PpdevSwitchPort::PpdevSwitchPort(PpdevCalls& calls, std::ostream& complaints)
    : calls_(calls), complaints_(complaints) {}

PpdevSwitchPort::~PpdevSwitchPort() = default;

std::unique_ptr<PortSession> PpdevSwitchPort::Open() {
  return std::make_unique<PpdevSession>(calls_, complaints_);
}

}  // namespace qv::posix
