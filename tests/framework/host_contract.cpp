// The host contract's cases, on dialogs 100 and 101 of test_dialogs.rc
// (101 holds the dialog manager's rules). Each case runs a script inside
// the open dialog's modal loop. The box and chooser cases are answered by
// the posted message they check: on a real platform a box that never
// delivered it would stay open until the test's time limit. Each
// expectation is what the win32 host shows under Wine.
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
// Controls of dialog 101.
constexpr int kFirst = 61, kHidden = 62, kSecond = 63, kThird = 64, kPick = 65, kEdit = 66;

class CContractDlg;
using Step = std::function<void(CContractDlg&)>;

struct Hooks {
  Step init = {}, probe = {}, sysCommand = {};
};

class CContractDlg : public CDialog {
 public:
  CContractDlg(HostDriver& driver, int templateId)
      : CDialog(driver.Host(), templateId), driver(driver) {}

  HostDriver& driver;
  Hooks hooks;
  Step script;
  std::vector<unsigned> commands;  // every button's command, as it arrives
  unsigned throwOn = 0;            // the command whose handler fails
  int probes = 0;

  using CDialog::CheckItem;
  using CDialog::Default;
  using CDialog::EnableItem;
  using CDialog::FocusItem;
  using CDialog::GetItemText;
  using CDialog::Host;
  using CDialog::IsChecked;
  using CDialog::LimitText;
  using CDialog::PostToSelf;
  using CDialog::PumpOneMessage;
  using CDialog::SetItemText;
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
    if (hooks.init) hooks.init(*this);
    PostToSelf(kRunScript);
    return true;
  }
  void OnOK() override { Record(kIdOk); }
  void OnCancel() override { Record(kIdCancel); }
  template <unsigned Id>
  void OnButton() {
    Record(Id);
  }
  void Record(unsigned id) {
    if (id == throwOn) throw std::runtime_error("handler failed");
    commands.push_back(id);
  }
  void OnRun() { script(*this); }
  void OnProbe() {
    ++probes;
    if (hooks.probe) hooks.probe(*this);
  }
  void OnThrow() { throw std::runtime_error("handler failed"); }
  void OnFinish() { EndDialog(kFinished); }
  void OnSys(unsigned) {
    if (hooks.sysCommand) hooks.sysCommand(*this);
  }

  static const MessageTable* ClassMessageTable() {
    static constexpr MessageEntry kEntries[] = {
        msg::Command<&CContractDlg::OnButton<kRadioThree>>(kRadioThree),
        msg::Command<&CContractDlg::OnButton<kCheck>>(kCheck),
        msg::Command<&CContractDlg::OnButton<kFirst>>(kFirst),
        msg::Command<&CContractDlg::OnButton<kSecond>>(kSecond),
        msg::Command<&CContractDlg::OnButton<kThird>>(kThird),
        msg::Command<&CContractDlg::OnButton<kPick>>(kPick),
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

// Runs dialog `templateId`: `script` inside it, then the dialog ends with
// kFinished once the messages that the script left are dispatched. The
// commands that arrived.
std::vector<unsigned> ExpectRuns(HostDriver& driver, int templateId, const Step& script,
                                 Hooks hooks = {}) {
  CContractDlg dialog(driver, templateId);
  dialog.hooks = std::move(hooks);
  dialog.script = [&](CContractDlg& d) {
    script(d);
    d.PostToSelf(kFinish);
  };
  EXPECT_EQ(dialog.DoModal(), kFinished);
  return dialog.commands;
}

TEST_P(HostContract, StringsAndIconsComeFromTheProgramsResources) {
  DialogHost& host = driver->Host();
  EXPECT_EQ(host.LoadText(4000), "Line one\nLine two");
  EXPECT_EQ(host.LoadText(2), "") << "an empty slot of a table block";
  EXPECT_TRUE(host.LoadIconResource(1));
  EXPECT_FALSE(host.LoadIconResource(999));
}

// An upper-case edit converts what the program sets and what the user
// types; an edit's limit holds for what the user types or pastes only, and
// a paste keeps the first line of what was pasted. The program's text comes
// back as it was set, also when it is no UTF-8 (Windows-1252 text from a
// file made on Windows).
TEST_P(HostContract, EditsConvertToUpperCaseAndLimitOnlyWhatTheUserTypes) {
  ExpectRuns(*driver, 100, [](CContractDlg& d) {
    d.SetItemText(kUpperEdit, "c:\\dir\\file.exe");
    d.SetItemText(kPlainEdit, "c:\\dir");
    EXPECT_EQ(d.GetItemText(kUpperEdit), "C:\\DIR\\FILE.EXE");
    EXPECT_EQ(d.GetItemText(kPlainEdit), "c:\\dir");
    d.driver.Type(d, kUpperEdit, "d:\\x");
    EXPECT_EQ(d.GetItemText(kUpperEdit), "D:\\X");
    d.driver.Paste(d, kPlainEdit, "ab\ncd");
    EXPECT_EQ(d.GetItemText(kPlainEdit), "ab");
    d.driver.Paste(d, kPlainEdit, "/home/u/prog\r\n");
    EXPECT_EQ(d.GetItemText(kPlainEdit), "/home/u/prog");
    d.LimitText(kPlainEdit, 3);
    d.driver.Type(d, kPlainEdit, "abcdef");
    EXPECT_EQ(d.GetItemText(kPlainEdit), "abc");
    d.driver.Paste(d, kPlainEdit, "uvwxyz");
    EXPECT_EQ(d.GetItemText(kPlainEdit), "uvw");
    d.SetItemText(kPlainEdit, "longer than the limit");
    EXPECT_EQ(d.GetItemText(kPlainEdit), "longer than the limit") << "the program's text stays";
    d.SetItemText(kPlainEdit, "M\xFCller \x80 1");
    EXPECT_EQ(d.GetItemText(kPlainEdit), "M\xFCller \x80 1");
  });
}

TEST_P(HostContract, EnterSendsTheDefaultButtonOnlyWhileItIsEnabledAndEscapeCancel) {
  const auto commands = ExpectRuns(*driver, 100, [](CContractDlg& d) {
    d.driver.PressEnter(d);
    EXPECT_EQ(d.commands, std::vector<unsigned>{kIdOk});
    d.EnableItem(kIdOk, false);
    d.driver.PressEnter(d);
    EXPECT_EQ(d.commands, std::vector<unsigned>{kIdOk}) << "a disabled default takes no Enter";
    d.driver.PressKey(d, Key::Escape);
  });
  EXPECT_EQ(commands, (std::vector<unsigned>{kIdOk, kIdCancel}));
}

TEST_P(HostContract, FocusDoesNotMoveToADisabledControl) {
  ExpectRuns(*driver, 100, [](CContractDlg& d) {
    d.FocusItem(kPlainEdit);
    EXPECT_EQ(d.Focused(), kPlainEdit);
    d.FocusItem(kDisabledButton);
    EXPECT_EQ(d.Focused(), kPlainEdit);
    d.EnableItem(kDisabledButton, true);
    d.FocusItem(kDisabledButton);
    EXPECT_EQ(d.Focused(), kDisabledButton);
  });
}

TEST_P(HostContract, TheLastEndDialogCodeWins) {
  CContractDlg dialog(*driver, 100);
  dialog.script = [](CContractDlg& d) {
    d.EndDialog(3);
    d.EndDialog(4);
  };
  EXPECT_EQ(dialog.DoModal(), 4);
  EXPECT_EQ(dialog.Window(), nullptr);
}

// A pump dispatches one posted message at a time (a real queue may hold
// others before them), and a wait ends at once for a message already queued,
// however long it may be.
TEST_P(HostContract, APumpDeliversOnePostedMessageAtATime) {
  ExpectRuns(*driver, 100, [](CContractDlg& d) {
    d.PostToSelf(kProbe);
    d.PostToSelf(kProbe);
    d.Host().WaitForMessage(24u * 60 * 60 * 1000);
    for (int expected : {1, 2}) {
      for (int i = 0; i < 50 && d.probes < expected; ++i) EXPECT_TRUE(d.PumpOneMessage());
      EXPECT_EQ(d.probes, expected);
    }
    while (d.PumpOneMessage()) {
    }
    EXPECT_EQ(d.probes, 2) << "nothing delivered twice";
  });
}

TEST_P(HostContract, AnOpenMessageBoxDeliversPostedMessages) {
  const auto answer = [](CContractDlg& d) { d.driver.AnswerOpenMessageBox(d, kIdCancel); };
  ExpectRuns(*driver, 100, [](CContractDlg& d) {
    d.PostToSelf(kProbe);
    EXPECT_EQ(d.ShowMessageBox("Continue?", "Contract", kMbOkCancel), kIdCancel);
    EXPECT_EQ(d.probes, 1) << "the box's own loop dispatched the posted message";
  }, {.probe = answer});
}

TEST_P(HostContract, OpenChoosersDeliverPostedMessages) {
  const auto cancel = [](CContractDlg& d) { d.driver.CancelOpenChooser(d); };
  ExpectRuns(*driver, 100, [](CContractDlg& d) {
    d.PostToSelf(kProbe);
    FileChooserRequest request;
    request.filter = std::string("Programs\0*.exe\0", 15);
    request.initialName = "*.exe";
    EXPECT_EQ(d.Host().ChooseFile(&d, request), std::nullopt);
    EXPECT_EQ(d.probes, 1) << "the file chooser dispatched the posted message";
    d.PostToSelf(kProbe);
    EXPECT_EQ(d.Host().ChoosePrinter(&d, 0), std::nullopt);
    EXPECT_EQ(d.probes, 2) << "the printer chooser dispatched the posted message";
  }, {.probe = cancel});
}

// The platform turns Close into one Cancel command, posted, unless the
// handler takes Close for itself. The handler here asks for the platform's
// processing and then changes an edit: the edit's own notifications to the
// dialog must not swallow the request.
TEST_P(HostContract, CloseBecomesCancelUnlessTheHandlerTakesIt) {
  for (const bool asks : {true, false}) {
    SCOPED_TRACE(asks ? "the handler asks for the default" : "the handler takes it");
    const auto handler = [asks](CContractDlg& d) {
      if (asks) d.Default();
      d.SetItemText(kPlainEdit, "changed");
    };
    const auto close = [](CContractDlg& d) { d.driver.SystemCommand(d, kScClose); };
    EXPECT_EQ(ExpectRuns(*driver, 100, close, {.sysCommand = handler}),
              asks ? std::vector<unsigned>{kIdCancel} : std::vector<unsigned>{});
  }
}

TEST_P(HostContract, OnlyAClickNotificationIsACommand) {
  ExpectRuns(*driver, 100, [](CContractDlg& d) {
    d.driver.Notify(d, kCheck, 1);
    d.driver.Notify(d, kCheck, 5);
    EXPECT_EQ(d.commands, std::vector<unsigned>{});
    d.driver.Notify(d, kCheck, 0);
    EXPECT_EQ(d.commands, std::vector<unsigned>{kCheck});
  });
}

// A handler's exception ends its dialog and leaves DoModal, whether the
// modal loop dispatched the handler or a key did, and from inside another
// handler's pump it leaves that handler too.
TEST_P(HostContract, AHandlersExceptionEndsTheDialogAndReachesDoModal) {
  struct Case {
    const char* name;
    Step script;
  };
  const Case cases[] = {
      {"a posted message's handler", [](CContractDlg& d) { d.PostToSelf(kThrow); }},
      {"the command of a key",
       [](CContractDlg& d) {
         d.throwOn = kIdOk;
         d.driver.PressEnter(d);
       }},
      {"inside another handler's pump",
       [](CContractDlg& d) {
         d.PostToSelf(kThrow);
         while (d.PumpOneMessage()) {
         }
         ++d.probes;  // must not be reached: the exception leaves this handler too
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CContractDlg dialog(*driver, 100);
    dialog.script = c.script;
    EXPECT_THROW(dialog.DoModal(), std::runtime_error);
    EXPECT_EQ(dialog.probes, 0) << "the pumping handler carried on after the exception";
    EXPECT_EQ(dialog.Window(), nullptr) << "the window is gone with the exception";
  }
}

// The first focus is the first tab stop in template order that is visible
// and enabled; a radio button is a tab stop while it is checked. A push
// button that merely has the focus is not the default: Enter still sends
// the default button.
TEST_P(HostContract, TheFirstFocusIsTheFirstTabStopAndACheckedRadioIsOne) {
  struct Case {
    const char* name;
    Step init;
    int focus;
  };
  const std::vector<Case> cases = {
      {"nothing checked", [](CContractDlg&) {}, kPick},
      {"the second radio checked", [](CContractDlg& d) { d.CheckItem(kSecond); }, kSecond},
      {"only the hidden radio checked", [](CContractDlg& d) { d.CheckItem(kHidden); }, kPick},
      {"a checked radio that is disabled",
       [](CContractDlg& d) {
         d.CheckItem(kFirst);
         d.EnableItem(kFirst, false);
       },
       kPick},
      {"a radio checked and unchecked again",
       [](CContractDlg& d) {
         d.CheckItem(kFirst);
         d.CheckItem(kFirst, false);
       },
       kPick},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ExpectRuns(*driver, 101, [&](CContractDlg& d) {
      EXPECT_EQ(d.Focused(), c.focus);
      EXPECT_EQ(d.Enter(), static_cast<unsigned>(kIdOk));
    }, {.init = c.init});
  }
}

// Tab walks the tab stops in template order and round again; a push button
// that Tab reaches becomes the default while it has the focus, and the
// template's default button is the default again once the focus leaves.
// Focus that the program gives a push button does not make it the default.
TEST_P(HostContract, EnterSendsThePushButtonThatTabReached) {
  ExpectRuns(*driver, 101, [](CContractDlg& d) {
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
  }, {.init = [](CContractDlg& d) { d.CheckItem(kSecond); }});
}

// A click on an automatic radio button checks it and sends its command; it
// takes the check from the visible and enabled members of its own set only
// (the set ends at the next WS_GROUP). A second click leaves it checked.
TEST_P(HostContract, ARadioClickUnchecksOnlyTheVisibleEnabledMembersOfItsSet) {
  struct Case {
    int templateId;
    std::vector<int> checked;  // before the clicks; only the first loses its check
    int disabled, click;
  };
  const Case cases[] = {
      {100, {kRadioOne, kRadioTwo, kRadioLeft}, kRadioTwo, kRadioThree},
      {101, {kFirst, kHidden, kSecond}, kSecond, kThird},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.templateId);
    ExpectRuns(*driver, c.templateId, [&](CContractDlg& d) {
      for (int id : c.checked) d.CheckItem(id);
      d.EnableItem(c.disabled, false);
      for (const unsigned clicks : {1u, 2u}) {
        d.driver.Click(d, c.click);
        EXPECT_TRUE(d.IsChecked(c.click));
        for (int id : c.checked) EXPECT_EQ(d.IsChecked(id), id != c.checked[0]) << id;
        EXPECT_EQ(d.commands, std::vector<unsigned>(clicks, static_cast<unsigned>(c.click)));
      }
    });
  }
}

// The arrow keys go round the visible and enabled members of the focused
// control's group; an automatic radio button that they reach is clicked.
// From a push button they move the focus within its group as well.
TEST_P(HostContract, ArrowKeysGoRoundTheVisibleEnabledMembersOfTheGroup) {
  ExpectRuns(*driver, 101, [](CContractDlg& d) {
    ASSERT_EQ(d.Focused(), kFirst);
    struct Press {
      const char* name;
      Key key;
      int focus;
    };
    const std::vector<Press> steps = {
        {"down past the hidden one", Key::Down, kSecond},
        {"down", Key::Down, kThird},
        {"down from the last back to the first", Key::Down, kFirst},
        {"up from the first to the last", Key::Up, kThird},
    };
    for (const auto& step : steps) {
      SCOPED_TRACE(step.name);
      d.commands.clear();
      d.driver.PressKey(d, step.key);
      EXPECT_EQ(d.Focused(), step.focus);
      EXPECT_EQ(d.commands, std::vector<unsigned>{static_cast<unsigned>(step.focus)}) << "clicked";
      for (int radio : {kFirst, kSecond, kThird})
        EXPECT_EQ(d.IsChecked(radio), radio == step.focus) << radio;
    }
    d.EnableItem(kFirst, false);
    d.driver.PressKey(d, Key::Down);
    EXPECT_EQ(d.Focused(), kSecond) << "past the disabled one and the hidden one";
    d.FocusItem(kPick);
    d.driver.PressKey(d, Key::Down);
    EXPECT_EQ(d.Focused(), kEdit) << "from the push button to the next of its group";
    EXPECT_EQ(d.Enter(), static_cast<unsigned>(kIdOk));
  }, {.init = [](CContractDlg& d) { d.CheckItem(kFirst); }});
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
    const auto press = [&](CContractDlg& d) { d.driver.PressKeyInOpenMessageBox(d, c.key, c.otherwise); };
    ExpectRuns(*driver, 101, [&](CContractDlg& d) {
      d.PostToSelf(kProbe);
      EXPECT_EQ(d.ShowMessageBox("Contract", "Contract", c.style), c.answer);
    }, {.probe = press});
  }
}

}  // namespace
}  // namespace qv
