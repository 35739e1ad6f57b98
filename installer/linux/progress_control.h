// The progress control on the Qt host: a widget for the class "Percent" that
// dialog 101 names, painting the bar that ComputeProgressGeometry describes
// in the same colours as the Windows control: blue bar with grey text, grey
// rest with blue text, and a blue frame around what each paint covers.
#pragma once

#include <QWidget>

#include "installer/progress_control_class.h"

namespace qv::qt {

class QtDialogHost;

class QtProgressControl final : public QWidget {
 public:
  QtProgressControl(QWidget* parent, const ProgressCounters& counters);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const ProgressCounters& counters_;
};

// Registers the class with the host, whose dialogs then make a
// QtProgressControl wherever a template names "Percent".
class QtProgressControlClass final : public ProgressControlClass {
 public:
  static constexpr const char* kClassName = "Percent";
  explicit QtProgressControlClass(QtDialogHost& host) : host_(host) {}
  bool Register(const ProgressCounters& counters) override;

 private:
  QtDialogHost& host_;
};

}  // namespace qv::qt
