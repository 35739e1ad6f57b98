// The radio button of the Qt host. The host keeps the radio sets itself (a
// set is a template group, not a parent widget), so Qt's own exclusivity is
// off; Qt would then present the button to assistive technology as a check
// box. This class and its accessible interface keep the radio-button role.
#pragma once

#include <QRadioButton>

namespace qv::qt {

class RadioButton final : public QRadioButton {
  Q_OBJECT

 public:
  RadioButton(const QString& text, QWidget* parent);
};

}  // namespace qv::qt
