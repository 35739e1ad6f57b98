#include "platform/posix/switch_queue_name.h"

#include <charconv>

namespace qv::posix {
namespace {

constexpr std::string_view kScheme = "qv27-518:";
constexpr std::string_view kPortPrefix = "/dev/parport";

// The LPT name of /dev/parportN (parport0 is LPT1); empty for anything else.
std::string PortName(std::string_view path) {
  if (path.substr(0, kPortPrefix.size()) != kPortPrefix) return {};
  const std::string_view digits = path.substr(kPortPrefix.size());
  unsigned number = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
  if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() || number > 98) return {};
  return "LPT" + std::to_string(number + 1);
}

std::string_view QueryValue(std::string_view query, std::string_view key) {
  while (!query.empty()) {
    const std::size_t amp = query.find('&');
    const std::string_view pair = query.substr(0, amp);
    if (pair.size() > key.size() && pair.substr(0, key.size()) == key && pair[key.size()] == '=')
      return pair.substr(key.size() + 1);
    if (amp == std::string_view::npos) break;
    query.remove_prefix(amp + 1);
  }
  return {};
}

}  // namespace

std::optional<std::string> SwitchQueueName(std::string_view uri) {
  if (uri.substr(0, kScheme.size()) != kScheme) return std::nullopt;
  uri.remove_prefix(kScheme.size());
  const std::size_t question = uri.find('?');
  const std::string port = PortName(uri.substr(0, question));
  const std::string_view printer =
      question == std::string_view::npos ? std::string_view() : QueryValue(uri.substr(question + 1), "printer");
  std::string name;
  if (printer == "A" || printer == "B") name = "Printer " + std::string(printer) + " on ";
  else if (printer == "Broadcast") name = "Printers A and B at once on ";
  name += "QV27-518 switch";
  if (!port.empty()) name += " (" + port + ")";
  return name;
}

}  // namespace qv::posix
