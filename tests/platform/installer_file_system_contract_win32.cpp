// The installer file-system contract against the Windows service, run under
// Wine in a directory of its own below C:\ of the prefix.
#include "platform/win32/win32_installer_file_system.h"
#include "tests/platform/installer_file_system_contract.h"

namespace qv::testing {
namespace {

namespace fs = std::filesystem;

constexpr const char* kRoot = "C:\\qv_fs_contract";

class Win32Target final : public DiskTarget {
 public:
  Win32Target() {
    Remove();
    EXPECT_TRUE(fs::create_directory(kRoot));
  }
  ~Win32Target() override {
    // A directory that is the working directory cannot be removed.
    fs::current_path("C:\\");
    Remove();
  }
  InstallerFileSystem& Files() override { return files_; }
  std::string Root() const override { return kRoot; }

 private:
  fs::path Native(const std::string& path) const override { return path; }
  static void Remove() {
    std::error_code ignored;
    fs::remove_all(kRoot, ignored);
  }

  win32::Win32InstallerFileSystem files_;
};

std::unique_ptr<InstallerFileSystemTarget> MakeWin32Target() { return std::make_unique<Win32Target>(); }

}  // namespace

INSTANTIATE_TEST_SUITE_P(Win32, InstallerFileSystemContract, ::testing::Values(&MakeWin32Target));

}  // namespace qv::testing
