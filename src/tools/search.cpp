#include "tools/search.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <cstring>

namespace quarnel::tools {

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

char Upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

}  // namespace

std::string HexToText(std::string_view hex) {
  std::string out;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
    const int hi = HexValue(hex[i]), lo = HexValue(hex[i + 1]);
    out += static_cast<char>(hi < 0 || lo < 0 ? 0 : hi * 16 + lo);
  }
  return out;
}

std::string TextToHex(std::string_view text) {
  std::string out;
  char buf[4];
  for (char c : text) {
    std::snprintf(buf, sizeof buf, "%02X", static_cast<unsigned char>(c));
    out += buf;
  }
  return out;
}

std::optional<std::vector<std::uint8_t>> ParseHexBytes(std::string_view hex) {
  if (hex.size() % 2 != 0) return std::nullopt;
  std::vector<std::uint8_t> out;
  out.reserve(hex.size() / 2);
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    const int hi = HexValue(hex[i]), lo = HexValue(hex[i + 1]);
    if (hi < 0 || lo < 0) return std::nullopt;
    out.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
  }
  return out;
}

std::optional<std::size_t> FindBytes(Bytes hay, Bytes pattern, std::size_t from) {
  const std::size_t n = pattern.size();
  if (n == 0 || n > hay.size() || from > hay.size() - n) return std::nullopt;
  const std::uint8_t first = pattern[0];
  const std::uint8_t* base = hay.data();
  const std::size_t last = hay.size() - n;  // the last position where the pattern fits
  std::size_t pos = from;
  while (pos <= last) {
    const void* hit = std::memchr(base + pos, first, last - pos + 1);
    if (!hit) return std::nullopt;
    pos = static_cast<std::size_t>(static_cast<const std::uint8_t*>(hit) - base);
    if (std::memcmp(base + pos, pattern.data(), n) == 0) return pos;
    ++pos;
  }
  return std::nullopt;
}

std::vector<std::size_t> FindAllBytes(Bytes hay, Bytes pattern) {
  std::vector<std::size_t> out;
  std::size_t from = 0;
  while (auto hit = FindBytes(hay, pattern, from)) {
    out.push_back(*hit);
    from = *hit + 1;
  }
  return out;
}

std::vector<std::uint64_t> FindInImage(const DiskImage& image, std::size_t length,
                                       const WindowFind& find, std::uint64_t from,
                                       std::size_t most) {
  std::vector<std::uint64_t> out;
  constexpr std::uint64_t kWindow = 1 << 20;
  const std::uint64_t size = image.Size();
  if (length == 0 || length > size) return out;
  // Each window also holds the pattern's length less one byte of the next, so that a match
  // across the boundary is found in the window it starts in.
  for (std::uint64_t start = from / kWindow * kWindow; start < size; start += kWindow) {
    const std::uint64_t end = std::min(size, start + kWindow + length - 1);
    const auto window = image.Read(start, static_cast<std::size_t>(end - start));
    if (!window) break;
    std::size_t pos = start < from ? static_cast<std::size_t>(from - start) : 0;
    while (auto hit = find(*window, pos)) {
      if (*hit >= kWindow) break;  // the next window's
      out.push_back(start + *hit);
      if (most != 0 && out.size() >= most) return out;
      pos = *hit + 1;
    }
  }
  return out;
}

std::size_t SectorSearchStart(bool continuing, std::int32_t sector, std::uint32_t bytesPerSector,
                              GridCell selected, int bytesPerRow) {
  std::int64_t start = static_cast<std::int64_t>(sector) * bytesPerSector;
  if (continuing)
    start += (static_cast<std::int64_t>(selected.row) - 1) * bytesPerRow + selected.column - 1;
  return start < 0 ? 0 : static_cast<std::size_t>(start);
}

SectorHit SectorHitOf(std::size_t position, std::uint32_t bytesPerSector, int bytesPerRow) {
  SectorHit hit;
  if (bytesPerSector == 0 || bytesPerRow <= 0) return hit;
  hit.sector = static_cast<std::int32_t>(position / bytesPerSector);
  const std::size_t r = position - static_cast<std::size_t>(hit.sector) * bytesPerSector;
  hit.cell.row = r / bytesPerRow + 1;
  hit.cell.column = static_cast<int>(r % bytesPerRow) + 2;
  return hit;
}

std::optional<GridCell> FindInHexCells(
    const std::function<std::string(std::size_t row, int column)>& cellText, std::size_t rowCount,
    int bytesPerRow, GridCell selected, bool continuing, std::string_view hex) {
  const std::size_t n = hex.size() / 2;
  if (n == 0 || bytesPerRow <= 0 || rowCount < 2) return std::nullopt;
  const int lastHex = bytesPerRow + 1;
  auto advance = [&](GridCell& c) {
    if (c.column < lastHex) {
      ++c.column;
    } else {
      c.column = 2;
      ++c.row;
    }
  };
  GridCell at = selected;
  if (at.column < 2 || at.column > lastHex) at.column = 2;  // a character or spacer column
  if (at.row < 1) at.row = 1;
  if (continuing) advance(at);
  std::string pair(2, ' ');
  for (; at.row < rowCount; advance(at)) {
    GridCell c = at;
    std::size_t k = 0;
    for (; k < n && c.row < rowCount; ++k, advance(c)) {
      std::string text = cellText(c.row, c.column);
      for (char& ch : text) ch = Upper(ch);
      pair[0] = Upper(hex[2 * k]);
      pair[1] = Upper(hex[2 * k + 1]);
      if (text != pair) break;
    }
    if (k == n) return at;
  }
  return std::nullopt;
}

std::optional<std::size_t> FindTextIgnoringCase(std::string_view text, std::string_view needle,
                                                std::size_t from) {
  if (needle.empty() || needle.size() > text.size() || from > text.size() - needle.size())
    return std::nullopt;
  // ASCII letters fold to upper case; every other byte stands for itself.
  static constexpr auto kFold = [] {
    std::array<unsigned char, 256> t{};
    for (int i = 0; i < 256; ++i)
      t[i] = static_cast<unsigned char>(i >= 'a' && i <= 'z' ? i - 32 : i);
    return t;
  }();
  auto fold = [](char c) { return kFold[static_cast<unsigned char>(c)]; };
  const unsigned char first = fold(needle[0]);
  const std::size_t last = text.size() - needle.size();
  for (std::size_t pos = from; pos <= last; ++pos) {
    if (fold(text[pos]) != first) continue;
    std::size_t k = 1;
    while (k < needle.size() && fold(text[pos + k]) == fold(needle[k])) ++k;
    if (k == needle.size()) return pos;
  }
  return std::nullopt;
}

std::vector<std::size_t> FindAllMatches(Bytes hay, Bytes pattern, bool ignoreCase) {
  if (!ignoreCase) return FindAllBytes(hay, pattern);
  std::vector<std::size_t> out;
  const std::string_view h(reinterpret_cast<const char*>(hay.data()), hay.size());
  const std::string_view needle(reinterpret_cast<const char*>(pattern.data()), pattern.size());
  std::size_t from = 0;
  while (auto hit = FindTextIgnoringCase(h, needle, from)) {
    out.push_back(*hit);
    from = *hit + 1;
  }
  return out;
}

}  // namespace quarnel::tools
