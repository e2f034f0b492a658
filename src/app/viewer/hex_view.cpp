#include "app/viewer/hex_view.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>

namespace quarnel {

namespace {

QString Latin(const std::string& s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// "Courier New" 9 pt, or the system's fixed font where Courier New is not installed.
QFont GridFont() {
  QFont f(CourierNewFamily(), 9);
  f.setStyleHint(QFont::TypeWriter);
  return f;
}

// Draws a cell as the grid control does: the text 2 pixels from the left edge, never elided
// (a 20-pixel column holds its two hex digits).
class CellDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* p, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QString text = opt.text;
    opt.text.clear();
    const QWidget* w = opt.widget;
    QStyle* style = w ? w->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, p, w);
    const bool selected = opt.state & QStyle::State_Selected;
    p->save();
    p->setFont(opt.font);
    // An edited byte is red; a selected cell takes the highlight colours over its mark.
    const QVariant mark = index.data(Qt::ForegroundRole);
    p->setPen(selected         ? opt.palette.color(QPalette::HighlightedText)
              : mark.isValid() ? mark.value<QColor>()
                               : opt.palette.color(QPalette::Text));
    p->drawText(opt.rect.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, text);
    p->restore();
  }
};

}  // namespace

QString FixedFamily() {
  static const QString family =
      QFontInfo(QFontDatabase::systemFont(QFontDatabase::FixedFont)).family();
  return family;
}

QString CourierNewFamily() {
  static const QString family = QFontDatabase::hasFamily(QStringLiteral("Courier New"))
                                    ? QStringLiteral("Courier New")
                                    : FixedFamily();
  return family;
}

QString ViewFontFamily(const std::string& chosen) {
  return chosen.empty() ? FixedFamily() : QString::fromStdString(chosen);
}

HexModel::HexModel(QObject* parent) : QAbstractTableModel(parent) {}

void HexModel::SetFile(std::vector<std::uint8_t> bytes, const std::string& extension,
                       int windowWidth, const viewers::MsxCharset* charset) {
  beginResetModel();
  layout_.reset();
  bytes_ = std::move(bytes);
  extension_ = extension;
  layout_ = std::make_unique<viewers::HexLayout>(quarnel::Bytes(bytes_.data(), bytes_.size()),
                                                 extension, windowWidth);
  layout_->SetCharset(charset);
  // The bytes the grid shows (after a skipped header) are what the editor edits.
  edits_ = std::make_unique<tools::HexGrid>(
      std::vector<std::uint8_t>(bytes_.begin() + static_cast<std::ptrdiff_t>(layout_->skip()),
                                bytes_.end()),
      layout_->bytesPerRow());
  sector_ = false;
  endResetModel();
}

bool HexModel::Reflow(int windowWidth) {
  if (!edits_ || edits_->changes()) return false;
  const int p = viewers::HexLayout::BytesPerRow(windowWidth);
  if (p == BytesPerRow()) return false;
  if (sector_) {
    SetSector(edits_->Values(), p);
  } else if (layout_) {
    const viewers::MsxCharset* charset = layout_->charset();
    SetFile(std::move(bytes_), extension_, windowWidth, charset);
  }
  return true;
}

void HexModel::SetSector(std::vector<std::uint8_t> bytes, int bytesPerRow) {
  beginResetModel();
  layout_.reset();
  bytes_.clear();
  edits_ = std::make_unique<tools::HexGrid>(std::move(bytes), bytesPerRow);
  sector_ = true;
  endResetModel();
}

void HexModel::Clear() {
  beginResetModel();
  layout_.reset();
  edits_.reset();
  bytes_.clear();
  sector_ = false;
  endResetModel();
}

int HexModel::BytesPerRow() const {
  if (layout_) return layout_->bytesPerRow();
  return edits_ ? edits_->bytesPerRow() : 16;
}

bool HexModel::Store(std::size_t row, int column, const QString& typed) {
  if (!edits_ || !edits_->Store({column, row}, typed.toStdString())) return false;
  const int p = BytesPerRow();
  const int hex = edits_->EditColumn(column);
  const int r = static_cast<int>(row) - 1;
  emit dataChanged(index(r, hex - 1), index(r, hex - 1));
  emit dataChanged(index(r, hex + p), index(r, hex + p));
  return true;
}

QString HexModel::GridCell(std::size_t row, int column) const {
  if (sector_ && edits_) {
    const int p = edits_->bytesPerRow();
    if (row == 0) return Latin(tools::ColumnHeader(column, p));
    if (column == 0) return Latin(tools::SectorRowLabel(row, p));
    return QString::fromLatin1(edits_->ByteCellText({column, row}));
  }
  if (!layout_) return QString();
  if (edits_ && row > 0 && edits_->Marked({column, row}))
    return QString::fromLatin1(edits_->ByteCellText({column, row}));
  return Latin(layout_->CellText(row, column));
}

int HexModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  if (sector_ && edits_) return static_cast<int>(edits_->rowCount() - 1);
  if (!layout_) return 0;
  return static_cast<int>(layout_->rowCount() - 1);
}

int HexModel::columnCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  if (sector_ && edits_) return edits_->columnCount() - 1;
  if (!layout_) return 0;
  return layout_->columnCount() - 1;
}

QVariant HexModel::data(const QModelIndex& index, int role) const {
  if ((!layout_ && !sector_) || !index.isValid()) return {};
  const std::size_t row = static_cast<std::size_t>(index.row()) + 1;
  const int column = index.column() + 1;
  if (role == Qt::DisplayRole) return GridCell(row, column);
  if (role == Qt::ForegroundRole && edits_ && edits_->Marked({column, row}))
    return QColor(255, 0, 0);
  return {};
}

QVariant HexModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (sector_ && edits_) {
    if (orientation == Qt::Horizontal) return GridCell(0, section + 1);
    return GridCell(static_cast<std::size_t>(section) + 1, 0);
  }
  if (!layout_) return {};
  if (orientation == Qt::Horizontal) return Latin(layout_->CellText(0, section + 1));
  return Latin(layout_->RowLabel(static_cast<std::size_t>(section) + 1));
}

Qt::ItemFlags HexModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

HexGrid::HexGrid(QWidget* parent) : QTableView(parent), model_(new HexModel(this)) {
  setObjectName(QStringLiteral("hexGrid"));
  setModel(model_);
  setFont(GridFont());
  setShowGrid(false);
  setWordWrap(false);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(QAbstractItemView::SelectItems);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  setTabKeyNavigation(false);
  setTextElideMode(Qt::ElideNone);
  setItemDelegate(new CellDelegate(this));

  QHeaderView* h = horizontalHeader();
  h->setFont(font());
  h->setMinimumSectionSize(1);
  h->setDefaultSectionSize(24);
  h->setSectionResizeMode(QHeaderView::Interactive);
  h->setHighlightSections(false);
  h->setSectionsClickable(false);
  h->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  h->setFixedHeight(kRowHeight);

  QHeaderView* v = verticalHeader();
  v->setFont(font());
  v->setMinimumSectionSize(1);
  v->setSectionResizeMode(QHeaderView::Fixed);
  v->setDefaultSectionSize(kRowHeight);
  v->setHighlightSections(false);
  v->setSectionsClickable(false);
  v->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  v->setFixedWidth(viewers::HexLayout::ColumnWidth(0, 16));

  // The top-left cell shows the offset of the byte at the cursor.
  offset_ = new QLabel(this);
  offset_->setObjectName(QStringLiteral("offsetCell"));
  offset_->setFont(font());
  offset_->setAutoFillBackground(true);
  offset_->setStyleSheet(QStringLiteral("background: rgb(192,192,192); padding-left: 2px"));

  editor_ = new QLineEdit(viewport());
  editor_->setObjectName(QStringLiteral("cellEditor"));
  editor_->setMaxLength(2);
  editor_->setFont(font());
  editor_->setStyleSheet(QStringLiteral("background: red; color: white; border: none"));
  editor_->hide();
  editor_->installEventFilter(this);
}

void HexGrid::ShowLayout() {
  CloseEditor(false);
  const int p = model_->BytesPerRow();
  if (!model_->Layout() && !model_->IsSector()) return;
  verticalHeader()->setFixedWidth(viewers::HexLayout::ColumnWidth(0, p));
  for (int c = 1; c < 2 * p + 3; ++c) setColumnWidth(c - 1, viewers::HexLayout::ColumnWidth(c, p));
  if (model_->rowCount() > 0) setCurrentIndex(model_->index(0, 1));
  scrollToTop();
  horizontalScrollBar()->setValue(0);
}

QString HexGrid::OffsetText() const {
  const int column = CurrentGridColumn();
  const int row = CurrentGridRow();
  if (column < 0 || row < 1) return QString();
  const QString label = model_->headerData(row - 1, Qt::Vertical, Qt::DisplayRole).toString();
  return QString::fromStdString(
      tools::HexGrid::OffsetDisplay(label.toStdString(), column, model_->BytesPerRow()));
}

void HexGrid::UpdateOffset() {
  if (!offset_) return;
  offset_->setText(OffsetText());
  offset_->raise();
}

void HexGrid::SetGridCell(std::size_t row, int column) {
  if (row < 1 || column < 1) return;
  setCurrentIndex(model_->index(static_cast<int>(row) - 1, column - 1));
}

void HexGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  QTableView::currentChanged(current, previous);
  UpdateOffset();
}

void HexGrid::updateGeometries() {
  QTableView::updateGeometries();
  if (!offset_) return;  // while the constructor sets the model
  const int f = frameWidth();
  offset_->setGeometry(f, f, verticalHeader()->width(), horizontalHeader()->height());
  offset_->raise();
}

void HexGrid::keyPressEvent(QKeyEvent* e) {
  tools::HexGrid* edits = model_->Edits();
  if (!edits || model_->rowCount() == 0) return QTableView::keyPressEvent(e);
  const tools::GridCell at{std::max(CurrentGridColumn(), 2),
                           static_cast<std::size_t>(std::max(CurrentGridRow(), 1))};
  std::optional<tools::GridKey> key;
  switch (e->key()) {
    case Qt::Key_Left:
      key = tools::GridKey::Left;
      break;
    case Qt::Key_Right:
      key = tools::GridKey::Right;
      break;
    case Qt::Key_Up:
      key = tools::GridKey::Up;
      break;
    case Qt::Key_Down:
      key = tools::GridKey::Down;
      break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      OpenEditor();
      return;
    default:
      return QTableView::keyPressEvent(e);
  }
  // Rows past the data are not part of the editor's model: keep to the model's rows.
  tools::GridCell to = edits->Move(at, *key);
  to.row = std::min<std::size_t>(to.row, static_cast<std::size_t>(model_->rowCount()));
  SetGridCell(to.row, to.column);
}

void HexGrid::OpenEditor() {
  tools::HexGrid* edits = model_->Edits();
  if (!edits || CurrentGridRow() < 1) return;
  editRow_ = static_cast<std::size_t>(CurrentGridRow());
  editColumn_ = edits->EditColumn(CurrentGridColumn());
  const QModelIndex cell = model_->index(static_cast<int>(editRow_) - 1, editColumn_ - 1);
  editor_->setGeometry(visualRect(cell).adjusted(0, 0, 8, 0));
  editor_->setText(model_->GridCell(editRow_, editColumn_));
  editor_->show();
  editor_->setFocus();
  editor_->selectAll();
}

void HexGrid::CloseEditor(bool store) {
  if (!editor_ || !editor_->isVisible()) return;
  editor_->hide();
  setFocus();
  if (store && model_->Store(editRow_, editColumn_, editor_->text()) && edited) edited();
}

bool HexGrid::eventFilter(QObject* watched, QEvent* e) {
  if (watched != editor_ || e->type() != QEvent::KeyPress)
    return QTableView::eventFilter(watched, e);
  auto* k = static_cast<QKeyEvent*>(e);
  if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
    CloseEditor(true);
    return true;
  }
  if (k->key() == Qt::Key_Escape) {
    CloseEditor(false);
    return true;
  }
  const QString text = k->text();
  if (text.isEmpty()) return false;
  const char16_t c = text.at(0).unicode();
  if (c > 255 || !tools::HexKeyAccepted(static_cast<unsigned char>(c))) return true;
  if (c >= 'a' && c <= 'f') {
    editor_->insert(text.toUpper());
    return true;
  }
  return false;
}

int HexGrid::CurrentGridColumn() const {
  QModelIndex i = currentIndex();
  return i.isValid() ? i.column() + 1 : -1;
}

int HexGrid::CurrentGridRow() const {
  QModelIndex i = currentIndex();
  return i.isValid() ? i.row() + 1 : -1;
}

}  // namespace quarnel
