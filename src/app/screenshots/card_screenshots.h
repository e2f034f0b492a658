// The picture of a card image in the main window for the documentation: a new card image with
// its partitions listed, above the same window after files of the open disk image were dropped
// on its second partition.
#pragma once

#include <QString>

namespace quarnel {

class MainWindow;

// Writes OUTDIR/main-card.png; the card image is made in `scratch`. False when a step failed.
bool RunCardScreenshot(MainWindow& w, const QString& outDir, const QString& scratch);

}  // namespace quarnel
