// The grid of the hex view: a table model over the hex layout of one file (cells are made
// when they are drawn, so a 720 KB file opens at once) and the grid that shows it. The layout's
// row 0 (column numbers) is the grid's horizontal header and its column 0 (row addresses) the
// vertical header, so both stay in place while the grid scrolls; model cell (r, c) is layout
// cell (r + 1, c + 1).
#pragma once

#include <QAbstractTableModel>
#include <QTableView>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tools/hex_grid.h"
#include "viewers/hex_layout.h"

class QLabel;
class QLineEdit;

namespace quarnel {

// "Courier New" where it is installed, otherwise the family the system's fixed font resolves to.
QString CourierNewFamily();
// The family the system's fixed font resolves to ("DejaVu Sans Mono", ...).
QString FixedFamily();
// The family a text or BASIC view shows: the one chosen in Setup, or the fixed font's.
QString ViewFontFamily(const std::string& chosen);

class HexModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit HexModel(QObject* parent = nullptr);

  // Takes the file's bytes and lays them out for a window `windowWidth` pixels wide.
  // `charset` (kept by the caller) shows the character cells in that set; none: the view's own
  // rule (bytes outside 0x20-0x7E as ".").
  void SetFile(std::vector<std::uint8_t> bytes, const std::string& extension, int windowWidth,
               const viewers::MsxCharset* charset = nullptr);
  // Shows one sector's bytes, `bytesPerRow` a row, labelled by their offset in the sector.
  void SetSector(std::vector<std::uint8_t> bytes, int bytesPerRow);
  // Lays the bytes shown out again for a window `windowWidth` wide; false (nothing done) when the
  // bytes per row stay, or while edits are pending (their cells keep their places until they are
  // saved or dropped).
  bool Reflow(int windowWidth);
  void Clear();

  bool IsSector() const { return sector_; }
  int BytesPerRow() const;
  // The edits of the bytes shown (in both views): typed texts, marks and the values.
  tools::HexGrid* Edits() const { return edits_.get(); }
  // Stores the inline editor's text for the byte of layout cell (row, column).
  bool Store(std::size_t row, int column, const QString& typed);

  const viewers::HexLayout* Layout() const { return layout_.get(); }
  const std::vector<std::uint8_t>& FileBytes() const { return bytes_; }
  // The text of layout cell (row, column), header row and column included.
  QString GridCell(std::size_t row, int column) const;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  std::vector<std::uint8_t> bytes_;
  std::string extension_;  // of the file shown, for its layout
  std::unique_ptr<viewers::HexLayout> layout_;
  std::unique_ptr<tools::HexGrid> edits_;
  bool sector_ = false;
};

class HexGrid : public QTableView {
  Q_OBJECT
 public:
  explicit HexGrid(QWidget* parent = nullptr);

  HexModel* Model() const { return model_; }
  // Shows the model's current layout: column widths, header, start cell (2, 1).
  void ShowLayout();
  // The layout column of the current cell and its layout row.
  int CurrentGridColumn() const;
  int CurrentGridRow() const;

  static constexpr int kRowHeight = 18;

  // The inline hex editor: open on the current cell (a character cell edits its hex cell);
  // Enter stores, Escape closes. `edited` runs after every stored edit.
  void OpenEditor();
  QLineEdit* editor() const { return editor_; }
  std::function<void()> edited;
  // The offset display of the top-left cell.
  QString OffsetText() const;
  // Moves the current cell to layout cell (row, column).
  void SetGridCell(std::size_t row, int column);

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
  void updateGeometries() override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void CloseEditor(bool store);
  void UpdateOffset();

  HexModel* model_;
  QLabel* offset_ = nullptr;
  QLineEdit* editor_ = nullptr;
  std::size_t editRow_ = 0;
  int editColumn_ = 0;
};

}  // namespace quarnel
