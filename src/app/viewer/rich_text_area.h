// The viewer's read-only text area with per-run font, size, colour and bold. The views and the
// reports write into it with the operations below; each acts at the caret (or on
// the selection) and leaves the caret after what it inserted, so successive calls append.
#pragma once

#include <QColor>
#include <QPlainTextEdit>
#include <QString>
#include <QTextCharFormat>
#include <QTextCursor>

namespace quarnel {

class RichTextArea : public QPlainTextEdit {
  Q_OBJECT
 public:
  explicit RichTextArea(QWidget* parent = nullptr);

  // Empties the text and resets the current attributes (font, size 10, black, not bold).
  void Clear();

  // Appends a whole line after the existing text. When the last line is empty the
  // text fills it and a new empty line follows (the caret moves there); otherwise the text
  // becomes a new last line and the caret stays at its end.
  void AddLine(const QString& text);
  // Inserts the text at the caret with the current attributes.
  void InsertText(const QString& text);
  // Inserts a mark of the disk map (one position, a cell of one width; see map_cell.h) showing
  // `symbol` in the current attributes.
  void InsertMapCell(const QString& symbol);
  // Change the current attributes, and the selected text when there is a selection.
  void SetFontName(const QString& name);
  void SetColor(const QColor& colour);
  void SetBold(bool bold);
  // The point size of the current attributes (and of the selection).
  void SetPointSize(int points);

  // The font or size of the whole text and of what is added after it (the viewer's font boxes).
  void SetFontNameOfAll(const QString& name);
  void SetPointSizeOfAll(int points);

  // The current attributes as the font boxes show them.
  QString CurrentFontName() const;
  int CurrentPointSize() const;
  const QTextCharFormat& CurrentFormat() const { return format_; }

  // While a view builds its text the operations work on a private caret (no scrolling or
  // repainting per run); EndBuild puts the widget's caret at the start.
  void BeginBuild();
  void EndBuild();

  void CaretToStart();

 private:
  QTextCursor Caret() const;
  void Store(const QTextCursor& c);
  void Apply(const QTextCharFormat& delta);
  void ApplyToAll(const QTextCharFormat& delta);

  QTextCharFormat format_;
  QTextCursor build_;
  bool building_ = false;
};

}  // namespace quarnel
