#include "platform/posix/cups_default_destination.h"

#include <cups/cups.h>

namespace qv::posix {

std::string CupsDefaultDestination() {
  cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, nullptr, nullptr);
  if (!dest) return {};
  std::string name = dest->name ? dest->name : "";
  if (dest->instance && *dest->instance) name += std::string("/") + dest->instance;
  cupsFreeDests(1, dest);
  return name;
}

}  // namespace qv::posix
