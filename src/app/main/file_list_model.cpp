#include "app/main/file_list_model.h"

#include <algorithm>

#include "app/dialogs/qt_ui.h"
#include "app/main/list_rules.h"
#include "app/main/type_icons.h"
#include "app/messages.h"

namespace quarnel {

const std::string& ColumnText(const FileRow& row, int column) {
  switch (column) {
    case 1:
      return row.sizeText;
    case 2:
      return row.type;
    case 3:
      return row.modified;
    case 4:
      return row.attrib;
    default:
      return row.caption;
  }
}

FileListModel::FileListModel(QObject* parent) : QAbstractTableModel(parent) {}

void FileListModel::SetRows(std::vector<FileRow> rows) {
  beginResetModel();
  rows_ = std::move(rows);
  endResetModel();
}

void FileListModel::SetPartitionRows(bool on) {
  if (partitions_ == on) return;
  partitions_ = on;
  emit headerDataChanged(Qt::Horizontal, 0, kColumns - 1);
}

const FileRow* FileListModel::Row(int r) const {
  if (r < 0 || r >= static_cast<int>(rows_.size())) return nullptr;
  return &rows_[static_cast<std::size_t>(r)];
}

void FileListModel::IconChanged(int slot) {
  for (std::size_t r = 0; r < rows_.size(); ++r)
    if (rows_[r].slot == slot) {
      const QModelIndex i = index(static_cast<int>(r), 0);
      emit dataChanged(i, i, {Qt::DecorationRole});
    }
}

void FileListModel::SortRows(int column, int direction) {
  if (direction == 0) return;
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  QModelIndexList before = persistentIndexList();
  std::vector<int> slotOf;
  for (const QModelIndex& i : before) {
    const FileRow* r = Row(i.row());
    slotOf.push_back(r ? r->slot : -1);
  }
  std::stable_sort(rows_.begin(), rows_.end(), [&](const FileRow& a, const FileRow& b) {
    return CompareListText(ColumnText(a, column), ColumnText(b, column)) * direction < 0;
  });
  QModelIndexList after;
  for (std::size_t k = 0; k < static_cast<std::size_t>(before.size()); ++k) {
    auto it = std::find_if(rows_.begin(), rows_.end(),
                           [&](const FileRow& r) { return r.slot == slotOf[k]; });
    after.push_back(it == rows_.end() ? QModelIndex()
                                      : index(static_cast<int>(it - rows_.begin()),
                                              before[static_cast<qsizetype>(k)].column()));
  }
  changePersistentIndexList(before, after);
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int FileListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int FileListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumns;
}

QVariant FileListModel::data(const QModelIndex& index, int role) const {
  const FileRow* r = Row(index.row());
  if (!r) return {};
  switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
      return ImageText(ColumnText(*r, index.column()), *charset_);
    case Qt::DecorationRole:
      if (index.column() != 0) return {};
      if (rowIcon)
        if (QIcon icon = rowIcon(*r); !icon.isNull()) return icon;
      return TypeIcon(r->icon);
    case Qt::TextAlignmentRole:
      if (index.column() == 1) return QVariant(Qt::AlignRight | Qt::AlignVCenter);
      return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::ToolTipRole:
      return QString::fromLatin1(app_text::kListHint);
    case kSlotRole:
      return r->slot;
    default:
      return {};
  }
}

QVariant FileListModel::headerData(int section, Qt::Orientation o, int role) const {
  if (o != Qt::Horizontal || section < 0 || section >= kColumns) return {};
  if (role == Qt::DisplayRole)
    return QString::fromLatin1(partitions_ ? app_text::kPartitionColumnTitles[section]
                                           : app_text::kColumnTitles[section]);
  if (role == Qt::TextAlignmentRole && section == 1)
    return QVariant(Qt::AlignRight | Qt::AlignVCenter);
  return {};
}

Qt::ItemFlags FileListModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::ItemIsDropEnabled;
  if (partitions_) return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDropEnabled;
  Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
  if (index.column() == 0) f |= Qt::ItemIsEditable;
  return f;
}

bool FileListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::EditRole || index.column() != 0) return false;
  FileRow* r = index.row() >= 0 && index.row() < static_cast<int>(rows_.size())
                   ? &rows_[static_cast<std::size_t>(index.row())]
                   : nullptr;
  if (!r) return false;
  QString text = value.toString();
  const FileRow before = *r;
  const std::optional<std::string> stored = onEdited ? onEdited(before, text) : std::nullopt;
  if (!stored) {
    emit dataChanged(index, index);
    return false;
  }
  // onEdited may have replaced the rows; find the row again by its slot. It shows the name as
  // stored, which may differ from what was typed (upper case).
  for (std::size_t k = 0; k < rows_.size(); ++k) {
    if (rows_[k].slot == before.slot) {
      rows_[k].caption = *stored;
      QModelIndex i = this->index(static_cast<int>(k), 0);
      emit dataChanged(i, i);
      break;
    }
  }
  return true;
}

QStringList FileListModel::mimeTypes() const { return {QStringLiteral("text/uri-list")}; }

Qt::DropActions FileListModel::supportedDropActions() const {
  return Qt::CopyAction | Qt::MoveAction;
}

Qt::DropActions FileListModel::supportedDragActions() const { return Qt::MoveAction; }

}  // namespace quarnel
