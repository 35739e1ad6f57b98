// The compiled resources hold the expected dialogs and strings exactly.
#include <gtest/gtest.h>

#include "setting/setting_resources.h"
#include "tests/setting/expected_template.h"

namespace qv {
namespace {

ResourceBundle Bundle() { return *ResourceBundle::FromResFile(SettingResourceBytes()); }

TEST(SettingResources, DialogsMatchTheExpectedLayout) {
  for (const auto* layout : {&expected::SettingDialog(), &expected::AboutDialog()}) {
    SCOPED_TRACE(layout->id);
    const auto dialog = Bundle().Dialog(layout->id);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(expected::CompareWithLayout(*dialog, *layout), std::vector<std::string>{});
  }
}

TEST(SettingResources, StringTableHoldsEveryText) {
  const ResourceBundle bundle = Bundle();
  for (const auto& row : expected::SettingStrings()) {
    SCOPED_TRACE(row.id);
    EXPECT_EQ(bundle.String(row.id), row.text);
  }
}

TEST(SettingResources, IconAndBitmapAreThere) {
  const ResourceBundle bundle = Bundle();
  const auto group = bundle.Find(ResourceType::GroupIcon, 128);
  ASSERT_TRUE(group);
  const auto entries = ParseGroupIcon(*group);
  ASSERT_TRUE(entries);
  EXPECT_FALSE(entries->empty());
  const auto bitmap = bundle.Find(ResourceType::Bitmap, 200);
  ASSERT_TRUE(bitmap);
  EXPECT_GT(bitmap->size(), 40u);
}

}  // namespace
}  // namespace qv
