#include "app/hex_view.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QHeaderView>
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
    p->setPen(opt.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
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

HexModel::HexModel(QObject* parent) : QAbstractTableModel(parent) {}

void HexModel::SetFile(std::vector<std::uint8_t> bytes, const std::string& extension,
                       int windowWidth, const viewers::MsxCharset* charset) {
  beginResetModel();
  layout_.reset();
  bytes_ = std::move(bytes);
  layout_ = std::make_unique<viewers::HexLayout>(quarnel::Bytes(bytes_.data(), bytes_.size()),
                                                 extension, windowWidth);
  layout_->SetCharset(charset);
  endResetModel();
}

void HexModel::Clear() {
  beginResetModel();
  layout_.reset();
  bytes_.clear();
  endResetModel();
}

QString HexModel::GridCell(std::size_t row, int column) const {
  return layout_ ? Latin(layout_->CellText(row, column)) : QString();
}

int HexModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid() || !layout_) return 0;
  return static_cast<int>(layout_->rowCount() - 1);
}

int HexModel::columnCount(const QModelIndex& parent) const {
  if (parent.isValid() || !layout_) return 0;
  return layout_->columnCount() - 1;
}

QVariant HexModel::data(const QModelIndex& index, int role) const {
  if (!layout_ || !index.isValid()) return {};
  if (role == Qt::DisplayRole)
    return Latin(layout_->CellText(static_cast<std::size_t>(index.row()) + 1, index.column() + 1));
  return {};
}

QVariant HexModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (!layout_ || role != Qt::DisplayRole) return {};
  if (orientation == Qt::Horizontal) return Latin(layout_->CellText(0, section + 1));
  return Latin(layout_->RowLabel(static_cast<std::size_t>(section) + 1));
}

Qt::ItemFlags HexModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

HexGrid::HexGrid(QWidget* parent) : QTableView(parent), model_(new HexModel(this)) {
  setObjectName(QStringLiteral("StringGrid1"));
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
}

void HexGrid::ShowLayout() {
  const viewers::HexLayout* l = model_->Layout();
  if (!l) return;
  verticalHeader()->setFixedWidth(l->ColumnWidth(0));
  for (int c = 1; c < l->columnCount(); ++c) setColumnWidth(c - 1, l->ColumnWidth(c));
  if (model_->rowCount() > 0) setCurrentIndex(model_->index(0, 1));
  scrollToTop();
  horizontalScrollBar()->setValue(0);
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
