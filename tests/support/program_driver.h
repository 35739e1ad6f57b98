// What a program scenario needs from a host, in the terms of what a user
// sees and what the machine holds afterwards. One scenario suite is written
// once over this interface; each host has a driver: the testing host in
// process, the Qt host in process with the real Linux services, and the
// real Windows programs under Wine.
#pragma once

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "framework/window_constants.h"

namespace qv::testing {

// A file's bytes as the disk holds them; std::nullopt when there is none.
inline std::optional<std::string> FileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!std::filesystem::is_regular_file(path) || !in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

enum class BoxIcon { None, Information, Warning, Question, Error };

// The icon that a message box of this style shows.
inline BoxIcon IconOfStyle(unsigned style) {
  switch (style & kMbIconMask) {
    case kMbIconInformation: return BoxIcon::Information;
    case kMbIconExclamation: return BoxIcon::Warning;
    case kMbIconQuestion: return BoxIcon::Question;
    case kMbIconStop: return BoxIcon::Error;
    default: return BoxIcon::None;
  }
}

// A message box as the program showed it: its buttons (as dialog ids,
// ascending) and, under setup, what the dialog's status line said beneath it.
struct BoxSeen {
  std::string caption;
  std::string text;
  BoxIcon icon = BoxIcon::None;
  std::vector<int> buttons;
  std::string status;
};

// The ways a user can ask a program to end.
enum class Leaving { QuitButton, EscapeKey, CloseBox };

// The answers of message boxes, as the dialog identifiers of their buttons.
inline constexpr int kAnswerOk = 1;
inline constexpr int kAnswerCancel = 2;
inline constexpr int kAnswerRetry = 4;

class ProgramDriver {
 public:
  virtual ~ProgramDriver() = default;

  // --- the machine before and after the program runs
  // The configuration file as a user's disk holds it (CR LF lines).
  virtual void WriteConfiguration(std::string_view text) = 0;
  virtual std::optional<std::string> Configuration() = 0;
  // A folder where the configuration file goes: no write can take.
  virtual void BlockConfiguration() = 0;
  // Printers that print nowhere, and the user's default among them.
  virtual void AddPrinters(const std::vector<std::string>& names, const std::string& defaultName) = 0;
  // The name of the user's default printer now.
  virtual std::string DefaultPrinter() = 0;
  // A command line that starts a program which records that it ran with
  // `argument`; TakeRecordedStart waits (bounded) for the next such start
  // and gives the argument it got, std::nullopt when none came.
  virtual std::string RecordingCommand(std::string_view argument) = 0;
  virtual std::optional<std::string> TakeRecordedStart() = 0;

  // --- the program
  // Starts the program, runs `scenario` once its main dialog shows, and ends
  // the program if the scenario left it running. The program's exit code
  // when the user ended it, std::nullopt otherwise.
  virtual std::optional<int> Run(const std::function<void()>& scenario) = 0;
  virtual std::string Text(int id) = 0;
  virtual bool IsChecked(int id) = 0;
  virtual bool IsEnabled(int id) = 0;
  // Replaces an edit field's text as typing would.
  virtual void Type(int id, std::string_view text) = 0;
  // Clicks the control and answers, in order, the message boxes that follow
  // with `answers`; what each box showed.
  virtual std::vector<BoxSeen> Press(int id, const std::vector<int>& answers = {}) = 0;
  // Runs `act` in the dialog and answers the message boxes that follow, as
  // Press does for a click.
  virtual std::vector<BoxSeen> Do(const std::function<void()>& act,
                                  const std::vector<int>& answers) = 0;
  // Asks to leave, answers the confirmation with `answer`; what it showed.
  std::optional<BoxSeen> Leave(Leaving how, int answer) {
    const auto boxes = Do([&] { AskToLeave(how); }, {answer});
    if (boxes.empty()) return std::nullopt;
    // The dialog ends once the program is back in its message loop.
    if (answer == kAnswerOk) left_ = true;
    return boxes.front();
  }
  // True while the main dialog is open.
  virtual bool Running() = 0;
  // A picture of the main dialog for people to look at, where the host can
  // take one (under the artifacts folder).
  virtual void SavePicture(const std::string& name) { (void)name; }

 protected:
  virtual void AskToLeave(Leaving how) = 0;
  bool left_ = false;  // the user confirmed leaving
};

// The driver of this test program's host (each scenario binary links one).
std::unique_ptr<ProgramDriver> MakeProgramDriver();

}  // namespace qv::testing
