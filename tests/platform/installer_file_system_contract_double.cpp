// The installer file-system contract against the in-memory double that the
// installer's own suites use: it must do what the Windows service does.
#include "tests/platform/installer_file_system_contract.h"
#include "tests/support/installer_doubles.h"

namespace qv::testing {
namespace {

class DoubleTarget final : public InstallerFileSystemTarget {
 public:
  DoubleTarget() {
    files_.AddDirectory("C:\\");
    files_.AddDirectory(Root());
  }
  InstallerFileSystem& Files() override { return files_; }
  std::string Root() const override { return "C:\\QV_FS_CONTRACT"; }
  void AddDirectory(const std::string& path) override { files_.AddDirectory(path); }
  void WriteRaw(const std::string& path, std::string_view bytes) override {
    files_.AddFile(path, std::string(bytes));
  }
  std::optional<std::string> ReadRaw(const std::string& path) override { return files_.File(path); }
  std::vector<std::string> Listing(const std::string& directory) override { return files_.Listing(directory); }

 private:
  FakeInstallerFileSystem files_;
};

std::unique_ptr<InstallerFileSystemTarget> MakeDoubleTarget() { return std::make_unique<DoubleTarget>(); }

}  // namespace

INSTANTIATE_TEST_SUITE_P(Double, InstallerFileSystemContract, ::testing::Values(&MakeDoubleTarget));

}  // namespace qv::testing
