// The hostile media through the real native setup, run as the unprivileged
// user nobody with a throwaway home and a folder beside it, driven by the
// preloaded user (preloaded_user.cpp) on Qt's offscreen platform. Each case:
// the message boxes the user saw, the files in the install directory, and
// nothing changed in the home or beside it outside what setup may write.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <map>
#include <optional>
#include <sstream>
#include <thread>

#include "tests/installer/hostile_media.h"
#include "tests/support/temp_dir.h"

namespace qv::hostile {
namespace {

namespace fs = std::filesystem;
constexpr uid_t kNobody = 65534;
// A case takes a second or two; one that has not ended by then waits for a
// user who is not coming.
constexpr auto kSetupBound = std::chrono::seconds(60);

// The child's exit status, or std::nullopt once the bound has passed (the
// child is killed then).
std::optional<int> WaitBounded(pid_t child) {
  const auto until = std::chrono::steady_clock::now() + kSetupBound;
  for (int status = 0;;) {
    const pid_t ended = ::waitpid(child, &status, WNOHANG);
    if (ended == child) return status;
    if (ended < 0 || std::chrono::steady_clock::now() >= until) {
      ::kill(child, SIGKILL);
      ::waitpid(child, &status, 0);
      return std::nullopt;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

using testing::ReadFileBytes;
using testing::WriteFileBytes;

// Every entry below `root`: its kind, mode, and contents or link target.
std::map<std::string, std::string> Snapshot(const fs::path& root) {
  std::map<std::string, std::string> entries;
  std::error_code error;
  for (auto it = fs::recursive_directory_iterator(root, error); it != fs::recursive_directory_iterator(); ++it) {
    struct stat info {};
    ::lstat(it->path().c_str(), &info);
    std::string what = std::to_string(info.st_mode);
    if (S_ISREG(info.st_mode)) what += " " + ReadFileBytes(it->path());
    if (S_ISLNK(info.st_mode)) what += " -> " + fs::read_symlink(it->path()).string();
    entries[fs::relative(it->path(), root).string()] = what;
  }
  return entries;
}

std::string Filled(std::string text, const fs::path& medium, const fs::path& target, const fs::path& home) {
  for (const auto& [mark, path] : {std::pair{"%M", medium}, {"%T", target}, {"%H", home}})
    for (std::size_t at; (at = text.find(mark)) != std::string::npos;) text.replace(at, 2, path.string());
  return text;
}

// What setup may write in the home: the install directory, its configuration
// folder, its system folder and the menu entries, and the folders above them.
bool SetupsOwn(const std::string& relative, const std::string& target) {
  for (const std::string& own : std::initializer_list<std::string>{
           target, ".config/qv27-518", ".local/lib/qv27-518", ".local/share/applications",
           ".local/share/desktop-directories", ".config/menus"})
    if (relative.rfind(own, 0) == 0 || own.rfind(relative + "/", 0) == 0) return true;
  return false;
}

class HostileSetup : public ::testing::TestWithParam<HostileCase> {};

TEST_P(HostileSetup, InstallsItsOwnFilesOrNothing) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to run setup as nobody";
  const HostileCase& c = GetParam();
  testing::TempDir dir;
  fs::permissions(dir.path(), fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
  const fs::path home = dir / "home", beside = dir / "beside", log = dir / "log" / "boxes";
  const fs::path config = home / ".config/qv27-518/QV27-518.ini";
  fs::path medium = dir / "medium";
  if (c.deepMedium)
    for (int i = 0; i < 4; ++i) medium /= std::string(70, 'm');
  for (const fs::path& p : {home / ".ssh", beside, log.parent_path(), medium}) fs::create_directories(p);
  WriteFileBytes(home / ".bashrc", "# the user's own\n");
  WriteFileBytes(home / ".ssh" / "id_rsa", "PRIVATE KEY\n");
  fs::permissions(home / ".ssh" / "id_rsa", fs::perms::owner_read | fs::perms::owner_write);
  WriteFileBytes(beside / "x", "beside\n");
  for (fs::path p = medium; p != dir.path(); p = p.parent_path()) fs::permissions(p, fs::perms(0755));
  fs::copy_file(QV_SETUP_PROGRAM, medium / "setup");
  // nobody may not reach the build tree (a checkout in a private folder): the
  // preloaded user comes along in the case's own folder.
  const fs::path preloaded = dir / "preloaded_user.so";
  fs::copy_file(QV_PRELOADED_USER, preloaded);
  fs::permissions(preloaded, fs::perms(0755));
  for (const MediumFile& f : c.files) {
    const fs::path at = medium / f.name;
    switch (f.kind) {
      case Kind::Regular:
        WriteFileBytes(at, f.bytes);
        fs::permissions(at, fs::perms(f.mode));
        break;
      case Kind::Fifo: ASSERT_EQ(::mkfifo(at.c_str(), 0644), 0); break;
      case Kind::LinkToHome: fs::create_symlink(home / f.bytes, at); break;
      case Kind::LinkInMedium:
      case Kind::LinkToDevice: fs::create_symlink(f.bytes, at); break;
    }
  }
  // The user's own files, and the medium's (a file of mode 0600 on it is
  // the user's to read).
  for (const fs::path& p : {home, log.parent_path(), medium}) {
    ::chown(p.c_str(), kNobody, kNobody);
    for (const auto& e : fs::recursive_directory_iterator(p)) ::lchown(e.path().c_str(), kNobody, kNobody);
  }
  fs::permissions(log.parent_path(), fs::perms::owner_all);
  const auto homeBefore = Snapshot(home), besideBefore = Snapshot(beside);

  const pid_t child = ::fork();
  if (child == 0) {
    ::umask(022);
    if (::chdir(dir.path().c_str()) != 0) ::_exit(126);
    const std::string env[] = {"HOME=" + home.string(), "QT_QPA_PLATFORM=offscreen", "LD_PRELOAD=" + preloaded.string(),
                               "QV_DRIVER_LOG=" + log.string(), "QV_DRIVER_TYPE=" + c.typedPath,
                               "PATH=/usr/bin:/bin", "XDG_RUNTIME_DIR=" + log.parent_path().string(),
                               // A sanitizer build: the preloaded user comes before the runtime.
                               "ASAN_OPTIONS=verify_asan_link_order=0:detect_leaks=0"};
    std::vector<char*> envp;
    for (const std::string& e : env)
      if (e != "QV_DRIVER_TYPE=") envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    ::execle("/usr/bin/setpriv", "setpriv", "--reuid=65534", "--regid=65534", "--clear-groups",
             (medium / "setup").c_str(), nullptr, envp.data());
    ::_exit(127);
  }
  const std::optional<int> status = WaitBounded(child);
  const std::string seen = ReadFileBytes(log);
  ASSERT_TRUE(status) << "setup did not end within " << kSetupBound.count()
                      << " s; what the user saw: " << seen;
  EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << "setup ended by itself: " << *status;

  // "~/x" and "C:\x" both name x in the home.
  std::string typedInHome = c.typedPath.empty() ? "QV27-518" : c.typedPath.substr(c.typedPath[0] == '~' ? 2 : 3);
  std::replace(typedInHome.begin(), typedInHome.end(), '\\', '/');
  const fs::path target = home / typedInHome;
  std::vector<std::string> boxes, expected;
  std::istringstream lines(seen);
  for (std::string line; std::getline(lines, line);)
    if (line.rfind("box ", 0) == 0) boxes.push_back(line.substr(4));
  for (const std::string& m : c.messages) expected.push_back(Filled(m, medium, target, home));
  EXPECT_EQ(boxes, expected);
  const bool succeeds = c.messages.back().rfind("System completes", 0) == 0;
  if (succeeds) {
    EXPECT_NE(seen.find("field " + (home / "QV27-518").string() + "\n"), std::string::npos)
        << "the path field shows the Linux path: " << seen;
  }

  std::vector<std::string> installed;
  for (const auto& [name, what] : Snapshot(target)) {
    installed.push_back(name);
    const auto mode = std::stoul(what.substr(0, what.find(' '))) & 07777;
    EXPECT_TRUE(mode == 0644 || mode == 0755) << name << " has mode " << std::oct << mode;
  }
  EXPECT_EQ(installed, c.installed);
  if (!c.installedDir.empty()) {
    const std::string installedDir = Filled(c.installedDir, medium, target, home);
    EXPECT_NE(ReadFileBytes(config).find("InstalledDir=" + installedDir + "\n"), std::string::npos);
  }

  auto homeAfter = Snapshot(home);
  std::erase_if(homeAfter, [&](const auto& e) { return SetupsOwn(e.first, typedInHome); });
  EXPECT_EQ(homeAfter, homeBefore) << "nothing of the home changed outside the installation";
  EXPECT_EQ(Snapshot(beside), besideBefore) << "nothing beside the home changed";
  if (!succeeds) {
    EXPECT_FALSE(fs::exists(config)) << "no configuration without an installation";
  }
}

INSTANTIATE_TEST_SUITE_P(Media, HostileSetup, ::testing::ValuesIn(HostileMedia()),
                         [](const auto& info) { return TestName(info.param); });

}  // namespace
}  // namespace qv::hostile
