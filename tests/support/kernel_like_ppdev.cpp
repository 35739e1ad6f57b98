#include "tests/support/kernel_like_ppdev.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>

namespace qv::testing {
namespace {

std::string Hex(std::uint8_t value) {
  constexpr const char* kDigits = "0123456789ABCDEF";
  return {kDigits[value >> 4], kDigits[value & 15]};
}

}  // namespace

KernelLikePpdev::Device& KernelLikePpdev::Add(const std::string& path) {
  std::lock_guard lock(mutex_);
  return devices_[path];
}

void KernelLikePpdev::SetHeldByDriver(const std::string& path, bool held) {
  std::lock_guard lock(mutex_);
  devices_.at(path).heldByDriver = held;
}

std::vector<std::string> KernelLikePpdev::Calls() {
  std::lock_guard lock(mutex_);
  return calls;
}

int KernelLikePpdev::SleepUntil(std::unique_lock<std::mutex>& lock, const std::function<bool()>& free) {
  while (!free()) {
    lock.unlock();
    // poll(2) with nothing to watch is a plain sleep that a signal ends.
    const int slept = poll(nullptr, 0, 2);
    lock.lock();
    if (slept < 0 && errno == EINTR) return EINTR;
  }
  return 0;
}

bool KernelLikePpdev::OtherFileHas(int fd, bool OpenFile::*flag) const {
  const std::string& path = files_.at(fd).path;
  for (const auto& [other, entry] : files_)
    if (other != fd && entry.path == path && entry.*flag) return true;
  return false;
}

int KernelLikePpdev::Open(const std::string& path, int& fd) {
  std::lock_guard lock(mutex_);
  calls.push_back("open " + path);
  const auto device = devices_.find(path);
  if (device == devices_.end()) return ENOENT;
  if (!device->second.permitted) return EACCES;
  fd = nextFd_++;
  files_[fd] = {path};
  return 0;
}

int KernelLikePpdev::Lock(int fd, bool wait) {
  std::unique_lock lock(mutex_);
  calls.push_back(wait ? "lock" : "try lock");
  auto free = [&] { return !OtherFileHas(fd, &OpenFile::locked); };
  if (!free() && !wait) return EWOULDBLOCK;
  if (const int error = SleepUntil(lock, free)) return error;
  files_.at(fd).locked = true;
  return 0;
}

int KernelLikePpdev::Claim(int fd) {
  std::unique_lock lock(mutex_);
  calls.push_back("claim");
  if (files_.at(fd).claimed) return EINVAL;  // "you've already got it"
  const std::string path = files_.at(fd).path;
  auto free = [&] {
    return !devices_.at(path).heldByDriver && !OtherFileHas(fd, &OpenFile::claimed);
  };
  if (const int error = SleepUntil(lock, free)) {
    calls.push_back("claim interrupted");
    return error;
  }
  files_.at(fd).claimed = true;
  return 0;
}

int KernelLikePpdev::RegisterCall(int fd, const char* name, std::optional<std::uint8_t> written,
                                  std::uint8_t* status) {
  std::lock_guard lock(mutex_);
  calls.push_back(written ? name + (" " + Hex(*written)) : name);
  const OpenFile& file = files_.at(fd);
  if (!file.claimed) return EINVAL;
  if (status) *status = devices_.at(file.path).status;
  return 0;
}

long KernelLikePpdev::Write(int fd, std::span<const std::uint8_t> bytes) {
  if (duringWrite) duringWrite();
  std::lock_guard lock(mutex_);
  const OpenFile& file = files_.at(fd);
  long written = -EINVAL;
  if (file.claimed) {
    Device& device = devices_.at(file.path);
    long outcome = kFull;
    if (!device.writes.empty()) {
      outcome = device.writes.front();
      device.writes.pop_front();
    }
    written = static_cast<long>(bytes.size());
    if (outcome >= 0) written = std::min(written, outcome);
    device.received.insert(device.received.end(), bytes.begin(), bytes.begin() + written);
  }
  calls.push_back("write " + std::to_string(bytes.size()) + " -> " + std::to_string(written));
  return written;
}

int KernelLikePpdev::Release(int fd) {
  std::lock_guard lock(mutex_);
  calls.push_back("release");
  OpenFile& file = files_.at(fd);
  if (!file.claimed) return EINVAL;
  file.claimed = false;
  return 0;
}

void KernelLikePpdev::Close(int fd) {
  std::lock_guard lock(mutex_);
  calls.push_back("close");
  // Closing drops the lock; the kernel also releases a claim that was left.
  files_.erase(fd);
}

std::string KernelLikePpdev::GroupOf(const std::string& path) {
  std::lock_guard lock(mutex_);
  const auto device = devices_.find(path);
  return device == devices_.end() ? std::string() : device->second.group;
}

std::vector<std::string> KernelLikePpdev::PresentDevices() {
  std::lock_guard lock(mutex_);
  std::vector<std::string> paths;
  for (const auto& [path, device] : devices_) paths.push_back(path);
  return paths;
}

std::vector<std::string> CommandCalls(const SwitchCommand& command) {
  // The control value spelled out: what the switch expects, not a copy of the constant.
  std::vector<std::string> calls{"control 0C"};
  for (auto byte : command.head) calls.push_back("data " + Hex(byte));
  calls.push_back("control 0C");
  for (auto byte : command.tail) calls.push_back("data " + Hex(byte));
  return calls;
}

}  // namespace qv::testing
