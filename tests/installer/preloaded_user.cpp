// A user at the native setup's screen, for the hostile-medium runner: loaded
// into the real `setup` program with LD_PRELOAD, it starts with the Qt
// application and then, as a user would, reads the path field once the
// start-up is done (typing QV_DRIVER_TYPE into it when set), presses Setup,
// writes the text of every message box to the file QV_DRIVER_LOG and
// answers it (Cancel to a Retry/Cancel prompt, OK to the others), and after
// an invalid path leaves the program through Cancel.
#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <set>

namespace {

void Log(const QString& line) {
  const char* path = std::getenv("QV_DRIVER_LOG");
  if (!path) return;
  if (std::FILE* out = std::fopen(path, "a")) {
    std::fprintf(out, "%s\n", line.toUtf8().constData());
    std::fclose(out);
  }
}

QAbstractButton* Button(QWidget* window, const QString& text) {
  for (QAbstractButton* button : window->findChildren<QAbstractButton*>())
    if (button->text().remove(QLatin1Char('&')) == text) return button;
  return nullptr;
}

struct User {
  std::set<QWidget*> answered;
  bool setupPressed = false;
  bool leaving = false;
  bool pathRefused = false;

  void Look() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
      if (!window->isVisible()) continue;
      if (auto* box = qobject_cast<QMessageBox*>(window)) {
        Answer(box);
        return;
      }
    }
    for (QWidget* window : QApplication::topLevelWidgets())
      if (window->isVisible() && window->windowTitle() == QStringLiteral("QV27-518 Installation Program")) Drive(window);
  }

  void Answer(QMessageBox* box) {
    if (!answered.insert(box).second) return;
    const QString text = box->text();
    Log(QStringLiteral("box ") + text);
    if (text == QStringLiteral("Installation path is invalid.")) pathRefused = true;
    QAbstractButton* button = Button(box, QStringLiteral("Cancel"));
    if (!text.startsWith(QStringLiteral("Error to open file")) || !button) button = Button(box, QStringLiteral("OK"));
    if (button) QTimer::singleShot(0, button, &QAbstractButton::click);
  }

  void Drive(QWidget* dialog) {
    bool ready = false;
    for (QLabel* label : dialog->findChildren<QLabel*>())
      ready = ready || label->text() == QStringLiteral("Initialization is done, press Setup to proceed.");
    auto* field = dialog->findChild<QLineEdit*>();
    if (ready && !setupPressed && field) {
      setupPressed = true;
      Log(QStringLiteral("field ") + field->text());
      if (const char* typed = std::getenv("QV_DRIVER_TYPE")) field->setText(QString::fromUtf8(typed));
      // Clicked from a fresh event: this timer is not run again while its
      // own handler runs, and Setup's messages come from inside the click.
      if (QAbstractButton* setup = Button(dialog, QStringLiteral("Setup")))
        QTimer::singleShot(0, setup, &QAbstractButton::click);
    } else if (pathRefused && !leaving) {
      leaving = true;
      if (QAbstractButton* cancel = Button(dialog, QStringLiteral("Cancel")))
        QTimer::singleShot(0, cancel, &QAbstractButton::click);
    }
  }
};

void Start() {
  auto* timer = new QTimer(QCoreApplication::instance());
  static User user;
  QObject::connect(timer, &QTimer::timeout, [] { user.Look(); });
  timer->start(20);
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(Start)
