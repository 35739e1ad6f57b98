// The Qt host on Qt's offscreen platform, beyond the host contract: widgets
// built from the templates at the places Windows' dialog-unit rules give,
// custom controls, the real keys, mouse and close box, message boxes, the
// context menu of the system-menu items, the file chooser, the print-setup
// chooser and what the radio buttons tell accessibility tools. Each modal
// window is driven from the host's shown-window observer, inside its own
// loop: no timers.
#include "framework/qt/qt_host.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFontInfo>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest/QTest>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "framework/dialog.h"
#include "framework/qt/dialog_units.h"
#include "framework/window_constants.h"
#include "installer/installer_resources.h"
#include "setting/setting_resources.h"
#include "tests/framework/test_resources.h"
#include "tests/support/qt_test_application.h"

namespace qv {
namespace {

QApplication& App() { return testing::QtTestApplication("qt_host_test"); }

class CProbeDlg : public CDialog {
 public:
  CProbeDlg(DialogHost& host, int templateId) : CDialog(host, templateId) {}
  std::vector<unsigned> commands, sysCommands;

  using CDialog::AddSystemMenuItem;
  using CDialog::IsChecked;
  using CDialog::ShowMessageBox;

 protected:
  void OnOK() override { Record(kIdOk); }
  void OnCancel() override { Record(kIdCancel); }
  void Record(unsigned id) {
    commands.push_back(id);
    EndDialog(static_cast<int>(id));
  }
  void OnSys(unsigned command) { sysCommands.push_back(command); }

  static const MessageTable* ClassMessageTable() {
    static constexpr MessageEntry kEntries[] = {
        msg::SysCommand<&CProbeDlg::OnSys>(),
    };
    static const MessageTable kTable{CDialog::ClassMessageTable(), kEntries};
    return &kTable;
  }
  const MessageTable* GetMessageTable() const override { return ClassMessageTable(); }
};

using Shown = std::function<void(QWidget*)>;

// Runs the dialog: `inside` once it shows, then the dialog ends; `other`
// gets each window that opens from `inside`.
void RunInside(qt::QtDialogHost& host, CProbeDlg& dialog, Shown inside, Shown other = {}) {
  host.ObserveShownWindows([&dialog, inside, other](QWidget* w) {
    if (w != qt::QtDialogHost::WidgetOf(&dialog)) return other(w);
    inside(w);
    dialog.EndDialog(0);
  });
  dialog.DoModal();
}

class QtHostTest : public ::testing::Test {
 protected:
  QApplication& app = App();  // before the host
  qt::PrinterChoices printers;
  qt::QtDialogHost host{FrameworkTestResources(), [this] { return printers; }};
};

// Dialog units to pixels at the base units of Arial 8, 6 by 12 (worked out
// here with MulDiv, not with the host's own conversion).
QRect Pixels(int x, int y, int cx, int cy) {
  return {qt::MulDiv(x, 6, 4), qt::MulDiv(y, 12, 8), qt::MulDiv(cx, 6, 4), qt::MulDiv(cy, 12, 8)};
}

TEST(QtDialogUnits, MulDivRoundsHalvesAwayFromZero) {
  EXPECT_EQ(qt::MulDiv(5, 6, 4), 8);    // 7.5
  EXPECT_EQ(qt::MulDiv(3, 6, 4), 5);    // 4.5
  EXPECT_EQ(qt::MulDiv(1, 6, 4), 2);    // 1.5
  EXPECT_EQ(qt::MulDiv(-5, 6, 4), -8);  // -7.5
  EXPECT_EQ(qt::MulDiv(7, 13, 8), 11);  // 11.375
  EXPECT_EQ(qt::MulDiv(7, 13, 0), 0);
}

TEST(QtDialogUnits, ArialBecomesLiberationSansWithItsWindowsBaseUnits) {
  App();
  DialogTemplate arial;
  arial.pointSize = 8;
  arial.typeface = "Arial";
  const QFont font = qt::TemplateFont(arial);
  EXPECT_EQ(QFontInfo(font).family(), QStringLiteral("Liberation Sans"));
  EXPECT_EQ(font.pixelSize(), 11);
  // Arial at 11 pixels: ascent 10 and descent 2 (its Windows ascent and
  // descent scaled and rounded, as GDI does). The metric-compatible face
  // must give the same or every layout shifts.
  const qt::BaseUnits units = qt::BaseUnitsOf(font);
  EXPECT_EQ(units.x, 6);
  EXPECT_EQ(units.y, 12);
}

TEST(QtSettingDialog, EveryControlOfTheSettingDialogSitsWhereTheDialogUnitsPutIt) {
  App();
  const ResourceBundle resources = *ResourceBundle::FromResFile(SettingResourceBytes());
  const DialogTemplate tpl = *resources.Dialog(102);
  qt::QtDialogHost host(resources);
  CProbeDlg dialog(host, 102);
  std::size_t controls = 0;
  RunInside(host, dialog, [&](QWidget* window) {
    EXPECT_EQ(window->size(), Pixels(0, 0, tpl.cx, tpl.cy).size());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("QV27-518 Setting Program"));
    for (const auto& item : tpl.items) {
      SCOPED_TRACE(item.id);
      QWidget* w = qt::QtDialogHost::ControlOf(&dialog, static_cast<int>(item.id));
      ASSERT_NE(w, nullptr);
      ++controls;
      const QRect place = Pixels(item.x, item.y, item.cx, item.cy);
      // The icon static keeps its corner and takes the icon's 32 by 32 pixels.
      EXPECT_EQ(w->geometry(), item.id == 1030 ? QRect(place.topLeft(), QSize(32, 32)) : place);
    }
    auto* icon = qobject_cast<QLabel*>(qt::QtDialogHost::ControlOf(&dialog, 1030));
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->pixmap().size(), QSize(32, 32));
    auto* set = qobject_cast<QPushButton*>(qt::QtDialogHost::ControlOf(&dialog, kIdOk));
    ASSERT_NE(set, nullptr);
    EXPECT_TRUE(set->isDefault());
  });
  EXPECT_EQ(controls, 34u);
}

TEST(QtSettingDialog, TheAboutBitmapComesFromTheResources) {
  App();
  qt::QtDialogHost host(*ResourceBundle::FromResFile(SettingResourceBytes()));
  CProbeDlg about(host, 101);
  RunInside(host, about, [&](QWidget*) {
    auto* bitmap = qobject_cast<QLabel*>(qt::QtDialogHost::ControlOf(&about, 1030));
    ASSERT_NE(bitmap, nullptr);
    EXPECT_FALSE(bitmap->pixmap().isNull());
    EXPECT_GT(bitmap->pixmap().width(), 100);
  });
}

TEST(QtCustomControls, ARegisteredClassMakesItsControlsAndOthersGetAPlaceholder) {
  App();
  // The installer's progress display (1007) is of its own class "Percent".
  for (bool registered : {true, false}) {
    SCOPED_TRACE(registered);
    qt::QtDialogHost host(*ResourceBundle::FromResFile(InstallerResourceBytes()));
    const DialogItemTemplate* seen = nullptr;
    if (registered)
      host.RegisterControlClass("PERCENT", [&](QWidget* parent, const DialogItemTemplate& item) {
        seen = &item;
        return new QLabel(QStringLiteral("made"), parent);
      });
    CProbeDlg dialog(host, 101);
    RunInside(host, dialog, [&](QWidget*) {
      QWidget* control = qt::QtDialogHost::ControlOf(&dialog, 1007);
      ASSERT_NE(control, nullptr);
      auto* label = qobject_cast<QLabel*>(control);
      EXPECT_EQ(label != nullptr && label->text() == QStringLiteral("made"), registered);
      // Where the template puts it, whoever made it.
      EXPECT_EQ(control->geometry(), Pixels(215, 149, 50, 12));
      EXPECT_TRUE(control->isVisible());
    });
    EXPECT_EQ(seen != nullptr, registered);
  }
}

// What a click does to a radio set, and what Close left to the platform
// does, are the host contract's; here the real mouse, keypad and close box,
// which the contract's driver does not use.
TEST_F(QtHostTest, KeysMouseAndTheCloseBoxSendWhatWindowsSends) {
  struct Case {
    const char* name;
    std::function<void(CProbeDlg&, QWidget*)> act;
    std::vector<unsigned> commands;
    std::vector<unsigned> sysCommands;
  };
  const std::vector<Case> cases = {
      {"keypad Enter with the focus put on a push button presses the default one",
       [](CProbeDlg& d, QWidget* w) {
         qt::QtDialogHost::ControlOf(&d, kIdCancel)->setFocus();
         QTest::keyClick(w, Qt::Key_Enter);
       },
       {kIdOk}, {}},
      {"a mouse click on an automatic radio button checks it",
       [](CProbeDlg& d, QWidget*) {
         QTest::mouseClick(qt::QtDialogHost::ControlOf(&d, 11), Qt::LeftButton);
         EXPECT_TRUE(d.IsChecked(11));
         d.EndDialog(9);
       },
       {}, {}},
      {"the close box asks the dialog, which may keep it open",
       [](CProbeDlg& d, QWidget* w) {
         w->close();
         EXPECT_TRUE(w->isVisible());
         d.EndDialog(9);
       },
       {}, {kScClose}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CProbeDlg dialog(host, 100);
    host.ObserveShownWindows([&](QWidget* w) { c.act(dialog, w); });
    dialog.DoModal();
    EXPECT_EQ(dialog.commands, c.commands);
    EXPECT_EQ(dialog.sysCommands, c.sysCommands);
  }
}

TEST_F(QtHostTest, MessageBoxesShowWindowsButtonsAndAnswerWithTheirIds) {
  struct Case {
    unsigned style;
    QStringList buttons;
    int press;  // index of the button pressed; Escape is the host contract's
    int answer;
    QMessageBox::Icon icon;
  };
  const std::vector<Case> cases = {
      {kMbOk | kMbIconInformation, {"OK"}, 0, kIdOk, QMessageBox::Information},
      {kMbOkCancel | kMbIconQuestion, {"OK", "Cancel"}, 1, kIdCancel, QMessageBox::Question},
      {kMbYesNo | kMbIconExclamation, {"&Yes", "&No"}, 1, kIdNo, QMessageBox::Warning},
      {kMbRetryCancel | kMbIconStop, {"&Retry", "Cancel"}, 0, kIdRetry, QMessageBox::Critical},
      {kMbYesNoCancel, {"&Yes", "&No", "Cancel"}, 0, kIdYes, QMessageBox::NoIcon},
      {kMbAbortRetryIgnore, {"&Abort", "&Retry", "&Ignore"}, 2, kIdIgnore, QMessageBox::NoIcon},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.style);
    CProbeDlg dialog(host, 100);
    int answer = 0;
    const auto show = [&](QWidget*) { answer = dialog.ShowMessageBox("Text", "Caption", c.style); };
    RunInside(host, dialog, show, [&](QWidget* w) {
      auto* box = qobject_cast<QMessageBox*>(w);
      ASSERT_NE(box, nullptr);
      EXPECT_EQ(box->parentWidget(), qt::QtDialogHost::WidgetOf(&dialog));
      EXPECT_EQ(box->windowTitle(), QStringLiteral("Caption"));
      EXPECT_EQ(box->text(), QStringLiteral("Text"));
      EXPECT_EQ(box->icon(), c.icon);
      QStringList texts;
      for (QAbstractButton* b : box->findChild<QDialogButtonBox*>()->buttons()) texts << b->text();
      EXPECT_EQ(texts, c.buttons);
      box->findChild<QDialogButtonBox*>()->buttons()[c.press]->click();
    });
    EXPECT_EQ(answer, c.answer);
  }
}

TEST_F(QtHostTest, TheProgramsSystemMenuItemsFormTheContextMenu) {
  CProbeDlg dialog(host, 100);
  QStringList shown;
  const auto rightClick = [&](QWidget* w) {
    dialog.AddSystemMenuItem(0x0010, "&About Test...");
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), w->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(w, &event);
    QApplication::processEvents();
  };
  RunInside(host, dialog, rightClick, [&](QWidget* w) {
    auto* menu = qobject_cast<QMenu*>(w);
    ASSERT_NE(menu, nullptr);
    for (QAction* a : menu->actions()) shown << (a->isSeparator() ? QStringLiteral("-") : a->text());
    menu->actions().back()->trigger();
    menu->close();
  });
  EXPECT_EQ(shown, QStringList{QStringLiteral("&About Test...")});
  EXPECT_EQ(dialog.sysCommands, std::vector<unsigned>{0x0010});
}

// A cancelled chooser: the host contract's chooser case.
TEST_F(QtHostTest, TheFileChooserOffersAllFilesBesideTheFiltersOwnEntry) {
  QTemporaryDir dir;
  const QString program = dir.filePath(QStringLiteral("transfer"));
  QFile file(program);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.close();
  CProbeDlg dialog(host, 100);
  std::optional<std::string> chosen;
  const FileChooserRequest request{std::string("Executables (*.exe)\0\0", 21), "*.exe", 0x0804};
  const auto choose = [&](QWidget*) { chosen = host.ChooseFile(&dialog, request); };
  RunInside(host, dialog, choose, [&](QWidget* w) {
    auto* chooser = qobject_cast<QFileDialog*>(w);
    ASSERT_NE(chooser, nullptr);
    EXPECT_EQ(chooser->nameFilters(),
              (QStringList{QStringLiteral("Executables (*.exe)"), QStringLiteral("All files (*)")}));
    EXPECT_TRUE(chooser->testOption(QFileDialog::DontUseNativeDialog));
    chooser->setDirectory(dir.path());
    chooser->selectFile(program);
    QTest::keyClick(chooser, Qt::Key_Return);
  });
  EXPECT_EQ(chosen, program.toStdString());
}

// The columns of the Windows print-setup dialog for each printer, the
// default marked and current, the text in the owner dialog's own font with
// no icons beside it, the chosen name, none when cancelled.
TEST_F(QtHostTest, ThePrinterChooserShowsEachPrinterInTheColumnsOfThePrintSetupDialog) {
  printers = {
      {{"Laser", "Ready", "Generic PCL Laser", "Room 2", "Desk laser"},
       {"A", "Printing", "", "Printer A on QV27-518 switch (LPT1)", "Printer A on QV27-518 switch (LPT1)"},
       {"Plotter", "Stopped", "", "file:/dev/null", ""},
       {"Wide", "Ready", "", "", std::string(3000, 'x')}},
      "A"};
  for (const bool accept : {true, false}) {
    SCOPED_TRACE(accept ? "OK" : "Cancel");
    CProbeDlg owner(host, 100);
    std::optional<std::string> chosen = "unset";
    const auto choose = [&](QWidget*) { chosen = host.ChoosePrinter(&owner, 0); };
    RunInside(host, owner, choose, [&](QWidget* window) {
      auto* list = window->findChild<QTreeWidget*>();
      ASSERT_NE(list, nullptr);
      const QStringList header = {"Name", "Status", "Type", "Where", "Comment"};
      ASSERT_EQ(list->columnCount(), 5);
      for (int column = 0; column < 5; ++column) EXPECT_EQ(list->headerItem()->text(column), header[column]);
      const std::vector<QStringList> rows = {
          {"Laser", "Ready", "Generic PCL Laser", "Room 2", "Desk laser"},
          {"A", "Default printer; Printing", "", "Printer A on QV27-518 switch (LPT1)",
           "Printer A on QV27-518 switch (LPT1)"},
          {"Plotter", "Stopped", "", "file:/dev/null", ""},
          {"Wide", "Ready", "", "", QString(3000, u'x')}};
      ASSERT_EQ(list->topLevelItemCount(), 4);
      for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 5; ++column)
          EXPECT_EQ(list->topLevelItem(row)->text(column), rows[row][column]) << row << "," << column;
      EXPECT_EQ(list->currentItem(), list->topLevelItem(1)) << "the chooser opens on the default";
      // The owner's 8-point template font throughout, and text alone on the buttons.
      const QFont font = qt::QtDialogHost::WidgetOf(&owner)->font();
      EXPECT_EQ(QFontInfo(list->font()).pixelSize(), QFontInfo(font).pixelSize());
      EXPECT_EQ(QFontInfo(list->header()->font()).pixelSize(), QFontInfo(font).pixelSize());
      auto* buttons = window->findChild<QDialogButtonBox*>();
      for (QAbstractButton* button : buttons->buttons()) EXPECT_TRUE(button->icon().isNull());
      // A long comment is cut short in its column and whole in its tooltip;
      // the window, and so its buttons, stay on the screen.
      EXPECT_TRUE(list->topLevelItem(3)->toolTip(4) == rows[3][4]) << "the whole comment";
      EXPECT_LE(window->width(), window->screen()->availableGeometry().width());
      EXPECT_LE(buttons->mapTo(window, buttons->rect().bottomRight()).x(), window->width());
      list->setCurrentItem(list->topLevelItem(2));
      buttons->button(accept ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)->click();
    });
    EXPECT_EQ(chosen, accept ? std::optional<std::string>("Plotter") : std::nullopt);
  }
}

TEST_F(QtHostTest, RadioButtonsPresentThemselvesAsRadioButtons) {
  CProbeDlg owner(host, 100);
  RunInside(host, owner, [&](QWidget*) {
    QAccessibleInterface* radio =
        QAccessible::queryAccessibleInterface(qt::QtDialogHost::ControlOf(&owner, 10));
    ASSERT_NE(radio, nullptr);
    EXPECT_EQ(radio->role(), QAccessible::RadioButton);
    EXPECT_EQ(radio->text(QAccessible::Name), QStringLiteral("One"));
    EXPECT_TRUE(radio->state().checkable);
  });
}

}  // namespace
}  // namespace qv
