#include "app/main/type_icons.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace quarnel {

namespace {

struct Look {
  QColor band;
  const char* badge;
};

Look LookFor(int index) {
  switch (index) {
    case 1:
      return {QColor(0x30, 0x60, 0xC0), "COM"};
    case 2:
      return {QColor(0x60, 0x60, 0x60), "BAT"};
    case 3:
      return {QColor(0x20, 0x90, 0x30), "BAS"};
    case 4:
      return {QColor(0xC0, 0x60, 0x10), "BIN"};
    case 5:
      return {QColor(0x90, 0x20, 0x90), "ROM"};
    default:
      return {QColor(0xA0, 0xA0, 0xA0), ""};
  }
}

QPixmap Draw(int index, int size) {
  QPixmap pm(size, size);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  const qreal s = size;
  if (index == 6) {  // folder
    QPainterPath tab;
    tab.addRoundedRect(QRectF(s * 0.06, s * 0.16, s * 0.40, s * 0.2), s * 0.05, s * 0.05);
    p.fillPath(tab, QColor(0xD8, 0xA8, 0x30));
    QPainterPath body;
    body.addRoundedRect(QRectF(s * 0.06, s * 0.26, s * 0.88, s * 0.60), s * 0.06, s * 0.06);
    p.fillPath(body, QColor(0xF0, 0xC8, 0x48));
    p.setPen(QPen(QColor(0xA0, 0x78, 0x10), 1));
    p.drawPath(body);
    return pm;
  }
  if (index == 8) {  // volume label: a floppy
    QRectF r(s * 0.1, s * 0.1, s * 0.8, s * 0.8);
    p.fillRect(r, QColor(0x30, 0x40, 0x70));
    p.fillRect(QRectF(s * 0.28, s * 0.1, s * 0.44, s * 0.28), QColor(0xC8, 0xC8, 0xD0));
    p.fillRect(QRectF(s * 0.22, s * 0.52, s * 0.56, s * 0.3), Qt::white);
    return pm;
  }
  // A sheet of paper with a coloured band and a short badge.
  QPainterPath sheet;
  const qreal l = s * 0.16, t = s * 0.06, w = s * 0.68, h = s * 0.88, fold = s * 0.2;
  sheet.moveTo(l, t);
  sheet.lineTo(l + w - fold, t);
  sheet.lineTo(l + w, t + fold);
  sheet.lineTo(l + w, t + h);
  sheet.lineTo(l, t + h);
  sheet.closeSubpath();
  p.fillPath(sheet, Qt::white);
  p.setPen(QPen(QColor(0x70, 0x70, 0x70), 1));
  p.drawPath(sheet);
  Look look = LookFor(index);
  QRectF band(s * 0.04, s * 0.52, s * 0.92, s * 0.34);
  p.fillRect(band, look.band);
  if (*look.badge && size >= 24) {
    QFont f;
    f.setPixelSize(static_cast<int>(s * 0.26));
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(band, Qt::AlignCenter, QString::fromLatin1(look.badge));
  }
  return pm;
}

}  // namespace

QIcon TypeIcon(int index) {
  static QHash<int, QIcon> cache;
  auto it = cache.find(index);
  if (it != cache.end()) return *it;
  QIcon icon;
  for (int size : {16, 32, 48, 64}) icon.addPixmap(Draw(index, size));
  cache.insert(index, icon);
  return icon;
}

}  // namespace quarnel
