#include "tests/setting/setting_fixture.h"

#include "setting/setting_resources.h"

namespace qv {

ResourceBundle SettingResources() { return *ResourceBundle::FromResFile(SettingResourceBytes()); }

}  // namespace qv
