// The profile contract against kernel32 (run under Wine): bare names land in
// the Windows directory of the prefix, where the raw access finds them too.
#include <windows.h>

#include <cstdio>

#include "platform/win32/win32_profile_store.h"
#include "tests/platform/profile_contract.h"

namespace qv::testing {

namespace {

class Win32Target final : public ProfileTarget {
 public:
  Win32Target() {
    char buffer[MAX_PATH] = {};
    GetWindowsDirectoryA(buffer, MAX_PATH);
    windows_ = buffer;
  }
  ProfileStore& Store() override { return store_; }
  void WriteRaw(const std::string& name, std::string_view bytes) override {
    std::FILE* file = std::fopen(PathOf(name).c_str(), "wb");
    ASSERT_NE(file, nullptr) << PathOf(name);
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
  }
  std::optional<std::string> ReadRaw(const std::string& name) override {
    std::FILE* file = std::fopen(PathOf(name).c_str(), "rb");
    if (file == nullptr) return std::nullopt;
    std::string bytes;
    char chunk[4096];
    for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, file)) > 0;) {
      bytes.append(chunk, got);
    }
    std::fclose(file);
    return bytes;
  }
  void Remove(const std::string& name) override { DeleteFileA(PathOf(name).c_str()); }
  std::string NameInMissingDirectory(const std::string& name) override {
    return windows_ + "\\pc_absent_directory\\" + name;
  }

 private:
  std::string PathOf(const std::string& name) const { return windows_ + "\\" + name; }

  std::string windows_;
  win32::Win32ProfileStore store_;
};

}  // namespace

std::unique_ptr<ProfileTarget> MakeProfileTarget() { return std::make_unique<Win32Target>(); }

}  // namespace qv::testing
