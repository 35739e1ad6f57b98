// The installer file-system contract against the Windows service, run under
// Wine in a directory of its own below C:\ of the prefix.
#include <windows.h>

#include <filesystem>

#include "platform/win32/win32_installer_file_system.h"
#include "tests/platform/installer_file_system_contract.h"

namespace qv::testing {
namespace {

constexpr const char* kRoot = "C:\\qv_fs_contract";

class Win32Target final : public InstallerFileSystemTarget {
 public:
  Win32Target() {
    Remove();
    EXPECT_TRUE(CreateDirectoryA(kRoot, nullptr));
  }
  ~Win32Target() override {
    // A directory that is the working directory cannot be removed.
    SetCurrentDirectoryA("C:\\");
    Remove();
  }
  InstallerFileSystem& Files() override { return files_; }
  std::string Root() const override { return kRoot; }
  void AddDirectory(const std::string& path) override {
    EXPECT_TRUE(CreateDirectoryA(path.c_str(), nullptr)) << path << " error " << GetLastError();
  }
  void WriteRaw(const std::string& path, std::string_view bytes) override {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
    EXPECT_EQ(written, bytes.size());
    CloseHandle(file);
  }
  std::optional<std::string> ReadRaw(const std::string& path) override {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string bytes;
    char chunk[4096];
    DWORD got = 0;
    while (::ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
    CloseHandle(file);
    return bytes;
  }
  std::vector<std::string> Listing(const std::string& directory) override {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA((directory + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
      const std::string name = found.cFileName;
      if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
  }

 private:
  static void Remove() {
    std::error_code ignored;
    std::filesystem::remove_all(kRoot, ignored);
  }

  win32::Win32InstallerFileSystem files_;
};

std::unique_ptr<InstallerFileSystemTarget> MakeWin32Target() { return std::make_unique<Win32Target>(); }

}  // namespace

INSTANTIATE_TEST_SUITE_P(Win32, InstallerFileSystemContract, ::testing::Values(&MakeWin32Target));

}  // namespace qv::testing
