// The kernel calls that drive a parallel port through ppdev, behind a thin
// interface so that tests can put a double that behaves as the kernel does
// (tests/support/kernel_like_ppdev.h) in place of the real device. Each call
// answers 0 on success or the errno value of its failure.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace qv::posix {

class PpdevCalls {
 public:
  virtual ~PpdevCalls() = default;

  // Opens the device node read-write; sets `fd` on success.
  virtual int Open(const std::string& path, int& fd) = 0;
  // An exclusive flock on the open device, held until it is closed. Without
  // `wait`, EWOULDBLOCK while another open of the device holds it; with it,
  // sleeps until it is free, EINTR when a signal ends the sleep.
  virtual int Lock(int fd, bool wait) = 0;
  // PPCLAIM: sleeps while another driver or process holds the port; a
  // signal ends the sleep with EINTR (the kernel does not restart it).
  virtual int Claim(int fd) = 0;
  virtual int WriteData(int fd, std::uint8_t value) = 0;     // PPWDATA
  virtual int WriteControl(int fd, std::uint8_t value) = 0;  // PPWCONTROL
  virtual int ReadStatus(int fd, std::uint8_t& value) = 0;   // PPRSTATUS
  // write(2) of job data in the port's current (compatibility) mode: the
  // count written, which is short when a signal came in between the
  // kernel's chunks and 0 when nothing went out within the port's timeout
  // (printer busy, off line or out of paper); -errno on failure.
  virtual long Write(int fd, std::span<const std::uint8_t> bytes) = 0;
  virtual int Release(int fd) = 0;  // PPRELEASE
  virtual void Close(int fd) = 0;
  // The name of the group that owns the device node; empty when unknown.
  virtual std::string GroupOf(const std::string& path) = 0;
  // The paths of the ppdev devices present, by port number.
  virtual std::vector<std::string> PresentDevices() = 0;
};

// The real calls: open(2), flock(2), ioctl(2) on ppdev, write(2), close(2),
// stat(2) and the group database; the devices are /dev/parportN.
class SystemPpdevCalls : public PpdevCalls {
 public:
  int Open(const std::string& path, int& fd) override;
  int Lock(int fd, bool wait) override;
  int Claim(int fd) override;
  int WriteData(int fd, std::uint8_t value) override;
  int WriteControl(int fd, std::uint8_t value) override;
  int ReadStatus(int fd, std::uint8_t& value) override;
  long Write(int fd, std::span<const std::uint8_t> bytes) override;
  int Release(int fd) override;
  void Close(int fd) override;
  std::string GroupOf(const std::string& path) override;
  std::vector<std::string> PresentDevices() override;

 protected:
  // The folder whose parportN character devices are listed.
  virtual std::string DeviceFolder() { return "/dev"; }
  virtual bool IsDevice(const std::string& path);
};

}  // namespace qv::posix
