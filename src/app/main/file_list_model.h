// The file list of the current image as a table model over the core's rows: five columns
// (Name, Size, Type, Modified, Attrib), the type icon in the first, the slot index under
// Qt::UserRole (the hidden column).
#pragma once

#include <QAbstractTableModel>
#include <QIcon>
#include <functional>
#include <optional>
#include <vector>

#include "listing/file_rows.h"
#include "viewers/msx_charset.h"

namespace quarnel {

class FileListModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  static constexpr int kSlotRole = Qt::UserRole;
  static constexpr int kColumns = 5;

  explicit FileListModel(QObject* parent = nullptr);

  void SetRows(std::vector<FileRow> rows);
  // The character set names are shown and typed in (kept by the caller).
  void SetCharset(const viewers::MsxCharset& charset) { charset_ = &charset; }
  const std::vector<FileRow>& Rows() const { return rows_; }
  // The rows are the partitions of a card image: their own column titles, nothing to rename or
  // drag out.
  void SetPartitionRows(bool on);
  bool PartitionRows() const { return partitions_; }
  const FileRow* Row(int r) const;

  // Sorts the rows by column `column` and direction (+1, -1; 0 keeps the order) with the list's
  // case-insensitive text comparison; rows that compare equal keep their order.
  void SortRows(int column, int direction);

  // The icon a row shows in place of its type icon (a picture file's thumbnail); a null icon
  // keeps the type icon. Set by the window.
  std::function<QIcon(const FileRow& row)> rowIcon;
  // The icon of the row of slot `slot` is to be asked for again.
  void IconChanged(int slot);

  // Called when the user ends an in-place edit of a caption: returns the caption the row shows
  // now (the name as stored), or nullopt to put the old one back.
  std::function<std::optional<std::string>(const FileRow& row, const QString& text)> onEdited;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation o, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  QStringList mimeTypes() const override;
  Qt::DropActions supportedDropActions() const override;
  Qt::DropActions supportedDragActions() const override;

 private:
  std::vector<FileRow> rows_;
  bool partitions_ = false;
  const viewers::MsxCharset* charset_ = &viewers::MsxCharset::International();
};

// The text of a row in a column, as the list shows it.
const std::string& ColumnText(const FileRow& row, int column);

}  // namespace quarnel
