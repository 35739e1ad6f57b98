// SetRequest: what the user asked for when pressing Set, read once from the
// setting dialog's controls. ApplySettings carries it out; nothing after the
// read looks at a control again.
#pragma once

#include <array>
#include <string>

namespace qv {

// The printer selection of the mode "1 PC to 2 Printers".
enum class Selection { kPrinterA, kPrinterB, kBroadcast };

struct SetRequest {
  // The mode "1 PC to 2 Printers"; false is "2 PCs to 1 Printer".
  bool onePc = true;
  Selection selection = Selection::kPrinterA;
  bool transferOn = false;
  // The LPT port (1-3) that the switch sits on.
  int lpt = 1;
  // Printers A and B: their aliases as typed and their device names.
  std::array<std::string, 2> aliases;
  std::array<std::string, 2> printers;
  // The printer of the mode "2 PCs to 1 Printer".
  std::string sharedPrinter;
  // The file-transfer program's command line, as typed.
  std::string transferPath;
};

// Broadcast sends the same data to both printers, which only works when they
// are the same model: printers named differently (byte for byte) are asked
// about first, in the mode where Broadcast is sent.
inline bool NeedsBroadcastWarning(const SetRequest& request) {
  return request.onePc && request.selection == Selection::kBroadcast &&
         request.printers[0] != request.printers[1];
}

}  // namespace qv
