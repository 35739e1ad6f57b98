// What a print queue of the switch's own backend is called in the printer
// chooser: its device URI, qv27-518:/dev/parportN?printer=A|B|Broadcast,
// as "Printer A on QV27-518 switch (LPT1)", the words that the backend's
// discovery offers printer setup tools. The URI comes from the print
// server and is read as untrusted text.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qv::posix {

// None for a URI of any other scheme.
std::optional<std::string> SwitchQueueName(std::string_view deviceUri);

}  // namespace qv::posix
