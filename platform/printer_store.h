// The printer store: the current user's list of printer devices and the
// default printer entry. On Windows both live in the registry: the values of
// "...\Devices" map each printer name to its device description, and the
// value "device" under "...\Windows" names the default as name,description.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/fixed_text.h"

namespace qv {

// One enumerated entry of the device list, as the registry hands it out into
// buffers of 256 bytes each.
struct PrinterDeviceEntry {
  long status = 0;  // 0, or the platform's error code for this entry
  Text256 name;
  std::array<std::uint8_t, 256> data{};
};

inline constexpr long kErrorInsufficientBuffer = 122;

// One printer as the print-setup chooser shows it, in the columns of the
// Windows print-setup dialog.
struct PrinterDescription {
  std::string name;      // the device name, as the device list holds it
  std::string status;    // "Ready", "Printing", "Stopped"
  std::string type;      // the printer's model or driver
  std::string where;     // its location, or the port it prints to
  std::string comment;   // the description its owner gave it
  bool isDefault = false;
  friend bool operator==(const PrinterDescription&, const PrinterDescription&) = default;
};

class PrinterStore {
 public:
  virtual ~PrinterStore() = default;

  // Opens the device list; false when it cannot be opened.
  virtual bool OpenDeviceList() = 0;
  // The number of entries of the open list.
  virtual unsigned DeviceCount() = 0;
  // Entry `index` of the open list.
  virtual PrinterDeviceEntry Device(unsigned index) = 0;
  virtual void CloseDeviceList() = 0;

  // Writes the default entry; false when its place cannot be opened.
  virtual bool WriteDefaultDevice(std::string_view value) = 0;

  // Every printer of the device list with what the chooser shows of it.
  // A store that knows no more than the list gives the names alone.
  virtual std::vector<PrinterDescription> DescribePrinters() {
    std::vector<PrinterDescription> printers;
    if (!OpenDeviceList()) return printers;
    const unsigned count = DeviceCount();
    for (unsigned i = 0; i < count; ++i) {
      const PrinterDeviceEntry entry = Device(i);
      if (entry.status == 0) printers.push_back({std::string(entry.name.view()), "", "", "", "", false});
    }
    CloseDeviceList();
    return printers;
  }
};

}  // namespace qv
