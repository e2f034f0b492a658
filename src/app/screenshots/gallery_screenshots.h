// Pictures of the gallery for the documentation and review: the gallery of the demo disk with
// every thumbnail made, and the main window's large icons showing the same thumbnails.
#pragma once

#include <QString>

namespace quarnel {

class MainWindow;

// `main` shows the demo disk's root directory. False when a picture could not be written.
bool RunGalleryScreenshots(MainWindow& main, const QString& outDir);

}  // namespace quarnel
