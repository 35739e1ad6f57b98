#include "platform/posix/kernel_firmware_port_table.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <string>
#include <system_error>

namespace qv::posix {
namespace {

namespace fs = std::filesystem;

constexpr off_t kLptTable = 0x408;

bool IsStandardBase(unsigned long base) { return base == 0x378 || base == 0x3BC || base == 0x278; }

// "parport12" gives 12; anything else is not a port of the list.
std::optional<unsigned> PortNumber(const std::string& name) {
  constexpr std::string_view prefix = "parport";
  if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) return std::nullopt;
  unsigned number = 0;
  for (std::size_t i = prefix.size(); i < name.size(); ++i) {
    if (name[i] < '0' || name[i] > '9' || number > 1000) return std::nullopt;
    number = number * 10 + static_cast<unsigned>(name[i] - '0');
  }
  return number;
}

}  // namespace

KernelFirmwarePortTable::KernelFirmwarePortTable(fs::path memoryDevice, fs::path parportRoot)
    : memoryDevice_(std::move(memoryDevice)), parportRoot_(std::move(parportRoot)) {}

std::optional<std::array<std::uint16_t, 3>> KernelFirmwarePortTable::ReadBaseAddresses() {
  const int fd = ::open(memoryDevice_.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  unsigned char bytes[6] = {};
  const ssize_t got = ::pread(fd, bytes, sizeof bytes, kLptTable);
  ::close(fd);
  if (got != static_cast<ssize_t>(sizeof bytes)) return std::nullopt;
  std::array<std::uint16_t, 3> words{};
  for (std::size_t i = 0; i < words.size(); ++i)
    words[i] = static_cast<std::uint16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
  return words;
}

int KernelFirmwarePortTable::CountKnownPorts() {
  std::map<unsigned, fs::path> ports;  // in the kernel's order
  std::error_code error;
  for (fs::directory_iterator it(parportRoot_, error), end; !error && it != end; it.increment(error)) {
    if (const auto number = PortNumber(it->path().filename().string())) ports[*number] = it->path();
  }
  int count = 0;
  int looked = 0;
  for (const auto& [number, folder] : ports) {
    if (looked++ == 3) break;
    // "888\t-1": the base address, then the high base where there is one.
    std::ifstream file(folder / "base-addr");
    unsigned long base = 0;
    if (file >> base && IsStandardBase(base)) ++count;
  }
  return count;
}

}  // namespace qv::posix
