#include "installer/linux/progress_control.h"

#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>

#include "framework/qt/qt_host.h"
#include "installer/progress_geometry.h"

namespace qv::qt {
namespace {

const QColor kGrey(192, 192, 192);
const QColor kBlue(0, 0, 255);

QRect ToRect(const ProgressRect& r) { return QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1)); }

}  // namespace

QtProgressControl::QtProgressControl(QWidget* parent, const ProgressCounters& counters)
    : QWidget(parent), counters_(counters) {
  setFocusPolicy(Qt::NoFocus);
  // Every pixel is painted each time, as the Windows control paints
  // without erasing first.
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void QtProgressControl::paintEvent(QPaintEvent* event) {
  const QFontMetrics metrics = fontMetrics();
  const ProgressGeometry g =
      ComputeProgressGeometry(counters_.done, counters_.total, width(), height(), metrics.height());
  const QString text = QString::fromStdString(g.text);
  // The reference point is the text's horizontal centre and its top, as
  // Windows places text aligned TA_CENTER | TA_TOP.
  const QPoint baseline(g.textX - metrics.horizontalAdvance(text) / 2, g.textY + metrics.ascent());

  QPainter painter(this);
  // Each half is filled and then written on within its own rectangle only:
  // where the bar covers the text, the text shows grey on blue.
  const struct {
    ProgressRect rect;
    QColor fill, ink;
  } parts[] = {{g.filled, kBlue, kGrey}, {g.remainder, kGrey, kBlue}};
  for (const auto& part : parts) {
    if (part.rect.Empty()) continue;
    const QRect rect = ToRect(part.rect);
    painter.save();
    painter.setClipRect(rect);
    painter.fillRect(rect, part.fill);
    painter.setPen(part.ink);
    painter.drawText(baseline, text);
    painter.restore();
  }
  // A one-pixel border along the inside of what this paint covers.
  const QRect covered = event->rect();
  const QColor frame = kBlue;
  painter.fillRect(QRect(covered.left(), covered.top(), covered.width(), 1), frame);
  painter.fillRect(QRect(covered.left(), covered.bottom(), covered.width(), 1), frame);
  painter.fillRect(QRect(covered.left(), covered.top(), 1, covered.height()), frame);
  painter.fillRect(QRect(covered.right(), covered.top(), 1, covered.height()), frame);
}

bool QtProgressControlClass::Register(const ProgressCounters& counters) {
  host_.RegisterControlClass(kClassName, [&counters](QWidget* parent, const DialogItemTemplate&) {
    return new QtProgressControl(parent, counters);
  });
  return true;
}

}  // namespace qv::qt
