#include "tests/setting/setting_fixture.h"

#include "setting/setting_resources.h"

namespace qv {

ResourceBundle SettingResources() { return *ResourceBundle::FromResFile(SettingResourceBytes()); }

testing::TestWindow& SettingFixture::OpenDialog() {
  dialog = std::make_unique<CTwoPrinterDlg>(host, services);
  return host.Open(*dialog);
}

void SettingFixture::ExpectOneCheckPerSet(const testing::TestWindow& window) {
  auto count = [&](auto set) {
    int checked = 0;
    for (int id : set) checked += window.IsChecked(id) ? 1 : 0;
    return checked;
  };
  EXPECT_EQ(count(kModeSet), 1);
  EXPECT_EQ(count(kPortSet), 1);
  EXPECT_EQ(count(kSelectionSet), 1);
  EXPECT_EQ(count(kTransferSet), 1);
}

}  // namespace qv
