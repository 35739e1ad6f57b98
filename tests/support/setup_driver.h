// What an installer scenario needs from a host, in the terms of the user in
// front of setup and of the disk afterwards. The scenarios
// (tests/installer/setup_scenarios.cpp) are written once over it; each host
// has a driver: the testing host with the service doubles, the Qt host in
// process with the real Linux services, and the real setup.exe under Wine.
// Paths are given as a user types them into the path field, in Windows form
// ("C:\QVTEST\X"); each driver knows where such a path lies on its disk.
#pragma once

#include <cctype>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/program_driver.h"

namespace qv::testing {

using SetupBox = BoxSeen;

// The user's answer to one message box: `first` runs while the box shows
// (a file put back on the medium), then the button is pressed.
struct BoxAnswer {
  BoxAnswer(int button) : button(button) {}  // NOLINT: an answer is mostly just its button
  BoxAnswer(std::function<void()> first, int button) : button(button), first(std::move(first)) {}
  int button;
  std::function<void()> first;
};

class SetupDriver {
 public:
  virtual ~SetupDriver() = default;

  // --- the medium: setup and the files the information file names
  virtual void PutOnMedium(const std::string& name, const std::string& bytes) = 0;
  // The medium lies one folder deeper, in `folder` (before Run).
  virtual void NestMedium(const std::string& folder) = 0;
  // How setup names a file of the medium in its messages.
  virtual std::string OnMedium(const std::string& name) = 0;
  // The path a user types to name the medium's own folder.
  virtual std::string MediumFolder() = 0;

  // --- the disk, by typed paths
  // How setup shows a typed path: in the field, its messages and the
  // configuration file. On Windows the field takes letters in upper case.
  virtual std::string Shown(const std::string& typed) {
    std::string shown = typed;
    for (char& c : shown) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return shown;
  }
  virtual bool Exists(const std::string& typed) = 0;
  virtual std::optional<std::string> ReadFile(const std::string& typed) = 0;
  virtual void MakeFolder(const std::string& typed) = 0;
  virtual void RemoveFolder(const std::string& typed) = 0;
  // The configuration file of this name as setup left it.
  virtual std::optional<std::string> Configuration(const std::string& name) = 0;
  // A folder where the configuration file of this name goes: no write can take.
  virtual void BlockConfiguration(const std::string& name) = 0;
  // What lies where a medium could reach outside its own folder (the
  // drive's root, the folders beside the medium, the home), by path, with
  // each file's bytes: what a refused medium must leave as it was.
  virtual std::map<std::string, std::string> Outside() = 0;
  // How many parallel ports this machine's firmware lists, as setup counts them.
  virtual int PortCount() = 0;
  // Whether the program group shows the item; std::nullopt where the host
  // keeps no menu that a test can read.
  virtual std::optional<bool> GroupHas(const std::string& group, const std::string& caption) = 0;

  // --- the program
  struct Outcome {
    std::optional<int> exitCode;   // when the program ended by itself
    std::vector<SetupBox> atStart;  // the boxes before the dialog was ready
    bool ready = false;             // the dialog said it was ready for Setup
  };
  // Starts setup from the medium, answers the boxes it shows before it is
  // ready with `atStart`, then runs `whenReady`; a program still running
  // afterwards is ended.
  virtual Outcome Run(const std::function<void()>& whenReady, std::vector<BoxAnswer> atStart = {}) = 0;
  virtual std::string Text(int id) = 0;
  virtual void Type(int id, std::string_view text) = 0;
  // Clicks the button and answers the boxes that follow, in order; what
  // each showed. A box that does not come ends the list.
  virtual std::vector<SetupBox> Press(int id, std::vector<BoxAnswer> answers = {}) = 0;
  // True while the main dialog is open.
  virtual bool Running() = 0;
};

// The driver of this test program's host (each scenario binary links one).
std::unique_ptr<SetupDriver> MakeSetupDriver();

}  // namespace qv::testing
