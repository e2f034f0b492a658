#include "viewers/hex_layout.h"

#include <cstdio>

#include "core/ascii.h"
#include "core/file_types.h"
#include "core/rounding.h"
#include "viewers/bsave_header.h"
#include "viewers/messages.h"

namespace quarnel::viewers {

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

// A program loaded at 0x100, by its extension with or without its leading dots and trailing
// blanks ("com ", ".COM").
bool IsDosProgram(std::string_view ext) {
  while (!ext.empty() && ext.front() == '.') ext.remove_prefix(1);
  while (!ext.empty() && ext.back() == ' ') ext.remove_suffix(1);
  const FileType* type = FileTypeOf("." + AsciiUpper(ext));
  return type && type->kind == FileKind::DosProgram;
}

// "%4x" with upper-case digits: right-aligned in 4 characters.
std::string Hex4(std::uint32_t v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%4X", static_cast<unsigned>(v));
  return buf;
}

std::string Field(Bytes file, std::size_t off) {
  auto v = Le16At(file, off);
  return v ? Hex4(*v) : std::string("????");
}

}  // namespace

int HexLayout::BytesPerRow(int windowWidth) {
  // (W/10 - 9)/3 = (W - 90)/30, rounded to the nearest integer with halves to even.
  const std::int64_t q = RoundHalfEven(static_cast<std::int64_t>(windowWidth) - 90, 30);
  std::int64_t n = q >= 0 ? (q / 8) * 8 : 0;
  if (n < 16) n = 8;
  if (n > 4096) n = 4096;  // a window cannot be that wide; keeps the arithmetic small
  return static_cast<int>(n);
}

HexLayout::HexLayout(Bytes file, std::string_view extension, int windowWidth)
    : file_(file), n_(BytesPerRow(windowWidth)) {
  if (IsDosProgram(extension)) {
    base_ = 0x100;
    skip_ = 0;
    strip_ = {std::string(kStripStart) + Hex4(0x100), std::string(kStripRun) + Hex4(0x100),
              std::string(kStripEnd) + Hex4(static_cast<std::uint32_t>(file.size()) + 0x100)};
  } else if (HasBsaveId(file)) {
    skip_ = BsaveHeader::kSize;
    base_ = Le16At(file, 1).value_or(0);
    strip_ = {std::string(kStripStart) + Field(file, 1), std::string(kStripEnd) + Field(file, 3),
              std::string(kStripRun) + Field(file, 5)};
  }
  data_ = skip_ < file.size() ? file.subspan(skip_) : Bytes{};
  dataRows_ = data_.empty() ? 1 : (data_.size() + n_ - 1) / n_;
}

int HexLayout::ColumnWidth(int column, int n) {
  if (column == 0) return 64;
  if (column == 1 || column == n + 2) return 8;
  if (column >= 2 && column <= n + 1) return 20;
  if (column >= n + 3 && column <= 2 * n + 2) return 12;
  return 0;
}

std::string HexLayout::RowLabel(std::size_t row) const {
  if (row < 1 || row > dataRows_) return {};
  const unsigned long long addr =
      static_cast<unsigned long long>(base_) + static_cast<unsigned long long>(row - 1) * n_;
  char buf[32];
  std::snprintf(buf, sizeof buf, row == 1 ? "%llX" : "%02llX", addr);
  return buf;
}

std::optional<std::size_t> HexLayout::FileOffsetAt(std::size_t row, int column) const {
  if (row < 1 || row > dataRows_) return std::nullopt;
  int k;
  if (column >= 2 && column <= n_ + 1) {
    k = column - 2;
  } else if (column >= n_ + 3 && column <= 2 * n_ + 2) {
    k = column - n_ - 3;
  } else {
    return std::nullopt;
  }
  const std::size_t index = (row - 1) * static_cast<std::size_t>(n_) + static_cast<std::size_t>(k);
  if (index >= data_.size()) return std::nullopt;
  return skip_ + index;
}

std::optional<std::pair<std::size_t, int>> HexLayout::HexCellOf(std::size_t offset) const {
  if (offset < skip_ || offset - skip_ >= data_.size()) return std::nullopt;
  const std::size_t index = offset - skip_;
  return std::pair<std::size_t, int>{1 + index / n_, 2 + static_cast<int>(index % n_)};
}

std::string HexLayout::CellText(std::size_t row, int column) const {
  if (column < 0 || column >= columnCount()) return {};
  if (row == 0) {
    int k = -1;
    if (column >= 2 && column <= n_ + 1) k = column - 2;
    if (column >= n_ + 3 && column <= 2 * n_ + 2) k = column - n_ - 3;
    if (k < 0) return {};
    return std::string(1, kHex[k & 0x0F]);  // the low digit: a column is one character wide
  }
  if (column == 0) return RowLabel(row);
  auto off = FileOffsetAt(row, column);
  if (!off) return {};
  const std::uint8_t b = file_[*off];
  if (column <= n_ + 1) return {kHex[b >> 4], kHex[b & 0x0F]};
  if (charset_ && b >= 0x20 && b != 0x7F) {
    std::string c;
    charset_->AppendUtf8(c, b);
    return c;
  }
  return std::string(1, b >= 0x20 && b <= 0x7E ? static_cast<char>(b) : '.');
}

}  // namespace quarnel::viewers
