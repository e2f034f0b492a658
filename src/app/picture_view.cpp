#include "app/picture_view.h"

#include <QPainter>
#include <cstring>

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

PictureView::PictureView(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("Image1"));
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureView::SetImage(QImage image) {
  image_ = std::move(image);
  update();
}

void PictureView::Clear() {
  image_ = QImage();
  update();
}

void PictureView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), palette().color(QPalette::Window));
  if (image_.isNull()) return;
  // Stretched to the client area. Shrinking (screen 7) blends neighbouring pixels so that thin
  // lines survive; enlarging keeps the pixels sharp.
  const bool shrinking = width() < image_.width() || height() < image_.height();
  p.setRenderHint(QPainter::SmoothPixmapTransform, shrinking);
  p.drawImage(rect(), image_);
}

}  // namespace quarnel
