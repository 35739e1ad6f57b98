// The backend's device URI, qv27-518:/dev/parportN?printer=A|B|Broadcast
// [&settle=MS], read strictly: anything else is a bad URI, never a guess.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "setting/switch_command.h"

namespace qv::backend {

enum class SwitchPrinter { kA, kB, kBroadcast };

struct DeviceUri {
  std::string device;   // /dev/parportN
  unsigned port = 0;    // N
  SwitchPrinter printer = SwitchPrinter::kA;
  std::chrono::milliseconds settle{10};  // after the command, before the data
};

inline constexpr std::string_view kScheme = "qv27-518";
inline constexpr std::chrono::milliseconds kMaxSettle{1000};

std::optional<DeviceUri> ParseDeviceUri(std::string_view uri);
// The selection command of a printer of the switch.
const SwitchCommand& CommandOf(SwitchPrinter printer);

}  // namespace qv::backend
