#include "tools/hex_grid.h"

#include <algorithm>
#include <cstdio>

namespace quarnel::tools {

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::string Hex(std::uint64_t v) {
  char buf[24];
  std::snprintf(buf, sizeof buf, "%llX", static_cast<unsigned long long>(v));
  return buf;
}

}  // namespace

int BytesPerRowFromColumns(int columns) {
  const int x = std::max(columns - 3, 0);
  int q = x / 2;
  if (x % 2 != 0 && q % 2 != 0) ++q;  // a half rounds to the even neighbour
  return q & 0xFF;
}

bool HexKeyAccepted(unsigned char c) { return c < 32 || HexDigit(static_cast<char>(c)) >= 0; }

std::uint8_t TypedValue(std::string_view typed) {
  unsigned v = 0;
  for (char c : typed) {
    const int d = HexDigit(c);
    if (d >= 0) v = (v * 16 + static_cast<unsigned>(d)) & 0xFF;
  }
  return static_cast<std::uint8_t>(v);
}

HexGrid::HexGrid(std::vector<std::uint8_t> bytes, int bytesPerRow)
    : bytes_(std::move(bytes)), p_(std::max(bytesPerRow, 1)) {}

std::size_t HexGrid::rowCount() const {
  const std::size_t rows = (bytes_.size() + p_ - 1) / p_;
  return 1 + std::max<std::size_t>(rows, 1);
}

std::optional<std::size_t> HexGrid::IndexAt(GridCell cell) const {
  if (cell.row < 1) return std::nullopt;
  int k = -1;
  if (cell.column >= 2 && cell.column <= p_ + 1) k = cell.column - 2;
  if (cell.column >= p_ + 3 && cell.column <= 2 * p_ + 2) k = cell.column - p_ - 3;
  if (k < 0) return std::nullopt;
  const std::size_t index = (cell.row - 1) * p_ + static_cast<std::size_t>(k);
  if (index >= bytes_.size()) return std::nullopt;
  return index;
}

GridCell HexGrid::HexCellOf(std::size_t index) const {
  return {2 + static_cast<int>(index % p_), 1 + index / p_};
}

std::string HexGrid::ByteCellText(GridCell cell) const {
  const auto index = IndexAt(cell);
  if (!index) return "";
  const bool hexCell = cell.column <= p_ + 1;
  const auto edit = edits_.find(*index);
  if (hexCell) {
    if (edit != edits_.end()) return edit->second;
    char buf[4];
    std::snprintf(buf, sizeof buf, "%02X", bytes_[*index]);
    return buf;
  }
  if (edit != edits_.end()) return std::string(1, static_cast<char>(TypedValue(edit->second)));
  const std::uint8_t b = bytes_[*index];
  return std::string(1, b >= 32 && b <= 126 ? static_cast<char>(b) : '.');
}

bool HexGrid::Marked(GridCell cell) const {
  const auto index = IndexAt(cell);
  return index && edits_.count(*index) > 0;
}

bool HexGrid::Store(GridCell cell, std::string_view typed) {
  const auto index = IndexAt(cell);
  if (!index) return false;
  std::string kept;
  for (char c : typed) {
    if (HexDigit(c) < 0 || kept.size() == 2) continue;
    kept += (c >= 'a' && c <= 'f') ? static_cast<char>(c - 'a' + 'A') : c;
  }
  edits_[*index] = kept;
  changes_ = true;
  return true;
}

std::uint8_t HexGrid::Value(std::size_t index) const {
  if (index >= bytes_.size()) return 0;
  const auto edit = edits_.find(index);
  return edit != edits_.end() ? TypedValue(edit->second) : bytes_[index];
}

std::vector<std::uint8_t> HexGrid::Values() const {
  std::vector<std::uint8_t> out = bytes_;
  for (const auto& [index, typed] : edits_) out[index] = TypedValue(typed);
  return out;
}

GridCell HexGrid::Move(GridCell from, GridKey key) const {
  GridCell to = from;
  const int lastColumn = 2 * p_ + 2;
  const std::size_t lastRow = rowCount() - 1;
  switch (key) {
    case GridKey::Left:
      to.column = from.column - 1;
      if (to.column <= 1) to.column = 2;
      if (to.column == p_ + 2) to.column = p_ + 1;
      break;
    case GridKey::Right:
      to.column = std::min(from.column + 1, lastColumn);
      if (to.column == p_ + 2) to.column = p_ + 3;
      break;
    case GridKey::Up:
      to.row = from.row <= 2 ? 1 : from.row - 1;
      break;
    case GridKey::Down:
      to.row = std::min(from.row + 1, lastRow);
      break;
  }
  return to;
}

int HexGrid::EditColumn(int column) const { return column > p_ + 2 ? column - p_ - 1 : column; }

std::string HexGrid::OffsetDisplay(std::string_view rowLabel, int column, int bytesPerRow) {
  std::uint64_t base = 0;
  for (char c : rowLabel) {
    const int d = HexDigit(c);
    if (d >= 0) base = base * 16 + static_cast<unsigned>(d);
  }
  int h = column > bytesPerRow + 2 ? column - bytesPerRow - 1 : column;
  h = std::max(h, 2);
  return Hex(base + static_cast<std::uint64_t>(h - 2));
}

std::string SectorRowLabel(std::size_t row, int bytesPerRow) {
  if (row < 1) return "";
  return Hex((row - 1) * static_cast<std::uint64_t>(bytesPerRow));
}

std::string ColumnHeader(int column, int bytesPerRow) {
  // The low digit only: a column is one character wide, and 0x10-0x1F read "1" each otherwise.
  if (column >= 2 && column <= bytesPerRow + 1) return Hex((column - 2) & 0x0F);
  if (column >= bytesPerRow + 3 && column <= 2 * bytesPerRow + 2)
    return Hex((column - bytesPerRow - 3) & 0x0F);
  return "";
}

}  // namespace quarnel::tools
