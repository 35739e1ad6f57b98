// In-memory doubles of the installer's platform services: a file system of
// drives, directories and files that behaves as the Windows one does (paths
// compared without regard to case, compressed files expanded, the same file
// recognised under any spelling), records what the program did and can be
// told to fail, a firmware port table, and a window-class registration.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/firmware_port_table.h"
#include "platform/installer_file_system.h"
#include "installer/progress_control_class.h"
#include "platform/shell_program_group.h"
#include "tests/support/service_doubles.h"

namespace qv::testing {

class FakeInstallerFileSystem final : public InstallerFileSystem {
 public:
  explicit FakeInstallerFileSystem(EventLog* log = nullptr) : log_(log) {}

  // The machine.
  std::string modulePath = "A:\\SETUP.EXE";
  std::string windowsDirectory = "C:\\WINDOWS";
  std::string systemDirectory = "C:\\WINDOWS\\SYSTEM";
  void AddDirectory(std::string_view path) { directories_.insert(Key(path)); }
  void RemoveDirectory(std::string_view path) { directories_.erase(Key(path)); }
  void AddFile(std::string_view path, std::string bytes) { files_[Key(path)] = std::move(bytes); }
  bool HasDirectory(std::string_view path) const { return directories_.count(Key(path)) != 0; }
  std::optional<std::string> File(std::string_view path) const;
  // The names in a directory, files and directories alike, in upper case.
  std::vector<std::string> Listing(std::string_view directory) const;
  // A directory that cannot be made for a while, by full path in upper case:
  // how many more creations fail.
  std::map<std::string, int> creationFailures;

  // What the program did: "enter P", "enter P (missing)", "create P",
  // "copy S -> D", in order.
  std::vector<std::string> calls;
  std::vector<unsigned> errorModes;          // every mode set, in order
  std::vector<unsigned> errorModeAtCopy;     // the mode in force at each copy
  int copyAttempts = 0;  // past 1000 a program that retries without end fails the test

  std::string ModulePath() override { return modulePath; }
  bool FileExists(std::string_view path) override;
  std::optional<std::uint64_t> FileSize(std::string_view path) override;
  bool DirectoryExists(std::string_view path) override { return HasDirectory(path); }
  bool EnterDirectory(std::string_view path) override;
  bool MakeDirectory(std::string_view path) override;
  Text256 WindowsDirectory() override { return Text256(windowsDirectory); }
  Text256 SystemDirectory() override { return Text256(systemDirectory); }
  void SetCriticalErrorMode(unsigned mode) override;
  LzCopyResult CopyExpanded(std::string_view source, std::string_view destination) override;

 private:
  // The path made absolute against the working directory, in upper case,
  // with "." and ".." resolved and without trailing backslashes except at a
  // drive's root.
  std::string Key(std::string_view path) const;
  static std::string Parent(const std::string& key);
  // The key of the file a source path opens: its own name, else the
  // compressed form of the name; none when neither is a file.
  std::optional<std::string> SourceKey(std::string_view path) const;
  void Log(const std::string& entry);

  EventLog* log_;
  std::string workingDirectory_ = "C:\\";
  std::set<std::string> directories_;
  std::map<std::string, std::string> files_;
  unsigned errorMode_ = 0;
};

class FakePortTable final : public FirmwarePortTable {
 public:
  std::optional<std::array<std::uint16_t, 3>> table = std::array<std::uint16_t, 3>{};
  int knownPorts = 0;
  int reads = 0;

  std::optional<std::array<std::uint16_t, 3>> ReadBaseAddresses() override {
    ++reads;
    return table;
  }
  int CountKnownPorts() override { return knownPorts; }
};

// The shell's program groups: records each group and item; can refuse to
// start (no library), answer nothing (no shell) or refuse a group name it
// cannot carry, as the Windows shell's command syntax does.
class RecordingShell final : public ShellProgramGroup {
 public:
  struct Item {
    std::string caption, installPath, fileName;
    GroupItemKind kind = GroupItemKind::Program;
    friend bool operator==(const Item&, const Item&) = default;
  };

  explicit RecordingShell(EventLog* log = nullptr) : log_(log) {}
  bool starts = true;
  bool answers = true;
  std::set<std::string> refusedGroups;
  int begins = 0;
  int ends = 0;
  std::vector<std::string> groups;
  std::vector<Item> items;

  bool Begin() override {
    ++begins;
    if (log_) log_->push_back(starts ? "shell begin" : "shell refused");
    return starts;
  }
  GroupResult CreateGroup(std::string_view name) override {
    if (refusedGroups.count(std::string(name))) return GroupResult::Refused;
    groups.emplace_back(name);
    if (log_) log_->push_back("shell group " + std::string(name));
    return answers ? GroupResult::Done : GroupResult::Failed;
  }
  GroupResult AddItem(const ProgramGroupItem& item) override {
    items.push_back({std::string(item.caption), std::string(item.installPath), std::string(item.fileName), item.kind});
    if (log_) log_->push_back("shell item " + std::string(item.caption));
    return answers ? GroupResult::Done : GroupResult::Failed;
  }
  void End() override {
    ++ends;
    if (log_) log_->push_back("shell end");
  }

 private:
  EventLog* log_;
};

class RecordingProgressClass final : public ProgressControlClass {
 public:
  explicit RecordingProgressClass(EventLog* log = nullptr) : log_(log) {}
  bool accepts = true;
  int registrations = 0;
  const ProgressCounters* counters = nullptr;

  bool Register(const ProgressCounters& c) override {
    ++registrations;
    counters = &c;
    if (log_) log_->push_back("register Percent");
    return accepts;
  }

 private:
  EventLog* log_;
};

}  // namespace qv::testing
