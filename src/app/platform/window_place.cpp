#include "app/platform/window_place.h"

#include <QMainWindow>
#include <QMenuBar>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace quarnel {

QRect PlaceBeside(const QRect& main, int keepTop, const QSize& outer, const QRect& free) {
  const QSize size = outer.boundedTo(free.size());
  int x = 0;
  int y = std::clamp(main.top(), free.top(), free.bottom() + 1 - size.height());
  if (free.right() - main.right() >= size.width()) {
    x = main.right() + 1;
  } else if (main.left() - free.left() >= size.width()) {
    x = main.left() - size.width();
  } else {
    x = free.right() + 1 - size.width();
    y = std::clamp(keepTop, free.top(), free.bottom() + 1 - size.height());
  }
  return {QPoint(x, y), size};
}

QRect FitOnScreen(const QRect& frame, const QRect& free) {
  const QSize size = frame.size().boundedTo(free.size());
  const int x = std::clamp(frame.left(), free.left(), free.right() + 1 - size.width());
  const int y = std::clamp(frame.top(), free.top(), free.bottom() + 1 - size.height());
  return {QPoint(x, y), size};
}

namespace {

// The decorations the window manager adds around a window's client area.
QMargins Decorations(const QWidget* w) {
  const QRect frame = w->frameGeometry();
  const QRect inner = w->geometry();
  return {inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
          frame.bottom() - inner.bottom()};
}

}  // namespace

void PlaceBesideMain(QWidget* window, const QWidget* main) {
  if (!window || !main) return;
  const QScreen* screen = main->screen();
  if (!screen) return;
  int keepTop = main->geometry().top();
  if (const auto* mw = qobject_cast<const QMainWindow*>(main); mw && mw->menuWidget())
    keepTop += mw->menuWidget()->height();
  const QMargins deco = Decorations(main);
  const QSize outer = window->size().grownBy(deco);
  const QRect placed =
      PlaceBeside(main->frameGeometry(), keepTop, outer, screen->availableGeometry());
  window->resize(placed.size().shrunkBy(deco));
  window->move(placed.topLeft());
}

void KeepOnScreen(QWidget* window, const QWidget* main) {
  if (!window) return;
  const QScreen* screen = window->screen();
  if (!screen) return;
  // A window not yet shown has no frame of its own: the main window's stands for it.
  const bool framed = window->frameGeometry() != window->geometry();
  const QMargins deco = framed || !main ? Decorations(window) : Decorations(main);
  const QRect frame(window->pos(), window->size().grownBy(deco));
  const QRect fitted = FitOnScreen(frame, screen->availableGeometry());
  if (fitted.size() != frame.size()) window->resize(fitted.size().shrunkBy(deco));
  if (fitted.topLeft() != frame.topLeft()) window->move(fitted.topLeft());
}

}  // namespace quarnel
