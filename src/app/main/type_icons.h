// The file list's icons by type index (0 file, 1 executable, 2 batch, 3 BASIC, 4 binary, 5 ROM,
// 6 directory, 8 volume label), drawn so that they look the same on every desktop.
#pragma once

#include <QIcon>

namespace quarnel {

QIcon TypeIcon(int index);

}  // namespace quarnel
