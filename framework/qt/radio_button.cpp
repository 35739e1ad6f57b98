#include "framework/qt/radio_button.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace qv::qt {
namespace {

class AccessibleRadioButton final : public QAccessibleWidget {
 public:
  explicit AccessibleRadioButton(QWidget* widget) : QAccessibleWidget(widget, QAccessible::RadioButton) {
    addControllingSignal(QStringLiteral("toggled(bool)"));
  }
  QAccessible::State state() const override {
    QAccessible::State state = QAccessibleWidget::state();
    state.checkable = true;
    state.checked = Button()->isChecked();
    return state;
  }
  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Name) {
      QString name = Button()->text();
      return name.remove(QLatin1Char('&'));
    }
    return QAccessibleWidget::text(t);
  }
  QStringList actionNames() const override { return {pressAction()}; }
  void doAction(const QString& action) override {
    if (action == pressAction() && Button()->isEnabled()) Button()->click();
  }

 private:
  QAbstractButton* Button() const { return static_cast<QAbstractButton*>(widget()); }
};

QAccessibleInterface* Factory(const QString& key, QObject* object) {
  if (key == QLatin1String(RadioButton::staticMetaObject.className()) && object && object->isWidgetType())
    return new AccessibleRadioButton(static_cast<QWidget*>(object));
  return nullptr;
}

}  // namespace

RadioButton::RadioButton(const QString& text, QWidget* parent) : QRadioButton(text, parent) {
  static const bool installed = [] {
    QAccessible::installFactory(Factory);
    return true;
  }();
  (void)installed;
  setAutoExclusive(false);
}

}  // namespace qv::qt
