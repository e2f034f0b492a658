// The searches of the find dialog: a byte pattern over the whole image (the sector view), over
// the cells of the hex grid (the hex view of a file), and a text ignoring case (the text and
// BASIC views); with the rules of the dialog's two entries that mirror each other.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/bytes.h"
#include "core/disk_image.h"
#include "tools/hex_grid.h"

namespace quarnel::tools {

// The text entry rebuilt from the hex entry: one character per complete pair of digits from the
// left (a trailing odd digit is ignored). A pair that is no hex number gives code 0.
std::string HexToText(std::string_view hex);
// The hex entry rebuilt from the text entry: two upper-case digits per character.
std::string TextToHex(std::string_view text);
// The bytes of a hex entry; nullopt for an odd number of digits or a character that is no digit.
std::optional<std::vector<std::uint8_t>> ParseHexBytes(std::string_view hex);

// The first position >= `from` where all of `pattern` lies inside `hay` and matches; an empty
// pattern matches nowhere.
std::optional<std::size_t> FindBytes(Bytes hay, Bytes pattern, std::size_t from);
// Every position, overlapping ones too, in ascending order.
std::vector<std::size_t> FindAllBytes(Bytes hay, Bytes pattern);

// A search over a whole volume, read a window at a time (a large volume is never read whole):
// `find(window, from)` gives the first match at or after `from` in the window, for a pattern of
// `length` bytes. The positions count from the start of the volume, from `from` on, in ascending
// order; at most `most` of them (0: all).
using WindowFind = std::function<std::optional<std::size_t>(Bytes window, std::size_t from)>;
std::vector<std::uint64_t> FindInImage(const DiskImage& image, std::size_t length,
                                       const WindowFind& find, std::uint64_t from = 0,
                                       std::size_t most = 0);

// The sector view's search: where it starts and where a hit is shown.
// Start: the byte after the selected cell when continuing (sector x bytesPerSector + (row - 1) x
// bytesPerRow + column - 1), otherwise the first byte of the shown sector; never below 0.
std::size_t SectorSearchStart(bool continuing, std::int32_t sector, std::uint32_t bytesPerSector,
                              GridCell selected, int bytesPerRow);
struct SectorHit {
  std::int32_t sector = 0;
  GridCell cell;  // the hex cell of the hit's first byte
};
SectorHit SectorHitOf(std::size_t position, std::uint32_t bytesPerSector, int bytesPerRow);

// The hex view's search over cell texts: the pairs of `hex` compared with consecutive byte cells
// as upper-case text (a cell typed as one digit does not match its two-digit pair). It starts at
// the selected cell, or at the byte cell after it when continuing, and steps through the byte
// cells row by row. `cellText(row, column)` gives a hex cell's text ("" past the data).
std::optional<GridCell> FindInHexCells(
    const std::function<std::string(std::size_t row, int column)>& cellText, std::size_t rowCount,
    int bytesPerRow, GridCell selected, bool continuing, std::string_view hex);

// The text views' search: `needle` in `text` from `from` on, ignoring the case of ASCII letters,
// not limited to whole words.
std::optional<std::size_t> FindTextIgnoringCase(std::string_view text, std::string_view needle,
                                                std::size_t from);

// Every position of `pattern` in `hay`, overlapping ones too, in ascending order: byte for byte,
// or ignoring the case of ASCII letters as FindTextIgnoringCase does.
std::vector<std::size_t> FindAllMatches(Bytes hay, Bytes pattern, bool ignoreCase);

}  // namespace quarnel::tools
