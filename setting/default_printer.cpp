#include "setting/default_printer.h"

#include <algorithm>

namespace qv {

std::string ComposeDefaultEntry(std::string_view name, const PrinterDeviceEntry& entry) {
  const auto end = std::find(entry.data.begin(), entry.data.end(), std::uint8_t{0});
  std::string value(name);
  value += ',';
  value.append(entry.data.begin(), end);
  return value;
}

std::optional<std::string> FindDefaultEntry(PrinterStore& store, std::string_view name) {
  if (!store.OpenDeviceList()) return std::nullopt;
  std::optional<std::string> found;
  const unsigned count = store.DeviceCount();
  for (unsigned index = 0; index < count; ++index) {
    const PrinterDeviceEntry entry = store.Device(index);
    // An entry that could not be read is passed over as if its name differed.
    if (entry.status != 0 && entry.status != kErrorInsufficientBuffer) continue;
    if (entry.name.view() != name) continue;
    found = ComposeDefaultEntry(name, entry);
    break;
  }
  store.CloseDeviceList();
  return found;
}

void MakeDefaultPrinter(PrinterStore& store, std::string_view name) {
  if (const auto value = FindDefaultEntry(store, name)) store.WriteDefaultDevice(*value);
}

}  // namespace qv
