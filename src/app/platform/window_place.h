// Where a second window of the program (the viewer, the help page) opens: beside the main
// window rather than over its menu bar, and wholly on the screen.
#pragma once

#include <QMargins>
#include <QRect>
#include <QSize>

class QWidget;

namespace quarnel {

// The frame of a window of outer size `outer` placed beside the main window's frame `main` on a
// screen whose free area is `free`: to the main window's right when it fits there, else to its
// left, else against the screen's right edge with its top below `keepTop` (the main window's
// menu bar stays in sight) when the screen is tall enough. The result always lies within
// `free`: a window larger than the free area is made to fit it.
QRect PlaceBeside(const QRect& main, int keepTop, const QSize& outer, const QRect& free);

// The frame `frame` moved (and, when larger than `free`, made smaller) to lie within `free`.
QRect FitOnScreen(const QRect& frame, const QRect& free);

// Places the hidden top-level `window` beside `main` by that rule, before it is shown. Until a
// window has been shown its frame is not known: the main window's frame stands for it.
void PlaceBesideMain(QWidget* window, const QWidget* main);
// Brings the top-level `window`, where it is now and at its size now, within its screen.
void KeepOnScreen(QWidget* window, const QWidget* main);

}  // namespace quarnel
