#include "platform/posix/cups_printer_store.h"

#include <cups/cups.h>

#include <algorithm>

namespace qv::posix {
namespace {

constexpr long kErrorMoreData = 234;
constexpr long kErrorNoMoreItems = 259;

// The description as the device list hands it out: the device URI, at most
// what a 256-byte buffer holds with its terminating zero.
std::string Description(const cups_dest_t& dest) {
  const char* uri = cupsGetOption("device-uri", dest.num_options, dest.options);
  std::string description = uri ? uri : "";
  if (description.size() > 255) description.resize(255);
  return description;
}

std::string FullName(const cups_dest_t& dest) {
  std::string name = dest.name ? dest.name : "";
  if (dest.instance && *dest.instance) name += std::string("/") + dest.instance;
  return name;
}

// The user's destinations, freed when it goes.
class Destinations {
 public:
  Destinations() { count_ = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests_); }
  ~Destinations() { cupsFreeDests(count_, dests_); }
  Destinations(const Destinations&) = delete;
  Destinations& operator=(const Destinations&) = delete;

  cups_dest_t* begin() { return dests_; }
  cups_dest_t* end() { return dests_ + std::max(count_, 0); }
  int count() const { return std::max(count_, 0); }

 private:
  cups_dest_t* dests_ = nullptr;
  int count_ = 0;
};

}  // namespace

bool CupsPrinterStore::OpenDeviceList() {
  list_.clear();
  Destinations dests;
  for (const cups_dest_t& dest : dests) list_.push_back({FullName(dest), Description(dest)});
  return true;
}

unsigned CupsPrinterStore::DeviceCount() { return static_cast<unsigned>(list_.size()); }

PrinterDeviceEntry CupsPrinterStore::Device(unsigned index) {
  PrinterDeviceEntry entry;
  if (index >= list_.size()) {
    entry.status = kErrorNoMoreItems;
    return entry;
  }
  const Destination& destination = list_[index];
  if (!entry.name.TryAssign(destination.name)) {
    entry.name.Assign(destination.name);
    entry.status = kErrorMoreData;
  }
  std::copy(destination.deviceUri.begin(), destination.deviceUri.end(), entry.data.begin());
  return entry;
}

void CupsPrinterStore::CloseDeviceList() { list_.clear(); }

bool CupsPrinterStore::WriteDefaultDevice(std::string_view value) {
  Destinations dests;
  cups_dest_t* chosen = nullptr;
  for (cups_dest_t& dest : dests) {
    if (FullName(dest) + "," + Description(dest) == value) {
      chosen = &dest;
      break;
    }
  }
  if (!chosen) {
    const std::string_view name = value.substr(0, value.find(','));
    for (cups_dest_t& dest : dests) {
      if (FullName(dest) == name) {
        chosen = &dest;
        break;
      }
    }
  }
  if (!chosen) return false;
  for (cups_dest_t& dest : dests) dest.is_default = &dest == chosen;
  // cupsSetDests2 writes the calling user's lpoptions only; it refuses when
  // the server does not answer.
  return cupsSetDests2(CUPS_HTTP_DEFAULT, dests.count(), dests.begin()) == 0;
}

}  // namespace qv::posix
