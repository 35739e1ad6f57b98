// The kernel calls that drive a parallel port through ppdev, behind a thin
// interface so that tests can record the exact sequence of calls. Each call
// answers 0 on success or the errno value of its failure.
#pragma once

#include <cstdint>
#include <string>

namespace qv::posix {

class PpdevCalls {
 public:
  virtual ~PpdevCalls() = default;

  // Opens the device node; sets `fd` on success.
  virtual int Open(const std::string& path, int& fd) = 0;
  virtual int Claim(int fd) = 0;                               // PPCLAIM
  virtual int WriteData(int fd, std::uint8_t value) = 0;       // PPWDATA
  virtual int WriteControl(int fd, std::uint8_t value) = 0;    // PPWCONTROL
  virtual int Release(int fd) = 0;                             // PPRELEASE
  virtual void Close(int fd) = 0;
  // The name of the group that owns the device node; empty when unknown.
  virtual std::string GroupOf(const std::string& path) = 0;
};

// The real calls: open(2), ioctl(2) on ppdev, close(2), stat(2) and the
// group database.
class SystemPpdevCalls final : public PpdevCalls {
 public:
  int Open(const std::string& path, int& fd) override;
  int Claim(int fd) override;
  int WriteData(int fd, std::uint8_t value) override;
  int WriteControl(int fd, std::uint8_t value) override;
  int Release(int fd) override;
  void Close(int fd) override;
  std::string GroupOf(const std::string& path) override;
};

}  // namespace qv::posix
