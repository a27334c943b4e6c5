#pragma once
// The window's pictures, drawn in code so that they stay legible at any scale.

#include <QIcon>
#include <QList>

namespace mz {

// ImageList1: index i is image i (1-based; index 0 is empty). 1 archive stored, 2 downloading,
// 3 root folder, 4 not stored / hot news fetched, 5..24 the category icons, 25 spare,
// 26 keyword.
QList<QIcon> nodeAndCategoryPictures();

// A toolbar picture for a button caption.
QIcon toolbarPicture(const QString &caption);

} // namespace mz
