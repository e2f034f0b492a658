// Small steps shared by the screenshot runs of both windows.
#pragma once

#include <QPixmap>
#include <QString>

class QWidget;

namespace quarnel {

// Lets pending window work (painting, layout, timers) run for about `ms` milliseconds.
void Settle(int ms = 150);

// The window as a window manager frames it: its title (file name and the unsaved mark) in a bar
// above the contents. Offscreen windows have no frame of their own to grab.
QPixmap WithTitleBar(QWidget& w);

// Saves `pm` as OUTDIR/NAME in PNG and says so on stdout; false when it cannot be written.
bool Save(const QPixmap& pm, const QString& dir, const QString& name);

}  // namespace quarnel
