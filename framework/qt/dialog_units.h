// Dialog units to pixels on the Qt host, computed as Windows computes them
// from the template's font: the font at its pixel height for 96 dots per
// inch, the average character width of the alphabet and the font's height.
#pragma once

#include <QFont>
#include <QRect>

#include "framework/resource_reader.h"

namespace qv::qt {

struct BaseUnits {
  int x = 0;  // average character width in pixels
  int y = 0;  // character height in pixels
};

// Windows' MulDiv: a * b / c rounded half away from zero; 0 for c == 0.
int MulDiv(int a, int b, int c);

// The template's font; a face that this machine lacks is replaced by its
// metric-compatible counterpart (Liberation Sans for Arial, ...).
QFont TemplateFont(const DialogTemplate& dialogTemplate);

BaseUnits BaseUnitsOf(const QFont& font);

QRect ToPixels(const BaseUnits& units, int x, int y, int cx, int cy);

}  // namespace qv::qt
