// Pictures of Find on Disk and Properties for the documentation: the hits of a text searched in
// every file of the open disk, and the properties of its first file.
#pragma once

#include <QString>

namespace quarnel {

class MainWindow;

// Writes OUTDIR/find-on-disk.png and OUTDIR/properties.png. False when a step failed.
bool RunDiskScreenshots(MainWindow& w, const QString& outDir);

}  // namespace quarnel
