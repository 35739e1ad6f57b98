// The installer file-system contract: how the Windows service copies,
// expands and refuses files (the win32 service under Wine is the reference),
// which every other implementation and the test double must match. Each
// implementation's file supplies a factory and one INSTANTIATE line.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/installer_file_system.h"

namespace qv::testing {

// One implementation, with an empty directory of the suite's own and raw
// access to the files below it that does not go through the service.
class InstallerFileSystemTarget {
 public:
  virtual ~InstallerFileSystemTarget() = default;
  virtual InstallerFileSystem& Files() = 0;
  // The directory, spelled as the service takes paths, without a trailing
  // separator.
  virtual std::string Root() const = 0;
  virtual char Separator() const { return '\\'; }
  // Whether names that differ only in case name one file.
  virtual bool NamesIgnoreCase() const { return true; }
  // Creates one directory whose parent exists.
  virtual void AddDirectory(const std::string& path) = 0;
  virtual void WriteRaw(const std::string& path, std::string_view bytes) = 0;
  // The file's bytes; nothing when there is no such file.
  virtual std::optional<std::string> ReadRaw(const std::string& path) = 0;
  // The names of the files and directories in a directory, in any order.
  virtual std::vector<std::string> Listing(const std::string& directory) = 0;
  // Whether a copy that fails leaves what the destination held (Windows
  // empties it first).
  virtual bool KeepsTheOldDestination() const { return false; }
};

// A target whose files lie on this machine's disk.
class DiskTarget : public InstallerFileSystemTarget {
 public:
  void AddDirectory(const std::string& path) override;
  void WriteRaw(const std::string& path, std::string_view bytes) override;
  std::optional<std::string> ReadRaw(const std::string& path) override;
  std::vector<std::string> Listing(const std::string& directory) override;

 protected:
  // Where a path, as the service takes it, lies.
  virtual std::filesystem::path Native(const std::string& path) const = 0;
};

using InstallerFileSystemFactory = std::unique_ptr<InstallerFileSystemTarget> (*)();

class InstallerFileSystemContract : public ::testing::TestWithParam<InstallerFileSystemFactory> {
 protected:
  void SetUp() override { target_ = GetParam()(); }

  InstallerFileSystem& files() { return target_->Files(); }
  InstallerFileSystemTarget& target() { return *target_; }
  // A path below the root: the parts joined with the separator.
  std::string At(std::initializer_list<std::string_view> parts) const;
  // A directory below the root, made raw.
  std::string Directory(const std::string& name);
  // A file path of exactly `length` characters below the root, in
  // directories (made raw) whose names begin with `tag`.
  std::string PathOfLength(std::size_t length, const std::string& tag);
  // The names in a directory, in upper case and sorted.
  std::vector<std::string> UpperListing(const std::string& directory);

 private:
  std::unique_ptr<InstallerFileSystemTarget> target_;
};

}  // namespace qv::testing
