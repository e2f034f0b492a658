#include "app/viewer/picture_view.h"

#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>

namespace quarnel {

QImage PictureImage(const viewers::Picture& p) {
  if (p.width <= 0 || p.height <= 0) return {};
  const std::size_t w = static_cast<std::size_t>(p.width);
  if (p.format == viewers::Picture::Format::Rgb) {
    QImage img(p.width, p.height, QImage::Format_RGB888);
    if (p.pixels.size() < w * 3 * static_cast<std::size_t>(p.height)) return {};
    for (int y = 0; y < p.height; ++y)
      std::memcpy(img.scanLine(y), p.pixels.data() + static_cast<std::size_t>(y) * w * 3, w * 3);
    return img;
  }
  QImage img(p.width, p.height, QImage::Format_Indexed8);
  QList<QRgb> table;
  table.reserve(256);
  for (const viewers::Rgb& c : p.palette) table.push_back(qRgb(c.r, c.g, c.b));
  // Indices beyond the palette (none should occur) show black rather than garbage.
  while (table.size() < 256) table.push_back(qRgb(0, 0, 0));
  img.setColorTable(table);
  if (p.pixels.size() < w * static_cast<std::size_t>(p.height)) return {};
  for (int y = 0; y < p.height; ++y)
    std::memcpy(img.scanLine(y), p.pixels.data() + static_cast<std::size_t>(y) * w, w);
  return img;
}

QSize ShownSize(const viewers::Picture& p, bool squarePixels) {
  const bool halfWide =
      p.mode == viewers::PictureMode::Screen6 || p.mode == viewers::PictureMode::Screen7;
  return QSize(p.width, halfWide && !squarePixels ? 2 * p.height : p.height);
}

int ZoomFactor(PictureZoom zoom) {
  switch (zoom) {
    case PictureZoom::Fit:
      return 0;
    case PictureZoom::X1:
      return 1;
    case PictureZoom::X2:
      return 2;
    case PictureZoom::X3:
      return 3;
  }
  return 0;
}

PictureZoom ZoomStep(PictureZoom zoom, double fitScale, bool in) {
  constexpr PictureZoom kSteps[] = {PictureZoom::X1, PictureZoom::X2, PictureZoom::X3};
  // A fitted picture a hair off a whole factor counts as that factor.
  const double now = zoom == PictureZoom::Fit ? fitScale : ZoomFactor(zoom);
  constexpr double kSlack = 0.01;
  if (in) {
    for (PictureZoom z : kSteps)
      if (ZoomFactor(z) > now + kSlack) return z;
    return PictureZoom::X3;
  }
  for (auto it = std::rbegin(kSteps); it != std::rend(kSteps); ++it)
    if (ZoomFactor(*it) < now - kSlack) return *it;
  return PictureZoom::X1;
}

PictureView::PictureView(QWidget* parent) : QAbstractScrollArea(parent) {
  setObjectName(QStringLiteral("pictureView"));
  setFrameShape(QFrame::NoFrame);
  setFocusPolicy(Qt::StrongFocus);  // the arrow keys scroll a zoomed picture
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureView::SetImage(QImage image, QSize shownSize) {
  image_ = std::move(image);
  drawn_ = image_.convertToFormat(QImage::Format_RGB32);
  shown_ = image_.isNull() ? QSize() : shownSize;
  horizontalScrollBar()->setValue(0);
  verticalScrollBar()->setValue(0);
  UpdateScrollBars();
  viewport()->update();
}

void PictureView::Clear() { SetImage(QImage(), QSize()); }

void PictureView::SetZoom(PictureZoom zoom) {
  zoom_ = zoom;
  UpdateScrollBars();
  viewport()->update();
}

QSize PictureView::ZoomedSize() const {
  const int f = ZoomFactor(zoom_);
  return f == 0 ? shown_ : shown_ * f;
}

double PictureView::FitScale() const {
  if (shown_.isEmpty()) return 1.0;
  const QSize area = viewport()->size();
  return std::min(static_cast<double>(area.width()) / shown_.width(),
                  static_cast<double>(area.height()) / shown_.height());
}

QRect PictureView::PictureRect() const {
  if (shown_.isEmpty()) return {};
  const QSize area = viewport()->size();
  QSize size = ZoomedSize();
  if (zoom_ == PictureZoom::Fit) {
    const double s = FitScale();
    size = QSize(std::max(1, static_cast<int>(std::lround(shown_.width() * s))),
                 std::max(1, static_cast<int>(std::lround(shown_.height() * s))));
  }
  // Centred where the view is larger; scrolled where it is smaller.
  const int x = size.width() <= area.width() ? (area.width() - size.width()) / 2
                                             : -horizontalScrollBar()->value();
  const int y = size.height() <= area.height() ? (area.height() - size.height()) / 2
                                               : -verticalScrollBar()->value();
  return QRect(QPoint(x, y), size);
}

void PictureView::UpdateScrollBars() {
  const QSize size = zoom_ == PictureZoom::Fit ? QSize() : ZoomedSize();
  // A picture that fits the whole area needs no scroll bars, even while they are still shown
  // (and take room) from a larger zoom.
  QSize area = viewport()->size();
  const QSize whole = maximumViewportSize();
  if (size.width() <= whole.width() && size.height() <= whole.height()) area = whole;
  horizontalScrollBar()->setRange(0, std::max(0, size.width() - area.width()));
  horizontalScrollBar()->setPageStep(area.width());
  horizontalScrollBar()->setSingleStep(16);
  verticalScrollBar()->setRange(0, std::max(0, size.height() - area.height()));
  verticalScrollBar()->setPageStep(area.height());
  verticalScrollBar()->setSingleStep(16);
}

void PictureView::resizeEvent(QResizeEvent* e) {
  QAbstractScrollArea::resizeEvent(e);
  UpdateScrollBars();
  if (resized) resized();
}

void PictureView::scrollContentsBy(int, int) { viewport()->update(); }

void PictureView::wheelEvent(QWheelEvent* e) {
  if (e->modifiers() & Qt::ControlModifier) {
    if (wheelZoom && e->angleDelta().y() != 0) wheelZoom(e->angleDelta().y() > 0);
    e->accept();
    return;
  }
  QAbstractScrollArea::wheelEvent(e);
}

void PictureView::paintEvent(QPaintEvent*) {
  QPainter p(viewport());
  p.fillRect(viewport()->rect(), palette().color(QPalette::Window));
  if (drawn_.isNull()) return;
  const QRect target = PictureRect();
  // Enlarged, each MSX pixel stays a sharp block. Shrunk below the picture's own pixels (a
  // small window under Fit), neighbouring pixels are blended so that thin lines survive.
  const bool shrinking = target.width() < image_.width() || target.height() < image_.height();
  p.setRenderHint(QPainter::SmoothPixmapTransform, shrinking);
  p.drawImage(target, drawn_);
}

}  // namespace quarnel
