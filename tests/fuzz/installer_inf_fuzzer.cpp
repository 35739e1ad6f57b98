// The information file read into its value, then held to the medium's rule:
// whatever the file says, nothing crashes or overruns, no list holds more
// than its capacity, and a medium that the rule accepts resolves every
// destination and every program-group item inside the install path (which
// itself never steps to a parent), each shell command being one command.
// Fields: the information file's text, then the install path typed.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "installer/info_file.h"
#include "installer/installation.h"
#include "installer/medium_rule.h"
#include "platform/posix/ini_profile_store.h"
#include "platform/win32/shell_commands.h"
#include "tests/fuzz/fuzz_fields.h"
#include "tests/fuzz/shell_command_syntax.h"
#include "tests/support/installer_doubles.h"

namespace {

namespace fs = std::filesystem;
using namespace qv::fuzz;

constexpr const char* kInfName = "QV27-518.INF";

bool Inside(const std::string& path, const std::string& base) {
  const bool joined = !base.empty() && (base.back() == '\\' || (path.size() > base.size() && path[base.size()] == '\\'));
  return path.size() > base.size() && path.compare(0, base.size(), base) == 0 && joined &&
         !qv::HasParentStep(path.substr(base.size()));
}

void RequireOneCommand(const std::optional<std::string>& command) {
  if (!command) return;
  const auto read = ReadShellCommands(*command);
  Require(read && read->size() == 1, "each shell command is one command");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto fields = SplitFields(data, size);
  const fs::path& dir = RunDirectory("qv-inf-fuzz");
  WriteFileBytes(dir / kInfName, fields[0]);
  qv::posix::IniProfileStore profile(dir);
  const qv::InfoFile info = qv::ReadInfoFile(profile, kInfName);
  Require(info.diskLabels.size() <= qv::kMaxDisks && info.dirNames.size() <= qv::kMaxDirs &&
              info.files.size() <= qv::kMaxFiles && info.groupItems.size() <= qv::kMaxGroupItems,
          "no list holds more than its capacity");
  Require(info.fileLines.size() == info.files.size() && info.groupLines.size() == info.groupItems.size(),
          "every record keeps its line");

  qv::testing::FakeInstallerFileSystem files;
  files.AddDirectory("C:\\");
  const std::string typed(fields.size() > 1 ? fields[1] : std::string_view("C:\\QV27-518"));
  const auto installPath = qv::PrepareInstallDir(files, typed);
  if (installPath) Require(!qv::HasParentStep(*installPath), "the install path never steps to a parent");
  if (qv::FindUnsafeLine(info) || !installPath) return 0;

  for (const qv::FileEntry& entry : info.files) {
    const qv::ResolvedPath to = qv::ResolvePath(files, info, *installPath, entry.destName.view(), entry.destDirIndex, 255);
    if (!to.usable) continue;
    Require(to.text.size() <= 255, "a destination fits its buffer");
    // "windows" and "system" name those directories; every other entry is
    // the install path's.
    const bool elsewhere = Inside(to.text, files.windowsDirectory) || Inside(to.text, files.systemDirectory);
    Require(elsewhere || Inside(to.text, *installPath), "a destination lies inside the install path");
  }
  RequireOneCommand(qv::win32::CreateGroupCommand(info.groupName));
  for (const qv::ProgramGroupItem& item : qv::ProgramGroupItems(info, *installPath)) {
    const std::string file = *installPath + "\\" + std::string(item.fileName);
    Require(Inside(file, *installPath), "a program-group item's file lies inside the installation");
    RequireOneCommand(qv::win32::AddItemCommand(item, files.windowsDirectory));
  }
  return 0;
}
