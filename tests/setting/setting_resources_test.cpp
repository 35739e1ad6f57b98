// The compiled resources hold the setting program's expected dialogs,
// strings, icon and picture.
#include <gtest/gtest.h>

#include "setting/setting_resources.h"
#include "tests/setting/expected_template.h"

namespace qv {
namespace {

TEST(SettingResources, AreTheExpectedOnes) {
  const ResourceBundle bundle = *ResourceBundle::FromResFile(SettingResourceBytes());
  const auto find = [&](ResourceType type, unsigned id) { return bundle.Find(type, id); };
  EXPECT_EQ(expected::CompareResources(find, expected::ExpectedSettingResources()), std::vector<std::string>{});
}

}  // namespace
}  // namespace qv
