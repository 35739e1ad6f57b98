// The linux installer file system beyond the shared contract: Windows paths
// over the home, a read-only destination, execute permission for programs,
// and the profile names of the installer.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "platform/posix/ini_profile_store.h"
#include "platform/posix/posix_installer_file_system.h"
#include "platform/posix/windows_path_profile_store.h"
#include "tests/support/szdd.h"
#include "tests/support/temp_dir.h"

namespace qv::testing {
namespace {

namespace fs = std::filesystem;

class PosixInstallerFileSystemTest : public ::testing::Test {
 protected:
  fs::path Native(std::string_view under) const { return home_ / under; }
  void Put(std::string_view under, std::string_view bytes) {
    fs::create_directories(Native(under).parent_path());
    WriteFileBytes(Native(under), bytes);
  }

  TempDir home_;
  posix::PosixInstallerFileSystem files_{home_.path(), home_ / "config", home_ / "lib"};
};

TEST_F(PosixInstallerFileSystemTest, ReadOnlyDestinationCannotBeOpenedEvenForRoot) {
  Put("medium/A.TXT", "new");
  Put("dest/A.TXT", "old");
  ::chmod(Native("dest/A.TXT").c_str(), 0444);
  EXPECT_EQ(files_.CopyExpanded("C:\\medium\\A.TXT", "C:\\dest\\A.TXT"), LzCopyResult::DestinationOpenFailed);
  EXPECT_EQ(ReadFileBytes(Native("dest/A.TXT")), "old");
}

TEST_F(PosixInstallerFileSystemTest, ProgramsKeepTheirExecutePermission) {
  Put("medium/PROG", CompressSzdd(std::string("\x7f" "ELF", 4) + std::string(100, '\0')));
  Put("medium/DOC", CompressSzdd("just text, no program"));
  ASSERT_EQ(files_.CopyExpanded("C:\\medium\\PROG", "C:\\PROG"), LzCopyResult::Copied);
  ASSERT_EQ(files_.CopyExpanded("C:\\medium\\DOC", "C:\\DOC"), LzCopyResult::Copied);
  EXPECT_EQ(::access(Native("PROG").c_str(), X_OK), 0);
  struct stat doc {};
  ::stat(Native("DOC").c_str(), &doc);
  EXPECT_EQ(doc.st_mode & 0111, 0u);
}

// Paths as a user types them: either separator, either case of the drive
// letter, a trailing backslash.
TEST_F(PosixInstallerFileSystemTest, DriveCIsTheHomeAndNoOtherDriveExists) {
  const fs::path before = fs::current_path();
  EXPECT_TRUE(files_.EnterDirectory("C:"));
  EXPECT_EQ(fs::current_path(), fs::canonical(home_.path()));
  EXPECT_FALSE(files_.EnterDirectory("D:"));
  EXPECT_TRUE(files_.MakeDirectory("C:\\QV\\"));
  EXPECT_TRUE(files_.EnterDirectory("c:/QV"));
  EXPECT_EQ(fs::current_path(), fs::canonical(Native("QV")));
  fs::current_path(before);
  Put("QV/F", "x");
  EXPECT_FALSE(files_.FileExists("Q:\\QV\\F"));
  EXPECT_EQ(files_.CopyExpanded("C:\\QV\\F", "D:\\F"), LzCopyResult::DestinationOpenFailed);
  EXPECT_EQ(files_.CopyExpanded("C:\\QV\\F", "C:/QV/./F"), LzCopyResult::Copied) << "one file";
  EXPECT_EQ(ReadFileBytes(Native("QV/F")), "x");
}

TEST_F(PosixInstallerFileSystemTest, WindowsAndSystemDirectoriesExistOnceAsked) {
  EXPECT_EQ(files_.WindowsDirectory(), (home_ / "config").string());
  EXPECT_EQ(files_.SystemDirectory(), (home_ / "lib").string());
  EXPECT_TRUE(fs::is_directory(home_ / "config"));
  EXPECT_TRUE(fs::is_directory(home_ / "lib"));
  EXPECT_EQ(files_.ModulePath(), fs::read_symlink("/proc/self/exe").string());
}

// The information file beside the program is named with a backslash before
// its name, and configuration files by bare name or on drive C:.
TEST_F(PosixInstallerFileSystemTest, ProfilesAreFoundUnderTheirWindowsNames) {
  posix::IniProfileStore ini(home_ / "config");
  posix::WindowsPathProfileStore profile(ini, files_.Paths());
  Put("medium/QV27-518.INF", "[Configuration]\nInitialFile=QV27-518.ini\n");
  const std::string inf = (home_ / "medium").string() + "\\QV27-518.INF";
  EXPECT_EQ(profile.ReadString("Configuration", "InitialFile", "", inf), "QV27-518.ini");
  EXPECT_EQ(profile.ReadString("Configuration", "InitialFile", "none", "C:\\medium\\QV27-518.INF"), "QV27-518.ini");
  EXPECT_TRUE(profile.WriteString("Configuration", "PortCount", "0", "QV27-518.ini"));
  EXPECT_EQ(ReadFileBytes(home_ / "config" / "QV27-518.ini"), "[Configuration]\nPortCount=0\n");
  EXPECT_FALSE(profile.WriteString("Configuration", "PortCount", "0", "D:\\QV27-518.ini"));
  EXPECT_EQ(profile.ReadInt("Configuration", "PortCount", 7, "D:\\QV27-518.ini"), 7);
}

}  // namespace
}  // namespace qv::testing
