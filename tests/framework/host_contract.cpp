// The host contract's cases, on dialog 100 of the framework's test
// resources. Each case runs a script inside the open dialog's modal loop
// and ends the dialog itself. The box and chooser cases are answered by the
// posted message they check: on a real platform a box that never delivered
// it would stay open until the test's time limit.
#include "tests/framework/host_contract.h"

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/dialog.h"
#include "framework/window_constants.h"

namespace qv {
namespace {

constexpr unsigned kRunScript = kWmUser + 60;
constexpr unsigned kProbe = kWmUser + 61;
constexpr unsigned kThrow = kWmUser + 62;
constexpr unsigned kFinish = kWmUser + 63;
constexpr int kFinished = 99;

// Controls of dialog 100.
constexpr int kRadioOne = 10, kRadioTwo = 11, kRadioThree = 12, kRadioLeft = 20;
constexpr int kUpperEdit = 30, kPlainEdit = 31, kCheck = 40, kDisabledButton = 50;

class CContractDlg : public CDialog {
 public:
  explicit CContractDlg(HostDriver& driver) : CDialog(driver.Host(), 100), driver(driver) {}

  HostDriver& driver;
  std::function<void(CContractDlg&)> script;
  std::function<void(CContractDlg&)> onProbe;
  std::function<void(CContractDlg&)> onSysCommand;
  std::vector<unsigned> commands;  // OK and the check box, as they arrive
  int probes = 0;

  using CDialog::CheckItem;
  using CDialog::EnableItem;
  using CDialog::FocusItem;
  using CDialog::GetItemText;
  using CDialog::IsChecked;
  using CDialog::PostToSelf;
  using CDialog::PumpOneMessage;
  using CDialog::SetItemText;
  using CDialog::ShowMessageBox;
  using CDialog::Default;
  using CDialog::Host;

 protected:
  bool OnInitDialog() override {
    PostToSelf(kRunScript);
    return true;
  }
  void OnOK() override { commands.push_back(kIdOk); }
  void OnCheck() { commands.push_back(kCheck); }
  void OnRun() { script(*this); }
  void OnProbe() {
    ++probes;
    if (onProbe) onProbe(*this);
  }
  void OnThrow() { throw std::runtime_error("handler failed"); }
  void OnFinish() { EndDialog(kFinished); }
  void OnSys(unsigned) {
    if (onSysCommand) onSysCommand(*this);
  }

  static const MessageTable* ClassMessageTable() {
    static constexpr MessageEntry kEntries[] = {
        msg::Command<&CContractDlg::OnCheck>(kCheck),
        msg::PrivateMessage<&CContractDlg::OnRun>(kRunScript),
        msg::PrivateMessage<&CContractDlg::OnProbe>(kProbe),
        msg::PrivateMessage<&CContractDlg::OnThrow>(kThrow),
        msg::PrivateMessage<&CContractDlg::OnFinish>(kFinish),
        msg::SysCommand<&CContractDlg::OnSys>(),
    };
    static const MessageTable kTable{CDialog::ClassMessageTable(), kEntries};
    return &kTable;
  }
  const MessageTable* GetMessageTable() const override { return ClassMessageTable(); }
};

// Runs `script` inside the open dialog, which ends with kFinished after it.
void ExpectScriptRuns(HostDriver& driver, const std::function<void(CContractDlg&)>& script,
                      std::function<void(CContractDlg&)> onProbe = {}) {
  CContractDlg dialog(driver);
  dialog.onProbe = std::move(onProbe);
  dialog.script = [&](CContractDlg& d) {
    script(d);
    d.EndDialog(kFinished);
  };
  EXPECT_EQ(dialog.DoModal(), kFinished);
}

TEST_P(HostContract, AnUpperCaseEditStoresSetTextInUpperCase) {
  ExpectScriptRuns(*driver, [](CContractDlg& d) {
    d.SetItemText(kUpperEdit, "c:\\dir\\file.exe");
    d.SetItemText(kPlainEdit, "c:\\dir");
    EXPECT_EQ(d.GetItemText(kUpperEdit), "C:\\DIR\\FILE.EXE");
    EXPECT_EQ(d.GetItemText(kPlainEdit), "c:\\dir");
  });
}

TEST_P(HostContract, EnterSendsTheDefaultButtonOnlyWhileItIsEnabled) {
  ExpectScriptRuns(*driver, [](CContractDlg& d) {
    d.driver.PressEnter(d);
    EXPECT_EQ(d.commands, std::vector<unsigned>{kIdOk});
    d.EnableItem(kIdOk, false);
    d.driver.PressEnter(d);
    EXPECT_EQ(d.commands, std::vector<unsigned>{kIdOk}) << "a disabled default button takes no Enter";
  });
}

TEST_P(HostContract, AnAutoRadioClickUnchecksOnlyTheEnabledMembersOfItsOwnSet) {
  ExpectScriptRuns(*driver, [](CContractDlg& d) {
    d.CheckItem(kRadioOne);
    d.CheckItem(kRadioTwo);
    d.CheckItem(kRadioLeft);
    d.EnableItem(kRadioTwo, false);
    d.driver.Click(d, kRadioThree);
    EXPECT_FALSE(d.IsChecked(kRadioOne));
    EXPECT_TRUE(d.IsChecked(kRadioTwo)) << "the disabled sibling keeps its check";
    EXPECT_TRUE(d.IsChecked(kRadioThree));
    EXPECT_TRUE(d.IsChecked(kRadioLeft)) << "the set after the next WS_GROUP is left alone";
    d.driver.Click(d, kRadioThree);
    EXPECT_TRUE(d.IsChecked(kRadioThree)) << "a second click leaves it checked";
  });
}

TEST_P(HostContract, FocusDoesNotMoveToADisabledControl) {
  ExpectScriptRuns(*driver, [](CContractDlg& d) {
    d.FocusItem(kPlainEdit);
    EXPECT_EQ(d.driver.FocusedItem(d), kPlainEdit);
    d.FocusItem(kDisabledButton);
    EXPECT_EQ(d.driver.FocusedItem(d), kPlainEdit);
    d.EnableItem(kDisabledButton, true);
    d.FocusItem(kDisabledButton);
    EXPECT_EQ(d.driver.FocusedItem(d), kDisabledButton);
  });
}

TEST_P(HostContract, TheLastEndDialogCodeWins) {
  CContractDlg dialog(*driver);
  dialog.script = [](CContractDlg& d) {
    d.EndDialog(3);
    d.EndDialog(4);
  };
  EXPECT_EQ(dialog.DoModal(), 4);
  EXPECT_EQ(dialog.Window(), nullptr);
}

TEST_P(HostContract, AnOpenMessageBoxDeliversPostedMessages) {
  const auto answer = [](CContractDlg& d) { d.driver.AnswerOpenMessageBox(d, kIdCancel); };
  ExpectScriptRuns(*driver, [](CContractDlg& d) {
    d.PostToSelf(kProbe);
    EXPECT_EQ(d.ShowMessageBox("Continue?", "Contract", kMbOkCancel), kIdCancel);
    EXPECT_EQ(d.probes, 1) << "the box's own loop dispatched the posted message";
  }, answer);
}

TEST_P(HostContract, OpenChoosersDeliverPostedMessages) {
  const auto cancel = [](CContractDlg& d) { d.driver.CancelOpenChooser(d); };
  ExpectScriptRuns(*driver, [](CContractDlg& d) {
    d.PostToSelf(kProbe);
    FileChooserRequest request;
    request.filter = std::string("Programs\0*.exe\0", 15);
    request.initialName = "*.exe";
    EXPECT_EQ(d.Host().ChooseFile(&d, request), std::nullopt);
    EXPECT_EQ(d.probes, 1) << "the file chooser dispatched the posted message";
    d.PostToSelf(kProbe);
    EXPECT_EQ(d.Host().ChoosePrinter(&d, 0), std::nullopt);
    EXPECT_EQ(d.probes, 2) << "the printer chooser dispatched the posted message";
  }, cancel);
}

// A system command handler that asks for the platform's processing and then
// changes an edit: the edit's own notifications to the dialog must not
// swallow the request, so Close still becomes Cancel.
TEST_P(HostContract, ADefaultRequestSurvivesMessagesSentWhileTheHandlerRuns) {
  CContractDlg dialog(*driver);
  dialog.onSysCommand = [](CContractDlg& d) {
    d.Default();
    d.SetItemText(kPlainEdit, "changed");
  };
  dialog.script = [](CContractDlg& d) {
    d.driver.SystemCommand(d, kScClose);
    d.PostToSelf(kFinish);  // ends the dialog when Close did not
  };
  EXPECT_EQ(dialog.DoModal(), kIdCancel);
}

TEST_P(HostContract, OnlyAClickNotificationIsACommand) {
  ExpectScriptRuns(*driver, [](CContractDlg& d) {
    d.driver.Notify(d, kCheck, 1);
    d.driver.Notify(d, kCheck, 5);
    EXPECT_EQ(d.commands, std::vector<unsigned>{});
    d.driver.Notify(d, kCheck, 0);
    EXPECT_EQ(d.commands, std::vector<unsigned>{kCheck});
  });
}

TEST_P(HostContract, AHandlerExceptionInsideAnotherHandlersPumpReachesDoModal) {
  CContractDlg dialog(*driver);
  dialog.script = [](CContractDlg& d) {
    d.PostToSelf(kThrow);
    while (d.PumpOneMessage()) {
    }
    ++d.probes;  // must not be reached: the exception leaves this handler too
  };
  EXPECT_THROW(dialog.DoModal(), std::runtime_error);
  EXPECT_EQ(dialog.probes, 0) << "the pumping handler carried on after the exception";
  EXPECT_EQ(dialog.Window(), nullptr) << "the window is gone with the exception";
}

}  // namespace
}  // namespace qv
