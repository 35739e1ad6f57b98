#include "platform/posix/ppdev_switch_port.h"

#include <cerrno>
#include <iostream>
#include <string>

namespace qv::posix {
namespace {

class PpdevSession final : public PortSession {
 public:
  PpdevSession(PpdevCalls& calls, std::ostream& complaints, std::uint32_t port)
      : calls_(calls), complaints_(complaints), port_(port) {
    Start();
  }
  ~PpdevSession() override { Finish(); }

  bool WriteControl(std::uint8_t value) override { return fd_ >= 0 && calls_.WriteControl(fd_, value) == 0; }
  bool WriteData(std::uint8_t value) override { return fd_ >= 0 && calls_.WriteData(fd_, value) == 0; }

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
  std::uint32_t port_;
  int fd_ = -1;
};

}  // namespace

PpdevSwitchPort::PpdevSwitchPort()
    : ownCalls_(std::make_unique<SystemPpdevCalls>()), calls_(*ownCalls_), complaints_(std::cerr) {}

PpdevSwitchPort::PpdevSwitchPort(PpdevCalls& calls, std::ostream& complaints)
    : calls_(calls), complaints_(complaints) {}

PpdevSwitchPort::~PpdevSwitchPort() = default;

PortOpening PpdevSwitchPort::Open(std::uint32_t lpt) {
  return {std::make_unique<PpdevSession>(calls_, complaints_, lpt)};
}

}  // namespace qv::posix
