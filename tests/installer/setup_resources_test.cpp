// The compiled resources hold the installer's documented dialogs, strings,
// icon and pictures.
#include <gtest/gtest.h>

#include "installer/installer_resources.h"
#include "tests/installer/documented_installer.h"

namespace qv {
namespace {

TEST(SetupResources, AreTheDocumentedOnes) {
  const ResourceBundle bundle = *ResourceBundle::FromResFile(InstallerResourceBytes());
  const auto find = [&](ResourceType type, unsigned id) { return bundle.Find(type, id); };
  EXPECT_EQ(documented::CompareResources(find, documented::InstallerResourcesDocumented()),
            std::vector<std::string>{});
}

}  // namespace
}  // namespace qv
