// Set as a plain function and what the dialog tells the user afterwards:
// one Set reaches the configuration file as one batch, and a port the switch
// could not be told through is named in a warning.
#include <gtest/gtest.h>

#include <string>

#include "framework/window_constants.h"
#include "setting/apply_settings.h"
#include "tests/setting/setting_fixture.h"

namespace qv {
namespace {

// The dialog with its outcome message in reach.
class COutcomeDlg : public CTwoPrinterDlg {
 public:
  using CTwoPrinterDlg::CTwoPrinterDlg;
  using CSettingDlg::ShowSetOutcome;
};

class ApplySettingsTest : public SettingFixture {};

TEST_F(ApplySettingsTest, OneSetIsOneBatchOfTheConfigurationFile) {
  ConfigVocabulary vocabulary;
  vocabulary.Load(host, 2);
  for (const bool onePc : {true, false}) {
    SCOPED_TRACE(onePc ? "one PC" : "two PCs");
    testing::RecordingProfileStore counting(diskProfile);
    SetRequest request;
    request.onePc = onePc;
    request.selection = Selection::kBroadcast;
    request.aliases = {"Front", "Back"};
    request.printers = {"Laser A", "Laser B"};
    request.sharedPrinter = "Laser A";
    request.transferPath = "/opt/ft";
    const SettingServices counted{counting, printers, port, launcher, clock};
    EXPECT_EQ(ApplySettings(counted, vocabulary, request), SetOutcome::kDone);
    EXPECT_EQ(counting.batches, 1);
    EXPECT_EQ(counting.singles, 0);
    EXPECT_EQ(Entry("Configuration", "Mode1-2"), "Broadcast");
    EXPECT_EQ(Entry("Configuration", "Mode2-1"), "FtpOFF");
  }
  EXPECT_EQ(Entry("Printer Alias", "Printer2"), "Back");
  EXPECT_EQ(Entry("Configuration", "FtpPath"), "/opt/ft");
}

TEST_F(ApplySettingsTest, APortTheSwitchCouldNotBeToldThroughIsNamedInAWarning) {
  struct Case {
    SetOutcome outcome;
    int lpt;
    const char* text;
    const char* caption;
    unsigned style;
  };
  const Case cases[] = {
      {SetOutcome::kDone, 2, "System finishes setting successfully.", "QV27-518 Software Setting Program",
       kMbOk | kMbIconInformation},
      {SetOutcome::kPortBusy, 2,
       "LPT2 is in use by another program.\nThe settings were saved, but the switch was not told.",
       "QV27-518 Software Setting Program Warning", kMbOk | kMbIconExclamation},
      {SetOutcome::kPortNotPermitted, 3,
       "This user may not use LPT3.\nThe settings were saved, but the switch was not told.",
       "QV27-518 Software Setting Program Warning", kMbOk | kMbIconExclamation},
  };
  WriteConfig("[Configuration]\nPortCount=3\n");
  COutcomeDlg dlg(host, services);
  host.Open(dlg);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const std::size_t before = host.MessageBoxes().size();
    dlg.ShowSetOutcome(c.outcome, c.lpt);
    ASSERT_EQ(host.MessageBoxes().size(), before + 1);
    const testing::ShownMessageBox& box = host.MessageBoxes().back();
    EXPECT_EQ(box.text, c.text);
    EXPECT_EQ(box.caption, c.caption);
    EXPECT_EQ(box.style, c.style);
  }
}

}  // namespace
}  // namespace qv
