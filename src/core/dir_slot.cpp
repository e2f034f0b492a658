#include "core/dir_slot.h"

#include <algorithm>
#include <cstring>

#include "core/ascii.h"
#include "core/dir_entry.h"

namespace quarnel {

std::optional<std::size_t> RootSlotOffset(const DiskImage& image, int slot) {
  const DiskGeometry& g = image.geometry;
  if (slot < 0 || slot >= static_cast<int>(g.rootEntries)) return std::nullopt;
  std::size_t off = g.rootOffset + static_cast<std::size_t>(slot) * kDirEntrySize;
  if (off + kDirEntrySize > image.Size()) return std::nullopt;
  return off;
}

bool SameMsxName(const std::uint8_t* a, const std::uint8_t* b) {
  for (int i = 0; i < 11; ++i)
    if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
  return true;
}

bool IsDotEntry(const std::uint8_t* n) {
  return std::memcmp(n, ".          ", 11) == 0 || std::memcmp(n, "..         ", 11) == 0;
}

bool PlausibleEntry(const std::uint8_t* e) {
  const std::uint8_t attribute = e[11];
  const std::uint16_t first = static_cast<std::uint16_t>(e[26] | (e[27] << 8));
  if (e[0] == kEntryDeleted) return true;
  if (e[0] == kEntryNeverUsed)
    return std::all_of(e + 1, e + kDirEntrySize, [](auto b) { return b == 0; });
  if (IsLongNameAttribute(attribute)) return first == 0;
  if (attribute & 0xC0) return false;
  for (std::size_t k = 0; k < 11; ++k)
    if (e[k] < 0x20 && !(k == 0 && e[k] == kEntryE5Stand)) return false;
  // Any FAT12 cluster number: a wrong one is damage the check reports, not a sign of file data.
  return first <= 0xFFF;
}

bool LooksLikeDirectory(Bytes slots) {
  std::size_t written = 0, implausible = 0;
  for (std::size_t off = 0; off + kDirEntrySize <= slots.size(); off += kDirEntrySize) {
    const std::uint8_t* e = slots.data() + off;
    if (std::all_of(e, e + kDirEntrySize, [](auto b) { return b == 0; })) continue;
    ++written;
    if (!PlausibleEntry(e)) ++implausible;
  }
  return implausible * 2 <= written;
}

}  // namespace quarnel
