#include "app/viewer/rich_text_area.h"

#include <QFont>
#include <QTextBlock>
#include <QTextDocument>

#include "app/viewer/map_cell.h"

namespace quarnel {

namespace {
constexpr int kDefaultPointSize = 10;
}

RichTextArea::RichTextArea(QWidget* parent) : QPlainTextEdit(parent) {
  setObjectName(QStringLiteral("textView"));
  setReadOnly(true);
  setUndoRedoEnabled(false);
  setLineWrapMode(QPlainTextEdit::NoWrap);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  QFont f = font();
  f.setPointSize(kDefaultPointSize);
  document()->setDefaultFont(f);
  Clear();
}

void RichTextArea::Clear() {
  clear();
  format_ = QTextCharFormat();
  format_.setFontFamilies({document()->defaultFont().family()});
  format_.setFontPointSize(kDefaultPointSize);
  format_.setForeground(QColor(Qt::black));
  format_.setFontWeight(QFont::Normal);
  if (building_) build_ = QTextCursor(document());
}

QTextCursor RichTextArea::Caret() const { return building_ ? build_ : textCursor(); }

void RichTextArea::Store(const QTextCursor& c) {
  if (building_)
    build_ = c;
  else
    setTextCursor(c);
}

void RichTextArea::AddLine(const QString& text) {
  QTextCursor c = Caret();
  c.clearSelection();
  c.movePosition(QTextCursor::End);
  const bool lastLineEmpty = c.block().length() <= 1;
  if (lastLineEmpty) {
    c.insertText(text, format_);
    c.insertBlock(QTextBlockFormat(), format_);
  } else {
    c.insertBlock(QTextBlockFormat(), format_);
    c.insertText(text, format_);
  }
  Store(c);
}

void RichTextArea::InsertText(const QString& text) {
  QTextCursor c = Caret();
  c.insertText(text, format_);
  Store(c);
}

void RichTextArea::InsertMapCell(const QString& symbol) {
  QTextCharFormat cell = format_;
  cell.setObjectType(MapCellObject::kObjectType);
  cell.setProperty(MapCellObject::kSymbolProperty, symbol);
  QTextCursor c = Caret();
  c.insertText(QString(QChar::ObjectReplacementCharacter), cell);
  Store(c);
}

void RichTextArea::Apply(const QTextCharFormat& delta) {
  format_.merge(delta);
  QTextCursor c = Caret();
  if (c.hasSelection()) {
    c.mergeCharFormat(delta);
    Store(c);
  }
}

void RichTextArea::ApplyToAll(const QTextCharFormat& delta) {
  format_.merge(delta);
  QTextCursor all(document());
  all.select(QTextCursor::Document);
  all.mergeCharFormat(delta);
}

void RichTextArea::SetFontNameOfAll(const QString& name) {
  QTextCharFormat d;
  d.setFontFamilies({name});
  ApplyToAll(d);
}

void RichTextArea::SetPointSizeOfAll(int points) {
  if (points <= 0) return;
  QTextCharFormat d;
  d.setFontPointSize(points);
  ApplyToAll(d);
}

void RichTextArea::SetFontName(const QString& name) {
  QTextCharFormat d;
  d.setFontFamilies({name});
  Apply(d);
}

void RichTextArea::SetColor(const QColor& colour) {
  QTextCharFormat d;
  d.setForeground(colour);
  Apply(d);
}

void RichTextArea::SetBold(bool bold) {
  QTextCharFormat d;
  d.setFontWeight(bold ? QFont::Bold : QFont::Normal);
  Apply(d);
}

void RichTextArea::SetPointSize(int points) {
  if (points <= 0) return;
  QTextCharFormat d;
  d.setFontPointSize(points);
  Apply(d);
}

QString RichTextArea::CurrentFontName() const {
  const QStringList fam = format_.fontFamilies().toStringList();
  return fam.isEmpty() ? document()->defaultFont().family() : fam.front();
}

int RichTextArea::CurrentPointSize() const {
  const double p = format_.fontPointSize();
  return p > 0 ? static_cast<int>(p + 0.5) : kDefaultPointSize;
}

void RichTextArea::BeginBuild() {
  if (building_) return;
  build_ = textCursor();
  building_ = true;
  build_.beginEditBlock();
}

void RichTextArea::EndBuild() {
  if (!building_) return;
  build_.endEditBlock();
  building_ = false;
  CaretToStart();
}

void RichTextArea::CaretToStart() {
  QTextCursor c = textCursor();
  c.movePosition(QTextCursor::Start);
  setTextCursor(c);
}

}  // namespace quarnel
