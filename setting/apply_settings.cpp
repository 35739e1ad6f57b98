#include "setting/apply_settings.h"

#include <optional>
#include <string>
#include <vector>

#include "setting/default_printer.h"
#include "setting/switch_command.h"

namespace qv {
namespace {

// The word stored for the selection and the command it sends.
struct SelectionRow {
  std::string ConfigVocabulary::*word;
  const SwitchCommand* command;
};

SelectionRow RowOf(Selection selection) {
  switch (selection) {
    case Selection::kPrinterB: return {&ConfigVocabulary::selectB, &switch_commands::kSelectB};
    case Selection::kBroadcast: return {&ConfigVocabulary::broadcast, &switch_commands::kBroadcast};
    case Selection::kPrinterA: break;
  }
  return {&ConfigVocabulary::selectA, &switch_commands::kSelectA};
}

// Both the selection and the transfer word are stored in either mode; each
// mode keeps its own entries, and those of the other mode stay as stored.
// One batch, so another instance's Set never mixes with this one.
bool SaveSettings(ProfileStore& profile, const ConfigVocabulary& v, const SetRequest& request) {
  const std::string printerKeys[] = {v.PrinterKey(1), v.PrinterKey(2)};
  std::vector<ProfileEntry> entries = {
      {v.configSection, v.modeKey, request.onePc ? v.modeOnePc : v.modeTwoPcs},
      // Each mode word is also the key of that mode's own setting.
      {v.configSection, v.modeOnePc, v.*RowOf(request.selection).word},
      {v.configSection, v.modeTwoPcs, request.transferOn ? v.ftpOn : v.ftpOff},
  };
  if (request.onePc) {
    for (std::size_t i = 0; i < request.printers.size(); ++i) {
      entries.push_back({v.aliasSection, printerKeys[i], request.aliases[i]});
      entries.push_back({v.nameSection, printerKeys[i], request.printers[i]});
    }
  } else {
    entries.push_back({v.configSection, v.ftpPathKey, request.transferPath});
    entries.push_back({v.nameSection, printerKeys[0], request.sharedPrinter});
  }
  return profile.WriteStrings(entries, v.fileName);
}

// The one place Set talks to the switch. A port without a driver says
// nothing, as it always has; a port that is there but could not be told
// is reported, since the user would otherwise trust the switch's lights.
SetOutcome SendToSwitch(const SettingServices& services, int lpt, const SwitchCommand& command) {
  const std::optional<PortFailure> failure = WriteCommandToPort(
      services.switchPort, services.clock, static_cast<std::uint32_t>(lpt), command.head, command.tail);
  if (!failure) return SetOutcome::kDone;
  switch (*failure) {
    case PortFailure::kAbsent: return SetOutcome::kDone;
    case PortFailure::kNotPermitted: return SetOutcome::kPortNotPermitted;
    // A write that fails half way is another driver taking the port.
    case PortFailure::kBusy:
    case PortFailure::kWriteFailed: return SetOutcome::kPortBusy;
  }
  return SetOutcome::kPortBusy;
}

}  // namespace

SetOutcome ApplySettings(const SettingServices& services, const ConfigVocabulary& vocabulary,
                         const SetRequest& request) {
  // A save that fails does not stop the rest: a user who may not write the
  // file (a standard user on Windows) can still switch printers.
  const bool saved = SaveSettings(services.profile, vocabulary, request);
  const std::string& printer = !request.onePc ? request.sharedPrinter
                               : request.selection == Selection::kPrinterB ? request.printers[1]
                                                                          : request.printers[0];
  MakeDefaultPrinter(services.printers, printer);
  const SwitchCommand& command = request.onePc       ? *RowOf(request.selection).command
                                 : request.transferOn ? switch_commands::kTransferOn
                                                      : switch_commands::kTransferOff;
  const SetOutcome outcome = SendToSwitch(services, request.lpt, command);
  // The program is started whatever the switch heard or the file took: the
  // user asked for it.
  if (!request.onePc && request.transferOn) services.launcher.Start(request.transferPath);
  if (!saved) return outcome == SetOutcome::kDone ? SetOutcome::kNotSaved : SetOutcome::kNotSavedNotTold;
  return outcome;
}

}  // namespace qv
