// The profile contract against the linux engine, over a temporary directory
// that holds the bare-named files.
#include "platform/posix/ini_profile_store.h"
#include "tests/platform/profile_contract.h"
#include "tests/support/temp_dir.h"

namespace qv::testing {

namespace {

class PosixTarget final : public ProfileTarget {
 public:
  ProfileStore& Store() override { return store_; }
  std::filesystem::path PathOf(const std::string& name) const override { return dir_ / name; }

 private:
  TempDir dir_;
  posix::IniProfileStore store_{dir_.path()};
};

}  // namespace

std::unique_ptr<ProfileTarget> MakeProfileTarget() { return std::make_unique<PosixTarget>(); }

}  // namespace qv::testing
