// The profile contract against the linux engine, over a temporary directory
// that holds the bare-named files.
#include <unistd.h>

#include "platform/posix/ini_profile_store.h"
#include "tests/platform/profile_contract.h"
#include "tests/support/temp_dir.h"

namespace qv::testing {

namespace {

class PosixTarget final : public ProfileTarget {
 public:
  ProfileStore& Store() override { return store_; }
  void WriteRaw(const std::string& name, std::string_view bytes) override {
    WriteFileBytes(dir_ / name, bytes);
  }
  std::optional<std::string> ReadRaw(const std::string& name) override {
    if (!std::filesystem::exists(dir_ / name)) return std::nullopt;
    return ReadFileBytes(dir_ / name);
  }
  void Remove(const std::string& name) override { ::unlink((dir_ / name).c_str()); }
  std::string NameInMissingDirectory(const std::string& name) override {
    return (dir_ / "absent" / name).string();
  }

 private:
  TempDir dir_;
  posix::IniProfileStore store_{dir_.path()};
};

}  // namespace

std::unique_ptr<ProfileTarget> MakeProfileTarget() { return std::make_unique<PosixTarget>(); }

}  // namespace qv::testing
