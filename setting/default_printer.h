// Making a printer the user's default: find its entry in the device list by
// its exact name (the first match wins) and write name,description as the
// default entry. A printer that is not listed changes nothing.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/printer_store.h"

namespace qv {

// The default entry for a printer: name + "," + the description, which ends
// at its first zero byte and never runs past its 256 bytes.
std::string ComposeDefaultEntry(std::string_view name, const PrinterDeviceEntry& entry);

// The description of the first entry named exactly `name`, as the default
// entry; std::nullopt when the list cannot be opened or has no such printer.
std::optional<std::string> FindDefaultEntry(PrinterStore& store, std::string_view name);

void MakeDefaultPrinter(PrinterStore& store, std::string_view name);

}  // namespace qv
