// Small steps shared by the screenshot runs of both windows.
#pragma once

#include <QPixmap>
#include <QString>

namespace quarnel {

// Lets pending window work (painting, layout, timers) run for about `ms` milliseconds.
void Settle(int ms = 150);

// Saves `pm` as OUTDIR/NAME in PNG and says so on stdout; false when it cannot be written.
bool Save(const QPixmap& pm, const QString& dir, const QString& name);

}  // namespace quarnel
