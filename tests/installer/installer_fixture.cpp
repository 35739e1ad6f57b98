#include "tests/installer/installer_fixture.h"

namespace qv {

InstallerRig::InstallerRig() {
  // A millisecond a reading keeps the pauses short in steps.
  clock.step = std::chrono::milliseconds(1);
  for (const char* folder : {"A:\\", "C:\\", "C:\\WINDOWS", "C:\\WINDOWS\\SYSTEM"})
    files.AddDirectory(folder);
}

InstallerFixture::InstallerFixture() {
  host.ObserveTextChanges([this](int templateId, int id, const std::string& text) {
    if (templateId != 101 || id != kStatus) return;
    statusLine.push_back({clock.PeekTickCount(), text});
    log.push_back("status " + text);
  });
}

void InstallerFixture::WriteInf(std::string_view text) {
  testing::WriteFileBytes(dir / kInfPath, text);
  files.AddFile(kInfPath, std::string(text));
}

std::string InstallerFixture::ConfigEntry(std::string_view key) {
  return diskProfile.ReadString("Configuration", key, "<missing>", "QV27-518.ini").str();
}

testing::TestWindow& InstallerFixture::OpenDialog() {
  dialog = std::make_unique<CInstallDlg>(host, services, progress);
  return host.Open(*dialog);
}

testing::TestWindow& InstallerFixture::StartDialog() {
  testing::TestWindow& window = OpenDialog();
  host.PumpAll();
  return window;
}

testing::TestWindow& InstallerFixture::Ready(std::string_view inf, std::string_view path) {
  WriteInf(inf);
  testing::TestWindow& window = StartDialog();
  window.Type(kPath, path);
  statusLine.clear();
  files.calls.clear();
  return window;
}

std::vector<std::string> InstallerFixture::BoxTexts() const {
  std::vector<std::string> texts;
  for (const auto& box : host.MessageBoxes()) texts.push_back(box.text);
  return texts;
}

std::vector<std::string> InstallerFixture::StatusTexts() const {
  std::vector<std::string> texts;
  for (const auto& change : statusLine) texts.push_back(change.text);
  return texts;
}

}  // namespace qv
