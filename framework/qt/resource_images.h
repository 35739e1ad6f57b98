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
// The image of the group icon `id` that an icon static shows: the 32 by 32
// one, as Windows loads it, else the largest.
QImage IconImageFromResources(const ResourceBundle& resources, unsigned id);
QImage BitmapFromResources(const ResourceBundle& resources, unsigned id);

}  // namespace qv::qt
