#include "platform/posix/cups_printer_store.h"

#include <cups/cups.h>

#include <algorithm>
#include <cstdlib>

#include "platform/posix/switch_queue_name.h"

namespace qv::posix {
namespace {

constexpr long kErrorMoreData = 234;
constexpr long kErrorNoMoreItems = 259;

std::string Option(const cups_dest_t& dest, const char* name) {
  const char* value = cupsGetOption(name, dest.num_options, dest.options);
  return value ? value : "";
}

// The description as the device list hands it out: the device URI, at most
// what a 256-byte buffer holds with its terminating zero.
std::string Description(const cups_dest_t& dest) {
  std::string description = Option(dest, "device-uri");
  if (description.size() > 255) description.resize(255);
  return description;
}

std::string FullName(const cups_dest_t& dest) {
  std::string name = dest.name ? dest.name : "";
  if (dest.instance && *dest.instance) name += std::string("/") + dest.instance;
  return name;
}

std::string Status(const cups_dest_t& dest) {
  // IPP printer-state: 3 idle, 4 processing, 5 stopped.
  const std::string state = Option(dest, "printer-state");
  if (state == "3") return "Ready";
  if (state == "4") return "Printing";
  if (state == "5") return "Stopped";
  return "";
}

PrinterDescription Describe(const cups_dest_t& dest) {
  PrinterDescription printer;
  printer.name = FullName(dest);
  printer.status = Status(dest);
  printer.type = Option(dest, "printer-make-and-model");
  printer.where = Option(dest, "printer-location");
  printer.comment = Option(dest, "printer-info");
  printer.isDefault = dest.is_default != 0;
  // The switch's own queues say which printer of which port they are.
  if (const auto queue = SwitchQueueName(Option(dest, "device-uri"))) {
    if (printer.where.empty()) printer.where = *queue;
    if (printer.comment.empty() || printer.comment == printer.name) printer.comment = *queue;
  } else if (printer.where.empty()) {
    printer.where = Description(dest);
  }
  if (printer.comment == printer.name) printer.comment.clear();  // CUPS's own default text
  return printer;
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
  // No answer in time is no printers, as when no server runs.
  auto listed = RunBounded(
      [] {
        std::vector<Destination> list;
        Destinations dests;
        for (const cups_dest_t& dest : dests) list.push_back({FullName(dest), Description(dest)});
        return list;
      },
      limit_);
  if (listed) list_ = std::move(*listed);
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
  // The look-up and the write in one bounded call: a server that stops
  // answering in between leaves the default as it was, reported as failed.
  const auto written = RunBounded(
      [value = std::string(value)] {
        Destinations dests;
        cups_dest_t* chosen = nullptr;
        for (cups_dest_t& dest : dests) {
          if (FullName(dest) + "," + Description(dest) == value) {
            chosen = &dest;
            break;
          }
        }
        if (!chosen) {
          const std::string name = value.substr(0, value.find(','));
          for (cups_dest_t& dest : dests) {
            if (FullName(dest) == name) {
              chosen = &dest;
              break;
            }
          }
        }
        if (!chosen) return false;
        for (cups_dest_t& dest : dests) dest.is_default = &dest == chosen;
        // cupsSetDests2 writes the calling user's lpoptions only; it refuses
        // when the server does not answer.
        return cupsSetDests2(CUPS_HTTP_DEFAULT, dests.count(), dests.begin()) == 0;
      },
      limit_);
  return written.value_or(false);
}

std::vector<PrinterDescription> CupsPrinterStore::DescribePrinters() {
  auto described = RunBounded(
      [] {
        std::vector<PrinterDescription> printers;
        Destinations dests;
        for (const cups_dest_t& dest : dests) printers.push_back(Describe(dest));
        return printers;
      },
      limit_);
  return described.value_or(std::vector<PrinterDescription>{});
}

}  // namespace qv::posix
