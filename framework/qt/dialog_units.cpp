#include "framework/qt/dialog_units.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QString>

#include <cstdlib>

namespace qv::qt {
namespace {

// Faces of Windows dialog templates and the metric-compatible faces that
// Debian's fonts-liberation installs; the text then takes the same room.
struct Substitute {
  const char* face;
  const char* replacement;
};
constexpr Substitute kSubstitutes[] = {
    {"Arial", "Liberation Sans"},
    {"MS Sans Serif", "Liberation Sans"},
    {"MS Shell Dlg", "Liberation Sans"},
    {"MS Shell Dlg 2", "Liberation Sans"},
    {"Tahoma", "Liberation Sans"},
    {"Helv", "Liberation Sans"},
    {"Times New Roman", "Liberation Serif"},
    {"Courier New", "Liberation Mono"},
};

QString AvailableFace(const std::string& face) {
  const QString requested = QString::fromStdString(face);
  if (QFontDatabase::hasFamily(requested)) return requested;
  for (const auto& s : kSubstitutes)
    if (requested.compare(QLatin1String(s.face), Qt::CaseInsensitive) == 0)
      return QLatin1String(s.replacement);
  return QLatin1String("Liberation Sans");
}

}  // namespace

int MulDiv(int a, int b, int c) {
  if (c == 0) return 0;
  const long long product = static_cast<long long>(a) * b;
  const long long half = std::llabs(static_cast<long long>(c)) / 2;
  const bool negative = (product < 0) != (c < 0);
  const long long magnitude = (std::llabs(product) + half) / std::llabs(static_cast<long long>(c));
  return static_cast<int>(negative ? -magnitude : magnitude);
}

QFont TemplateFont(const DialogTemplate& dialogTemplate) {
  // Templates without a font use the system font: 8 points of a sans face.
  const int points = dialogTemplate.pointSize > 0 ? dialogTemplate.pointSize : 8;
  QFont font(AvailableFace(dialogTemplate.typeface.empty() ? "MS Sans Serif"
                                                            : dialogTemplate.typeface));
  // The character height that Windows asks for at 96 dots per inch.
  font.setPixelSize(MulDiv(points, 96, 72));
  if (dialogTemplate.weight >= 600) font.setBold(true);
  font.setItalic(dialogTemplate.italic);
  font.setHintingPreference(QFont::PreferFullHinting);
  return font;
}

BaseUnits BaseUnitsOf(const QFont& font) {
  const QFontMetrics metrics(font);
  const int cx = metrics.horizontalAdvance(
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  return {(cx / 26 + 1) / 2, metrics.ascent() + metrics.descent()};
}

QRect ToPixels(const BaseUnits& units, int x, int y, int cx, int cy) {
  return QRect(MulDiv(x, units.x, 4), MulDiv(y, units.y, 8), MulDiv(cx, units.x, 4),
               MulDiv(cy, units.y, 8));
}

}  // namespace qv::qt
