// Pictures of the viewer window for the documentation and review: every view of the demo
// disk's files (BASIC listing, hex with a BSAVE header, text, masked text, each picture mode, a
// picture at 2x) and the viewer's popup menu.
#pragma once

#include <QString>

namespace quarnel {

class MainWindow;

// `main` shows the demo disk's root directory. Files the disk does not hold are skipped with a
// note. False when a picture could not be written.
bool RunViewerScreenshots(MainWindow& main, const QString& outDir);

}  // namespace quarnel
