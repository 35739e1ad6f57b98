// The host contract for the dialog manager's rules, on dialog 101 of the
// framework's test resources: where the focus starts, what Enter sends,
// the arrow keys and clicks in a radio set with a hidden and a disabled
// member, and the keys of message boxes. Each expectation is what the win32
// host shows under Wine; the other hosts must show the same.
#include <functional>
#include <string>
#include <vector>

#include "framework/dialog.h"
#include "framework/window_constants.h"
#include "tests/framework/host_contract.h"

namespace qv {
namespace {

constexpr unsigned kRunScript = kWmUser + 70;
constexpr unsigned kProbe = kWmUser + 71;
constexpr int kFinished = 99;

// Controls of dialog 101: a radio set without tab stops whose second member
// is hidden, a push button that is the template's first tab stop, an edit.
constexpr int kFirst = 61, kHidden = 62, kSecond = 63, kThird = 64, kPick = 65, kEdit = 66;

class CManagerDlg : public CDialog {
 public:
  explicit CManagerDlg(HostDriver& driver) : CDialog(driver.Host(), 101), driver(driver) {}

  HostDriver& driver;
  std::function<void(CManagerDlg&)> onInit;
  std::function<void(CManagerDlg&)> script;
  std::function<void(CManagerDlg&)> onProbe;
  std::vector<unsigned> commands;  // every button's command, as it arrives

  using CDialog::CheckItem;
  using CDialog::EnableItem;
  using CDialog::FocusItem;
  using CDialog::IsChecked;
  using CDialog::PostToSelf;
  using CDialog::ShowMessageBox;

  // Enter, and the command it sent (0: none); the list starts afresh.
  unsigned Enter() {
    commands.clear();
    driver.PressEnter(*this);
    const unsigned sent = commands.empty() ? 0 : commands.back();
    commands.clear();
    return sent;
  }
  int Focused() { return driver.FocusedItem(*this); }

 protected:
  bool OnInitDialog() override {
    if (onInit) onInit(*this);
    PostToSelf(kRunScript);
    return true;
  }
  void OnOK() override { commands.push_back(kIdOk); }
  void OnCancel() override { commands.push_back(kIdCancel); }
  template <unsigned Id>
  void OnButton() {
    commands.push_back(Id);
  }
  void OnRun() {
    script(*this);
    EndDialog(kFinished);
  }
  void OnProbe() {
    if (onProbe) onProbe(*this);
  }

  static const MessageTable* ClassMessageTable() {
    static constexpr MessageEntry kEntries[] = {
        msg::Command<&CManagerDlg::OnButton<kFirst>>(kFirst),
        msg::Command<&CManagerDlg::OnButton<kSecond>>(kSecond),
        msg::Command<&CManagerDlg::OnButton<kThird>>(kThird),
        msg::Command<&CManagerDlg::OnButton<kPick>>(kPick),
        msg::PrivateMessage<&CManagerDlg::OnRun>(kRunScript),
        msg::PrivateMessage<&CManagerDlg::OnProbe>(kProbe),
    };
    static const MessageTable kTable{CDialog::ClassMessageTable(), kEntries};
    return &kTable;
  }
  const MessageTable* GetMessageTable() const override { return ClassMessageTable(); }
};

using Step = std::function<void(CManagerDlg&)>;

// Runs dialog 101: `init` in its initialisation, then `script` inside it.
void ExpectRuns(HostDriver& driver, Step init, Step script, Step onProbe = {}) {
  CManagerDlg dialog(driver);
  dialog.onInit = std::move(init);
  dialog.script = std::move(script);
  dialog.onProbe = std::move(onProbe);
  EXPECT_EQ(dialog.DoModal(), kFinished);
}

// The first focus is the first tab stop in template order that is visible
// and enabled; a radio button is a tab stop while it is checked. A push
// button that merely has the focus is not the default: Enter still sends
// the default button.
TEST_P(HostContract, TheFirstFocusIsTheFirstTabStopAndACheckedRadioIsOne) {
  struct Case {
    const char* name;
    std::function<void(CManagerDlg&)> init;
    int focus;
  };
  const std::vector<Case> cases = {
      {"nothing checked", [](CManagerDlg&) {}, kPick},
      {"the second radio checked", [](CManagerDlg& d) { d.CheckItem(kSecond); }, kSecond},
      {"only the hidden radio checked", [](CManagerDlg& d) { d.CheckItem(kHidden); }, kPick},
      {"a checked radio that is disabled",
       [](CManagerDlg& d) {
         d.CheckItem(kFirst);
         d.EnableItem(kFirst, false);
       },
       kPick},
      {"a radio checked and unchecked again",
       [](CManagerDlg& d) {
         d.CheckItem(kFirst);
         d.CheckItem(kFirst, false);
       },
       kPick},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ExpectRuns(*driver, c.init, [&](CManagerDlg& d) {
      EXPECT_EQ(d.Focused(), c.focus);
      EXPECT_EQ(d.Enter(), static_cast<unsigned>(kIdOk));
    });
  }
}

// Tab walks the tab stops in template order and round again; a push button
// that Tab reaches becomes the default while it has the focus, and the
// template's default button is the default again once the focus leaves.
// Focus that the program gives a push button does not make it the default.
TEST_P(HostContract, EnterSendsThePushButtonThatTabReached) {
  ExpectRuns(*driver, [](CManagerDlg& d) { d.CheckItem(kSecond); }, [](CManagerDlg& d) {
    struct Tab {
      int focus;
      unsigned enter;
    };
    const std::vector<Tab> steps = {
        {kPick, kPick}, {kEdit, kIdOk}, {kIdOk, kIdOk}, {kIdCancel, kIdCancel}, {kSecond, kIdOk}};
    for (const auto& step : steps) {
      SCOPED_TRACE(step.focus);
      d.driver.PressKey(d, Key::Tab);
      EXPECT_EQ(d.Focused(), step.focus);
      EXPECT_EQ(d.Enter(), step.enter);
    }
    d.FocusItem(kPick);
    EXPECT_EQ(d.Focused(), kPick);
    EXPECT_EQ(d.Enter(), static_cast<unsigned>(kIdOk)) << "the program's focus makes no default";
    d.driver.Click(d, kPick);
    EXPECT_EQ(d.Enter(), static_cast<unsigned>(kIdOk)) << "nor does a click";
  });
}

// A click on an automatic radio button takes the check from the visible
// and enabled members of its set only.
TEST_P(HostContract, ARadioClickLeavesHiddenAndDisabledMembersChecked) {
  ExpectRuns(*driver, {}, [](CManagerDlg& d) {
    d.CheckItem(kFirst);
    d.CheckItem(kHidden);
    d.CheckItem(kSecond);
    d.EnableItem(kSecond, false);
    d.driver.Click(d, kThird);
    EXPECT_FALSE(d.IsChecked(kFirst));
    EXPECT_TRUE(d.IsChecked(kHidden)) << "the hidden member keeps its check";
    EXPECT_TRUE(d.IsChecked(kSecond)) << "the disabled member keeps its check";
    EXPECT_TRUE(d.IsChecked(kThird));
    EXPECT_EQ(d.commands, std::vector<unsigned>{kThird});
  });
}

// The arrow keys go round the visible and enabled members of the focused
// control's group; an automatic radio button that they reach is clicked.
// From a push button they move the focus within its group as well.
TEST_P(HostContract, ArrowKeysGoRoundTheVisibleEnabledMembersOfTheGroup) {
  ExpectRuns(*driver, [](CManagerDlg& d) { d.CheckItem(kFirst); }, [](CManagerDlg& d) {
    ASSERT_EQ(d.Focused(), kFirst);
    struct Press {
      const char* name;
      Key key;
      int focus;
      std::vector<unsigned> commands;
    };
    const std::vector<Press> steps = {
        {"down past the hidden one", Key::Down, kSecond, {kSecond}},
        {"down", Key::Down, kThird, {kThird}},
        {"down from the last back to the first", Key::Down, kFirst, {kFirst}},
        {"up from the first to the last", Key::Up, kThird, {kThird}},
    };
    for (const auto& step : steps) {
      SCOPED_TRACE(step.name);
      d.commands.clear();
      d.driver.PressKey(d, step.key);
      EXPECT_EQ(d.Focused(), step.focus);
      EXPECT_EQ(d.commands, step.commands);
      for (int radio : {kFirst, kSecond, kThird}) EXPECT_EQ(d.IsChecked(radio), radio == step.focus) << radio;
    }
    d.EnableItem(kFirst, false);
    d.commands.clear();
    d.driver.PressKey(d, Key::Down);
    EXPECT_EQ(d.Focused(), kSecond) << "past the disabled one and the hidden one";
    d.FocusItem(kPick);
    d.driver.PressKey(d, Key::Down);
    EXPECT_EQ(d.Focused(), kEdit) << "from the push button to the next of its group";
    EXPECT_EQ(d.Enter(), static_cast<unsigned>(kIdOk));
  });
}

// Enter presses a message box's default button (the first unless the style
// names another; a style that names a button the box lacks makes Enter
// answer IDOK). Escape answers IDCANCEL whatever the buttons, as Wine's
// boxes do (Windows documents OK for a lone OK and nothing for a box
// without Cancel; the programs ask nothing of those boxes' Escape).
TEST_P(HostContract, MessageBoxesAnswerEnterAndEscapeAsTheirButtonsSay) {
  constexpr unsigned kDefButton2 = 0x100, kDefButton3 = 0x200;
  struct Case {
    unsigned style;
    Key key;
    int otherwise;  // pressed when the key leaves the box open
    int answer;
  };
  const std::vector<Case> cases = {
      {kMbOk, Key::Enter, kIdOk, kIdOk},
      {kMbOk, Key::Escape, kIdOk, kIdCancel},
      {kMbOkCancel, Key::Enter, kIdCancel, kIdOk},
      {kMbOkCancel | kDefButton2, Key::Enter, kIdOk, kIdCancel},
      {kMbOkCancel, Key::Escape, kIdOk, kIdCancel},
      {kMbYesNo, Key::Enter, kIdNo, kIdYes},
      {kMbYesNo | kDefButton2, Key::Enter, kIdYes, kIdNo},
      {kMbYesNo, Key::Escape, kIdNo, kIdCancel},
      {kMbYesNoCancel | kDefButton3, Key::Enter, kIdYes, kIdCancel},
      {kMbYesNoCancel, Key::Escape, kIdNo, kIdCancel},
      {kMbAbortRetryIgnore, Key::Escape, kIdIgnore, kIdCancel},
      {kMbRetryCancel, Key::Escape, kIdRetry, kIdCancel},
      {kMbRetryCancel | kDefButton3, Key::Enter, kIdCancel, kIdOk},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "style " << c.style << (c.key == Key::Enter ? " Enter" : " Escape"));
    const auto press = [&](CManagerDlg& d) { d.driver.PressKeyInOpenMessageBox(d, c.key, c.otherwise); };
    ExpectRuns(*driver, {}, [&](CManagerDlg& d) {
      d.PostToSelf(kProbe);
      EXPECT_EQ(d.ShowMessageBox("Contract", "Contract", c.style), c.answer);
    }, press);
  }
}

}  // namespace
}  // namespace qv
