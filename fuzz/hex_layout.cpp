// Any bytes through the hex layout (every cell of the first rows and the last rows) and the
// text conversions.
#include "viewers/hex_layout.h"

#include <cstddef>
#include <cstdint>
#include <string>

#include "viewers/text_view.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quarnel::viewers;
  const quarnel::Bytes bytes(data, size);
  const int width = size > 1 ? (data[0] | (data[1] << 8)) - 1000 : 642;
  const char* ext = size > 2 && (data[2] & 1) ? "COM" : "BIN";
  const HexLayout h(bytes, ext, width);
  for (std::size_t row = 0; row < h.rowCount() && row < 8; ++row) {
    for (int c = -1; c <= h.columnCount(); ++c) (void)h.CellText(row, c);
  }
  for (int c = 0; c < h.columnCount(); ++c) (void)h.CellText(h.rowCount() - 1, c);
  for (std::size_t off = 0; off < size && off < 64; ++off) (void)h.HexCellOf(off);
  (void)TextBlocks(bytes, false);
  (void)TextBlocks(bytes, true);
  return 0;
}
