// A mark of the disk map drawn as a cell of one width. The marks are symbols a text font may
// lack; a symbol taken from a fallback font of another width would shift every mark after it,
// so each mark is an object of the text, as wide as the widest of the map's symbols (and at
// least a letter) in the font it carries, with its symbol drawn centred. It takes one position
// of the text, as a letter would, and follows the font size chosen for the view.
#pragma once

#include <QHash>
#include <QObject>
#include <QStringList>
#include <QTextObjectInterface>

class QTextDocument;

namespace quarnel {

class MapCellObject : public QObject, public QTextObjectInterface {
  Q_OBJECT
  Q_INTERFACES(QTextObjectInterface)
 public:
  // The object type of the cells, and the property of the format holding the symbol.
  static constexpr int kObjectType = QTextFormat::UserObject + 1;
  static constexpr int kSymbolProperty = QTextFormat::UserProperty + 1;

  // Registers the cells with the document's layout (once per layout: a new layout needs it
  // again); `symbols` are all the symbols the cells may show.
  static void RegisterWith(QTextDocument* document, const QStringList& symbols);

  QSizeF intrinsicSize(QTextDocument* doc, int posInDocument, const QTextFormat& format) override;
  void drawObject(QPainter* painter, const QRectF& rect, QTextDocument* doc, int posInDocument,
                  const QTextFormat& format) override;

 private:
  MapCellObject(QObject* parent, QStringList symbols)
      : QObject(parent), symbols_(std::move(symbols)) {}
  qreal CellWidth(const QFont& font);

  QStringList symbols_;
  QHash<QString, qreal> widths_;  // by the font's key
};

}  // namespace quarnel
