// The hex grid's editing as a model, shared by the sector view and the hex view of a file: the
// bytes the grid shows (row 1, column 2 is byte 0), the texts typed into the inline editor, the
// red marks, the cursor's movement and the offset display. Cell texts are made on demand, so a
// 720 KB file costs one copy of its bytes and nothing per cell.
//
// Columns for p bytes per row: 0 row labels, 1 spacer, 2..p+1 hex, p+2 spacer, p+3..2p+2 chars.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/bytes.h"

namespace quarnel::tools {

// Bytes per row from a grid's column count: Round((columns - 3) / 2), halves to even, 8 bits.
int BytesPerRowFromColumns(int columns);

// A key the inline hex editor and the find dialog's hex entry keep: control characters, 0-9,
// A-F, a-f. Everything else (blank, punctuation, G-Z, g-z, 127-255) is dropped.
bool HexKeyAccepted(unsigned char c);

// The value of a typed cell text: up to two hex digits, "" is 0.
std::uint8_t TypedValue(std::string_view typed);

enum class GridKey { Left, Right, Up, Down };

struct GridCell {
  int column = 2;
  std::size_t row = 1;
  bool operator==(const GridCell&) const = default;
};

class HexGrid {
 public:
  HexGrid() = default;
  HexGrid(std::vector<std::uint8_t> bytes, int bytesPerRow);

  int bytesPerRow() const { return p_; }
  int columnCount() const { return 2 * p_ + 3; }
  // Header row included; there is always row 1.
  std::size_t rowCount() const;
  std::size_t byteCount() const { return bytes_.size(); }

  // The byte index a hex or character cell shows.
  std::optional<std::size_t> IndexAt(GridCell cell) const;
  // The hex cell of byte `index`.
  GridCell HexCellOf(std::size_t index) const;

  // Text of a byte cell: hex cells "%02X" or the text as typed; character cells the character
  // ("." outside 32..126), an edited byte its character whatever its code. "" for other cells.
  std::string ByteCellText(GridCell cell) const;
  // The red mark of a cell: its byte was edited.
  bool Marked(GridCell cell) const;

  // Stores the editor's text for the byte of `cell` (a character cell maps to its hex cell);
  // only hex digits are kept, at most two, upper-cased. Returns false for a cell without a byte.
  bool Store(GridCell cell, std::string_view typed);
  // The bytes with the edits applied.
  std::vector<std::uint8_t> Values() const;
  std::uint8_t Value(std::size_t index) const;
  // The edited byte indices with their typed texts.
  const std::map<std::size_t, std::string>& Edits() const { return edits_; }

  // Edited bytes neither written back nor dropped.
  bool changes() const { return changes_; }
  void ClearChanges() { changes_ = false; }

  // The cursor after an arrow key, with the spacer rules.
  GridCell Move(GridCell from, GridKey key) const;
  // The column the editor opens on for a cell: a character column maps to its hex column.
  int EditColumn(int column) const;
  // The offset display of the top-left cell: the row's label read as hex, plus the byte's
  // column within the row; in hex, no padding.
  static std::string OffsetDisplay(std::string_view rowLabel, int column, int bytesPerRow);

 private:
  std::vector<std::uint8_t> bytes_;
  std::map<std::size_t, std::string> edits_;
  int p_ = 16;
  bool changes_ = false;
};

// Sector view labels: a row's label is the offset of its first byte in hex without minimum
// width; column headers of both byte areas are the index 0..p-1 in hex.
std::string SectorRowLabel(std::size_t row, int bytesPerRow);
std::string ColumnHeader(int column, int bytesPerRow);

}  // namespace quarnel::tools
