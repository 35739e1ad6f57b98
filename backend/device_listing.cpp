#include "backend/device_listing.h"

#include <string>

namespace qv::backend {

void ListDevices(posix::PpdevCalls& calls, std::ostream& out) {
  const std::string prefix = "/dev/parport";
  for (const std::string& device : calls.PresentDevices()) {
    if (device.compare(0, prefix.size(), prefix) != 0) continue;
    const std::string lpt = "LPT" + std::to_string(std::stoul(device.substr(prefix.size())) + 1);
    const struct {
      const char* value;
      const char* info;
    } choices[] = {{"A", "Printer A on QV27-518 switch"},
                   {"B", "Printer B on QV27-518 switch"},
                   {"Broadcast", "Printers A and B at once on QV27-518 switch"}};
    for (const auto& choice : choices)
      out << "direct qv27-518:" << device << "?printer=" << choice.value << " \"Unknown\" \"" << choice.info
          << " (" << lpt << ")\" \"\" \"\"\n";
  }
  out.flush();
}

}  // namespace qv::backend
