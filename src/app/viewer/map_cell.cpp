#include "app/viewer/map_cell.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetricsF>
#include <QPainter>
#include <QTextCharFormat>
#include <QTextDocument>
#include <algorithm>
#include <cmath>

namespace quarnel {

void MapCellObject::RegisterWith(QTextDocument* document, const QStringList& symbols) {
  QAbstractTextDocumentLayout* layout = document->documentLayout();
  if (layout->handlerForObject(kObjectType)) return;
  layout->registerHandler(kObjectType, new MapCellObject(layout, symbols));
}

// In whole pixels, so that every cell starts on one.
qreal MapCellObject::CellWidth(const QFont& font) {
  const QString key = font.key();
  if (const auto it = widths_.constFind(key); it != widths_.constEnd()) return *it;
  const QFontMetricsF fm(font);
  qreal widest = fm.horizontalAdvance(QLatin1Char('M'));
  for (const QString& s : symbols_) widest = std::max(widest, fm.horizontalAdvance(s));
  return widths_[key] = std::ceil(widest);
}

QSizeF MapCellObject::intrinsicSize(QTextDocument*, int, const QTextFormat& format) {
  const QFont font = format.toCharFormat().font();
  const QFontMetricsF fm(font);
  return {CellWidth(font), fm.height()};
}

void MapCellObject::drawObject(QPainter* painter, const QRectF& rect, QTextDocument*, int,
                               const QTextFormat& format) {
  const QTextCharFormat cf = format.toCharFormat();
  painter->save();
  painter->setFont(cf.font());
  painter->setPen(cf.foreground().color());
  painter->drawText(rect, Qt::AlignCenter, cf.property(kSymbolProperty).toString());
  painter->restore();
}

}  // namespace quarnel
