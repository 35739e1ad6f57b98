#include "backend/device_uri.h"

#include <algorithm>

namespace qv::backend {
namespace {

bool AllDigits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Digits without a leading zero (but "0" itself), at most `maxLength` of them.
std::optional<unsigned> Number(std::string_view text, std::size_t maxLength) {
  if (!AllDigits(text) || text.size() > maxLength || (text.size() > 1 && text[0] == '0')) return std::nullopt;
  unsigned value = 0;
  for (char c : text) value = value * 10 + static_cast<unsigned>(c - '0');
  return value;
}

}  // namespace

std::optional<DeviceUri> ParseDeviceUri(std::string_view uri) {
  const std::string_view prefix = "qv27-518:/dev/parport";
  if (uri.substr(0, prefix.size()) != prefix) return std::nullopt;
  uri.remove_prefix(prefix.size());
  const std::size_t query = uri.find('?');
  if (query == std::string_view::npos) return std::nullopt;
  const auto port = Number(uri.substr(0, query), 2);
  if (!port) return std::nullopt;
  DeviceUri result;
  result.port = *port;
  result.device = "/dev/parport" + std::to_string(*port);
  bool havePrinter = false, haveSettle = false;
  std::string_view rest = uri.substr(query + 1);
  for (;;) {
    const std::size_t end = rest.find('&');
    const std::string_view pair = rest.substr(0, end);
    const std::size_t equals = pair.find('=');
    if (equals == std::string_view::npos) return std::nullopt;
    const std::string_view key = pair.substr(0, equals), value = pair.substr(equals + 1);
    if (key == "printer" && !havePrinter) {
      havePrinter = true;
      if (value == "A")
        result.printer = SwitchPrinter::kA;
      else if (value == "B")
        result.printer = SwitchPrinter::kB;
      else if (value == "Broadcast")
        result.printer = SwitchPrinter::kBroadcast;
      else
        return std::nullopt;
    } else if (key == "settle" && !haveSettle) {
      haveSettle = true;
      const auto settle = Number(value, 4);
      if (!settle || std::chrono::milliseconds(*settle) > kMaxSettle) return std::nullopt;
      result.settle = std::chrono::milliseconds(*settle);
    } else {
      return std::nullopt;
    }
    if (end == std::string_view::npos) break;
    rest.remove_prefix(end + 1);
  }
  if (!havePrinter) return std::nullopt;
  return result;
}

const SwitchCommand& CommandOf(SwitchPrinter printer) {
  switch (printer) {
    case SwitchPrinter::kB:
      return switch_commands::kSelectB;
    case SwitchPrinter::kBroadcast:
      return switch_commands::kBroadcast;
    case SwitchPrinter::kA:
      break;
  }
  return switch_commands::kSelectA;
}

}  // namespace qv::backend
