// A stand-in for the parallel port, for the tests' build of the backend
// (qv27-518-standin) that a private cupsd runs as lp: no machine here has a
// port, ppdev or CUSE. The product's backend never contains this.
//
// The folder named by QV_PORT_STANDIN stands for /dev: /dev/parportN is the
// FIFO parportN there, which the test reads as the printer would take the
// data. Open, flock and write(2) are the real calls on that FIFO (so the
// lock between jobs, the permission check and the blocking, interruptible
// data writes are the kernel's own); the ppdev ioctls are recorded instead,
// each as one line "<CLOCK_MONOTONIC ns> <pid> <call>" appended to the
// file "events" there, and answer success. A write(2) that a signal ends
// before anything went out answers 0, as ppdev's does.
#pragma once

#include <string>

#include "platform/posix/ppdev_calls.h"

namespace qv::testing {

class StandInPpdevCalls final : public posix::SystemPpdevCalls {
 public:
  // The folder from QV_PORT_STANDIN.
  StandInPpdevCalls();

  int Open(const std::string& path, int& fd) override;
  int Lock(int fd, bool wait) override;
  int Claim(int) override { return Record("claim"); }
  int WriteData(int, std::uint8_t value) override { return Record(Register("data", value)); }
  int WriteControl(int, std::uint8_t value) override { return Record(Register("control", value)); }
  int ReadStatus(int, std::uint8_t& value) override {
    value = 0xDF;  // selected, no paper-out, no fault, not busy
    return Record("status");
  }
  long Write(int fd, std::span<const std::uint8_t> bytes) override;
  int Release(int) override { return Record("release"); }
  void Close(int fd) override;
  std::string GroupOf(const std::string& path) override {
    return SystemPpdevCalls::GroupOf(Mapped(path));
  }

 protected:
  std::string DeviceFolder() override { return folder_; }
  bool IsDevice(const std::string& path) override;

 private:
  std::string Mapped(const std::string& path) const;
  // Appends the event; answers success.
  int Record(const std::string& call);
  static std::string Register(const char* name, std::uint8_t value);
  std::string folder_;
};

}  // namespace qv::testing
