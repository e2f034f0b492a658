// Pictures of the main window for the documentation: empty, with an image, inside a
// subdirectory, and with the file list's context menu open. Runs with its own settings and
// temporary folders, so the user's settings are untouched.
#pragma once

#include <QString>

namespace quarnel {

// Writes the PNGs into `outDir`; `image` is the disk image to show (may be empty). Returns the
// process exit code.
int RunScreenshots(const QString& outDir, const QString& image);

}  // namespace quarnel
