// The compiled resources hold the installer's expected dialogs, strings,
// icon and pictures.
#include <gtest/gtest.h>

#include "installer/installer_resources.h"
#include "tests/installer/expected_installer.h"

namespace qv {
namespace {

TEST(SetupResources, AreTheExpectedOnes) {
  const ResourceBundle bundle = *ResourceBundle::FromResFile(InstallerResourceBytes());
  const auto find = [&](ResourceType type, unsigned id) { return bundle.Find(type, id); };
  EXPECT_EQ(expected::CompareResources(find, expected::ExpectedInstallerResources()),
            std::vector<std::string>{});
}

}  // namespace
}  // namespace qv
