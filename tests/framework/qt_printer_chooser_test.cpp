// The Qt host's print-setup chooser: the columns of the Windows print-setup
// dialog for each printer, the default marked and current, the text in the
// owner dialog's own font with no icons beside it, the chosen name, none
// when cancelled.
// Radio buttons of the Qt host present themselves as radio buttons.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>

#include "framework/dialog.h"
#include "framework/qt/qt_host.h"
#include "tests/framework/test_resources.h"
#include "tests/support/qt_test_application.h"

namespace qv {
namespace {

class COwnerDlg : public CDialog {
 public:
  explicit COwnerDlg(DialogHost& host) : CDialog(host, 100) {}
};

TEST(QtPrinterChooser, ShowsEachPrinterInTheColumnsOfThePrintSetupDialog) {
  testing::QtTestApplication("qt_printer_chooser");
  const qt::PrinterChoices choices{
      {{"Laser", "Ready", "Generic PCL Laser", "Room 2", "Desk laser"},
       {"A", "Printing", "", "Printer A on QV27-518 switch (LPT1)", "Printer A on QV27-518 switch (LPT1)"},
       {"Plotter", "Stopped", "", "file:/dev/null", ""}},
      "A"};
  qt::QtDialogHost host(FrameworkTestResources(), [&] { return choices; });
  for (const bool accept : {true, false}) {
    SCOPED_TRACE(accept ? "OK" : "Cancel");
    COwnerDlg owner(host);
    std::optional<std::string> chosen = "unset";
    host.ObserveShownWindows([&](QWidget* window) {
      if (window == qt::QtDialogHost::WidgetOf(&owner)) {
        chosen = host.ChoosePrinter(&owner, 0);
        owner.EndDialog(0);
        return;
      }
      auto* list = window->findChild<QTreeWidget*>();
      ASSERT_NE(list, nullptr);
      const QStringList header = {"Name", "Status", "Type", "Where", "Comment"};
      ASSERT_EQ(list->columnCount(), 5);
      for (int column = 0; column < 5; ++column) EXPECT_EQ(list->headerItem()->text(column), header[column]);
      const std::vector<QStringList> rows = {
          {"Laser", "Ready", "Generic PCL Laser", "Room 2", "Desk laser"},
          {"A", "Default printer; Printing", "", "Printer A on QV27-518 switch (LPT1)",
           "Printer A on QV27-518 switch (LPT1)"},
          {"Plotter", "Stopped", "", "file:/dev/null", ""}};
      ASSERT_EQ(list->topLevelItemCount(), 3);
      for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 5; ++column)
          EXPECT_EQ(list->topLevelItem(row)->text(column), rows[row][column]) << row << "," << column;
      EXPECT_EQ(list->currentItem(), list->topLevelItem(1)) << "the chooser opens on the default";
      // The owner's 8-point template font throughout, and text alone on the buttons.
      const QFont font = qt::QtDialogHost::WidgetOf(&owner)->font();
      EXPECT_EQ(QFontInfo(list->font()).pixelSize(), QFontInfo(font).pixelSize());
      EXPECT_EQ(QFontInfo(list->header()->font()).pixelSize(), QFontInfo(font).pixelSize());
      auto* buttons = window->findChild<QDialogButtonBox*>();
      for (QAbstractButton* button : buttons->buttons()) EXPECT_TRUE(button->icon().isNull());
      list->setCurrentItem(list->topLevelItem(2));
      buttons->button(accept ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)->click();
    });
    owner.DoModal();
    EXPECT_EQ(chosen, accept ? std::optional<std::string>("Plotter") : std::nullopt);
  }
}

TEST(QtRadioButtons, PresentThemselvesAsRadioButtons) {
  testing::QtTestApplication("qt_printer_chooser");
  qt::QtDialogHost host(FrameworkTestResources());
  COwnerDlg owner(host);
  host.ObserveShownWindows([&](QWidget*) {
    QAccessibleInterface* radio = QAccessible::queryAccessibleInterface(qt::QtDialogHost::ControlOf(&owner, 10));
    ASSERT_NE(radio, nullptr);
    EXPECT_EQ(radio->role(), QAccessible::RadioButton);
    EXPECT_EQ(radio->text(QAccessible::Name), QStringLiteral("One"));
    EXPECT_TRUE(radio->state().checkable);
    owner.EndDialog(0);
  });
  owner.DoModal();
}

}  // namespace
}  // namespace qv
