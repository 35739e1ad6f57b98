// The profile-store contract: how kernel32's private-profile functions behave
// (Wine's are the reference), which the linux engine must match. Each target's
// file supplies the ProfileTarget that the suite runs against.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/profile_store.h"

namespace qv::testing {

// One target: its store, and where the files lie that bare names stand for.
class ProfileTarget {
 public:
  virtual ~ProfileTarget() = default;
  virtual ProfileStore& Store() = 0;
  virtual std::filesystem::path PathOf(const std::string& name) const = 0;
};

// Supplied by the target's own file: the suite runs against what it makes.
std::unique_ptr<ProfileTarget> MakeProfileTarget();

// Kernel32 caches a profile and notices a change only by the file's time
// stamp, so every file gets a name of its own and is written raw at most once.
class ProfileContract : public ::testing::Test {
 protected:
  struct Read {
    const char* section;
    const char* key;
    std::string expected;
  };
  static constexpr const char* kDefault = "<default>";

  void SetUp() override;
  void TearDown() override;

  ProfileStore& store() { return target_->Store(); }
  std::string NewName();
  std::filesystem::path PathOf(const std::string& name) const { return target_->PathOf(name); }
  // The file's bytes; nothing when there is no such file.
  std::optional<std::string> ReadRaw(const std::string& name) const;
  std::string FileWith(std::string_view bytes);
  std::string ReadOf(const std::string& file, std::string_view section, std::string_view key,
                     std::string_view defaultValue = kDefault);
  // Each read with kDefault as the default.
  void ExpectReads(const std::string& file, const std::vector<Read>& reads);

 private:
  std::unique_ptr<ProfileTarget> target_;
  std::vector<std::string> names_;
};

}  // namespace qv::testing
