// The Qt host: the dialogs of both programs as Qt 6 widgets, built from the
// same compiled templates that the Windows programs link, read through the
// portable resource reader. A QApplication must exist before the host is made.
#pragma once

#include <deque>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "framework/dialog.h"
#include "framework/resource_reader.h"

class QIcon;
class QObject;
class QWidget;

namespace qv::qt {

// One printer in the print-setup chooser, in the columns of the Windows
// print-setup dialog.
struct PrinterChoice {
  std::string name = {};  // the device name that the chooser returns
  std::string status = {};
  std::string type = {};
  std::string where = {};
  std::string comment = {};
};

// What the print-setup chooser lists, and the name of the current default
// (empty when there is none), on which it opens.
struct PrinterChoices {
  std::vector<PrinterChoice> printers;
  std::string current;
};

class QtWindow;

class QtDialogHost final : public DialogHost {
 public:
  using ControlFactory = std::function<QWidget*(QWidget* parent, const DialogItemTemplate& item)>;
  using PrinterSource = std::function<PrinterChoices()>;
  // Called with every window that the host runs modally (dialogs, message
  // boxes, choosers, the context menu) once its own loop has started, from
  // inside that loop. Tests, screenshots and drivers act from here as a user
  // would, without timers.
  using ShownObserver = std::function<void(QWidget* window)>;
  // Sees each template before its window is built: a program adapts what
  // Windows needs and Linux must not have (the upper-case style of a path
  // field, when Linux paths are case-sensitive).
  using TemplateAdjuster = std::function<void(int templateId, DialogTemplate& dialogTemplate)>;

  explicit QtDialogHost(ResourceBundle resources, PrinterSource printers = {});
  ~QtDialogHost() override;

  // Controls of a class that a template names (e.g. "Percent") are made by
  // this factory; classes nobody registered become empty placeholders.
  void RegisterControlClass(std::string className, ControlFactory factory);
  void ObserveShownWindows(ShownObserver observer) { shownObserver_ = std::move(observer); }
  void AdjustTemplates(TemplateAdjuster adjuster) { templateAdjuster_ = std::move(adjuster); }

  // The widget of a dialog's open window; nullptr when it has none.
  static QWidget* WidgetOf(const CDialog* dialog);
  // The widget of control `id` of an open dialog; nullptr when there is none.
  static QWidget* ControlOf(const CDialog* dialog, int id);

  // DialogHost.
  void PrepareControls() override {}
  int RunModal(CDialog& dialog, int templateId, CDialog* parent) override;
  std::string LoadText(unsigned id) const override;
  IconHandle LoadIconResource(unsigned id) override;
  int ShowMessageBox(CDialog* owner, std::string_view text, std::string_view caption,
                     unsigned style) override;
  bool PumpOneMessage() override;
  void WaitForMessage(std::uint32_t timeoutMs) override;
  std::optional<std::string> ChoosePrinter(CDialog* owner, unsigned flags) override;
  std::optional<std::string> ChooseFile(CDialog* owner, const FileChooserRequest& request) override;

 private:
  friend class QtWindow;
  struct PostedMessage {
    QtWindow* window;
    unsigned message;
    std::uintptr_t wParam;
    std::intptr_t lParam;
  };

  void Enqueue(PostedMessage message);
  bool DeliverOnePosted();
  void Forget(QtWindow* window);
  void AnnounceWhenRunning(QWidget* window);
  const ControlFactory* FactoryFor(const std::string& className) const;

  ResourceBundle resources_;
  PrinterSource printers_;
  ShownObserver shownObserver_;
  TemplateAdjuster templateAdjuster_;
  std::map<std::string, ControlFactory> factories_;
  std::map<unsigned, std::unique_ptr<QIcon>> icons_;
  std::deque<PostedMessage> posted_;
  // The exception of the last handler that failed, for the pump that
  // delivered its message: the handler that pumps ends with it too.
  std::exception_ptr handlerError_;
  std::unique_ptr<QObject> dispatcher_;
};

}  // namespace qv::qt
