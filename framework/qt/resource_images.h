// Icons and bitmaps of the program's compiled resources as Qt images: the
// resource bytes get the file headers that the resource compiler stripped
// and go through Qt's own ICO and BMP readers. Bad data gives a null image.
#pragma once

#include <QIcon>
#include <QImage>

#include "framework/resource_reader.h"

namespace qv::qt {

// Every size of the group icon `id`.
QIcon IconFromResources(const ResourceBundle& resources, unsigned id);
// The largest image of the group icon `id`.
QImage IconImageFromResources(const ResourceBundle& resources, unsigned id);
QImage BitmapFromResources(const ResourceBundle& resources, unsigned id);

}  // namespace qv::qt
