// The installer file-system contract against the linux service, over a
// throwaway home that stands for drive C:. Paths are given as a Windows
// user types them, once with "\" and once with "/" between the names.
#include <sys/stat.h>

#include <filesystem>

#include "platform/posix/posix_installer_file_system.h"
#include "tests/platform/installer_file_system_contract.h"
#include "tests/support/temp_dir.h"

namespace qv::testing {
namespace {

namespace fs = std::filesystem;

class PosixTarget final : public InstallerFileSystemTarget {
 public:
  explicit PosixTarget(char separator) : separator_(separator) { fs::create_directory(home_ / "contract"); }
  ~PosixTarget() override { fs::current_path(before_); }

  InstallerFileSystem& Files() override { return files_; }
  std::string Root() const override { return std::string("C:") + separator_ + "contract"; }
  char Separator() const override { return separator_; }
  bool NamesIgnoreCase() const override { return false; }
  void AddDirectory(const std::string& path) override {
    EXPECT_EQ(::mkdir(Native(path).c_str(), 0777), 0) << path;
  }
  void WriteRaw(const std::string& path, std::string_view bytes) override { WriteFileBytes(Native(path), bytes); }
  std::optional<std::string> ReadRaw(const std::string& path) override {
    if (!fs::is_regular_file(Native(path))) return std::nullopt;
    return ReadFileBytes(Native(path));
  }
  std::vector<std::string> Listing(const std::string& directory) override {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(Native(directory))) names.push_back(entry.path().filename());
    return names;
  }

 private:
  fs::path Native(const std::string& path) const { return *files_.Paths().ToNative(path); }

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
