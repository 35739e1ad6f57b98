// The common dialogs of the Qt host: the print-setup chooser over the
// printers that the host was given, and Qt's own (non-native) file chooser.
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QListWidget>
#include <QPushButton>
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
  QDialog dialog(WidgetOf(owner));
  dialog.setWindowTitle(QStringLiteral("Print Setup"));
  auto* layout = new QVBoxLayout(&dialog);
  auto* list = new QListWidget(&dialog);
  list->setObjectName(QStringLiteral("printers"));
  for (const auto& name : choices.names) {
    list->addItem(QString::fromStdString(name));
    if (name == choices.current) list->setCurrentRow(list->count() - 1);
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
  // Nothing to choose, nothing to confirm.
  ok->setEnabled(list->currentRow() >= 0);
  QObject::connect(list, &QListWidget::currentRowChanged, ok, [ok](int row) { ok->setEnabled(row >= 0); });
  QObject::connect(list, &QListWidget::itemDoubleClicked, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  layout->addWidget(list);
  layout->addWidget(buttons);
  AnnounceWhenRunning(&dialog);
  if (dialog.exec() != QDialog::Accepted || list->currentRow() < 0) return std::nullopt;
  return choices.names[static_cast<std::size_t>(list->currentRow())];
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
