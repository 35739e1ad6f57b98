#include "framework/resource_reader.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "framework/window_constants.h"
#include "tests/framework/test_resources.h"

namespace qv {
namespace {

TEST(ResourceReader, ReadsAnExtendedTemplateWithItsFontAndControls) {
  const auto dialog = FrameworkTestResources().Dialog(100);
  ASSERT_TRUE(dialog);
  EXPECT_TRUE(dialog->extended);
  EXPECT_EQ(dialog->caption, "Framework Test");
  EXPECT_EQ(dialog->typeface, "Arial");
  EXPECT_EQ(dialog->pointSize, 8);
  EXPECT_EQ(std::tie(dialog->cx, dialog->cy), std::tuple(200, 120));
  EXPECT_EQ(dialog->style & (kWsSysMenu | kWsMinimizeBox | kDsSetFont),
            kWsSysMenu | kWsMinimizeBox | kDsSetFont);
  ASSERT_EQ(dialog->items.size(), 13u);

  const DialogItemTemplate* edit = dialog->Item(30);
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(edit->controlClass, ControlClass::Edit);
  EXPECT_TRUE(edit->style & kEsUpperCase);
  EXPECT_EQ(std::tie(edit->x, edit->y, edit->cx, edit->cy), std::tuple(10, 50, 80, 12));

  const DialogItemTemplate* off = dialog->Item(50);
  ASSERT_NE(off, nullptr);
  EXPECT_EQ(off->text, "Off");
  EXPECT_TRUE(off->style & kWsDisabled);
  EXPECT_EQ(dialog->Item(41)->controlClass, ControlClass::Static);
  EXPECT_EQ(dialog->Item(99), nullptr);
}

TEST(ResourceReader, ReadsAClassicTemplate) {
  const auto dialog = FrameworkTestResources().Dialog(200);
  ASSERT_TRUE(dialog);
  EXPECT_FALSE(dialog->extended);
  EXPECT_EQ(dialog->caption, "Classic");
  EXPECT_EQ(std::tie(dialog->x, dialog->y), std::tuple(10, 20));
  ASSERT_EQ(dialog->items.size(), 2u);
  EXPECT_EQ(dialog->items[0].id, 7u);
  EXPECT_EQ(dialog->items[0].text, "Go");
  EXPECT_EQ(dialog->items[0].controlClass, ControlClass::Button);
  EXPECT_EQ(dialog->items[1].text, "Plain");
}

TEST(ResourceReader, FindsStringsAcrossTableBlocks) {
  const ResourceBundle bundle = FrameworkTestResources();
  EXPECT_EQ(bundle.String(1), "One");
  EXPECT_EQ(bundle.String(15), "Fifteen");  // last of the first block
  EXPECT_EQ(bundle.String(16), "Sixteen");  // first of the second block
  EXPECT_EQ(bundle.String(4000), "Line one\nLine two");
  EXPECT_FALSE(bundle.String(2));      // empty slot of an existing block
  EXPECT_FALSE(bundle.String(60000));  // no such block
}

TEST(ResourceReader, ReadsTheIconDirectory) {
  const ResourceBundle bundle = FrameworkTestResources();
  const auto group = bundle.Find(ResourceType::GroupIcon, 1);
  ASSERT_TRUE(group);
  const auto entries = ParseGroupIcon(*group);
  ASSERT_TRUE(entries);
  ASSERT_EQ(entries->size(), 2u);
  EXPECT_EQ((*entries)[0].width, 32);
  EXPECT_EQ((*entries)[1].width, 16);
  for (const auto& entry : *entries) EXPECT_TRUE(bundle.Find(ResourceType::Icon, entry.iconId));
}

// Cut data must be refused (or read as far as it is whole), never read past.
TEST(ResourceReader, TruncatedDataIsRefusedNotOverrun) {
  const auto bytes = FrameworkTestResourceBytes();
  for (std::size_t length = 0; length < bytes.size(); ++length) {
    const std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<long>(length));
    const auto bundle = ResourceBundle::FromResFile(cut);
    if (bundle) (void)bundle->Dialog(100);
  }

  const ResourceBundle bundle = FrameworkTestResources();
  const auto dialog = bundle.Find(ResourceType::Dialog, 100);
  ASSERT_TRUE(dialog);
  for (std::size_t length = 0; length < dialog->size(); ++length) {
    SCOPED_TRACE(length);
    EXPECT_FALSE(ParseDialogTemplate(dialog->first(length)));
  }
  const auto strings = bundle.Find(ResourceType::String, 1);
  ASSERT_TRUE(strings);
  for (std::size_t length = 0; length < strings->size(); ++length)
    (void)ParseStringTableEntry(strings->first(length), 15);
}

}  // namespace
}  // namespace qv
