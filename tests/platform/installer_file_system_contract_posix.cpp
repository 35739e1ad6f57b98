// The installer file-system contract against the linux service, over a
// throwaway home that stands for drive C:. Paths are given as a Windows
// user types them, once with "\" and once with "/" between the names.
#include "platform/posix/posix_installer_file_system.h"
#include "tests/platform/installer_file_system_contract.h"
#include "tests/support/temp_dir.h"

namespace qv::testing {
namespace {

namespace fs = std::filesystem;

class PosixTarget final : public DiskTarget {
 public:
  explicit PosixTarget(char separator) : separator_(separator) { fs::create_directory(home_ / "contract"); }
  ~PosixTarget() override { fs::current_path(before_); }

  InstallerFileSystem& Files() override { return files_; }
  std::string Root() const override { return std::string("C:") + separator_ + "contract"; }
  char Separator() const override { return separator_; }
  bool NamesIgnoreCase() const override { return false; }
  bool KeepsTheOldDestination() const override { return true; }

 private:
  fs::path Native(const std::string& path) const override { return *files_.Paths().ToNative(path); }

  char separator_;
  fs::path before_ = fs::current_path();
  TempDir home_;
  posix::PosixInstallerFileSystem files_{home_.path(), home_ / "windows", home_ / "system"};
};

std::unique_ptr<InstallerFileSystemTarget> MakeBackslashTarget() { return std::make_unique<PosixTarget>('\\'); }
std::unique_ptr<InstallerFileSystemTarget> MakeSlashTarget() { return std::make_unique<PosixTarget>('/'); }

}  // namespace

INSTANTIATE_TEST_SUITE_P(Linux, InstallerFileSystemContract, ::testing::Values(&MakeBackslashTarget, &MakeSlashTarget));

}  // namespace qv::testing
