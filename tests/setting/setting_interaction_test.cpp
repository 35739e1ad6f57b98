// The setting dialog between its load and Set: mode groups, the printer and
// program choosers, About, and leaving the program.
#include <gtest/gtest.h>

#include <tuple>

#include "framework/window_constants.h"
#include "setting/setting_dlg.h"
#include "tests/setting/setting_fixture.h"

namespace qv {
namespace {

using testing::TestWindow;

// Every control's text, enabling and check, to show that nothing moved.
std::vector<std::tuple<int, std::string, bool, bool>> Snapshot(const TestWindow& w) {
  std::vector<std::tuple<int, std::string, bool, bool>> out;
  for (const auto& item : w.Template().items) {
    const int id = static_cast<int>(item.id);
    out.emplace_back(id, w.Text(id), w.IsEnabled(id), w.IsChecked(id));
  }
  return out;
}

class SettingInteraction : public SettingFixture {
 protected:
  TestWindow& OpenShared() {
    WriteConfig("[Configuration]\nMode=Mode2-1\nPortCount=3\nFtpPath=C:\\FT.EXE\n"
                "[Printer Name]\nPrinter1=Old A\nPrinter2=Old B\n");
    printers.printers = {{0, "New A", "winspool,LPT1:"}, {0, "Old A", "winspool,LPT2:"},
                         {0, "New Shared", "winspool,LPT3:"}, {0, "Old B", "winspool,LPT4:"}};
    return OpenDialog();
  }
};

// Printer A is the shared printer: choosing either shows the choice in both
// places, and a Set in either mode saves it and makes it the default. Printer
// B is saved in the one-PC mode only. A chooser without a device name
// empties the slot.
TEST_F(SettingInteraction, AChosenPrinterIsShownAndSetSavesItAndMakesItTheDefault) {
  struct Case {
    int button;
    const char* chosen;
    const char *a, *b;  // what printer A and B show and are saved as
    std::vector<std::string> defaults;  // after a Set in each mode
  };
  const Case cases[] = {
      {1022, "New A", "New A", "Old B", {"New A,winspool,LPT1:", "New A,winspool,LPT1:"}},
      {1044, "New Shared", "New Shared", "Old B",
       {"New Shared,winspool,LPT3:", "New Shared,winspool,LPT3:"}},
      {1023, "New B", "Old A", "New B", {"Old A,winspool,LPT2:", "Old A,winspool,LPT2:"}},
      {1044, "", "", "Old B", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.chosen);
    TestWindow& w = OpenShared();
    printers.defaultWrites.clear();
    const std::size_t choosers = host.PrinterChoosers().size();
    host.AnswerNextPrinterChooser(c.chosen);
    if (c.button != 1044) w.Click(1041);
    w.Click(c.button);
    ASSERT_EQ(host.PrinterChoosers().size(), choosers + 1);
    EXPECT_EQ(host.PrinterChoosers().back().flags, 0x0014000Cu);
    EXPECT_EQ(w.Text(1018), c.a);
    EXPECT_EQ(w.Text(1043), c.a);
    EXPECT_EQ(w.Text(1019), c.b);
    w.Click(1042);
    w.Click(kIdOk);
    EXPECT_EQ(Entry("Printer Name", "Printer1"), c.a);
    EXPECT_EQ(Entry("Printer Name", "Printer2"), "Old B") << "printer B is saved in one mode only";
    w.Click(1041);
    w.Click(kIdOk);
    EXPECT_EQ(Entry("Printer Name", "Printer1"), c.a);
    EXPECT_EQ(Entry("Printer Name", "Printer2"), c.b);
    EXPECT_EQ(printers.defaultWrites, c.defaults);
  }
}

TEST_F(SettingInteraction, ACancelledChooserChangesNoField) {
  TestWindow& w = OpenShared();
  w.Click(1041);
  const auto before = Snapshot(w);
  for (int button : {1022, 1023}) {
    host.AnswerNextPrinterChooser(std::nullopt);
    w.Click(button);
  }
  w.Click(1042);
  host.AnswerNextPrinterChooser(std::nullopt);
  w.Click(1044);
  w.Click(1041);
  EXPECT_EQ(Snapshot(w), before);
  EXPECT_EQ(host.PrinterChoosers().size(), 3u);
}

TEST_F(SettingInteraction, BrowseFillsThePathOnlyOnOk) {
  TestWindow& w = OpenShared();
  w.Click(1040);
  EXPECT_EQ(w.Text(1039), "C:\\FT.EXE") << "cancel keeps the text";
  host.AnswerNextFileChooser("D:\\TOOLS\\TRANSFER.EXE");
  w.Click(1040);
  EXPECT_EQ(w.Text(1039), "D:\\TOOLS\\TRANSFER.EXE");
  ASSERT_EQ(host.FileChoosers().size(), 2u);
  const auto& call = host.FileChoosers()[0];
  EXPECT_EQ(call.filter, std::string("Executables (*.exe)\0\0", 21)) << "one entry with an empty pattern";
  EXPECT_EQ(call.initialName, "*.exe");
  EXPECT_EQ(call.flags, 0x0804u);
  EXPECT_EQ(call.ownerTemplate, 102);
}

}  // namespace
}  // namespace qv
