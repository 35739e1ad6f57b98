#include "platform/posix/cups_default_destination.h"

#include <cups/cups.h>


namespace qv::posix {

std::string CupsDefaultDestination(std::chrono::milliseconds limit) {
  const auto name = RunBounded(
      [] {
        cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, nullptr, nullptr);
        if (!dest) return std::string();
        std::string full = dest->name ? dest->name : "";
        if (dest->instance && *dest->instance) full += std::string("/") + dest->instance;
        cupsFreeDests(1, dest);
        return full;
      },
      limit);
  return name.value_or(std::string());
}

}  // namespace qv::posix
