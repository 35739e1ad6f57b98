// The resources that the real setup.exe carries, against the documented
// layout. Its installations are the installer scenarios
// (tests/installer/setup_scenarios.cpp), run here on setup_exe_driver.cpp.
#include <gtest/gtest.h>

#include "tests/installer/expected_installer.h"
#include "tests/wine/program_driver.h"

namespace qv {
namespace {

TEST(SetupExeResources, AreTheExpectedOnes) {
  HMODULE module = LoadLibraryExA((wine::BinDirectory() + "\\setup.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr);
  const auto find = [&](ResourceType type, unsigned id) {
    return wine::ResourceBytes(module, static_cast<unsigned>(type), id);
  };
  EXPECT_EQ(expected::CompareResources(find, expected::ExpectedInstallerResources()),
            std::vector<std::string>{});
  FreeLibrary(module);
}

}  // namespace
}  // namespace qv
