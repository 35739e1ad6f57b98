// The common dialogs of the Qt host: the print-setup chooser over the
// printers that the host was given, with the columns of the Windows
// print-setup dialog, and Qt's own (non-native) file chooser.
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QHeaderView>
#include <QIcon>
#include <QTreeWidget>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "framework/qt/qt_host.h"

namespace qv::qt {
namespace {

constexpr unsigned kOfnFileMustExist = 0x1000;

// The description and pattern pairs of a Windows filter list, as Qt name
// filters. A pair without a pattern keeps the one its description names.
QStringList NameFilters(const std::string& filter) {
  QStringList filters;
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start < filter.size()) {
    const std::size_t end = filter.find('\0', start);
    const std::size_t stop = end == std::string::npos ? filter.size() : end;
    parts.push_back(filter.substr(start, stop - start));
    if (end == std::string::npos) break;
    start = end + 1;
    // A second NUL (an empty description) ends the list.
    if (parts.size() % 2 == 0 && start < filter.size() && filter[start] == '\0') break;
  }
  for (std::size_t i = 0; i + 1 <= parts.size(); i += 2) {
    const QString description = QString::fromStdString(parts[i]);
    if (description.isEmpty()) break;
    QString pattern = i + 1 < parts.size() ? QString::fromStdString(parts[i + 1]) : QString();
    pattern.replace(u';', u' ');
    if (pattern.trimmed().isEmpty()) filters << description;
    else filters << description + QStringLiteral(" (") + pattern + QStringLiteral(")");
  }
  return filters;
}

}  // namespace

std::optional<std::string> QtDialogHost::ChoosePrinter(CDialog* owner, unsigned /*flags*/) {
  const PrinterChoices choices = printers_ ? printers_() : PrinterChoices{};
  QWidget* parent = WidgetOf(owner);
  QDialog dialog(parent);
  dialog.setWindowTitle(QStringLiteral("Print Setup"));
  // A window takes no font from its owner by itself: the chooser speaks in
  // the dialog's own (8-point) font, as the platform's chooser does.
  if (parent) dialog.setFont(parent->font());
  auto* layout = new QVBoxLayout(&dialog);
  auto* list = new QTreeWidget(&dialog);
  list->setObjectName(QStringLiteral("printers"));
  list->setRootIsDecorated(false);
  list->setUniformRowHeights(true);
  list->setAllColumnsShowFocus(true);
  list->setHeaderLabels({QStringLiteral("Name"), QStringLiteral("Status"), QStringLiteral("Type"),
                         QStringLiteral("Where"), QStringLiteral("Comment")});
  auto* label = new QLabel(QStringLiteral("&Printer:"), &dialog);
  label->setBuddy(list);
  for (const auto& printer : choices.printers) {
    auto* row = new QTreeWidgetItem(list);
    const std::string* columns[] = {&printer.name, &printer.status, &printer.type, &printer.where,
                                    &printer.comment};
    for (int column = 0; column < 5; ++column)
      row->setText(column, QString::fromStdString(*columns[column]));
    if (printer.name == choices.current) {
      // The default printer says so in its status, as on Windows.
      row->setText(1, printer.status.empty() ? QStringLiteral("Default printer")
                                             : QStringLiteral("Default printer; ") + row->text(1));
      list->setCurrentItem(row);
    }
  }
  // A column as wide as its text up to about 40 characters: a printer with a
  // long comment or location must not push the buttons off the screen. The
  // text cut short is elided, and shown whole in the cell's tooltip.
  const int widest = 40 * list->fontMetrics().averageCharWidth();
  for (int column = 0; column < 5; ++column) {
    list->resizeColumnToContents(column);
    if (list->columnWidth(column) <= widest) continue;
    list->setColumnWidth(column, widest);
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
      QTreeWidgetItem* row = list->topLevelItem(i);
      row->setToolTip(column, row->text(column));
    }
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  // Text alone on the buttons, beside the dialog's small text.
  for (QAbstractButton* button : buttons->buttons()) button->setIcon(QIcon());
  QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
  // Nothing to choose, nothing to confirm.
  ok->setEnabled(list->currentItem() != nullptr);
  QObject::connect(list, &QTreeWidget::currentItemChanged, ok,
                   [ok](QTreeWidgetItem* current) { ok->setEnabled(current != nullptr); });
  QObject::connect(list, &QTreeWidget::itemDoubleClicked, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  layout->addWidget(label);
  layout->addWidget(list);
  layout->addWidget(buttons);
  QSize size = dialog.sizeHint().expandedTo(QSize(list->header()->length() + 40, 0));
  if (const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
    size = size.boundedTo(screen->availableGeometry().size());
  dialog.resize(size);
  AnnounceWhenRunning(&dialog);
  const int row = dialog.exec() == QDialog::Accepted && list->currentItem()
                      ? list->indexOfTopLevelItem(list->currentItem())
                      : -1;
  if (row < 0) return std::nullopt;
  return choices.printers[static_cast<std::size_t>(row)].name;
}

std::optional<std::string> QtDialogHost::ChooseFile(CDialog* owner, const FileChooserRequest& request) {
  QFileDialog dialog(WidgetOf(owner));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode((request.flags & kOfnFileMustExist) ? QFileDialog::ExistingFile
                                                          : QFileDialog::AnyFile);
  QStringList filters = NameFilters(request.filter);
  // Linux programs carry no ".exe": every file must be choosable.
  filters << QStringLiteral("All files (*)");
  dialog.setNameFilters(filters);
  const QString initial = QString::fromStdString(request.initialName);
  if (initial.contains(u'*') || initial.contains(u'?')) {
    dialog.selectNameFilter(filters.front());
  } else if (!initial.isEmpty()) {
    const QFileInfo info(initial);
    if (info.isDir()) {
      dialog.setDirectory(info.absoluteFilePath());
    } else {
      dialog.setDirectory(info.absolutePath());
      dialog.selectFile(info.fileName());
    }
  }
  AnnounceWhenRunning(&dialog);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty()) return std::nullopt;
  return chosen.front().toStdString();
}

}  // namespace qv::qt
