// The hex view's grid as a model: computed on demand from the file bytes, so a view can page
// through a 720 KB file without building its 1.6 million cells.
//
// Grid for n bytes per row (2n+3 columns; row 0 and column 0 are fixed):
//   column 0        row address (hex)          width 64
//   column 1        spacer                     width 8
//   columns 2..n+1  the bytes as two hex digits width 20, header: column index 0..n-1 in hex
//   column n+2      spacer                     width 8
//   columns n+3..   the bytes as characters    width 12, header: column index 0..n-1 in hex
// COM and EXE files are shown from address 0x100; BSAVE files (first byte 0xFE) from their start
// address with the 7 header bytes skipped; both get a three-line header strip.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/bytes.h"
#include "viewers/msx_charset.h"

namespace quarnel::viewers {

class HexLayout {
 public:
  // `extension` without the dot, any case; `windowWidth` in pixels decides the bytes per row.
  // The layout keeps a view of `file`: the bytes must outlive it.
  HexLayout(Bytes file, std::string_view extension, int windowWidth);

  // n for a window W pixels wide: r = (W/10 - 9)/3 rounded to nearest (halves to even), n the
  // largest multiple of 8 not above r, and 8 when that is below 16.
  static int BytesPerRow(int windowWidth);

  int bytesPerRow() const { return n_; }
  int columnCount() const { return 2 * n_ + 3; }
  // Header row included. An empty file still has row 1 with the base address.
  std::size_t rowCount() const { return 1 + dataRows_; }
  std::uint32_t base() const { return base_; }
  std::size_t skip() const { return skip_; }
  std::size_t dataLength() const { return data_.size(); }
  // The window width the view sets afterwards (32n + 120), so the next hex view keeps n.
  int windowWidthAfter() const { return 32 * n_ + 120; }

  // The header strip: three lines for COM/EXE and BSAVE files, none otherwise. For a BSAVE file
  // shorter than its 7 header bytes, a field that is not wholly in the file shows "????".
  const std::vector<std::string>& headerLines() const { return strip_; }

  // With a character set, the character cells show bytes 0x20-0xFF (0x7F aside) through it;
  // without one (the view's own rule), bytes outside 0x20-0x7E are ".". The set must outlive
  // the layout.
  void SetCharset(const MsxCharset* charset) { charset_ = charset; }
  const MsxCharset* charset() const { return charset_; }

  static int ColumnWidth(int column, int bytesPerRow);
  int ColumnWidth(int column) const { return ColumnWidth(column, n_); }

  // The text of any cell; "" outside the grid and in empty cells.
  std::string CellText(std::size_t row, int column) const;

  // The offset in the file of the byte shown in a hex or character cell, if there is one.
  std::optional<std::size_t> FileOffsetAt(std::size_t row, int column) const;
  // The cell (row, hex column) that shows file offset `offset`, if any.
  std::optional<std::pair<std::size_t, int>> HexCellOf(std::size_t offset) const;

  // The row address text of data row `row` (>= 1): the base for row 1, else base + (row-1)*n
  // with at least two digits.
  std::string RowLabel(std::size_t row) const;

 private:
  Bytes file_;
  Bytes data_;
  int n_ = 16;
  std::uint32_t base_ = 0;
  std::size_t skip_ = 0;
  std::size_t dataRows_ = 1;
  std::vector<std::string> strip_;
  const MsxCharset* charset_ = nullptr;
};

}  // namespace quarnel::viewers
