// The profile contract against kernel32 (run under Wine): bare names land in
// the Windows directory of the prefix, where the raw access finds them too.
#include <windows.h>

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
  std::filesystem::path PathOf(const std::string& name) const override {
    return windows_ + "\\" + name;
  }

 private:
  std::string windows_;
  win32::Win32ProfileStore store_;
};

}  // namespace

std::unique_ptr<ProfileTarget> MakeProfileTarget() { return std::make_unique<Win32Target>(); }

}  // namespace qv::testing
