// Crafted distribution media, as someone handing a user a medium would make
// them, with what the user must see and what must land where. One table for
// every runner: the native setup as an unprivileged user, and the installer
// scenarios on every host for the cases that hold on every target.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace qv::hostile {

// What a file on the medium is. Links, FIFOs and modes exist on Linux only.
enum class Kind { Regular, Fifo, LinkInMedium, LinkToHome, LinkToDevice };

struct MediumFile {
  std::string name;
  std::string bytes;          // Regular: the contents; links: the target's name
  Kind kind = Kind::Regular;
  unsigned mode = 0644;       // of a regular file
};

// In messages and paths: "%M" the medium's folder, "%T" the install
// directory, "%H" the home; the runner puts in its own.
struct HostileCase {
  const char* name;
  bool everyTarget;                      // also through setup.exe under Wine
  std::vector<MediumFile> files;         // the information file included
  std::vector<std::string> messages;     // every message box, in order
  std::vector<std::string> installed;    // the files in %T afterwards
  std::string typedPath;                 // typed into the path field, when not empty
  std::string installedDir;              // InstalledDir afterwards, when not empty
  bool deepMedium = false;               // the medium's path longer than 255 characters
};

const std::vector<HostileCase>& HostileMedia();
// A case by its name, in messages and (as an identifier) in test names.
void PrintTo(const HostileCase& c, std::ostream* os);
std::string TestName(const HostileCase& c);

// A numbered list of the information file: "files=2", "file1=...", "file2=...".
std::string Numbered(const std::string& key, const std::vector<std::string>& values);
// An information file that installs `fileLines` (from and to directory 1,
// ".") with `extra` lines appended to its end.
std::string Inf(const std::vector<std::string>& fileLines, const std::string& extra = "",
                const std::string& configuration = "DefInstallDir=C:\\QV27-518\r\nInitialFile=QV27-518.ini\r\n");

}  // namespace qv::hostile
